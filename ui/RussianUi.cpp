#include "RussianUi.h"

#include <QCoreApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace RussianUi {

QString InstallTranslations(QCoreApplication *app, const QString &folder) {
    // The program speaks Russian whatever the machine's locale: numbers and dates too.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto *translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_ru"), dir)) {
        delete translator;
        return QStringLiteral(
                   "Не найден перевод Qt (qtbase_ru) в %1: стандартные кнопки и меню будут "
                   "на английском. Установите пакет qt6-translations-l10n.")
            .arg(dir);
    }
    QCoreApplication::installTranslator(translator);
    return {};
}

void UseFallbackIconTheme() {
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QStringLiteral("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(QStringLiteral("breeze"));
}

}  // namespace RussianUi
