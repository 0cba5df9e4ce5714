#include "Money.h"

#include <cmath>
#include <limits>

namespace {

// Products of an amount and a quantity or a percent pass 64 bits before they are divided back.
__extension__ using Wide = __int128;

// num / den to the nearest whole, half away from zero; den > 0.
qint64 RoundDiv(Wide num, Wide den) {
    const Wide half = den / 2;
    const Wide q = num >= 0 ? (num + half) / den : -((-num + half) / den);
    return qint64(q);
}

// A double to the nearest whole, half away from zero, kept within what a qint64 holds.
qint64 Nearest(double value) {
    constexpr double kBound = 9.0e18;
    if (!(value == value)) return 0;  // not a number
    if (value >= kBound) return std::numeric_limits<qint64>::max() / 2;
    if (value <= -kBound) return -(std::numeric_limits<qint64>::max() / 2);
    return std::llround(value);
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\u00A0' || c == u'\u2009' || c == u'\u202F';
}

}  // namespace

Money Money::Roubles(double roubles) {
    return Money(Nearest(roubles * 100.0));
}

Money Money::Parse(QStringView typed) {
    qsizetype i = 0;
    const qsizetype n = typed.size();
    while (i < n && typed[i].isSpace()) ++i;
    bool negative = false;
    if (i < n && (typed[i] == u'-' || typed[i] == u'+')) negative = typed[i++] == u'-';
    // Whole roubles, then up to three decimals (the third decides the rounding); more digits than any
    // amount has saturate beyond the limit.
    constexpr qint64 kBeyond = kMaxKopecks * 10;
    qint64 milli = 0;  // thousandths of a rouble
    bool digits = false, beyond = false;
    for (; i < n && (typed[i].isDigit() || IsBlank(typed[i])); ++i) {
        if (IsBlank(typed[i])) continue;
        digits = true;
        if (milli <= kBeyond)
            milli = milli * 10 + (typed[i].unicode() - u'0');
        else
            beyond = true;
    }
    milli *= 1000;
    if (i < n && (typed[i] == u'.' || typed[i] == u',')) {
        ++i;
        // Past the third decimal nothing changes the kopeck once the third one has rounded it.
        for (qint64 scale = 100; i < n && typed[i].isDigit(); ++i, scale /= 10) {
            digits = true;
            milli += (typed[i].unicode() - u'0') * scale;
        }
    }
    if (!digits) return {};
    const qint64 kopecks = beyond ? kBeyond : RoundDiv(milli, 10);
    return Money(negative ? -kopecks : kopecks);
}

QString Money::Text() const {
    const qint64 whole = m_kopecks / 100;
    const qint64 part = m_kopecks % 100;
    const bool negative = m_kopecks < 0;
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(negative ? -whole : whole)
        .arg(negative ? -part : part, 2, 10, QLatin1Char('0'));
}

Money Money::Times(double quantity) const {
    return Money(RoundDiv(Wide(m_kopecks) * Nearest(quantity * 1000.0), 1000));
}

Money Money::Percent(double percent) const {
    return Money(RoundDiv(Wide(m_kopecks) * Nearest(percent * 100.0), 10000));
}

QList<Money> Money::Split(int parts) const {
    QList<Money> shares;
    if (parts <= 0) return shares;
    const Money share(RoundDiv(m_kopecks, parts));
    shares.fill(share, parts);
    shares[0] = Money(m_kopecks - share.m_kopecks * (parts - 1));
    return shares;
}

double RoundQuantity(double quantity) {
    return double(Nearest(quantity * 1000.0)) / 1000.0;
}

bool QuantityWithinLimit(double quantity) {
    return std::fabs(quantity) <= Money::kMaxQuantity;
}

QString MoneyLimitText() {
    return QStringLiteral("999 999 999,99");
}

namespace MoneySql {

QString RoundDiv(const QString &a, const QString &b) {
    // Half of b pushed away from zero, then the division truncates: `a` is written out twice only, as
    // rules nest it.
    return QStringLiteral("((%1 + CASE WHEN %1 < 0 THEN -(%2 / 2) ELSE %2 / 2 END) / %2)").arg(a, b);
}

QString Whole(const QString &column, int decimals) {
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    return QStringLiteral("CAST(ROUND(%1 * %2) AS BIGINT)").arg(column).arg(scale);
}

QString LineAmount(const QString &alias) {
    return RoundDiv(
        QStringLiteral("(%1 * %2)")
            .arg(Whole(alias + QStringLiteral(".Price"), 2), Whole(alias + QStringLiteral(".[Count]"), 3)),
        QStringLiteral("1000"));
}

QString LineVat(const QString &alias) {
    return RoundDiv(
        QStringLiteral("(%1 * %2)").arg(LineAmount(alias), Whole(alias + QStringLiteral(".PrNDS"), 2)),
        QStringLiteral("10000"));
}

QString LinePay(const QString &alias) {
    const QString job = Whole(alias + QStringLiteral(".Job"), 2);
    return QStringLiteral("(CASE WHEN %1.PrJob = TRUE THEN %2 ELSE %3 END)")
        .arg(alias,
             RoundDiv(QStringLiteral("(%1 * %2)").arg(LineAmount(alias), job), QStringLiteral("10000")), job);
}

QString Share(const QString &linePay, const QString &first, const QString &workers) {
    const QString share = RoundDiv(linePay, workers);
    return QStringLiteral("(CASE WHEN %1 THEN %2 - (%3 - 1) * %4 ELSE %4 END)")
        .arg(first, linePay, workers, share);
}

}  // namespace MoneySql
