#pragma once

#include <QDate>
#include "SalaryStore.h"

#include <QDialog>

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
    PerformedWorksList *works() const { return m_works; }

private:
    AppContext &m_ctx;
    QString m_workFio;
    QDate m_day;
    QString m_heading;
    PerformedWorksList *m_works = nullptr;
};
