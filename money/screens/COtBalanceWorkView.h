#pragma once

#include "SalaryStore.h"
#include "UserInfo.h"

#include <QDate>
#include <QWidget>
#include <functional>

class AppContext;
class KeyedList;
class QDateEdit;

// "Отчет о расчетах с сотрудниками": every worker's earnings, payments and balance up to a day. The view
// of an MDI child window.
class COtBalanceWorkView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFind = 1004;
    static constexpr int kPrint = 57607;
    static constexpr Right kRightOpen = Right::BalanceReport;
    static inline const QString kTitle = QStringLiteral("Отчет о расчетах с сотрудниками");

    explicit COtBalanceWorkView(AppContext &ctx, QWidget *parent = nullptr);

    bool Command(int id);
    void Find();

    // Prints the balances shown with the day they were found for.
    using Printer = std::function<void(const QList<WorkerFigures> &workers, const QDate &day)>;
    void SetPrinter(Printer printer) { m_printer = std::move(printer); }

    KeyedList *list() const { return m_list; }

private:
    // Shows the balances read for the day, keeping the current row.
    void Show(const QList<WorkerFigures> &workers, const QDate &day);
    AppContext &m_ctx;
    QDateEdit *m_date = nullptr;
    KeyedList *m_list = nullptr;
    QList<WorkerFigures> m_shown;
    QDate m_shownDay;
    Printer m_printer;
};
