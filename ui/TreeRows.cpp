#include "TreeRows.h"

#include <QTreeWidget>

namespace TreeRows {

bool Select(QTreeWidget *list, int topRole, const QString &topKey, int childRole, const QString &childKey) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = list->topLevelItem(i);
        if (item->data(0, topRole).toString() != topKey) continue;
        if (childKey.isEmpty()) {
            list->setCurrentItem(item);
            return true;
        }
        for (int j = 0; j < item->childCount(); ++j) {
            if (item->child(j)->data(0, childRole).toString() == childKey) {
                list->setCurrentItem(item->child(j));
                return true;
            }
        }
    }
    return false;
}

QTreeWidgetItem *Selected(const QTreeWidget *list) {
    QTreeWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

}  // namespace TreeRows
