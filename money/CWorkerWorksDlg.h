#pragma once

#include <QDate>
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
    PerformedWorksList *works() const { return m_works; }

private:
    QString m_heading;
    PerformedWorksList *m_works = nullptr;
};
