#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

// Two-level directory lists (clients with their cars, cars with their owners) keep their keys in item
// data of column 0.
namespace TreeRows {

// Makes current the top row whose `topRole` key is `topKey`, or its child whose `childRole` key is
// `childKey` when one is given. False when no such row is listed.
bool Select(QTreeWidget *list, int topRole, const QString &topKey, int childRole, const QString &childKey);
// The current row when it is also selected; null otherwise.
QTreeWidgetItem *Selected(const QTreeWidget *list);

}  // namespace TreeRows
