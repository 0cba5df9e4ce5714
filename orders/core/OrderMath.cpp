#include "OrderMath.h"

#include "WorkPay.h"

#include <cmath>

namespace OrderMath {

Money LineAmount(const OrderLine &line) {
    return WorkPay::LineAmount(line.count, line.price);
}

Money LineVat(const OrderLine &line) {
    return LineAmount(line).Percent(line.prNds);
}

Money LineTotal(const OrderLine &line) {
    return LineAmount(line) + LineVat(line);
}

qint64 LineDurationSecs(const OrderLine &line) {
    if (!line.time.isValid()) return 0;
    return qint64(std::llround(line.time.msecsSinceStartOfDay() / 1000.0 * line.count));
}

namespace {

void Add(Totals &t, const OrderLine &line) {
    if (line.deleted) return;
    if (!line.IsPackage()) {
        t.total += LineTotal(line);
        t.vat += LineVat(line);
        t.durationSecs += LineDurationSecs(line);
    }
    for (const OrderLine &child : line.children) Add(t, child);
}

}  // namespace

Totals Compute(const QList<OrderLine> &lines) {
    Totals t;
    for (const OrderLine &line : lines) Add(t, line);
    return t;
}

Money Paid(const QList<PayRecord> &payments) {
    Money sum;
    for (const PayRecord &p : payments)
        if (!p.Delete) sum += p.SummaPay;
    return sum;
}

Money Debt(Money total, Money paid) {
    return total - paid;
}

QDateTime ProposedCompletion(const QDateTime &accepted, qint64 durationSecs) {
    return accepted.addSecs(durationSecs);
}

QString DurationText(qint64 durationSecs) {
    const qint64 inDay = ((durationSecs % 86400) + 86400) % 86400;
    return QTime(0, 0).addSecs(int(inDay)).toString(QStringLiteral("HH:mm"));
}

}  // namespace OrderMath
