#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QSqlQuery>

namespace {

// Qt's warnings while it lives (the drivers report some failures only there).
class WarningLog {
public:
    WarningLog() {
        s_lines.clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { s_lines << text; });
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    const QStringList &lines() const { return s_lines; }

private:
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

}  // namespace

using namespace TestRows;

class DatabaseTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(DatabaseTest);

TEST_P(DatabaseTest, InnerTransactionLeftUncommittedFailsTheOuterCommit) {
    {
        Transaction outer(db());
        Put(db(), Bay{"b1"});
        {
            Transaction inner(db());
            Put(db(), Bay{"b2"});
            // Leaves without Commit, as a store that returns early does.
        }
        EXPECT_EQ(db().TransactionDepth(), 1);
        Put(db(), Bay{"b3"});
        EXPECT_THROW(outer.Commit(), DbError);
    }
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 0);
    Put(db(), Bay{"b4"});  // the connection goes on working
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 1);
}

TEST_P(DatabaseTest, AFailedStatementEndsTheTransactionAndLeavesNoStatementBehind) {
    WarningLog log;
    try {
        Transaction tx(db());
        Put(db(), Bay{"b1"});
        {
            Transaction inner(db());  // committed, yet part of the outer one
            Put(db(), Bay{"b0"});
            inner.Commit();
        }
        Put(db(), Bay{"b1"});  // duplicate key
        tx.Commit();
        FAIL() << "the duplicate should have failed";
    } catch (const DbError &) {
    }
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 0);
    // Nothing may run in the transaction after its failure: it would be stored on its own.
    {
        Transaction tx(db());
        Put(db(), Bay{"b2"});
        EXPECT_THROW(Put(db(), Bay{"b2"}), DbError);
        EXPECT_THROW(Put(db(), Bay{"b3"}), DbError);
        EXPECT_THROW(tx.Commit(), DbError);
    }
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 0);
    for (const QString &line : log.lines())
        EXPECT_FALSE(line.contains(u"Unable to free statement")) << line.toStdString();
    if (GetParam() == Backend::Postgres) {
        // Only the program's own kept statements stay prepared, none of the driver's passing ones.
        QSqlQuery q = db().Exec(
            QStringLiteral("SELECT COUNT(*) FROM pg_prepared_statements WHERE name NOT LIKE 'zv\\_%'"));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 0);
    }
    // The statement prepared in the failed transaction serves the next one.
    Put(db(), Bay{"b4"});
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 1);
}

TEST_P(DatabaseTest, AStatementRunAgainIsPreparedOnceAndCarriesEveryKindOfValue) {
    const QString insert =
        QStringLiteral("INSERT INTO SBox (IddBox, NameBox, PrimBox, [Delete]) VALUES (?, ?, ?, ?)");
    struct Row {
        QString key, name, note;
        bool deleted;
    };
    const Row rows[] = {
        {QStringLiteral("b1"), QStringLiteral("O'Neil \\ \"Бокс\" ?"), QString(), true},
        {QStringLiteral("b2"), QStringLiteral("$1; DROP TABLE SBox; --"), QStringLiteral(""), false},
        {QStringLiteral("b3"), QStringLiteral("E'x'"), QStringLiteral("?"), true}};
    for (const Row &r : rows) db().Exec(insert, {r.key, r.name, r.note, r.deleted});
    QSqlQuery q =
        db().Exec(QStringLiteral("SELECT IddBox, NameBox, PrimBox, [Delete] FROM SBox ORDER BY IddBox"));
    for (const Row &r : rows) {
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), r.key);
        EXPECT_EQ(q.value(1).toString(), r.name);
        // A null text is stored as NULL, an empty one as empty text.
        EXPECT_EQ(q.value(2).isNull(), r.note.isNull()) << r.key.toStdString();
        EXPECT_EQ(q.value(2).toString(), r.note);
        EXPECT_EQ(q.value(3).toBool(), r.deleted);
    }
    EXPECT_FALSE(q.next());
    if (GetParam() == Backend::Postgres) {
        QSqlQuery p = db().Exec(QStringLiteral(
            "SELECT COUNT(*) FROM pg_prepared_statements WHERE statement LIKE '%INSERT INTO SBox%'"));
        ASSERT_TRUE(p.next());
        EXPECT_EQ(p.value(0).toInt(), 1);
    }
}

TEST_P(DatabaseTest, ALockHeldTooLongIsReportedAsTheOtherWorkstationsAndNothingIsWritten) {
    auto other = OpenAgain();
    other->SetLockWait(300);
    CounterStore(db()).WriteAll({QString(), 0, 10, 0, 0});
    Transaction holder(db());
    CounterStore(db()).Take(DocCounter::Pay);  // 11, row locked until the commit
    try {
        CounterStore(*other).Take(DocCounter::Pay);
        FAIL() << "the second workstation should not get the counter while it is locked";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(u"база данных занята другим рабочим местом")) << e.text().toStdString();
    }
    EXPECT_EQ(other->TransactionDepth(), 0);
    holder.Commit();
    EXPECT_EQ(CounterStore(*other).Take(DocCounter::Pay), 12);
}

TEST_P(DatabaseTest, NulCharactersAreNotStored) {
    Put(db(), Bay{"b1", QStringLiteral("Бокс") + QChar(u'\0') + QStringLiteral("1")});
    db().Exec(QStringLiteral("UPDATE SBox SET PrimBox = ? WHERE IddBox = ?"),
              {QString(QChar(u'\0')) + QStringLiteral("x"), QStringLiteral("b1")});
    QSqlQuery q = db().Exec(QStringLiteral("SELECT NameBox, PrimBox FROM SBox"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("Бокс1"));
    EXPECT_EQ(q.value(1).toString(), QStringLiteral("x"));
}
