#include "SqlConditions.h"

#include "DateRange.h"
#include "DbError.h"

#include <QDateTime>

QDateTime SqlConditions::StartOf(const QDate &day) {
    return QDateTime(DateRange::Clamp(day), QTime(0, 0));
}

QDateTime SqlConditions::EndOf(const QDate &day) {
    return QDateTime(DateRange::Clamp(day).addDays(1), QTime(0, 0));
}

SqlConditions &SqlConditions::Period(const QString &column, const QDate &first, const QDate &last) {
    if (first.isValid() && last.isValid() && first > last) throw DbError(DateRange::kReversed);
    return And(column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?"),
               {StartOf(first), EndOf(last)});
}

SqlConditions &SqlConditions::Equals(const QString &column, const QString &value) {
    const QString v = value.trimmed();
    if (v.isEmpty()) return *this;
    return And(column + QStringLiteral(" = ?"), {v});
}

SqlConditions &SqlConditions::And(const QString &condition, const QVariantList &binds) {
    if (!m_where.isEmpty()) m_where += QStringLiteral(" AND ");
    m_where += condition;
    m_binds += binds;
    return *this;
}
