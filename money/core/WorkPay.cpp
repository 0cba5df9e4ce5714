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

QString LinePayKopecksSql(const QString &alias) {
    const QString job = MoneySql::Whole(alias + QStringLiteral(".Job"), 2);
    return QStringLiteral("(CASE WHEN %1.PrJob = TRUE THEN %2 ELSE %3 END)")
        .arg(alias,
             MoneySql::RoundDiv(QStringLiteral("(%1 * %2)").arg(MoneySql::LineAmount(alias), job),
                                QStringLiteral("10000")),
             job);
}

QString ShareKopecksSql(const QString &linePayKopecks, const QString &place, const QString &workers) {
    const QString share = MoneySql::RoundDiv(linePayKopecks, workers);
    return QStringLiteral("(CASE WHEN %1 = 1 THEN %2 - (%3 - 1) * %4 ELSE %4 END)")
        .arg(place, linePayKopecks, workers, share);
}

}  // namespace WorkPay
