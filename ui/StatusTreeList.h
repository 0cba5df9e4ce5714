#pragma once

#include "KeyedList.h"
#include "Money.h"

#include <QColor>

// The tree list of the journals and the client card's orders: one row per order (lines beneath it),
// the text coloured by the order's status and the background tinted while the order is in debt.
// Columns sort by the value each cell was given, not its text.
class StatusTreeList : public KeyedList {
    Q_OBJECT
public:
    explicit StatusTreeList(QWidget *parent = nullptr);

    // Text colour of a status: 0 requested, 1 work started, 2 work finished; black otherwise.
    static QColor StatusColor(int status);
    static QColor DebtBackground() { return QColor(255, 240, 240); }

    // Colours a row (not its children) for a status and a debt.
    static void Paint(QTreeWidgetItem *item, int status, Money debt);
};
