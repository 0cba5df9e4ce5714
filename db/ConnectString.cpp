#include "ConnectString.h"

#include "DbError.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

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

ConnectSpec ParseConnectString(const QString &connect) {
    const QString text = connect.trimmed();
    ConnectSpec spec;
    if (text.isEmpty()) throw DbError(QStringLiteral("Не указана строка подключения к базе данных."));

    if (text.startsWith(u"ODBC;", Qt::CaseInsensitive)) {
        spec.dialect = Dialect::Odbc;
        const QString rest = StripPrefix(text, 5);
        // QODBC wants the bare DSN name; anything richer is passed as a full connection string.
        static const QRegularExpression onlyDsn(QStringLiteral("^DSN=([^;]+);?$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const auto m = onlyDsn.match(rest);
        spec.odbcName = m.hasMatch() ? m.captured(1).trimmed() : rest;
        if (spec.odbcName.isEmpty()) throw DbError(QStringLiteral("Не указан источник данных ODBC."));
        return spec;
    }
    if (text.startsWith(u"SQLITE;", Qt::CaseInsensitive)) {
        spec.dialect = Dialect::Sqlite;
        QString rest = StripPrefix(text, 7);
        static const QRegularExpression db(QStringLiteral("^DATABASE=(.*?);?$"),
                                           QRegularExpression::CaseInsensitiveOption);
        const auto m = db.match(rest);
        spec.file = m.hasMatch() ? m.captured(1) : rest;
        if (spec.file.isEmpty()) throw DbError(QStringLiteral("Не указан файл базы данных."));
        return spec;
    }
    if (text.startsWith(u"PGSQL;", Qt::CaseInsensitive) ||
        text.startsWith(u"POSTGRESQL;", Qt::CaseInsensitive)) {
        spec.dialect = Dialect::Postgres;
        QStringList extra;
        for (const auto &[key, value] : ParseLibpqPairs(text.mid(text.indexOf(u';') + 1))) {
            if (key == u"host" || key == u"hostaddr")
                spec.host = value;
            else if (key == u"port")
                spec.port = value.toInt();
            else if (key == u"dbname")
                spec.dbname = value;
            else if (key == u"user")
                spec.user = value;
            else if (key == u"password")
                spec.password = value;
            else
                extra << key + u'=' + value;
        }
        spec.options = extra.join(u';');
        return spec;
    }
    // "WORD;..." that is none of the above is a mistyped kind, not a file name: opening it as a file
    // would quietly start an empty database.
    static const QRegularExpression kind(QStringLiteral("^[A-Za-z]+;"));
    if (kind.match(text).hasMatch())
        throw DbError(
            QStringLiteral("Неизвестный вид подключения \"%1\".\nДопустимы ODBC;, SQLITE; и PGSQL;.")
                .arg(text.left(text.indexOf(u';'))));
    // A bare file name: the embedded database.
    spec.dialect = Dialect::Sqlite;
    spec.file = text;
    return spec;
}

QString ResolveConnectString(const QString &commandLine, const QString &setting, bool dsnRegistered,
                             const QString &workDir) {
    if (!commandLine.trimmed().isEmpty()) return commandLine.trimmed();
    if (!setting.trimmed().isEmpty()) return setting.trimmed();
    if (dsnRegistered) return QStringLiteral("ODBC;DSN=%1;").arg(QString::fromLatin1(kDsnName));
    return QStringLiteral("SQLITE;DATABASE=") + QDir(workDir).filePath(QString::fromLatin1(kEmbeddedFile));
}

namespace {

bool IniHasSection(const QString &path, const QString &section) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    QTextStream in(&f);
    const QString wanted = u'[' + section + u']';
    while (!in.atEnd()) {
        if (in.readLine().trimmed().compare(wanted, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

}  // namespace

bool IsDsnRegistered(const QString &dsn) {
    // unixODBC's own search order: $ODBCINI (or ~/.odbc.ini), then $ODBCSYSINI/odbc.ini (or /etc/odbc.ini).
    QStringList files;
    const QByteArray userIni = qgetenv("ODBCINI");
    files << (userIni.isEmpty() ? QDir::home().filePath(QStringLiteral(".odbc.ini"))
                                : QString::fromLocal8Bit(userIni));
    const QByteArray sysDir = qgetenv("ODBCSYSINI");
    files << (sysDir.isEmpty() ? QStringLiteral("/etc/odbc.ini")
                               : QDir(QString::fromLocal8Bit(sysDir)).filePath(QStringLiteral("odbc.ini")));
    for (const QString &f : files)
        if (IniHasSection(f, dsn)) return true;
    return false;
}
