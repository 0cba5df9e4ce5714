#pragma once

#include "ChangeHistory.h"
#include "MoneyPrintouts.h"
#include "OrderForms.h"
#include "ReportTarget.h"

class AppContext;

// The interfaces through which the screens below reach the ones above them, provided to one context
// for as long as this lives: the order form for the client card, the money dialogs' printouts, the
// history of an order or a payment for the journals and where the reports go (by default the working folder's
// "reports", opened on the desktop).
class ScreenServices final : public OrderForms, public MoneyPrintouts, public ChangeHistory {
public:
    explicit ScreenServices(AppContext &ctx, ReportTarget target = DesktopReports());
    ~ScreenServices() override;
    ScreenServices(const ScreenServices &) = delete;
    ScreenServices &operator=(const ScreenServices &) = delete;

    static ReportTarget DesktopReports();

    bool Open(OrderFormMode mode, const QString &iddClient, QString &iddZakaz, QWidget *parent) override;
    void Delete(const QString &iddZakaz) override;
    void PayoutSheet(const QString &number, const QDateTime &date, const QString &purpose,
                     const QList<PayoutLine> &lines, QWidget *parent) override;
    void WorkerWorks(const PerformedWorks &works, const QDate &day, const QString &workFio,
                     QWidget *parent) override;
    void Order(const QString &iddZakaz, QWidget *parent) override;
    void Payment(const QString &iddPay, QWidget *parent) override;

private:
    AppContext &m_ctx;
    ReportTarget m_target;
};
