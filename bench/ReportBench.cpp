#include "ReportBench.h"

#include "Database.h"
#include "ExcelReports.h"
#include "ReportRows.h"

#include <benchmark/benchmark.h>
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

namespace {

// The last year that has orders: its first and last day.
void LastYear(Database &db, QDate *from, QDate *to) {
    QSqlQuery q = db.Exec(QStringLiteral("SELECT MAX(ZakazData) FROM TZakaz"));
    const QDate last = q.next() ? q.value(0).toDateTime().date() : QDate::currentDate();
    *from = QDate(last.year(), 1, 1);
    *to = QDate(last.year(), 12, 31);
}

template <typename Build>
void Timed(benchmark::State &state, Build build, int rows) {
    QTemporaryDir dir;
    for (auto _ : state) {
        ExcelSession session(dir.path(), [](const QString &) { return QString(); });
        ExcelReports reports(session);
        const auto start = std::chrono::steady_clock::now();
        build(reports);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        QDir(dir.path()).removeRecursively();
    }
    state.counters["rows"] = rows;
}

}  // namespace

void RegisterReportBenchmarks(Database &db, const QString &backend) {
    QDate from, to;
    LastYear(db, &from, &to);
    JournalFilter filter;
    filter.from = from;
    filter.to = to;
    filter.status = JournalStatus::All;
    const auto orders =
        std::make_shared<QList<OrderReportRow>>(ReportRows::OrderRows(OrderJournalStore(db).Search(filter)));
    // The rows the cash journal holds for the year, as its print hands them to the report.
    CashFilter cashFilter;
    cashFilter.from = from;
    cashFilter.to = to;
    const auto cash = std::make_shared<QList<CashOperationRow>>(
        ReportRows::CashRows(CashStore(db).FillCashJournal(cashFilter).rows));
    const auto add = [&](const char *name, auto fn) {
        benchmark::RegisterBenchmark((backend + u'/' + QLatin1String(name)).toStdString().c_str(), fn)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    };
    add("ReportOrdersYear", [orders, from, to](benchmark::State &state) {
        Timed(
            state, [&](ExcelReports &r) { r.Orders(*orders, from, to, QStringLiteral("всех")); },
            int(orders->size()));
    });
    add("ReportCashYear", [cash](benchmark::State &state) {
        Timed(
            state, [&](ExcelReports &r) { r.CashOperations(*cash); }, int(cash->size()));
    });
}
