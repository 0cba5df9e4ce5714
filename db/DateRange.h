#pragma once

#include <QDate>
#include <QString>

// The dates the program takes, on every picker and in every store. SQLite keeps a moment as
// "yyyy-MM-dd HH:mm:ss" text, which sorts as the moment only while the year has four digits: a bound of
// year 10000 would sort below every real date and a period ending there would find nothing, where
// PostgreSQL finds the orders.
namespace DateRange {

QDate First();  // 01.01.1900
QDate Last();   // 31.12.2099
bool Contains(const QDate &day);
// The day held within the range; an invalid day stays invalid (a filter without that bound).
QDate Clamp(const QDate &day);

// What a journal or a report says, and a store throws, when a period starts after it ends.
inline const QString kReversed = QStringLiteral("Начало периода позже его окончания!");
// "с 01.01.1900 по 31.12.2099", for messages about a date outside the range.
QString Text();

}  // namespace DateRange
