#include "JournalKinds.h"

#include "AppContext.h"
#include "BalanceReportKind.h"
#include "CClientDlg.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "COrderFormDlg.h"
#include "COtBalanceWorkView.h"
#include "COtWorkView.h"
#include "CPrintDlg.h"
#include "CQuellmarodView.h"
#include "CSalaryAccrualDlg.h"
#include "CWorkerWorksDlg.h"
#include "Commands.h"
#include "DialogRunner.h"
#include "KassaJournalKind.h"
#include "MainFrame.h"
#include "OrderJournalKind.h"
#include "OrderStore.h"
#include "ReportCommands.h"
#include "SalaryJournalKind.h"
#include "WorksReportKind.h"

namespace {

QList<PerformedWorkRow> PerformedRows(const PerformedWorks &works) {
    QList<PerformedWorkRow> rows;
    for (const PerformedWork &w : works.rows)
        rows << PerformedWorkRow{w.ZakazEndOut, w.ZakazNomer, w.ZakazData, w.Name, w.amount,
                                 w.vat,         w.Total(),    w.WorkFIO,   w.pay};
    return rows;
}

QList<CommandItem> EditMenu(const QList<KindMenuItem> &items) {
    QList<CommandItem> menu;
    for (const KindMenuItem &m : items) menu << CommandItem(m.id, m.text, m.prompt, m.icon);
    return menu;
}

}  // namespace

void RegisterJournalKinds(CMainFrame &frame, AppContext &ctx) {
    ChildKindSpec journal;
    journal.editMenu = EditMenu(OrderJournalMenu(true));
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
    cash.editMenu = EditMenu(KassaJournalMenu());
    cash.toolbar = KassaJournalToolbar();
    cash.maximized = true;
    cash.open = [&ctx] { return CreateKassaJournal(ctx); };
    cash.command = [&ctx, owner](QWidget *view, int id) {
        auto *j = qobject_cast<CKassaView *>(view);
        if (j && id == CKassaView::kPrint) {
            QList<CashOperationRow> rows;
            for (const CashRow &c : j->journal().rows)
                rows << ReportRows::CashRowOf(c.pay, c.clientName, c.workFio, c.zakazNomer, c.zakazData);
            ReportCommands::CashOperations(ctx, rows, owner);
            return;
        }
        if (j && id == CKassaView::kPrintTotals) {
            ReportCommands::Turnover(ctx, j->lastFilter().from, j->lastFilter().to, owner);
            return;
        }
        RunKassaJournalCommand(view, id);
    };
    frame.RegisterChildKind(ChildKind::kCashJournal, cash);

    ChildKindSpec salary;
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
    frame.RegisterChildKind(ChildKind::kSalaryJournal, salary);

    ChildKindSpec works;
    works.open = [&ctx, owner] {
        QWidget *view = CreateWorksReport(ctx);
        if (auto *v = qobject_cast<COtWorkView *>(view))
            v->SetPrinter([&ctx, owner](const PerformedWorks &w, const QDate &from, const QDate &to,
                                        const QString &worker) {
                ReportCommands::PerformedWorks(ctx, PerformedRows(w), from, to, worker, owner);
            });
        return view;
    };
    works.command = [](QWidget *view, int id) { RunWorksReportCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kWorksReport, works);

    ChildKindSpec balance;
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
    balance.command = [](QWidget *view, int id) { RunBalanceReportCommand(view, id); };
    frame.RegisterChildKind(ChildKind::kBalanceReport, balance);

    // The accrual dialog and the worker's works dialog are opened from several windows; their print
    // buttons reach the reports through these.
    CSalaryAccrualDlg::SetPrinter([](AppContext &context, const QString &number, const QDateTime &date,
                                     const QString &purpose, const QList<PayoutLine> &lines,
                                     QWidget *parent) {
        QList<PayoutSheetRow> rows;
        for (const PayoutLine &l : lines)
            if (!l.DeleteWorkPay) rows << PayoutSheetRow{l.WorkFIO, l.SummaWorkPay};
        ReportCommands::PayoutSheet(context, number, date, purpose, rows, parent);
    });
    CWorkerWorksDlg::SetPrinter([](AppContext &context, const PerformedWorks &shown, const QDate &day,
                                   const QString &workFio, QWidget *parent) {
        ReportCommands::PerformedWorks(context, PerformedRows(shown), QDate(), day, workFio, parent);
    });

    // The client card's orders page opens the same order form and deletes through the order rules.
    CClientDlg::SetOrderActionsMaker([](AppContext &context, QWidget *parent) {
        return ClientOrderActions{
            [&context, parent](OrderFormMode mode, const QString &client, QString &key) {
                return RunOrderForm(context, mode, key, parent, client);
            },
            [&context](const QString &key) { OrderStore(context.db()).Delete(key); }};
    });
}
