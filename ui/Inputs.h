#pragma once

#include <QList>

class QComboBox;
class QLineEdit;
class QString;
class QWidget;

// What a field accepts as it is typed, so nothing typed is silently read as something else.
namespace Inputs {

// An amount as Russians write it: digits with blanks between thousands, one "," or "." and two
// decimals at most; a leading minus only where a negative amount means something.
void Amount(QLineEdit *edit, bool allowNegative = false);  // up to 999 999 999,99
// A quantity: up to 99 999 with three decimals at most, "," or "." before them.
void Quantity(QLineEdit *edit);
// A counter or another whole number: digits only.
void Counter(QLineEdit *edit);

// Tab goes through the widgets in this order (the layout's, top to bottom and left to right). Call it
// once the widgets are laid out in their window: Qt ignores an order between two windows.
void ChainTabOrder(const QList<QWidget *> &widgets);
// A read-only figure is looked at, not filled in: it leaves the Tab chain.
void ReadOnlyFigure(QLineEdit *edit);
// Makes a dialog at least as wide as a window manager needs to show its whole title (in bold, beside the
// window's icon and its buttons): a long title is not cut to "Изменение платежа за ок…".
void RoomForTitle(QWidget *dialog);

// The stored field's length limit becomes the input's maxLength, so a clerk cannot type what the store
// would refuse. The input is also marked with its field ("Table.Field") for FocusField. A name that is no
// text field of the schema is a programming error.
void LimitTo(QLineEdit *edit, const QString &table, const QString &field);
// An editable combo box: its line edit.
void LimitTo(QComboBox *combo, const QString &table, const QString &field);
// Marks an input of another kind (a time, a date) with its field ("Table.Field") for FocusField.
void MarkField(QWidget *input, const QString &table, const QString &field);
// Puts the focus on the card's input marked with this field (DbError::field()); false when none is.
bool FocusField(QWidget *card, const QString &field);

}  // namespace Inputs
