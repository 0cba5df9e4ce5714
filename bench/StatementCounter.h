#pragma once

#include <cstdio>

class Database;
struct pg_conn;
struct sqlite3;

// Counts what a piece of work costs the database, from below the program's own code: on SQLite the
// statements run (every execution of a prepared statement, BEGIN and COMMIT included), on PostgreSQL the
// round trips (each simple query and each extended-protocol Sync the client sends). Counting slows the
// work down, so the benchmarks count in a run of their own, outside the timed loop.
class StatementCounter {
public:
    explicit StatementCounter(Database &db);
    ~StatementCounter();
    StatementCounter(const StatementCounter &) = delete;
    StatementCounter &operator=(const StatementCounter &) = delete;

    // False on a connection it cannot watch (ODBC).
    bool works() const { return m_sqlite || m_pg; }
    // The count since the counter started or was last taken; -1 when it cannot count.
    int Take();

private:
    void StartTrace();
    int StopTrace();

    sqlite3 *m_sqlite = nullptr;
    pg_conn *m_pg = nullptr;
    int m_statements = 0;
    std::FILE *m_trace = nullptr;
    char *m_buffer = nullptr;
    size_t m_size = 0;
};
