#pragma once

#include <QList>
#include <QString>
#include <Qt>

class QBoxLayout;
class QPushButton;
class QWidget;

// A list command button: the desktop theme's icon and a short Russian caption ("add" → [+] Добавить).
// The resource name it had in the original stays as its object name. It never becomes the default
// button, so Enter goes to the list or the card, not to whichever button was pressed last.
QPushButton *PictureButton(const QString &resourceName, const QString &icon, const QString &caption,
                           const QString &tipTitle, const QString &tipHelp, QWidget *parent = nullptr);

// A directory's buttons: its commands, a stretch, then the button that closes it (none when null).
QBoxLayout *ButtonBar(Qt::Orientation orientation, const QList<QWidget *> &commands, QWidget *close);
