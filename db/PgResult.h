#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

class QSqlDriver;
struct pg_conn;

// PostgreSQL statements run on libpq itself, under the Qt driver's connection. The driver cannot send
// values as parameters (it writes them into the text of an EXECUTE) and reads a forward-only result a row
// at a time, one network message and one allocation per row; here the values go as the parameters of a
// prepared statement and the whole result arrives at once. The rows are handed out as a QSqlQuery that
// gives every value exactly as the driver would (same types, NULLs, dates and numbers), so no reader can
// tell the two apart. A statement that fails half-way fails as a whole: no rows are handed out.
namespace PgResult {

// Prepares the statement under a name of the connection's life ("$1", "$2" ... mark the values). False
// with the error set when the server refuses it.
bool Prepare(pg_conn *connection, const QByteArray &name, const QString &text, QSqlError *error);

// Runs a statement prepared by Prepare with these values (already as this database binds them: dates as
// text, NULLs as null variants).
QSqlQuery RunPrepared(pg_conn *connection, const QSqlDriver *driver, const QByteArray &name,
                      const QVariantList &values, QSqlError *error);

// Runs a statement without values (several separated by ";" are allowed; the last one's rows are given).
QSqlQuery Run(pg_conn *connection, const QSqlDriver *driver, const QString &text, QSqlError *error);

}  // namespace PgResult
