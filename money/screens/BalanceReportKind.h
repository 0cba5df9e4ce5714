#pragma once

class AppContext;
class QWidget;

// What the main frame needs to open "Отчет о расчетах с сотрудниками" windows. The report has no
// "&Правка" pop-up; the frame checks its right (26) before opening one.

// A new workers' balance view; it lists the balances of today at once.
QWidget *CreateBalanceReport(AppContext &ctx, QWidget *parent = nullptr);
// Runs a command on a balance view; false when the view is not one or the command not its own.
bool RunBalanceReportCommand(QWidget *view, int id);
