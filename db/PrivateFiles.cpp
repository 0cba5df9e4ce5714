#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace PrivateFiles {

void OwnerOnly(const QString &file) {
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool MakeFolder(const QString &folder) {
    const bool made = !QFileInfo(folder).isDir();
    if (!QDir().mkpath(folder)) return false;
    if (made)
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

QString Produce(const QString &path, const std::function<QString(const QString &fresh)> &produce) {
    const QFileInfo target(path);
    // Made exclusively, for its user only: nobody can have a link waiting under a fresh name.
    QTemporaryFile fresh(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                         QStringLiteral(".XXXXXX"));
    if (!fresh.open()) return fresh.errorString();
    fresh.close();
    const QString failure = produce(fresh.fileName());
    if (!failure.isEmpty()) return failure;
    // rename() replaces whatever is at the target name, a symbolic link included, and never follows it.
    if (std::rename(QFile::encodeName(fresh.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    fresh.setAutoRemove(false);
    return {};
}

QString Write(const QString &path, const QByteArray &data) {
    return Produce(path, [&data](const QString &fresh) {
        QFile file(fresh);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() ||
            !file.flush())
            return file.errorString();
        return QString();
    });
}

}  // namespace PrivateFiles
