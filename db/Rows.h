#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

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
// Inserts many rows with the same columns in as few statements as the database allows (one for a few
// hundred rows). Every row names the same columns in the same order.
void InsertMany(Database &db, const QString &table, const QList<Values> &rows);
// Inserts the row unless a live one (Delete = FALSE) with the same `unique` columns exists, made here or by
// another workstation at the same moment; the table needs a partial unique index on them for live rows.
// Returns true when the row was inserted.
bool InsertUnlessLive(Database &db, const QString &table, const Values &values, const QStringList &unique);
// Looks the row up by its identifying fields; inserts it (with them) when absent, else updates the rest.
// Returns true when a row was inserted.
bool InsertOrUpdate(Database &db, const QString &table, const Values &keys, const Values &rest);
// Updates the row whose `keyColumn` is `key`; a record with no key yet is inserted under a key from
// `newKey`, handed back in `key`.
void Store(Database &db, const QString &table, const QString &keyColumn, QString &key, const Values &values,
           const std::function<QString()> &newKey);
// Returns the number of rows changed.
int Update(Database &db, const QString &table, const Values &keys, const Values &values);
int SoftDelete(Database &db, const QString &table, const Values &keys,
               const QString &flag = QStringLiteral("Delete"));
int Delete(Database &db, const QString &table, const Values &keys);
bool Exists(Database &db, const QString &table, const Values &keys);

// The value converted to the type the schema gives the column (unchanged for unknown columns). Text loses
// its NUL characters and is checked against the field's length, a moment against DateRange (DbError naming
// the field).
QVariant ForColumn(const QString &table, const QString &column, const QVariant &value);
// Checks every value as ForColumn does, writing nothing: a save calls it before its first write.
void Check(const QString &table, const Values &values);

// A list of entries read from at most `firstRows` statement rows (0: every row), an entry spanning rows
// (a car and its owners): when the limit was reached the last entry may be cut short, so it goes. `more`,
// when given, says whether the list may go on.
template <class Entry>
void KeepWholeEntries(QList<Entry> &entries, int firstRows, int rowsRead, bool *more) {
    const bool cut = firstRows > 0 && rowsRead == firstRows && !entries.isEmpty();
    if (cut) entries.removeLast();
    if (more) *more = cut;
}

// Values that repeat down a long list (a car's make, its colour) kept once: the list holds one string for
// each such value instead of one per row, and letting go of it frees that many fewer.
class SharedTexts {
public:
    QString operator()(const QString &text) {
        if (text.isEmpty()) return text;
        const auto kept = m_texts.constFind(text);
        if (kept != m_texts.constEnd()) return *kept;
        m_texts.insert(text);
        return text;
    }

private:
    QSet<QString> m_texts;
};

}  // namespace Rows
