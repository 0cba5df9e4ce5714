#include "BenchPair.h"

#include "Database.h"
#include "DbError.h"
#include "StatementCounter.h"

#include <QSqlError>
#include <QSqlRecord>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;
}  // namespace

RawQuery::RawQuery(Database &db, const QString &sql) : m_db(db), m_query(db.handle()) {
    m_query.setForwardOnly(true);
    if (!m_query.prepare(db.Sql(sql))) throw DbError(m_query.lastError().text());
}

size_t RawQuery::Run(const QVariantList &binds) {
    for (int i = 0; i < binds.size(); ++i) m_query.bindValue(i, m_db.BindValue(binds[i]));
    if (!m_query.exec()) throw DbError(m_query.lastError().text());
    size_t rows = 0;
    const int n = m_query.record().count();
    while (m_query.next()) {
        for (int i = 0; i < n; ++i) benchmark::DoNotOptimize(m_query.value(i));
        ++rows;
    }
    m_query.finish();
    return rows;
}

QString One(Database &db, const QString &sql, const QVariantList &binds) {
    QSqlQuery q = db.Exec(sql, binds);
    return q.next() ? q.value(0).toString() : QString();
}

void RunPair(benchmark::State &state, Database &db, const std::function<size_t()> &program,
             const std::function<size_t()> &raw, const std::function<void()> &after) {
    const bool pg = db.PostgresStyle();
    size_t rows = 0, rawRows = 0;
    int calls = -1, rawCalls = -1;
    {
        StatementCounter counter(db);
        rows = program();
        calls = counter.Take();
        if (after) after();
        counter.Take();
        rawRows = raw();
        rawCalls = counter.Take();
        if (after) after();
    }
    double programSeconds = 0, rawSeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(program());
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(raw());
        const auto t2 = Clock::now();
        const double p = std::chrono::duration<double>(t1 - t0).count();
        programSeconds += p;
        rawSeconds += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(p);
        if (after) after();
    }
    const double n = double(state.iterations());
    state.counters["raw_ms"] = rawSeconds / n * 1e3;
    state.counters["ratio"] = rawSeconds > 0 ? programSeconds / rawSeconds : 0;
    state.counters[pg ? "trips" : "stmts"] = calls;
    state.counters[pg ? "raw_trips" : "raw_stmts"] = rawCalls;
    state.counters["rows"] = double(rows);
    state.counters["raw_rows"] = double(rawRows);
}
