#pragma once

#include <QString>

class Database;

// The spreadsheet reports over a year of the reference database: the rows are read once, outside the
// timing; each iteration builds the sheet and writes the workbook.
void RegisterReportBenchmarks(Database &db, const QString &backend);
