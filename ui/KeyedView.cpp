#include "KeyedView.h"

#include "TwoLevelModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

KeyedView::KeyedView(TwoLevelModel *model, int stretchColumn, ListCommands commands, QWidget *parent)
    : QTreeView(parent), m_rows(model) {
    model->setParent(this);
    setModel(model);
    m_habits = new ListHabits(this);
    m_habits->StartWidths({});
    m_habits->SetStretchColumn(stretchColumn);
    m_habits->SetCommands(std::move(commands));
    // A sort needs every row.
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this] { ReadRest(); });
    // A refill keeps the rows the clerk unfolded (by key).
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_unfolded.clear();
        for (int r = 0; r < m_rows->rowCount(); ++r) {
            const QModelIndex top = m_rows->index(r, 0);
            if (isExpanded(top)) m_unfolded.insert(top.data(TwoLevelModel::kKeyRole).toString());
        }
    });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        for (int r = 0; r < m_rows->rowCount() && !m_unfolded.isEmpty(); ++r) {
            const QModelIndex top = m_rows->index(r, 0);
            if (m_unfolded.remove(top.data(TwoLevelModel::kKeyRole).toString())) expand(top);
        }
        m_unfolded.clear();
    });
}

void KeyedView::SetWidths(const QList<int> &widths) {
    m_habits->SetWidths(widths);
}

void KeyedView::SetCommands(ListCommands commands) {
    m_habits->SetCommands(std::move(commands));
}

void KeyedView::SetMenuTexts(const QString &add, const QString &open, const QString &remove) {
    m_habits->SetMenuTexts(add, open, remove);
}

void KeyedView::SetSortable(bool on) {
    setSortingEnabled(on);
    sortByColumn(-1, Qt::AscendingOrder);
}

void KeyedView::FitColumns() {
    m_habits->FitColumns();
}

void KeyedView::SetRest(std::function<void()> rest) {
    m_rest = std::move(rest);
}

void KeyedView::ReadRest() {
    if (!m_rest) return;
    const std::function<void()> rest = std::move(m_rest);
    m_rest = nullptr;
    // The rest comes as the whole list again: the clerk keeps his row and the rows he sees.
    const QModelIndex current = currentIndex();
    const bool selected = current.isValid() && selectionModel()->isSelected(current);
    QString topKey;
    int childRow = -1;
    if (current.isValid()) {
        const QModelIndex top = current.parent().isValid() ? current.parent() : current;
        topKey = top.siblingAtColumn(0).data(TwoLevelModel::kKeyRole).toString();
        if (current.parent().isValid()) childRow = current.row();
    }
    const int scroll = verticalScrollBar()->value();
    rest();
    QModelIndex again = topKey.isNull() ? QModelIndex() : m_rows->Find(TwoLevelModel::kKeyRole, topKey);
    if (again.isValid() && childRow >= 0) again = m_rows->index(childRow, 0, again);
    if (again.isValid()) {
        selectionModel()->setCurrentIndex(
            again, selected ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                            : QItemSelectionModel::NoUpdate);
    }
    verticalScrollBar()->setValue(scroll);
}

QString KeyedView::SelectedValue(int role) const {
    return Selected().siblingAtColumn(0).data(role).toString();
}

bool KeyedView::SelectKey(int topRole, const QString &topKey, int childRole, const QString &childKey) {
    QModelIndex index = m_rows->Find(topRole, topKey, childRole, childKey);
    if (!index.isValid() && m_rest) {
        ReadRest();
        index = m_rows->Find(topRole, topKey, childRole, childKey);
    }
    if (!index.isValid()) return false;
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

QSize KeyedView::sizeHint() const {
    QSize size = QTreeView::sizeHint();
    size.setWidth(std::max(size.width(), m_habits->WidthHint()));
    return size;
}

void KeyedView::keyPressEvent(QKeyEvent *event) {
    if (!m_habits->Key(event, state() == QAbstractItemView::EditingState)) QTreeView::keyPressEvent(event);
}

void KeyedView::focusInEvent(QFocusEvent *event) {
    QTreeView::focusInEvent(event);
    m_habits->FocusIn(event);
}

void KeyedView::contextMenuEvent(QContextMenuEvent *event) {
    m_habits->ContextMenu(event);
}

void KeyedView::resizeEvent(QResizeEvent *event) {
    QTreeView::resizeEvent(event);
    m_habits->AdjustStretch();
}

bool KeyedView::viewportEvent(QEvent *event) {
    const bool handled = QTreeView::viewportEvent(event);
    // Once the first screen is painted the rest is read, after the paint has reached the screen.
    if (event->type() == QEvent::Paint && m_rest && !m_restQueued) {
        m_restQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_restQueued = false;
            ReadRest();
        });
    }
    return handled;
}
