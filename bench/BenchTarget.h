#pragma once

#include <QString>
#include <QStringList>

// Where the reference database of a scale lives: an SQLite file, or a schema of its own (zv_bench_<scale>)
// in the PostgreSQL database named by libpq pairs.
class BenchTarget {
public:
    static BenchTarget Sqlite(const QString &file) { return BenchTarget(false, file); }
    static BenchTarget Postgres(const QString &pairs) { return BenchTarget(true, pairs); }

    // Takes "--sqlite FILE" or "--pg PAIRS", "--scale S" and "--unpaid SHARE" out of the arguments; false
    // with a message in `error` when they are missing or wrong.
    static bool FromArguments(QStringList &args, BenchTarget *target, double *scale, QString *error);

    bool postgres() const { return m_postgres; }
    QString BackendName() const { return m_postgres ? QStringLiteral("Postgres") : QStringLiteral("Sqlite"); }
    QString Schema(double scale) const;
    // The program's connect string to the reference database of the scale.
    QString Connect(double scale) const;
    // SQLite: the file; PostgreSQL: the libpq pairs.
    const QString &where() const { return m_where; }
    // The share of finished orders the generator leaves owing money (part-paid or unpaid).
    double unpaid() const { return m_unpaid; }
    void SetUnpaid(double share) { m_unpaid = share; }
    static constexpr double kUnpaidShare = 0.05;

private:
    BenchTarget(bool postgres, const QString &where) : m_postgres(postgres), m_where(where) {}
    bool m_postgres;
    QString m_where;
    double m_unpaid = kUnpaidShare;
};
