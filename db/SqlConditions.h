#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

// The conditions of a WHERE grown from a journal's filters, joined by AND, with every value bound. Periods
// take both end days whole (from midnight of the first to the midnight after the last), so nothing dated on
// an end day, at midnight or in its last second, is lost. Every bound is held within DateRange, so a
// day past the range bounds the same rows on both databases.
class SqlConditions {
public:
    // The midnight that starts a day.
    static QDateTime StartOf(const QDate &day);
    // The moment that ends a day: everything before it belongs to the day, its last second included.
    static QDateTime EndOf(const QDate &day);

    // "column >= first midnight AND column < the midnight after last". A period whose start is after its
    // end throws DbError (DateRange::kReversed): it would silently choose nothing.
    SqlConditions &Period(const QString &column, const QDate &first, const QDate &last);
    // "column = value" when the trimmed value is not blank; a blank filter chooses everything.
    SqlConditions &Equals(const QString &column, const QString &value);
    // Values of the column that begin with the prefix (as typed, case and all): a range the column's index
    // can walk (code-point order, as both databases compare here), checked exactly by its first characters.
    SqlConditions &StartsWith(const QString &column, const QString &prefix);
    // Any further condition with its values.
    SqlConditions &And(const QString &condition, const QVariantList &binds = {});

    // The conditions without "WHERE"; empty when there are none.
    const QString &where() const { return m_where; }
    const QVariantList &binds() const { return m_binds; }

private:
    QString m_where;
    QVariantList m_binds;
};
