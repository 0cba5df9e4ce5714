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

}  // namespace WorkPay
