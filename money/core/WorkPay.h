#pragma once

#include "Money.h"

#include <QString>

// What a service line earns its performers, the same in the order form, the salary lists and the accrual.
namespace WorkPay {

// The line's amount without VAT: quantity × price, to the kopeck.
Money LineAmount(double count, Money price);
// The performers' pay for a line: a percentage of its amount, or a fixed sum in roubles.
Money LinePay(double count, Money price, bool payIsPercent, double job);
// One worker's share of a line's pay split equally among `workers`: shares are rounded to the kopeck and
// the first worker (by key) takes what the rounding leaves, so the shares add up to the line's pay.
Money Share(Money linePay, int workers, bool first);
// (The same rules in SQL, which the database keeps the salary figures by: MoneySql::LinePay and Share.)

}  // namespace WorkPay
