#include "RefDbWriter.h"

#include "Database.h"

RefDbWriter::RefDbWriter(Database &db) : m_db(db), m_batchRows(db.PostgresStyle() ? 500 : 100) {
    m_db.Begin();
    m_open = true;
}

RefDbWriter::~RefDbWriter() {
    if (m_open) m_db.Rollback();
}

void RefDbWriter::Put(const TableDef &table, QVariantList &&values) {
    auto &insert = m_inserts[table.name];
    if (!insert) insert = std::make_unique<BulkInsert>(m_db, table, m_batchRows);
    insert->Add(std::move(values));
}

void RefDbWriter::FlushAll() {
    for (auto &entry : m_inserts) entry.second->Flush();
}

void RefDbWriter::Checkpoint() {
    FlushAll();
    m_open = false;
    m_db.Commit();
    m_db.Begin();
    m_open = true;
}

void RefDbWriter::Finish() {
    FlushAll();
    m_open = false;
    m_db.Commit();
}
