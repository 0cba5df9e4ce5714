#pragma once

#include <QString>

// A non-negative amount in Russian words for a currency chosen by a short key: the ISO numeric code
// ("643" for the rouble), or "IG" (digits and "р."), "PR" (a decimal fraction), "OBJ" (roubles without
// kopecks). Stateless: create, Format, drop.
class AmountInWords {
public:
    virtual ~AmountInWords() = default;

    // Empty for an unknown key, a value of one trillion or more, and a value of 0.009 or less.
    QString Format(double value, bool withMinor, bool allCaps, const QString &key) const;

    // 1 for 1, 21, 101...; 2 for 2-4, 22-24...; 3 for 0, 5-20, 25-30, 111-114...
    static int PluralForm(int n);
    // x rounded to a multiple of step; a positive x below step gives 0; step <= 0 leaves x alone.
    static double NearestMultiple(double x, double step);
};
