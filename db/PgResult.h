#pragma once

#include <QMetaType>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <deque>
#include <memory>
#include <vector>

class QSqlDriver;
struct pg_conn;
struct pg_result;

// PostgreSQL statements run on libpq itself, under the Qt driver's connection. The driver cannot send
// values as parameters (it writes them into the text of an EXECUTE) and reads a forward-only result a row
// at a time, one network message and one allocation per row; here the values go as the parameters of a
// prepared statement and the whole result arrives at once. The rows are handed out as a QSqlQuery that
// gives every value exactly as the driver would (same types, NULLs, dates and numbers), so no reader can
// tell the two apart. A statement that fails half-way fails as a whole: no rows are handed out.
namespace PgResult {

// What a long list reads of a query's rows without a value wrapped first.
class Reader {
public:
    Reader() = default;
    virtual ~Reader() = default;
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;
    // The text of the current row's column, as the driver's string would be (NULL gives an empty one);
    // false, leaving *text alone, when the column's values are not strings.
    virtual bool Text(int column, QString *text) const = 0;
};

// The reader of a query whose rows were made here, else null. It lives as long as the query's rows.
const Reader *ReaderOf(const QSqlQuery &query);

// Prepares the statement under a name of the connection's life ("$1", "$2" ... mark the values). False
// with the error set when the server refuses it.
bool Prepare(pg_conn *connection, const QByteArray &name, const QString &text, QSqlError *error);

// Runs a statement prepared by Prepare with these values (already as this database binds them: dates as
// text, NULLs as null variants).
QSqlQuery RunPrepared(pg_conn *connection, const QSqlDriver *driver, const QByteArray &name,
                      const QVariantList &values, QSqlError *error);

// A statement's rows handed out as the server sends them (libpq's single-row mode): a long list is turned
// into records while the rest of it is still on its way, as the driver's forward-only query reads. Until
// the last result has come the connection can run nothing else; Buffer() takes in whatever is still to
// come, and the rows are then handed out from memory. The values are the driver's, as Run's are.
class Stream final : public Reader {
public:
    // Sends a statement prepared by Prepare with these values (as RunPrepared takes them). Null, with the
    // error set, when it cannot be sent.
    static std::unique_ptr<Stream> Start(pg_conn *connection, const QByteArray &name,
                                         const QVariantList &values, QSqlError *error);
    // Takes in and lets go of whatever is still to come, so the connection is free again.
    ~Stream() override;

    // Moves to the next row. False after the last, and false with *error set when the statement failed
    // (the rows before it were handed out; none after).
    bool Next(QSqlError *error);
    // The columns, known once Next has been called.
    int Columns() const { return int(m_types.size()); }
    QString Name(int column) const { return m_names[size_t(column)]; }
    QMetaType Type(int column) const { return m_types[size_t(column)]; }
    QVariant Value(int column) const;
    bool Text(int column, QString *text) const override;
    // Takes in every result still to come.
    void Buffer();

private:
    explicit Stream(pg_conn *connection) : m_connection(connection) {}
    // The next result: one taken in by Buffer, else the connection's next; null after the last.
    pg_result *Take();
    void Describe(const pg_result *result);

    pg_conn *m_connection;
    pg_result *m_result = nullptr;  // the one the current row is in
    int m_row = -1;
    std::deque<pg_result *> m_taken;
    std::vector<QString> m_names;
    std::vector<QMetaType> m_types;
    bool m_described = false;
    bool m_drained = false;
    bool m_failed = false;
};

// Runs a statement without values (several separated by ";" are allowed; the last one's rows are given).
QSqlQuery Run(pg_conn *connection, const QSqlDriver *driver, const QString &text, QSqlError *error);

}  // namespace PgResult
