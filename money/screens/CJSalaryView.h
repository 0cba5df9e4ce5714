#pragma once

#include "SalaryStore.h"
#include "UserInfo.h"

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

// "Журнал З/П": the salary payouts of a period with their total; adding, changing and deleting payouts
// under the payout rights. It is the view of an MDI child window; the main window hands its commands to
// Command().
class CJSalaryView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAdd = 32796;
    static constexpr int kEdit = 32797;
    static constexpr int kDelete = 32798;
    static constexpr int kStatement = 32799;
    static constexpr int kPrint = 57607;  // the frame's print: the payouts report of the period
    static constexpr int kFind = 1004;
    static constexpr Right kRightOpen = Right::SalaryJournal;  // "Журнал З/П" in the main menu
    static constexpr Right kRightAdd = Right::AddSalary;
    static constexpr Right kRightEdit = Right::EditSalary;
    static constexpr Right kRightDelete = Right::DeleteSalary;
    static inline const QString kTitle = QStringLiteral("Журнал З/П");
    static inline const QString kSelectToEdit = QStringLiteral("Выберите выплату для ее изменения!");
    static inline const QString kSelectToDelete = QStringLiteral("Выберите выплату для ее удаления!");
    static inline const QString kSelectToPrint =
        QStringLiteral("Выберите выплату для печати\nведомости начисления по сотрудникам!");
    static inline const QString kDeleteQuestion = QStringLiteral("Удалить выбранную выплату сотрудникам?");

    explicit CJSalaryView(AppContext &ctx, QWidget *parent = nullptr);

    // Runs one of the journal's commands; false for an id that is not the journal's.
    bool Command(int id);
    void Find();
    void Add();
    void Edit();
    void Delete();
    // The statement of the selected payout; without a selection the message says what to choose.
    void PrintStatement();

    using StatementPrinter = std::function<void(const PayRecord &payout)>;
    void SetStatementPrinter(StatementPrinter printer) { m_statementPrinter = std::move(printer); }

    KeyedView *list() const { return m_list; }
    const QList<PayRecord> &rows() const { return m_rows; }
    const SalaryFilter &lastFilter() const { return m_lastFilter; }  // the period last applied, for printing

private:
    // Shows the payouts read, with their total; the list keeps the clerk's row.
    void Show(QList<PayRecord> rows);
    void Build();
    SalaryFilter FilterFromFields() const;

    AppContext &m_ctx;
    QList<PayRecord> m_rows;
    SalaryFilter m_lastFilter;
    StatementPrinter m_statementPrinter;

    QLineEdit *m_number = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_purpose = nullptr;
    FlatModel<PayRecord> *m_shown = nullptr;
    KeyedView *m_list = nullptr;
    QLabel *m_total = nullptr;
};
