#pragma once

#include <QDateTime>
#include <QString>

// Record keys: prefix "~" digits "~", where the digits are the date-time serial (days since
// 30 December 1899 with the time of day as the fraction) followed by a fixed-width number drawn at
// random once per program. Callers append their own suffix.
//
// Keys never repeat within a run: when the clock has not moved on since the last key (one-second
// resolution), the serial is nudged forward by a millisecond-sized step. Two programs logged in under
// the same name (a shop's shared login, on one machine or several) differ by their random part.
QString NewKey(const QString &prefix);

// The same from a given moment, without the uniqueness memory and the random part (used by NewKey and
// by tests).
QString KeyFromSerial(const QString &prefix, double serial);
double DateSerial(const QDateTime &moment);

// The digits that set this program's keys apart from every other program's.
QString ProgramKeyDigits();
