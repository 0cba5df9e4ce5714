#pragma once

#include "CashStore.h"
#include "UserInfo.h"

#include <QHash>
#include <QWidget>
#include <functional>

class AppContext;
class KeyedView;
template <class Record>
class FlatModel;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;

// The cash journal: every cash-desk row of a period with its filters, the three totals, and adding,
// changing and deleting rows by their kind under the payment rights. It is the view of an MDI child
// window; the main window asks it for its commands and hands their ids back to Command().
class CKassaView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAdd = 32800;
    static constexpr int kEdit = 32801;
    static constexpr int kDelete = 32802;
    static constexpr int kFind = 1004;
    static constexpr int kPrint = 57607;        // the frame's print: the cash report of the rows shown
    static constexpr int kPrintTotals = 32811;  // the turnover statement of the last applied period
    static constexpr Right kRightOpen = Right::CashJournal;  // "Журнал кассы" in the main menu
    static constexpr Right kRightAdd = Right::AddCash;
    static constexpr Right kRightEdit = Right::EditCash;
    static constexpr Right kRightDelete = Right::DeleteCash;
    static inline const QString kTitle = QStringLiteral("Журнал кассы");
    static inline const QString kSelectOperation = QStringLiteral("Выберите операцию для ее редактирования!");
    static inline const QString kPayoutElsewhere =
        QStringLiteral("Выплаты заработной платы изменяются в журнале З/П!");

    // Edits a salary payout (kind 1) in the salary accrual dialog; true when it was saved.
    using PayoutEditor = std::function<bool(const CashRow &row)>;

    explicit CKassaView(AppContext &ctx, QWidget *parent = nullptr);

    // Runs one of the journal's commands; false for an id that is not the journal's.
    bool Command(int id);
    void Find();
    void Add();
    void Edit();
    void Delete();

    // Until one is set, editing a payout says where payouts are edited.
    void SetPayoutEditor(PayoutEditor editor) { m_payoutEditor = std::move(editor); }

    KeyedView *list() const { return m_list; }
    const CashJournal &journal() const { return m_journal; }
    const CashFilter &lastFilter() const { return m_lastFilter; }  // the period last applied, for printing

private:
    // Shows a journal read; the list keeps the clerk's row.
    void Show(CashJournal journal);
    void Build();
    void FillFilterLists();
    CashFilter FilterFromFields() const;
    const CashRow *SelectedRow() const;

    AppContext &m_ctx;
    CashJournal m_journal;
    CashFilter m_lastFilter;
    QHash<QString, int> m_rowOf;  // IddPay -> index in m_journal.rows
    PayoutEditor m_payoutEditor;

    QLineEdit *m_number = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_purpose = nullptr;
    QComboBox *m_client = nullptr;
    FlatModel<CashRow> *m_rows = nullptr;
    KeyedView *m_list = nullptr;
    QLabel *m_income = nullptr;
    QLabel *m_expense = nullptr;
    QLabel *m_total = nullptr;
};
