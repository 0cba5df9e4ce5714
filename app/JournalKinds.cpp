#include "JournalKinds.h"

#include "AppContext.h"
#include "BalanceReportKind.h"
#include "CBayBoardView.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "COrderFormDlg.h"
#include "COtBalanceWorkView.h"
#include "COtWorkView.h"
#include "CPrintDlg.h"
#include "CQuellmarodView.h"
#include "CTyreJournalView.h"
#include "Commands.h"
#include "DialogRunner.h"
#include "KassaJournalKind.h"
#include "MainFrame.h"
#include "OrderJournalKind.h"
#include "ReportCommands.h"
#include "SalaryJournalKind.h"
#include "WorksReportKind.h"

namespace {

QList<CommandItem> EditMenu(const QList<KindMenuItem> &items) {
    QList<CommandItem> menu;
    for (const KindMenuItem &m : items) menu << CommandItem(m.id, m.text, m.prompt, m.icon);
    return menu;
}

void RegisterOrderJournal(CMainFrame &frame, AppContext &ctx) {
    CMainFrame *owner = &frame;
    ChildKind journal;
    journal.editMenu = EditMenu(OrderJournalMenu(true));
    journal.toolbar = OrderJournalToolbar();
    journal.maximized = true;
    OrderFormOpener opener = [&ctx, owner](OrderFormMode mode, QString &key) {
        return RunOrderForm(ctx, mode, key, owner);
    };
    auto printer = [&ctx, owner](const QString &iddZakaz) {
        CPrintDlg dialog(ctx, iddZakaz, owner);
        ctx.dialogs().Run(dialog);
    };
    journal.open = [&ctx, opener, printer] { return CreateOrderJournal(ctx, opener, nullptr, printer); };
    journal.command = [&ctx, owner](QWidget *view, int id) {
        // The frame's print on a journal: the orders report of the rows shown.
        if (id == Cmd::kPrint) {
            if (auto *j = qobject_cast<CQuellmarodView *>(view))
                ReportCommands::Orders(ctx, j->ShownOrders(), j->ShownFilter(), owner);
            return;
        }
        RunOrderJournalCommand(view, id);
    };
    frame.RegisterChildKind(ChildKindId::kOrderJournal, journal);
}

void RegisterCashJournal(CMainFrame &frame, AppContext &ctx) {
    CMainFrame *owner = &frame;
    ChildKind cash;
    cash.editMenu = EditMenu(KassaJournalMenu());
    cash.toolbar = KassaJournalToolbar();
    cash.maximized = true;
    cash.open = [&ctx] { return CreateKassaJournal(ctx); };
    cash.command = [&ctx, owner](QWidget *view, int id) {
        auto *j = qobject_cast<CKassaView *>(view);
        if (j && id == CKassaView::kPrint) {
            ReportCommands::CashOperations(ctx, ReportRows::CashRows(j->journal().rows), owner);
            return;
        }
        if (j && id == CKassaView::kPrintTotals) {
            ReportCommands::Turnover(ctx, j->lastFilter().from, j->lastFilter().to, owner);
            return;
        }
        RunKassaJournalCommand(view, id);
    };
    frame.RegisterChildKind(ChildKindId::kCashJournal, cash);
}

void RegisterSalaryJournal(CMainFrame &frame, AppContext &ctx) {
    CMainFrame *owner = &frame;
    ChildKind salary;
    salary.editMenu = EditMenu(SalaryJournalMenu());
    salary.toolbar = SalaryJournalToolbar();
    salary.open = [&ctx, owner] {
        QWidget *view = CreateSalaryJournal(ctx);
        if (auto *j = qobject_cast<CJSalaryView *>(view))
            j->SetStatementPrinter([&ctx, owner](const PayRecord &p) {
                ReportCommands::PayoutSheetStored(ctx, p.IddPay, p.NomerPay, p.DataPay, p.NaznPay, owner);
            });
        return view;
    };
    salary.command = [&ctx, owner](QWidget *view, int id) {
        auto *j = qobject_cast<CJSalaryView *>(view);
        if (j && id == CJSalaryView::kPrint) {
            ReportCommands::Payouts(ctx, ReportRows::PayoutRows(j->rows()), j->lastFilter().from,
                                    j->lastFilter().to, owner);
            return;
        }
        RunSalaryJournalCommand(view, id);
    };
    frame.RegisterChildKind(ChildKindId::kSalaryJournal, salary);
}

void RegisterWorkerReports(CMainFrame &frame, AppContext &ctx) {
    CMainFrame *owner = &frame;
    ChildKind works;
    works.open = [&ctx, owner] {
        QWidget *view = CreateWorksReport(ctx);
        if (auto *v = qobject_cast<COtWorkView *>(view))
            v->SetPrinter([&ctx, owner](const PerformedWorks &w, const QDate &from, const QDate &to,
                                        const QString &worker) {
                ReportCommands::PerformedWorks(ctx, ReportRows::PerformedRows(w), from, to, worker, owner);
            });
        return view;
    };
    works.toolbar = {Cmd::kPrint};  // the frame's print, which the view answers
    works.command = [](QWidget *view, int id) { RunWorksReportCommand(view, id); };
    frame.RegisterChildKind(ChildKindId::kWorksReport, works);

    ChildKind balance;
    balance.open = [&ctx, owner] {
        QWidget *view = CreateBalanceReport(ctx);
        if (auto *v = qobject_cast<COtBalanceWorkView *>(view))
            v->SetPrinter([&ctx, owner](const QList<WorkerFigures> &workers, const QDate &day) {
                QList<WorkerBalanceRow> rows;
                for (const WorkerFigures &f : workers)
                    rows << WorkerBalanceRow{f.WorkFIO, f.earned, f.paid, f.Debt()};
                ReportCommands::WorkerBalances(ctx, rows, day, owner);
            });
        return view;
    };
    balance.toolbar = {Cmd::kPrint};
    balance.command = [](QWidget *view, int id) { RunBalanceReportCommand(view, id); };
    frame.RegisterChildKind(ChildKindId::kBalanceReport, balance);
}

void RegisterBayBoard(CMainFrame &frame, AppContext &ctx) {
    ChildKind board;
    board.maximized = true;
    board.toolbar = {Cmd::kPrint};
    CMainFrame *owner = &frame;
    board.open = [&ctx, owner] {
        auto *view = new CBayBoardView(ctx);
        view->SetReporters([&ctx, owner](const QDate &day) { ReportCommands::BayPlan(ctx, day, owner); },
                           [&ctx](const QDate &day) { ReportCommands::BayPlanSheet(ctx, day); });
        return view;
    };
    board.command = [](QWidget *view, int id) {
        if (auto *b = qobject_cast<CBayBoardView *>(view); b && id == Cmd::kPrint) b->Print();
    };
    frame.RegisterChildKind(ChildKindId::kBayBoard, board);
}

void RegisterTyreJournal(CMainFrame &frame, AppContext &ctx) {
    CMainFrame *owner = &frame;
    ChildKind tyres;
    tyres.maximized = true;
    tyres.toolbar = {Cmd::kPrint};
    tyres.open = [&ctx, owner] {
        auto *view = new CTyreJournalView(ctx);
        using Order = CTyreJournalView::ReportOrder;
        view->SetPrinters([&ctx](const TyreSet &set) { ReportCommands::TyreReceipt(ctx, set); },
                          [&ctx](const TyreSet &set) { ReportCommands::TyreLabels(ctx, set); },
                          [&ctx, owner](Order order) {
                              ReportCommands::TyresInStorage(
                                  ctx,
                                  order == Order::ByClient  ? TyreReportOrder::ByClient
                                  : order == Order::Overdue ? TyreReportOrder::Overdue
                                                            : TyreReportOrder::ByPlace,
                                  owner);
                          });
        return view;
    };
    tyres.command = [](QWidget *view, int id) {
        if (auto *j = qobject_cast<CTyreJournalView *>(view); j && id == Cmd::kPrint) j->Print();
    };
    frame.RegisterChildKind(ChildKindId::kTyreJournal, tyres);
}

}  // namespace

void RegisterJournalKinds(CMainFrame &frame, AppContext &ctx) {
    RegisterOrderJournal(frame, ctx);
    RegisterCashJournal(frame, ctx);
    RegisterSalaryJournal(frame, ctx);
    RegisterWorkerReports(frame, ctx);
    RegisterBayBoard(frame, ctx);
    RegisterTyreJournal(frame, ctx);
}
