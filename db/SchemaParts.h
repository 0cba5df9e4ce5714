#pragma once

// What the schema's own files share (the tables, the kept figures, the versions and their upgrades); no file
// outside db/Schema*.cpp includes it.
#include "Schema.h"

#include <QString>
#include <span>

class Database;

namespace SchemaParts {

struct IndexDef {
    const char *name;
    const char *table;
    const char *columns;
    bool unique;
    int since = 1;                  // the schema version that added it
    const char *where = nullptr;    // a partial index: only the rows this holds for
    const char *message = nullptr;  // what the user reads when a write breaks a unique rule
};

// Every index of the schema, with the version that added it.
std::span<const IndexDef> Indexes();
// A column's type as the database declares it.
QString TypeName(const ColumnDef &c, bool postgres);
// A name in brackets, which Database::Sql quotes for the database at hand.
QString Bracket(const char *name);
void CreateTable(Database &db, const TableDef &t);
void CreateIndex(Database &db, const IndexDef &ix);
// Look only at the schema the connection works in (PostgreSQL may hold other schemas beside it).
bool HasTable(Database &db, const QString &name);
bool HasColumn(Database &db, const QString &table, const QString &column);

// The SET clauses that work out an order's totals and what was paid on it again, for TZakaz rows.
QString OrderTotalsSet();
QString OrderPaidSet();
// The clients' debt views (one row per order, one per client).
void CreateDebtViews(Database &db);
// The triggers that keep what was paid on each order.
void CreatePaidTriggers(Database &db);
// The kept earnings (TWorkEarn, TWorkEarnDay) made, filled and kept from then on.
void CreateWorkEarn(Database &db);
// PostgreSQL: the functions the earnings triggers run (made again when they change).
void CreateEarnFunctions(Database &db);
// The index a worker's orders are read by, in the order of their finish.
QString WorkEarnIndex(const Database &db);

}  // namespace SchemaParts
