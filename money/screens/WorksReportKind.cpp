#include "WorksReportKind.h"

#include "COtWorkView.h"

QWidget *CreateWorksReport(AppContext &ctx, QWidget *parent) {
    return new COtWorkView(ctx, parent);
}

bool RunWorksReportCommand(QWidget *view, int id) {
    auto *report = qobject_cast<COtWorkView *>(view);
    return report && report->Command(id);
}
