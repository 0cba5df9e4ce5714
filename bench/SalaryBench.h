#pragma once

#include <QString>

class Database;

// The salary screens over the reference database: the accrual dialog's list for a new payout, the
// balance view and one worker's performed works over a year, each beside its raw-SQL limit. The raw
// statements' figures are checked against the program's once, before timing.
void RegisterSalaryBenchmarks(Database &db, const QString &backend);
