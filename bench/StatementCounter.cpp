#include "StatementCounter.h"

#include "Database.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QSqlDriver>
#include <cstdlib>
#include <cstring>

namespace {

int OnStatement(unsigned, void *context, void *, void *text) {
    // Statements inside triggers come as comments; only those the program sends count.
    const char *sql = static_cast<const char *>(text);
    if (!(sql && sql[0] == '-' && sql[1] == '-')) ++*static_cast<int *>(context);
    return 0;
}

}  // namespace

StatementCounter::StatementCounter(Database &db) {
    const QVariant handle = db.handle().driver()->handle();
    const char *type = handle.typeName();
    if (type && std::strcmp(type, "sqlite3*") == 0) {
        m_sqlite = *static_cast<sqlite3 *const *>(handle.constData());
        sqlite3_trace_v2(m_sqlite, SQLITE_TRACE_STMT, OnStatement, &m_statements);
    } else if (type && (std::strcmp(type, "PGconn*") == 0 || std::strcmp(type, "pg_conn*") == 0)) {
        m_pg = *static_cast<PGconn *const *>(handle.constData());
        StartTrace();
    }
}

StatementCounter::~StatementCounter() {
    if (m_sqlite) sqlite3_trace_v2(m_sqlite, 0, nullptr, nullptr);
    if (m_pg) StopTrace();
}

void StatementCounter::StartTrace() {
    m_trace = open_memstream(&m_buffer, &m_size);
    if (!m_trace) return;
    PQtrace(m_pg, m_trace);
    PQsetTraceFlags(m_pg, PQTRACE_SUPPRESS_TIMESTAMPS);
}

int StatementCounter::StopTrace() {
    if (!m_trace) return -1;
    PQuntrace(m_pg);
    std::fclose(m_trace);
    m_trace = nullptr;
    // One line a message: "F <length> Query ..." or "F <length> Sync" for what the client sends.
    int trips = 0;
    for (const char *line = m_buffer; line && *line;) {
        const char *end = std::strchr(line, '\n');
        if (line[0] == 'F' && line[1] == '\t') {
            const char *name = std::strchr(line + 2, '\t');
            if (name && (std::strncmp(name + 1, "Query", 5) == 0 || std::strncmp(name + 1, "Sync", 4) == 0))
                ++trips;
        }
        line = end ? end + 1 : nullptr;
    }
    std::free(m_buffer);
    m_buffer = nullptr;
    m_size = 0;
    return trips;
}

int StatementCounter::Take() {
    if (m_sqlite) {
        const int n = m_statements;
        m_statements = 0;
        return n;
    }
    if (m_pg) {
        const int n = StopTrace();
        StartTrace();
        return n;
    }
    return -1;
}
