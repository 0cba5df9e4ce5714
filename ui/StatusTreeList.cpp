#include "StatusTreeList.h"

#include "Formats.h"

StatusTreeList::StatusTreeList(QWidget *parent) : KeyedList(parent) {
    SetSortable(true);
    setAlternatingRowColors(false);  // the row colours carry the status
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

void StatusTreeList::Paint(QTreeWidgetItem *item, int status, Money debt) {
    const QColor text = StatusColor(status);
    for (int i = 0; i < item->columnCount(); ++i) {
        item->setForeground(i, text);
        if (debt.IsOutstanding())
            item->setBackground(i, DebtBackground());
        else
            item->setData(i, Qt::BackgroundRole, QVariant());
    }
}
