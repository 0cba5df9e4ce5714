#pragma once

#include <QDateTime>
#include <QString>

// Formats shared by every screen, list and document.
namespace Formats {

// A quantity or a percent with two decimals and a point, as lists and documents show them: "1.50".
QString TwoDecimals(double value);

// A percent or a quantity typed by the user: blanks between thousands dropped (also no-break and thin
// ones), every "," read as ".", then the leading decimal number; 0 if none. Amounts are Money::Parse.
double ParseNumber(const QString &typed);

// The leading decimal number of a text ("12.5abc" -> 12.5, "abc" -> 0). Leading blanks are skipped.
double LeadingNumber(QStringView text);
// The leading whole number of a text ("125" -> 125, "12.9" -> 12, "-3x" -> -3, "x" -> 0).
long LeadingLong(QStringView text);

QString Date(const QDateTime &value);  // 31.12.2024
QString Date(const QDate &value);
QString Time(const QDateTime &value);  // 09:05
QString Time(const QTime &value);
QString DateTime(const QDateTime &value);  // 31.12.2024 09:05

// The zero of the date-time type, 30 December 1899 00:00, which an unset date is written as.
QDateTime ZeroDateTime();

// A time of day kept in a Date/Time column: the time on the zero date.
QDateTime TimeOfDay(const QTime &time);

// Call first thing in main. Without TZ the C library looks at the zone file again on every local-time
// conversion, which costs more than reading a row; naming the system's zone file once lets it load the
// zone once. A TZ the user set is left alone.
void KeepLocalZoneLoaded();

}  // namespace Formats
