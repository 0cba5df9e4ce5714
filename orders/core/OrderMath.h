#pragma once

#include "Order.h"

// The amounts of an order, the same in the form, the journal and the documents. Each line's figures are
// rounded to the kopeck as they are worked out, and every total is the sum of the rounded figures.
namespace OrderMath {

Money LineAmount(const OrderLine &line);         // quantity x price
Money LineVat(const OrderLine &line);            // amount x VAT percent / 100
Money LineTotal(const OrderLine &line);          // amount + VAT
qint64 LineDurationSecs(const OrderLine &line);  // duration x quantity

struct Totals {
    Money total;  // with VAT
    Money vat;    // VAT included in the total
    qint64 durationSecs = 0;
};
// Over every live line, children included; package headers contribute nothing.
Totals Compute(const QList<OrderLine> &lines);

// Sum of the live payments.
Money Paid(const QList<PayRecord> &payments);
Money Debt(Money total, Money paid);

// Completion proposed from the acceptance moment and the total duration.
QDateTime ProposedCompletion(const QDateTime &accepted, qint64 durationSecs);
// A total duration shown as a time of day ("%H:%M"), wrapping past midnight.
QString DurationText(qint64 durationSecs);

}  // namespace OrderMath
