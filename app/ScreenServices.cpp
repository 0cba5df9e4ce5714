#include "ScreenServices.h"

#include "AppContext.h"
#include "CChangeLogDlg.h"
#include "COrderFormDlg.h"
#include "DesktopOpener.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "OrderStore.h"
#include "ReportCommands.h"

#include <algorithm>

ScreenServices::ScreenServices(AppContext &ctx, ReportTarget target)
    : m_ctx(ctx), m_target(std::move(target)) {
    m_ctx.SetOrderForms(this);
    m_ctx.SetMoneyPrintouts(this);
    m_ctx.SetReportTarget(&m_target);
    m_ctx.SetChangeHistory(this);
}

ScreenServices::~ScreenServices() {
    m_ctx.SetOrderForms(nullptr);
    m_ctx.SetMoneyPrintouts(nullptr);
    m_ctx.SetReportTarget(nullptr);
    m_ctx.SetChangeHistory(nullptr);
}

ReportTarget ScreenServices::DesktopReports() {
    return {ExcelSession::DefaultFolder(), [](const QString &file) {
                return OpenOnDesktop(file) ? QString()
                                           : QStringLiteral("не найдена программа для просмотра таблиц");
            }};
}

bool ScreenServices::Open(OrderFormMode mode, const QString &iddClient, QString &iddZakaz, QWidget *parent) {
    return RunOrderForm(m_ctx, mode, iddZakaz, parent, iddClient);
}

void ScreenServices::Delete(const QString &iddZakaz) {
    OrderStore(m_ctx.db()).Delete(iddZakaz);
}

void ScreenServices::PayoutSheet(const QString &number, const QDateTime &date, const QString &purpose,
                                 const QList<PayoutLine> &lines, QWidget *parent) {
    QList<PayoutSheetRow> rows;
    for (const PayoutLine &l : lines)
        if (!l.DeleteWorkPay) rows << PayoutSheetRow{l.WorkFIO, l.SummaWorkPay};
    ReportCommands::PayoutSheet(m_ctx, number, date, purpose, rows, parent);
}

void ScreenServices::WorkerWorks(const PerformedWorks &works, const QDate &day, const QString &workFio,
                                 QWidget *parent) {
    // The list has no start of its own (everything up to the day): the report's period begins with its
    // first work, or is the day alone when there is none.
    QDate from = day;
    for (const PerformedWork &w : works.rows)
        if (w.ZakazEndOut.date() > Formats::ZeroDateTime().date())
            from = std::min(from, w.ZakazEndOut.date());
    ReportCommands::PerformedWorks(m_ctx, ReportRows::PerformedRows(works), from, day, workFio, parent);
}

void ScreenServices::Order(const QString &iddZakaz, QWidget *parent) {
    if (iddZakaz.isEmpty() || !m_ctx.CheckRight(Right::Users)) return;
    CChangeLogDlg dlg(m_ctx, ChangeLogFilter{.iddZakaz = iddZakaz}, parent);
    m_ctx.dialogs().Run(dlg);
}

void ScreenServices::Payment(const QString &iddPay, QWidget *parent) {
    if (iddPay.isEmpty() || !m_ctx.CheckRight(Right::Users)) return;
    CChangeLogDlg dlg(m_ctx, ChangeLogFilter{.iddPay = iddPay}, parent);
    m_ctx.dialogs().Run(dlg);
}
