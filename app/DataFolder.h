#pragma once

#include <QString>

// Where the program keeps a user's data and finds the files it ships. Widget-free.
//
// Started from a folder that holds the embedded database, the program works there, as it always did.
// Started from the desktop's menu (or any other folder), it works in the per-user data folder
// (Zorvantide/Zorvantide in the generic data location), which then holds the embedded database, doc/ and the
// reports.
namespace DataFolder {

// The per-user data folder (not created here).
QString UserDataDir();

// The folder to work in: `current` when it holds the embedded database, else `userData`.
QString ChooseWorkDir(const QString &current, const QString &userData);

// Makes the chosen folder the working directory, creating the data folder when missing; stays in the
// current one when that fails. Returns the working directory in force.
QString EnterWorkDir();

// The installed data folder of a program in `appDir`: <prefix>/share/trellvark beside <prefix>/bin.
QString InstalledDataDir(const QString &appDir);

// The help document: help.doc of the working directory first, then the one installed with the program.
// Empty when neither exists.
QString FindHelp(const QString &workDir, const QString &appDir);

// Where the daily copies of an embedded database file go: backup/ in the database's folder.
QString DailyBackupDir(const QString &databaseFile);

}  // namespace DataFolder
