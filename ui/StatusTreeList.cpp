#include "StatusTreeList.h"

#include <QHeaderView>

namespace {

// Sorts by the value stored for sorting where there is one, else by text.
class SortableItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, StatusTreeList::kSortRole);
        const QVariant b = other.data(column, StatusTreeList::kSortRole);
        if (a.isValid() && b.isValid()) return QVariant::compare(a, b) == QPartialOrdering::Less;
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

}  // namespace

StatusTreeList::StatusTreeList(QWidget *parent) : QTreeWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    setSortingEnabled(true);
    sortByColumn(-1,
                 Qt::AscendingOrder);  // rows stay in the order they were loaded until a heading is clicked
    setAlternatingRowColors(false);    // the row colours carry the status
}

void StatusTreeList::SetColumns(const QStringList &headings, const QList<int> &widths,
                                const QList<Qt::Alignment> &alignments) {
    setColumnCount(int(headings.size()));
    setHeaderLabels(headings);
    for (int i = 0; i < headings.size(); ++i) {
        if (i < widths.size()) setColumnWidth(i, widths[i]);
        if (i < alignments.size()) headerItem()->setTextAlignment(i, alignments[i] | Qt::AlignVCenter);
    }
}

QColor StatusTreeList::StatusColor(int status) {
    switch (status) {
        case 0:
            return QColor(10, 10, 180);
        case 1:
            return QColor(10, 150, 10);
        case 2:
            return QColor(200, 10, 10);
        default:
            return QColor(Qt::black);
    }
}

QTreeWidgetItem *StatusTreeList::AddRow(const QStringList &texts, const QString &key,
                                        QTreeWidgetItem *parent) {
    auto *item = parent ? new SortableItem(parent, texts) : new SortableItem(this, texts);
    item->setData(0, kKeyRole, key);
    // Cells follow their heading's alignment (amounts to the right).
    for (int i = 0; i < texts.size() && i < columnCount(); ++i) {
        const Qt::Alignment a = Qt::Alignment(headerItem()->textAlignment(i)) & Qt::AlignHorizontal_Mask;
        if (a) item->setTextAlignment(i, a | Qt::AlignVCenter);
    }
    return item;
}

void StatusTreeList::Paint(QTreeWidgetItem *item, int status, double debt) {
    const QColor text = StatusColor(status);
    for (int i = 0; i < item->columnCount(); ++i) {
        item->setForeground(i, text);
        if (InDebt(debt))
            item->setBackground(i, DebtBackground());
        else
            item->setData(i, Qt::BackgroundRole, QVariant());
    }
}

void StatusTreeList::SetSortValue(QTreeWidgetItem *item, int column, const QVariant &value) {
    item->setData(column, kSortRole, value);
}

QString StatusTreeList::Key(const QTreeWidgetItem *item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QString StatusTreeList::CurrentKey(bool topLevel) const {
    const QTreeWidgetItem *item = currentItem();
    if (topLevel)
        while (item && item->parent()) item = item->parent();
    return Key(item);
}

bool StatusTreeList::SelectKey(const QString &key) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (Key(*it) == key) {
            setCurrentItem(*it);
            scrollToItem(*it);
            return true;
        }
    }
    return false;
}
