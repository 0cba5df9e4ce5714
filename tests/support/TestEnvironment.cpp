#include "TestEnvironment.h"

#include "Formats.h"

#include <QDir>
#include <QFile>
#include <QSettings>

TestEnvironment::TestEnvironment() {
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
    qputenv("ODBCINI", m_odbc.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
    qputenv("ODBCSYSINI", m_odbc.path().toLocal8Bit());
    // Settings likewise: each test program keeps its own, so programs run side by side by ctest never
    // see or clear each other's remembered values, and the user's own are never touched.
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
}
