// The figures the database keeps beside the rows they come from: each order's totals and what was paid on
// it, what each worker earned on each finished order and day, and the clients' debts, with the triggers that
// keep them whoever writes.
#include "Schema.h"
#include "SchemaParts.h"

#include "Database.h"
#include "Money.h"
#include "ServerRoles.h"

namespace {

// One row per order: its stored total, less its live payments (as stored beside it).
const char *kTClientDolg =
    "CREATE VIEW TClientDolg AS SELECT TZakaz.IddZakaz AS IddZakaz, TZakaz.IddVlad AS IddVlad, "
    "ROUND(CAST(COALESCE(TZakaz.ZakazSumma, 0) - COALESCE(TZakaz.ZakazOplata, 0) AS NUMERIC), 2) AS SummD "
    "FROM TZakaz";

// What was paid on an order: its live payments (rounded, as SQLite's sums of REAL amounts leave dust).
// Written as a SET clause for TZakaz rows.
const char *kOrderPaidSet =
    "ZakazOplata = ROUND(CAST(COALESCE((SELECT SUM(p.SummaPay) FROM TPay p WHERE p.IddZakaz = "
    "TZakaz.IddZakaz "
    "AND p.[Delete] = FALSE), 0) AS NUMERIC), 2)";

// The database keeps ZakazOplata whenever a payment is added, changed or removed, by this program or any
// other. On PostgreSQL the order's row is locked first, so that the sum, read by the next statement,
// sees a payment another workstation has just committed on the same order.
const char *const kSqlitePaidTriggers[] = {
    "CREATE TRIGGER TR_TPay_Paid_Insert AFTER INSERT ON TPay BEGIN UPDATE TZakaz SET %1 "
    "WHERE IddZakaz = NEW.IddZakaz; END",
    "CREATE TRIGGER TR_TPay_Paid_Update AFTER UPDATE OF IddZakaz, SummaPay, [Delete] ON TPay BEGIN "
    "UPDATE TZakaz SET %1 WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz); END",
    "CREATE TRIGGER TR_TPay_Paid_Delete AFTER DELETE ON TPay BEGIN UPDATE TZakaz SET %1 "
    "WHERE IddZakaz = OLD.IddZakaz; END"};
const char *const kPostgresPaidTriggers[] = {
    "CREATE OR REPLACE FUNCTION zv_tpay_paid() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
    "PERFORM 1 FROM TZakaz WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz) FOR UPDATE; "
    "UPDATE TZakaz SET %1 WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz); RETURN NULL; END $$",
    "CREATE TRIGGER TR_TPay_Paid AFTER INSERT OR DELETE OR UPDATE OF IddZakaz, SummaPay, [Delete] ON TPay "
    "FOR EACH ROW EXECUTE FUNCTION zv_tpay_paid()"};

// What each worker earned on each finished order, in kopecks, beside the order's finish: the order's live
// lines that are no package headers, each line's pay shared equally among its live workers and the first
// of them by key taking what the rounding leaves. The database keeps it as orders, lines and their workers
// change, by this program or any other, so that the salary figures add up these rows rather than every
// line of the shop's years. Beside the pay, the amount and VAT of the worker's lines (each line counted
// whole), which the totals of his performed works add up.
const char *kTWorkEarn =
    "CREATE TABLE TWorkEarn (IddZakaz VARCHAR(255) NOT NULL, IddWork VARCHAR(255) NOT NULL, EndOut "
    "TIMESTAMP, Kopecks BIGINT NOT NULL, Amount BIGINT NOT NULL DEFAULT 0, Vat BIGINT NOT NULL DEFAULT 0, "
    "PRIMARY KEY (IddZakaz, IddWork))";
// The same per worker and day of finish, which a salary figure up to a day adds up: a few rows a day
// where TWorkEarn has one per order and worker. Kept from TWorkEarn by its own triggers.
const char *kTWorkEarnDay =
    "CREATE TABLE TWorkEarnDay (IddWork VARCHAR(255) NOT NULL, EndDay DATE NOT NULL, Kopecks BIGINT NOT "
    "NULL, PRIMARY KEY (IddWork, EndDay))";

// The rows of TWorkEarn for the orders the condition on TZakaz.IddZakaz picks (all when it is empty). Each
// line's workers are counted and its first found over one partition and no order; a line of an old
// database without its pay earns nothing.
QString EarnedRows(const QString &orders) {
    const QString line =
        QStringLiteral("PARTITION BY TService.IddZakaz, TService.IddService, TService.IddTop");
    return QStringLiteral(
               "INSERT INTO TWorkEarn (IddZakaz, IddWork, EndOut, Kopecks, Amount, Vat) SELECT x.IddZakaz, "
               "x.IddWork, MAX(x.EndOut), COALESCE(SUM(") +
           MoneySql::Share(QStringLiteral("x.Pay"), QStringLiteral("x.IddWork = x.FirstWork"),
                           QStringLiteral("x.Workers")) +
           QStringLiteral(
               "), 0), COALESCE(SUM(x.Amount), 0), COALESCE(SUM(x.Vat), 0) FROM (SELECT TZakaz.IddZakaz AS "
               "IddZakaz, TZakaz.ZakazEndOut AS EndOut, TWork.IddWork AS IddWork, ") +
           MoneySql::LinePay(QStringLiteral("TService")) + QStringLiteral(" AS Pay, ") +
           MoneySql::LineAmount(QStringLiteral("TService")) + QStringLiteral(" AS Amount, ") +
           MoneySql::LineVat(QStringLiteral("TService")) +
           QStringLiteral(
               " AS Vat, COUNT(*) OVER (%1) AS Workers, MIN(TWork.IddWork) OVER (%1) AS FirstWork "
               "FROM (TZakaz INNER JOIN TService ON TService.IddZakaz = TZakaz.IddZakaz) INNER JOIN "
               "TWork ON TWork.IddZakaz = TService.IddZakaz AND TWork.IddService = "
               "TService.IddService WHERE TWork.[Delete] = FALSE AND TZakaz.ZakazStatus = 2 AND "
               "TZakaz.[Delete] = FALSE AND TService.IddTop <> '0' AND TService.[Delete] = FALSE")
               .arg(line) +
           (orders.isEmpty() ? QString() : QStringLiteral(" AND TZakaz.IddZakaz ") + orders) +
           QStringLiteral(") x GROUP BY x.IddZakaz, x.IddWork");
}

// The day of a TWorkEarn row's finish (on SQLite written as the program writes a date, so that it compares
// with one).
QString EndDay(const Database &db, const char *row) {
    return db.PostgresStyle()
               ? QStringLiteral("%1.EndOut::date").arg(QLatin1StringView(row))
               : QStringLiteral("substr(%1.EndOut, 1, 10) || ' 00:00:00'").arg(QLatin1StringView(row));
}

// The day rows follow the order rows: a row in adds to its worker's day, a row out takes from it.
void CreateEarnDayTriggers(Database &db) {
    const QString add =
        QStringLiteral(
            "INSERT INTO TWorkEarnDay (IddWork, EndDay, Kopecks) VALUES (NEW.IddWork, %1, NEW.Kopecks) ON "
            "CONFLICT "
            "(IddWork, EndDay) DO UPDATE SET Kopecks = TWorkEarnDay.Kopecks + excluded.Kopecks")
            .arg(EndDay(db, "NEW"));
    const QString take = QStringLiteral(
                             "UPDATE TWorkEarnDay SET Kopecks = Kopecks - OLD.Kopecks WHERE IddWork = "
                             "OLD.IddWork AND EndDay = %1")
                             .arg(EndDay(db, "OLD"));
    if (db.PostgresStyle()) {
        db.Exec(QStringLiteral(
                    "CREATE OR REPLACE FUNCTION zv_work_earn_day() RETURNS trigger LANGUAGE plpgsql AS "
                    "$$ BEGIN IF TG_OP = 'DELETE' THEN IF OLD.EndOut IS NOT NULL THEN %1; END IF; "
                    "ELSIF NEW.EndOut IS NOT NULL THEN %2; END IF; RETURN NULL; END $$")
                    .arg(take, add));
        db.Exec(
            QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day AFTER INSERT OR DELETE ON TWorkEarn FOR EACH ROW "
                           "EXECUTE FUNCTION zv_work_earn_day()"));
        return;
    }
    db.Exec(
        QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day_Insert AFTER INSERT ON TWorkEarn WHEN NEW.EndOut IS "
                       "NOT NULL BEGIN %1; END")
            .arg(add));
    db.Exec(
        QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day_Delete AFTER DELETE ON TWorkEarn WHEN OLD.EndOut IS "
                       "NOT NULL BEGIN %1; END")
            .arg(take));
}

// The key of the shop's earnings lock on PostgreSQL (an advisory lock; any number the program uses only
// for this).
constexpr qint64 kEarnLock = 740'0001;

// The order's rows again whenever the order, one of its lines or one of their workers is written. An order
// is only looked at again when what it earns may have changed, not when a payment updates what was paid.
const char *const kEarnTables[] = {"TZakaz", "TService", "TWork"};
QString EarnTrigger(const QString &table) {
    return table == QStringLiteral("TZakaz")
               ? QStringLiteral("UPDATE OF IddZakaz, ZakazStatus, ZakazEndOut, [Delete]")
               : QStringLiteral("UPDATE");
}

// Whether the orders the condition on IddZakaz picks may earn anything or have earned before: only then is
// what they earn worked out again (a request or an order in work, the most written, is passed over).
QString MayEarn(const QString &orders) {
    return QStringLiteral(
               "(EXISTS (SELECT 1 FROM TZakaz WHERE IddZakaz %1 AND ZakazStatus = 2) OR "
               "EXISTS (SELECT 1 FROM TWorkEarn WHERE IddZakaz %1))")
        .arg(orders);
}

// One row per client: the sum of its orders' outstanding amounts.
const char *kTClientDolgD =
    "CREATE VIEW TClientDolgD AS SELECT TClientDolg.IddVlad AS IddVlad, ROUND(CAST(SUM(TClientDolg.SummD) AS "
    "NUMERIC), 2) AS Sum_SummD FROM TClientDolg GROUP BY TClientDolg.IddVlad";

void CreateEarnTriggers(Database &db) {
    CreateEarnDayTriggers(db);
    if (db.PostgresStyle()) {
        SchemaParts::CreateEarnFunctions(db);
        // The order's row by row, for what is written of it; lines and workers by statement.
        db.Exec(
            QStringLiteral("CREATE TRIGGER TR_TZakaz_Earn AFTER INSERT OR DELETE OR %1 ON TZakaz FOR EACH "
                           "ROW EXECUTE FUNCTION zv_work_earn()")
                .arg(EarnTrigger(QStringLiteral("TZakaz"))));
        for (const char *table : {"TService", "TWork"})
            for (const auto &[name, event] :
                 {std::pair{"Insert", "INSERT ON %1 REFERENCING NEW TABLE AS zv_new"},
                  std::pair{"Update", "UPDATE ON %1 REFERENCING OLD TABLE AS zv_old NEW TABLE AS zv_new"},
                  std::pair{"Delete", "DELETE ON %1 REFERENCING OLD TABLE AS zv_old"}})
                db.Exec(QStringLiteral("CREATE TRIGGER TR_%1_Earn_%2 AFTER %3 FOR EACH STATEMENT EXECUTE "
                                       "FUNCTION zv_work_earn_rows()")
                            .arg(QLatin1StringView(table), QLatin1StringView(name),
                                 QString::fromLatin1(event).arg(QLatin1StringView(table))));
        return;
    }
    for (const char *table : kEarnTables) {
        const struct {
            const char *name;
            QString event;
            const char *orders;
        } events[] = {{"Insert", QStringLiteral("INSERT"), "IN (NEW.IddZakaz)"},
                      {"Update", EarnTrigger(QLatin1StringView(table)), "IN (OLD.IddZakaz, NEW.IddZakaz)"},
                      {"Delete", QStringLiteral("DELETE"), "IN (OLD.IddZakaz)"}};
        for (const auto &e : events) {
            const QString orders = QString::fromLatin1(e.orders);
            db.Exec(QStringLiteral("CREATE TRIGGER TR_%1_Earn_%2 AFTER %3 ON %1 WHEN %4 BEGIN DELETE FROM "
                                   "TWorkEarn WHERE IddZakaz %5; %6; END")
                        .arg(QLatin1StringView(table), QLatin1StringView(e.name), e.event, MayEarn(orders),
                             orders, EarnedRows(orders)));
        }
    }
}

}  // namespace

namespace SchemaParts {

// An order's total with VAT and the VAT in it, over its live lines that are not package headers: each
// line's amount and VAT rounded to the kopeck, then summed. Kept in the order's row by whoever writes its
// lines, so that debts need not read every line.
QString OrderTotalsSet() {
    const QString lines = QStringLiteral(
        " FROM TService s WHERE s.IddZakaz = TZakaz.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = FALSE), 0)"
        " / 100.0");
    const QString amount = MoneySql::LineAmount(QStringLiteral("s"));
    const QString vat = MoneySql::LineVat(QStringLiteral("s"));
    return QStringLiteral("ZakazSumma = COALESCE((SELECT SUM(%1 + %2)").arg(amount, vat) + lines +
           QStringLiteral(", ZakazSummaNDS = COALESCE((SELECT SUM(%1)").arg(vat) + lines;
}

QString OrderPaidSet() {
    return QString::fromLatin1(kOrderPaidSet);
}

void CreateDebtViews(Database &db) {
    db.Exec(QString::fromLatin1(kTClientDolg));
    db.Exec(QString::fromLatin1(kTClientDolgD));
}

void CreatePaidTriggers(Database &db) {
    const auto run = [&](const char *sql) {
        const QString text = QString::fromLatin1(sql);
        db.Exec(text.contains(u"%1") ? text.arg(QString::fromLatin1(kOrderPaidSet)) : text);
    };
    if (db.PostgresStyle())
        for (const char *sql : kPostgresPaidTriggers) run(sql);
    else
        for (const char *sql : kSqlitePaidTriggers) run(sql);
}

// A worker's orders in the order of their finish, with the figures the totals add up: read from the index
// alone.
QString WorkEarnIndex(const Database &db) {
    return db.PostgresStyle() ? QStringLiteral(
                                    "CREATE INDEX IX_TWorkEarn_Work ON TWorkEarn (IddWork, EndOut, IddZakaz) "
                                    "INCLUDE (Kopecks, Amount, Vat)")
                              : QStringLiteral(
                                    "CREATE INDEX IX_TWorkEarn_Work ON TWorkEarn (IddWork, EndOut, IddZakaz, "
                                    "Kopecks, Amount, Vat)");
}

// The functions of the earnings triggers on PostgreSQL. The orders' rows are locked first (in the order of
// their keys), as for what was paid: two workstations saving one order write its rows one after the other.
// Only an order that may earn is worked out again; before its kept figures are touched, the shop's earnings
// lock is taken to the end of the transaction: a save writes its lines' workers one statement at a time, and
// two orders of the same workers finished on the same day, saved at once with the workers in opposite turns,
// would otherwise each hold one worker's day and wait for the other's.
void CreateEarnFunctions(Database &db) {
    const QString work =
        QStringLiteral(
            "PERFORM 1 FROM TZakaz WHERE IddZakaz = ANY (orders) ORDER BY IddZakaz FOR UPDATE; IF ") +
        MayEarn(QStringLiteral("= ANY (orders)")) +
        QStringLiteral(
            " THEN PERFORM pg_advisory_xact_lock(%1); DELETE FROM TWorkEarn WHERE IddZakaz = ANY "
            "(orders); ")
            .arg(kEarnLock) +
        EarnedRows(QStringLiteral("= ANY (orders)")) + QStringLiteral("; END IF; RETURN NULL; END $$");
    // A row of an order.
    db.Exec(
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_work_earn() RETURNS trigger LANGUAGE plpgsql AS $$ DECLARE "
            "orders VARCHAR[]; BEGIN IF TG_OP <> 'INSERT' THEN orders := orders || OLD.IddZakaz::VARCHAR; "
            "END IF; IF TG_OP <> 'DELETE' THEN orders := orders || NEW.IddZakaz::VARCHAR; END IF; ") +
        work);
    // The rows one statement wrote of lines or their workers (a save writes them many at a time): their
    // orders once each.
    db.Exec(
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_work_earn_rows() RETURNS trigger LANGUAGE plpgsql AS $$ DECLARE "
            "orders VARCHAR[]; BEGIN IF TG_OP = 'INSERT' THEN SELECT array_agg(DISTINCT IddZakaz) INTO "
            "orders FROM zv_new; ELSIF TG_OP = 'DELETE' THEN SELECT array_agg(DISTINCT IddZakaz) INTO "
            "orders FROM zv_old; ELSE SELECT array_agg(DISTINCT IddZakaz) INTO orders FROM (SELECT "
            "IddZakaz FROM zv_new UNION SELECT IddZakaz FROM zv_old) x; END IF; IF orders IS NULL THEN "
            "RETURN NULL; END IF; ") +
        work);
    if (ServerRoles::InUse(db)) ServerRoles::TrustKeepers(db);
}

// The kept figures made, filled for the orders there are, and kept from then on.
void CreateWorkEarn(Database &db) {
    db.Exec(QString::fromLatin1(kTWorkEarn));
    db.Exec(WorkEarnIndex(db));
    db.Exec(QString::fromLatin1(kTWorkEarnDay));
    Schema::KeepWorkEarn(db);
}

}  // namespace SchemaParts

namespace Schema {

void RefreshOrderTotals(Database &db, const QString &iddZakaz) {
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + SchemaParts::OrderTotalsSet() +
                QStringLiteral(" WHERE IddZakaz = ?"),
            {iddZakaz});
}

void RefreshAllOrdersPaid(Database &db) {
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + QString::fromLatin1(kOrderPaidSet));
}

void StopKeepingWorkEarn(Database &db) {
    if (db.PostgresStyle()) {
        // (Up to version 8 lines and workers had a trigger by row, as orders have.)
        for (const char *table : kEarnTables) {
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn ON %1").arg(QLatin1StringView(table)));
            for (const char *event : {"Insert", "Update", "Delete"})
                db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn_%2 ON %1")
                            .arg(QLatin1StringView(table), QLatin1StringView(event)));
        }
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TWorkEarn_Day ON TWorkEarn"));
        return;
    }
    for (const char *table : kEarnTables)
        for (const char *event : {"Insert", "Update", "Delete"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn_%2")
                        .arg(QLatin1StringView(table), QLatin1StringView(event)));
    for (const char *event : {"Insert", "Delete"})
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TWorkEarn_Day_%1").arg(QLatin1StringView(event)));
}

void KeepWorkEarn(Database &db) {
    // Filled in two statements with the triggers off, rather than row by row through them.
    Transaction tx(db);
    StopKeepingWorkEarn(db);
    db.Exec(QStringLiteral("DELETE FROM TWorkEarnDay"));
    db.Exec(QStringLiteral("DELETE FROM TWorkEarn"));
    db.Exec(EarnedRows({}));
    db.Exec(
        QStringLiteral("INSERT INTO TWorkEarnDay (IddWork, EndDay, Kopecks) SELECT IddWork, %1, SUM(Kopecks) "
                       "FROM TWorkEarn WHERE EndOut IS NOT NULL GROUP BY IddWork, %1")
            .arg(EndDay(db, "TWorkEarn")));
    CreateEarnTriggers(db);
    tx.Commit();
}

}  // namespace Schema
