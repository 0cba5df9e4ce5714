#include "SqlConditions.h"

#include <QDateTime>

QDateTime SqlConditions::EndOf(const QDate &day) {
    return QDateTime(day.addDays(1), QTime(0, 0));
}

SqlConditions &SqlConditions::Period(const QString &column, const QDate &first, const QDate &last) {
    return And(column + QStringLiteral(" >= ? AND ") + column + QStringLiteral(" < ?"),
               {QDateTime(first, QTime(0, 0)), EndOf(last)});
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
