#include "SqliteCursor.h"

#include "Database.h"

#include <sqlite3.h>

namespace {

// The driver's type for a declared column type.
QMetaType DeclaredType(const char *declared) {
    const QString type = QString::fromUtf8(declared).toLower();
    if (type == u"integer" || type == u"int") return QMetaType(QMetaType::Int);
    if (type == u"double" || type == u"float" || type == u"real" || type.startsWith(u"numeric"))
        return QMetaType(QMetaType::Double);
    if (type == u"blob") return QMetaType(QMetaType::QByteArray);
    if (type == u"boolean" || type == u"bool") return QMetaType(QMetaType::Bool);
    return QMetaType(QMetaType::QString);
}

// The driver's type for a computed column: that of its value in the first row.
QMetaType ValueType(int storage) {
    switch (storage) {
        case SQLITE_INTEGER:
            return QMetaType(QMetaType::Int);
        case SQLITE_FLOAT:
            return QMetaType(QMetaType::Double);
        case SQLITE_BLOB:
            return QMetaType(QMetaType::QByteArray);
        case SQLITE_TEXT:
            return QMetaType(QMetaType::QString);
        default:
            return QMetaType();
    }
}

}  // namespace

SqliteCursor::SqliteCursor(Database &db, sqlite3_stmt *statement) : m_db(db), m_statement(statement) {}

SqliteCursor::~SqliteCursor() {
    sqlite3_finalize(m_statement);
}

bool SqliteCursor::Next() {
    if (m_done) return false;
    int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        if (!m_described) Describe(rc == SQLITE_ROW);
        if (rc == SQLITE_ROW) return true;
        // Read to the end: the statement lets go of its snapshot at once, even if the reader keeps it.
        m_done = true;
        sqlite3_reset(m_statement);
        return false;
    }
    m_done = true;
    // A generic failure names its real cause only once the statement is reset.
    const int cause = sqlite3_reset(m_statement);
    m_db.FailSqlite(rc == SQLITE_ERROR || rc == SQLITE_CONSTRAINT ? cause : rc, "Unable to fetch row");
}

void SqliteCursor::Describe(bool haveRow) {
    m_described = true;
    const int count = sqlite3_column_count(m_statement);
    m_names.reserve(size_t(count));
    m_types.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        m_names.push_back(QString::fromUtf8(sqlite3_column_name(m_statement, i)).remove(u'"'));
        const char *declared = sqlite3_column_decltype(m_statement, i);
        m_types.push_back(declared && *declared
                              ? DeclaredType(declared)
                              : ValueType(haveRow ? sqlite3_column_type(m_statement, i) : -1));
    }
}

bool SqliteCursor::Text(int column, QString *text) const {
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            *text = QString();
            return true;
        case SQLITE_TEXT:
            *text =
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column)),
                                  sqlite3_column_bytes(m_statement, column));
            return true;
        default:
            return false;
    }
}

QVariant SqliteCursor::Value(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_statement, column));
        case SQLITE_NULL:
            return QVariant(QMetaType::fromType<QString>());
        case SQLITE_BLOB: {
            const char *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
            return QVariant(QByteArray(bytes, sqlite3_column_bytes(m_statement, column)));
        }
        default: {
            const char *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
        }
    }
}
