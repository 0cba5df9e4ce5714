#include "ChangeFeed.h"
#include "Heard.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace TestRows;

class ChangeFeedTest : public DbTest {
protected:
    ChangeFeed &Listen(Database &db) {
        ChangeFeed &feed = db.Changes();
        feed.SetPollInterval(50);
        return feed;
    }
};
ZV_INSTANTIATE_DB_TESTS(ChangeFeedTest);

TEST_P(ChangeFeedTest, AnotherConnectionsCommitIsToldByTableAndKeyAndARollbackNever) {
    auto other = OpenAgain();
    Heard heard(Listen(db()));

    // A rolled-back write, then a committed one: only the second reaches the listener.
    {
        Transaction tx(*other);
        Put(*other, Client{.key = "lost"});
    }
    Put(*other, Client{.key = "c1"});
    Put(*other, Order{.key = "z1", .lines = {{.name = "Мойка", .workers = {{.worker = "w1"}}}}});
    ASSERT_TRUE(heard.WaitFor([](const DataChanges &c) {
        return c.keys.value("SClient").contains("c1") && c.keys.value("TWork").contains("z1");
    })) << "nothing told within 2 s";
    EXPECT_FALSE(heard.all().unknown);
    EXPECT_FALSE(heard.all().keys.value("SClient").contains("lost"));
    // Lines and their workers are told by their order, and the order's kept totals by the order.
    EXPECT_EQ(heard.all().keys.value("TService"), QSet<QString>{"z1"});
    EXPECT_EQ(heard.all().keys.value("TZakaz"), QSet<QString>{"z1"});

    // Changing and deleting are told as well.
    heard.Clear();
    other->Exec("UPDATE SClient SET ClientName = ? WHERE IddClient = ?", {"Петров", "c1"});
    other->Exec("DELETE FROM TService WHERE IddZakaz = ?", {"z1"});
    ASSERT_TRUE(heard.WaitFor([](const DataChanges &c) {
        return c.keys.value("SClient").contains("c1") && c.keys.value("TService").contains("z1");
    }));
    EXPECT_TRUE(heard.all().TouchesAny({"SAvto", "TService"}));
    EXPECT_FALSE(heard.all().Touches("SAvto"));
}

TEST_P(ChangeFeedTest, OwnWritesAreToldAfterTheCommitNotBefore) {
    Heard heard(Listen(db()));
    Transaction tx(db());
    Put(db(), Bay{.key = "b1"});
    // Inside the transaction nothing is told, however long the loop runs.
    EXPECT_FALSE(heard.WaitFor([](const DataChanges &c) { return !c.Empty(); }));
    tx.Commit();
    ASSERT_TRUE(heard.WaitForKey("SBox", "b1"));
    // A lone write outside any transaction too.
    Put(db(), Worker{.key = "w1", .fio = "Сидоров"});
    ASSERT_TRUE(heard.WaitForKey("SWork", "w1"));
}

// Too many keys at once are told as unknown; a server's notices may also come in parts, each told by its
// keys, but never is one of the rows left out.
TEST_P(ChangeFeedTest, ABulkWriteIsToldAsUnknownOrWholeAndKeysFollowAgain) {
    auto other = OpenAgain();
    Heard heard(Listen(db()));
    other->Exec(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 6000) "
        "INSERT INTO SBox (IddBox, NameBox, [Delete]) SELECT 'b' || i, 'Бокс', FALSE FROM n");
    ASSERT_TRUE(heard.WaitFor(
        [](const DataChanges &c) { return c.unknown || c.keys.value("SBox").size() == 6000; }, 10000));
    // After it the keys are told again one by one.
    heard.Clear();
    Put(*other, Client{.key = "c9"});
    ASSERT_TRUE(heard.WaitForKey("SClient", "c9"));
    EXPECT_FALSE(heard.all().unknown);
}

TEST_P(ChangeFeedTest, ABulkLoadWithTellingStoppedLeavesNothingToTell) {
    auto other = OpenAgain();
    Heard heard(Listen(db()));
    ChangeFeed::StopTelling(*other);
    Put(*other, Client{.key = "quiet"});
    ChangeFeed::StartTelling(*other);
    Put(*other, Client{.key = "loud"});
    ASSERT_TRUE(heard.WaitForKey("SClient", "loud"));
    EXPECT_FALSE(heard.all().keys.value("SClient").contains("quiet"));
}
