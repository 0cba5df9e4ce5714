#include "CBayBoardView.h"

#include "AppContext.h"
#include "BayBoardCanvas.h"
#include "CBayFreeSlotsDlg.h"
#include "COrderFormDlg.h"
#include "CompanyStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "LiveRefresh.h"
#include "Tooltip.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString kMovedElsewhere = QStringLiteral(
    "Заказ изменили или удалили на другом рабочем месте: загрузка боксов обновлена.\nНичего не сохранено.");

QString Span(const BayBoard::Block &b) {
    const QString end = b.end.date() == b.start.date() ? b.end.toString(QStringLiteral("HH:mm"))
                                                       : b.end.toString(QStringLiteral("dd.MM HH:mm"));
    return b.start.toString(QStringLiteral("dd.MM.yyyy HH:mm")) + QStringLiteral(" – ") + end;
}

}  // namespace

CBayBoardView::CBayBoardView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    Build();
    Show(QDate::currentDate(), false);
    // Opened on today: the cursor at the time it is now.
    m_canvas->SetCursor(m_canvas->board().Row(QTime::currentTime()), 0);
    // Another workstation's plan, a bay added or renamed, the hours changed: the board shows it.
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("SBox"),
                     QStringLiteral("SClient"), QStringLiteral("SAvto"), QStringLiteral("SMain")},
                    [this](const DataChanges &) { Reload(); });
}

void CBayBoardView::Build() {
    setWindowTitle(QStringLiteral("Загрузка боксов"));
    auto button = [this](const char *name, const QString &text, const QString &title, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1StringView(name));
        Tooltip::Set(b, title, tip);
        return b;
    };
    QPushButton *previous = button("previous", QStringLiteral("◀"), QStringLiteral("Назад"),
                                   QStringLiteral("Предыдущий день или неделя (Alt+Влево)."));
    QPushButton *next = button("next", QStringLiteral("▶"), QStringLiteral("Вперёд"),
                               QStringLiteral("Следующий день или неделя (Alt+Вправо)."));
    QPushButton *today = button("today", QStringLiteral("Сегодня"), QStringLiteral("Сегодня"),
                                QStringLiteral("Загрузка боксов на сегодня."));
    m_date = new QDateEdit(this);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    DatePicker::Limit(m_date);
    Tooltip::Set(m_date, QStringLiteral("Дата"), QStringLiteral("День, загрузка которого показана."));
    m_dayButton = new QRadioButton(QStringLiteral("&День"), this);
    m_dayButton->setObjectName(QStringLiteral("dayView"));
    m_weekButton = new QRadioButton(QStringLiteral("&Неделя"), this);
    m_weekButton->setObjectName(QStringLiteral("weekView"));
    auto *views = new QButtonGroup(this);
    views->addButton(m_dayButton);
    views->addButton(m_weekButton);
    m_find = button("find", QStringLiteral("Найти &время..."), QStringLiteral("Свободное время"),
                    QStringLiteral("Ближайшее свободное время в боксах\nдля работ заданной длительности."));
    m_report = button("report", QStringLiteral("В &Excel"), QStringLiteral("План работ в Excel"),
                      QStringLiteral("План работ боксов на день в виде таблицы Excel."));
    m_print = button("print", QStringLiteral("&Печать"), QStringLiteral("Печать плана"),
                     QStringLiteral("План работ боксов на день для печати."));

    auto *bar = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(previous), static_cast<QWidget *>(m_date),
                       static_cast<QWidget *>(next), static_cast<QWidget *>(today),
                       static_cast<QWidget *>(m_dayButton), static_cast<QWidget *>(m_weekButton)})
        bar->addWidget(w);
    bar->addStretch();
    for (QWidget *w : {m_find, m_report, m_print}) bar->addWidget(w);

    m_canvas = new BayBoardCanvas(this);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFocusProxy(m_canvas);
    m_current = new QLabel(this);
    m_current->setObjectName(QStringLiteral("current"));
    m_current->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_current);
    setFocusProxy(m_canvas);

    const auto step = [this](int sign) { Show(m_day.addDays(sign * (m_week ? 7 : 1)), m_week); };
    connect(previous, &QPushButton::clicked, this, [step] { step(-1); });
    connect(next, &QPushButton::clicked, this, [step] { step(1); });
    for (auto [keys, sign] : {std::pair{QKeySequence(Qt::ALT | Qt::Key_Left), -1},
                              std::pair{QKeySequence(Qt::ALT | Qt::Key_Right), 1}}) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [step, sign = sign] { step(sign); });
    }
    connect(today, &QPushButton::clicked, this, [this] { Show(QDate::currentDate(), m_week); });
    connect(m_date, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        if (d != m_day) Show(d, m_week);
    });
    connect(m_dayButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on && m_week) Show(CursorDay(), false);
    });
    connect(m_weekButton, &QRadioButton::toggled, this, [this](bool on) {
        if (on && !m_week) Show(m_day, true);
    });
    connect(m_find, &QPushButton::clicked, this, &CBayBoardView::FindFreeTime);
    connect(m_report, &QPushButton::clicked, this, [this] {
        if (m_spreadsheet) m_spreadsheet(CursorDay());
    });
    connect(m_print, &QPushButton::clicked, this, &CBayBoardView::Print);
    connect(m_canvas, &BayBoardCanvas::Activated, this, &CBayBoardView::Activate);
    connect(m_canvas, &BayBoardCanvas::MoveAsked, this, &CBayBoardView::MoveBlock);
    connect(m_canvas, &BayBoardCanvas::CursorMoved, this, &CBayBoardView::ShowCurrent);
}

void CBayBoardView::SetReporters(DayCommand spreadsheet, DayCommand sheet) {
    m_spreadsheet = std::move(spreadsheet);
    m_sheet = std::move(sheet);
}

void CBayBoardView::ShowDay(const QDate &day) {
    Show(day, false);
}

void CBayBoardView::ShowWeek(const QDate &anyDayOfTheWeek) {
    Show(anyDayOfTheWeek, true);
}

void CBayBoardView::Show(const QDate &day, bool week) {
    const QDate first = week ? day.addDays(1 - day.dayOfWeek()) : day;
    const bool sameView = week == m_week && first == m_day;
    // The cursor keeps its time and bay; a week opened from a day starts on that day's column.
    const QDate cursorDay = CursorDay();
    m_day = first;
    m_week = week;
    Reload();
    if (!sameView && !m_canvas->board().bays().isEmpty()) {
        const int bays = int(m_canvas->board().bays().size());
        const qint64 d = std::clamp<qint64>(first.daysTo(cursorDay), 0, m_canvas->board().days() - 1);
        m_canvas->SetCursor(m_canvas->row(), int(d) * bays + m_canvas->column() % bays);
    }
    const QSignalBlocker blockDate(m_date), blockDay(m_dayButton), blockWeek(m_weekButton);
    m_date->setDate(week ? day : first);
    (week ? m_weekButton : m_dayButton)->setChecked(true);
}

void CBayBoardView::Reload() {
    BayBoard::Board board;
    const bool read = TryDb(m_ctx.prompter(), [&] {
        const WorkingHours hours = CompanyStore(m_ctx.db()).Hours();
        board = BayBoard::Store(m_ctx.db()).Read(m_day, m_week ? 7 : 1, hours);
    });
    if (!read) return;
    m_canvas->SetBoard(std::move(board));
    if (m_canvas->board().bays().isEmpty())
        m_current->setText(QStringLiteral("Боксов нет: добавьте их в справочник боксов."));
}

QDate CBayBoardView::CursorDay() const {
    const BayBoard::Board &board = m_canvas->board();
    return board.Columns() > 0 ? board.DayOf(m_canvas->column()) : m_day;
}

void CBayBoardView::ShowCurrent() {
    const BayBoard::Board &board = m_canvas->board();
    if (board.Columns() == 0) return;
    const int block = m_canvas->CurrentBlock();
    const int row = m_canvas->row(), column = m_canvas->column();
    if (block < 0) {
        const QDateTime at = board.SlotStart(row, column);
        m_current->setText(
            QStringLiteral("%1, %2: свободно")
                .arg(board.BayOf(column).name, at.toString(QStringLiteral("dd.MM.yyyy HH:mm"))));
        return;
    }
    const BayBoard::Block &b = board.blocks()[block];
    QString text = QStringLiteral("%1, %2: заказ № %3  %4  %5")
                       .arg(board.BayOf(column).name, Span(b), b.number, b.plate, b.client);
    if (!b.phone.isEmpty()) text += QStringLiteral(", тел. ") + b.phone;
    if (!b.services.isEmpty()) text += QStringLiteral("\n") + b.services;
    m_current->setText(text);
    m_scroll->ensureVisible(m_canvas->CellRect(row, column).center().x(),
                            m_canvas->CellRect(row, column).center().y());
}

void CBayBoardView::Activate(int row, int column) {
    const BayBoard::Board &board = m_canvas->board();
    const int block = board.BlockAt(row, column);
    QString iddZakaz;
    bool saved = false;
    if (block >= 0) {
        if (!m_ctx.CheckRight(Right::EditOrder)) return;
        iddZakaz = board.blocks()[block].iddZakaz;
        saved = RunOrderForm(m_ctx, OrderFormMode::Edit, iddZakaz, this);
    } else {
        if (!m_ctx.CheckRight(Right::AddOrder)) return;
        saved = NewRequest(board.BayOf(column).iddBox, board.SlotStart(row, column), iddZakaz);
    }
    Reload();
    if (saved) m_canvas->SetCursorTo(iddZakaz);
}

bool CBayBoardView::NewRequest(const QString &iddBox, const QDateTime &start, QString &iddZakaz,
                               const SelectedServices &services) {
    COrderFormDlg form(m_ctx, OrderFormMode::Request, {}, this);
    form.PresetPlan(iddBox, start, services);
    if (m_ctx.dialogs().Run(form) != QDialog::Accepted) return false;
    iddZakaz = form.order().IddZakaz;
    return true;
}

// Bay and start are taken by value: a question asked below lets the board be read again, and what a
// reference handed in would point into with it.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
void CBayBoardView::MoveBlock(int block, QString iddBox, QDateTime start) {
    if (!m_ctx.CheckRight(Right::EditOrder)) return;
    const BayBoard::Block shown = m_canvas->board().blocks().value(block);
    if (shown.iddZakaz.isEmpty() || (shown.iddBox == iddBox && shown.start == start)) return;
    bool agreed = false;
    for (;;) {
        try {
            BayBoard::Store(m_ctx.db()).Move(shown, iddBox, start, agreed);
            break;
        } catch (const BayPlan::Overlap &e) {
            if (agreed || !m_ctx.prompter().Confirm(e.Question())) return;
            agreed = true;
        } catch (const ChangedMeanwhile &) {
            m_ctx.prompter().Warning(kMovedElsewhere);
            Reload();
            return;
        } catch (const DbError &e) {
            // By hand, beside the move's own outcomes above: a failed move leaves the board as it was.
            m_ctx.prompter().Error(e.text());
            return;
        }
    }
    Reload();
    m_canvas->SetCursorTo(shown.iddZakaz);
}

void CBayBoardView::Print() {
    if (m_sheet) m_sheet(CursorDay());
}

void CBayBoardView::FindFreeTime() {
    const BayBoard::Board &board = m_canvas->board();
    QDateTime from = board.Columns() > 0 ? board.SlotStart(m_canvas->row(), m_canvas->column())
                                         : QDateTime(m_day, QTime(0, 0));
    from = std::max(from, QDateTime::currentDateTime());
    CBayFreeSlotsDlg dlg(m_ctx, from, this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted || !dlg.Chosen()) return;
    if (!m_ctx.CheckRight(Right::AddOrder)) return;
    const BayBoard::FreeSlot slot = *dlg.Chosen();
    QString iddZakaz;
    const bool saved = NewRequest(slot.bay.iddBox, slot.start, iddZakaz, dlg.Services());
    Show(slot.start.date(), m_week);
    if (saved) m_canvas->SetCursorTo(iddZakaz);
}
