#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class Database;

// A column and the value to write to it. Values are converted to the column's type by the field
// conversion rules (a long 0 written to a text column stores "0") and always bound, never spliced.
struct ColumnValue {
    QString column;
    QVariant value;
};
using Values = QList<ColumnValue>;

// The row patterns every store uses. Each throws DbError with the driver's text.
namespace Rows {

void Insert(Database &db, const QString &table, const Values &values);
// Looks the row up by its identifying fields; inserts it (with them) when absent, else updates the rest.
// Returns true when a row was inserted.
bool InsertOrUpdate(Database &db, const QString &table, const Values &keys, const Values &rest);
// Returns the number of rows changed.
int Update(Database &db, const QString &table, const Values &keys, const Values &values);
int SoftDelete(Database &db, const QString &table, const Values &keys,
               const QString &flag = QStringLiteral("Delete"));
int Delete(Database &db, const QString &table, const Values &keys);
bool Exists(Database &db, const QString &table, const Values &keys);

// The value converted to the type the schema gives the column (unchanged for unknown columns).
QVariant ForColumn(const QString &table, const QString &column, const QVariant &value);

}  // namespace Rows
