#pragma once

#include <QString>
#include <optional>

class Database;

// The document counters of the single [Number] row: each holds the last number used. Counters are
// 64-bit; a number that does not fit is refused, never wrapped.
struct CounterValues {
    QString zakazPr;       // order number prefix, kept exactly as typed
    long zakazNomer = 0;   // last order number
    long payNomer = 0;     // last incoming cash document
    long outPayNomer = 0;  // last outgoing cash document
    long salaryNomer = 0;  // last salary statement
};

// Which counter a cash document takes its number from.
enum class DocCounter { Pay, OutPay, Salary };

class CounterStore {
public:
    explicit CounterStore(Database &db) : m_db(db) {}

    // The counter plus one, storing nothing: what a form proposes while it is open; 0 when there is no
    // counter row.
    long NextPayNumber();
    long NextSalaryNumber();
    long Next(DocCounter counter);

    // Numbers for documents being saved. Each runs inside the caller's transaction (or one of its own):
    // the counter is raised and read in one step that locks its row until that transaction ends, so two
    // workstations saving at the same moment never get the same number and the counter ends at the
    // highest number issued. Without a counter row the row is recreated at 0 and nothing is issued
    // (an empty order number, document number 0).
    QString TakeOrderNumber();
    long Take(DocCounter counter);
    // A number typed by the user on a new document: the counter rises to it when it is higher, and never
    // goes down (only the numbering settings may set a counter lower).
    void Raise(DocCounter counter, long number);
    // An order number typed over a stored one: when it is the order prefix followed by nothing but digits,
    // the order counter rises to that number, so no later order is given it.
    void RaiseOrderNumber(const QString &number);

    std::optional<CounterValues> ReadAll();
    // Writes every counter and the prefix; recreates the row when it is missing.
    void WriteAll(const CounterValues &values);

    // The leading whole number of a text, as counters read typed numbers; DbError when it does not fit
    // a counter.
    static long ParseNumber(QStringView text);

private:
    long NextOf(const char *column);
    void Store(const char *column, long number);
    void RaiseOf(const char *column, long number);
    std::optional<long> TakeOf(const char *column, QString *prefix = nullptr);

    Database &m_db;
};
