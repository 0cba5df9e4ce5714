#include "Schema.h"
#include "SchemaParts.h"

#include "ChangeFeed.h"
#include "ChangeLog.h"
#include "Database.h"
#include "DbError.h"
#include "Password.h"
#include "ServerRoles.h"
#include "UserInfo.h"

#include <QSet>
#include <QSqlQuery>

namespace {

using enum ColType;
using namespace SchemaParts;

void SetVersion(Database &db, int version) {
    if (!HasTable(db, QStringLiteral("ZvSchema"))) {
        db.Exec(QStringLiteral("CREATE TABLE ZvSchema (Version INTEGER NOT NULL)"));
        db.Exec(QStringLiteral("INSERT INTO ZvSchema (Version) VALUES (?)"), {version});
        return;
    }
    db.Exec(QStringLiteral("UPDATE ZvSchema SET Version = ?"), {version});
}

void Create(Database &db) {
    for (const TableDef &t : Schema::Tables()) CreateTable(db, t);
    for (const IndexDef &ix : Indexes()) CreateIndex(db, ix);
    CreatePaidTriggers(db);
    CreateWorkEarn(db);
    ChangeFeed::CreateTriggers(db);
    CreateDebtViews(db);

    db.Exec(QStringLiteral("INSERT INTO SMain (IddMain) VALUES (?)"), {QStringLiteral("1")});
    db.Exec(QStringLiteral(
                "INSERT INTO [Number] (iddnum, ZakazPr, ZakazNomer, PayNomer, OutPayNomer, SalaryNomer) "
                "VALUES (?, ?, 0, 0, 0, 0)"),
            {QStringLiteral("1"), QStringLiteral("")});
    ChangeLog::Create(db);
    SetVersion(db, Schema::kVersion);
}

// Version 1 -> 2.
void UpgradeTo2(Database &db) {
    if (db.PostgresStyle()) {
        // Version 1 kept long columns in 32 bits and every text in 255 characters.
        for (const TableDef &t : Schema::Tables())
            for (const ColumnDef &c : t.columns)
                if (t.since == 1 && (c.type == Long || (c.type == Text && c.maxLength > 255)))
                    db.Exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3")
                                .arg(Bracket(t.name), Bracket(c.name), TypeName(c, true)));
    }
    // A car linked twice to one owner keeps its oldest live link; the others are marked deleted, which is
    // what removing an owner does anyway.
    db.Exec(QStringLiteral(
                "UPDATE AvtoVlad SET [Delete] = ? WHERE [Delete] = ? AND EXISTS (SELECT 1 FROM AvtoVlad o "
                "WHERE o.IddAvto = AvtoVlad.IddAvto AND o.IddVlad = AvtoVlad.IddVlad AND o.[Delete] = ? "
                "AND o.IddAvtoVlad < AvtoVlad.IddAvtoVlad)"),
            {true, false, false});
    // Live users sharing a login are told apart by a number after it; they log in by name, so nobody is
    // locked out, and the keys they make from now on differ.
    QSet<QString> taken;
    QList<std::pair<QString, QString>> renames;
    {
        QSqlQuery q = db.Exec(QStringLiteral("SELECT IddUser, Login FROM SUser WHERE [Delete] = ? "
                                             "ORDER BY Login, IddUser"),
                              {false});
        QStringList logins;
        QList<QString> users;
        while (q.next()) {
            users << q.value(0).toString();
            logins << q.value(1).toString();
        }
        for (const QString &l : logins) taken.insert(l);
        QSet<QString> seen;
        for (qsizetype i = 0; i < users.size(); ++i) {
            if (!seen.contains(logins[i])) {
                seen.insert(logins[i]);
                continue;
            }
            QString fresh;
            for (int n = 2; fresh.isEmpty() || taken.contains(fresh); ++n)
                fresh = logins[i] + QString::number(n);
            taken.insert(fresh);
            renames << std::pair{users[i], fresh};
        }
    }
    for (const auto &[iddUser, login] : renames)
        db.Exec(QStringLiteral("UPDATE SUser SET Login = ? WHERE IddUser = ?"), {login, iddUser});
    for (const IndexDef &ix : Indexes())
        if (ix.since == 2) CreateIndex(db, ix);
}

// Version 2 -> 3: orders keep their totals, and the debt views read them.
void UpgradeTo3(Database &db) {
    for (const char *column : {"ZakazSumma", "ZakazSummaNDS"})
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN %1 %2 DEFAULT 0")
                    .arg(Bracket(column), TypeName(ColumnDef{column, Double}, db.PostgresStyle())));
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderTotalsSet());
    // The debt views are made again by the next step, over the columns it adds.
    db.Exec(QStringLiteral("DROP VIEW TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW TClientDolg"));
}

// Version 3 -> 4: orders keep what was paid on them, and clients are found by INN through an index.
void UpgradeTo4(Database &db) {
    db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN ZakazOplata %1 DEFAULT 0")
                .arg(TypeName(ColumnDef{"ZakazOplata", Double}, db.PostgresStyle())));
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderPaidSet());
    CreatePaidTriggers(db);
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolg"));
    CreateDebtViews(db);
    for (const IndexDef &ix : Indexes())
        if (ix.since == 4) CreateIndex(db, ix);
}

// Version 4 -> 5: every amount to the kopeck and every quantity to three decimals, NUMERIC on PostgreSQL;
// order totals summed again from the rounded lines, and what was paid from the rounded payments.
void UpgradeTo5(Database &db) {
    // The views and the paid trigger name the columns whose type changes; they are made again after.
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolg"));
    if (db.PostgresStyle())
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TPay_Paid ON TPay"));
    else
        for (const char *name : {"TR_TPay_Paid_Insert", "TR_TPay_Paid_Update", "TR_TPay_Paid_Delete"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1StringView(name)));
    for (const TableDef &t : Schema::Tables())
        for (const ColumnDef &c : t.columns) {
            if (t.since > 5 || c.type != Double || c.decimals == 0) continue;
            if (db.PostgresStyle())
                db.Exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3 USING ROUND(%2::numeric, %4)")
                            .arg(Bracket(t.name), Bracket(c.name), TypeName(c, true))
                            .arg(c.decimals));
            else
                db.Exec(QStringLiteral("UPDATE %1 SET %2 = ROUND(%2, %3) WHERE %2 IS NOT NULL")
                            .arg(Bracket(t.name), Bracket(c.name))
                            .arg(c.decimals));
        }
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderTotalsSet());
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderPaidSet());
    CreatePaidTriggers(db);
    CreateDebtViews(db);
}

// Version 5 -> 6: no password is kept as it was typed any more, and on PostgreSQL the users become the
// server's own roles (see ServerRoles; the users' roles are made as each logs in or is saved).
void UpgradeTo6(Database &db) {
    QList<std::pair<QString, QString>> plain;
    bool anyUser = false;
    QSqlQuery q = db.Exec(QStringLiteral("SELECT IddUser, Pass, [Delete] FROM SUser"));
    while (q.next()) {
        const QString pass = q.value(1).toString();
        if (!pass.isEmpty() && !Password::IsHash(pass)) plain.append({q.value(0).toString(), pass});
        anyUser = anyUser || !q.value(2).toBool();
    }
    q.finish();
    for (const auto &[id, pass] : plain)
        db.Exec(QStringLiteral("UPDATE SUser SET Pass = ? WHERE IddUser = ?"), {Password::Hash(pass), id});
    if (db.dialect() == Dialect::Postgres && anyUser) ServerRoles::Install(db);
}

// Version 6 -> 7: the database keeps what each worker earned on each finished order (TWorkEarn); on
// PostgreSQL the clerks' groups may read it and its trigger writes it for them.
void UpgradeTo7(Database &db) {
    CreateWorkEarn(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 7 -> 8: on PostgreSQL the earnings triggers take the shop's earnings lock before they touch the
// kept figures of finished orders (nothing changes on SQLite, whose writers take turns anyway).
void UpgradeTo8(Database &db) {
    if (db.PostgresStyle()) CreateEarnFunctions(db);
}

// Version 8 -> 9: the kept earnings carry the amount and VAT of each worker's lines, and a worker's orders
// are found in the order of their finish, so that his performed works show their totals and first screen
// without reading every line of his years; the earnings triggers pass over orders that cannot earn. (A
// database older than version 7 got all of it when it was upgraded to 7 by this program.)
void UpgradeTo9(Database &db) {
    if (HasColumn(db, QStringLiteral("TWorkEarn"), QStringLiteral("Amount"))) return;
    for (const char *column : {"Amount", "Vat"})
        db.Exec(QStringLiteral("ALTER TABLE TWorkEarn ADD COLUMN %1 BIGINT NOT NULL DEFAULT 0")
                    .arg(QLatin1StringView(column)));
    db.Exec(WorkEarnIndex(db));
    Schema::KeepWorkEarn(db);
}

// Version 9 -> 10: the database records every write to the tables the screens show, so that other windows
// and workstations show it too.
void UpgradeTo10(Database &db) {
    ChangeFeed::CreateTriggers(db);
}

// Version 10 -> 11: the database keeps a log of every change to the shop's records (see ChangeLog); on
// PostgreSQL the administrators of the users may read it.
void UpgradeTo11(Database &db) {
    ChangeLog::Create(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 11 -> 12: an order may be planned on a bay, until a planned end (its planned start is ZakazBegin).
// The log's triggers on SQLite list the orders' columns, so they are made again with the new ones.
void UpgradeTo12(Database &db) {
    // (A database made by a program that knew them may have them already.)
    if (!HasColumn(db, QStringLiteral("TZakaz"), QStringLiteral("IddBox"))) {
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN IddBox VARCHAR(255)"));
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN ZakazPlanEnd TIMESTAMP"));
        for (const IndexDef &ix : Indexes())
            if (ix.since == 12) CreateIndex(db, ix);
    }
    if (!db.PostgresStyle()) {
        Schema::DropRowTriggers(db, QStringLiteral("ZvLog"), {QStringLiteral("TZakaz")});
        ChangeLog::Create(db);
    }
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 12 -> 13: the company details keep the shop's working hours, which the bay board spans; whoever
// may see the order journal may see the bays' load (a right appended after the others).
void UpgradeTo13(Database &db) {
    if (!HasColumn(db, QStringLiteral("SMain"), QStringLiteral("MainOpen"))) {
        db.Exec(QStringLiteral("ALTER TABLE SMain ADD COLUMN MainOpen VARCHAR(255)"));
        db.Exec(QStringLiteral("ALTER TABLE SMain ADD COLUMN MainClose VARCHAR(255)"));
    }
    QSqlQuery users = db.Exec(QStringLiteral("SELECT IddUser, Prova FROM SUser"));
    QList<std::pair<QString, QString>> granted;
    while (users.next()) {
        QString rights = users.value(1).toString();
        if (!rights.startsWith(u'1') || rights.size() > Rights::Position(Right::BayBoard)) continue;
        rights = rights.leftJustified(Rights::Position(Right::BayBoard), u'0') + u'1';
        granted.append({users.value(0).toString(), rights});
    }
    for (const auto &[user, rights] : granted)
        db.Exec(QStringLiteral("UPDATE SUser SET Prova = ? WHERE IddUser = ?"), {rights, user});
    if (!db.PostgresStyle()) {
        Schema::DropRowTriggers(db, QStringLiteral("ZvLog"), {QStringLiteral("SMain")});
        ChangeLog::Create(db);
    }
}

// Version 13 -> 14: seasonal tyre storage (its places and sets), with four rights appended after the
// others, granted to nobody until the administrator gives them.
void UpgradeTo14(Database &db) {
    if (!HasTable(db, QStringLiteral("TTyre"))) {
        for (const TableDef &t : Schema::Tables())
            if (t.since == 14) CreateTable(db, t);
        for (const IndexDef &ix : Indexes())
            if (ix.since == 14) CreateIndex(db, ix);
    }
    ChangeFeed::CreateTriggers(db);
    ChangeLog::Create(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

struct Step {
    int to;
    void (*run)(Database &);
};
const Step kSteps[] = {{2, UpgradeTo2},   {3, UpgradeTo3},   {4, UpgradeTo4},   {5, UpgradeTo5},
                       {6, UpgradeTo6},   {7, UpgradeTo7},   {8, UpgradeTo8},   {9, UpgradeTo9},
                       {10, UpgradeTo10}, {11, UpgradeTo11}, {12, UpgradeTo12}, {13, UpgradeTo13},
                       {14, UpgradeTo14}};

QString NewerText() {
    return QStringLiteral(
        "База данных создана более новой версией программы.\n"
        "Установите на этом рабочем месте ту же версию программы, что и на других.");
}

}  // namespace

namespace SchemaParts {

// Looks only at the schema the connection works in (PostgreSQL may hold other schemas beside it).
bool HasTable(Database &db, const QString &name) {
    const QString sql = db.PostgresStyle()
                            ? QStringLiteral(
                                  "SELECT 1 FROM information_schema.tables WHERE table_schema = "
                                  "current_schema() AND lower(table_name) = lower(?)")
                            : QStringLiteral(
                                  "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND "
                                  "lower(name) = lower(?)");
    return db.Exec(sql, {name}).next();
}

bool HasColumn(Database &db, const QString &table, const QString &column) {
    return db.PostgresStyle()
               ? db.Exec(QStringLiteral(
                             "SELECT 1 FROM information_schema.columns WHERE table_schema = "
                             "current_schema() AND table_name = lower(?) AND column_name = lower(?)"),
                         {table, column})
                     .next()
               : db.Exec(QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE lower(name) = lower(?)"),
                         {table, column})
                     .next();
}

}  // namespace SchemaParts

namespace Schema {

int StoredVersion(Database &db) {
    if (!HasTable(db, QStringLiteral("TZakaz"))) return 0;
    if (!HasTable(db, QStringLiteral("ZvSchema"))) return 1;
    QSqlQuery q = db.Exec(QStringLiteral("SELECT Version FROM ZvSchema"));
    return q.next() ? q.value(0).toInt() : 1;
}

void Ensure(Database &db) {
    // The usual case, a database of this version, needs no lock.
    int version = StoredVersion(db);
    if (version == kVersion) return;
    if (version > kVersion) throw DbError(NewerText());

    Transaction tx(db);
    // Another program may be creating or upgrading the same database right now: wait for it, then look
    // again. SQLite's write lock is taken at Begin; PostgreSQL needs a lock of its own, as its tables
    // do not exist yet.
    if (db.PostgresStyle())
        db.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('zv-schema ' || current_schema()))"));
    version = StoredVersion(db);
    if (version > kVersion) throw DbError(NewerText());
    if (version == 0) {
        Create(db);
    } else {
        for (const Step &step : kSteps) {
            if (step.to <= version) continue;
            step.run(db);
            version = step.to;
        }
        SetVersion(db, version);
    }
    tx.Commit();
}

bool TableExists(Database &db, const QString &name) {
    return HasTable(db, name);
}

void DropRowTriggers(Database &db, const QString &prefix, const QStringList &tables) {
    for (const QString &table : tables) {
        if (db.PostgresStyle() && !HasTable(db, table)) continue;  // a table a later version adds
        const QString on = db.PostgresStyle() ? QStringLiteral(" ON [%1]").arg(table) : QString();
        if (db.PostgresStyle())
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1_%2").arg(prefix, table) + on);
        for (const char *event : {"INSERT", "UPDATE", "DELETE"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1_%2_%3")
                        .arg(prefix, table, QLatin1StringView(event)) +
                    on);
    }
}

}  // namespace Schema
