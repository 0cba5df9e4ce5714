#pragma once

#include "OrderEditor.h"

#include <QGroupBox>

class AppContext;
class KeyedList;
class QLabel;
class QPushButton;

// "Платежи по данному заказу:" of the order form: the order's payments, what was paid and what is owed.
// Payments are taken here and stored with the order.
class OrderPaymentsPart : public QGroupBox {
    Q_OBJECT
public:
    enum PayColumn { ColNumber, ColDate, ColAmount, ColPurpose, ColDocument, ColNote };

    OrderPaymentsPart(AppContext &ctx, OrderEditor &editor, QWidget *parent);

    KeyedList *list() const { return m_payments; }
    QList<QWidget *> TabOrder() const;
    // Shows the editor's payments and the debt again.
    void Fill();
    // The total changed: the debt follows.
    void ShowTotals();

    void AddPayment();
    void EditPayment();
    void DeletePayment();

signals:
    // The payments were shown afresh (taken, changed or removed).
    void Changed();

private:
    void Build();
    // The selected payment's index in the order, or a warning and -1.
    int Selected(const QString &warning) const;

    AppContext &m_ctx;
    OrderEditor &m_editor;
    KeyedList *m_payments = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_del = nullptr;
    QLabel *m_paidText = nullptr;
    QLabel *m_debtText = nullptr;
};
