#pragma once

#include "BayBoard.h"

#include <QDateTime>
#include <QPoint>
#include <QWidget>

// The drawn board: a column per day and bay, a row per slot, each planned order a block coloured as the
// order journal colours it; orders planned over one another share the column side by side. A cursor cell
// is worked from the keyboard: arrows move it, Ctrl+arrows move the block under it by a slot or to the
// next column, Enter opens what is under it. Blocks are dragged with the mouse; a double-click opens.
class BayBoardCanvas : public QWidget {
    Q_OBJECT
public:
    explicit BayBoardCanvas(QWidget *parent = nullptr);

    // Shows the board; the cursor stays in its cell where the board still has it.
    void SetBoard(BayBoard::Board board);
    const BayBoard::Board &board() const { return m_board; }

    int row() const { return m_row; }
    int column() const { return m_column; }
    void SetCursor(int row, int column);
    // Puts the cursor on the first slot of a block's plan shown on the board.
    void SetCursorTo(const QString &iddZakaz);
    // The block under the cursor (an index into board().blocks()), -1 when the slot is free.
    int CurrentBlock() const;

    // The moment drawn as "now" (the clock by default).
    void SetNow(const QDateTime &now) { m_now = now; }

    QRect CellRect(int row, int column) const;
    QSize sizeHint() const override;

signals:
    // Enter or a double-click on a slot.
    void Activated(int row, int column);
    // A block is to move to the bay and start given.
    void MoveAsked(int block, const QString &iddBox, const QDateTime &start);
    void CursorMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    int ColumnWidth() const;
    // The cell under a point (false outside the grid).
    bool CellAt(const QPoint &at, int *row, int *column) const;
    QRectF BlockRect(const BayBoard::Block &block, const BayBoard::Board::Place &place) const;
    void PaintGrid(QPainter &p) const;
    void PaintBlocks(QPainter &p) const;
    void PaintNow(QPainter &p) const;
    // The block under the cursor moved by rows (slots) or columns.
    void MoveCurrent(int rows, int columns);

    BayBoard::Board m_board;
    int m_row = 0, m_column = 0;
    QDateTime m_now;
    // A drag: the block, the slot it was taken by (rows from its top) and where the mouse went down.
    int m_dragBlock = -1, m_dragOffset = 0;
    QPoint m_pressAt;
    bool m_dragging = false;
    int m_dropRow = -1, m_dropColumn = -1;
};
