#pragma once

class Prompter;
class QDate;
class QDateTimeEdit;

// What every date picker of the program shares.
namespace DatePicker {

// Holds the picker to DateRange: neither typing nor the calendar goes past it. Call it where the picker is
// made, before its first date is set.
void Limit(QDateTimeEdit *edit);
// True when the period runs forward; otherwise tells the user (DateRange::kReversed) and is false, and the
// journal keeps what it shows.
bool PeriodAccepted(Prompter &prompter, const QDate &from, const QDate &to);

}  // namespace DatePicker
