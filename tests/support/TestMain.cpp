// Test programs share this main: an application object (offscreen) so that widgets and SQL drivers work.
#include "Formats.h"
#include "RussianUi.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString dir = QDir::temp().filePath(QStringLiteral("zv-runtime"));
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    // unixODBC creates the user's odbc.ini as soon as it is asked anything: no test may reach the real one.
    // Tests that need a driver or a data source point these at files of their own.
    const QTemporaryDir odbc;
    qputenv("ODBCINI", odbc.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
    qputenv("ODBCSYSINI", odbc.path().toLocal8Bit());
    // Settings likewise: each test program keeps its own, so programs run side by side by ctest never
    // see or clear each other's remembered values, and the user's own are never touched.
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QApplication app(argc, argv);
    // Screens are tested as users see them: Qt's own texts in Russian, the same icon theme.
    const QString missing = RussianUi::InstallTranslations(&app);
    if (!missing.isEmpty()) std::fprintf(stderr, "%s\n", qUtf8Printable(missing));
    RussianUi::UseFallbackIconTheme();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
