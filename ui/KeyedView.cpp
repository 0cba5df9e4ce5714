#include "KeyedView.h"

#include "KeyedModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

KeyedView::KeyedView(KeyedModel *model, int stretchColumn, ListCommands commands, QWidget *parent)
    : QTreeView(parent), m_rows(model) {
    model->setParent(this);
    setModel(model);
    m_habits = new ListHabits(this);
    m_habits->StartWidths({});
    m_habits->SetStretchColumn(stretchColumn);
    m_habits->SetCommands(std::move(commands));
    // A sort needs every row.
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this] { ReadRest(); });
    // A refill keeps the clerk's row, the rows he unfolded and the rows he sees.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &KeyedView::Remember);
    connect(model, &QAbstractItemModel::modelReset, this, &KeyedView::Restore);
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
    rest();  // the whole list again, refilled as any refill is
}

void KeyedView::Remember() {
    Kept now;
    const QModelIndex current = currentIndex();
    now.current = PlaceOf(current);
    now.selected = current.isValid() && selectionModel()->isSelected(current);
    now.scroll = verticalScrollBar()->value();
    for (int r = 0; r < m_rows->rowCount(); ++r) {
        const QModelIndex top = m_rows->index(r, 0);
        if (!isExpanded(top)) continue;
        now.unfolded.append(PlaceOf(top));
        for (int c = 0; c < m_rows->rowCount(top); ++c)
            if (isExpanded(m_rows->index(c, 0, top))) now.unfolded.append(PlaceOf(m_rows->index(c, 0, top)));
    }
    // What the refill before could not find (it showed a first screen) is looked for once more.
    if (!current.isValid()) {
        now.current = m_kept.current;
        now.selected = m_kept.selected;
    }
    for (const Place &p : std::as_const(m_kept.unfolded))
        if (!now.unfolded.contains(p)) now.unfolded.append(p);
    m_kept = now;
}

void KeyedView::Restore() {
    Kept missing;
    for (const Place &place : std::as_const(m_kept.unfolded)) {
        const QModelIndex again = IndexAt(place);
        if (again.isValid())
            expand(again);
        else
            missing.unfolded.append(place);
    }
    const QModelIndex again = IndexAt(m_kept.current);
    if (again.isValid()) {
        selectionModel()->setCurrentIndex(
            again, m_kept.selected ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                   : QItemSelectionModel::NoUpdate);
    } else {
        missing.current = m_kept.current;
        missing.selected = m_kept.selected;
    }
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(m_kept.scroll);
    m_kept = missing;
}

KeyedView::Place KeyedView::PlaceOf(const QModelIndex &index) {
    Place place;
    if (!index.isValid()) return place;
    QModelIndex i = index.siblingAtColumn(0);
    for (; i.parent().isValid(); i = i.parent()) place.path.prepend(i.row());
    place.topKey = i.data(KeyedModel::kKeyRole).toString();
    return place;
}

QModelIndex KeyedView::IndexAt(const Place &place) const {
    if (place.topKey.isEmpty()) return {};
    QModelIndex i = m_rows->Find(KeyedModel::kKeyRole, place.topKey);
    for (const int row : place.path)
        if (i.isValid()) i = m_rows->index(row, 0, i);
    return i;
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
