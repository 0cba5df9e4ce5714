#pragma once

#include "CashStore.h"
#include "PayRecord.h"

#include <QDialog>

class AppContext;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// A payment taken on the client card: one of the client's unpaid orders, or money put on ("Приход")
// or taken from ("Возврат") the client's account. OK fills the caller's record for a new row: an order
// payment (kind 0, keyed by the order) or an account row (kind 2, keyed by the client, the sign from
// the choice); the caller saves it.
class CClientPaymentDlg : public QDialog {
    Q_OBJECT
public:
    static inline const QString kIncome = QStringLiteral("Приход");
    static inline const QString kRefund = QStringLiteral("Возврат");
    static constexpr int kKeyRole = Qt::UserRole;        // order key, "+" or "-"
    static constexpr int kLabelRole = Qt::UserRole + 1;  // the purpose stored

    CClientPaymentDlg(AppContext &ctx, const QString &iddClient, PayRecord &pay, QWidget *parent = nullptr);
    // What the chosen order owed as the dialog last showed it.
    Money DebtSeen() const { return m_debtValue; }

    QComboBox *purposes() const { return m_purposes; }
    void accept() override;

private:
    void Build();
    void Fill();
    void PurposeChosen(int index);
    void AmountChanged();
    QString Proposal(bool out);

    AppContext &m_ctx;
    QString m_iddClient;
    PayRecord &m_pay;
    QList<UnpaidOrder> m_orders;
    bool m_hasDebt = false;
    Money m_debtValue;
    QString m_proposed;  // the number last proposed

    QComboBox *m_purposes = nullptr;
    QLabel *m_purpose = nullptr;
    QLineEdit *m_number = nullptr;
    QDateEdit *m_date = nullptr;
    QLineEdit *m_doc = nullptr;
    QLineEdit *m_note = nullptr;
    QLineEdit *m_amount = nullptr;
    QLabel *m_debt = nullptr;
    QLabel *m_rest = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
