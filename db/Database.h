#pragma once

#include "ConnectString.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <unordered_map>

class ChangeFeed;
class DbError;
class PgCursor;
class RowCursor;
class SqliteCursor;
struct sqlite3;
struct pg_conn;

// The one connection of the run. Every statement goes through Exec: the SQL is written once with
// reserved names in brackets ([Delete], [Number], [Count], [Time], [Name]) and every value bound;
// the dialect differences (name quoting, booleans, dates) are settled here and nowhere else.
class Database {
public:
    // Opens the database named by a connect string and creates the schema in an empty one.
    // Throws DbError with the driver's text when the database cannot be opened.
    static std::unique_ptr<Database> Open(const QString &connect);
    static std::unique_ptr<Database> Open(const ConnectTarget &target);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    Dialect dialect() const { return m_dialect; }
    // True when statements follow PostgreSQL's rules (the PostgreSQL driver, or ODBC onto PostgreSQL).
    bool PostgresStyle() const { return m_postgresStyle; }
    QSqlDatabase handle() const;

    // Rewrites bracketed names for this database.
    QString Sql(const QString &text) const;
    // True for an INSERT, UPDATE or DELETE: a statement the write hook sees and a cursor never runs.
    static bool IsWrite(const QString &sql);
    // Prepares, binds and runs one statement; throws DbError with the driver's text. A read outside a
    // transaction that fails because the connection to the server was lost is run once more on a new one;
    // inside a transaction the loss fails the whole save (DriverTexts::kLost), and the next one reconnects.
    QSqlQuery Exec(const QString &sql, const QVariantList &binds = {});
    // SQLite: runs a SELECT as Exec does (same checks, hooks, binding and errors) and hands back a cursor
    // that reads its rows straight from the connection. Null on other databases and for a write: use Exec.
    std::unique_ptr<SqliteCursor> OpenCursor(const QString &sql, const QVariantList &binds = {});
    // PostgreSQL: runs a SELECT as Exec does and hands back a cursor that reads its rows as the server sends
    // them, for a long list that is turned into records as it comes. Until the cursor has read its last row
    // the connection is its own; a statement run meanwhile first takes the rest of its rows in. Null on
    // other databases and for a write.
    std::unique_ptr<RowCursor> OpenStream(const QString &sql, const QVariantList &binds = {});
    // Test seam: with false, OpenCursor and OpenStream always answer null, so every read goes through the
    // driver's query or a whole result.
    void SetDirectReads(bool on) { m_directReads = on; }
    // A value as it must be bound here: dates as canonical text, booleans as 1/0 where there is no boolean.
    QVariant BindValue(const QVariant &value) const;

    // Transactions nest: only the outermost Begin/Commit reach the database. A rollback anywhere
    // dooms the whole outer transaction. On an SQLite file, embedded or through an ODBC data source, the
    // outermost Begin takes the write lock at once (BEGIN IMMEDIATE), so a second program waits for it
    // instead of failing half-way.
    void Begin();
    void Commit();
    void Rollback();
    int TransactionDepth() const { return m_depth; }

    // How long a statement waits for another workstation's lock before failing with BusyText (10 s unless
    // changed; tests shorten it).
    void SetLockWait(int milliseconds);

    // Test seam: called with the SQL text before every INSERT, UPDATE or DELETE; may throw DbError to
    // simulate a failing write.
    void SetWriteHook(std::function<void(const QString &sql)> hook) { m_writeHook = std::move(hook); }
    // Test seam: called with the SQL text before every statement, reads included (to count round trips).
    void SetStatementHook(std::function<void(const QString &sql)> hook) { m_statementHook = std::move(hook); }

    // The message every "the other workstation holds the lock too long" failure is reported with.
    static QString BusyText();

    // Drops the statements kept prepared on the server (after the tables were changed under them).
    void ForgetStatements();

    // Who writes, for the change log (see ChangeLog): the program's login once the user has logged in. On
    // SQLite it is handed to the log's triggers inside every transaction of this connection; on PostgreSQL
    // the log names the role the connection logged in with, and this changes nothing.
    void SetLogin(const QString &login) { m_login = login; }
    // Looks whether the database keeps the change log (after the schema was made or taken apart).
    void FindChangeLog();

    // What is written to the database, by this program and others on it (see ChangeFeed); it starts
    // listening the first time it is asked for. Needs the application's event loop.
    ChangeFeed &Changes();

private:
    friend class SqliteCursor;
    friend class PgCursor;
    friend class ChangeFeed;
    Database() = default;
    void Connect(const ConnectTarget &target);
    [[noreturn]] void Fail(const QSqlError &error);
    // The error to throw for a driver's failure; notes a lost connection for the next statement.
    DbError Failure(const QSqlError &error);
    // PostgreSQL: libpq has found the connection broken.
    bool LostHandle() const;
    // Opens the connection again after it was lost (server restarted, network cut); statements kept
    // prepared on the old one are forgotten with it. Throws DbError naming the server while it is down.
    void Reconnect();
    QSqlQuery ExecOnce(const QString &sql, const QVariantList &binds);
    // SQLite: a write with values through its kept prepared statement.
    QSqlQuery ExecKeptWrite(const QString &text, const QVariantList &binds);
    void BeginOnServer();
    // A failure of SQLite itself (its result code), reported as the driver reports it.
    [[noreturn]] void FailSqlite(int code, const char *what);
    // The checks and hooks every statement passes before it runs; the text as this database wants it.
    QString Announce(const QString &sql);
    void ExecControl(const QString &sql);
    void Rollback0();
    // SQLite: a statement of the connection's own bookkeeping, which the hooks do not see.
    void ExecQuiet(const QString &sql, const QVariantList &binds = {});
    QSqlQuery ExecPrepared(const QString &text, const QVariantList &binds);
    // PostgreSQL: the name the statement is prepared under for the connection's life, prepared now if new.
    QByteArray Prepared(const QString &text);
    // PostgreSQL: a cursor's stream is read to its end or let go; the connection is free again.
    void StreamEnded(const PgCursor *cursor);
    // PostgreSQL: the rows of a stream still being read are taken in, so another statement can run.
    void SettleStream() const;
    // PostgreSQL: a statement without values, run on libpq as ExecPrepared runs one with values.
    QSqlQuery ExecDirect(const QString &text);

    QString m_name;
    ConnectTarget m_target;
    // The connection broke: the next statement outside a transaction opens it again first.
    bool m_lost = false;
    Dialect m_dialect = Dialect::Sqlite;
    bool m_postgresStyle = false;
    // An SQLite file, embedded or behind ODBC: transactions are begun and ended by statement, since the
    // ODBC driver's own would begin deferred.
    bool m_sqliteFile = false;
    int m_depth = 0;
    bool m_doomed = false;
    std::function<void(const QString &)> m_writeHook;
    std::function<void(const QString &)> m_statementHook;
    // The first failed statement rolls the transaction back on the server at once (PostgreSQL aborts it
    // anyway), so the driver's DEALLOCATE of the statements released while the error unwinds succeeds:
    // inside an aborted transaction it fails and leaves the prepared statement on the server.
    bool m_aborted = false;
    // PostgreSQL: statements with values stay prepared for the connection's life under names of our own,
    // so running one again is one round trip where the driver's own preparing costs three (PREPARE,
    // EXECUTE, DEALLOCATE). Name by SQL text.
    QHash<QString, QByteArray> m_statements;
    // SQLite: writes with values stay prepared by their text, so that a save does not compile each of its
    // statements again, with every trigger the statement fires, each time it runs.
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_writes;
    sqlite3 *m_sqlite = nullptr;  // the driver's connection, on SQLite
    pg_conn *m_pg = nullptr;      // the driver's connection, on PostgreSQL (see PgResult)
    bool m_directReads = true;
    QString m_login;
    // SQLite: the change log's triggers read who writes from ZvWho, filled for each transaction.
    bool m_tellWho = false;
    int m_statementSerial = 0;
    // PostgreSQL: the cursor whose rows are still coming on the connection (see OpenStream). Settled from
    // anything that reaches the connection, handle() included, which is why it may change in a const call.
    mutable PgCursor *m_stream = nullptr;
    // Destroyed before the connection it listens on.
    std::unique_ptr<ChangeFeed> m_feed;
};

// Commits on Commit(); rolls back when it goes out of scope uncommitted (an exception passing through).
class Transaction {
public:
    explicit Transaction(Database &db) : m_db(db) { m_db.Begin(); }
    ~Transaction();
    void Commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Database &m_db;
    bool m_done = false;
};
