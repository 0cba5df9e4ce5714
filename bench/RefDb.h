#pragma once

#include "BenchTarget.h"
#include "RefDbSizes.h"

#include <QString>
#include <cstdint>
#include <memory>

class Database;

// The reference database of a scale, generated once and kept: a table ZvBenchRef records what made it
// (generator version, scale, seed and the schema's tables and columns), and a database whose record does
// not match is generated anew.
class RefDb {
public:
    static constexpr std::uint64_t kSeed = 11;

    struct Outcome {
        bool generated = false;
        double seconds = 0;  // generating and writing, when generated
        // This program's processor time for it, when generated here (on a busy machine the wall time says
        // more about the other programs); the PostgreSQL server's time is not in it.
        double cpuSeconds = 0;
        RefDbCounts counts;
    };

    // Generates the database unless an up-to-date one is there (or always, with `force`). Throws DbError.
    static Outcome Ensure(const BenchTarget &target, double scale, bool force = false);
    // Generates into an open database with the empty schema. Throws DbError.
    static Outcome Generate(Database &db, double scale, std::uint64_t seed,
                            double unpaid = BenchTarget::kUnpaidShare);
    // What identifies a generation.
    static QString Tag(double scale, std::uint64_t seed, double unpaid = BenchTarget::kUnpaidShare);
};
