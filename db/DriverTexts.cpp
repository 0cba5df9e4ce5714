#include "DriverTexts.h"

#include <QDir>
#include <initializer_list>

namespace {

QString DriverWords(const QSqlError &error) {
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty()) return driver;
    if (!driver.isEmpty() && !text.contains(driver)) text += u' ' + driver;
    return text;
}

bool HasAny(const QString &text, std::initializer_list<const char *> words) {
    for (const char *word : words)
        if (text.contains(QLatin1StringView(word), Qt::CaseInsensitive)) return true;
    return false;
}

// SQLite's primary result code (the driver may report an extended one).
int SqliteCode(const QSqlError &error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

}  // namespace

namespace DriverTexts {

QString Where(const ConnectTarget &target) {
    switch (target.dialect) {
        case Dialect::Sqlite:
            return QDir::toNativeSeparators(target.file);
        case Dialect::Postgres: {
            const QString host = target.host.isEmpty() ? QStringLiteral("localhost") : target.host;
            return target.port > 0 ? QStringLiteral("%1:%2").arg(host).arg(target.port) : host;
        }
        case Dialect::Odbc:
            return target.odbcName;
    }
    return {};
}

bool ConnectionLost(Dialect dialect, const QSqlError &error) {
    if (dialect == Dialect::Sqlite) return false;
    // SQLSTATE class 08 (connection exception) and the server's shutdown codes (57P01-57P03).
    const QString code = error.nativeErrorCode();
    if (code.startsWith(u"08") || code.startsWith(u"57P0")) return true;
    return HasAny(DriverWords(error),
                  {"server closed the connection", "no connection to the server", "connection dead",
                   "terminating connection", "could not connect", "connection refused", "could not send data",
                   "could not receive data", "connection not open", "08S01", "08001", "08006"});
}

QString Russian(const ConnectTarget &target, const QSqlError &error, bool opening) {
    const QString words = DriverWords(error);
    const QString where = Where(target);
    QString text;
    if (target.dialect == Dialect::Sqlite) {
        switch (SqliteCode(error)) {
            case 13:  // SQLITE_FULL
                text = kDiskFull;
                break;
            case 8:  // SQLITE_READONLY
            case 3:  // SQLITE_PERM
                text = kReadOnly.arg(where);
                break;
            case 14:  // SQLITE_CANTOPEN
                text = kCannotOpenFile.arg(where);
                break;
            case 11:  // SQLITE_CORRUPT
            case 26:  // SQLITE_NOTADB
                text = kDamaged.arg(where);
                break;
            default:
                break;
        }
    } else {
        const QString code = error.nativeErrorCode();
        if (code == u"28P01" || code == u"28000" ||
            HasAny(words, {"password authentication", "authentication failed"}))
            text = kLoginRefused.arg(where);
        else if (code == u"53100" || HasAny(words, {"No space left on device"}))
            text = kDiskFull;
        else if (ConnectionLost(target.dialect, error) ||
                 HasAny(words, {"could not translate host name", "timeout expired", "Network is unreachable",
                                "No route to host", "Connection timed out"}))
            text = opening ? kUnavailable.arg(where) : kLost;
    }
    if (text.isEmpty()) return {};
    return words.isEmpty() ? text : text + kDetails.arg(words);
}

}  // namespace DriverTexts
