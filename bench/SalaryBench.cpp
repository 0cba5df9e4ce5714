#include "SalaryBench.h"

#include "BenchPair.h"
#include "BenchScreen.h"
#include "CSalaryAccrualDlg.h"
#include "CWorkerWorksDlg.h"
#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "Money.h"
#include "PerformedWorksList.h"
#include "RefDbGenerator.h"
#include "SalaryStore.h"

#include <benchmark/benchmark.h>
#include <QDateTime>
#include <QLineEdit>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

// Every live worker with what he earned on finished orders and was paid by the end of a day, in kopecks:
// the shares of each line's pay among its live workers (counted over the one join that lists them, the
// first by key taking what rounding leaves), and the live lines of live payouts.
QString BalancesRaw() {
    return QStringLiteral(
               "SELECT w.IddWork, w.WorkFIO, w.WorkOut, COALESCE(e.Earned, 0), COALESCE(p.Paid, 0) FROM "
               "SWork w "
               "LEFT JOIN (SELECT a.IddWork, SUM(") +
           MoneySql::Share(QStringLiteral("a.Pay"), QStringLiteral("a.IddWork = a.FirstWork"),
                           QStringLiteral("a.Workers")) +
           QStringLiteral(") AS Earned FROM (SELECT t.IddWork, ") + MoneySql::LinePay(QStringLiteral("s")) +
           QStringLiteral(
               " AS Pay, COUNT(*) OVER (PARTITION BY s.IddZakaz, s.IddService, s.IddTop) AS Workers, "
               "MIN(t.IddWork) OVER (PARTITION BY s.IddZakaz, s.IddService, s.IddTop) AS FirstWork "
               "FROM TZakaz z INNER JOIN TService s ON s.IddZakaz = z.IddZakaz INNER JOIN TWork t ON "
               "t.IddZakaz = "
               "s.IddZakaz AND t.IddService = s.IddService WHERE t.[Delete] = FALSE AND z.ZakazStatus = 2 "
               "AND "
               "z.[Delete] = FALSE AND z.ZakazEndOut < ? AND s.IddTop <> '0' AND s.[Delete] = FALSE) a GROUP "
               "BY "
               "a.IddWork) e ON e.IddWork = w.IddWork "
               "LEFT JOIN (SELECT y.IddWork, SUM(y.SummaWorkPay) * 100 AS Paid FROM TWorkPay y INNER JOIN "
               "TPay p "
               "ON p.IddPay = y.IddPay WHERE p.DataPay < ? AND p.[Delete] = FALSE AND y.DeleteWorkPay = "
               "FALSE "
               "GROUP BY y.IddWork) p ON p.IddWork = w.IddWork WHERE w.[Delete] = FALSE ORDER BY w.WorkFIO, "
               "w.IddWork");
}

const char *kSalaryNumberRaw = "SELECT SalaryNomer FROM [Number] WHERE iddnum = ?";

// One worker's live assignments on the lines of orders finished in a period, with each line's amount,
// VAT and his share of its pay, in kopecks.
QString WorksRaw() {
    const QString workers = QStringLiteral(
        "(SELECT COUNT(*) FROM TWork c WHERE c.IddZakaz = s.IddZakaz AND c.IddService = s.IddService AND "
        "c.[Delete] = FALSE)");
    const QString first = QStringLiteral(
        "NOT EXISTS (SELECT 1 FROM TWork c WHERE c.IddZakaz = t.IddZakaz AND c.IddService = t.IddService AND "
        "c.[Delete] = FALSE AND c.IddWork < t.IddWork)");
    const QString amount = MoneySql::LineAmount(QStringLiteral("s"));
    return QStringLiteral(
               "SELECT z.IddZakaz, z.ZakazNomer, z.ZakazData, z.ZakazEndOut, z.IddVlad, s.IddService, "
               "s.[Name], "
               "t.IddWork, t.WorkFIO, ") +
           amount + QStringLiteral(" AS Amount, ") + MoneySql::LineVat(QStringLiteral("s")) +
           QStringLiteral(" AS Vat, ") +
           MoneySql::Share(MoneySql::LinePay(QStringLiteral("s")), first, workers) +
           QStringLiteral(
               " AS Pay FROM TWork t INNER JOIN TService s ON s.IddZakaz = t.IddZakaz AND s.IddService = "
               "t.IddService INNER JOIN TZakaz z ON z.IddZakaz = t.IddZakaz WHERE t.IddWork = ? AND "
               "t.[Delete] = "
               "FALSE AND z.ZakazEndOut >= ? AND z.ZakazEndOut < ? AND z.ZakazStatus = 2 AND z.[Delete] = "
               "FALSE "
               "AND s.IddTop <> '0' AND s.[Delete] = FALSE ORDER BY z.ZakazEndOut, z.IddZakaz, s.[Name], "
               "s.IddService, t.WorkFIO");
}

// A figure of the raw statements, in kopecks, against the program's.
bool Same(const QVariant &kopecks, Money program) {
    return std::llround(kopecks.toDouble()) == program.kopecks();
}

[[noreturn]] void Differs(const char *what, const QString &detail) {
    throw DbError(
        QStringLiteral("the raw %1 statement differs from the program: %2").arg(QLatin1String(what), detail));
}

QDateTime Midnight(const QDate &day) {
    return QDateTime(day, QTime(0, 0));
}

// The balances the raw statement gives must be the program's, worker by worker.
void CheckBalances(Database &db, const QList<WorkerFigures> &program, const QDate &day) {
    const QDateTime end = Midnight(day.addDays(1));
    QSqlQuery q = db.Exec(BalancesRaw(), {end, end});
    int i = 0;
    for (; q.next(); ++i) {
        if (i >= program.size()) Differs("balances", QStringLiteral("more workers"));
        const WorkerFigures &w = program[i];
        if (q.value(0).toString() != w.IddWork || q.value(1).toString() != w.WorkFIO ||
            q.value(2).toBool() != w.WorkOut || !Same(q.value(3), w.earned) || !Same(q.value(4), w.paid))
            Differs("balances", QStringLiteral("worker %1 (%2): earned %3 / %4, paid %5 / %6")
                                    .arg(w.IddWork, w.WorkFIO)
                                    .arg(q.value(3).toDouble() / 100, 0, 'f', 2)
                                    .arg(w.earned.Text())
                                    .arg(q.value(4).toDouble() / 100, 0, 'f', 2)
                                    .arg(w.paid.Text()));
    }
    if (i != program.size()) Differs("balances", QStringLiteral("fewer workers"));
}

void CheckWorks(Database &db, const PerformedWorks &program, const QVariantList &binds) {
    QSqlQuery q = db.Exec(WorksRaw(), binds);
    int i = 0;
    qint64 pay = 0;
    for (; q.next(); ++i) {
        if (i >= program.rows.size()) Differs("works", QStringLiteral("more rows"));
        const PerformedWork &w = program.rows[i];
        if (q.value(0).toString() != w.IddZakaz || q.value(5).toString() != w.IddService ||
            q.value(7).toString() != w.IddWork || !Same(q.value(9), w.amount) || !Same(q.value(10), w.vat) ||
            !Same(q.value(11), w.pay))
            Differs("works",
                    QStringLiteral("row %1, order %2, line %3").arg(i).arg(w.IddZakaz, w.IddService));
        pay += std::llround(q.value(11).toDouble());
    }
    if (i != program.rows.size()) Differs("works", QStringLiteral("fewer rows"));
    if (pay != program.pay.kopecks()) Differs("works", QStringLiteral("the total pay"));
}

struct SalaryInputs {
    QDate lastDay;           // the last order day: the new payout's
    QDate today;             // the balance view opens on it
    QDate yearFrom, yearTo;  // the last full year of orders
    QString busyWorker;      // the worker with the most live assignments in that year
};

SalaryInputs PickSalaryInputs(Database &db) {
    SalaryInputs in;
    // SQLite gives "yyyy-MM-dd hh:mm:ss", PostgreSQL a date-time: the day is the first ten characters of
    // both.
    in.lastDay =
        QDate::fromString(One(db, QStringLiteral("SELECT MAX(ZakazData) FROM TZakaz")).left(10), Qt::ISODate);
    if (!in.lastDay.isValid()) throw DbError(QStringLiteral("the reference database has no orders"));
    in.today = QDate::currentDate();
    const bool wholeYear = in.lastDay.month() == 12 && in.lastDay.day() == 31;
    const int year = wholeYear ? in.lastDay.year() : in.lastDay.year() - 1;
    in.yearFrom = QDate(year, 1, 1);
    in.yearTo = QDate(year, 12, 31);
    in.busyWorker = One(db,
                        QStringLiteral("SELECT t.IddWork FROM TWork t INNER JOIN TZakaz z ON z.IddZakaz = "
                                       "t.IddZakaz WHERE t.[Delete] = FALSE AND z.ZakazStatus = 2 AND "
                                       "z.ZakazEndOut >= ? AND z.ZakazEndOut < ? GROUP BY t.IddWork "
                                       "ORDER BY COUNT(*) DESC, t.IddWork"),
                        {Midnight(in.yearFrom), Midnight(in.yearTo.addDays(1))});
    if (in.busyWorker.isEmpty()) in.busyWorker = One(db, QStringLiteral("SELECT MIN(IddWork) FROM TWork"));
    return in;
}

}  // namespace

void RegisterSalaryBenchmarks(Database &db, const QString &backend) {
    const SalaryInputs in = PickSalaryInputs(db);
    std::printf("salary: new payout on %s, balance view on %s; works of %s from %s to %s\n",
                qPrintable(in.lastDay.toString(Qt::ISODate)), qPrintable(in.today.toString(Qt::ISODate)),
                qPrintable(in.busyWorker), qPrintable(in.yearFrom.toString(Qt::ISODate)),
                qPrintable(in.yearTo.toString(Qt::ISODate)));
    std::fflush(stdout);
    const auto add = [&](const char *name, auto fn) {
        return benchmark::RegisterBenchmark((backend + u'/' + QLatin1String(name)).toStdString().c_str(), fn)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    };
    // The accrual's raw limit is the old statement over every line of the years (seconds), run beside each
    // call: a fixed count of calls, not two seconds of the program's own 20 ms, keeps a run to minutes.
    constexpr int kBesideSlowRaw = 10;
    Database *d = &db;

    // The accrual dialog opening for a new payout: the proposed number and every worker's figures.
    // Google Benchmark may call a benchmark more than once; its figures are checked the first time.
    const auto once = [] { return std::make_shared<bool>(false); };
    add("SalaryAccrualList", [d, day = in.lastDay, checked = once()](benchmark::State &state) {
        if (!std::exchange(*checked, true)) CheckBalances(*d, SalaryStore(*d).WorkerBalances(day), day);
        const QDateTime end = Midnight(day.addDays(1));
        RawQuery number(*d, QString::fromLatin1(kSalaryNumberRaw));
        RawQuery balances(*d, BalancesRaw());
        RunPair(
            state, *d,
            [&] {
                benchmark::DoNotOptimize(CounterStore(*d).NextSalaryNumber());
                return 1 + size_t(SalaryStore(*d).WorkerBalances(day).size());
            },
            [&] {
                return number.Run({QStringLiteral("1")}) + balances.Run({end, end});
            });
    })->Iterations(kBesideSlowRaw);
    // "% от выпол." typed in the accrual dialog open for a new payout: every worker's payout proposed again
    // from the figures on screen and painted. Nothing is read from the database (its statements are counted;
    // the raw side is empty).
    add("SalaryAccrualPercent", [d](benchmark::State &state) {
        ScreenContext context(*d);
        CSalaryAccrualDlg dialog(context.ctx, QString());
        dialog.show();
        auto *percent = dialog.findChild<QLineEdit *>(QStringLiteral("percent"));
        if (!percent) throw DbError(QStringLiteral("the accrual dialog has no percent field"));
        int typed = 0;
        RunPair(
            state, *d,
            [&] {
                percent->setText(++typed % 2 ? QStringLiteral("50") : QStringLiteral("100"));
                dialog.repaint();
                return size_t(dialog.list()->topLevelItemCount());
            },
            [] { return size_t(0); });
    });
    add("SalaryBalanceView", [d, day = in.today, checked = once()](benchmark::State &state) {
        if (!std::exchange(*checked, true)) CheckBalances(*d, SalaryStore(*d).WorkerBalances(day), day);
        const QDateTime end = Midnight(day.addDays(1));
        RawQuery balances(*d, BalancesRaw());
        RunPair(
            state, *d, [&] { return size_t(SalaryStore(*d).WorkerBalances(day).size()); },
            [&] {
                return balances.Run({end, end});
            });
    })->Iterations(kBesideSlowRaw);
    add("WorksOneWorkerYear", [d, in, checked = once()](benchmark::State &state) {
        const WorksFilter filter{in.yearFrom, in.yearTo, in.busyWorker};
        const QVariantList binds = {in.busyWorker, Midnight(in.yearFrom), Midnight(in.yearTo.addDays(1))};
        if (!std::exchange(*checked, true)) CheckWorks(*d, SalaryStore(*d).FillPerformedWorks(filter), binds);
        RawQuery works(*d, WorksRaw());
        RunPair(
            state, *d, [&] { return size_t(SalaryStore(*d).FillPerformedWorks(filter).rows.size()); },
            [&] { return works.Run(binds); });
    });
    // "Работы" of the same worker over every year of the database: the whole list as the store reads it,
    // and the dialog as the clerk opens it from the accrual (its first screen and the totals painted).
    const WorksFilter allYears{RefDbGenerator::FirstDay(), RefDbGenerator::LastDay(), in.busyWorker};
    const QVariantList allYearsBinds = {in.busyWorker, Midnight(allYears.from),
                                        Midnight(allYears.to.addDays(1))};
    add("WorksOneWorkerAllYears", [d, allYears, allYearsBinds](benchmark::State &state) {
        RawQuery works(*d, WorksRaw());
        RunPair(
            state, *d, [&] { return size_t(SalaryStore(*d).FillPerformedWorks(allYears).rows.size()); },
            [&] { return works.Run(allYearsBinds); });
    });
    add("WorksFirstScreen", [d, allYears, allYearsBinds](benchmark::State &state) {
        ScreenContext context(*d);
        RawQuery works(*d, WorksRaw());
        struct Shown {
            std::unique_ptr<CWorkerWorksDlg> dialog;
            KeyedView *list() const { return dialog->works()->list(); }
        };
        const auto open = [&] {
            auto shown = std::make_unique<Shown>();
            shown->dialog = std::make_unique<CWorkerWorksDlg>(context.ctx, allYears.iddWork,
                                                              QStringLiteral("Исполнитель"), allYears.to);
            shown->dialog->show();
            shown->dialog->repaint();
            return shown;
        };
        TimeScreen(
            state, *d, open, [&] { return works.Run(allYearsBinds); }, false);
    });
}
