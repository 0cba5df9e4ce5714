#pragma once

#include "Money.h"

#include <QWidget>
#include <functional>

class AppContext;
class KeyedList;

// The client card's "Заказы" page: the client's orders with their sums, debts and status colours, and
// adding, changing, deleting and paying orders from the card. Its services total goes to the card's
// footer; `changed` is emitted after every command that may have changed orders or payments. The order
// form and deleting an order are the order screens' (AppContext::orderForms).
class CClientOrdersPage : public QWidget {
    Q_OBJECT
public:
    // `mayCreate` says whether rows may be made for the client yet (the card shows why not).
    CClientOrdersPage(AppContext &ctx, const QString &iddClient, std::function<bool()> mayCreate,
                      QWidget *parent = nullptr);

    void Refill();
    Money servicesTotal() const { return m_services; }
    KeyedList *list() const { return m_list; }

    void AddOrder();
    void EditOrder();
    void DeleteOrder();
    void AddPayment();

signals:
    void changed();

private:
    AppContext &m_ctx;
    QString m_iddClient;
    std::function<bool()> m_mayCreate;
    Money m_services;
    KeyedList *m_list = nullptr;
};
