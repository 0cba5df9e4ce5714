#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// Column types as the program treats them. Long is 64-bit in storage (BIGINT) and in code.
enum class ColType { Text, Long, Double, Bool, DateTime };

struct ColumnDef {
    const char *name;
    ColType type;
    const char *caption = nullptr;  // Text and amounts: the field's name as the user knows it (UTF-8)
    int maxLength = 0;              // Text: the most characters stored (255 unless the field needs more)
    int decimals = 0;               // Double: 2 for an amount, 3 for a quantity; 0 kept as written
};

struct TableDef {
    const char *name;
    std::vector<ColumnDef> columns;
    QStringList primaryKey;  // empty when the table is identified by a unique index instead
    int since = 1;           // the schema version that added it
};

// The most characters a text field holds: the same limit on every database, checked by the stores
// before anything is written and meant as the maxLength of the screen's input. 0 when the schema has
// no such text field.
int FieldMaxLength(const QString &table, const QString &field);

namespace Schema {

// 1: the first layout. 2: 64-bit long columns, one length limit per text field, unique live car-owner
// links and unique live logins. 3: each order keeps its total and the VAT in it (ZakazSumma,
// ZakazSummaNDS); the debt views read them. 4: each order keeps what was paid on it (ZakazOplata, kept by
// the database itself whenever a payment is written), so a debt is read from the order alone; clients
// are found by INN through an index. 5: amounts exact to the kopeck and quantities to three decimals
// (NUMERIC on PostgreSQL; rounded before writing on SQLite), order totals summed from rounded lines.
// 6: passwords only as hashes; on PostgreSQL the users are the server's roles. 7: what each worker earned
// on each finished order, and on each day, kept by the database (TWorkEarn, TWorkEarnDay). 8: on PostgreSQL
// the earnings triggers take one lock before touching finished orders' figures, so that two saves of the
// same workers never wait for each other. 9: the kept earnings carry the amount and VAT of each worker's
// lines and are found by worker and finish; they are worked out only for orders that may earn. 10: every
// write to the tables the screens show is told to the programs on the database (see ChangeFeed). 11: a log
// of every change to the shop's records, written by the database (see ChangeLog). 12: an order may be
// planned on a bay until a planned end (TZakaz.IddBox, ZakazPlanEnd).
inline constexpr int kVersion = 14;

const std::vector<TableDef> &Tables();
// The type of a column by table and column name (case-insensitive); false when the schema has no such column.
bool ColumnType(const QString &table, const QString &column, ColType *type);
// The column's caption for messages ("Примечание"); the column's own name when it has none.
QString Caption(const QString &table, const QString &column);

// Throws DbError naming the field when the text is longer than the field holds.
void CheckLength(const QString &table, const QString &column, const QString &value);
// An amount or a quantity as it is stored: rounded to its column's decimals; DbError naming the field when it
// is beyond the limit (999 999 999,99 for amounts, 99 999 for quantities) or not a number. Other columns'
// values come back as they are.
double FitNumber(const QString &table, const QString &column, double value);

// Brings the database to this program's version: creates everything in a database that has none of
// our tables, upgrades an older one step by step, refuses a newer one. One transaction, which a second
// program doing the same at the same moment waits for. Throws DbError.
void Ensure(Database &db);

// The schema version stored in the database: 0 when it has none of our tables, 1 for a database made
// before versions were kept.
int StoredVersion(Database &db);

// Recomputes the stored total and VAT of one order from its live lines. Whoever writes an order's lines
// calls it in the same transaction.
void RefreshOrderTotals(Database &db, const QString &iddZakaz);
// Works out again what was paid on every order (after payments were written with the triggers' work
// left out of account, as a bulk load may).
void RefreshAllOrdersPaid(Database &db);
// What each worker earned on every finished order and day (TWorkEarn, TWorkEarnDay) worked out again from
// the lines, and kept by the triggers from then on. A bulk load (the reference database's generator) writes
// faster without the triggers: it stops them before and calls KeepWorkEarn after.
void KeepWorkEarn(Database &db);
void StopKeepingWorkEarn(Database &db);

// Drops the row triggers a family of the schema makes on each table, named "<prefix>_<table>" (PostgreSQL,
// for several events) and "<prefix>_<table>_<INSERT|UPDATE|DELETE>"; missing ones are skipped.
void DropRowTriggers(Database &db, const QString &prefix, const QStringList &tables);
// The table (or view) is in the database's own schema: an upgrade's earlier step runs before a later one
// has made the tables it adds.
bool TableExists(Database &db, const QString &name);

// The Russian message for a driver's text that reports a broken unique rule of ours; empty otherwise.
QString ConstraintText(const QString &driverText);

}  // namespace Schema
