#include "DatePicker.h"

#include "DateRange.h"
#include "Prompter.h"

#include <QDateTimeEdit>

namespace DatePicker {

void Limit(QDateTimeEdit *edit) {
    edit->setDateRange(DateRange::First(), DateRange::Last());
}

bool PeriodAccepted(Prompter &prompter, const QDate &from, const QDate &to) {
    if (from <= to) return true;
    prompter.Warning(DateRange::kReversed);
    return false;
}

}  // namespace DatePicker
