#pragma once

#include "PayRecord.h"

#include <QDialog>
#include <optional>

class AppContext;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Money in or out of the cash desk under a free-text article ("Назначение"). It saves the row itself on
// OK: a new operation numbered from the incoming or outgoing counter, an edited one as it was numbered.
// The amount is typed without a sign; "Расход" stores it negative.
class CCashOperationDlg : public QDialog {
    Q_OBJECT
public:
    // An empty key opens a new operation.
    CCashOperationDlg(AppContext &ctx, const QString &iddPay = {}, QWidget *parent = nullptr);

    bool Loaded() const { return m_loaded; }  // false when the edited row could not be read
    const PayRecord &saved() const { return m_pay; }
    void accept() override;

private:
    void Build();
    void Load();
    void KindChosen();

    AppContext &m_ctx;
    bool m_isNew;
    bool m_loaded = true;
    PayRecord m_pay;
    std::optional<PayRecord> m_stored;  // the edited row as read: the save checks it is still so
    QString m_proposed;

    QRadioButton *m_income = nullptr;
    QRadioButton *m_expense = nullptr;
    QComboBox *m_article = nullptr;
    QLineEdit *m_number = nullptr;
    QDateEdit *m_date = nullptr;
    QLineEdit *m_doc = nullptr;
    QLineEdit *m_note = nullptr;
    QLineEdit *m_amount = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
