#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

// Captions of a card's closing buttons: "ОК" and "Отмена", unless the card's definition names others
// ("Сохранить" and "Закрыть" in the client card).
struct CardCaptions {
    QString ok = QStringLiteral("ОК");
    QString cancel = QStringLiteral("Отмена");
    QString cancelTitle = QStringLiteral("Закрыть");
    QString cancelHelp = QStringLiteral("Закрыть окно без сохранения.");
};

// The OK and Cancel buttons at the foot of a card: OK (object name "ok", the default button, so Enter
// saves) runs the dialog's accept(), Cancel ("cancel") its reject(), as Escape does; each carries its
// tooltip. Returns the row to lay out.
QHBoxLayout *MakeCardButtons(QDialog *dialog, QPushButton **ok, QPushButton **cancel, const QString &okTitle,
                             const QString &okHelp, const CardCaptions &captions = {});
