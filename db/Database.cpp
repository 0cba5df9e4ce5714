#include "Database.h"

#include "ChangeFeed.h"
#include "ChangeLog.h"
#include "DbError.h"
#include "DriverTexts.h"
#include "PgCursor.h"
#include "PrivateFiles.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "SqliteCursor.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>

Q_DECLARE_OPAQUE_POINTER(sqlite3 *)
Q_DECLARE_METATYPE(sqlite3 *)

namespace {

QAtomicInt g_connectionCounter;

QString ErrorText(const QSqlError &error) {
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (text.isEmpty()) return driver.isEmpty() ? QStringLiteral("Неизвестная ошибка базы данных.") : driver;
    if (!driver.isEmpty() && !text.contains(driver)) text += u'\n' + driver;
    return text;
}

// SQLite: SQLITE_BUSY / SQLITE_LOCKED once the busy timeout has run out. PostgreSQL: lock_timeout ran
// out (55P03) or the server broke a deadlock between two workstations (40P01).
bool IsBusy(Dialect dialect, const QSqlError &error) {
    const QString code = error.nativeErrorCode();
    if (dialect == Dialect::Postgres) return code == u"55P03" || code == u"40P01";
    const QString text = error.databaseText() + u' ' + error.driverText();
    if (text.contains(u"database is locked") || text.contains(u"database table is locked")) return true;
    return dialect == Dialect::Sqlite && (code == u"5" || code == u"6");
}

// The libpq connection under the driver's handle (its type is named after the struct, not the typedef).
PGconn *PgConnection(const QVariant &handle) {
    const char *type = handle.typeName();
    if (!type || (qstrcmp(type, "pg_conn*") != 0 && qstrcmp(type, "PGconn*") != 0)) return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

}  // namespace

bool Database::IsWrite(const QString &sql) {
    const QString head = sql.trimmed().left(7).toUpper();
    return head.startsWith(u"INSERT") || head.startsWith(u"UPDATE") || head.startsWith(u"DELETE");
}

std::unique_ptr<Database> Database::Open(const QString &connect) {
    return Open(ParseConnectString(connect));
}

std::unique_ptr<Database> Database::Open(const ConnectTarget &target) {
    std::unique_ptr<Database> db(new Database);
    db->Connect(target);
    Schema::Ensure(*db);
    db->FindChangeLog();
    // An upgrade may have changed tables under statements prepared before it.
    db->ForgetStatements();
    return db;
}

void Database::Connect(const ConnectTarget &target) {
    m_target = target;
    m_dialect = target.dialect;
    m_name = QStringLiteral("zv-%1").arg(g_connectionCounter.fetchAndAddOrdered(1));
    QSqlDatabase db;
    switch (target.dialect) {
        case Dialect::Sqlite:
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            db.setDatabaseName(target.file);
            // Two copies of the program on one file wait for each other instead of failing.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
            break;
        case Dialect::Postgres:
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            db.setHostName(target.host);
            if (target.port > 0) db.setPort(target.port);
            db.setDatabaseName(target.dbname);
            db.setUserName(target.user);
            db.setPassword(target.password);
            db.setConnectOptions(target.options);
            break;
        case Dialect::Odbc:
            db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
            db.setDatabaseName(target.odbcName);
            break;
    }
    if (!db.isValid())
        throw DbError(QStringLiteral("Драйвер базы данных не установлен: %1").arg(db.driverName()));
    if (!db.open()) {
        const QString russian = DriverTexts::Russian(target, db.lastError(), true);
        const QString text = russian.isEmpty() ? ErrorText(db.lastError()) : russian;
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
        throw DbError(text);
    }
    m_postgresStyle = target.dialect == Dialect::Postgres;
    m_sqliteFile = target.dialect == Dialect::Sqlite;
    if (target.dialect == Dialect::Sqlite) {
        // A second program opening a brand-new file at the same moment can be refused the switch to WAL
        // at once: SQLite does not wait where waiting could deadlock. It tries again until the usual lock
        // wait has passed.
        const QDeadlineTimer deadline(10000);
        for (;;) {
            try {
                Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
                break;
            } catch (const DbError &e) {
                if (e.text() != BusyText() || deadline.hasExpired()) throw;
                QThread::msleep(20);
            }
        }
        const QVariant connection = db.driver()->handle();
        if (connection.canConvert<sqlite3 *>()) m_sqlite = connection.value<sqlite3 *>();
        // Only its user may read the file (an older one is tightened too); SQLite gives its journal files
        // the database's mode.
        if (target.file != u":memory:") PrivateFiles::OwnerOnly(target.file);
        Exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // Lists over years of orders read the same pages again and again: they are kept in memory (32 MB)
        // and the file is read through a memory map instead of a system call a page. The map covers ten
        // years of a busy shop (about 750 MB) and more: a map of 256 MB left every page past it to a read
        // of its own, a third of the time of a worker's works over all years. The map takes address space
        // only; a file past 2 GB is mapped as far as that and read beyond.
        Exec(QStringLiteral("PRAGMA cache_size=-32768"));
        Exec(QStringLiteral("PRAGMA mmap_size=2147418112"));
    } else if (target.dialect == Dialect::Postgres) {
        m_pg = PgConnection(db.driver()->handle());
        // Waits for another workstation's lock as long as SQLite does, then reports it instead of hanging.
        SetLockWait(10000);
        // Statements stay prepared (see ExecPrepared); each run is still planned for its own values, so a
        // period or a name never gets a plan made for other values.
        Exec(QStringLiteral("SET plan_cache_mode = force_custom_plan"));
        // A list is read once and shown: compiling its plan to machine code costs more than it saves; and
        // the sorting of a journal of thousands of lines is done in memory rather than on disk.
        Exec(QStringLiteral("SET jit = off"));
        Exec(QStringLiteral("SET work_mem = '32MB'"));
        // A shop's database lives in memory or on a solid-state disk, where reading a page out of turn
        // costs about what reading the next one does. With the default cost of four, PostgreSQL read all
        // ten years of order lines to join a journal of a few thousand orders, instead of looking up each
        // order's lines through their index.
        Exec(QStringLiteral("SET random_page_cost = 1.1"));
        // The change log names the workstation every write came from.
        Exec(QStringLiteral("SELECT set_config('zv.host', ?, false)"), {ChangeLog::Workstation()});
    } else if (target.dialect == Dialect::Odbc) {
        // The data source may lead to PostgreSQL as well as to an SQLite file.
        QSqlQuery probe(handle());
        m_postgresStyle = probe.exec(QStringLiteral("SELECT version()")) && probe.next() &&
                          probe.value(0).toString().contains(u"PostgreSQL");
        m_sqliteFile =
            !m_postgresStyle && probe.exec(QStringLiteral("SELECT sqlite_version()")) && probe.next();
    }
}

Database::~Database() {
    m_feed.reset();
    m_writes.clear();
    if (m_name.isEmpty()) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) {
            if (m_depth > 0 && !m_aborted) {
                if (m_sqliteFile)
                    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                else
                    db.rollback();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase Database::handle() const {
    SettleStream();
    return QSqlDatabase::database(m_name, false);
}

void Database::SettleStream() const {
    if (!m_stream) return;
    PgCursor *stream = m_stream;
    m_stream = nullptr;
    stream->Buffer();
}

void Database::StreamEnded(const PgCursor *cursor) {
    if (m_stream != cursor) return;
    m_stream = nullptr;
    // The notices that came along with the rows.
    if (m_feed && m_depth == 0) m_feed->AfterWrite();
}

QString Database::Sql(const QString &text) const {
    if (!m_postgresStyle) return text;
    // [Name] -> "name": PostgreSQL folds our unquoted names to lower case, so quoted ones must match.
    static const QRegularExpression bracket(QStringLiteral("\\[([A-Za-z_][A-Za-z0-9_]*)\\]"));
    QString out;
    out.reserve(text.size());
    qsizetype pos = 0;
    bool inString = false;
    // Brackets inside string literals are left alone.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'') inString = !inString;
        if (!inString && c == u'[') {
            const auto m = bracket.match(text, i, QRegularExpression::NormalMatch,
                                         QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch()) {
                out += text.mid(pos, i - pos);
                out += u'"' + m.captured(1).toLower() + u'"';
                i = m.capturedEnd() - 1;
                pos = m.capturedEnd();
            }
        }
    }
    out += text.mid(pos);
    return out;
}

QVariant Database::BindValue(const QVariant &value) const {
    switch (value.typeId()) {
        case QMetaType::QDateTime: {
            const QDateTime dt = value.toDateTime();
            if (!dt.isValid()) return QVariant(QMetaType::fromType<QString>());
            return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        case QMetaType::QDate: {
            const QDate d = value.toDate();
            if (!d.isValid()) return QVariant(QMetaType::fromType<QString>());
            return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
        }
        case QMetaType::Bool:
            if (m_postgresStyle) return value;
            return value.toBool() ? 1 : 0;
        case QMetaType::QString:
            // PostgreSQL refuses a NUL in text and SQLite cuts the text there: it is never stored.
            if (value.toString().contains(QChar(u'\0')))
                return QString(value.toString()).remove(QChar(u'\0'));
            return value;
        default:
            return value;
    }
}

QString Database::BusyText() {
    return QStringLiteral(
        "Не удалось записать изменения: база данных занята другим рабочим местом.\n"
        "Ничего не сохранено. Повторите попытку.");
}

void Database::Fail(const QSqlError &error) {
    // A failed statement ends the transaction at once on every database, as PostgreSQL does anyway.
    if (m_depth > 0 && !m_aborted) {
        Rollback0();
        m_aborted = true;
        m_doomed = true;
    }
    throw Failure(error);
}

DbError Database::Failure(const QSqlError &error) {
    if (IsBusy(m_dialect, error)) return DbError(BusyText());
    // The server refused for want of a privilege: the user's rights do not cover it (see ServerRoles).
    if (m_postgresStyle && error.nativeErrorCode() == u"42501") return DbError(ServerRoles::kDenied);
    if (DriverTexts::ConnectionLost(m_dialect, error) || LostHandle()) m_lost = true;
    const QString russian = DriverTexts::Russian(m_target, error, false);
    if (!russian.isEmpty()) return DbError(russian);
    if (m_lost) return DbError(DriverTexts::kLost + DriverTexts::kDetails.arg(ErrorText(error)));
    const QString text = ErrorText(error);
    const QString known = Schema::ConstraintText(text);
    return DbError(known.isEmpty() ? text : known);
}

bool Database::LostHandle() const {
    if (m_dialect != Dialect::Postgres || m_name.isEmpty()) return false;
    const QSqlDatabase db = handle();
    if (!db.isValid() || !db.driver()) return false;
    PGconn *pg = PgConnection(db.driver()->handle());
    return pg && PQstatus(pg) == CONNECTION_BAD;
}

ChangeFeed &Database::Changes() {
    if (!m_feed) {
        m_feed.reset(new ChangeFeed(*this));
        m_feed->Start();
    }
    return *m_feed;
}

void Database::Reconnect() {
    SettleStream();
    if (m_feed) m_feed->Detach();
    m_statements.clear();
    m_writes.clear();
    m_sqlite = nullptr;
    m_pg = nullptr;
    if (!m_name.isEmpty()) {
        {
            QSqlDatabase old = handle();
            old.close();
        }
        QSqlDatabase::removeDatabase(m_name);
        m_name.clear();
    }
    m_lost = false;
    try {
        Connect(m_target);
    } catch (const DbError &) {
        m_lost = true;
        throw;
    }
    if (m_feed) m_feed->Restart();
}

void Database::FailSqlite(int code, const char *what) {
    Fail(QSqlError(QCoreApplication::translate("QSQLiteResult", what),
                   QString::fromUtf8(sqlite3_errmsg(m_sqlite)), QSqlError::StatementError,
                   QString::number(code)));
}

QString Database::Announce(const QString &sql) {
    // After a failed statement nothing more runs in the transaction: it is already rolled back on the
    // server, so a statement now would commit on its own.
    if (m_aborted) throw DbError(QStringLiteral("Изменения отменены: часть записи не удалась."));
    SettleStream();
    if (m_lost && m_depth == 0) Reconnect();
    const QString text = Sql(sql);
    if (m_statementHook) m_statementHook(text);
    if (m_writeHook && IsWrite(text)) m_writeHook(text);
    return text;
}

QSqlQuery Database::Exec(const QString &sql, const QVariantList &binds) {
    const bool write = IsWrite(sql);
    if (write && m_depth == 0 && (!m_sqliteFile || m_tellWho)) {
        // A write is never run twice, since it may have been done before the connection broke: a lone one
        // gets a transaction of its own, whose beginning finds a broken connection before anything is sent.
        Transaction tx(*this);
        QSqlQuery query = ExecOnce(sql, binds);
        tx.Commit();
        return query;
    }
    const bool retry = m_depth == 0 && !write;
    const auto run = [&] {
        try {
            return ExecOnce(sql, binds);
        } catch (const DbError &) {
            if (!retry || !m_lost) throw;
        }
        return ExecOnce(sql, binds);
    };
    QSqlQuery query = run();
    // Outside a transaction a write has been committed, and a read may have brought notices along.
    if (m_feed && m_depth == 0 && (write || m_pg)) m_feed->AfterWrite();
    return query;
}

QSqlQuery Database::ExecOnce(const QString &sql, const QVariantList &binds) {
    const QString text = Announce(sql);
    if (binds.isEmpty()) {
        if (m_pg) return ExecDirect(text);
        QSqlQuery query(handle());
        query.setForwardOnly(true);
        if (!query.exec(text)) Fail(query.lastError());
        return query;
    }
    if (m_pg) return ExecPrepared(text, binds);
    // (A write that hands back rows is read as any statement is.)
    if (m_sqlite && IsWrite(text) && !text.contains(QLatin1StringView("RETURNING"), Qt::CaseInsensitive))
        return ExecKeptWrite(text, binds);
    QSqlQuery query(handle());
    query.setForwardOnly(true);
    if (!query.prepare(text)) Fail(query.lastError());
    for (int i = 0; i < binds.size(); ++i) query.bindValue(i, BindValue(binds[i]));
    if (!query.exec()) Fail(query.lastError());
    return query;
}

void Database::SetLockWait(int milliseconds) {
    if (m_dialect == Dialect::Sqlite)
        Exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds));
    else if (m_dialect == Dialect::Postgres)
        Exec(QStringLiteral("SET lock_timeout = %1").arg(milliseconds));
}

void Database::ExecControl(const QString &sql) {
    QSqlQuery q(handle());
    if (!q.exec(sql)) Fail(q.lastError());
}

void Database::Begin() {
    if (m_depth == 0) {
        m_doomed = false;
        m_aborted = false;
        // A connection that broke while the program stood idle is only found out here: the transaction
        // is begun once more on a new one, since nothing was done in it yet.
        try {
            if (m_lost) Reconnect();
            BeginOnServer();
        } catch (const DbError &) {
            if (!m_lost) throw;
            Reconnect();
            BeginOnServer();
        }
    }
    ++m_depth;
}

void Database::BeginOnServer() {
    if (m_sqliteFile) {
        // Taking the write lock first means a save that reads before it writes never finds its snapshot
        // outdated half-way; a second program waits here (busy timeout) instead.
        ExecControl(QStringLiteral("BEGIN IMMEDIATE"));
        if (m_tellWho)
            ExecQuiet(
                QStringLiteral("INSERT OR REPLACE INTO ZvWho (Id, Login, Host, Archive) VALUES (1, ?, ?, 0)"),
                {m_login.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(m_login),
                 ChangeLog::Workstation()});
    } else {
        QSqlDatabase db = handle();
        if (!db.transaction()) Fail(db.lastError());
    }
}

void Database::Commit() {
    if (m_depth <= 0) return;
    // Nobody is named for what another program may write to the file after this transaction.
    if (m_depth == 1 && m_tellWho && !m_doomed) ExecQuiet(QStringLiteral("DELETE FROM ZvWho"));
    if (--m_depth > 0) return;
    if (m_doomed) {
        Rollback0();
        throw DbError(QStringLiteral("Изменения отменены: часть записи не удалась."));
    }
    if (m_sqliteFile) {
        QSqlQuery q(handle());
        if (!q.exec(QStringLiteral("COMMIT"))) {
            const QSqlError error = q.lastError();
            Rollback0();
            throw Failure(error);
        }
    } else {
        QSqlDatabase db = handle();
        if (!db.commit()) {
            const QSqlError error = db.lastError();
            Rollback0();
            throw Failure(error);
        }
    }
    if (m_feed) m_feed->AfterWrite();
}

void Database::FindChangeLog() {
    m_tellWho =
        m_sqliteFile && Exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'ZvWho'")).next();
}

void Database::ExecQuiet(const QString &sql, const QVariantList &binds) {
    QSqlQuery query(handle());
    if (!query.prepare(sql)) Fail(query.lastError());
    for (int i = 0; i < binds.size(); ++i) query.bindValue(i, binds[i]);
    if (!query.exec()) Fail(query.lastError());
}

void Database::Rollback() {
    if (m_depth <= 0) return;
    if (--m_depth > 0) {
        m_doomed = true;
        return;
    }
    Rollback0();
}

// Ends the outermost transaction on the server, unless a failed statement has already ended it.
void Database::Rollback0() {
    if (!m_aborted) {
        if (m_sqliteFile)
            QSqlQuery(handle()).exec(QStringLiteral("ROLLBACK"));
        else
            handle().rollback();
    }
    m_doomed = false;
    m_aborted = false;
}

Transaction::~Transaction() {
    if (!m_done) m_db.Rollback();
}

void Transaction::Commit() {
    m_done = true;
    m_db.Commit();
}
