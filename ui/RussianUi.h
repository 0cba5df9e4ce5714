#pragma once

#include <QString>

class QCoreApplication;

// Qt's own texts (message box buttons, edit menus, calendar) in Russian, and the icon theme the picture
// buttons draw from.
namespace RussianUi {

// Loads qtbase_ru from Qt's translations folder (or `folder` when given) and installs it. Returns an
// empty text on success, otherwise what is missing, so the caller can say why the buttons read in
// English; the program works on either way.
QString InstallTranslations(QCoreApplication *app, const QString &folder = {});

// Names the Breeze theme as the fallback for desktops that set no icon theme (a bare X server).
void UseFallbackIconTheme();

}  // namespace RussianUi
