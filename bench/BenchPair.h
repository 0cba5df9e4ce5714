#pragma once

#include <benchmark/benchmark.h>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <cstddef>
#include <functional>

class Database;

// A raw statement prepared once and run again and again; reads every value of every row.
class RawQuery {
public:
    RawQuery(Database &db, const QString &sql);
    size_t Run(const QVariantList &binds = {});

private:
    Database &m_db;
    QSqlQuery m_query;
};

// The first value of the first row, or an empty string.
QString One(Database &db, const QString &sql, const QVariantList &binds = {});

// Runs the program's call and its raw limit in turn, timing each; only the program's call is the
// benchmark's time. `after` (untimed) puts the database back between iterations.
void RunPair(benchmark::State &state, Database &db, const std::function<size_t()> &program,
             const std::function<size_t()> &raw, const std::function<void()> &after = {});
