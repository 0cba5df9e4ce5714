#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <compare>

// An amount of money in whole kopecks. Every figure the program computes, stores, shows or prints is one:
// a line's sum, VAT and total are rounded to the kopeck when they are worked out (half away from zero), and
// every total is the sum of the rounded figures, so what is printed always adds up.
class Money {
public:
    // The most an amount may be, either sign: 999 999 999,99.
    static constexpr qint64 kMaxKopecks = 99'999'999'999;
    // The most a quantity may be, and its decimals.
    static constexpr double kMaxQuantity = 99'999;
    static constexpr int kQuantityDecimals = 3;

    constexpr Money() = default;
    static constexpr Money Kopecks(qint64 kopecks) { return Money(kopecks); }
    // An amount in roubles as the database or a spreadsheet holds it, to the nearest kopeck.
    static Money Roubles(double roubles);
    // What a clerk typed: blanks between thousands dropped (also no-break and thin ones), "," read as ".",
    // then the leading decimal number, read exactly and rounded to the kopeck; 0 if there is none. A
    // number too long for any amount comes back beyond the limit, so that the limit check refuses it.
    static Money Parse(QStringView typed);

    constexpr qint64 kopecks() const { return m_kopecks; }
    double ToDouble() const { return double(m_kopecks) / 100.0; }
    // Two decimals, a point as separator, no grouping: "1234.50", "-0.05".
    QString Text() const;

    // Owed when it is at least one kopeck.
    constexpr bool IsOutstanding() const { return m_kopecks >= 1; }
    constexpr bool IsZero() const { return m_kopecks == 0; }
    constexpr bool WithinLimit() const { return m_kopecks >= -kMaxKopecks && m_kopecks <= kMaxKopecks; }

    // This amount times a quantity (read to three decimals), to the kopeck.
    Money Times(double quantity) const;
    // The given percent of this amount (read to hundredths of a percent), to the kopeck.
    Money Percent(double percent) const;
    // This amount in `parts` shares that add up to it: each share rounded to the kopeck, and the kopecks
    // the rounding leaves over or takes away go to the first share. Empty for no parts.
    QList<Money> Split(int parts) const;

    constexpr Money Abs() const { return Money(m_kopecks < 0 ? -m_kopecks : m_kopecks); }
    constexpr Money operator-() const { return Money(-m_kopecks); }
    constexpr Money operator+(Money o) const { return Money(m_kopecks + o.m_kopecks); }
    constexpr Money operator-(Money o) const { return Money(m_kopecks - o.m_kopecks); }
    constexpr Money &operator+=(Money o) {
        m_kopecks += o.m_kopecks;
        return *this;
    }
    constexpr Money &operator-=(Money o) {
        m_kopecks -= o.m_kopecks;
        return *this;
    }
    constexpr auto operator<=>(const Money &) const = default;

private:
    constexpr explicit Money(qint64 kopecks) : m_kopecks(kopecks) {}
    qint64 m_kopecks = 0;
};

// A quantity as it is kept: to three decimals, half away from zero.
double RoundQuantity(double quantity);
// Whether a quantity is within the limit, either sign.
bool QuantityWithinLimit(double quantity);

// The limit in words for messages: "999 999 999,99".
QString MoneyLimitText();

// In SQL over stored amounts, "owes at least one kopeck" is "more than half a kopeck": amounts are whole
// kopecks, so the two say the same, and the half kopeck also holds on SQLite, whose sums and differences of
// REAL amounts leave a little dust.
inline constexpr double kHalfKopeck = 0.005;

// The rounding rules in SQL, in whole kopecks and exact on both databases: amounts and quantities are kept
// to their decimals, so they are read as whole numbers, and integer division truncates on both.
namespace MoneySql {
// a / b to the nearest whole, half away from zero (b > 0).
QString RoundDiv(const QString &a, const QString &b);
// A column kept to `decimals` decimals, in whole units of its last decimal.
QString Whole(const QString &column, int decimals);
// The amount without VAT, the VAT and the total of the TService-like row `alias`, in kopecks.
QString LineAmount(const QString &alias);
QString LineVat(const QString &alias);
// What the TService-like row `alias` pays its performers, in kopecks: a percentage of its amount, or a
// fixed sum.
QString LinePay(const QString &alias);
// One worker's share of a line's pay (in kopecks) split equally among `workers`, given whether he is the
// first of them by key (a condition): shares are rounded and the first takes what the rounding leaves.
QString Share(const QString &linePay, const QString &first, const QString &workers);
}  // namespace MoneySql
