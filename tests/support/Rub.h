#pragma once

#include "Money.h"

#include <ostream>

// An amount written in roubles in a test: Rub(118.01) is 118 roubles 1 kopeck.
inline Money Rub(double roubles) {
    return Money::Roubles(roubles);
}
inline Money Rub(Money amount) {
    return amount;
}

// How a test failure shows an amount.
inline void PrintTo(const Money &amount, std::ostream *os) {
    *os << amount.Text().toStdString();
}
