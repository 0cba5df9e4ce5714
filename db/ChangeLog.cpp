#include "ChangeLog.h"

#include "Database.h"
#include "DbError.h"
#include "Schema.h"

#include <sqlite3.h>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSysInfo>

namespace {

const char *const kEvents[] = {"INSERT", "UPDATE", "DELETE"};

// The order number of the row's order, for the rows that belong to one.
const char *const kOrderNumber = "(SELECT ZakazNomer FROM TZakaz WHERE IddZakaz = %R.IddZakaz)";

QString Over(const char *sql, const QString &row) {
    return sql ? QString::fromLatin1(sql).replace(QStringLiteral("%R"), row) : QStringLiteral("NULL");
}

QString OrderNumberOf(const ChangeLog::Logged &t, const QString &row) {
    if (qstrcmp(t.table, "TZakaz") == 0) return row + QStringLiteral(".ZakazNomer");
    return t.order ? Over(kOrderNumber, row) : QStringLiteral("NULL");
}

const char *const kColumns = "At, UserName, Host, Tbl, Idd, IddZakaz, Nomer, Action, Label, Changes";

// SQLite: a trigger per table and event. The changed fields are gathered by a compound select of one row
// per column that differs, made from the table's columns as the database has them (an upgrade adds its
// columns after the log is made).
QString SqliteTrigger(Database &db, const ChangeLog::Logged &t, const char *event) {
    const bool insert = qstrcmp(event, "INSERT") == 0, update = qstrcmp(event, "UPDATE") == 0;
    const QString row = insert || update ? QStringLiteral("NEW") : QStringLiteral("OLD");
    QStringList pairs;
    QSqlQuery columns =
        db.Exec(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(QLatin1StringView(t.table)));
    while (columns.next()) {
        const QString name = columns.value(0).toString();
        if (t.left && name.compare(QLatin1StringView(t.left), Qt::CaseInsensitive) == 0) continue;
        const QString column = u'[' + name + u']';
        const bool secret = t.secret && name.compare(QLatin1StringView(t.secret), Qt::CaseInsensitive) == 0;
        const auto value = [&](const QString &which) {
            const QString v = which + u'.' + column;
            return secret ? QStringLiteral("CASE WHEN %1 IS NULL THEN NULL ELSE '***' END").arg(v) : v;
        };
        const QString oldValue = insert ? QStringLiteral("NULL") : value(QStringLiteral("OLD"));
        const QString newValue = !insert && !update ? QStringLiteral("NULL") : value(QStringLiteral("NEW"));
        const QString differs = update ? QStringLiteral("OLD.%1 IS NOT NEW.%1").arg(column)
                                       : QStringLiteral("%1.%2 IS NOT NULL").arg(row, column);
        pairs << QStringLiteral("SELECT '%1' AS k, %2 AS o, %3 AS n WHERE %4")
                     .arg(name, oldValue, newValue, differs);
    }
    columns.finish();
    QString action = QStringLiteral("'%1'").arg(QLatin1Char(event[0]));
    if (update && t.deleted)
        action = QStringLiteral(
                     "CASE WHEN OLD.[%1] IS NOT NEW.[%1] THEN CASE WHEN NEW.[%1] THEN 'X' ELSE 'R' END "
                     "ELSE 'U' END")
                     .arg(QLatin1StringView(t.deleted));
    return QStringLiteral(
               "CREATE TRIGGER IF NOT EXISTS ZvLog_%1_%2 AFTER %2 ON [%1] BEGIN INSERT INTO ZvLog (%3) "
               "SELECT "
               "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), (SELECT Login FROM ZvWho WHERE Id = 1), "
               "(SELECT Host FROM ZvWho WHERE Id = 1), '%1', %4.[%5], %6, %7, %8, %9, "
               "json_group_object(k, json_array(o, n)) FROM (%10)%11; END")
        .arg(QLatin1StringView(t.table), QLatin1StringView(event), QLatin1StringView(kColumns), row,
             QLatin1StringView(t.key), Over(t.order, row), OrderNumberOf(t, row), action, Over(t.label, row))
        .arg(pairs.join(QStringLiteral(" UNION ALL ")),
             update ? QStringLiteral(" HAVING count(*) > 0") : QString());
}

// PostgreSQL: a function per table, run as the tables' owner. The changed fields are the keys whose values
// differ between the old and the new row as JSON (a value that is null on both sides is no change).
QString PostgresFunction(const ChangeLog::Logged &t) {
    const QString table = QString::fromLatin1(t.table).toLower();
    QString masked;
    if (t.secret) {
        const QString key = QString::fromLatin1(t.secret).toLower();
        masked = QStringLiteral(
                     "IF d ? '%1' THEN d := d || jsonb_build_object('%1', jsonb_build_array(CASE WHEN "
                     "d->'%1'->>0 IS NULL THEN NULL ELSE '***' END, CASE WHEN d->'%1'->>1 IS NULL THEN NULL "
                     "ELSE '***' END)); END IF; ")
                     .arg(key);
    }
    QString action;
    if (t.deleted)
        action = QStringLiteral(
                     "IF TG_OP = 'UPDATE' AND d ? '%1' THEN act := CASE WHEN (d->'%1'->>1)::boolean THEN 'X' "
                     "ELSE 'R' END; END IF; ")
                     .arg(QString::fromLatin1(t.deleted).toLower());
    const QString left =
        t.left ? QStringLiteral(" - '%1'").arg(QString::fromLatin1(t.left).toLower()) : QString();
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION zv_log_%1() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER SET "
               "search_path FROM CURRENT AS $$ DECLARE r %1; o jsonb; n jsonb; d jsonb; act text := "
               "left(TG_OP, 1); BEGIN "
               "IF TG_OP = 'DELETE' THEN r := OLD; ELSE r := NEW; END IF; "
               "IF TG_OP <> 'INSERT' THEN o := to_jsonb(OLD)%2; END IF; "
               "IF TG_OP <> 'DELETE' THEN n := to_jsonb(NEW)%2; END IF; "
               "SELECT jsonb_object_agg(k, jsonb_build_array(o -> k, n -> k)) INTO d FROM jsonb_object_keys("
               "COALESCE(n, o)) k WHERE COALESCE(o -> k, 'null') IS DISTINCT FROM COALESCE(n -> k, 'null'); "
               "IF d IS NULL THEN IF TG_OP = 'UPDATE' THEN RETURN NULL; END IF; d := '{}'; END IF; "
               "%3%4"
               "INSERT INTO ZvLog (%5) VALUES (date_trunc('second', LOCALTIMESTAMP), session_user, "
               "COALESCE(NULLIF(current_setting("
               "'zv.host', true), ''), host(inet_client_addr()), 'local'), '%6', r.%7, %8, %9, act, %10, "
               "d::text); RETURN NULL; END $$")
        .arg(table, left, masked, action, QLatin1StringView(kColumns), QLatin1StringView(t.table),
             QString::fromLatin1(t.key).toLower(), Over(t.order, QStringLiteral("r")),
             OrderNumberOf(t, QStringLiteral("r")))
        .arg(Over(t.label, QStringLiteral("r")));
}

}  // namespace

namespace ChangeLog {

const QList<Logged> &Tables() {
    static const QList<Logged> tables = {
        {"TZakaz", "IddZakaz", "%R.IddZakaz", "%R.ZakazNomer", "Delete", nullptr, "ZakazOplata"},
        {"TService", "IddZakaz", "%R.IddZakaz", "%R.[Name]", "Delete", nullptr},
        {"TWork", "IddZakaz", "%R.IddZakaz", "%R.WorkFIO", "Delete", nullptr},
        {"TPay", "IddPay", "%R.IddZakaz", "%R.NomerPay", "Delete", nullptr},
        {"TWorkPay", "IddPay", nullptr, "(SELECT WorkFIO FROM SWork WHERE IddWork = %R.IddWork)",
         "DeleteWorkPay", nullptr},
        {"SService", "IddService", nullptr, "%R.[Name]", "Delete", nullptr},
        {"ServiceWork", "IddService", nullptr, "(SELECT WorkFIO FROM SWork WHERE IddWork = %R.IddWork)",
         "Delete", nullptr},
        {"SWork", "IddWork", nullptr, "%R.WorkFIO", "Delete", nullptr},
        {"SBox", "IddBox", nullptr, "%R.NameBox", "Delete", nullptr},
        {"SPlace", "IddPlace", nullptr, "%R.Rack || ' ' || %R.Shelf || ' ' || %R.Cell", "Delete", nullptr},
        {"TTyre", "IddTyre", "%R.IddZakaz", "%R.Code", "Delete", nullptr},
        {"SAvto", "IddAvto", nullptr, "%R.AvtoNomer", nullptr, nullptr},
        {"AvtoVlad", "IddAvto", nullptr, "(SELECT ClientName FROM SClient WHERE IddClient = %R.IddVlad)",
         "Delete", nullptr},
        {"SClient", "IddClient", nullptr, "%R.ClientName", nullptr, nullptr},
        {"SUser", "IddUser", nullptr, "%R.Login", "Delete", "Pass"},
        {"SMain", "IddMain", nullptr, "%R.MainName", nullptr, nullptr},
        {"Number", "iddnum", nullptr, "%R.ZakazPr", nullptr, nullptr},
    };
    return tables;
}

QString Workstation() {
    static const QString name = [] {
        const QString host = QSysInfo::machineHostName();
        return host.isEmpty() ? QStringLiteral("local") : host;
    }();
    return name;
}

void Create(Database &db) {
    const bool pg = db.PostgresStyle();
    db.Exec(QStringLiteral(
                "CREATE TABLE IF NOT EXISTS ZvLog (Serial %1 PRIMARY KEY, At TIMESTAMP NOT NULL, UserName "
                "VARCHAR(255), Host VARCHAR(255), Tbl VARCHAR(32) NOT NULL, Idd VARCHAR(255), IddZakaz "
                "VARCHAR(255), "
                "Nomer VARCHAR(255), Action CHAR(1) NOT NULL, Label VARCHAR(2000), Changes TEXT)")
                .arg(pg ? QStringLiteral("BIGSERIAL") : QStringLiteral("INTEGER")));
    // The newest first: walked from its end, the index hands over a period's newest entries without sorting.
    db.Exec(QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ZvLog_At ON ZvLog (At, Serial)"));
    db.Exec(QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ZvLog_Order ON ZvLog (IddZakaz, At)"));
    db.Exec(QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ZvLog_Key ON ZvLog (Idd, Tbl, At)"));
    if (pg) {
        for (const Logged &t : Tables()) {
            if (!Schema::TableExists(db, QLatin1StringView(t.table))) continue;
            db.Exec(PostgresFunction(t));
            const QString table = QLatin1StringView(t.table), function = table.toLower();
            db.Exec(QStringLiteral(
                        "CREATE OR REPLACE TRIGGER ZvLog_%1 AFTER INSERT OR DELETE ON [%1] FOR EACH ROW "
                        "EXECUTE FUNCTION zv_log_%2()")
                        .arg(table, function));
            // A save rewrites an order's unchanged lines and workers: the server passes over those rows
            // without calling the function.
            db.Exec(QStringLiteral(
                        "CREATE OR REPLACE TRIGGER ZvLog_%1_UPDATE AFTER UPDATE ON [%1] FOR EACH ROW WHEN "
                        "(OLD.* IS DISTINCT FROM NEW.*) EXECUTE FUNCTION zv_log_%2()")
                        .arg(table, function));
        }
        // Archiving is the one way entries leave the log: only before a moment, and it is logged itself.
        db.Exec(QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_log_archive(before TIMESTAMP) RETURNS BIGINT LANGUAGE plpgsql "
            "SECURITY "
            "DEFINER SET search_path FROM CURRENT AS $$ DECLARE moved BIGINT; BEGIN DELETE FROM ZvLog WHERE "
            "At < "
            "before; GET DIAGNOSTICS moved = ROW_COUNT; INSERT INTO ZvLog (At, UserName, Host, Tbl, Action, "
            "Label) "
            "VALUES (date_trunc('second', LOCALTIMESTAMP), session_user, "
            "COALESCE(NULLIF(current_setting('zv.host', true), ''), "
            "host(inet_client_addr()), 'local'), 'ZvLog', 'A', moved || ' < ' || to_char(before, "
            "'DD.MM.YYYY HH24:MI')); RETURN moved; END $$"));
        db.Exec(QStringLiteral("REVOKE ALL ON FUNCTION zv_log_archive(TIMESTAMP) FROM PUBLIC"));
        return;
    }
    db.Exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS ZvWho (Id INTEGER PRIMARY KEY, Login VARCHAR(255), Host VARCHAR(255), "
        "Archive INTEGER NOT NULL DEFAULT 0)"));
    db.Exec(
        QStringLiteral("CREATE TRIGGER IF NOT EXISTS ZvLog_Keep_Update BEFORE UPDATE ON ZvLog BEGIN SELECT "
                       "RAISE(ABORT, 'change log entries cannot be changed'); END"));
    db.Exec(QStringLiteral(
        "CREATE TRIGGER IF NOT EXISTS ZvLog_Keep_Delete BEFORE DELETE ON ZvLog WHEN NOT EXISTS "
        "(SELECT 1 FROM ZvWho WHERE Archive = 1) BEGIN SELECT RAISE(ABORT, 'change log entries "
        "cannot be deleted'); END"));
    for (const Logged &t : Tables())
        if (Schema::TableExists(db, QLatin1StringView(t.table)))
            for (const char *event : kEvents) db.Exec(SqliteTrigger(db, t, event));
}

void Stop(Database &db) {
    QStringList tables;
    for (const Logged &t : Tables()) tables << QString::fromLatin1(t.table);
    Schema::DropRowTriggers(db, QStringLiteral("ZvLog"), tables);
}

qint64 Archive(Database &db, const QDateTime &before, const QString &archive) {
    if (!before.isValid())
        throw DbError(QStringLiteral("Укажите дату, до которой записи переносятся в архив."));
    if (before > QDateTime::currentDateTime())
        throw DbError(QStringLiteral(
            "В архив переносятся только прошедшие записи: укажите дату не позже сегодняшней."));
    // First the archive holds them, then the log lets them go.
    const QString columns = QStringLiteral("Serial, ") + QLatin1StringView(kColumns);
    qint64 moved = 0;
    QSqlQuery rows =
        db.Exec(QStringLiteral("SELECT %1 FROM ZvLog WHERE At < ? ORDER BY Serial").arg(columns), {before});
    {
        ConnectTarget target;
        target.dialect = Dialect::Sqlite;
        target.file = archive;
        std::unique_ptr<Database> file = Database::Open(target);
        Transaction tx(*file);
        const QString insert =
            QStringLiteral("INSERT OR IGNORE INTO ZvLog (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(columns);
        while (rows.next()) {
            ++moved;
            QVariantList values;
            for (int i = 0; i < 11; ++i) values << rows.value(i);
            values[1] = rows.value(1).toDateTime();
            file->Exec(insert, values);
        }
        tx.Commit();
    }
    rows.finish();
    Transaction tx(db);
    if (db.PostgresStyle()) {
        db.Exec(QStringLiteral("SELECT zv_log_archive(?)"), {before});
    } else {
        // Entries made since they were read are newer than `before` and stay.
        db.Exec(QStringLiteral("UPDATE ZvWho SET Archive = 1"));
        db.Exec(QStringLiteral("DELETE FROM ZvLog WHERE At < ?"), {before});
        db.Exec(QStringLiteral("UPDATE ZvWho SET Archive = 0"));
        db.Exec(
            QStringLiteral(
                "INSERT INTO ZvLog (At, UserName, Host, Tbl, Action, Label) SELECT strftime('%Y-%m-%d "
                "%H:%M:%S', 'now', 'localtime'), Login, Host, 'ZvLog', 'A', ? FROM ZvWho WHERE Id = 1"),
            {QStringLiteral("%1 < %2").arg(moved).arg(before.toString(QStringLiteral("dd.MM.yyyy HH:mm")))});
    }
    tx.Commit();
    return moved;
}

std::unique_ptr<Database> OpenArchive(const QString &archive) {
    const QString refusal = QStringLiteral("Файл \"%1\" не является архивом журнала изменений.").arg(archive);
    if (!QFileInfo(archive).isFile()) throw DbError(refusal);
    // Looked at read-only first: opening it as a database would make the program's tables in any file.
    sqlite3 *file = nullptr;
    bool logged = false;
    if (sqlite3_open_v2(archive.toUtf8().constData(), &file, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *look = nullptr;
        if (sqlite3_prepare_v2(file, "SELECT 1 FROM sqlite_master WHERE name = 'ZvLog'", -1, &look,
                               nullptr) == SQLITE_OK)
            logged = sqlite3_step(look) == SQLITE_ROW;
        sqlite3_finalize(look);
    }
    sqlite3_close(file);
    if (!logged) throw DbError(refusal);
    ConnectTarget target;
    target.file = archive;
    return Database::Open(target);
}

}  // namespace ChangeLog
