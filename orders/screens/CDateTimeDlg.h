#pragma once

#include <QDateTime>
#include <QDialog>

class QDateEdit;
class QTimeEdit;

// The small box that asks for one moment (the start or the finish of the work on an order): a time and a
// date, both starting at now. The caller sets the title and reads the moment after OK.
class CDateTimeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDateTimeDlg(const QString &title, QWidget *parent = nullptr);

    // The date of the date picker with the hour, minute and second of the time picker.
    QDateTime DateTime() const;
    // Both pickers at once (tests, and callers that propose a moment of their own).
    void SetDateTime(const QDateTime &when);

private:
    QTimeEdit *m_time = nullptr;
    QDateEdit *m_date = nullptr;
};
