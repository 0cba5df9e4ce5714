#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

// One SELECT whose rows are read straight from the database's own library, a row at a time, with the Qt
// driver's rules for what a column and a value are (see SqliteCursor, PgCursor): a reader cannot tell
// them from the driver's query. Made by Database, which has checked, announced and bound the statement.
class RowCursor {
public:
    RowCursor() = default;
    virtual ~RowCursor() = default;
    RowCursor(const RowCursor &) = delete;
    RowCursor &operator=(const RowCursor &) = delete;

    // Moves to the next row; false after the last. A failure is thrown as Database::Exec throws it.
    virtual bool Next() = 0;
    // The columns are known once the cursor has stepped.
    virtual int Columns() const = 0;
    // The column's name as the driver gives it.
    virtual QString Name(int column) const = 0;
    // The column's type as the driver reports it.
    virtual QMetaType Type(int column) const = 0;
    // The value in the current row, of the type the driver hands out for it.
    virtual QVariant Value(int column) const = 0;
    // The value in the current row when it is text or NULL (NULL gives an empty string), without a
    // QVariant made first; false, leaving *text alone, for any other value.
    virtual bool Text(int column, QString *text) const = 0;
};
