#pragma once

#include "SalaryStore.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class QWidget;

// The reports the money dialogs print. The reports are built above the money screens, so app/ provides
// them through the AppContext.
class MoneyPrintouts {
public:
    virtual ~MoneyPrintouts() = default;
    // The accrual dialog's statement: its lines as they stand (those not chosen are left out).
    virtual void PayoutSheet(const QString &number, const QDateTime &date, const QString &purpose,
                             const QList<PayoutLine> &lines, QWidget *parent) = 0;
    // The works one worker did up to a day.
    virtual void WorkerWorks(const PerformedWorks &works, const QDate &day, const QString &workFio,
                             QWidget *parent) = 0;
};
