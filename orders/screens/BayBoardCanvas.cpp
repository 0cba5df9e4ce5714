#include "BayBoardCanvas.h"

#include "StatusColors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kGutter = 48;      // the times at the left
constexpr int kRowHeight = 22;   // one slot
constexpr int kDayWidth = 150;   // a bay's column in a day's board
constexpr int kWeekWidth = 64;   // and in a week's
constexpr int kHeaderLine = 18;  // one line of the headings

QColor Fill(const BayBoard::Block &b) {
    if (b.kind() == BayBoard::Kind::Debt) return StatusColors::DebtBackground();
    QColor c = StatusColors::Of(b.status);
    return QColor::fromHsv(c.hsvHue(), 40, 250);
}

}  // namespace

BayBoardCanvas::BayBoardCanvas(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("board"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

void BayBoardCanvas::SetBoard(BayBoard::Board board) {
    m_board = std::move(board);
    m_row = std::clamp(m_row, 0, m_board.Rows() - 1);
    m_column = std::clamp(m_column, 0, std::max(0, m_board.Columns() - 1));
    m_dragBlock = -1;
    m_dragging = false;
    setMinimumSize(sizeHint());
    updateGeometry();
    update();
    emit CursorMoved();
}

int BayBoardCanvas::ColumnWidth() const {
    // The columns share what room the window gives, never narrower than their least.
    const int least = m_board.days() > 1 ? kWeekWidth : kDayWidth;
    return m_board.Columns() > 0 ? std::max(least, (width() - kGutter - 1) / m_board.Columns()) : least;
}

QSize BayBoardCanvas::sizeHint() const {
    const int headers = m_board.days() > 1 ? 2 : 1;
    return {kGutter + m_board.Columns() * (m_board.days() > 1 ? kWeekWidth : kDayWidth) + 1,
            headers * kHeaderLine + m_board.Rows() * kRowHeight + 1};
}

QRect BayBoardCanvas::CellRect(int row, int column) const {
    const int top = (m_board.days() > 1 ? 2 : 1) * kHeaderLine;
    return {kGutter + column * ColumnWidth(), top + row * kRowHeight, ColumnWidth(), kRowHeight};
}

bool BayBoardCanvas::CellAt(const QPoint &at, int *row, int *column) const {
    const QRect first = CellRect(0, 0);
    if (at.x() < first.left() || at.y() < first.top()) return false;
    const int c = (at.x() - first.left()) / ColumnWidth(), r = (at.y() - first.top()) / kRowHeight;
    if (c >= m_board.Columns() || r >= m_board.Rows()) return false;
    *row = r;
    *column = c;
    return true;
}

void BayBoardCanvas::SetCursor(int row, int column) {
    if (m_board.Columns() == 0) return;
    m_row = std::clamp(row, 0, m_board.Rows() - 1);
    m_column = std::clamp(column, 0, m_board.Columns() - 1);
    update();
    emit CursorMoved();
}

void BayBoardCanvas::SetCursorTo(const QString &iddZakaz) {
    const QList<BayBoard::Block> &blocks = m_board.blocks();
    for (const BayBoard::Block &b : blocks) {
        if (b.iddZakaz != iddZakaz) continue;
        const QList<BayBoard::Board::Place> places = m_board.Places(b);
        if (places.isEmpty()) return;
        SetCursor(int(std::floor(places.first().top)), places.first().column);
        return;
    }
}

int BayBoardCanvas::CurrentBlock() const {
    return m_board.BlockAt(m_row, m_column);
}

QRectF BayBoardCanvas::BlockRect(const BayBoard::Block &block, const BayBoard::Board::Place &place) const {
    const QRect cell = CellRect(0, place.column);
    const double width = double(cell.width() - 4) / block.lanes;
    return {cell.left() + 2 + width * block.lane, cell.top() + place.top * kRowHeight, width,
            std::max(4.0, (place.bottom - place.top) * kRowHeight)};
}

void BayBoardCanvas::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    PaintGrid(p);
    PaintBlocks(p);
    PaintNow(p);
    if (m_board.Columns() > 0) {
        // The cursor's cell.
        QPen pen(palette().highlight().color(), hasFocus() ? 2.5 : 1.5);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(CellRect(m_row, m_column)).adjusted(1, 1, -1, -1));
    }
    if (m_dragging && m_dropColumn >= 0) {
        const BayBoard::Block &b = m_board.blocks()[m_dragBlock];
        const double rows = double(b.start.secsTo(b.end)) / (BayPlan::kSlotMinutes * 60);
        const QRect cell = CellRect(m_dropRow, m_dropColumn);
        p.setPen(QPen(palette().highlight().color(), 2, Qt::DashLine));
        p.drawRect(QRectF(cell.left() + 2, cell.top(), cell.width() - 4, rows * kRowHeight));
    }
}

void BayBoardCanvas::PaintGrid(QPainter &p) const {
    const int columns = m_board.Columns(), rows = m_board.Rows();
    const QRect first = CellRect(0, 0);
    const int bottom = first.top() + rows * kRowHeight, right = kGutter + columns * ColumnWidth();
    const QColor line = palette().mid().color(), faint = palette().midlight().color();
    const bool week = m_board.days() > 1;
    p.setPen(palette().text().color());
    for (int c = 0; c < columns; ++c) {
        const QRect cell = CellRect(0, c);
        const QRect name(cell.left(), cell.top() - kHeaderLine, cell.width(), kHeaderLine);
        p.drawText(name.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(m_board.BayOf(c).name, Qt::ElideRight, cell.width() - 4));
    }
    if (week)
        for (int d = 0; d < m_board.days(); ++d) {
            const int bays = int(m_board.bays().size());
            const QRect cell = CellRect(0, d * bays);
            p.drawText(QRect(cell.left(), 0, bays * ColumnWidth(), kHeaderLine), Qt::AlignCenter,
                       QLocale().toString(m_board.first().addDays(d), QStringLiteral("ddd dd.MM")));
        }
    for (int r = 0; r <= rows; ++r) {
        const int y = first.top() + r * kRowHeight;
        const QDateTime at = m_board.SlotStart(r, 0);
        const bool hour = at.time().minute() == 0;
        p.setPen(hour ? line : faint);
        p.drawLine(kGutter, y, right, y);
        if (hour && r < rows) {
            p.setPen(palette().text().color());
            p.drawText(QRect(0, y, kGutter - 4, kRowHeight), Qt::AlignRight | Qt::AlignVCenter,
                       at.time().toString(QStringLiteral("HH:mm")));
        }
    }
    for (int c = 0; c <= columns; ++c) {
        const bool dayEdge = m_board.bays().isEmpty() || c % m_board.bays().size() == 0;
        p.setPen(dayEdge ? QPen(palette().text().color(), week ? 2 : 1) : QPen(line));
        const int x = kGutter + c * ColumnWidth();
        p.drawLine(x, first.top() - (week && !dayEdge ? kHeaderLine : 0), x, bottom);
    }
}

void BayBoardCanvas::PaintBlocks(QPainter &p) const {
    const int current = CurrentBlock();
    const QList<BayBoard::Block> &blocks = m_board.blocks();
    for (int i = 0; i < blocks.size(); ++i) {
        const BayBoard::Block &b = blocks[i];
        const QColor border =
            b.kind() == BayBoard::Kind::Debt ? QColor(200, 10, 10) : StatusColors::Of(b.status);
        for (const BayBoard::Board::Place &place : m_board.Places(b)) {
            const QRectF r = BlockRect(b, place);
            QColor fill = Fill(b);
            if (b.lanes > 1) fill.setAlpha(220);  // planned over another: both show
            p.setBrush(fill);
            p.setPen(QPen(border, i == current ? 2.5 : 1));
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
            p.setPen(StatusColors::Of(b.status));
            const QString text =
                QStringLiteral("№\u00A0%1  %2\n%3\n%4").arg(b.number, b.plate, b.client, b.services);
            p.drawText(r.adjusted(3, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        }
    }
}

void BayBoardCanvas::PaintNow(QPainter &p) const {
    const QDateTime now = m_now.isValid() ? m_now : QDateTime::currentDateTime();
    const qint64 day = m_board.first().daysTo(now.date());
    if (day < 0 || day >= m_board.days() || m_board.bays().isEmpty()) return;
    const double rows =
        double(QDateTime(now.date(), m_board.hours().open).secsTo(now)) / (BayPlan::kSlotMinutes * 60);
    if (rows < 0 || rows > m_board.Rows()) return;
    const int bays = int(m_board.bays().size());
    const QRect left = CellRect(0, int(day) * bays);
    const double y = left.top() + rows * kRowHeight;
    p.setPen(QPen(QColor(220, 0, 0), 2));
    p.drawLine(QPointF(left.left(), y), QPointF(left.left() + bays * ColumnWidth(), y));
}

void BayBoardCanvas::MoveCurrent(int rows, int columns) {
    const int block = CurrentBlock();
    if (block < 0) return;
    const BayBoard::Block &b = m_board.blocks()[block];
    const int to = m_column + columns;
    if (to < 0 || to >= m_board.Columns()) return;
    QDateTime start = b.start.addSecs(qint64(rows) * BayPlan::kSlotMinutes * 60);
    if (columns != 0)
        start = QDateTime(m_board.DayOf(to).addDays(m_board.DayOf(m_column).daysTo(b.start.date())),
                          b.start.time());
    const QString bay = m_board.BayOf(to).iddBox;  // the board is read again while the move is saved
    emit MoveAsked(block, bay, start);
}

void BayBoardCanvas::keyPressEvent(QKeyEvent *event) {
    const bool move = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Up:
            move ? MoveCurrent(-1, 0) : SetCursor(m_row - 1, m_column);
            return;
        case Qt::Key_Down:
            move ? MoveCurrent(1, 0) : SetCursor(m_row + 1, m_column);
            return;
        case Qt::Key_Left:
            move ? MoveCurrent(0, -1) : SetCursor(m_row, m_column - 1);
            return;
        case Qt::Key_Right:
            move ? MoveCurrent(0, 1) : SetCursor(m_row, m_column + 1);
            return;
        case Qt::Key_Home:
            SetCursor(0, m_column);
            return;
        case Qt::Key_End:
            SetCursor(m_board.Rows() - 1, m_column);
            return;
        case Qt::Key_PageUp:
            SetCursor(m_row - 4, m_column);
            return;
        case Qt::Key_PageDown:
            SetCursor(m_row + 4, m_column);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_board.Columns() > 0) emit Activated(m_row, m_column);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void BayBoardCanvas::mousePressEvent(QMouseEvent *event) {
    int r = 0, c = 0;
    if (event->button() != Qt::LeftButton || !CellAt(event->position().toPoint(), &r, &c)) return;
    SetCursor(r, c);
    m_dragBlock = CurrentBlock();
    m_dragging = false;
    m_pressAt = event->position().toPoint();
    if (m_dragBlock >= 0) {
        const BayBoard::Block &b = m_board.blocks()[m_dragBlock];
        // Taken by a slot within it: it is dropped with that slot where the mouse lets go.
        const qint64 fromOpen = QDateTime(m_board.DayOf(c), m_board.hours().open).secsTo(b.start);
        m_dragOffset = std::clamp(r - int(std::floor(double(fromOpen) / (BayPlan::kSlotMinutes * 60))), 0, r);
    }
}

void BayBoardCanvas::mouseMoveEvent(QMouseEvent *event) {
    if (m_dragBlock < 0 || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint at = event->position().toPoint();
    if (!m_dragging && (at - m_pressAt).manhattanLength() < QApplication::startDragDistance()) return;
    m_dragging = true;
    int r = 0, c = 0;
    if (CellAt(at, &r, &c)) {
        m_dropRow = std::clamp(r - m_dragOffset, 0, m_board.Rows() - 1);
        m_dropColumn = c;
    }
    update();
}

void BayBoardCanvas::mouseReleaseEvent(QMouseEvent *) {
    const int block = m_dragBlock;
    const bool dropped = m_dragging && m_dropColumn >= 0;
    m_dragBlock = -1;
    m_dragging = false;
    update();
    if (!dropped || block < 0) return;
    const QString bay =
        m_board.BayOf(m_dropColumn).iddBox;  // the board is read again while the move is saved
    const QDateTime start = m_board.SlotStart(m_dropRow, m_dropColumn);
    m_dropColumn = -1;
    emit MoveAsked(block, bay, start);
}

void BayBoardCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
    int r = 0, c = 0;
    if (event->button() != Qt::LeftButton || !CellAt(event->position().toPoint(), &r, &c)) return;
    SetCursor(r, c);
    emit Activated(r, c);
}
