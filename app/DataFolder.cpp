#include "DataFolder.h"

#include "ConnectString.h"
#include "PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataFolder {

QString UserDataDir() {
    // Named outright, not by the application's name: the window class follows the menu entry's name,
    // while the data stay in the folder the earlier versions made.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("Zorvantide/Zorvantide"));
}

QString ChooseWorkDir(const QString &current, const QString &userData) {
    if (QFileInfo(QDir(current).filePath(QString::fromLatin1(kEmbeddedFile))).isFile()) return current;
    return userData.isEmpty() ? current : userData;
}

QString EnterWorkDir() {
    const QString current = QDir::currentPath();
    const QString chosen = ChooseWorkDir(current, UserDataDir());
    // A new data folder is its user's alone.
    if (chosen != current && PrivateFiles::MakeFolder(chosen) && QDir::setCurrent(chosen))
        return QDir::currentPath();
    return current;
}

QString InstalledDataDir(const QString &appDir) {
    return QDir::cleanPath(QDir(appDir).filePath(QStringLiteral("../share/trellvark")));
}

QString FindHelp(const QString &workDir, const QString &appDir) {
    // The build tree mirrors the installed layout, so a program run from it finds the document too.
    for (const QString &folder : {workDir, InstalledDataDir(appDir)}) {
        const QString path = QDir(folder).filePath(QStringLiteral("help.doc"));
        if (QFileInfo(path).isFile()) return QFileInfo(path).absoluteFilePath();
    }
    return {};
}

QString DailyBackupDir(const QString &databaseFile) {
    return QFileInfo(databaseFile).absoluteDir().filePath(QStringLiteral("backup"));
}

}  // namespace DataFolder
