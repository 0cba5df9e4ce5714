#pragma once

#include "SalaryStore.h"
#include "UserInfo.h"

#include <QWidget>
#include <functional>

class AppContext;
class PerformedWorksList;
class QComboBox;
class QDateEdit;

// "Отчет о выполненных работах": the lines of orders finished in a period, of one worker or of everybody,
// with each worker's pay and the totals. The view of an MDI child window.
class COtWorkView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFind = 1004;
    static constexpr int kPrint = 57607;
    static constexpr Right kRightOpen = Right::WorksReport;
    static inline const QString kTitle = QStringLiteral("Отчет о выполненных работах");

    explicit COtWorkView(AppContext &ctx, QWidget *parent = nullptr);

    bool Command(int id);
    void Find();

    // Prints the rows shown with the period and the worker ("Все" for everybody) they were found for.
    using Printer = std::function<void(const PerformedWorks &works, const QDate &from, const QDate &to,
                                       const QString &worker)>;
    void SetPrinter(Printer printer) { m_printer = std::move(printer); }

    PerformedWorksList *works() const { return m_works; }

private:
    AppContext &m_ctx;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_worker = nullptr;
    PerformedWorksList *m_works = nullptr;
    WorksFilter m_shownFilter;
    QString m_shownWorker;
    Printer m_printer;
};
