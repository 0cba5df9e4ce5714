#include "BulkInsert.h"

#include "Database.h"
#include "DbError.h"

#include <QSqlError>
#include <QStringList>
#include <algorithm>

namespace {

// SQLite's default limit on bound values in one statement is 32766.
constexpr int kMaxBinds = 30000;

}  // namespace

BulkInsert::BulkInsert(Database &db, const TableDef &table, int batchRows)
    : m_db(db),
      m_table(table),
      m_batchRows(std::max(1, std::min(batchRows, kMaxBinds / int(table.columns.size())))),
      m_full(db.handle()) {
    m_rows.reserve(size_t(m_batchRows));
}

QString BulkInsert::Statement(int rows) const {
    QStringList columns;
    for (const ColumnDef &c : m_table.columns) columns << u'[' + QString::fromLatin1(c.name) + u']';
    QString one = QStringLiteral("(?");
    for (size_t i = 1; i < m_table.columns.size(); ++i) one += QStringLiteral(", ?");
    one += u')';
    QStringList values;
    for (int r = 0; r < rows; ++r) values << one;
    return m_db.Sql(QStringLiteral("INSERT INTO [%1] (%2) VALUES %3")
                        .arg(QString::fromLatin1(m_table.name), columns.join(QStringLiteral(", ")),
                             values.join(QStringLiteral(", "))));
}

void BulkInsert::Run(QSqlQuery &query, int rows) {
    const int width = int(m_table.columns.size());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < width; ++c) query.bindValue(r * width + c, m_db.BindValue(m_rows[size_t(r)][c]));
    if (!query.exec())
        throw DbError(
            QStringLiteral("%1: %2").arg(QString::fromLatin1(m_table.name), query.lastError().text()));
}

void BulkInsert::Add(QVariantList &&row) {
    m_rows.push_back(std::move(row));
    if (int(m_rows.size()) < m_batchRows) return;
    if (!m_prepared) {
        if (!m_full.prepare(Statement(m_batchRows))) throw DbError(m_full.lastError().text());
        m_prepared = true;
    }
    Run(m_full, m_batchRows);
    m_rows.clear();
}

void BulkInsert::Flush() {
    if (m_rows.empty()) return;
    QSqlQuery rest(m_db.handle());
    if (!rest.prepare(Statement(int(m_rows.size())))) throw DbError(rest.lastError().text());
    Run(rest, int(m_rows.size()));
    m_rows.clear();
}
