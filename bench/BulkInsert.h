#pragma once

#include "Schema.h"

#include <QSqlQuery>
#include <QVariantList>
#include <vector>

class Database;

// Inserts many rows of one table: multi-row INSERT statements prepared once and run again and again, so
// a batch costs one execution (one round trip on PostgreSQL). Values are bound as the program binds them.
class BulkInsert {
public:
    BulkInsert(Database &db, const TableDef &table, int batchRows);

    // A row in the table's column order.
    void Add(QVariantList &&row);
    // Writes the rows still buffered.
    void Flush();

private:
    QString Statement(int rows) const;
    void Run(QSqlQuery &query, int rows);

    Database &m_db;
    const TableDef &m_table;
    int m_batchRows;
    QSqlQuery m_full;
    bool m_prepared = false;
    std::vector<QVariantList> m_rows;
};
