#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

class Database;
struct sqlite3_stmt;

// One SELECT stepped on the SQLite connection itself. Long lists read tens of thousands of rows: the Qt
// driver turns every value into a QVariant in its row cache and hands out a copy of it, and converts text
// to UTF-16 inside SQLite first; this reads each value once, with the driver's own rules for what a column
// and a value are, so a reader cannot tell the two apart (see DynamicRecordset's tests).
// Made by Database::OpenCursor, which has checked, announced and bound the statement.
class SqliteCursor {
public:
    ~SqliteCursor();
    SqliteCursor(const SqliteCursor &) = delete;
    SqliteCursor &operator=(const SqliteCursor &) = delete;

    // Moves to the next row; false after the last. A failure is thrown as Exec throws it.
    bool Next();

    int Columns() const { return int(m_names.size()); }
    // The column's name as the driver gives it (quotes removed).
    const QString &Name(int column) const { return m_names[size_t(column)]; }
    // The column's type as the driver reports it: from the declared type, else from the first row's value.
    QMetaType Type(int column) const { return m_types[size_t(column)]; }
    // The value in the current row, of the type the driver hands out for it.
    QVariant Value(int column) const;

private:
    friend class Database;
    SqliteCursor(Database &db, sqlite3_stmt *statement);
    void Describe(bool haveRow);

    Database &m_db;
    sqlite3_stmt *m_statement;
    std::vector<QString> m_names;
    std::vector<QMetaType> m_types;
    bool m_described = false;
    bool m_done = false;
};
