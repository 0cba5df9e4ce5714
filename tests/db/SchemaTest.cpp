#include "CounterStore.h"
#include "Database.h"
#include "ErrorText.h"
#include "Password.h"
#include "Rows.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "TestDb.h"
#include "TestRows.h"
#include "UserInfo.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace TestRows;

class SchemaTest : public DbTest {
protected:
    void Reopen() {
        m_db.reset();
        m_db = OpenAgain();
    }
    // Each row of the query as its values joined by blanks, numbers as numbers on both databases.
    QStringList Figures(const QString &sql) {
        QStringList rows;
        for (QSqlQuery q = db().Exec(sql); q.next();) {
            QStringList row;
            for (int i = 0; i < q.record().count(); ++i) {
                bool number = false;
                const double value = q.value(i).toDouble(&number);
                row << (number ? QString::number(value) : q.value(i).toString());
            }
            rows << row.join(u' ');
        }
        return rows;
    }
};
ZV_INSTANTIATE_DB_TESTS(SchemaTest);

TEST(Database, UnopenableDatabaseReportsTheDriversText) {
    for (const char *connect :
         {"SQLITE;DATABASE=/nonexistent-folder/sub/Quellmarod.db",
          "PGSQL;host=127.0.0.1 port=1 dbname=none connect_timeout=2", "ODBC;DSN=NoSuchDataSource;"}) {
        const QString text = ErrorText([&] { Database::Open(QString::fromLatin1(connect)); });
        EXPECT_FALSE(text.isEmpty() || text == "no error") << connect;
    }
}

// The upgrade keeps every row, fills the kept totals from the live lines (not package headers) and the live
// payments, and brings in the rules of the new version; the database then keeps the totals itself.
TEST_P(SchemaTest, AVersionOneDatabaseIsUpgradedOnOpen) {
    MakeVersion1(db());
    const QString link = QStringLiteral(
        "INSERT INTO AvtoVlad (IddAvtoVlad, IddAvto, IddVlad, [Delete]) VALUES (?, 'car', 'client', ?)");
    for (const auto &[key, deleted] : {std::pair{"l1", false}, {"l2", false}, {"l0", true}})  // l2 repeats l1
        db().Exec(link, {QString::fromLatin1(key), deleted});
    for (const User &u : {User{"u1", "admin", "А", "старый"}, User{"u2", "admin"}, User{"u3", "admin2"},
                          User{.key = "u4", .login = "admin", .deleted = true},
                          User{.key = "k1", .login = "kassa", .rights = "0100"}})
        Put(db(), u);
    db().Exec(
        "INSERT INTO TZakaz (IddZakaz, IddVlad, [Delete]) VALUES ('z1', 'c1', FALSE), ('z2', 'c1', FALSE), "
        "('z3', 'c1', FALSE)");
    // A package header counts nothing, whatever it holds; the deleted line neither.
    db().Exec(
        "INSERT INTO TService (IddZakaz, IddService, IddTop, [Count], Price, PrNDS, [Delete]) VALUES "
        "('z1', 'pkg', '0', 1, 500, 20, FALSE), ('z1', 's1', 'pkg', 3, 100, 20, FALSE), "
        "('z1', 's2', 'top', 2, 25, 0, FALSE), ('z1', 's3', 'top', 1, 999, 10, TRUE), "
        "('z2', 's1', 'top', 1, 10.5, 10, FALSE)");
    db().Exec("INSERT INTO TPay (IddPay, IddZakaz, SummaPay, [Delete]) VALUES ('p1', 'z1', 100, FALSE)");
    // Finished, with a worker on a line paid 10 % and one on a line that names no pay.
    db().Exec("UPDATE TZakaz SET ZakazStatus = 2, ZakazEndOut = ? WHERE IddZakaz = 'z1'",
              {QDateTime::currentDateTime()});
    db().Exec("UPDATE TService SET PrJob = TRUE, Job = 10 WHERE IddService = 's1'");
    db().Exec(
        "INSERT INTO TWork (IddZakaz, IddService, IddWork, [Delete]) VALUES ('z1', 's1', 'w1', FALSE), "
        "('z1', 's2', 'w2', FALSE)");
    Reopen();
    ASSERT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
    EXPECT_EQ(CountRows(db(), "SELECT 1 FROM TZakaz WHERE IddBox IS NULL AND ZakazPlanEnd IS NULL"), 3)
        << "old orders are planned on no bay";
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TTyre") + CountRows(db(), "SELECT * FROM SPlace"), 0)
        << "the tyre storage's tables are there, empty";
    EXPECT_EQ(ColumnTexts(db(), "SELECT IddAvtoVlad FROM AvtoVlad WHERE [Delete] = FALSE"),
              QStringList{"l1"});
    EXPECT_EQ(ColumnTexts(db(), "SELECT Login FROM SUser WHERE [Delete] = FALSE ORDER BY IddUser"),
              (QStringList{"kassa", "admin", "admin3", "admin2"}));
    // Whoever saw the order journal sees the bays' load; the rest do not.
    EXPECT_EQ(ColumnTexts(db(), "SELECT Prova FROM SUser WHERE IddUser IN ('u1', 'k1') ORDER BY Prova DESC"),
              (QStringList{"1111" + QString(Rights::Position(Right::BayBoard) - 4, u'0') + "1", "0100"}));
    // No password stays as it was typed; on PostgreSQL the users' groups now exist on the server.
    const QString hash = FirstValue(db(), "SELECT Pass FROM SUser WHERE IddUser = 'u1'").toString();
    EXPECT_TRUE(Password::IsHash(hash) && Password::Matches("старый", hash)) << hash.toStdString();
    EXPECT_EQ(ServerRoles::InUse(db()), GetParam() == Backend::Postgres);
    EXPECT_EQ(
        Figures("SELECT z.IddZakaz, ZakazSumma, ZakazSummaNDS, SummD FROM TZakaz z INNER JOIN TClientDolg d "
                "ON d.IddZakaz = z.IddZakaz ORDER BY z.IddZakaz"),
        (QStringList{"z1 410 60 310", "z2 11.55 1.05 11.55", "z3 0 0 0"}));
    EXPECT_EQ(Figures("SELECT IddVlad, Sum_SummD FROM TClientDolgD"), QStringList{"c1 321.55"});
    EXPECT_EQ(Figures("SELECT IddZakaz, IddWork, Kopecks FROM TWorkEarn ORDER BY IddWork"),
              (QStringList{"z1 w1 3000", "z1 w2 0"}));

    // The new rules hold from now on in the database itself, with the same Russian message on both.
    EXPECT_TRUE(ErrorText([&] {
                    db().Exec(link, {"l3", false});
                }).startsWith(u"Этот автомобиль уже связан с этим владельцем."));
    EXPECT_TRUE(ErrorText([&] {
                    Put(db(), User{"u5", "admin2"});
                }).startsWith(u"Пользователь с таким логином уже есть!"));
    EXPECT_EQ(ErrorText([&] { Put(db(), User{.key = "u6", .login = "admin2", .deleted = true}); }),
              "no error");
    // The database keeps what was paid on each order, whoever writes the payment.
    db().Exec(
        "INSERT INTO TPay (IddPay, IddZakaz, SummaPay, [Delete]) VALUES ('p2', 'z2', 11.55, ?), "
        "('p3', 'z3', 5, ?)",
        {false, true});
    db().Exec("UPDATE TPay SET [Delete] = ? WHERE IddPay = 'p1'", {true});
    EXPECT_EQ(Figures("SELECT ZakazOplata FROM TZakaz ORDER BY IddZakaz"), (QStringList{"0", "11.55", "0"}));

    // Long columns take 64-bit values, notes their longer limit.
    EXPECT_EQ(CounterStore(db()).TakeOrderNumber(), "A-2147483648");
    EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 2147483648L);
    const QString note(FieldMaxLength("SAvto", "AvtoPrim"), u'п');
    Put(db(), Car{.key = "car", .note = note});
    EXPECT_EQ(ColumnTexts(db(), "SELECT AvtoPrim FROM SAvto"), QStringList{note});
    Reopen();  // opening it again changes nothing more
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
}

// A new database has every table and the single rows; every text field has one limit on both databases.
// It is opened again as it is, and refused once a newer program has opened it.
TEST_P(SchemaTest, NewDatabaseHasEveryTableAndOneLimitPerTextFieldAndIsOpenedAgainAsItIs) {
    // One character over the limit: refused before the database sees it, with one message everywhere.
    ASSERT_EQ(FieldMaxLength("SBox", "NameBox"), 255);
    try {
        Put(db(), Bay{.key = "b1", .name = QString(256, u'я')});
        FAIL() << "an over-long name should be refused";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(),
                  QStringLiteral("Поле «Название бокса» не может быть длиннее 255 символов (введено 256).\n"
                                 "Сократите текст: ничего не сохранено."));
        EXPECT_EQ(e.field(), "SBox.NameBox");
    }
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SBox"), 0);

    for (const TableDef &t : Schema::Tables()) {
        const QString table = QString::fromLatin1(t.name);
        QStringList cols;
        for (const ColumnDef &c : t.columns) cols << u'[' + QString::fromLatin1(c.name) + u']';
        // Selecting every column by name proves the names (and their case rules) work on this database.
        EXPECT_NO_THROW(db().Exec(QString("SELECT %1 FROM %2").arg(cols.join(u", "), table))) << t.name;
        // At the limit every text field stores and reads back whole, in the table as created.
        for (const ColumnDef &c : t.columns) {
            if (c.type != ColType::Text) continue;
            SCOPED_TRACE(table.toStdString() + '.' + c.name);
            const QString column = QString::fromLatin1(c.name);
            const int max = FieldMaxLength(table, column);
            EXPECT_GE(max, 64);
            EXPECT_NE(Schema::Caption(table, column), column);
            const QString text(max, u'ж');
            Transaction tx(db());  // left uncommitted: each field is tried on the table as it was
            db().Exec(QStringLiteral("DELETE FROM [%1]").arg(table));
            Values row = {{column, text}};
            for (const QString &key : t.primaryKey)
                if (key != column) row << ColumnValue{key, "k"};
            Rows::Insert(db(), table, row);
            EXPECT_EQ(ColumnTexts(db(), QStringLiteral("SELECT [%1] FROM [%2]").arg(column, table)),
                      QStringList{text});
        }
    }
    Put(db(), Bay{.key = "b1", .name = "Бокс 1"});
    Reopen();
    EXPECT_EQ(ColumnTexts(db(), "SELECT NameBox FROM SBox"), QStringList{"Бокс 1"});
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SMain WHERE IddMain = '1'"), 1);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM [Number] WHERE iddnum = '1'"), 1);
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
    db().Exec("UPDATE ZvSchema SET Version = ?", {Schema::kVersion + 1});
    EXPECT_TRUE(
        ErrorText([&] { Reopen(); }).startsWith(u"База данных создана более новой версией программы"));
}

// A database of version 7 gets the earnings lock in its PostgreSQL trigger function when it is opened, and
// the amount and VAT of each worker's lines beside his kept pay (worked out for the orders there are, kept
// from then on), with the index that finds a worker's orders.
TEST_P(SchemaTest, AVersion7DatabaseGetsTheEarningsLockAndTheKeptAmounts) {
    const auto source = [this] {
        return FirstValue(db(), "SELECT prosrc FROM pg_proc WHERE oid = 'zv_work_earn'::regproc").toString();
    };
    if (db().PostgresStyle()) {
        QString old = source();
        ASSERT_TRUE(old.contains("pg_advisory_xact_lock"));
        old.replace(QRegularExpression("PERFORM\\s+pg_advisory_xact_lock\\(\\d+\\)"), "NULL");
        db().Exec("CREATE OR REPLACE FUNCTION zv_work_earn() RETURNS trigger LANGUAGE plpgsql AS $fn$" + old +
                  "$fn$");
        ASSERT_FALSE(source().contains("pg_advisory_xact_lock"));
    }
    const Work w1{"w1", "Иванов"}, w2{"w2", "Петров"};
    const QList<Line> lines = {{.count = 3, .price = 33.33, .nds = 18, .workers = {w1, w2}},
                               {.price = 10, .workers = {w2}}};
    Put(db(),
        Order{.key = "z", .endOut = QDateTime(QDate(2024, 5, 1), QTime(12, 0)), .status = 2, .lines = lines});
    db().Exec("DROP INDEX IX_TWorkEarn_Work");
    for (const char *column : {"Amount", "Vat"})
        db().Exec(QStringLiteral("ALTER TABLE TWorkEarn DROP COLUMN %1").arg(column));
    db().Exec("UPDATE ZvSchema SET Version = 7");
    Reopen();
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
    EXPECT_TRUE(!db().PostgresStyle() || source().contains("pg_advisory_xact_lock"));
    const QString kept = "SELECT IddWork, Amount, Vat FROM TWorkEarn ORDER BY IddWork";
    EXPECT_EQ(Figures(kept), (QStringList{"w1 9999 1800", "w2 10999 1800"}));
    db().Exec("UPDATE TService SET Price = 20 WHERE IddService = 'z-2'");
    EXPECT_EQ(Figures(kept), (QStringList{"w1 9999 1800", "w2 11999 1800"}));
    EXPECT_EQ(
        Figures(db().PostgresStyle() ? "SELECT COUNT(*) FROM pg_indexes WHERE schemaname = current_schema() "
                                       "AND indexname = 'ix_tworkearn_work'"
                                     : "SELECT COUNT(*) FROM sqlite_master WHERE name = 'IX_TWorkEarn_Work'"),
        QStringList{"1"});
}
