#include "CounterStore.h"
#include "DbError.h"
#include "Formats.h"
#include "PayText.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "SalaryStore.h"
#include "Schema.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QSqlQuery>
#include <chrono>
#include <thread>

using namespace TestRows;

class SalaryStoreTest : public DbTest {
protected:
    void Fill() override {
        Put(db(), Worker{.key = "w1", .fio = "Иванов"});
        Put(db(), Worker{.key = "w2", .fio = "Петров", .workOut = true});
    }
    static QDateTime At(int y, int m, int d, int h = 12, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }
    // An order finished at `endOut`, begun the day before.
    void Done(const QString &key, const QDateTime &endOut, const QList<Line> &lines, int status = 2) {
        Put(db(),
            Order{
                .key = key, .date = endOut.addDays(-1), .endOut = endOut, .status = status, .lines = lines});
    }
    // A salary payout saved as the accrual dialog saves it; w2's line is stored unchosen unless `w2Chosen`.
    QString Payout(double w1, double w2, const QDateTime &when, bool w2Chosen = true) {
        const Money sum = Rub(-(w1 + (w2Chosen ? w2 : 0)));
        PayRecord pay{.NaznPay = "Зарплата", .NomerPay = "7", .DataPay = when, .SummaPay = sum};
        QList<PayoutLine> lines{{{}, "w1", {}, Rub(w1), false}, {{}, "w2", {}, Rub(w2), !w2Chosen}};
        return SalaryStore(db()).SavePayout(pay, lines, "anna");
    }
    // Every listed worker as "key earned paid [out]", by name.
    QString Balances(QDate day) {
        QStringList all;
        for (const WorkerFigures &w : SalaryStore(db()).WorkerBalances(day))
            all << QStringLiteral("%1 %2 %3%4")
                       .arg(w.IddWork, w.earned.Text(), w.paid.Text(), w.WorkOut ? " out" : "");
        return all.join(u'|');
    }
    // The performed works as "worker pay|..." with the four totals.
    QString Works(const WorksFilter &filter) {
        const PerformedWorks w = SalaryStore(db()).FillPerformedWorks(filter);
        QStringList rows;
        for (const PerformedWork &p : w.rows) rows << p.WorkFIO + u' ' + p.pay.Text();
        return rows.join(u'|') + " = " + Totals(w);
    }
    static QString Totals(const PerformedWorks &w) {
        return QStringList{w.amount.Text(), w.vat.Text(), w.total.Text(), w.pay.Text()}.join(u' ');
    }
};
ZV_INSTANTIATE_DB_TESTS(SalaryStoreTest);

// A line's pay (a percentage of its amount without VAT, or a fixed sum per line) is shared by its live
// workers, the first by key taking the odd kopeck; only live lines of live orders finished by the end of the
// day count. Each worker's works list shows the same figure.
TEST_P(SalaryStoreTest, BalancesShareEachLinesPayAmongItsLiveWorkersUpToTheDay) {
    Put(db(), Worker{.key = "w3", .fio = "Сидоров"});
    Put(db(), Worker{.key = "gone", .fio = "Уволенный", .deleted = true});
    const Work w1{"w1"}, w2{"w2"}, w3{"w3"}, w3gone{"w3", {}, true};
    // 10 % of 900 shared by two: the third worker was removed.
    Done("a", At(2024, 3, 1),
         {{.count = 3, .price = 300, .nds = 20, .prJob = true, .job = 10, .workers = {w1, w2, w3gone}}});
    // The same service standalone and in a package: its workers share each line's pay (100 and 60), beside
    // the package header, which pays nothing.
    Done("b", At(2024, 3, 2),
         {{.key = "s", .price = 1000, .prJob = true, .job = 10, .workers = {w2, w3}},
          {.key = "s", .price = 500, .job = 60, .top = "pk"},
          {.key = "pk", .price = 0, .job = 999, .top = "0", .workers = {w1}}});
    Done("d", At(2024, 3, 5), {{.price = 10, .job = 100, .workers = {w3, w1, w2}}});  // 100.00 among three
    // The last second of the 10th: a single worker's fixed pay, and a deleted line.
    Done("c", At(2024, 3, 10, 23, 59, 59),
         {{.count = 2, .price = 50, .job = 25, .workers = {w3}},
          {.job = 1000, .workers = {w1}, .deleted = true}});
    const Line thousand{.job = 1000, .workers = {w1, w2, w3}};
    Done("late", At(2024, 3, 11, 0), {thousand});  // the next midnight
    Done("open", At(2024, 3, 3), {thousand}, 1);
    Done("dead", At(2024, 3, 3), {thousand});
    db().Exec("UPDATE TZakaz SET [Delete] = ? WHERE IddZakaz = 'dead'", {true});
    Payout(100, 30, At(2024, 3, 5));
    Payout(5, 5, At(2024, 3, 11));
    // A payout deleted by an older version, which left its lines live, paid nothing.
    db().Exec("UPDATE TPay SET [Delete] = ? WHERE IddPay = ?", {true, Payout(7, 7, At(2024, 3, 4))});

    const struct {
        QDate day;
        const char *balances;
    } cases[] = {{QDate(2024, 2, 29), "w1 0.00 0.00|w2 0.00 0.00 out|w3 0.00 0.00"},
                 {QDate(2024, 3, 9), "w1 78.34 100.00|w2 158.33 30.00 out|w3 113.33 0.00"},
                 {QDate(2024, 3, 10), "w1 78.34 100.00|w2 158.33 30.00 out|w3 138.33 0.00"},
                 {QDate(2024, 3, 11), "w1 411.68 105.00|w2 491.66 35.00 out|w3 471.66 0.00"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.day.toString().toStdString());
        int statements = 0;
        db().SetStatementHook([&](const QString &) { ++statements; });
        EXPECT_EQ(Balances(c.day), QString::fromUtf8(c.balances));
        db().SetStatementHook({});
        EXPECT_EQ(statements, 3);
        // His works sum to it; their first screen's totals, from the kept figures, are the same.
        for (const WorkerFigures &w : SalaryStore(db()).WorkerBalances(c.day)) {
            const PerformedWorks whole = SalaryStore(db()).FillPerformedWorks({{}, c.day, w.IddWork});
            EXPECT_EQ(whole.pay, w.earned) << w.IddWork.toStdString();
            EXPECT_EQ(Totals(SalaryStore(db()).FirstPerformedWorks({{}, c.day, w.IddWork}, 1, nullptr)),
                      Totals(whole));
        }
    }
}

// A payout is saved whole or not at all: its row and its number are written before the lines, and go back
// with them when a line fails.
TEST_P(SalaryStoreTest, PayoutIsStoredWithItsLinesListedAndDeletedWithThem) {
    PutCounters(db(), 0, 0, 0, 3);
    EXPECT_TRUE(FailsWhenWriting(db(), "TWorkPay", [&] { Payout(10, 20, At(2024, 4, 1)); }));
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TPay") + CountRows(db(), "SELECT * FROM TWorkPay"), 0);
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 4);

    const QString key = Payout(1000, 200, At(2024, 4, 1), false);
    const auto pay = PaymentStore(db()).LoadPayment(key);
    ASSERT_TRUE(pay);
    EXPECT_EQ(PayText(*pay), "1 0 Зарплата №7 -1000.00");
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 8);  // the typed number raised the counter
    // The unchosen worker's line is stored deleted and not loaded again.
    EXPECT_EQ(Balances(QDate(2024, 4, 1)), "w1 0.00 1000.00|w2 0.00 0.00 out");
    SalaryStore store(db());
    QList<PayoutLine> lines = store.LoadPayoutLines(key);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].WorkFIO + u' ' + lines[0].SummaWorkPay.Text(), "Иванов 1000.00");

    const QDate day(2024, 4, 1);
    const QList<PayRecord> journal = store.SalaryJournal({day, day, {}, {}});
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(PayText(journal[0]), PayText(*pay));
    EXPECT_EQ(store.SalaryJournal({day, day, {}, "Зарплата"}).size(), 1);
    EXPECT_TRUE(store.SalaryJournal({day, day, "8", {}}).isEmpty());
    EXPECT_TRUE(store.SalaryJournal({day, day, {}, "Аванс"}).isEmpty());
    EXPECT_TRUE(store.SalaryJournal({day.addDays(1), QDate(2024, 4, 30), {}, {}}).isEmpty());

    // An edit rewrites the payout's own lines.
    lines[0].SummaWorkPay = Rub(15);
    PayRecord changed = *pay;
    changed.SummaPay = Rub(-15);
    store.SavePayout(changed, lines, "anna");
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TWorkPay") + CountRows(db(), "SELECT * FROM TPay"), 3);
    EXPECT_EQ(Balances(day), "w1 0.00 15.00|w2 0.00 0.00 out");
    EXPECT_TRUE(store.DeletePayout(key));
    EXPECT_EQ(Balances(day), "w1 0.00 0.00|w2 0.00 0.00 out");
    EXPECT_TRUE(store.SalaryJournal({day, day, {}, {}}).isEmpty());
}

TEST_P(SalaryStoreTest, PerformedWorksRowsAndTotals) {
    const QList<Work> both = {{"w1", "Иванов"}, {"w2", "Петров"}};
    const Line line{.count = 3, .price = 200, .nds = 18, .prJob = true, .job = 25, .workers = both};
    Done("z", At(2024, 3, 31, 18), {line});
    Done("late", At(2024, 4, 1, 0), {{.job = 10, .workers = {{"w1", "Иванов"}}}});
    const QDate from(2024, 3, 1), to(2024, 3, 31);
    EXPECT_EQ(Works({from, to, {}}), "Иванов 75.00|Петров 75.00 = 1200.00 216.00 1416.00 150.00");
    // A period's first midnight belongs to it.
    EXPECT_EQ(Works({QDate(2024, 4, 1), QDate(2024, 4, 1), "w1"}), "Иванов 10.00 = 100.00 0.00 100.00 10.00");
    // Up to a day with no start: everything finished by its end.
    EXPECT_EQ(Works({{}, QDate(2024, 4, 1), "w1"}), "Иванов 75.00|Иванов 10.00 = 700.00 108.00 808.00 85.00");

    // A removed worker beside a live one is not listed, and the live one has the line's whole pay.
    db().Exec("UPDATE TWork SET [Delete] = ? WHERE IddWork = 'w2'", {true});
    EXPECT_EQ(Works({from, to, {}}), "Иванов 150.00 = 600.00 108.00 708.00 150.00");
    const PerformedWorks one = SalaryStore(db()).FillPerformedWorks({from, to, "w1"});
    ASSERT_EQ(one.rows.size(), 1);
    const PerformedWork &w = one.rows[0];
    EXPECT_EQ(QStringList({w.IddZakaz, w.IddVlad, w.Name, Formats::DateTime(w.ZakazData),
                           Formats::DateTime(w.ZakazEndOut), w.amount.Text(), w.vat.Text(), w.Total().Text()})
                  .join(u'/'),
              "z/c1/Мойка/30.03.2024 18:00/31.03.2024 18:00/600.00/108.00/708.00");
    // A line left with nobody is listed once, with no pay.
    db().Exec("UPDATE TWork SET [Delete] = ? WHERE IddWork = 'w1'", {true});
    EXPECT_EQ(Works({from, to, {}}), " 0.00 = 600.00 108.00 708.00 0.00");
    EXPECT_EQ(Works({from, to, "w1"}), " = 0.00 0.00 0.00 0.00");
}

// One worker's first screen: his first orders whole, in the list's order, `more` while the list goes on, and
// the whole period's totals.
TEST_P(SalaryStoreTest, AWorkersFirstScreenIsHisFirstOrdersWhole) {
    const Work w1{"w1"}, w2{"w2"};
    for (int i = 0; i < 3; ++i)
        Done(QStringLiteral("z%1").arg(i), At(2024, 3, 10 + i), {{.workers = {w1, w2}}, {.workers = {w1}}});
    Done("other", At(2024, 3, 10, 9), {{.price = 70, .workers = {w2}}});
    const auto keys = [](const QList<PerformedWork> &rows) {
        QStringList all;
        for (const PerformedWork &p : rows) all << p.IddService + u'/' + p.IddWork;
        return all.join(u' ');
    };
    const struct {
        QDate from;
        const char *worker;
        int first, rows;
        bool more;
    } cases[] = {{{}, "w1", 1, 2, true},      {{}, "w1", 3, 6, false},
                 {{}, "w1", 4, 6, false},     {{2024, 3, 11}, "w1", 1, 2, true},
                 {{}, "nobody", 1, 0, false}, {{}, "", 1, 10, false}};
    for (const auto &c : cases) {
        const WorksFilter filter{c.from, QDate(2024, 3, 31), c.worker};
        bool more = !c.more;
        const PerformedWorks first = SalaryStore(db()).FirstPerformedWorks(filter, c.first, &more);
        const PerformedWorks whole = SalaryStore(db()).FillPerformedWorks(filter);
        EXPECT_EQ(first.rows.size(), c.rows) << c.worker << c.first;
        EXPECT_EQ(more, c.more) << c.worker << c.first;
        EXPECT_EQ(keys(first.rows), keys(whole.rows.mid(0, c.rows))) << c.worker << c.first;
        EXPECT_EQ(Totals(first), Totals(whole)) << c.worker << c.first;
    }
}

// What the database keeps of each worker's earnings on each order is what a count afresh from the lines
// gives, whatever was written: here by plain statements, as another program would write, and by payouts.
TEST_P(SalaryStoreTest, KeptEarningsFollowEveryWriteToOrdersLinesAndWorkers) {
    const auto afresh = [this](const char *after) {
        const auto kept = [this] {  // each order's earnings, then each day's (a day earning nothing aside)
            QStringList rows;
            for (const char *sql :
                 {"SELECT IddZakaz, IddWork, Kopecks || ' ' || Amount || ' ' || Vat FROM TWorkEarn ORDER BY "
                  "IddZakaz, IddWork",
                  "SELECT IddWork, substr(CAST(EndDay AS VARCHAR(20)), 1, 10), Kopecks FROM TWorkEarnDay "
                  "WHERE Kopecks <> 0 ORDER "
                  "BY IddWork, EndDay"})
                for (QSqlQuery q = db().Exec(sql); q.next();)
                    rows << q.value(0).toString() + ' ' + q.value(1).toString() + ' ' + q.value(2).toString();
            return rows.join(u'|');
        };
        const QString now = kept();
        Schema::KeepWorkEarn(db());
        EXPECT_EQ(now, kept()) << after;
        return now;
    };
    const Work w1{"w1"}, w2{"w2"};
    Done("z1", At(2024, 5, 10),
         {{.price = 1000, .prJob = true, .job = 10, .workers = {w1, w2}}, {.job = 33.33, .workers = {w2}}});
    Done("z2", At(2024, 5, 11), {{.price = 500, .prJob = true, .job = 50, .workers = {w1}}}, 1);
    EXPECT_EQ(afresh("orders written"),
              "z1 w1 5000 100000 0|z1 w2 8333 110000 0|w1 2024-05-10 5000|w2 2024-05-10 8333");
    const std::pair<const char *, const char *> writes[] = {
        {"a line's price", "UPDATE TService SET Price = 2000 WHERE IddService = 'z1-1'"},
        {"a worker removed", "UPDATE TWork SET [Delete] = TRUE WHERE IddService = 'z1-1' AND IddWork = 'w2'"},
        {"a worker added",
         "INSERT INTO TWork (IddZakaz, IddService, IddWork, WorkFIO, [Delete]) VALUES ('z1', 'z1-2', 'w1', "
         "'И', FALSE)"},
        {"an order finished", "UPDATE TZakaz SET ZakazStatus = 2 WHERE IddZakaz = 'z2'"},
        {"both orders' lines at once", "UPDATE TService SET Job = Job * 2"},
        {"a line removed", "UPDATE TService SET [Delete] = TRUE WHERE IddService = 'z1-2'"},
        {"an order deleted", "DELETE FROM TZakaz WHERE IddZakaz = 'z2'"}};
    for (const auto &[what, sql] : writes) {
        db().Exec(sql);
        afresh(what);
    }
    Payout(10, 5, At(2024, 6, 1));
    EXPECT_EQ(afresh("a payout"), "z1 w1 40000 200000 0|w1 2024-05-10 40000");
}

// Two workstations give the same two workers lines of orders finished on the same day, in opposite turns, at
// the same moment: the kept day figures make the second wait for the first, never lock both out.
TEST_P(SalaryStoreTest, TwoWorkstationsAddingTheSameWorkersInOppositeTurnsBothSave) {
    Done("x", At(2024, 5, 10), {{.price = 100, .prJob = true, .job = 10}});
    Done("y", At(2024, 5, 10, 15), {{.price = 100, .prJob = true, .job = 10}});
    const QString add = QStringLiteral(
        "INSERT INTO TWork (IddZakaz, IddService, IddWork, WorkFIO, [Delete]) VALUES (?, ?, ?, 'И', FALSE)");
    QString mine, theirs;
    try {
        Transaction first(db());
        db().Exec(add, {"x", "x-1", "w1"});
        std::thread second([&] {
            try {
                const auto other = OpenAgain();
                Transaction t(*other);
                other->Exec(add, {"y", "y-1", "w2"});
                other->Exec(add, {"y", "y-1", "w1"});
                t.Commit();
            } catch (const DbError &e) {
                theirs = e.text();
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        try {
            db().Exec(add, {"x", "x-1", "w2"});
            first.Commit();
        } catch (const DbError &e) {
            mine = e.text();
        }
        second.join();
    } catch (const DbError &e) {
        mine = e.text();
    }
    EXPECT_EQ(mine + theirs, QString());
    QStringList days;
    for (QSqlQuery q =
             db().Exec("SELECT IddWork, Kopecks FROM TWorkEarnDay WHERE Kopecks <> 0 ORDER BY IddWork");
         q.next();)
        days << q.value(0).toString() + ' ' + q.value(1).toString();
    EXPECT_EQ(days.join(u'|'), "w1 1000|w2 1000");
}
