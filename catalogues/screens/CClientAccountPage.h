#pragma once

#include "Money.h"

#include <QWidget>
#include <functional>

class AppContext;
class KeyedList;

// The client card's "Лицевой счет" page: the payments of the client's live orders and the client's own
// account rows, newest first, with adding, changing and deleting them. Its payments total goes to the
// card's footer; `changed` is emitted after every command that changed a payment.
class CClientAccountPage : public QWidget {
    Q_OBJECT
public:
    // `mayCreate` says whether rows may be made for the client yet (the card shows why not).
    CClientAccountPage(AppContext &ctx, const QString &iddClient, std::function<bool()> mayCreate,
                       QWidget *parent = nullptr);

    void Refill();
    Money paymentsTotal() const { return m_payments; }
    KeyedList *list() const { return m_list; }

    void AddPayment();
    void EditPayment();
    void DeletePayment();

signals:
    void changed();

private:
    AppContext &m_ctx;
    QString m_iddClient;
    std::function<bool()> m_mayCreate;
    Money m_payments;
    KeyedList *m_list = nullptr;
};
