#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool OpenOnDesktop(const QString &path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
