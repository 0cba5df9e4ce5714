#include "CashStore.h"
#include "CounterStore.h"
#include "DbError.h"
#include "MoneyRows.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "SalaryRows.h"
#include "SalaryStore.h"
#include "TestDb.h"

using namespace SalaryRows;

class SalaryStoreTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Иванов"));
        AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Петров"), true);
    }
    static QDateTime At(int y, int m, int d, int h = 12, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }
    // A finished order with one line done by both workers.
    void SharedLine(const QString &zakaz, const QDateTime &endOut, bool prJob, double job, int status = 2) {
        AddOrder(db(), zakaz, endOut, status);
        AddLine(db(), zakaz, QStringLiteral("s"), 2, 500, 20, prJob, job);
        Assign(db(), zakaz, QStringLiteral("s"), QStringLiteral("w1"), QStringLiteral("Иванов"));
        Assign(db(), zakaz, QStringLiteral("s"), QStringLiteral("w2"), QStringLiteral("Петров"));
    }
    QString Payout(double w1, double w2, const QDateTime &when, bool w2Chosen = true) {
        PayRecord pay;
        pay.NaznPay = QStringLiteral("Зарплата");
        pay.NomerPay = QStringLiteral("7");
        pay.DataPay = when;
        pay.SummaPay = Rub(-(w1 + (w2Chosen ? w2 : 0)));
        QList<PayoutLine> lines{{{}, QStringLiteral("w1"), {}, Rub(w1), false},
                                {{}, QStringLiteral("w2"), {}, Rub(w2), !w2Chosen}};
        return SalaryStore(db()).SavePayout(pay, lines, QStringLiteral("anna"));
    }
    static Money EarnedOf(const QList<WorkerFigures> &list, const QString &work) {
        for (const auto &w : list)
            if (w.IddWork == work) return w.earned;
        return Rub(-1);
    }
};
ZV_INSTANTIATE_DB_TESTS(SalaryStoreTest);

TEST_P(SalaryStoreTest, LinePayIsSplitAmongItsLiveWorkers) {
    const QDate day(2024, 3, 10);
    SharedLine(QStringLiteral("pct"), At(2024, 3, 1), true, 10);   // 10 % of 1 000 → 50 each
    SharedLine(QStringLiteral("fix"), At(2024, 3, 2), false, 80);  // 80 per line → 40 each
    SalaryStore store(db());
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), day), Rub(90));
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w2"), day), Rub(90));
    EXPECT_EQ(store.LineWorkerCount(QStringLiteral("pct"), QStringLiteral("s")), 2);

    // A removed worker earns nothing and the others share the line's whole pay.
    Rows::SoftDelete(db(), QStringLiteral("TWork"),
                     {{QStringLiteral("IddZakaz"), QStringLiteral("fix")},
                      {QStringLiteral("IddWork"), QStringLiteral("w2")}});
    EXPECT_EQ(store.LineWorkerCount(QStringLiteral("fix"), QStringLiteral("s")), 1);
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), day), Rub(130));
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w2"), day), Rub(50));

    // A package header counts nothing.
    AddLine(db(), QStringLiteral("pct"), QStringLiteral("pk"), 1, 0, 0, false, 999, QStringLiteral("Пакет"),
            QStringLiteral("0"));
    Assign(db(), QStringLiteral("pct"), QStringLiteral("pk"), QStringLiteral("w1"), QStringLiteral("Иванов"));
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), day), Rub(130));
}

TEST_P(SalaryStoreTest, OnlyOrdersFinishedByTheEndOfTheDayCount) {
    SharedLine(QStringLiteral("last"), At(2024, 3, 10, 23, 59, 59), false, 80);
    SharedLine(QStringLiteral("next"), At(2024, 3, 11, 0, 0, 0), false, 80);
    SharedLine(QStringLiteral("open"), At(2024, 3, 5), false, 80, 1);
    SalaryStore store(db());
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), QDate(2024, 3, 10)), Rub(40));
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), QDate(2024, 3, 9)), Rub(0));
    EXPECT_EQ(store.WorkerEarned(QStringLiteral("w1"), QDate(2024, 3, 11)), Rub(80));
}

TEST_P(SalaryStoreTest, BalancesOfAllWorkersInThreeStatements) {
    SharedLine(QStringLiteral("a"), At(2024, 3, 1), false, 80);
    SharedLine(QStringLiteral("b"), At(2024, 3, 2), true, 10);
    AddWorker(db(), QStringLiteral("gone"), QStringLiteral("Уволенный"), false, true);
    Payout(100, 30, At(2024, 3, 5));  // w1 paid more than he earned
    Payout(5, 5, At(2024, 3, 20));    // after the day

    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    const QList<WorkerFigures> list = SalaryStore(db()).WorkerBalances(QDate(2024, 3, 10));
    db().SetStatementHook({});
    EXPECT_EQ(statements, 3);
    ASSERT_EQ(list.size(), 2);  // the deleted worker is not listed
    EXPECT_EQ(list[0].WorkFIO, QStringLiteral("Иванов"));
    EXPECT_EQ(list[0].earned, Rub(90));
    EXPECT_EQ(list[0].paid, Rub(100));
    EXPECT_EQ(list[0].Debt(), Rub(-10));
    EXPECT_TRUE(list[1].WorkOut);
    EXPECT_EQ(list[1].Debt(), Rub(60));
    EXPECT_EQ(SalaryStore(db()).WorkerPaid(QStringLiteral("w1"), QDate(2024, 3, 20)), Rub(105));
}

// The list of every worker and one worker's own figure are read by different statements: they must agree
// on every kind of line that counts or does not.
TEST_P(SalaryStoreTest, EveryWorkersBalanceAgreesWithHisOwnFigure) {
    const QDate day(2024, 3, 10);
    AddWorker(db(), QStringLiteral("w3"), QStringLiteral("Сидоров"));
    const auto assign = [&](const QString &zakaz, const QString &service, const QStringList &workers) {
        for (const QString &w : workers) Assign(db(), zakaz, service, w, w);
    };
    // Three workers on a line, one of them removed: 10 % of 900 shared by two.
    AddOrder(db(), QStringLiteral("a"), At(2024, 3, 1));
    AddLine(db(), QStringLiteral("a"), QStringLiteral("s"), 3, 300, 20, true, 10);
    assign(QStringLiteral("a"), QStringLiteral("s"), {QStringLiteral("w1"), QStringLiteral("w2")});
    Assign(db(), QStringLiteral("a"), QStringLiteral("s"), QStringLiteral("w3"), QStringLiteral("w3"), true);
    // The same service twice in one order, standalone and in a package: its workers share each line's pay
    // (100 and 60), beside the package header, which pays nothing.
    AddOrder(db(), QStringLiteral("b"), At(2024, 3, 2));
    AddLine(db(), QStringLiteral("b"), QStringLiteral("s"), 1, 1000, 0, true, 10);
    AddLine(db(), QStringLiteral("b"), QStringLiteral("s"), 1, 500, 0, false, 60, QStringLiteral("В пакете"),
            QStringLiteral("pk"));
    AddLine(db(), QStringLiteral("b"), QStringLiteral("pk"), 1, 0, 0, false, 999, QStringLiteral("Пакет"),
            QStringLiteral("0"));
    assign(QStringLiteral("b"), QStringLiteral("s"), {QStringLiteral("w2"), QStringLiteral("w3")});
    assign(QStringLiteral("b"), QStringLiteral("pk"), {QStringLiteral("w1")});
    // A single worker's fixed pay.
    AddOrder(db(), QStringLiteral("c"), At(2024, 3, 10, 23, 59, 59));
    AddLine(db(), QStringLiteral("c"), QStringLiteral("t"), 2, 50, 0, false, 25);
    assign(QStringLiteral("c"), QStringLiteral("t"), {QStringLiteral("w3")});
    // A fixed 100.00 among three: shares rounded to the kopeck that add up, the first by key taking the
    // odd kopeck.
    AddOrder(db(), QStringLiteral("d"), At(2024, 3, 5));
    AddLine(db(), QStringLiteral("d"), QStringLiteral("u"), 1, 10, 0, false, 100);
    assign(QStringLiteral("d"), QStringLiteral("u"),
           {QStringLiteral("w3"), QStringLiteral("w1"), QStringLiteral("w2")});
    // None of these count: finished after the day, not finished, deleted, a deleted line.
    AddOrder(db(), QStringLiteral("late"), At(2024, 3, 11, 0));
    AddOrder(db(), QStringLiteral("open"), At(2024, 3, 3), 1);
    AddOrder(db(), QStringLiteral("gone"), At(2024, 3, 3));
    Rows::SoftDelete(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("gone")}});
    for (const QString &z : {QStringLiteral("late"), QStringLiteral("open"), QStringLiteral("gone")}) {
        AddLine(db(), z, QStringLiteral("s"), 1, 100, 0, false, 1000);
        assign(z, QStringLiteral("s"), {QStringLiteral("w1"), QStringLiteral("w2"), QStringLiteral("w3")});
    }
    AddLine(db(), QStringLiteral("c"), QStringLiteral("x"), 1, 100, 0, false, 1000);
    Rows::SoftDelete(db(), QStringLiteral("TService"),
                     {{QStringLiteral("IddZakaz"), QStringLiteral("c")},
                      {QStringLiteral("IddService"), QStringLiteral("x")}});
    assign(QStringLiteral("c"), QStringLiteral("x"), {QStringLiteral("w1")});

    SalaryStore store(db());
    const QList<WorkerFigures> list = store.WorkerBalances(day);
    ASSERT_EQ(list.size(), 3);
    const QHash<QString, Money> expected = {{QStringLiteral("w1"), Rub(45 + 33.34)},
                                            {QStringLiteral("w2"), Rub(45 + 80 + 33.33)},
                                            {QStringLiteral("w3"), Rub(80 + 25 + 33.33)}};
    for (const WorkerFigures &w : list) {
        SCOPED_TRACE(w.IddWork.toStdString());
        EXPECT_EQ(w.earned, expected.value(w.IddWork, Rub(-1)));
        EXPECT_EQ(store.WorkerEarned(w.IddWork, day), Rub(w.earned));
        Money listed;  // the worker's works list shows the same shares
        for (const PerformedWork &p : store.FillPerformedWorks({{}, day, w.IddWork}).rows) listed += p.pay;
        EXPECT_EQ(listed, w.earned);
    }
}

TEST_P(SalaryStoreTest, PayoutIsStoredWithItsLinesAndDeletedWithThem) {
    CounterStore(db()).WriteAll({QString(), 0, 0, 0, 3});
    const QString key = Payout(1000, 200, At(2024, 4, 1), false);
    const auto pay = PaymentStore(db()).LoadPayment(key);
    ASSERT_TRUE(pay);
    EXPECT_EQ(pay->TypePay, int(SalaryPayout));
    EXPECT_EQ(pay->IddZakaz, QStringLiteral("0"));
    EXPECT_EQ(pay->SummaPay, Rub(-1000));
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 8);  // the typed number raised the counter

    // The unchosen worker's line is stored deleted and not loaded again.
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay WHERE IddPay = ?"), {key}), 2);
    SalaryStore store(db());
    const QList<PayoutLine> lines = store.LoadPayoutLines(key);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].WorkFIO, QStringLiteral("Иванов"));
    EXPECT_EQ(lines[0].SummaWorkPay, Rub(1000));

    // Listed positive in the salary journal, negative in the cash journal.
    const QList<PayRecord> journal = store.SalaryJournal({QDate(2024, 4, 1), QDate(2024, 4, 1), {}, {}});
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(-journal[0].SummaPay, Rub(1000));
    const CashJournal cash =
        CashStore(db()).FillCashJournal({QDate(2024, 4, 1), QDate(2024, 4, 1), {}, {}, {}});
    ASSERT_EQ(cash.rows.size(), 1);
    EXPECT_EQ(cash.rows[0].pay.SummaPay, Rub(-1000));
    EXPECT_TRUE(
        store.SalaryJournal({QDate(2024, 4, 1), QDate(2024, 4, 1), QStringLiteral("8"), {}}).isEmpty());
    EXPECT_TRUE(store.SalaryJournal({QDate(2024, 4, 2), QDate(2024, 4, 30), {}, {}}).isEmpty());

    EXPECT_TRUE(store.DeletePayout(key));
    EXPECT_EQ(store.WorkerPaid(QStringLiteral("w1"), QDate(2024, 4, 1)), Rub(0));
    EXPECT_TRUE(store.SalaryJournal({QDate(2024, 4, 1), QDate(2024, 4, 1), {}, {}}).isEmpty());
}

TEST_P(SalaryStoreTest, FailedSaveWritesNothingAndTakesNoNumber) {
    CounterStore(db()).WriteAll({QString(), 0, 0, 0, 3});
    // The payout row and its number are written before the lines: they must go back with them.
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("TWorkPay"), Qt::CaseInsensitive))
            throw DbError(QStringLiteral("диск полон"));
    });
    EXPECT_THROW(Payout(10, 20, At(2024, 4, 1)), DbError);
    db().SetWriteHook({});
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay")), 0);
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 4);
}

TEST_P(SalaryStoreTest, EditingAPayoutRewritesItsOwnLines) {
    const QString key = Payout(10, 20, At(2024, 4, 1));
    SalaryStore store(db());
    QList<PayoutLine> lines = store.LoadPayoutLines(key);
    ASSERT_EQ(lines.size(), 2);
    lines[0].SummaWorkPay = Rub(15);
    lines[1].DeleteWorkPay = true;
    auto pay = PaymentStore(db()).LoadPayment(key);
    pay->SummaPay = Rub(-15);
    store.SavePayout(*pay, lines, QStringLiteral("anna"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay")), 2);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);
    EXPECT_EQ(store.WorkerPaid(QStringLiteral("w1"), QDate(2024, 4, 1)), Rub(15));
    EXPECT_EQ(store.WorkerPaid(QStringLiteral("w2"), QDate(2024, 4, 1)), Rub(0));
}

TEST_P(SalaryStoreTest, PerformedWorksRowsAndTotals) {
    AddOrder(db(), QStringLiteral("z"), At(2024, 3, 31, 18));
    AddLine(db(), QStringLiteral("z"), QStringLiteral("s"), 3, 200, 18, true, 25);
    Assign(db(), QStringLiteral("z"), QStringLiteral("s"), QStringLiteral("w1"), QStringLiteral("Иванов"));
    AddOrder(db(), QStringLiteral("late"), At(2024, 4, 1, 0));
    AddLine(db(), QStringLiteral("late"), QStringLiteral("s"), 1, 100, 0, false, 10);
    Assign(db(), QStringLiteral("late"), QStringLiteral("s"), QStringLiteral("w1"), QStringLiteral("Иванов"));
    SalaryStore store(db());

    PerformedWorks one =
        store.FillPerformedWorks({QDate(2024, 3, 1), QDate(2024, 3, 31), QStringLiteral("w1")});
    ASSERT_EQ(one.rows.size(), 1);
    EXPECT_EQ(one.rows[0].ZakazEndOut, At(2024, 3, 31, 18));
    EXPECT_EQ(one.rows[0].ZakazData, At(2024, 3, 30, 18));
    EXPECT_EQ(one.rows[0].amount, Rub(600));
    EXPECT_EQ(one.rows[0].vat, Rub(108));
    EXPECT_EQ(one.rows[0].Total(), Rub(708));
    EXPECT_EQ(one.rows[0].pay, Rub(150));
    // Up to a day with no start: everything finished by its end.
    EXPECT_EQ(store.FillPerformedWorks({{}, QDate(2024, 4, 1), QStringLiteral("w1")}).rows.size(), 2);

    Assign(db(), QStringLiteral("z"), QStringLiteral("s"), QStringLiteral("w2"), QStringLiteral("Петров"));
    const PerformedWorks two = store.FillPerformedWorks({QDate(2024, 3, 1), QDate(2024, 3, 31), {}});
    ASSERT_EQ(two.rows.size(), 2);
    EXPECT_EQ(two.rows[0].pay, Rub(75));
    EXPECT_EQ(two.rows[1].pay, Rub(75));
    EXPECT_EQ(two.amount, Rub(1200));
    EXPECT_EQ(two.pay, Rub(150));

    // A removed worker beside a live one is not listed; a line left with nobody is listed once.
    Rows::SoftDelete(db(), QStringLiteral("TWork"), {{QStringLiteral("IddWork"), QStringLiteral("w2")}});
    EXPECT_EQ(store.FillPerformedWorks({QDate(2024, 3, 1), QDate(2024, 3, 31), {}}).rows.size(), 1);
    Rows::SoftDelete(db(), QStringLiteral("TWork"), {{QStringLiteral("IddWork"), QStringLiteral("w1")}});
    const PerformedWorks nobody = store.FillPerformedWorks({QDate(2024, 3, 1), QDate(2024, 3, 31), {}});
    ASSERT_EQ(nobody.rows.size(), 1);
    EXPECT_TRUE(nobody.rows[0].WorkFIO.isEmpty());
    EXPECT_EQ(nobody.rows[0].pay, Rub(0));
    EXPECT_TRUE(store.FillPerformedWorks({QDate(2024, 3, 1), QDate(2024, 3, 31), QStringLiteral("w1")})
                    .rows.isEmpty());
}

TEST_P(SalaryStoreTest, FailedReadIsAnErrorNotZero) {
    db().SetStatementHook([](const QString &) { throw DbError(QStringLiteral("нет связи")); });
    SalaryStore store(db());
    EXPECT_THROW(store.WorkerEarned(QStringLiteral("w1"), QDate(2024, 1, 1)), DbError);
    EXPECT_THROW(store.WorkerBalances(QDate(2024, 1, 1)), DbError);
    db().SetStatementHook({});
}
