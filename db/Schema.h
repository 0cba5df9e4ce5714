#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;

// Column types as the program treats them.
enum class ColType { Text, Long, Double, Bool, DateTime };

struct ColumnDef {
    const char *name;
    ColType type;
};

struct TableDef {
    const char *name;
    std::vector<ColumnDef> columns;
    QStringList primaryKey;  // empty when the table is identified by a unique index instead
};

namespace Schema {

inline constexpr int kVersion = 1;

const std::vector<TableDef> &Tables();
// The type of a column by table and column name (case-insensitive); false when the schema has no such column.
bool ColumnType(const QString &table, const QString &column, ColType *type);

// Creates every table, index, view and the single SMain and Number rows in a database that has none of
// our tables; a database that already has them is left as it is. Throws DbError.
void Ensure(Database &db);

// The schema version stored in the database (0 when unknown).
int StoredVersion(Database &db);

}  // namespace Schema
