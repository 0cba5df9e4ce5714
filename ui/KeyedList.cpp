#include "KeyedList.h"

#include <QScreen>
#include <algorithm>

namespace {

// Sorts by the value stored for sorting where both rows have one, else by text as a Russian reads it.
class SortableItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, KeyedList::kSortRole);
        const QVariant b = other.data(column, KeyedList::kSortRole);
        if (a.isValid() && b.isValid()) return QVariant::compare(a, b) == QPartialOrdering::Less;
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

}  // namespace

KeyedList::KeyedList(QWidget *parent) : QTreeWidget(parent), m_habits(new ListHabits(this)) {}

KeyedList::KeyedList(const QStringList &headings, int stretchColumn, ListCommands commands, QWidget *parent)
    : KeyedList(parent) {
    SetColumns(headings);
    SetStretchColumn(stretchColumn);
    SetCommands(std::move(commands));
}

void KeyedList::SetColumns(const QStringList &headings, const QList<int> &widths,
                           const QList<Qt::Alignment> &alignments) {
    setColumnCount(int(headings.size()));
    setHeaderLabels(headings);
    for (int i = 0; i < headings.size() && i < alignments.size(); ++i)
        headerItem()->setTextAlignment(i, alignments[i] | Qt::AlignVCenter);
    m_habits->StartWidths(widths);
}

void KeyedList::SetWidths(const QList<int> &widths) {
    m_habits->SetWidths(widths);
}

void KeyedList::SetStretchColumn(int column) {
    m_habits->SetStretchColumn(column);
}

void KeyedList::SetCommands(ListCommands commands) {
    m_habits->SetCommands(std::move(commands));
}

void KeyedList::SetMenuTexts(const QString &add, const QString &open, const QString &remove) {
    m_habits->SetMenuTexts(add, open, remove);
}

void KeyedList::SetSortable(bool on) {
    setSortingEnabled(on);
    sortByColumn(-1, Qt::AscendingOrder);
}

KeyedList::Batch::Batch(KeyedList &list) : m_list(list), m_outer(list.m_batch) {
    list.m_batch = this;
}

KeyedList::Batch::~Batch() {
    m_list.m_batch = m_outer;
    if (m_outer) {
        m_outer->m_rows += m_rows;
        return;
    }
    // A sorted list would take the rows one at a time, each at the same place; they go in as loaded and
    // the list is sorted again by the column the user chose, if any.
    const bool sorted = m_list.isSortingEnabled();
    if (sorted) m_list.setSortingEnabled(false);
    m_list.addTopLevelItems(m_rows);
    if (sorted) m_list.setSortingEnabled(true);
}

QTreeWidgetItem *KeyedList::AddRow(const QStringList &texts, const QString &key, QTreeWidgetItem *parent) {
    QTreeWidgetItem *item = nullptr;
    if (parent) {
        item = new SortableItem(parent, texts);
    } else if (m_batch) {
        item = new SortableItem(texts);
        m_batch->m_rows.append(item);
    } else {
        item = new SortableItem(this, texts);
    }
    if (!key.isNull()) item->setData(0, kKeyRole, key);
    for (int i = 0; i < texts.size() && i < columnCount(); ++i) {
        const Qt::Alignment a = Qt::Alignment(headerItem()->textAlignment(i)) & Qt::AlignHorizontal_Mask;
        if (a) item->setTextAlignment(i, a | Qt::AlignVCenter);
    }
    return item;
}

void KeyedList::SetSortValue(QTreeWidgetItem *item, int column, const QVariant &value) {
    item->setData(column, kSortRole, value);
}

QString KeyedList::Key(const QTreeWidgetItem *item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem *KeyedList::Selected() const {
    return itemFromIndex(m_habits->Selected());
}

QString KeyedList::CurrentKey(bool topLevel) const {
    const QTreeWidgetItem *item = Selected();
    if (topLevel)
        while (item && item->parent()) item = item->parent();
    return Key(item);
}

bool KeyedList::SelectKey(const QString &key) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (Key(*it) == key) {
            setCurrentItem(*it);
            scrollToItem(*it);
            return true;
        }
    }
    return false;
}

bool KeyedList::SelectKey(int topRole, const QString &topKey, int childRole, const QString &childKey) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = topLevelItem(i);
        if (item->data(0, topRole).toString() != topKey) continue;
        if (!childKey.isEmpty()) {
            item = nullptr;
            for (int j = 0; j < topLevelItem(i)->childCount() && !item; ++j)
                if (topLevelItem(i)->child(j)->data(0, childRole).toString() == childKey)
                    item = topLevelItem(i)->child(j);
        }
        if (!item) return false;
        setCurrentItem(item);
        scrollToItem(item);
        return true;
    }
    return false;
}

void KeyedList::FitColumns() {
    m_habits->FitColumns();
}

QSize KeyedList::sizeHint() const {
    QSize size = QTreeWidget::sizeHint();
    size.setWidth(std::max(size.width(), m_habits->WidthHint()));
    return size;
}

void KeyedList::WidenToFit(QWidget *window) {
    int width = std::max(window->width(), window->sizeHint().width());
    if (const QScreen *screen = window->screen())
        width = std::min(width, screen->availableGeometry().width());
    window->resize(width, window->height());
}

void KeyedList::resizeEvent(QResizeEvent *event) {
    QTreeWidget::resizeEvent(event);
    m_habits->AdjustStretch();
}

void KeyedList::focusInEvent(QFocusEvent *event) {
    QTreeWidget::focusInEvent(event);
    m_habits->FocusIn(event);
}

void KeyedList::keyPressEvent(QKeyEvent *event) {
    if (!m_habits->Key(event, Editing())) QTreeWidget::keyPressEvent(event);
}

void KeyedList::contextMenuEvent(QContextMenuEvent *event) {
    m_habits->ContextMenu(event);
}
