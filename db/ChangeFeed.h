#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class Database;
class QSocketNotifier;
class QTimer;

// What was written to the database: the keys of the rows, by table (as the schema names it). `unknown`
// when some change could not be told row by row (more rows at once than are worth telling, or the
// connection was lost meanwhile): whoever shows data then reads it all again.
struct DataChanges {
    QHash<QString, QSet<QString>> keys;
    bool unknown = false;

    bool Empty() const { return !unknown && keys.isEmpty(); }
    bool Touches(const QString &table) const { return unknown || keys.contains(table); }
    bool TouchesAny(const QStringList &tables) const;
    // The keys written to these tables, together.
    QSet<QString> KeysOf(const QStringList &tables) const;
    void Add(const DataChanges &other);
    // Only what concerns these tables.
    DataChanges Of(const QStringList &tables) const;
};

// Tells the screens what was written to the database, by this program and by any other on the same
// database, a moment after it was committed. The database itself records every write (triggers of the
// schema, so no program and no path skips them):
// - PostgreSQL sends a notice per row and table (NOTIFY), which arrives on this connection as soon as the
//   writer commits;
// - SQLite keeps the last writes in a small table (ZvChange) that every program reads after its own
//   commits, and when the file's data version says another program has committed (checked every second).
// Rows of a transaction rolled back are never told. The feed starts with the first screen that asks for
// it and listens again on a new connection after a reconnect, telling `unknown` for what it missed.
// Through ODBC onto PostgreSQL nothing can be heard, and the feed stays silent.
class ChangeFeed : public QObject {
    Q_OBJECT
public:
    ~ChangeFeed() override;

    // The tables whose writes are told, and the key each tells (an order's lines and workers by their
    // order, a car's owners by the car, a payout's lines by the payout).
    struct Watched {
        const char *table;
        const char *key;
    };
    static const QList<Watched> &Tables();
    // The schema's part: the triggers that record writes, and on SQLite their table.
    static void CreateTriggers(Database &db);
    // A bulk load (the reference database's generator) writes without telling anyone, and starts again
    // after with nothing recorded.
    static void StopTelling(Database &db);
    static void StartTelling(Database &db);
    // Makes the triggers that record writes, unless they exist.
    static void Tell(Database &db);

    // How often SQLite's data version is looked at, and how long a broken PostgreSQL connection waits
    // before it is tried again (tests shorten both).
    void SetPollInterval(int milliseconds);

signals:
    // Handed over from the event loop, never in the middle of a statement or a transaction.
    void Changed(const DataChanges &changes);

private:
    friend class Database;
    explicit ChangeFeed(Database &db);

    void Start();
    // Before the connection closes (a reconnect), and on the new one.
    void Detach();
    void Restart();
    // The outermost transaction has ended, or a statement ran outside one: what it wrote may be told.
    void AfterWrite();
    // PostgreSQL: takes the notices that have arrived.
    void TakeNotices();
    // SQLite: reads the writes recorded since the last look.
    void ReadRecorded();
    void Poll();
    void Publish();
    // Publish after a short pause, unless it is already due.
    void Soon();
    void Note(const QString &table, const QString &key);

    Database &m_db;
    bool m_started = false;
    DataChanges m_pending;
    QTimer *m_publish = nullptr;
    QTimer *m_poll = nullptr;
    std::unique_ptr<QSocketNotifier> m_socket;
    qint64 m_lastSerial = -1;
    qint64 m_dataVersion = -1;
    QString m_channel;
};
