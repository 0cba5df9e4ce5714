#pragma once

#include <QColor>

// The colours the order journal shows an order in: its text by status, its background while it owes money.
namespace StatusColors {

// Text colour of a status: 0 requested, 1 work started, 2 work finished; black otherwise.
inline QColor Of(int status) {
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

// The text of what is past its date: a stored tyre set kept beyond the paid time.
inline QColor Overdue() {
    return QColor(200, 10, 10);
}

inline QColor DebtBackground() {
    return QColor(255, 240, 240);
}

}  // namespace StatusColors
