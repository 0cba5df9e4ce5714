#pragma once

#include <QString>
#include <functional>

class QMenu;
class QWidget;

// The change log's window as the journals below it open it ("История" on an order or a payment). It stands
// above them, so app/ provides it through the AppContext.
class ChangeHistory {
public:
    virtual ~ChangeHistory() = default;
    // Shows every entry of the order (its lines, workers and payments too). Needs the right to the users
    // directory, as the log's window does; without it the refusal is shown.
    virtual void Order(const QString &iddZakaz, QWidget *parent) = 0;
    // Shows every entry of the payment or payout (a payout's lines too).
    virtual void Payment(const QString &iddPay, QWidget *parent) = 0;
};

// Appends "История" to a list's right-click menu; `show` opens the selected record's history.
void AddHistoryCommand(QMenu *menu, const std::function<void()> &show);
