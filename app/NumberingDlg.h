#pragma once

#include <QDialog>

class AppContext;
class QLineEdit;
class QPushButton;

// "Настройка нумерации": the order prefix and the last numbers used by orders, salary payouts and
// incoming and outgoing cash documents. Numbering continues from the numbers stored here.
class CNumberingDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNumberingDlg(AppContext &ctx, QWidget *parent = nullptr);

    // False when the counters could not be read (the error has been shown); the dialog should not be
    // run, or saving would overwrite counters the user never saw.
    bool IsLoaded() const { return m_loaded; }

    QLineEdit *PrefixEdit() const { return m_prefix; }
    QLineEdit *OrderEdit() const { return m_order; }
    QLineEdit *SalaryEdit() const { return m_salary; }
    QLineEdit *PayEdit() const { return m_pay; }
    QLineEdit *OutPayEdit() const { return m_outPay; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

public slots:
    void accept() override;

private:
    AppContext &m_ctx;
    QLineEdit *m_prefix = nullptr;
    QLineEdit *m_order = nullptr;
    QLineEdit *m_salary = nullptr;
    QLineEdit *m_pay = nullptr;
    QLineEdit *m_outPay = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_loaded = false;
};
