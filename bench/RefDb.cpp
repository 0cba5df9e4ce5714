#include "RefDb.h"

#include "ChangeFeed.h"
#include "ChangeLog.h"
#include "ConnectString.h"
#include "Database.h"
#include "DbError.h"
#include "RefDbGenerator.h"
#include "RefDbWriter.h"
#include "Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <ctime>

namespace {

// Raise when the generator's rows or the schema's indexes change, so kept databases are made again.
constexpr int kGeneratorVersion = 11;

// The change log of the last year, as the counters would have written it: each order taken in, started and
// finished, its lines and workers, each payment taken and those deleted, by the user whose login begins the
// record's key, at the moment the record names. Written in a few statements rather than through the
// triggers (which log every row of the years the generator writes).
void WriteYearOfLog(Database &db) {
    const bool pg = db.PostgresStyle();
    const QString object = pg ? QStringLiteral("json_build_object") : QStringLiteral("json_object");
    const QString array = pg ? QStringLiteral("json_build_array") : QStringLiteral("json_array");
    const QString text = pg ? QStringLiteral("::text") : QString();
    const auto user = [](const QString &key) {
        return QStringLiteral(
                   "CASE WHEN %1 LIKE 'kassa1%' THEN 'kassa1' WHEN %1 LIKE 'kassa2%' THEN 'kassa2' WHEN "
                   "%1 LIKE 'master%' THEN 'master' ELSE 'admin' END")
            .arg(key);
    };
    const auto pair = [&](const QString &name, const QString &before, const QString &after) {
        return QStringLiteral("'%1', %2(%3, %4)").arg(name, array, before, after);
    };
    QSqlQuery last = db.Exec(QStringLiteral("SELECT MAX(ZakazData) FROM TZakaz"));
    const QDateTime from = last.next() ? last.value(0).toDateTime().addYears(-1) : QDateTime();
    last.finish();
    const QString insert = QStringLiteral(
        "INSERT INTO ZvLog (At, UserName, Host, Tbl, Idd, IddZakaz, Nomer, Action, Label, Changes) ");
    const QString orderWho = user(QStringLiteral("z.IddZakaz")) + QStringLiteral(", 'kassa-' || ") +
                             user(QStringLiteral("z.IddZakaz"));
    // The order taken in, then marked started and finished.
    db.Exec(insert +
                QStringLiteral("SELECT z.ZakazData, %1, 'TZakaz', z.IddZakaz, z.IddZakaz, z.ZakazNomer, 'I', "
                               "z.ZakazNomer, %2(%3, %4)%5 FROM TZakaz z WHERE z.ZakazData >= ?")
                    .arg(orderWho, object,
                         pair(QStringLiteral("ZakazNomer"), QStringLiteral("NULL"),
                              QStringLiteral("z.ZakazNomer")),
                         pair(QStringLiteral("ZakazSumma"), QStringLiteral("NULL"),
                              QStringLiteral("z.ZakazSumma")),
                         text),
            {from});
    for (const auto &[moment, status] : {std::pair{"ZakazBeginIn", 1}, std::pair{"ZakazEndOut", 2}})
        db.Exec(
            insert + QStringLiteral("SELECT z.%1, %2, 'TZakaz', z.IddZakaz, z.IddZakaz, z.ZakazNomer, 'U', "
                                    "z.ZakazNomer, %3(%4, %5)%6 FROM TZakaz z WHERE z.ZakazData >= ? AND "
                                    "z.%1 IS NOT NULL")
                         .arg(QLatin1StringView(moment), orderWho, object,
                              pair(QStringLiteral("ZakazStatus"), QString::number(status - 1),
                                   QString::number(status)),
                              pair(QLatin1StringView(moment), QStringLiteral("NULL"),
                                   QStringLiteral("z.") + QLatin1StringView(moment)),
                              text),
            {from});
    db.Exec(
        insert +
            QStringLiteral("SELECT z.ZakazData, %1, 'TService', z.IddZakaz, z.IddZakaz, z.ZakazNomer, 'I', "
                           "s.[Name], %2(%3, %4)%5 FROM TZakaz z JOIN TService s ON s.IddZakaz = z.IddZakaz "
                           "WHERE z.ZakazData >= ?")
                .arg(orderWho, object,
                     pair(QStringLiteral("Name"), QStringLiteral("NULL"), QStringLiteral("s.[Name]")),
                     pair(QStringLiteral("Price"), QStringLiteral("NULL"), QStringLiteral("s.Price")), text),
        {from});
    db.Exec(
        insert +
            QStringLiteral("SELECT z.ZakazData, %1, 'TWork', z.IddZakaz, z.IddZakaz, z.ZakazNomer, 'I', "
                           "w.WorkFIO, %2(%3)%4 FROM TZakaz z JOIN TWork w ON w.IddZakaz = z.IddZakaz WHERE "
                           "z.ZakazData >= ?")
                .arg(orderWho, object,
                     pair(QStringLiteral("WorkFIO"), QStringLiteral("NULL"), QStringLiteral("w.WorkFIO")),
                     text),
        {from});
    const QString payWho = user(QStringLiteral("p.IddPay")) + QStringLiteral(", 'kassa-' || ") +
                           user(QStringLiteral("p.IddPay"));
    db.Exec(insert + QStringLiteral(
                         "SELECT p.DataPay, %1, 'TPay', p.IddPay, p.IddZakaz, z.ZakazNomer, 'I', p.NomerPay, "
                         "%2(%3)%4 FROM TPay p LEFT JOIN TZakaz z ON z.IddZakaz = p.IddZakaz WHERE "
                         "p.DataPay >= ?")
                         .arg(payWho, object,
                              pair(QStringLiteral("SummaPay"), QStringLiteral("NULL"),
                                   QStringLiteral("p.SummaPay")),
                              text),
            {from});
    db.Exec(insert + QStringLiteral(
                         "SELECT p.DataPay, %1, 'TPay', p.IddPay, p.IddZakaz, z.ZakazNomer, 'X', p.NomerPay, "
                         "%2(%3)%4 FROM TPay p LEFT JOIN TZakaz z ON z.IddZakaz = p.IddZakaz WHERE "
                         "p.DataPay >= ? AND p.[Delete] = TRUE")
                         .arg(payWho, object,
                              pair(QStringLiteral("Delete"), QStringLiteral("FALSE"), QStringLiteral("TRUE")),
                              text),
            {from});
}

const char *kInfoColumns = "Tag, Seconds, Orders, Lines, LineWorkers, Payments, Clients, Cars";

// A plain connection beside the program's own, to look at or reset a kept database without creating the
// schema in it.
class PlainConnection {
public:
    explicit PlainConnection(const BenchTarget &target) : m_name(QStringLiteral("zv-bench-plain")) {
        QSqlDatabase db;
        if (target.postgres()) {
            const ConnectTarget pg = ParseConnectString(QStringLiteral("PGSQL;") + target.where());
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            db.setHostName(pg.host);
            if (pg.port > 0) db.setPort(pg.port);
            db.setDatabaseName(pg.dbname);
            db.setUserName(pg.user);
            db.setPassword(pg.password);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
            db.setDatabaseName(target.where());
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        }
        if (!db.open()) {
            const QString text = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw DbError(text);
        }
    }
    ~PlainConnection() {
        { QSqlDatabase::database(m_name, false).close(); }
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlQuery Query() const { return QSqlQuery(QSqlDatabase::database(m_name, false)); }
    void Exec(const QString &sql) const {
        QSqlQuery q = Query();
        if (!q.exec(sql)) throw DbError(q.lastError().text());
    }

private:
    QString m_name;
};

bool ReadInfo(const PlainConnection &conn, const QString &table, const QString &tag, RefDb::Outcome *out) {
    QSqlQuery q = conn.Query();
    if (!q.exec(QStringLiteral("SELECT %1 FROM %2").arg(QString::fromLatin1(kInfoColumns), table)) ||
        !q.next())
        return false;
    if (q.value(0).toString() != tag) return false;
    out->seconds = q.value(1).toDouble();
    out->counts.orders = q.value(2).toInt();
    out->counts.lines = q.value(3).toInt();
    out->counts.lineWorkers = q.value(4).toInt();
    out->counts.payments = q.value(5).toInt();
    out->counts.clients = q.value(6).toInt();
    out->counts.cars = q.value(7).toInt();
    return true;
}

}  // namespace

QString RefDb::Tag(double scale, std::uint64_t seed, double unpaid) {
    QByteArray layout = QByteArray::number(Schema::kVersion);
    for (const TableDef &t : Schema::Tables()) {
        layout += ';';
        layout += t.name;
        for (const ColumnDef &c : t.columns)
            layout += ',' + QByteArray(c.name) + ':' + QByteArray::number(int(c.type));
    }
    const QString digest =
        QString::fromLatin1(QCryptographicHash::hash(layout, QCryptographicHash::Md5).toHex().left(12));
    return QStringLiteral("refdb %1; scale %2; seed %3; unpaid %4; schema %5")
        .arg(kGeneratorVersion)
        .arg(QString::number(scale))
        .arg(seed)
        .arg(QString::number(unpaid))
        .arg(digest);
}

RefDb::Outcome RefDb::Ensure(const BenchTarget &target, double scale, bool force) {
    const QString tag = Tag(scale, kSeed, target.unpaid());
    Outcome kept;
    if (target.postgres()) {
        const QString schema = target.Schema(scale);
        {
            PlainConnection conn(target);
            if (!force && ReadInfo(conn, schema + QStringLiteral(".ZvBenchRef"), tag, &kept)) return kept;
            conn.Exec(QStringLiteral("SET client_min_messages TO WARNING"));
            conn.Exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
            conn.Exec(QStringLiteral("CREATE SCHEMA %1").arg(schema));
        }
    } else {
        const QString &file = target.where();
        if (QFileInfo::exists(file)) {
            {
                PlainConnection conn(target);
                if (!force && ReadInfo(conn, QStringLiteral("ZvBenchRef"), tag, &kept)) return kept;
            }
            for (const char *tail : {"", "-wal", "-shm", "-journal"})
                QFile::remove(file + QLatin1String(tail));
        }
        QDir().mkpath(QFileInfo(file).absolutePath());
    }
    std::unique_ptr<Database> db = Database::Open(target.Connect(scale));
    return Generate(*db, scale, kSeed, target.unpaid());
}

RefDb::Outcome RefDb::Generate(Database &db, double scale, std::uint64_t seed, double unpaid) {
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    const bool pg = db.PostgresStyle();
    // Nothing here is worth keeping after a crash: it is made again (the record of a finished generation is
    // written last). SQLite writes each page once, without the journal, and goes back to WAL at the end.
    if (pg)
        db.Exec(QStringLiteral("SET synchronous_commit TO OFF"));
    else
        for (const char *pragma :
             {"PRAGMA journal_mode=OFF", "PRAGMA synchronous=OFF", "PRAGMA cache_size=-262144"})
            db.Exec(QString::fromLatin1(pragma));

    RefDbGenerator generator(scale, seed, unpaid);
    Schema::StopKeepingWorkEarn(db);
    ChangeFeed::StopTelling(db);
    ChangeLog::Stop(db);
    {
        RefDbWriter writer(db);
        generator.Run(writer);
        writer.Finish();
    }
    const RefDbCounts &c = generator.counts();
    // The tables are written in batches, a payment possibly before its order: what each order was paid and
    // what each worker earned on it are worked out once at the end.
    Schema::RefreshAllOrdersPaid(db);
    Schema::KeepWorkEarn(db);
    ChangeFeed::StartTelling(db);
    WriteYearOfLog(db);
    ChangeLog::Create(db);
    db.Exec(
        QStringLiteral("UPDATE [Number] SET ZakazNomer = ?, PayNomer = ?, OutPayNomer = ?, SalaryNomer = ? "
                       "WHERE iddnum = ?"),
        {c.lastOrderNumber, c.lastPayNumber, c.lastOutPayNumber, c.lastSalaryNumber, QStringLiteral("1")});
    // The shop works from 8 to 20, the hours its orders are planned in.
    db.Exec(QStringLiteral(
                "UPDATE SMain SET MainName = ?, MainFullName = ?, MainINN = ?, MainOpen = ?, MainClose = ? "
                "WHERE IddMain = ?"),
            {QStringLiteral("ООО «Квельмарод»"),
             QStringLiteral("Общество с ограниченной ответственностью «Квельмарод»"),
             QStringLiteral("7701234567/770101001"), QStringLiteral("08:00"), QStringLiteral("20:00"),
             QStringLiteral("1")});
    // PostgreSQL's autovacuum would soon do the same; SQLite is left without statistics, as the program
    // never gathers them in a shop's file.
    if (pg) {
        // Only the tables made here: the whole database may hold other schemas of any size.
        QStringList tables;
        for (const TableDef &t : Schema::Tables()) tables << QString::fromLatin1(t.name);
        tables << QStringLiteral("ZvLog");
        db.Exec(QStringLiteral("VACUUM ANALYZE ") + tables.join(QStringLiteral(", ")));
    } else {
        db.Exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        db.Exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }

    Outcome out;
    out.generated = true;
    out.counts = c;
    out.seconds = double(timer.nsecsElapsed()) / 1e9;
    out.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    db.Exec(QStringLiteral(
        "CREATE TABLE ZvBenchRef (Tag VARCHAR(255), Seconds DOUBLE PRECISION, Orders INTEGER, "
        "Lines INTEGER, LineWorkers INTEGER, Payments INTEGER, Clients INTEGER, Cars INTEGER)"));
    db.Exec(QStringLiteral("INSERT INTO ZvBenchRef (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(QString::fromLatin1(kInfoColumns)),
            {Tag(scale, seed), out.seconds, c.orders, c.lines, c.lineWorkers, c.payments, c.clients, c.cars});
    return out;
}
