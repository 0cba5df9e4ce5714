#include "DbError.h"
#include "DynamicRecordset.h"
#include "ErrorText.h"
#include "RowCursor.h"
#include "TestDb.h"

#include <QSqlField>
#include <QSqlRecord>
#include <cmath>

using namespace Qt::StringLiterals;

// On PostgreSQL every statement runs on libpq itself; what it hands out must be what the Qt driver hands
// out for the same statement, value for value, so the stores cannot tell the two apart.
class PgResultTest : public DbTest {
protected:
    // Every row of the statement as the driver reads it, and as the program's connection does.
    struct Read {
        QStringList names;
        QList<int> types;
        QList<QVariantList> rows;
    };
    static Read Collect(QSqlQuery &query) {
        Read read;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i) {
            read.names << record.fieldName(i);
            read.types << record.field(i).metaType().id();
        }
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < record.count(); ++i) row << query.value(i);
            read.rows << row;
        }
        return read;
    }
    Read ByDriver(const QString &sql, const QVariantList &binds = {}) {
        QSqlQuery query(db().handle());
        query.setForwardOnly(true);
        if (binds.isEmpty()) {
            EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        } else {
            EXPECT_TRUE(query.prepare(sql));
            for (int i = 0; i < binds.size(); ++i) query.bindValue(i, db().BindValue(binds[i]));
            EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString();
        }
        return Collect(query);
    }
    Read Direct(const QString &sql, const QVariantList &binds = {}) {
        QSqlQuery query = db().Exec(sql, binds);
        return Collect(query);
    }
    // Two reads agree in names, types, NULLs and values (moments to the millisecond and in the same time).
    static void ExpectSame(const Read &driver, const Read &direct, const QString &sql) {
        SCOPED_TRACE(sql.toStdString());
        EXPECT_EQ(direct.names, driver.names);
        EXPECT_EQ(direct.types, driver.types);
        ASSERT_EQ(direct.rows.size(), driver.rows.size());
        for (qsizetype r = 0; r < driver.rows.size(); ++r) {
            for (qsizetype c = 0; c < driver.rows[r].size(); ++c) {
                const QVariant &want = driver.rows[r][c];
                const QVariant &got = direct.rows[r][c];
                SCOPED_TRACE(u"row %1, column %2: %3 / %4"_s.arg(r)
                                 .arg(c)
                                 .arg(want.toString(), got.toString())
                                 .toStdString());
                EXPECT_EQ(got.typeId(), want.typeId());
                EXPECT_EQ(got.isNull(), want.isNull());
                if (want.typeId() == QMetaType::Double && std::isnan(want.toDouble()))
                    EXPECT_TRUE(std::isnan(got.toDouble()));
                else
                    EXPECT_EQ(got, want);
                if (want.typeId() == QMetaType::QDateTime) {
                    EXPECT_EQ(got.toDateTime().toString(Qt::ISODateWithMs),
                              want.toDateTime().toString(Qt::ISODateWithMs));
                    EXPECT_EQ(got.toDateTime().timeSpec(), want.toDateTime().timeSpec());
                }
            }
        }
    }
};
INSTANTIATE_TEST_SUITE_P(Db, PgResultTest, ::testing::Values(Backend::Postgres), BackendName);

// Statements with every kind of column the program reads.
QStringList EveryKind() {
    QStringList statements;
    // numbers of every width, the special ones, money as the tables keep it
    statements
        << "SELECT 1::int2 AS a, -2::int4, 3000000000::int8, -3000000000::int8, 1.5::float4, 0.1::float8, "
           "123456.78::numeric(14,2), -0.005::numeric, 'NaN'::float8, 'Infinity'::float8, "
           "'-Infinity'::float8, 26::oid";
    // texts: Cyrillic, quotes, a backslash, a line break, empty, a name of its own in quotes
    statements
        << "SELECT 'Бокс ''№1'' \\ \"x\"'::text AS \"Имя\", E'a\\nb'::varchar(10), ''::text, 'ё'::char(3), "
           "'{\"a\":1}'::json, '550e8400-e29b-41d4-a716-446655440000'::uuid";
    // truth, moments and byte strings
    statements
        << "SELECT true, false, DATE '2024-02-29', TIME '16:30:05.123', TIMESTAMP '2024-02-29 16:30:05', "
           "TIMESTAMP '1899-12-30 00:00:00', TIMESTAMPTZ '2024-02-29 16:30:05+03', '\\x00ff41'::bytea";
    // NULL of every kind
    statements
        << "SELECT NULL::int4, NULL::int8, NULL::float8, NULL::numeric, NULL::text, NULL::bool, NULL::date, "
           "NULL::timestamp, NULL::bytea, NULL";
    // many rows, and a statement with none
    statements << "SELECT g, g * 0.25, 'строка ' || g, DATE '2024-01-01' + g FROM generate_series(1, 2000) g";
    statements << "SELECT 1 AS one, 'x' AS two WHERE false";
    return statements;
}

TEST_P(PgResultTest, EveryKindOfColumnReadsAsTheDriverReadsIt) {
    for (const QString &sql : EveryKind()) ExpectSame(ByDriver(sql), Direct(sql), sql);
}

// Every field of every row as the recordset reads it, whole or as the rows arrive.
QStringList Fields(Database &db, const QString &sql, bool streamed) {
    QStringList seen;
    CDynamicRecordset rs(db);
    streamed ? rs.OpenLong(sql) : rs.Open(sql);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        for (int i = 0; i < rs.FieldCount(); ++i) {
            const QString fast = rs.TextAt(i);
            const CDynamicField &f = rs.Field(i);
            EXPECT_EQ(fast, f.AsText()) << sql.toStdString() << " column " << i;
            seen << u"%1 %2 %3 [%4] [%5] %6"_s.arg(f.name())
                        .arg(int(f.kind()))
                        .arg(f.IsNull())
                        .arg(f.value().toString(), f.AsText())
                        .arg(f.AsDouble(), 0, 'g', 17);
        }
    }
    seen << u"columns %1"_s.arg(rs.FieldCount());
    return seen;
}

TEST_P(PgResultTest, AListReadAsItArrivesIsTheWholeResultRowForRow) {
    for (const QString &sql : EveryKind())
        EXPECT_EQ(Fields(db(), sql, true), Fields(db(), sql, false)) << sql.toStdString();
    ASSERT_NE(db().OpenStream("SELECT 1"), nullptr);  // the streamed path is the one compared
    EXPECT_EQ(db().OpenStream("UPDATE pg_class SET relname = relname WHERE false"), nullptr);

    // Another statement while the list is still coming, a transaction begun and ended beside it, and a
    // list let go half-way: each list still gives every row, in order, and the connection goes on.
    const QString series = "SELECT g FROM generate_series(1, 3000) g ORDER BY g";
    CDynamicRecordset outer(db());
    outer.OpenLong(series);
    CDynamicRecordset abandoned(db());
    int read = 0, sum = 0;
    for (; !outer.IsEOF(); outer.MoveNext(), ++read) {
        EXPECT_EQ(outer.Field(0).AsLong(), read + 1);
        sum += int(outer.Field(0).AsLong());
        if (read == 10) {
            EXPECT_EQ(FirstValue(db(), "SELECT ?::int4 * 2", {21}).toInt(), 42);
        }
        if (read == 20) {
            Transaction tx(db());
            abandoned.OpenLong(series);
            abandoned.MoveNext();
            db().Exec("CREATE TEMP TABLE probe (a int4)");
            tx.Commit();
        }
        if (read == 30) abandoned.Close();
    }
    EXPECT_EQ(read, 3000);
    EXPECT_EQ(sum, 3000 * 3001 / 2);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM probe"), 0);
}

// A list that fails after some of its rows have been handed out fails there, with the whole statement's
// words; it is never taken for a shorter list. Inside a save the save fails with it.
TEST_P(PgResultTest, AListThatFailsAsItArrivesFailsWithTheWholeStatementsWords) {
    const QString sql = "SELECT 10 / (2500 - g) FROM generate_series(1, 3000) g";
    const QString whole = ErrorText([&] { CDynamicRecordset(db()).Open(sql); });
    EXPECT_TRUE(whole.contains(u"division by zero")) << whole.toStdString();
    int rows = 0;
    const QString streamed = ErrorText([&] {
        CDynamicRecordset rs(db());
        for (rs.OpenLong(sql); !rs.IsEOF(); rs.MoveNext()) ++rows;
    });
    EXPECT_EQ(streamed.toStdString(), whole.toStdString());
    EXPECT_LT(rows, 2500);
    EXPECT_EQ(FirstValue(db(), "SELECT ?::int4 + 1", {1}).toInt(), 2);

    db().Exec("CREATE TEMP TABLE probe (a int4)");
    {
        Transaction tx(db());
        db().Exec("INSERT INTO probe VALUES (1)");
        CDynamicRecordset rs(db());
        EXPECT_THROW(for (rs.OpenLong(sql); !rs.IsEOF(); rs.MoveNext()){}, DbError);
        EXPECT_THROW(tx.Commit(), DbError);
    }
    EXPECT_EQ(CountRows(db(), "SELECT * FROM probe"), 0);
}

TEST_P(PgResultTest, ValuesTravelAsParametersAndComeBackAsTheDriverBindsThem) {
    QByteArray bytes("\0\x01'\\x", 5);
    const QVariantList values = {u"О'Нил \\ $1; --"_s,
                                 42,
                                 qlonglong(9000000000),
                                 0.1,
                                 -1234.5,
                                 true,
                                 QDateTime(QDate(2024, 2, 29), QTime(16, 30, 5)),
                                 QDate(2023, 12, 31),
                                 bytes,
                                 QString(),
                                 QVariant()};
    const QString sql =
        "SELECT ?::text, ?::int4, ?::int8, ?::float8, ?::numeric, ?::bool, ?::timestamp, "
        "?::timestamp, ?::bytea, ?::text, ?::int4";
    const Read direct = Direct(sql, values);
    ExpectSame(ByDriver(sql, values), direct, sql);
    ASSERT_EQ(direct.rows.size(), 1);
    EXPECT_EQ(direct.rows[0][0].toString(), u"О'Нил \\ $1; --"_s);
    EXPECT_EQ(direct.rows[0][8].toByteArray(), bytes);
    EXPECT_TRUE(direct.rows[0][9].isNull() && direct.rows[0][10].isNull());
    // the values never became part of the statement's text
    EXPECT_EQ(CountRows(db(), "SELECT * FROM pg_prepared_statements WHERE statement LIKE '%Нил%'"), 0);
}

// A statement that fails after some rows fails as a whole: no list is shown cut short as if complete (the
// driver handed out the rows before the failure and then ended as at the last row). The connection goes on.
TEST_P(PgResultTest, AFailureHalfWayFailsTheWholeStatementAndTheConnectionGoesOn) {
    const QString sql = "SELECT 10 / (3 - g) FROM generate_series(1, 5) g";
    QSqlQuery driver(db().handle());
    driver.setForwardOnly(true);
    ASSERT_TRUE(driver.exec(sql));
    int driverRows = 0;
    while (driver.next()) ++driverRows;
    EXPECT_EQ(driverRows, 2);
    driver.finish();

    const QString error = ErrorText([&] { db().Exec(sql); });
    EXPECT_TRUE(error.contains(u"division by zero")) << error.toStdString();
    EXPECT_EQ(FirstValue(db(), "SELECT ?::int4 + 1", {1}).toInt(), 2);

    // a refused statement with values, and one the server cannot prepare
    EXPECT_FALSE(ErrorText([&] { db().Exec("SELECT ?::int4", {u"не число"_s}); }).isEmpty());
    EXPECT_FALSE(ErrorText([&] { db().Exec("SELECT * FROM NoSuchTable WHERE a = ?", {1}); }).isEmpty());
    EXPECT_EQ(FirstValue(db(), "SELECT ?::text", {u"дальше"_s}).toString(), u"дальше"_s);
}

TEST_P(PgResultTest, AWriteTellsHowManyRowsItChanged) {
    db().Exec("CREATE TEMP TABLE probe (a int4, b text)");
    EXPECT_EQ(db().Exec("INSERT INTO probe SELECT g, 'x' FROM generate_series(1, 7) g").numRowsAffected(), 7);
    EXPECT_EQ(db().Exec("UPDATE probe SET b = ? WHERE a > ?", {u"y"_s, 4}).numRowsAffected(), 3);
    EXPECT_EQ(ColumnTexts(db(), "SELECT b FROM probe WHERE a = ?", {5}), QStringList{u"y"_s});
}
