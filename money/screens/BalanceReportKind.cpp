#include "BalanceReportKind.h"

#include "COtBalanceWorkView.h"

QWidget *CreateBalanceReport(AppContext &ctx, QWidget *parent) {
    return new COtBalanceWorkView(ctx, parent);
}

bool RunBalanceReportCommand(QWidget *view, int id) {
    auto *report = qobject_cast<COtBalanceWorkView *>(view);
    return report && report->Command(id);
}
