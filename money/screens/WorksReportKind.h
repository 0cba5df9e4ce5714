#pragma once

class AppContext;
class QWidget;

// What the main frame needs to open "Отчет о выполненных работах" windows. The report has no "&Правка"
// pop-up; the frame checks its right (25) before opening one.

// A new performed-works view; it lists the current month at once.
QWidget *CreateWorksReport(AppContext &ctx, QWidget *parent = nullptr);
// Runs a command on a performed-works view; false when the view is not one or the command not its own.
bool RunWorksReportCommand(QWidget *view, int id);
