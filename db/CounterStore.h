#pragma once

#include <QString>
#include <optional>

class Database;

// The document counters of the single [Number] row: each holds the last number used.
struct CounterValues {
    QString zakazPr;       // order number prefix, kept exactly as typed
    long zakazNomer = 0;   // last order number
    long payNomer = 0;     // last incoming cash document
    long outPayNomer = 0;  // last outgoing cash document
    long salaryNomer = 0;  // last salary statement
};

class CounterStore {
public:
    explicit CounterStore(Database &db) : m_db(db) {}

    // Prefix followed by the counter plus one; empty when there is no counter row. Stores nothing.
    QString NextOrderNumber();
    QString OrderPrefix();
    // Trims the number, drops as many leading characters as the prefix has, and stores the leading whole
    // number of the rest (0 if none) as the order counter.
    void StoreOrderCounter(const QString &number);

    long NextPayNumber();  // 0 when there is no counter row
    void StorePayNumber(long number);
    long NextOutPayNumber();
    void StoreOutPayNumber(long number);
    long NextSalaryNumber();
    void StoreSalaryNumber(long number);

    std::optional<CounterValues> ReadAll();
    // Writes every counter and the prefix; recreates the row when it is missing.
    void WriteAll(const CounterValues &values);

private:
    long Next(const char *column);
    void Store(const char *column, long number);

    Database &m_db;
};
