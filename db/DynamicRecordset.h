#pragma once

#include "Money.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Database;
class RowCursor;
namespace PgResult {
class Reader;
}

// One column's value in the current row, read and written with the program's conversion rules.
class CDynamicField {
public:
    enum class Kind { Empty, Boolean, Byte, Short, Long, Single, Double, DateTime, Text, Binary };

    CDynamicField() = default;
    CDynamicField(Kind kind, const QString &name) : m_kind(kind), m_name(name) {}

    // The kind a column gets from the type the driver reports for it.
    static Kind KindOf(QMetaType type);

    Kind kind() const { return m_kind; }
    const QString &name() const { return m_name; }
    bool IsNull() const { return m_null; }
    const QVariant &value() const { return m_value; }
    // Loads a value read from the database (null when the column is NULL).
    void Load(const QVariant &raw);

    long AsLong() const;
    double AsDouble() const;
    Money AsMoney() const { return Money::Roubles(AsDouble()); }
    QDateTime AsDateTime() const;
    QString AsText() const;
    bool AsBool() const { return AsLong() != 0; }

    void SetLong(long value);
    void SetDouble(double value);
    void SetDateTime(const QDateTime &value);
    void SetText(const QString &value);

private:
    Kind m_kind = Kind::Empty;
    QString m_name;
    QVariant m_value;
    bool m_null = true;
};

// A forward-only recordset over one SELECT whose columns are discovered when it opens. Columns are
// addressed by case-insensitive name; a repeated name is reachable as NAME2, NAME3, ...
class CDynamicRecordset {
public:
    explicit CDynamicRecordset(Database &db);
    ~CDynamicRecordset();
    CDynamicRecordset(const CDynamicRecordset &) = delete;
    CDynamicRecordset &operator=(const CDynamicRecordset &) = delete;

    // Runs the statement and moves to the first row. Throws DbError with the driver's text.
    bool Open(const QString &sql, const QVariantList &binds = {});
    // Open for a list of thousands of rows read to its end, each turned into a record as it comes: on
    // PostgreSQL the rows are handed out as the server sends them (see Database::OpenStream) instead of
    // after the whole result has come.
    bool OpenLong(const QString &sql, const QVariantList &binds = {});
    bool IsOpen() const { return m_open; }
    bool IsEOF() const { return !m_open || m_eof; }
    void MoveNext();
    void Close();

    int FieldCount() const { return int(m_fields.size()); }
    int FieldIndex(const QString &name) const;
    const CDynamicField &Field(int index) const;
    // An unknown name gives an empty field, which reads as 0 or empty text.
    const CDynamicField &Field(const QString &name) const;

    QString Text(const QString &name) const { return Field(name).AsText(); }
    // Field(column).AsText(), read straight from the row when the value is text: a long list reads tens
    // of thousands of rows, and most of their values are.
    QString TextAt(int column) const;
    long Long(const QString &name) const { return Field(name).AsLong(); }
    double Double(const QString &name) const { return Field(name).AsDouble(); }
    Money Amount(const QString &name) const { return Field(name).AsMoney(); }
    QDateTime Date(const QString &name) const { return Field(name).AsDateTime(); }
    bool Bool(const QString &name) const { return Field(name).AsBool(); }

private:
    void BuildFields();
    // Steps the cursor just opened to its first row.
    void StartCursor();
    // Stepped to a row. Its values are read when first asked for: a list that reads an order's columns
    // once and its lines' on every row does not pay for the order's columns on each.
    void NewRow();
    void LoadField(size_t index) const;

    Database &m_db;
    // On SQLite the rows are read straight from the connection, and so is a long list on PostgreSQL;
    // elsewhere through the driver's query or a whole result.
    std::unique_ptr<RowCursor> m_cursor;
    QSqlQuery m_query;
    // On PostgreSQL the query's rows are libpq's own, and text is read from them directly.
    const PgResult::Reader *m_pg = nullptr;
    mutable std::vector<CDynamicField> m_fields;
    // The row each field holds the value of (m_row counts the rows stepped to).
    mutable std::vector<long long> m_fieldRow;
    long long m_row = 0;
    QHash<QString, int> m_names;
    // A reader asks for the same names in the same order on every row: the n-th lookup of a row is first
    // tried against the column the n-th lookup of the row before found, which costs a comparison instead
    // of an upper-cased copy and a hash.
    mutable std::vector<int> m_seen;
    mutable size_t m_lookup = 0;
    bool m_open = false;
    bool m_eof = true;
};
