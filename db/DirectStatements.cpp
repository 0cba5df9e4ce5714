// The statements that run past the driver's own query: SQLite's kept writes and direct cursors,
// PostgreSQL's prepared statements and the lists read as they arrive.
#include "Database.h"

#include "DbError.h"
#include "PgCursor.h"
#include "PgResult.h"
#include "SqliteCursor.h"

#include <sqlite3.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlResult>

namespace {

// What a kept write hands back: how many rows it changed (the kept statement itself stays with the
// connection for its next run).
class WriteDone : public QSqlResult {
public:
    WriteDone(const QSqlDriver *driver, int rows) : QSqlResult(driver), m_rows(rows) {
        setSelect(false);
        setActive(true);
    }

protected:
    QVariant data(int) override { return {}; }
    bool isNull(int) override { return true; }
    bool reset(const QString &) override { return false; }
    bool fetch(int) override { return false; }
    bool fetchFirst() override { return false; }
    bool fetchLast() override { return false; }
    int size() override { return -1; }
    int numRowsAffected() override { return m_rows; }

private:
    int m_rows;
};

}  // namespace

QSqlQuery Database::ExecKeptWrite(const QString &text, const QVariantList &binds) {
    auto kept = m_writes.find(text);
    if (kept == m_writes.end()) {
        // A few dozen texts cover every save; one that builds its text from its row count may make more.
        if (m_writes.size() >= 64) m_writes.clear();
        auto query = std::make_unique<QSqlQuery>(handle());
        query->setForwardOnly(true);
        if (!query->prepare(text)) Fail(query->lastError());
        kept = m_writes.emplace(text, std::move(query)).first;
    }
    QSqlQuery &query = *kept->second;
    for (int i = 0; i < binds.size(); ++i) query.bindValue(i, BindValue(binds[i]));
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        m_writes.erase(kept);
        Fail(error);
    }
    return QSqlQuery(new WriteDone(handle().driver(), query.numRowsAffected()));
}

namespace {

// What the driver binds as NULL: no value, or a null text, byte string or an invalid date or time.
bool IsNullValue(const QVariant &value) {
    if (value.isNull()) return true;
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString().isNull();
        case QMetaType::QByteArray:
            return value.toByteArray().isNull();
        case QMetaType::QDateTime:
            return !value.toDateTime().isValid();
        case QMetaType::QDate:
            return !value.toDate().isValid();
        case QMetaType::QTime:
            return !value.toTime().isValid();
        default:
            return false;
    }
}

// "?" marks outside quotes become $1, $2, ... as PostgreSQL's PREPARE wants them.
QString NumberedMarks(const QString &text) {
    QString out;
    out.reserve(text.size() + 16);
    QChar quote;
    int n = 0;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace

std::unique_ptr<SqliteCursor> Database::OpenCursor(const QString &sql, const QVariantList &binds) {
    if (!m_sqlite || !m_directReads || IsWrite(sql)) return nullptr;
    const QString text = Announce(sql);
    const QByteArray utf8 = text.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    int rc = sqlite3_prepare_v2(m_sqlite, utf8.constData(), int(utf8.size()), &statement, &tail);
    if (rc != SQLITE_OK || !statement) {
        sqlite3_finalize(statement);
        FailSqlite(rc, "Unable to execute statement");
    }
    std::unique_ptr<SqliteCursor> cursor(new SqliteCursor(*this, statement));
    if (tail && !QByteArray(tail).trimmed().isEmpty())
        FailSqlite(SQLITE_MISUSE, "Unable to execute multiple statements at a time");
    if (sqlite3_bind_parameter_count(statement) != binds.size())
        Fail(QSqlError(QCoreApplication::translate("QSQLiteResult", "Parameter count mismatch"), QString(),
                       QSqlError::StatementError));
    // Each value bound as the driver binds it.
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant value = BindValue(binds[i]);
        if (IsNullValue(value)) {
            rc = sqlite3_bind_null(statement, i + 1);
        } else {
            switch (value.typeId()) {
                case QMetaType::QByteArray: {
                    const QByteArray bytes = value.toByteArray();
                    rc = sqlite3_bind_blob(statement, i + 1, bytes.constData(), int(bytes.size()),
                                           SQLITE_TRANSIENT);
                    break;
                }
                case QMetaType::Int:
                case QMetaType::Bool:
                    rc = sqlite3_bind_int(statement, i + 1, value.toInt());
                    break;
                case QMetaType::Double:
                    rc = sqlite3_bind_double(statement, i + 1, value.toDouble());
                    break;
                case QMetaType::UInt:
                case QMetaType::LongLong:
                    rc = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
                    break;
                default: {
                    const QString string = value.typeId() == QMetaType::QDateTime
                                               ? value.toDateTime().toString(Qt::ISODateWithMs)
                                           : value.typeId() == QMetaType::QTime
                                               ? value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"))
                                               : value.toString();
                    rc = sqlite3_bind_text16(statement, i + 1, string.utf16(), int(string.size() * 2),
                                             SQLITE_TRANSIENT);
                    break;
                }
            }
        }
        if (rc != SQLITE_OK) FailSqlite(rc, "Unable to bind parameters");
    }
    return cursor;
}

QByteArray Database::Prepared(const QString &text) {
    QByteArray name = m_statements.value(text);
    if (!name.isEmpty()) return name;
    // The program has a few hundred statements; anything beyond means texts made on the fly.
    if (m_statements.size() >= 500) ForgetStatements();
    name = "zv_" + QByteArray::number(++m_statementSerial);
    QSqlError error;
    if (!PgResult::Prepare(m_pg, name, NumberedMarks(text), &error)) Fail(error);
    m_statements.insert(text, name);
    return name;
}

namespace {

// Values as the server is sent them: bound as this database binds them, NULLs as null variants.
QVariantList ServerValues(const Database &db, const QVariantList &binds) {
    QVariantList values;
    values.reserve(binds.size());
    for (const QVariant &bind : binds) {
        const QVariant value = db.BindValue(bind);
        values.append(IsNullValue(value) ? QVariant() : value);
    }
    return values;
}

}  // namespace

QSqlQuery Database::ExecPrepared(const QString &text, const QVariantList &binds) {
    const QByteArray name = Prepared(text);
    QSqlError error;
    QSqlQuery query =
        PgResult::RunPrepared(m_pg, handle().driver(), name, ServerValues(*this, binds), &error);
    if (!query.isActive()) Fail(error);
    return query;
}

std::unique_ptr<RowCursor> Database::OpenStream(const QString &sql, const QVariantList &binds) {
    if (!m_pg || !m_directReads || IsWrite(sql)) return nullptr;
    const auto open = [&] {
        const QString text = Announce(sql);
        const QByteArray name = Prepared(text);
        QSqlError error;
        std::unique_ptr<PgResult::Stream> stream =
            PgResult::Stream::Start(m_pg, name, ServerValues(*this, binds), &error);
        if (!stream) Fail(error);
        std::unique_ptr<PgCursor> cursor(new PgCursor(*this, std::move(stream)));
        m_stream = cursor.get();
        cursor->Prime();
        return cursor;
    };
    // As Exec reads: on a connection found broken outside a transaction, once more on a new one.
    if (m_depth == 0) {
        try {
            return open();
        } catch (const DbError &) {
            if (!m_lost) throw;
        }
    }
    return open();
}

QSqlQuery Database::ExecDirect(const QString &text) {
    QSqlError error;
    QSqlQuery query = PgResult::Run(m_pg, handle().driver(), text, &error);
    if (!query.isActive()) Fail(error);
    return query;
}

void Database::ForgetStatements() {
    if (m_statements.isEmpty()) return;
    m_statements.clear();
    if (m_pg) {
        ExecDirect(QStringLiteral("DEALLOCATE ALL"));
        return;
    }
    QSqlQuery q(handle());
    if (!q.exec(QStringLiteral("DEALLOCATE ALL"))) Fail(q.lastError());
}
