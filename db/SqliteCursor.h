#pragma once

#include "RowCursor.h"

#include <QStringList>
#include <vector>

class Database;
struct sqlite3_stmt;

// One SELECT stepped on the SQLite connection itself. Long lists read tens of thousands of rows: the Qt
// driver turns every value into a QVariant in its row cache and hands out a copy of it, and converts text
// to UTF-16 inside SQLite first; this reads each value once, with the driver's own rules for what a column
// and a value are, so a reader cannot tell the two apart (see DynamicRecordset's tests).
// Made by Database::OpenCursor, which has checked, announced and bound the statement.
class SqliteCursor final : public RowCursor {
public:
    ~SqliteCursor() override;

    bool Next() override;
    int Columns() const override { return int(m_names.size()); }
    // Quotes removed.
    QString Name(int column) const override { return m_names[size_t(column)]; }
    // From the declared type, else from the first row's value.
    QMetaType Type(int column) const override { return m_types[size_t(column)]; }
    QVariant Value(int column) const override;
    bool Text(int column, QString *text) const override;

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
