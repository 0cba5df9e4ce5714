#include "CounterStore.h"
#include "DbError.h"
#include "DriverTexts.h"
#include "ErrorText.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace TestRows;

class DatabaseTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(DatabaseTest);

namespace {
QStringList g_qtMessages;  // the drivers report some failures only as Qt's warnings
}

// A save fails as a whole. An inner transaction left without Commit (as a store that returns early leaves
// it) dooms the outer one; after a failed statement nothing more runs in the transaction, since it would be
// stored on its own.
TEST_P(DatabaseTest, ASaveThatFailsAnywhereStoresNothingAndTheConnectionGoesOn) {
    {
        Transaction outer(db());
        Put(db(), Bay{"b1"});
        {
            Transaction inner(db());
            Put(db(), Bay{"b2"});
        }
        EXPECT_EQ(db().TransactionDepth(), 1);
        Put(db(), Bay{"b3"});
        EXPECT_THROW(outer.Commit(), DbError);
    }
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SBox"), 0);

    g_qtMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &text) { g_qtMessages << text; });
    {
        Transaction tx(db());
        Put(db(), Bay{"b1"});
        {
            Transaction inner(db());  // committed, yet part of the outer one
            Put(db(), Bay{"b0"});
            inner.Commit();
        }
        EXPECT_THROW(Put(db(), Bay{"b1"}), DbError);  // duplicate key
        EXPECT_THROW(Put(db(), Bay{"b2"}), DbError);
        EXPECT_THROW(tx.Commit(), DbError);
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SBox"), 0);
    for (const QString &line : g_qtMessages)
        EXPECT_FALSE(line.contains(u"Unable to free statement")) << line.toStdString();
    // Only the program's own kept statements stay prepared, none of the driver's passing ones.
    if (GetParam() == Backend::Postgres) {
        EXPECT_EQ(CountRows(db(), "SELECT * FROM pg_prepared_statements WHERE name NOT LIKE 'zv\\_%'"), 0);
    }
    // The statement prepared in the failed transaction serves the next one.
    Put(db(), Bay{"b4"});
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SBox"), 1);
}

// What the user can act on is said in Russian, SQLite's own words following as details; nothing is stored.
TEST_P(DatabaseTest, AFullDiskAReadOnlyOrADamagedFileIsNamedInRussian) {
    if (GetParam() != Backend::Sqlite) GTEST_SKIP() << "SQLite's own failures";
    auto refused = [](const QString &text, const std::function<void()> &action) {
        EXPECT_TRUE(ErrorText(action).startsWith(text + DriverTexts::kDetails.arg("")))
            << ErrorText(action).toStdString();
    };
    db().Exec("PRAGMA max_page_count = " + FirstValue(db(), "PRAGMA page_count").toString());
    refused(DriverTexts::kDiskFull, [&] {
        Transaction tx(db());
        for (int i = 0; i < 10000; ++i) Put(db(), Bay{QString::number(i), QString(250, u'x')});
    });
    db().Exec("PRAGMA query_only = 1");
    refused(DriverTexts::kReadOnly.arg(m_dir.filePath("Quellmarod.db")), [&] { Put(db(), Bay{"b1"}); });
    db().Exec("PRAGMA query_only = 0");
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SBox"), 0);

    const QString damaged = m_dir.filePath("damaged.db");
    QFile garbage(damaged);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly) && garbage.write(QByteArray(8192, 'z')) > 0);
    garbage.close();
    refused(DriverTexts::kDamaged.arg(damaged), [&] { Database::Open("SQLITE;DATABASE=" + damaged); });
}

// A null text is stored as NULL, an empty one as empty text; quotes, placeholders and SQL stay text; NUL
// characters are not stored, whichever way the text is written.
TEST_P(DatabaseTest, AStatementRunAgainIsPreparedOnceAndCarriesEveryKindOfValue) {
    const QString insert = "INSERT INTO SBox (IddBox, NameBox, PrimBox, [Delete]) VALUES (?, ?, ?, ?)";
    db().Exec(insert, {"b1", "O'Neil \\ \"Бокс\" ?", QString(), true});
    db().Exec(insert, {"b2", "$1; DROP TABLE SBox; --", "", false});
    db().Exec(insert, {"b3", "E'x'", QString(QChar(u'\0')) + "?", true});
    Put(db(), Bay{"b4", QStringLiteral("Бокс") + QChar(u'\0') + "1"});
    EXPECT_EQ(
        ColumnTexts(db(),
                    "SELECT IddBox || '|' || NameBox || '|' || COALESCE(PrimBox, 'NULL') || '|' || CASE "
                    "WHEN [Delete] THEN 'T' ELSE 'F' END FROM SBox ORDER BY IddBox"),
        (QStringList{"b1|O'Neil \\ \"Бокс\" ?|NULL|T", "b2|$1; DROP TABLE SBox; --||F", "b3|E'x'|?|T",
                     "b4|Бокс1|NULL|F"}));
    if (GetParam() == Backend::Postgres) {  // prepared once
        EXPECT_EQ(CountRows(db(), "SELECT * FROM pg_prepared_statements WHERE statement LIKE '%PrimBox%'"),
                  1);
    }
}

TEST_P(DatabaseTest, ALockHeldTooLongIsReportedAsTheOtherWorkstationsAndNothingIsWritten) {
    auto other = OpenAgain();
    other->SetLockWait(300);
    CounterStore(db()).WriteAll({QString(), 0, 10, 0, 0});
    Transaction holder(db());
    CounterStore(db()).Take(DocCounter::Pay);  // 11, row locked until the commit
    const QString error = ErrorText([&] { CounterStore(*other).Take(DocCounter::Pay); });
    EXPECT_TRUE(error.contains(u"база данных занята другим рабочим местом")) << error.toStdString();
    EXPECT_EQ(other->TransactionDepth(), 0);
    holder.Commit();
    EXPECT_EQ(CounterStore(*other).Take(DocCounter::Pay), 12);
}
