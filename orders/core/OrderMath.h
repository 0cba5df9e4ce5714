#pragma once

#include "Order.h"

// The amounts of an order, the same in the form, the journal and the documents.
namespace OrderMath {

double LineAmount(const OrderLine &line);        // quantity x price
double LineVat(const OrderLine &line);           // amount x VAT percent / 100
double LineTotal(const OrderLine &line);         // amount + VAT
qint64 LineDurationSecs(const OrderLine &line);  // duration x quantity

struct Totals {
    double total = 0.0;  // with VAT
    double vat = 0.0;    // VAT included in the total
    qint64 durationSecs = 0;
};
// Over every live line, children included; package headers contribute nothing.
Totals Compute(const QList<OrderLine> &lines);

// Sum of the live payments.
double Paid(const QList<PayRecord> &payments);
double Debt(double total, double paid);

// Completion proposed from the acceptance moment and the total duration.
QDateTime ProposedCompletion(const QDateTime &accepted, qint64 durationSecs);
// A total duration shown as a time of day ("%H:%M"), wrapping past midnight.
QString DurationText(qint64 durationSecs);

// The performers' pay for a line: a percentage of the line amount, or a fixed sum.
double PerformerPay(double count, double price, bool payIsPercent, double job);
inline double PerformerPay(const OrderLine &line) {
    return PerformerPay(line.count, line.price, line.prJob, line.job);
}

}  // namespace OrderMath
