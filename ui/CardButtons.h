#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

// The OK and Cancel buttons at the foot of a card: OK (object name "ok", the default button) runs the
// dialog's accept(), Cancel ("cancel") its reject(); each carries its tooltip. Returns the row to lay out.
QHBoxLayout *MakeCardButtons(QDialog *dialog, QPushButton **ok, QPushButton **cancel, const QString &okTitle,
                             const QString &okHelp);
