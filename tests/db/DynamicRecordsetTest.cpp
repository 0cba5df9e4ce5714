#include "DynamicRecordset.h"
#include "ErrorText.h"
#include "Rows.h"
#include "SqliteCursor.h"
#include "TestDb.h"
#include "TestRows.h"

#include <functional>
#include <utility>
#include <vector>

using Kind = CDynamicField::Kind;

// What each kind of field reads a loaded value as: "text/long/double" (dates are read in the recordset
// tests below, from both databases). What it stores when a value of another kind is written to it: a date
// keeps whole seconds, and a number written to it leaves it unchanged.
TEST(DynamicField, Conversions) {
    const struct {
        Kind kind;
        QVariant loaded;
        const char *read;
    } cases[] = {
        {Kind::Boolean, 1, "T/1/1"},
        {Kind::Boolean, false, "F/0/0"},
        {Kind::Text, "12.75 руб", "12.75 руб/12/12.75"},
        {Kind::Text, "нет", "нет/0/0"},
        {Kind::Double, -7.9, "-7.900000/-7/-7.9"},  // toward zero
        {Kind::Long, QVariant(), "/0/0"},
    };
    for (const auto &c : cases) {
        CDynamicField f(c.kind, "F");
        f.Load(c.loaded);
        EXPECT_EQ(QStringLiteral("%1/%2/%3").arg(f.AsText()).arg(f.AsLong()).arg(f.AsDouble()).toStdString(),
                  c.read);
        EXPECT_EQ(f.IsNull(), !c.loaded.isValid()) << c.read;
    }
    QStringList stored;
    for (const auto &[kind, set] : std::vector<std::pair<Kind, std::function<void(CDynamicField &)>>>{
             {Kind::Text, [](auto &f) { f.SetLong(0); }},  // how a package gets IddTop "0"
             {Kind::Text, [](auto &f) { f.SetDouble(2.5); }},
             {Kind::Boolean, [](auto &f) { f.SetLong(5); }},
             {Kind::Boolean, [](auto &f) { f.SetDouble(0.0); }},
             {Kind::Long, [](auto &f) { f.SetText("42 шт"); }},
             {Kind::Long, [](auto &f) { f.SetDouble(9.99); }},
             {Kind::DateTime, [](auto &) {}},
             {Kind::DateTime, [](auto &f) { f.SetLong(7); }}}) {
        CDynamicField f(kind, "F");
        f.SetDateTime(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 678)));
        set(f);
        stored << f.value().toString();
    }
    EXPECT_EQ(stored, (QStringList{"0", "2.500000", "true", "false", "42", "9", "2024-01-02T03:04:05.000",
                                   "2024-01-02T03:04:05.000"}));
}

using namespace TestRows;

class RecordsetTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(RecordsetTest);

// Columns found by name in any case, a repeated name numbered; values bound, never spliced; dates in local
// time.
TEST_P(RecordsetTest, NamesValuesAndDates) {
    Put(db(), Order{.key = "z1", .lines = {{.key = "s1", .count = 2, .workers = {{"w1", "Петров", true}}}}});
    // Written as the other type: a number to a text column, a text to a number column.
    Rows::Update(db(), "TService", {{"IddService", "s1"}}, {{"IddTop", qint64(0)}, {"Price", "150.5"}});
    CDynamicRecordset rs(db());
    rs.Open(
        "SELECT TService.IddTop, TService.[Count], TService.Price, TService.[Delete], TWork.[Delete] FROM "
        "TService INNER JOIN TWork ON TService.IddZakaz = TWork.IddZakaz WHERE TWork.WorkFIO = ?",
        {"Петров"});
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(QStringList({rs.Field("DELETE").AsText(), rs.Field("DELETE2").AsText(), rs.Text("iddtop"),
                           rs.Text("NoSuch"), QString::number(rs.Double("Price")),
                           QString::number(rs.Double("COUNT"))}),
              QStringList({"F", "T", "0", "", "150.5", "2"}));
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());

    // Values are read as they are asked for; past the last row only what was read on it is there, never a
    // value of an earlier row.
    rs.Open("SELECT 'a' AS x, 1 AS n UNION ALL SELECT 'b', 2 ORDER BY 2");
    EXPECT_EQ(rs.Text("x") + rs.Text("n"), "a1");
    rs.MoveNext();
    EXPECT_EQ(rs.Long("n"), 2);
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.Long("n"), 2);
    EXPECT_TRUE(rs.Text("x").isEmpty() && rs.Field("x").IsNull());

    const QDateTime when(QDate(2024, 12, 31), QTime(23, 59, 58));
    Put(db(), Pay{.key = "p1", .when = when});
    rs.Open("SELECT TPay.DataPay FROM TPay WHERE TPay.DataPay > ? AND TPay.DataPay < ?",
            {QDateTime(when.date(), QTime(0, 0)), QDateTime(when.date(), QTime(23, 59, 59))});
    EXPECT_EQ(rs.Date("DataPay"), when);

    const QString error = ErrorText([&] { rs.Open("SELECT NoSuchField FROM TZakaz"); });
    EXPECT_TRUE(error.contains("nosuchfield", Qt::CaseInsensitive)) << error.toStdString();
}

// On SQLite the recordset reads rows straight from the connection. What it reads must not differ in
// anything from what the driver's own query gives: names, kinds, nulls, values, for every row.
class SqliteDirectReadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_db = Database::Open("SQLITE;DATABASE=" + m_dir.filePath("r.db"));
        m_db->Exec(
            QStringLiteral("CREATE TABLE Probe (a VARCHAR(255), b BOOLEAN, c DOUBLE, d INTEGER, "
                           "e DATETIME, f NUMERIC(10,2), g BLOB, h)"));
        const QString insert = "INSERT INTO Probe VALUES (?, ?, ?, ?, ?, ?, ?, ?)";
        m_db->Exec(insert, {"Иванов", true, 2.5, 7, QDateTime(QDate(2024, 2, 29), QTime(23, 59)), "12.30",
                            QByteArray("\x01\x00z", 3), "x"});
        // Numbers kept in a text column, text in number columns, an empty text, a real in an untyped one.
        m_db->Exec(insert, {12, 0, qint64(3), "семь", "нет даты", 0.1, "", 1.5});
        m_db->Exec(insert, {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                            QVariant(), QVariant()});
    }

    // Every field of every row, read through the driver and then directly; expects the same and answers it.
    QStringList Same(const QString &sql, const QVariantList &binds = {}) {
        QStringList seen[2];
        for (const bool direct : {false, true}) {
            m_db->SetDirectReads(direct);
            CDynamicRecordset rs(*m_db);
            rs.Open(sql, binds);
            for (; !rs.IsEOF(); rs.MoveNext()) {
                for (int i = 0; i < rs.FieldCount(); ++i) {
                    const QString fast = rs.TextAt(i);  // read before the field, as the long lists do
                    const CDynamicField &f = rs.Field(i);
                    EXPECT_EQ(fast, f.AsText()) << sql.toStdString() << " column " << i;
                    const QString kind = QString::number(int(f.kind())), null = QString::number(f.IsNull());
                    seen[direct] << QStringLiteral(
                                        "%1 kind %2 null %3 type %4 value [%5] text [%6] number %7")
                                        .arg(f.name(), kind, null, f.value().metaType().name(),
                                             f.value().toString(), f.AsText(),
                                             QString::number(f.AsDouble(), 'g', 17));
                }
                seen[direct] << "--";
            }
            seen[direct] << QStringLiteral("columns %1").arg(rs.FieldCount());
        }
        EXPECT_EQ(seen[1], seen[0]) << sql.toStdString();
        return seen[1];
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

TEST_F(SqliteDirectReadTest, ReadsWhatTheDriverReads) {
    ASSERT_NE(m_db->OpenCursor("SELECT 1"), nullptr);  // the direct path is the one tested
    EXPECT_EQ(m_db->OpenCursor("UPDATE Probe SET a = a"), nullptr);

    const QStringList all = Same("SELECT * FROM Probe ORDER BY rowid");
    EXPECT_EQ(all.size(), 3 * 9 + 1);
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
         {"Иванов", false, 2.5, qint64(7), QDateTime(QDate(2024, 2, 29), QTime(23, 59)), QDate(2024, 2, 29),
          QByteArray("\x01\x00z", 3), QString(), 3u});
    const QStringList none = Same("SELECT a, COUNT(*) AS n FROM Probe WHERE d = ? GROUP BY a", {-1});
    EXPECT_EQ(none, QStringList{"columns 2"});
}

TEST_F(SqliteDirectReadTest, FailuresAreReportedAsTheDriverReportsThem) {
    for (const auto &c : std::vector<std::pair<QString, QVariantList>>{
             {"SELECT NoSuchField FROM Probe", {}},
             {"SELECT a FROM Probe WHERE a = ?", {}},
             {"SELECT a FROM Probe WHERE a = ?", {1, 2}},
             {"SELECT abs(-9223372036854775807 - 1) FROM Probe", {}}}) {
        const auto failure = [&](bool direct) {
            m_db->SetDirectReads(direct);
            return ErrorText([&] { CDynamicRecordset(*m_db).Open(c.first, c.second); });
        };
        const QString driver = failure(false);
        EXPECT_NE(driver, "no error") << c.first.toStdString();
        EXPECT_EQ(failure(true), driver) << c.first.toStdString();
    }

    // A failed read inside a save ends the save as a failed write does.
    {
        Transaction tx(*m_db);
        m_db->Exec("UPDATE Probe SET a = 'gone'");
        CDynamicRecordset rs(*m_db);
        EXPECT_THROW(rs.Open("SELECT NoSuchField FROM Probe"), DbError);
        EXPECT_THROW(m_db->Exec("SELECT 1"), DbError);
        EXPECT_THROW(tx.Commit(), DbError);
    }
    EXPECT_EQ(CountRows(*m_db, "SELECT * FROM Probe WHERE a = 'gone'"), 0);

    // A row that fails half-way through a list is an error, not the end of the list: the driver's own
    // query would stop there without a word, and the list would be shown short.
    CDynamicRecordset rs(*m_db);
    rs.Open(
        QStringLiteral("SELECT CASE WHEN d IS NULL THEN abs(-9223372036854775807 - 1) ELSE d END AS v "
                       "FROM Probe ORDER BY rowid"));
    rs.MoveNext();
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_TRUE(ErrorText([&] { rs.MoveNext(); }).contains(u"integer overflow"));
}
