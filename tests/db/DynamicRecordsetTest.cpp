#include "DbError.h"
#include "DynamicRecordset.h"
#include "Rows.h"
#include "SqliteCursor.h"
#include "TestDb.h"

#include <utility>
#include <vector>

using Kind = CDynamicField::Kind;

TEST(DynamicField, ReadingConversions) {
    CDynamicField yes(Kind::Boolean, QStringLiteral("PRJOB"));
    yes.Load(1);
    EXPECT_EQ(yes.AsText(), QStringLiteral("T"));
    EXPECT_EQ(yes.AsLong(), 1);
    EXPECT_DOUBLE_EQ(yes.AsDouble(), 1.0);
    CDynamicField no(Kind::Boolean, QStringLiteral("PRJOB"));
    no.Load(false);
    EXPECT_EQ(no.AsText(), QStringLiteral("F"));
    EXPECT_EQ(no.AsLong(), 0);

    CDynamicField text(Kind::Text, QStringLiteral("T"));
    text.Load(QStringLiteral("12.75 руб"));
    EXPECT_EQ(text.AsLong(), 12);
    EXPECT_DOUBLE_EQ(text.AsDouble(), 12.75);
    text.Load(QStringLiteral("нет"));
    EXPECT_EQ(text.AsLong(), 0);

    CDynamicField dbl(Kind::Double, QStringLiteral("D"));
    dbl.Load(-7.9);
    EXPECT_EQ(dbl.AsLong(), -7);  // toward zero
    EXPECT_EQ(dbl.AsText(), QStringLiteral("-7.900000"));

    CDynamicField nul(Kind::Long, QStringLiteral("N"));
    nul.Load(QVariant());
    EXPECT_TRUE(nul.IsNull());
    EXPECT_EQ(nul.AsLong(), 0);
    EXPECT_EQ(nul.AsText(), QString());
    EXPECT_FALSE(nul.AsDateTime().isValid());

    CDynamicField when(Kind::DateTime, QStringLiteral("W"));
    when.Load(QStringLiteral("2024-05-06 07:08:09"));
    EXPECT_EQ(when.AsDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
    EXPECT_EQ(when.AsLong(), 0);
}

TEST(DynamicField, WritingConversions) {
    CDynamicField text(Kind::Text, QStringLiteral("IDDTOP"));
    text.SetLong(0);
    EXPECT_EQ(text.value().toString(), QStringLiteral("0"));  // how a package gets IddTop "0"
    text.SetDouble(2.5);
    EXPECT_EQ(text.value().toString(), QStringLiteral("2.500000"));

    CDynamicField flag(Kind::Boolean, QStringLiteral("DELETE"));
    flag.SetLong(5);
    EXPECT_TRUE(flag.value().toBool());
    flag.SetDouble(0.0);
    EXPECT_FALSE(flag.value().toBool());

    CDynamicField count(Kind::Long, QStringLiteral("N"));
    count.SetText(QStringLiteral("42 шт"));
    EXPECT_EQ(count.value().toLongLong(), 42);
    count.SetDouble(9.99);
    EXPECT_EQ(count.value().toLongLong(), 9);

    CDynamicField when(Kind::DateTime, QStringLiteral("W"));
    when.SetDateTime(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 678)));
    EXPECT_EQ(when.value().toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));  // whole seconds
    when.SetLong(7);                                                                     // unchanged
    EXPECT_EQ(when.value().toDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
}

class RecordsetTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(RecordsetTest);

TEST_P(RecordsetTest, RepeatedNamesAndCaseInsensitiveLookup) {
    Rows::Insert(db(), QStringLiteral("TWork"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddWork"), QStringLiteral("w1")},
                  {QStringLiteral("WorkFIO"), QStringLiteral("Петров")},
                  {QStringLiteral("Delete"), true}});
    Rows::Insert(db(), QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddTop"), qint64(0)},
                  {QStringLiteral("Count"), 2.0},
                  {QStringLiteral("Price"), QStringLiteral("150.5")},
                  {QStringLiteral("Delete"), false}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral(
        "SELECT TService.IddTop, TService.[Count], TService.Price, TService.[Delete], "
        "TWork.[Delete] FROM TService INNER JOIN TWork ON TService.IddZakaz = TWork.IddZakaz"));
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.FieldCount(), 5);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("delete")), 3);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("Delete2")), 4);
    EXPECT_EQ(rs.Field(QStringLiteral("DELETE")).AsText(), QStringLiteral("F"));
    EXPECT_EQ(rs.Field(QStringLiteral("DELETE2")).AsText(), QStringLiteral("T"));
    EXPECT_EQ(rs.Field(QStringLiteral("delete2")).AsLong(), 1);
    EXPECT_EQ(rs.Text(QStringLiteral("iddtop")), QStringLiteral("0"));
    EXPECT_DOUBLE_EQ(rs.Double(QStringLiteral("Price")), 150.5);  // text written to a number column
    EXPECT_DOUBLE_EQ(rs.Double(QStringLiteral("COUNT")), 2.0);
    EXPECT_EQ(rs.FieldIndex(QStringLiteral("NoSuchColumn")), -1);
    EXPECT_EQ(rs.Text(QStringLiteral("NoSuchColumn")), QString());
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
}

TEST_P(RecordsetTest, ValuesAreBoundNotSpliced) {
    const QString nasty = QStringLiteral("ООО 'Ромашка'; DROP TABLE SClient; --");
    Rows::Insert(
        db(), QStringLiteral("SClient"),
        {{QStringLiteral("IddClient"), QStringLiteral("c'1")}, {QStringLiteral("ClientName"), nasty}});
    Rows::Insert(db(), QStringLiteral("SClient"),
                 {{QStringLiteral("IddClient"), QStringLiteral("c2")},
                  {QStringLiteral("ClientName"), QStringLiteral("O'Neil")}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral("SELECT SClient.IddClient FROM SClient WHERE SClient.ClientName = ?"), {nasty});
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Text(QStringLiteral("IddClient")), QStringLiteral("c'1"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient WHERE ClientName LIKE ?"),
                        {QStringLiteral("O'%")}),
              1);
    EXPECT_EQ(
        Rows::Update(db(), QStringLiteral("SClient"), {{QStringLiteral("IddClient"), QStringLiteral("c'1")}},
                     {{QStringLiteral("ClientTel"), QStringLiteral("'")}}),
        1);
}

TEST_P(RecordsetTest, DatesRoundTripInLocalTime) {
    const QDateTime when(QDate(2024, 12, 31), QTime(23, 59, 58));
    Rows::Insert(db(), QStringLiteral("TPay"),
                 {{QStringLiteral("IddPay"), QStringLiteral("p1")},
                  {QStringLiteral("DataPay"), when},
                  {QStringLiteral("Delete"), false}});
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral("SELECT TPay.DataPay FROM TPay WHERE TPay.DataPay > ? AND TPay.DataPay < ?"),
            {QDateTime(QDate(2024, 12, 31), QTime(0, 0)), QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59))});
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.Date(QStringLiteral("DataPay")), when);
}

TEST_P(RecordsetTest, DriverErrorsCarryTheDriversText) {
    CDynamicRecordset rs(db());
    try {
        rs.Open(QStringLiteral("SELECT NoSuchField FROM TZakaz"));
        FAIL() << "expected a driver error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("nosuchfield"), Qt::CaseInsensitive))
            << e.text().toStdString();
    }
    // A duplicate key fails on the constraint instead of writing a second row.
    Rows::Insert(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("k")}});
    EXPECT_THROW(
        Rows::Insert(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("k")}}),
        DbError);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 1);
}

// On SQLite the recordset reads rows straight from the connection. What it reads must not differ in
// anything from what the driver's own query gives: names, kinds, nulls, values, for every row.
class SqliteDirectReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_db = Database::Open(QStringLiteral("SQLITE;DATABASE=") + m_dir.filePath(QStringLiteral("r.db")));
        m_db->Exec(
            QStringLiteral("CREATE TABLE Probe (a VARCHAR(255), b BOOLEAN, c DOUBLE, d INTEGER, "
                           "e DATETIME, f NUMERIC(10,2), g BLOB, h)"));
        const QString insert = QStringLiteral("INSERT INTO Probe VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        m_db->Exec(insert,
                   {QStringLiteral("Иванов"), true, 2.5, 7, QDateTime(QDate(2024, 2, 29), QTime(23, 59)),
                    QStringLiteral("12.30"), QByteArray("\x01\x00z", 3), QStringLiteral("x")});
        // Numbers kept in a text column, text in number columns, an empty text, a real in an untyped one.
        m_db->Exec(insert, {12, 0, qint64(3), QStringLiteral("семь"), QStringLiteral("нет даты"), 0.1,
                            QStringLiteral(""), 1.5});
        m_db->Exec(insert, {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                            QVariant(), QVariant()});
    }

    // Every field of every row, as a reader sees it.
    QStringList Read(const QString &sql, const QVariantList &binds, bool direct) {
        m_db->SetDirectReads(direct);
        QStringList seen;
        CDynamicRecordset rs(*m_db);
        rs.Open(sql, binds);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            for (int i = 0; i < rs.FieldCount(); ++i) {
                const CDynamicField &f = rs.Field(i);
                seen << QStringLiteral("%1 kind %2 null %3 type %4 value [%5] text [%6] number %7")
                            .arg(f.name())
                            .arg(int(f.kind()))
                            .arg(f.IsNull())
                            .arg(QString::fromLatin1(f.value().metaType().name()))
                            .arg(f.value().toString(), f.AsText())
                            .arg(f.AsDouble(), 0, 'g', 17);
            }
            seen << QStringLiteral("--");
        }
        seen << QStringLiteral("columns %1").arg(rs.FieldCount());
        return seen;
    }

    // Reads once each way and expects the same; answers what was read.
    QStringList Same(const QString &sql, const QVariantList &binds = {}) {
        const QStringList driver = Read(sql, binds, false);
        const QStringList direct = Read(sql, binds, true);
        EXPECT_EQ(direct, driver) << sql.toStdString();
        return direct;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

TEST_F(SqliteDirectReadTest, ReadsWhatTheDriverReads) {
    ASSERT_NE(m_db->OpenCursor(QStringLiteral("SELECT 1")), nullptr);  // the direct path is the one tested
    EXPECT_EQ(m_db->OpenCursor(QStringLiteral("UPDATE Probe SET a = a")), nullptr);

    const QStringList all = Same(QStringLiteral("SELECT * FROM Probe ORDER BY rowid"));
    EXPECT_EQ(all.size(), 3 * 9 + 1);
    EXPECT_TRUE(all[0].startsWith(
        QStringLiteral("A kind %1 null 0 type QString value [Иванов]").arg(int(Kind::Text))))
        << all[0].toStdString();
    // Computed columns take their kind from the first row; repeated and dotted names as the driver has them.
    Same(
        QStringLiteral("SELECT COUNT(*) AS n, SUM(c) AS s, a || '!' AS k, NULL AS z, d, d, "
                       "p.a AS \"p.a\", CASE WHEN d = 7 THEN 1.5 ELSE 2 END AS m FROM Probe p "
                       "GROUP BY rowid ORDER BY rowid"));
    Same(QStringLiteral(
        "SELECT CASE WHEN d = 7 THEN 2 ELSE 1.5 END AS m, MAX(e) AS last FROM Probe GROUP BY d "
        "ORDER BY d"));
    // Values of every kind bound, and nothing found.
    Same(QStringLiteral("SELECT a, b FROM Probe WHERE a = ? OR b = ? OR c = ? OR d = ? OR e = ? OR e = ? OR "
                        "g = ? OR a = ? OR c = ?"),
         {QStringLiteral("Иванов"), false, 2.5, qint64(7), QDateTime(QDate(2024, 2, 29), QTime(23, 59)),
          QDate(2024, 2, 29), QByteArray("\x01\x00z", 3), QString(), 3u});
    const QStringList none =
        Same(QStringLiteral("SELECT a, COUNT(*) AS n FROM Probe WHERE d = ? GROUP BY a"), {-1});
    EXPECT_EQ(none, QStringList{QStringLiteral("columns 2")});
}

TEST_F(SqliteDirectReadTest, FailuresAreReportedAsTheDriverReportsThem) {
    const auto failure = [this](const QString &sql, const QVariantList &binds, bool direct) {
        m_db->SetDirectReads(direct);
        try {
            CDynamicRecordset rs(*m_db);
            rs.Open(sql, binds);
        } catch (const DbError &e) {
            return e.text();
        }
        return QStringLiteral("no error");
    };
    for (const auto &[sql, binds] : std::vector<std::pair<QString, QVariantList>>{
             {QStringLiteral("SELECT NoSuchField FROM Probe"), {}},
             {QStringLiteral("SELECT a FROM Probe WHERE a = ?"), {}},
             {QStringLiteral("SELECT a FROM Probe WHERE a = ?"), {1, 2}},
             {QStringLiteral("SELECT abs(-9223372036854775807 - 1) FROM Probe"), {}}}) {
        const QString driver = failure(sql, binds, false);
        EXPECT_NE(driver, QStringLiteral("no error")) << sql.toStdString();
        EXPECT_EQ(failure(sql, binds, true), driver) << sql.toStdString();
    }

    // A failed read inside a save ends the save as a failed write does.
    {
        Transaction tx(*m_db);
        m_db->Exec(QStringLiteral("UPDATE Probe SET a = 'gone'"));
        CDynamicRecordset rs(*m_db);
        EXPECT_THROW(rs.Open(QStringLiteral("SELECT NoSuchField FROM Probe")), DbError);
        EXPECT_THROW(m_db->Exec(QStringLiteral("SELECT 1")), DbError);
        EXPECT_THROW(tx.Commit(), DbError);
    }
    EXPECT_EQ(CountRows(*m_db, QStringLiteral("SELECT * FROM Probe WHERE a = 'gone'")), 0);

    // A row that fails half-way through a list is an error, not the end of the list: the driver's own
    // query would stop there without a word, and the list would be shown short.
    CDynamicRecordset rs(*m_db);
    rs.Open(
        QStringLiteral("SELECT CASE WHEN d IS NULL THEN abs(-9223372036854775807 - 1) ELSE d END AS v "
                       "FROM Probe ORDER BY rowid"));
    ASSERT_FALSE(rs.IsEOF());
    rs.MoveNext();
    ASSERT_FALSE(rs.IsEOF());
    try {
        rs.MoveNext();
        FAIL() << "the failing row ended the list silently";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(u"integer overflow")) << e.text().toStdString();
    }
}
