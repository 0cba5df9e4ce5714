#pragma once

#include <QDate>
#include "SalaryStore.h"

#include <QDialog>
#include <functional>

class AppContext;
class PerformedWorksList;

// "Сведения о выполненных работах": every line one worker did on orders finished up to the end of a day.
class CWorkerWorksDlg : public QDialog {
    Q_OBJECT
public:
    CWorkerWorksDlg(AppContext &ctx, const QString &iddWork, const QString &workFio, const QDate &day,
                    QWidget *parent = nullptr);

    QString Heading() const;
    // Prints the works shown, up to the day, as the performed-works report of the worker.
    void Print();
    // What "Print" runs; set once by the application (the dialog is opened from the accrual dialog).
    using Printer = std::function<void(AppContext &ctx, const PerformedWorks &works, const QDate &day,
                                       const QString &workFio, QWidget *parent)>;
    static void SetPrinter(Printer printer);
    PerformedWorksList *works() const { return m_works; }

private:
    AppContext &m_ctx;
    QString m_workFio;
    QDate m_day;
    PerformedWorks m_shown;
    QString m_heading;
    PerformedWorksList *m_works = nullptr;
};
