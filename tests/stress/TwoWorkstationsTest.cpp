#include "CounterStore.h"
#include "Database.h"
#include "TestDb.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <algorithm>

namespace {

constexpr int kSaves = 200;             // per workstation
constexpr int kDeadlineMs = 40 * 1000;  // for both together

}  // namespace

// Two copies of the worker program saving at once on one database: one SQLite file or one PostgreSQL
// schema, created by the two of them as they start.
class TwoWorkstationsTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (GetParam() == Backend::Sqlite) {
            m_shared = QStringLiteral("SQLITE;DATABASE=") + m_dir.filePath(QStringLiteral("Shared.db"));
        } else {
            // The same schema as the test's own connection, emptied so the workers create it.
            const QString schema = FirstValue(db(), QStringLiteral("SELECT current_schema()")).toString();
            db().Exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
            db().Exec(QStringLiteral("CREATE SCHEMA %1").arg(schema));
            m_shared = ConnectString();
        }
        m_db.reset();
    }

    // Runs both workers to the end; fails the test on a timeout or a failed save.
    void RunTwo(const QString &mode, const QString &loginA, const QString &loginB) {
        QProcess a, b;
        a.setProcessChannelMode(QProcess::SeparateChannels);
        b.setProcessChannelMode(QProcess::SeparateChannels);
        const QString n = QString::number(kSaves);
        a.start(QStringLiteral(ZV_STRESS_WORKER), {m_shared, mode, n, loginA, QStringLiteral("A")});
        b.start(QStringLiteral(ZV_STRESS_WORKER), {m_shared, mode, n, loginB, QStringLiteral("B")});
        QElapsedTimer clock;
        clock.start();
        for (QProcess *p : {&a, &b}) {
            const int left = std::max<int>(1, kDeadlineMs - int(clock.elapsed()));
            if (!p->waitForFinished(left)) {
                p->kill();
                p->waitForFinished(5000);
                ADD_FAILURE() << "a workstation did not finish in time";
            }
        }
        for (QProcess *p : {&a, &b}) {
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        }
        m_db = Database::Open(m_shared);
    }

    void ExpectDistinctOrderNumbers() {
        const int total = 2 * kSaves;
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), total);
        // Every number from 1 to the total, each once.
        QList<long> numbers;
        QSqlQuery q = db().Exec(QStringLiteral("SELECT ZakazNomer FROM TZakaz"));
        while (q.next()) numbers << q.value(0).toString().toLong();
        std::sort(numbers.begin(), numbers.end());
        QList<long> expected;
        for (long i = 1; i <= total; ++i) expected << i;
        EXPECT_EQ(numbers, expected);
        const auto counters = CounterStore(db()).ReadAll();
        ASSERT_TRUE(counters);
        EXPECT_EQ(counters->zakazNomer, total);  // the counter ends at the highest number issued
        EXPECT_EQ(counters->payNomer, total);
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT DISTINCT NomerPay FROM TPay")), total);
        // Every order made its own client, car, link and payment under a key of its own.
        for (const char *table : {"SClient", "SAvto", "AvtoVlad", "TPay", "TService", "TWork"})
            EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM %1").arg(QLatin1StringView(table))),
                      total)
                << table;
    }

    QString m_shared;
};
ZV_INSTANTIATE_DB_TESTS(TwoWorkstationsTest);

TEST_P(TwoWorkstationsTest, OrdersSavedAtOnceGetDistinctNumbers) {
    RunTwo(QStringLiteral("orders"), QStringLiteral("anna"), QStringLiteral("oleg"));
    if (!m_db) return;
    ExpectDistinctOrderNumbers();
}

TEST_P(TwoWorkstationsTest, OneLoginOnTwoWorkstationsMakesDistinctKeys) {
    RunTwo(QStringLiteral("orders"), QStringLiteral("admin"), QStringLiteral("admin"));
    if (!m_db) return;
    ExpectDistinctOrderNumbers();
}

TEST_P(TwoWorkstationsTest, CarsSavedAtOnceNeitherWaitForeverNorFail) {
    RunTwo(QStringLiteral("cars"), QStringLiteral("admin"), QStringLiteral("admin"));
    if (!m_db) return;
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SAvto")), 2 * kSaves);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE [Delete] = FALSE")), 2 * kSaves);
}
