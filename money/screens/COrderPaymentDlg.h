#pragma once

#include "PayRecord.h"

#include <QDialog>
#include <functional>

class AppContext;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// A customer's payment for one order: number, date, primary document, note and amount, beside the
// order's debt and what remains of it. OK fills the caller's record (kind "order payment", not deleted);
// the caller saves it, or hands the dialog the save to run on OK (SetSaver).
class COrderPaymentDlg : public QDialog {
    Q_OBJECT
public:
    static inline const QString kNewTitle = QStringLiteral("Новый платеж за оказанные услуги");
    static inline const QString kEditTitle = QStringLiteral("Изменение платежа за оказанные услуги");
    static inline const QString kPurpose = QStringLiteral("Оплата услуг");

    // `debt` is the order's debt without this payment's own amount counted back: an edited payment
    // shows the debt as it stood before it. A new payment proposes the whole debt as its amount.
    COrderPaymentDlg(AppContext &ctx, PayRecord &pay, const QString &title, bool isNew, Money debt,
                     QWidget *parent = nullptr);

    // "Сумма долга" and "Остаток долга" as shown.
    Money DebtBefore() const { return m_debtBefore; }
    Money Remainder() const;
    // The amount as typed.
    Money Amount() const;

    // Runs on OK once the record is filled; while it returns false (not stored; it said why) the dialog
    // stays open with what was typed.
    void SetSaver(std::function<bool()> save) { m_save = std::move(save); }
    // Shows the record again, as the constructor did: after the caller read it anew.
    void Show(Money debt, bool isNew);

    void accept() override;

private:
    void Build(const QString &title);
    void AmountChanged();

    AppContext &m_ctx;
    PayRecord &m_pay;
    Money m_debtBefore;
    std::function<bool()> m_save;

    QLineEdit *m_number = nullptr;
    QDateEdit *m_date = nullptr;
    QLabel *m_purpose = nullptr;
    QLineEdit *m_doc = nullptr;
    QLineEdit *m_note = nullptr;
    QLineEdit *m_amount = nullptr;
    QLabel *m_debt = nullptr;
    QLabel *m_rest = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
