#include "ConnectString.h"

#include "DbError.h"

#include <QDir>
#include <QLibrary>
#include <QRegularExpression>
#include <QStringList>

#include <cstdint>

namespace {

QString StripPrefix(const QString &text, int prefixLen) {
    return text.mid(prefixLen).trimmed();
}

// libpq key=value pairs; values may be quoted with single quotes and use backslash escapes.
QList<std::pair<QString, QString>> ParseLibpqPairs(const QString &text) {
    QList<std::pair<QString, QString>> pairs;
    int i = 0;
    const int n = int(text.size());
    auto skipSpace = [&] {
        while (i < n && (text[i].isSpace() || text[i] == u';')) ++i;
    };
    while (true) {
        skipSpace();
        if (i >= n) break;
        int keyStart = i;
        while (i < n && text[i] != u'=' && !text[i].isSpace()) ++i;
        QString key = text.mid(keyStart, i - keyStart).toLower();
        while (i < n && text[i].isSpace()) ++i;
        if (i >= n || text[i] != u'=')
            throw DbError(
                QStringLiteral("Неверная строка подключения: после \"%1\" ожидается \"=\".").arg(key));
        ++i;
        while (i < n && text[i].isSpace()) ++i;
        QString value;
        if (i < n && text[i] == u'\'') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'\\' && i + 1 < n) {
                    value += text[i + 1];
                    i += 2;
                } else if (text[i] == u'\'') {
                    ++i;
                    closed = true;
                    break;
                } else {
                    value += text[i++];
                }
            }
            if (!closed) throw DbError(QStringLiteral("Неверная строка подключения: не закрыта кавычка."));
        } else {
            while (i < n && !text[i].isSpace() && text[i] != u';') value += text[i++];
        }
        pairs.append({key, value});
    }
    return pairs;
}

}  // namespace

ConnectTarget ParseConnectString(const QString &connect) {
    const QString text = connect.trimmed();
    ConnectTarget target;
    if (text.isEmpty()) throw DbError(QStringLiteral("Не указана строка подключения к базе данных."));

    if (text.startsWith(u"ODBC;", Qt::CaseInsensitive)) {
        target.dialect = Dialect::Odbc;
        const QString rest = StripPrefix(text, 5);
        // QODBC wants the bare DSN name; anything richer is passed as a full connection string.
        static const QRegularExpression onlyDsn(QStringLiteral("^DSN=([^;]+);?$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = onlyDsn.match(rest);
        target.odbcName = m.hasMatch() ? m.captured(1).trimmed() : rest;
        if (target.odbcName.isEmpty()) throw DbError(QStringLiteral("Не указан источник данных ODBC."));
        return target;
    }
    if (text.startsWith(u"SQLITE;", Qt::CaseInsensitive)) {
        target.dialect = Dialect::Sqlite;
        QString rest = StripPrefix(text, 7);
        static const QRegularExpression db(QStringLiteral("^DATABASE=(.*?);?$"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = db.match(rest);
        target.file = m.hasMatch() ? m.captured(1) : rest;
        if (target.file.isEmpty()) throw DbError(QStringLiteral("Не указан файл базы данных."));
        return target;
    }
    if (text.startsWith(u"PGSQL;", Qt::CaseInsensitive) ||
        text.startsWith(u"POSTGRESQL;", Qt::CaseInsensitive)) {
        target.dialect = Dialect::Postgres;
        QStringList extra;
        for (const auto &[key, value] : ParseLibpqPairs(text.mid(text.indexOf(u';') + 1))) {
            if (key == u"host" || key == u"hostaddr")
                target.host = value;
            else if (key == u"port")
                target.port = value.toInt();
            else if (key == u"dbname")
                target.dbname = value;
            else if (key == u"user")
                target.user = value;
            else if (key == u"password")
                target.password = value;
            else
                extra << key + u'=' + value;
        }
        target.options = extra.join(u';');
        return target;
    }
    // "WORD;..." that is none of the above is a mistyped kind, not a file name: opening it as a file
    // would quietly start an empty database.
    static const QRegularExpression kind(QStringLiteral("^[A-Za-z]+;"));
    if (kind.match(text).hasMatch())
        throw DbError(
            QStringLiteral("Неизвестный вид подключения \"%1\".\nДопустимы ODBC;, SQLITE; и PGSQL;.")
                .arg(text.left(text.indexOf(u';'))));
    // A bare file name: the embedded database.
    target.dialect = Dialect::Sqlite;
    target.file = text;
    return target;
}

QString ResolveConnectString(const QString &commandLine, const QString &setting, bool dsnRegistered,
                             const QString &workDir) {
    if (!commandLine.trimmed().isEmpty()) return commandLine.trimmed();
    if (!setting.trimmed().isEmpty()) return setting.trimmed();
    if (dsnRegistered) return QStringLiteral("ODBC;DSN=%1;").arg(QString::fromLatin1(kDsnName));
    return QStringLiteral("SQLITE;DATABASE=") + QDir(workDir).filePath(QString::fromLatin1(kEmbeddedFile));
}

namespace {

// The few driver-manager calls needed here, as unixODBC has them on 64-bit Linux. The library is loaded at
// run time so that the embedded default also starts on a machine without unixODBC.
using SqlHandle = void *;
using SqlReturn = short;
constexpr short kHandleEnv = 1;
constexpr int kAttrOdbcVersion = 200;
constexpr std::intptr_t kOdbcVersion3 = 3;
constexpr unsigned short kFetchNext = 1;
constexpr unsigned short kFetchFirst = 2;
using AllocHandleFn = SqlReturn (*)(short type, SqlHandle input, SqlHandle *output);
using SetEnvAttrFn = SqlReturn (*)(SqlHandle env, int attribute, void *value, int length);
using DataSourcesFn = SqlReturn (*)(SqlHandle env, unsigned short direction, unsigned char *name,
                                    short nameSize, short *nameLength, unsigned char *description,
                                    short descriptionSize, short *descriptionLength);
using FreeHandleFn = SqlReturn (*)(short type, SqlHandle handle);

bool Succeeded(SqlReturn rc) {
    return rc == 0 || rc == 1;  // SQL_SUCCESS, SQL_SUCCESS_WITH_INFO
}

}  // namespace

bool IsDsnRegistered(const QString &dsn) {
    // The driver manager is asked rather than its files read here: only it knows which files it uses (it
    // takes the user's home from the password file, not from HOME), so the answer matches what a connect
    // and dsnsetup see.
    static QLibrary manager(QStringLiteral("odbc"), 2);
    const auto alloc = reinterpret_cast<AllocHandleFn>(manager.resolve("SQLAllocHandle"));
    const auto setEnv = reinterpret_cast<SetEnvAttrFn>(manager.resolve("SQLSetEnvAttr"));
    const auto dataSources = reinterpret_cast<DataSourcesFn>(manager.resolve("SQLDataSources"));
    const auto freeHandle = reinterpret_cast<FreeHandleFn>(manager.resolve("SQLFreeHandle"));
    if (!alloc || !setEnv || !dataSources || !freeHandle) return false;

    SqlHandle env = nullptr;
    if (!Succeeded(alloc(kHandleEnv, nullptr, &env))) return false;
    bool found = false;
    if (Succeeded(setEnv(env, kAttrOdbcVersion, reinterpret_cast<void *>(kOdbcVersion3), 0))) {
        unsigned char name[256] = {};
        unsigned char description[256] = {};
        short nameLength = 0;
        short descriptionLength = 0;
        for (unsigned short direction = kFetchFirst;
             !found && Succeeded(dataSources(env, direction, name, sizeof name, &nameLength, description,
                                             sizeof description, &descriptionLength));
             direction = kFetchNext) {
            // A name cut short to the buffer is some other, longer name.
            found = nameLength < short(sizeof name) &&
                    QString::fromLocal8Bit(reinterpret_cast<const char *>(name), nameLength)
                            .compare(dsn, Qt::CaseInsensitive) == 0;
        }
    }
    freeHandle(kHandleEnv, env);
    return found;
}
