#pragma once

#include "Schema.h"

#include <QSqlQuery>
#include <QVariantList>
#include <vector>

class Database;
struct pg_conn;
struct sqlite3;
struct sqlite3_stmt;

// Inserts many rows of one table: multi-row INSERT statements prepared once and run again and again, so
// a batch costs one execution (one round trip on PostgreSQL). Values are bound as the program binds them.
// The statements run on the connection's own driver handle (sqlite3, libpq): Qt's binding costs more than
// SQLite's whole insert, and the PostgreSQL driver would send every value as SQL text to parse.
class BulkInsert {
public:
    BulkInsert(Database &db, const TableDef &table, int batchRows);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // A row in the table's column order.
    void Add(QVariantList &&row);
    // Writes the rows still buffered.
    void Flush();

private:
    QString Statement(int rows) const;
    void Run(QSqlQuery &query, int rows);
    void RunNative(sqlite3_stmt *statement, int rows);
    sqlite3_stmt *PrepareNative(int rows);
    // Runs the named prepared statement, or with an empty name the statement text itself.
    void RunPg(const QByteArray &name, const QByteArray &text, int rows);

    Database &m_db;
    const TableDef &m_table;
    int m_batchRows;
    QSqlQuery m_full;
    bool m_prepared = false;
    sqlite3 *m_sqlite = nullptr;
    sqlite3_stmt *m_native = nullptr;
    pg_conn *m_pg = nullptr;
    QByteArray m_pgName;
    std::vector<QVariantList> m_rows;
};
