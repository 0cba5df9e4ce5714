#include "ServiceRecord.h"

Money PriceWithVat(Money price, double prNds) {
    return price + price.Percent(prNds);
}

void ServiceTotals::Add(const ServiceRecord &s) {
    price += s.price;
    vat += s.VatAmount();
    summa += s.summa;
    pay += s.PayAmount();
    minutes += s.time.isValid() ? s.time.hour() * 60 + s.time.minute() : 0;
}

QString ServiceTotals::Duration() const {
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

ServiceTotals PackageNode::Totals() const {
    ServiceTotals t;
    for (const ServiceNode &s : services) t.Add(s.service);
    return t;
}
