// Typed amounts and counters, as every screen takes them.
#include "Inputs.h"
#include "Widgets.h"

#include <gtest/gtest.h>
#include <QLineEdit>

// The input: a amount, - amount that may be negative, c counter, q quantity.
TEST(ScreenBasics, AmountsAndCountersTakeOnlyWhatTheyCanBe) {
    const struct {
        char input;
        const char *typed, *kept;
    } cases[] = {
        {'a', "1 234,50", "1 234,50"},
        {'a', "12abc", "12"},
        {'a', "1,2,3", "1,23"},  // one separator only
        {'a', "9,999", "9,99"},  // two decimals
        {'a', "-5", "5"},        // no minus where an amount cannot be negative
        {'-', "-5,5", "-5,5"},
        {'a', "999 999 999,99", "999 999 999,99"},  // the most an amount can be
        {'a', "12345678901", "123456789"},          // nine digits of roubles at most
        {'-', "-1234567890,5", "-123456789,5"},
        {'c', "12abc-3.4", "1234"},
        {'q', "1234567,12345", "12345,123"},  // up to 99 999 with three decimals
    };
    for (const auto &c : cases) {
        QLineEdit edit;
        if (c.input == 'c') Inputs::Counter(&edit);
        if (c.input == 'q') Inputs::Quantity(&edit);
        if (c.input == 'a' || c.input == '-') Inputs::Amount(&edit, c.input == '-');
        Type(&edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.kept)) << c.typed;
    }
}
