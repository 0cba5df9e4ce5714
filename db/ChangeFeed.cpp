#include "ChangeFeed.h"

#include "Database.h"
#include "DbError.h"
#include "Schema.h"

#include <libpq-fe.h>
#include <QSocketNotifier>
#include <QSqlQuery>
#include <QTimer>

namespace {

// More keys than this in one report are not worth telling one by one: a screen reads everything again
// faster than it would look up each.
constexpr int kMostKeys = 5000;
// SQLite keeps this many of the last writes; a program that fell further behind reads everything again.
constexpr int kKeptWrites = 20000;

QString SqliteTrigger(const ChangeFeed::Watched &w, const char *event) {
    const bool deleted = qstrcmp(event, "DELETE") == 0;
    return QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS ZvTell_%1_%2 AFTER %2 ON [%1] BEGIN INSERT INTO ZvChange (Tbl, "
               "Idd) "
               "VALUES ('%1', %3.%4); END")
        .arg(QLatin1StringView(w.table), QLatin1StringView(event),
             deleted ? QStringLiteral("OLD") : QStringLiteral("NEW"), QLatin1StringView(w.key));
}

const char *const kEvents[] = {"INSERT", "UPDATE", "DELETE"};

// SQLite: the last write recorded, and the file's data version (it changes when another connection commits).
qint64 LastSerial(Database &db) {
    QSqlQuery last = db.Exec(QStringLiteral("SELECT COALESCE(MAX(Serial), 0) FROM ZvChange"));
    return last.next() ? last.value(0).toLongLong() : 0;
}
qint64 DataVersion(Database &db) {
    QSqlQuery version = db.Exec(QStringLiteral("PRAGMA data_version"));
    return version.next() ? version.value(0).toLongLong() : -1;
}

}  // namespace

bool DataChanges::TouchesAny(const QStringList &tables) const {
    if (unknown) return true;
    for (const QString &table : tables)
        if (keys.contains(table)) return true;
    return false;
}

QSet<QString> DataChanges::KeysOf(const QStringList &tables) const {
    QSet<QString> all;
    for (const QString &table : tables) all.unite(keys.value(table));
    return all;
}

void DataChanges::Add(const DataChanges &other) {
    unknown = unknown || other.unknown;
    for (auto it = other.keys.begin(); it != other.keys.end(); ++it) keys[it.key()].unite(it.value());
}

DataChanges DataChanges::Of(const QStringList &tables) const {
    DataChanges mine;
    mine.unknown = unknown;
    for (const QString &table : tables) {
        const auto found = keys.constFind(table);
        if (found != keys.constEnd()) mine.keys.insert(table, found.value());
    }
    return mine;
}

const QList<ChangeFeed::Watched> &ChangeFeed::Tables() {
    static const QList<Watched> tables = {
        {"TZakaz", "IddZakaz"},
        {"TService", "IddZakaz"},
        {"TWork", "IddZakaz"},
        {"TPay", "IddPay"},
        {"TWorkPay", "IddPay"},
        {"SService", "IddService"},
        {"ServiceWork", "IddService"},
        {"SWork", "IddWork"},
        {"SBox", "IddBox"},
        {"SPlace", "IddPlace"},
        {"TTyre", "IddTyre"},
        {"SAvto", "IddAvto"},
        {"AvtoVlad", "IddAvto"},
        {"SClient", "IddClient"},
        {"SUser", "IddUser"},
        {"SMain", "IddMain"},
        {"Number", "iddnum"},
    };
    return tables;
}

void ChangeFeed::CreateTriggers(Database &db) {
    if (db.PostgresStyle()) {
        // The notice names the table as the schema does and the row's key; the channel is the schema's, so
        // that programs on other schemas of the server hear nothing of it.
        db.Exec(QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_tell_change() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
            "PERFORM pg_notify('zv ' || TG_TABLE_SCHEMA, TG_ARGV[0] || ':' || COALESCE((CASE WHEN TG_OP = "
            "'DELETE' THEN to_jsonb(OLD) ELSE to_jsonb(NEW) END) ->> TG_ARGV[1], '')); RETURN NULL; END $$"));
    } else {
        db.Exec(
            QStringLiteral("CREATE TABLE IF NOT EXISTS ZvChange (Serial INTEGER PRIMARY KEY, Tbl "
                           "VARCHAR(32) NOT NULL, Idd VARCHAR(255))"));
        // Every thousandth write the oldest beyond those kept go.
        db.Exec(
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS ZvChange_Prune AFTER INSERT ON ZvChange WHEN "
                           "NEW.Serial % 1000 = 0 BEGIN DELETE FROM ZvChange WHERE Serial <= NEW.Serial - "
                           "%1; END")
                .arg(kKeptWrites));
    }
    Tell(db);
}

void ChangeFeed::StopTelling(Database &db) {
    QStringList tables;
    for (const Watched &w : Tables()) tables << QString::fromLatin1(w.table);
    Schema::DropRowTriggers(db, QStringLiteral("ZvTell"), tables);
}

void ChangeFeed::StartTelling(Database &db) {
    StopTelling(db);
    Tell(db);
}

void ChangeFeed::Tell(Database &db) {
    for (const Watched &w : Tables()) {
        if (!Schema::TableExists(db, QLatin1StringView(w.table))) continue;
        if (db.PostgresStyle()) {
            db.Exec(
                QStringLiteral(
                    "CREATE OR REPLACE TRIGGER ZvTell_%1 AFTER INSERT OR UPDATE OR DELETE ON [%1] FOR EACH "
                    "ROW EXECUTE FUNCTION zv_tell_change('%1', '%2')")
                    .arg(QLatin1StringView(w.table), QString::fromLatin1(w.key).toLower()));
            continue;
        }
        for (const char *event : kEvents) db.Exec(SqliteTrigger(w, event));
    }
}

ChangeFeed::ChangeFeed(Database &db) : m_db(db), m_publish(new QTimer(this)), m_poll(new QTimer(this)) {
    // Writes that come together (a save and what its triggers did, notices arriving one by one) are
    // handed over together.
    m_publish->setSingleShot(true);
    m_publish->setInterval(20);
    connect(m_publish, &QTimer::timeout, this, &ChangeFeed::Publish);
    m_poll->setInterval(1000);
    connect(m_poll, &QTimer::timeout, this, &ChangeFeed::Poll);
}

ChangeFeed::~ChangeFeed() = default;

void ChangeFeed::SetPollInterval(int milliseconds) {
    m_poll->setInterval(milliseconds);
}

void ChangeFeed::Start() {
    m_started = true;
    if (m_db.m_sqliteFile) {
        m_lastSerial = LastSerial(m_db);
        m_dataVersion = DataVersion(m_db);
        m_poll->start();
        return;
    }
    if (!m_db.m_pg) return;
    QSqlQuery schema = m_db.Exec(QStringLiteral("SELECT current_schema()"));
    m_channel = QStringLiteral("zv ") + (schema.next() ? schema.value(0).toString() : QString());
    m_db.Exec(QStringLiteral("LISTEN \"%1\"").arg(QString(m_channel).replace(u'"', QStringLiteral("\"\""))));
    m_socket = std::make_unique<QSocketNotifier>(qintptr(PQsocket(m_db.m_pg)), QSocketNotifier::Read);
    connect(m_socket.get(), &QSocketNotifier::activated, this, [this] {
        if (!m_db.m_pg || PQconsumeInput(m_db.m_pg) == 0) {
            // The server went away: nothing more comes on this socket. The connection is opened again
            // as soon as the server answers (Poll), and listened to again there.
            m_socket->setEnabled(false);
            m_db.m_lost = true;
            m_poll->start();
            return;
        }
        TakeNotices();
    });
}

void ChangeFeed::Restart() {
    Detach();
    try {
        Start();
    } catch (const DbError &) {
        m_poll->start();  // tried again with the next statement the poll runs
    }
    // What was written while nobody listened is not known.
    m_pending.unknown = true;
    Soon();
}

void ChangeFeed::Detach() {
    m_socket.reset();
    m_poll->stop();
}

void ChangeFeed::AfterWrite() {
    if (!m_started) return;
    if (m_db.m_pg)
        TakeNotices();
    else
        Soon();
}

void ChangeFeed::Soon() {
    if (!m_publish->isActive()) m_publish->start();
}

void ChangeFeed::TakeNotices() {
    // While a list is still coming on the connection its notices wait; its end takes them.
    if (m_db.m_stream) return;
    while (PGnotify *notice = PQnotifies(m_db.m_pg)) {
        if (QString::fromUtf8(notice->relname) == m_channel) {
            const QString extra = QString::fromUtf8(notice->extra);
            const qsizetype colon = extra.indexOf(u':');
            if (colon > 0) Note(extra.left(colon), extra.mid(colon + 1));
        }
        PQfreemem(notice);
    }
    if (!m_pending.Empty()) Soon();
}

void ChangeFeed::Note(const QString &table, const QString &key) {
    if (m_pending.unknown) return;
    QSet<QString> &keys = m_pending.keys[table];
    keys.insert(key);
    if (keys.size() > kMostKeys) {
        m_pending.keys.clear();
        m_pending.unknown = true;
    }
}

void ChangeFeed::ReadRecorded() {
    QSqlQuery rows = m_db.Exec(
        QStringLiteral("SELECT Serial, Tbl, Idd FROM ZvChange WHERE Serial > ? ORDER BY Serial LIMIT ?"),
        {m_lastSerial, kMostKeys + 1});
    int count = 0;
    while (rows.next()) {
        const qint64 serial = rows.value(0).toLongLong();
        // The writes just after the last one read were dropped already: this program fell too far behind.
        if (count == 0 && serial != m_lastSerial + 1) m_pending.unknown = true;
        m_lastSerial = serial;
        Note(rows.value(1).toString(), rows.value(2).toString());
        ++count;
    }
    if (count > kMostKeys) {
        m_pending.unknown = true;
        m_lastSerial = LastSerial(m_db);
    }
}

void ChangeFeed::Poll() {
    if (m_db.TransactionDepth() > 0) return;
    try {
        if (m_db.m_sqliteFile) {
            const qint64 now = DataVersion(m_db);
            if (now == m_dataVersion) return;
            m_dataVersion = now;
            Soon();
            return;
        }
        // PostgreSQL after a lost connection: any statement opens it again, and the reconnect starts the
        // feed once more (which stops this timer).
        m_db.Exec(QStringLiteral("SELECT 1"));
    } catch (const DbError &) {
        // Tried again on the next tick.
    }
}

void ChangeFeed::Publish() {
    if (m_db.TransactionDepth() > 0) {
        // Told once the transaction is over: a screen must not read what may yet be rolled back.
        m_publish->start();
        return;
    }
    try {
        if (m_db.m_sqliteFile) ReadRecorded();
    } catch (const DbError &) {
        // Read on the next look at the data version.
        m_dataVersion = -1;
        return;
    }
    if (m_pending.Empty()) return;
    const DataChanges changes = std::move(m_pending);
    m_pending = DataChanges();
    emit Changed(changes);
}
