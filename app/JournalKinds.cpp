#include "JournalKinds.h"

#include "AppContext.h"
#include "BalanceReportKind.h"
#include "CClientDlg.h"
#include "COrderFormDlg.h"
#include "CPrintDlg.h"
#include "CQuellmarodView.h"
#include "Commands.h"
#include "DialogRunner.h"
#include "KassaJournalKind.h"
#include "MainFrame.h"
#include "OrderJournalKind.h"
#include "OrderStore.h"
#include "ReportCommands.h"
#include "SalaryJournalKind.h"
#include "WorksReportKind.h"

void RegisterJournalKinds(CMainFrame &frame, AppContext &ctx) {
    ChildKindSpec journal;
    for (const JournalMenuItem &m : OrderJournalMenu(true))
        journal.editMenu << CommandItem(m.id, m.text, m.prompt, m.icon);
    journal.toolbar = OrderJournalToolbar();
    journal.maximized = true;
    CMainFrame *owner = &frame;
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
    frame.RegisterChildKind(ChildKind::kOrderJournal, journal);

    ChildKindSpec cash;
    for (const KassaMenuItem &m : KassaJournalMenu())
        cash.editMenu << CommandItem(m.id, m.text, m.prompt, m.icon);
    cash.toolbar = KassaJournalToolbar();
    cash.maximized = true;
    cash.open = [&ctx] { return CreateKassaJournal(ctx); };
    cash.command = [](QWidget *view, int id) { RunKassaJournalCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kCashJournal, cash);

    ChildKindSpec salary;
    for (const SalaryMenuItem &m : SalaryJournalMenu())
        salary.editMenu << CommandItem(m.id, m.text, m.prompt, m.icon);
    salary.toolbar = SalaryJournalToolbar();
    salary.open = [&ctx] { return CreateSalaryJournal(ctx); };
    salary.command = [](QWidget *view, int id) { RunSalaryJournalCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kSalaryJournal, salary);

    ChildKindSpec works;
    works.open = [&ctx] { return CreateWorksReport(ctx); };
    works.command = [](QWidget *view, int id) { RunWorksReportCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kWorksReport, works);

    ChildKindSpec balance;
    balance.open = [&ctx] { return CreateBalanceReport(ctx); };
    balance.command = [](QWidget *view, int id) { RunBalanceReportCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kBalanceReport, balance);

    // The client card's orders page opens the same order form and deletes through the order rules.
    CClientDlg::SetOrderActionsMaker([](AppContext &context, QWidget *parent) {
        return ClientOrderActions{[&context, parent](OrderFormMode mode, QString &key) {
                                      return RunOrderForm(context, mode, key, parent);
                                  },
                                  [&context](const QString &key) { OrderStore(context.db()).Delete(key); }};
    });
}
