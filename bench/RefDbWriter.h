#pragma once

#include "BulkInsert.h"
#include "RowSink.h"

#include <map>
#include <memory>
#include <string>

class Database;

// Writes the generator's rows into a database in big transactions, a batched insert per table.
class RefDbWriter : public RowSink {
public:
    explicit RefDbWriter(Database &db);
    ~RefDbWriter() override;

    void Put(const TableDef &table, QVariantList &&values) override;
    void Checkpoint() override;
    // Writes what is buffered and commits.
    void Finish();

private:
    void FlushAll();

    Database &m_db;
    int m_batchRows;
    bool m_open = false;
    std::map<std::string, std::unique_ptr<BulkInsert>> m_inserts;
};
