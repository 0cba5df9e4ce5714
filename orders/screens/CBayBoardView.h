#pragma once

#include "BayBoard.h"
#include "SelectedService.h"

#include <QDate>
#include <QWidget>
#include <functional>

class AppContext;
class BayBoardCanvas;
class QDateEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;

// "Загрузка боксов": the orders planned on the shop's bays over a day or a week, from the shop's opening to
// its closing. Enter or a double-click on a free slot takes a request for that bay and time; on an order
// opens it. Orders move by dragging and by Ctrl+arrows, saved at once; a time already taken is shared only
// after a question. Other workstations' plans show as they are saved.
class CBayBoardView : public QWidget {
    Q_OBJECT
public:
    // What the view hands on for the day shown: its plan as a spreadsheet, and as a sheet to print.
    using DayCommand = std::function<void(const QDate &day)>;

    explicit CBayBoardView(AppContext &ctx, QWidget *parent = nullptr);

    void ShowDay(const QDate &day);
    void ShowWeek(const QDate &anyDayOfTheWeek);
    // Reads the board again, the cursor kept.
    void Reload();

    // The first day shown.
    QDate Day() const { return m_day; }
    bool WeekShown() const { return m_week; }
    BayBoardCanvas *canvas() const { return m_canvas; }

    void SetReporters(DayCommand spreadsheet, DayCommand sheet);
    // The frame's print: the wall sheet of the day under the cursor.
    void Print();
    // "Найти время...": free times for the work, the chosen one taken as a request.
    void FindFreeTime();

private:
    void Build();
    void Show(const QDate &day, bool week);
    void Activate(int row, int column);
    void MoveBlock(int block, QString iddBox, QDateTime start);
    // A new request on the bay from `start`; true when it was saved (its key in `iddZakaz`).
    bool NewRequest(const QString &iddBox, const QDateTime &start, QString &iddZakaz,
                    const SelectedServices &services = {});
    void ShowCurrent();
    QDate CursorDay() const;

    AppContext &m_ctx;
    QDate m_day;
    bool m_week = false;
    DayCommand m_spreadsheet, m_sheet;
    QDateEdit *m_date = nullptr;
    QRadioButton *m_dayButton = nullptr, *m_weekButton = nullptr;
    QPushButton *m_find = nullptr, *m_report = nullptr, *m_print = nullptr;
    QScrollArea *m_scroll = nullptr;
    BayBoardCanvas *m_canvas = nullptr;
    QLabel *m_current = nullptr;
};
