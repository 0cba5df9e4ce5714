#include "JournalKinds.h"

#include "AppContext.h"
#include "COrderFormDlg.h"
#include "CPrintDlg.h"
#include "Commands.h"
#include "DialogRunner.h"
#include "MainFrame.h"
#include "OrderJournalKind.h"

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
    journal.command = [](QWidget *view, int id) { RunOrderJournalCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kOrderJournal, journal);
}
