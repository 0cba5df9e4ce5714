#include "DateRange.h"

#include "Formats.h"

namespace DateRange {

QDate First() {
    return {1900, 1, 1};
}

QDate Last() {
    return {2099, 12, 31};
}

bool Contains(const QDate &day) {
    return day >= First() && day <= Last();
}

QDate Clamp(const QDate &day) {
    if (!day.isValid()) return day;
    return qBound(First(), day, Last());
}

QString Text() {
    return QStringLiteral("с %1 по %2").arg(Formats::Date(First()), Formats::Date(Last()));
}

}  // namespace DateRange
