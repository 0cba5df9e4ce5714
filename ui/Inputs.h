#pragma once

#include <QList>

class QLineEdit;
class QWidget;

// What a field accepts as it is typed, so nothing typed is silently read as something else.
namespace Inputs {

// An amount as Russians write it: digits with blanks between thousands, one "," or "." and two
// decimals at most; a leading minus only where a negative amount means something.
void Amount(QLineEdit *edit, bool allowNegative = false);
// A counter or another whole number: digits only.
void Counter(QLineEdit *edit);

// Tab goes through the widgets in this order (the layout's, top to bottom and left to right). Call it
// once the widgets are laid out in their window: Qt ignores an order between two windows.
void ChainTabOrder(const QList<QWidget *> &widgets);
// A read-only figure is looked at, not filled in: it leaves the Tab chain.
void ReadOnlyFigure(QLineEdit *edit);

}  // namespace Inputs
