#pragma once

#include "KindMenuItem.h"

#include <QList>
#include <QString>

class AppContext;
class QWidget;

// What the main frame needs to give the salary journal windows their own "&Правка" menu and toolbar.

using SalaryMenuItem = KindMenuItem;

// The pop-up in order.
QList<SalaryMenuItem> SalaryJournalMenu();
// The command ids of the journal's toolbar, in order.
QList<int> SalaryJournalToolbar();

// A new salary journal view (the frame puts it into its window and owns it). It lists the payouts of this
// year at once. The frame checks the right to open it ("Журнал З/П", right 13) before.
QWidget *CreateSalaryJournal(AppContext &ctx, QWidget *parent = nullptr);
// Runs a menu or toolbar command on a salary journal view; false when the view is not one or the command
// is not one of its own.
bool RunSalaryJournalCommand(QWidget *view, int id);

// Opens the stored payout in the accrual dialog; true when it was saved. What the cash journal runs to
// change a salary payout.
bool EditPayoutInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent);
