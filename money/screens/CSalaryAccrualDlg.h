#pragma once

#include "PayRecord.h"
#include "SalaryStore.h"

#include <QDialog>

class AppContext;
class KeyedList;
class QComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

// "Начисление зарплаты": every worker's earnings, payments and debt up to a day, a payout proposed as a
// percentage of the debt, adjusted and chosen by the clerk, and saved as one cash-desk payout with a line
// per worker. Opened for a stored payout it shows that payout's lines to change.
class CSalaryAccrualDlg : public QDialog {
    Q_OBJECT
public:
    static inline const QString kNewTitle = QStringLiteral("Начисление зарплаты");
    static inline const QString kEditTitle = QStringLiteral("Изменение начисленной з/п");
    static inline const QString kNumberMissing = QStringLiteral("Укажите номер платежа!");
    static inline const QString kSelectWorker =
        QStringLiteral("Выберите сотрудника, для просмотра\nинформации о выполненных работах!");

    // Columns of the list; the worker's keys live in the first column's item data.
    enum Column { kName, kPayout, kDebt, kEarned, kPaid };

    // An empty key opens a new payout; otherwise the stored payout is loaded (see Loaded()).
    CSalaryAccrualDlg(AppContext &ctx, const QString &iddPay, QWidget *parent = nullptr);

    // False when the stored payout could not be read or is gone (the message was shown).
    bool Loaded() const { return m_loaded; }
    bool IsNew() const { return m_isNew; }
    // The payout as saved by OK.
    const PayRecord &saved() const { return m_saved; }

    // Refills the list from the figures up to the "на дату:" day at the percent given; manual changes go.
    void Recount();
    void SelectAll(bool checked);
    void Works();
    // Prints the statement of the list as it stands (each worker with his choice), with the number,
    // date and purpose.
    void Print();
    void accept() override;

    // The four totals over the chosen rows: "Итого выдать:", "Итого долг:", "Итого выполнено:", "Итого
    // выдано:".
    Money TotalPayout() const;
    Money TotalDebt() const;
    Money TotalEarned() const;
    Money TotalPaid() const;

    KeyedList *list() const { return m_list; }

private:
    void Build();
    void BuildList();
    QGridLayout *BuildTotals();
    void LoadPayout(const QString &iddPay);
    // Each row's payout: the percent of its debt (what was typed is dropped).
    void ProposePayouts();
    void ItemChanged(QTreeWidgetItem *item, int column);
    void UpdateTotals();
    Money Sum(int column) const;
    QList<PayoutLine> Lines() const;
    QDateTime PayoutDate() const;

    AppContext &m_ctx;
    bool m_isNew = true;
    bool m_loaded = true;
    bool m_figuresRead = true;  // a payout is never saved from figures that failed to read
    bool m_filling = false;
    PayRecord m_stored;
    QList<PayoutLine> m_storedLines;  // with m_stored, the payout as read: the save checks it is still so
    PayRecord m_saved;
    QString m_proposed;

    QLineEdit *m_number = nullptr;
    QDateEdit *m_date = nullptr;
    QComboBox *m_purpose = nullptr;
    QLineEdit *m_percent = nullptr;
    QDateEdit *m_onDate = nullptr;
    QPushButton *m_recount = nullptr;
    KeyedList *m_list = nullptr;
    QLineEdit *m_totalPayout = nullptr;
    QLineEdit *m_totalDebt = nullptr;
    QLineEdit *m_totalEarned = nullptr;
    QLineEdit *m_totalPaid = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
