#include "CounterStore.h"
#include "Database.h"
#include "TestDb.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>

constexpr int kSaves = 200;             // per workstation
constexpr int kDeadlineMs = 40 * 1000;  // for both together

// Two copies of the worker program saving at once on one database: one SQLite file or one PostgreSQL
// schema, created by the two of them as they start.
class TwoWorkstationsTest : public DbTest {
protected:
    void Fill() override {
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

    // Runs both workers to the end and opens the database again; fails the test on a timeout or a failed
    // save.
    void RunTwo(const QString &mode, const QString &loginA, const QString &loginB) {
        QProcess workers[2];
        for (int i = 0; i < 2; ++i)
            workers[i].start(ZV_STRESS_WORKER,
                             {m_shared, mode, QString::number(kSaves), i ? loginB : loginA, i ? "B" : "A"});
        const QDeadlineTimer deadline(kDeadlineMs);
        for (QProcess &p : workers) {
            if (!p.waitForFinished(int(deadline.remainingTime()))) {
                p.kill();
                p.waitForFinished(5000);
                ADD_FAILURE() << "a workstation did not finish in time";
            }
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        }
        m_db = Database::Open(m_shared);
    }

    void ExpectDistinctOrderNumbers() {
        const long total = 2 * kSaves;
        // Every number from 1 to the total, each once.
        QList<long> numbers, expected;
        for (const QString &n : ColumnTexts(db(), "SELECT ZakazNomer FROM TZakaz")) numbers << n.toLong();
        std::sort(numbers.begin(), numbers.end());
        for (long i = 1; i <= total; ++i) expected << i;
        EXPECT_EQ(numbers, expected);
        // The counters end at the highest numbers issued.
        const CounterValues counters = CounterStore(db()).ReadAll().value();
        EXPECT_EQ(QList<long>({counters.zakazNomer, counters.payNomer}), QList<long>({total, total}));
        EXPECT_EQ(CountRows(db(), "SELECT DISTINCT NomerPay FROM TPay"), total);
        // Every order made its own client, car, link and payment under a key of its own.
        for (const char *table : {"SClient", "SAvto", "AvtoVlad", "TPay", "TService", "TWork"})
            EXPECT_EQ(CountRows(db(), QString("SELECT * FROM ") + table), total) << table;
    }

    QString m_shared;
};
ZV_INSTANTIATE_DB_TESTS(TwoWorkstationsTest);

TEST_P(TwoWorkstationsTest, OrdersSavedAtOnceGetDistinctNumbers) {
    RunTwo("orders", "anna", "oleg");
    ExpectDistinctOrderNumbers();
}

TEST_P(TwoWorkstationsTest, OneLoginOnTwoWorkstationsMakesDistinctKeys) {
    RunTwo("orders", "admin", "admin");
    ExpectDistinctOrderNumbers();
}

// Two cashiers pay the same orders at the same moment, each the debt he saw: the second is stopped (and
// would be asked) rather than storing an overpayment.
TEST_P(TwoWorkstationsTest, TwoCashiersPayingOneOrderAtOnceNeverBothPayIt) {
    RunTwo("unpaid", "anna", "oleg");
    RunTwo("payments", "anna", "oleg");
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TZakaz WHERE ZakazOplata <> ZakazSumma OR ZakazSumma = 0"), 0);
}

TEST_P(TwoWorkstationsTest, CarsSavedAtOnceNeitherWaitForeverNorFail) {
    RunTwo("cars", "admin", "admin");
    EXPECT_EQ(CountRows(db(), "SELECT * FROM SAvto"), 2 * kSaves);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM AvtoVlad WHERE [Delete] = FALSE"), 2 * kSaves);
}
