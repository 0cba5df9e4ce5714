#include "BulkInsert.h"

#include "Database.h"
#include "DbError.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QSqlDriver>
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
    const QVariant handle = db.handle().driver()->handle();
    const char *type = handle.typeName();
    if (type && qstrcmp(type, "sqlite3*") == 0) m_sqlite = *static_cast<sqlite3 *const *>(handle.constData());
    if (type && (qstrcmp(type, "PGconn*") == 0 || qstrcmp(type, "pg_conn*") == 0))
        m_pg = *static_cast<PGconn *const *>(handle.constData());
}

BulkInsert::~BulkInsert() {
    sqlite3_finalize(m_native);
    if (m_pg && !m_pgName.isEmpty())
        PQclear(PQexec(m_pg, (QByteArray("DEALLOCATE ") + m_pgName).constData()));
}

sqlite3_stmt *BulkInsert::PrepareNative(int rows) {
    const QByteArray sql = Statement(rows).toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_sqlite, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(m_sqlite)));
    return statement;
}

void BulkInsert::RunNative(sqlite3_stmt *statement, int rows) {
    const int width = int(m_table.columns.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            const int at = r * width + c + 1;
            const QVariant v = m_db.BindValue(m_rows[size_t(r)][c]);
            switch (v.typeId()) {
                case QMetaType::Bool:
                case QMetaType::Int:
                case QMetaType::LongLong:
                    sqlite3_bind_int64(statement, at, v.toLongLong());
                    break;
                case QMetaType::Double:
                    sqlite3_bind_double(statement, at, v.toDouble());
                    break;
                default: {
                    // As Qt binds it: an invalid value or a null text is NULL.
                    const QString text = v.toString();
                    if (!v.isValid() || text.isNull()) {
                        sqlite3_bind_null(statement, at);
                    } else {
                        const QByteArray utf8 = text.toUtf8();
                        sqlite3_bind_text(statement, at, utf8.constData(), int(utf8.size()),
                                          SQLITE_TRANSIENT);
                    }
                }
            }
        }
    }
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    if (rc != SQLITE_DONE)
        throw DbError(QStringLiteral("%1: %2").arg(QString::fromLatin1(m_table.name),
                                                   QString::fromUtf8(sqlite3_errmsg(m_sqlite))));
}

QString BulkInsert::Statement(int rows) const {
    if (m_pg) {
        QStringList columns;
        for (const ColumnDef &c : m_table.columns) columns << QString::fromLatin1(c.name);
        QStringList values;
        int n = 0;
        for (int r = 0; r < rows; ++r) {
            QStringList one;
            for (size_t c = 0; c < m_table.columns.size(); ++c) one << u'$' + QString::number(++n);
            values << u'(' + one.join(QStringLiteral(", ")) + u')';
        }
        // Unquoted names fold to lower case, as the schema's own statements left them.
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(QString::fromLatin1(m_table.name), columns.join(QStringLiteral(", ")),
                 values.join(QStringLiteral(", ")));
    }
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

void BulkInsert::RunPg(const QByteArray &name, const QByteArray &text, int rows) {
    const int width = int(m_table.columns.size());
    const int n = rows * width;
    std::vector<QByteArray> texts(static_cast<size_t>(n));
    std::vector<const char *> params(static_cast<size_t>(n), nullptr);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            const size_t at = size_t(r) * size_t(width) + size_t(c);
            const QVariant v = m_db.BindValue(m_rows[size_t(r)][c]);
            switch (v.typeId()) {
                case QMetaType::Bool:
                    texts[at] = v.toBool() ? "t" : "f";
                    break;
                case QMetaType::Double:
                    texts[at] = QByteArray::number(v.toDouble(), 'g', 17);
                    break;
                default: {
                    const QString t = v.toString();
                    if (!v.isValid() || t.isNull()) continue;  // NULL
                    texts[at] = t.toUtf8();
                }
            }
            params[at] = texts[at].constData();
        }
    }
    PGresult *result =
        name.isEmpty() ? PQexecParams(m_pg, text.constData(), n, nullptr, params.data(), nullptr, nullptr, 0)
                       : PQexecPrepared(m_pg, name.constData(), n, params.data(), nullptr, nullptr, 0);
    const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
    const QString error = ok ? QString() : QString::fromUtf8(PQresultErrorMessage(result));
    PQclear(result);
    if (!ok) throw DbError(QStringLiteral("%1: %2").arg(QString::fromLatin1(m_table.name), error));
}

void BulkInsert::Add(QVariantList &&row) {
    m_rows.push_back(std::move(row));
    if (int(m_rows.size()) < m_batchRows) return;
    if (m_pg) {
        if (m_pgName.isEmpty()) {
            const QByteArray name = QByteArray("zv_bulk_") + m_table.name;
            PGresult *result = PQprepare(m_pg, name.constData(), Statement(m_batchRows).toUtf8().constData(),
                                         m_batchRows * int(m_table.columns.size()), nullptr);
            const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
            const QString error = ok ? QString() : QString::fromUtf8(PQresultErrorMessage(result));
            PQclear(result);
            if (!ok) throw DbError(error);
            m_pgName = name;
        }
        RunPg(m_pgName, {}, m_batchRows);
        m_rows.clear();
        return;
    }
    if (m_sqlite) {
        if (!m_native) m_native = PrepareNative(m_batchRows);
        RunNative(m_native, m_batchRows);
        m_rows.clear();
        return;
    }
    if (!m_prepared) {
        if (!m_full.prepare(Statement(m_batchRows))) throw DbError(m_full.lastError().text());
        m_prepared = true;
    }
    Run(m_full, m_batchRows);
    m_rows.clear();
}

void BulkInsert::Flush() {
    if (m_rows.empty()) return;
    if (m_pg) {
        RunPg({}, Statement(int(m_rows.size())).toUtf8(), int(m_rows.size()));
        m_rows.clear();
        return;
    }
    if (m_sqlite) {
        sqlite3_stmt *rest = PrepareNative(int(m_rows.size()));
        try {
            RunNative(rest, int(m_rows.size()));
        } catch (...) {
            sqlite3_finalize(rest);
            throw;
        }
        sqlite3_finalize(rest);
        m_rows.clear();
        return;
    }
    QSqlQuery rest(m_db.handle());
    if (!rest.prepare(Statement(int(m_rows.size())))) throw DbError(rest.lastError().text());
    Run(rest, int(m_rows.size()));
    m_rows.clear();
}
