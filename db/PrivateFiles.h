#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Files the program writes for its user (documents, reports, data for a merge): readable and writable by
// him alone, and never written through a symbolic link someone planted at their name.
namespace PrivateFiles {

// Makes a file readable and writable by its owner only; a folder, when this makes it, usable by its owner
// only (a folder that was there keeps its mode). False when the folder cannot be made.
void OwnerOnly(const QString &file);
bool MakeFolder(const QString &folder);

// Puts a file in place whole: `produce` writes it under a fresh name beside `path` (created empty, for
// its user only) and answers why it failed, empty when it did not; the file is then renamed to `path`,
// which replaces a link there instead of following it, and a failed write leaves an older file as it was.
// Returns why it failed, empty when the file is in place.
QString Produce(const QString &path, const std::function<QString(const QString &fresh)> &produce);
// Produce for data already in memory.
QString Write(const QString &path, const QByteArray &data);

}  // namespace PrivateFiles
