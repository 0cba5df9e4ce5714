#include "ReportCommands.h"

#include "AppContext.h"
#include "BayPlanSheet.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DesktopOpener.h"
#include "Prompter.h"
#include "ReportStore.h"
#include "ReportTarget.h"
#include "TyreDocuments.h"
#include "WaitCursor.h"

#include <QApplication>
#include <QProgressDialog>

namespace ReportCommands {

namespace {

// Rows below this build too fast for a progress dialog to be worth showing.
constexpr int kProgressFrom = 500;

// Builds one report under a progress dialog that the user can cancel; the report's failures are shown.
bool Build(AppContext &ctx, QWidget *parent, int rows, const std::function<bool(ExcelReports &)> &build) {
    const ReportTarget &target = ctx.reportTarget();
    ExcelSession session(target.folder, target.opener);
    QProgressDialog progress(QStringLiteral("Формирование отчета..."), QStringLiteral("Отмена"), 0,
                             std::max(rows, 1), parent);
    progress.setWindowTitle(QStringLiteral("Отчет"));
    progress.setMinimumDuration(rows >= kProgressFrom ? 0 : 1000);
    progress.setWindowModality(Qt::WindowModal);
    ExcelReports reports(session, [&](int done, int) {
        if (done >= 0) progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    bool built = false;
    const bool ok = RunReport(ctx.prompter(), [&] { built = build(reports); });
    progress.reset();
    // Written but not opened: the report is made, and the user learns where it is.
    if (ok && built && !session.NotOpened().isEmpty()) ctx.prompter().Warning(session.NotOpened());
    return ok && built;
}

}  // namespace

bool Orders(AppContext &ctx, const QList<JournalOrder> &orders, const JournalFilter &filter,
            QWidget *parent) {
    if (!DatePicker::PeriodAccepted(ctx.prompter(), filter.from, filter.to)) return false;
    const QList<OrderReportRow> rows = ReportRows::OrderRows(orders);
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) {
        return r.Orders(rows, filter.from, filter.to, ReportRows::KindWord(filter.status));
    });
}

bool ClientCard(AppContext &ctx, const QString &iddClient, QWidget *parent) {
    if (iddClient.isEmpty()) {
        ctx.prompter().Warning(
            QStringLiteral("Выберите клиента из списка\nдля формирования на\nпечать сведений о нем!"));
        return false;
    }
    ClientCardData card;
    if (!TryDb(ctx.prompter(), [&] { card = ReportStore(ctx.db()).ClientCard(iddClient); })) return false;
    if (card.client.isEmpty()) {  // removed on another workstation since the list was filled
        ctx.prompter().Warning(QStringLiteral("Клиент не найден: он удален на другом рабочем месте."));
        return false;
    }
    return Build(ctx, parent, 0, [&](ExcelReports &r) { return r.ClientCard(card); });
}

bool CashOperations(AppContext &ctx, const QList<CashOperationRow> &rows, QWidget *parent) {
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) { return r.CashOperations(rows); });
}

bool Turnover(AppContext &ctx, const QDate &from, const QDate &to, QWidget *parent) {
    if (!DatePicker::PeriodAccepted(ctx.prompter(), from, to)) return false;
    TurnoverData data;
    if (!TryDb(ctx.prompter(), [&] { data = ReportStore(ctx.db()).Turnover(from, to); })) return false;
    return Build(ctx, parent, 0, [&](ExcelReports &r) { return r.Turnover(from, to, data); });
}

bool PerformedWorks(AppContext &ctx, const QList<PerformedWorkRow> &rows, const QDate &from, const QDate &to,
                    const QString &worker, QWidget *parent) {
    if (!DatePicker::PeriodAccepted(ctx.prompter(), from, to)) return false;
    return Build(ctx, parent, int(rows.size()),
                 [&](ExcelReports &r) { return r.PerformedWorks(rows, from, to, worker); });
}

bool PayoutSheet(AppContext &ctx, const QString &number, const QDateTime &date, const QString &title,
                 const QList<PayoutSheetRow> &rows, QWidget *parent) {
    QString director, accountant;
    if (!TryDb(ctx.prompter(), [&] { ReportStore(ctx.db()).Signatories(&director, &accountant); }))
        return false;
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) {
        return r.PayoutSheet(number, date, title, rows, director, accountant);
    });
}

bool PayoutSheetStored(AppContext &ctx, const QString &iddPay, const QString &number, const QDateTime &date,
                       const QString &title, QWidget *parent) {
    QList<PayoutSheetRow> rows;
    QString director, accountant;
    if (!TryDb(ctx.prompter(), [&] {
            ReportStore store(ctx.db());
            rows = store.PayoutSheet(iddPay);
            store.Signatories(&director, &accountant);
        }))
        return false;
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) {
        return r.PayoutSheetStored(number, date, title, rows, director, accountant);
    });
}

bool Payouts(AppContext &ctx, const QList<PayoutRow> &rows, const QDate &from, const QDate &to,
             QWidget *parent) {
    if (!DatePicker::PeriodAccepted(ctx.prompter(), from, to)) return false;
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) { return r.Payouts(rows, from, to); });
}

bool ChangeLog(AppContext &ctx, const QList<ChangeLogRow> &rows, const QString &title, QWidget *parent) {
    return Build(ctx, parent, int(rows.size()), [&](ExcelReports &r) { return r.ChangeLog(rows, title); });
}

bool WorkerBalances(AppContext &ctx, const QList<WorkerBalanceRow> &rows, const QDate &date,
                    QWidget *parent) {
    return Build(ctx, parent, int(rows.size()),
                 [&](ExcelReports &r) { return r.WorkerBalances(rows, date); });
}

bool BayPlan(AppContext &ctx, const QDate &day, QWidget *parent) {
    BayPlanDay plan;
    if (!TryDb(ctx.prompter(), [&] { plan = ReportStore(ctx.db()).BayPlan(day); })) return false;
    return Build(ctx, parent, plan.Orders(), [&](ExcelReports &r) { return r.BayPlan(plan); });
}

bool TyresInStorage(AppContext &ctx, TyreReportOrder order, QWidget *parent) {
    TyreStorageReport report;
    if (!TryDb(ctx.prompter(),
               [&] { report = ReportStore(ctx.db()).TyresInStorage(order, QDate::currentDate()); }))
        return false;
    return Build(ctx, parent, int(report.rows.size()),
                 [&](ExcelReports &r) { return r.TyresInStorage(report); });
}

bool BayPlanSheet(AppContext &ctx, const QDate &day, const DocumentPrinter::Opener &opener) {
    WaitCursor wait;
    BayPlanDay plan;
    if (!TryDb(ctx.prompter(), [&] { plan = ReportStore(ctx.db()).BayPlan(day); })) return false;
    const DocumentPrinter::Opener show =
        opener ? opener : [](const QString &path) { return OpenOnDesktop(path); };
    return !::BayPlanSheet(ctx.prompter(), ctx.workDir(), show).Print(plan).isEmpty();
}

namespace {

TyreDocuments TyrePapers(AppContext &ctx, const DocumentPrinter::Opener &opener) {
    return {ctx.prompter(), ctx.workDir(),
            opener ? opener : [](const QString &path) { return OpenOnDesktop(path); }};
}

}  // namespace

bool TyreReceipt(AppContext &ctx, const TyreSet &set, const DocumentPrinter::Opener &opener) {
    WaitCursor wait;
    // A user without a full name signs with his login.
    const QString clerk = ctx.user().name.trimmed().isEmpty() ? ctx.login() : ctx.user().name;
    TyreDocuments::Details details;
    if (!TryDb(ctx.prompter(), [&] { details = TyreDocuments::Read(ctx.db(), set, clerk); })) return false;
    return !TyrePapers(ctx, opener).PrintReceipt(set, details).isEmpty();
}

bool TyreLabels(AppContext &ctx, const TyreSet &set, const DocumentPrinter::Opener &opener) {
    WaitCursor wait;
    return !TyrePapers(ctx, opener).PrintLabels(set).isEmpty();
}

}  // namespace ReportCommands
