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

SqlConditions &SqlConditions::StartsWith(const QString &column, const QString &prefix) {
    if (prefix.isEmpty()) return *this;
    And(QStringLiteral("substr(%1, 1, ?) = ?").arg(column), {int(prefix.toUcs4().size()), prefix});
    // Past the last character the range ends at that character raised by one; a surrogate or the last
    // character of the plane has no such neighbour, and the exact check alone decides.
    const char16_t last = prefix.back().unicode();
    if (last >= 0xD800) return And(column + QStringLiteral(" >= ?"), {prefix});
    QString end = prefix;
    end.back() = QChar(char16_t(last + 1));
    return And(column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?"), {prefix, end});
}

SqlConditions &SqlConditions::And(const QString &condition, const QVariantList &binds) {
    if (!m_where.isEmpty()) m_where += QStringLiteral(" AND ");
    m_where += condition;
    m_binds += binds;
    return *this;
}
