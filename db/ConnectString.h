#pragma once

#include <QString>

// The kinds of database Trellvark can run on.
enum class Dialect { Sqlite, Postgres, Odbc };

// A parsed connect string. Accepted forms:
//   "ODBC;DSN=Zorvantide;"            a registered ODBC data source (any further ODBC pairs allowed)
//   "SQLITE;DATABASE=<file>"          the embedded database file
//   "PGSQL;host=... port=... dbname=... user=... password=..."   libpq key=value pairs
// A bare path is taken as an SQLite file.
struct ConnectTarget {
    Dialect dialect = Dialect::Sqlite;
    QString odbcName;  // QODBC database name: the DSN alone, or a full ODBC connection string
    QString file;      // SQLite file
    QString host, dbname, user, password, options;
    int port = -1;
};

inline constexpr const char *kDsnName = "Zorvantide";
inline constexpr const char *kEmbeddedFile = "Quellmarod.db";

// Throws DbError when the text is not a connect string we understand.
ConnectTarget ParseConnectString(const QString &connect);

// Where the program's database is: the command-line option, else the stored setting, else the registered
// Zorvantide data source, else the embedded file in the working directory.
QString ResolveConnectString(const QString &commandLine, const QString &setting, bool dsnRegistered,
                             const QString &workDir);

// True when unixODBC's driver manager lists a data source of that name (user or system, any case); false
// when unixODBC is not installed.
bool IsDsnRegistered(const QString &dsn = QString::fromLatin1(kDsnName));
