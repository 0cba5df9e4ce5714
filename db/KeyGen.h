#pragma once

#include <QDateTime>
#include <QString>

// Record keys: prefix "~" serial-digits "~", where the serial is the date-time as days since
// 30 December 1899 with the time of day as the fraction. Callers append their own suffix.
//
// Keys never repeat within a run: when the clock has not moved on since the last key (one-second
// resolution), the serial is nudged forward by a millisecond-sized step.
QString NewKey(const QString &prefix);

// The same from a given moment, without the uniqueness memory (used by NewKey and by tests).
QString KeyFromSerial(const QString &prefix, double serial);
double DateSerial(const QDateTime &moment);
