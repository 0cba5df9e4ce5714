#include "DriverTexts.h"
#include "DynamicRecordset.h"
#include "ErrorText.h"
#include "Heard.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QProcess>

using namespace TestRows;

// The server of the test cluster is restarted and stopped under a connected program, as an update or a
// reboot of the shop's server does. These tests run alone (they take the server from every other test).
class ReconnectTest : public DbTest {
protected:
    void Cluster(const char *command) {
        QProcess run;
        run.start("bash", {ZV_SOURCE_DIR "/scripts/pg-cluster.sh", command,
                           qEnvironmentVariable("ZV_TEST_PG_CLUSTER")});
        ASSERT_TRUE(run.waitForFinished(60000) && run.exitCode() == 0)
            << "ZV_TEST_PG_CLUSTER must name the test cluster: " << run.readAllStandardError().toStdString();
    }
    int Bays() { return CountRows(db(), "SELECT * FROM SBox WHERE IddBox <> ?", {"-"}); }
};
INSTANTIATE_TEST_SUITE_P(Db, ReconnectTest, ::testing::Values(Backend::Postgres), BackendName);

TEST_P(ReconnectTest, AfterARestartTheNextReadAndSaveWorkAndACutSaveLeavesNothing) {
    Put(db(), Bay{"b1"});
    EXPECT_EQ(Bays(), 1);  // the read is kept prepared on the connection
    Cluster("restart");
    EXPECT_EQ(Bays(), 1);
    Cluster("restart");
    {
        // so is a long list read as it arrives
        CDynamicRecordset list(db());
        list.OpenLong("SELECT IddBox FROM SBox WHERE IddBox <> ?", {"-"});
        EXPECT_FALSE(list.IsEOF());
    }
    Cluster("restart");
    Put(db(), Bay{"b2"});  // a lone write
    Cluster("restart");
    Transaction save(db());
    Put(db(), Bay{"b3"});
    save.Commit();
    EXPECT_EQ(Bays(), 3);

    // The server goes away in the middle of a save.
    const QString cut = ErrorText([&] {
        Transaction tx(db());
        Put(db(), Bay{"b4"});
        Cluster("restart");
        Put(db(), Bay{"b5"});
        tx.Commit();
    });
    EXPECT_TRUE(cut.startsWith(DriverTexts::kLost)) << cut.toStdString();
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(Bays(), 3);
    Put(db(), Bay{"b4"});
    EXPECT_EQ(Bays(), 4);
}

TEST_P(ReconnectTest, WhileTheServerIsDownEachActionNamesItAndWorksAgainOnceItIsBack) {
    Put(db(), Bay{"b1"});
    Cluster("pause");
    const QString down =
        DriverTexts::kUnavailable.arg(DriverTexts::Where(ParseConnectString(ConnectString())));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_TRUE(ErrorText([&] { Bays(); }).startsWith(down)) << ErrorText([&] { Bays(); }).toStdString();
        EXPECT_TRUE(ErrorText([&] { Transaction tx(db()); }).startsWith(down));
    }
    Cluster("resume");
    Put(db(), Bay{"b2"});
    EXPECT_EQ(Bays(), 2);
}

TEST_P(ReconnectTest, WhatOthersWriteIsToldAgainOnceTheServerIsBack) {
    ChangeFeed &feed = db().Changes();
    feed.SetPollInterval(50);
    Heard heard(feed);
    Cluster("restart");
    // Nobody listened meanwhile: everything may have changed.
    ASSERT_TRUE(heard.WaitFor([](const DataChanges &c) { return c.unknown; }, 10000));
    heard.Clear();
    auto other = OpenAgain();
    Put(*other, Bay{"b1"});
    EXPECT_TRUE(heard.WaitForKey("SBox", "b1"));
}
