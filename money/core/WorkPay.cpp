#include "WorkPay.h"

namespace WorkPay {

Money LineAmount(double count, Money price) {
    return price.Times(count);
}

Money LinePay(double count, Money price, bool payIsPercent, double job) {
    return payIsPercent ? LineAmount(count, price).Percent(job) : Money::Roubles(job);
}

Money Share(Money linePay, int workers, bool first) {
    if (workers <= 0) return {};
    const QList<Money> shares = linePay.Split(workers);
    return first ? shares.front() : shares.back();
}

namespace {

QString LinePay(const QString &price, const QString &count, const QString &percent, const QString &job) {
    const QString amount =
        MoneySql::RoundDiv(QStringLiteral("(%1 * %2)").arg(price, count), QStringLiteral("1000"));
    return QStringLiteral("(CASE WHEN %1 = TRUE THEN %2 ELSE %3 END)")
        .arg(percent,
             MoneySql::RoundDiv(QStringLiteral("(%1 * %2)").arg(amount, job), QStringLiteral("10000")), job);
}

}  // namespace

QString LinePayKopecksSql(const QString &alias) {
    return LinePay(MoneySql::Whole(alias + QStringLiteral(".Price"), 2),
                   MoneySql::Whole(alias + QStringLiteral(".[Count]"), 3), alias + QStringLiteral(".PrJob"),
                   MoneySql::Whole(alias + QStringLiteral(".Job"), 2));
}

QString ShareKopecksSql(const QString &linePayKopecks, const QString &first, const QString &workers) {
    const QString share = MoneySql::RoundDiv(linePayKopecks, workers);
    return QStringLiteral("(CASE WHEN %1 THEN %2 - (%3 - 1) * %4 ELSE %4 END)")
        .arg(first, linePayKopecks, workers, share);
}

}  // namespace WorkPay
