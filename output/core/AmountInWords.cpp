#include "AmountInWords.h"

#include "CurrencyWords.h"

#include <cmath>

namespace {

const char *const kHundreds[] = {"",         "сто ",      "двести ",  "триста ",    "четыреста ",
                                 "пятьсот ", "шестьсот ", "семьсот ", "восемьсот ", "девятьсот "};
const char *const kTens[] = {"",           "десять ",     "двадцать ",  "тридцать ",    "сорок ",
                             "пятьдесят ", "шестьдесят ", "семьдесят ", "восемьдесят ", "девяносто "};
const char *const kTeens[] = {"одиннадцать ", "двенадцать ", "тринадцать ",   "четырнадцать ", "пятнадцать ",
                              "шестнадцать ", "семнадцать ", "восемнадцать ", "девятнадцать "};
const char *const kUnits[] = {"",      "один ",  "два ",  "три ",    "четыре ",
                              "пять ", "шесть ", "семь ", "восемь ", "девять "};

struct GroupWord {
    double divisor;
    const char *stem;
    const char *endings[3];
};
const GroupWord kGroups[3] = {
    {1e9, "миллиард", {" ", "а ", "ов "}},
    {1e6, "миллион", {" ", "а ", "ов "}},
    {1e3, "тысяч", {"а ", "и ", " "}},
};

QString U(const char *text) {
    return QString::fromUtf8(text);
}

// Hundreds, tens and units of one group of three digits; the thousands and a feminine unit take
// "одна"/"две", a neuter unit "одно".
void AppendTriad(QString &out, int n, CurrencyWords::Gender gender) {
    out += U(kHundreds[n / 100]);
    const int r = n % 100;
    if (r >= 11 && r <= 19) {
        out += U(kTeens[r - 11]);
        return;
    }
    out += U(kTens[r / 10]);
    const int d = r % 10;
    if (gender == CurrencyWords::Gender::Feminine && (d == 1 || d == 2))
        out += d == 1 ? QStringLiteral("одна ") : QStringLiteral("две ");
    else if (gender == CurrencyWords::Gender::Neuter && d == 1)
        out += QStringLiteral("одно ");
    else
        out += U(kUnits[d]);
}

}  // namespace

int AmountInWords::PluralForm(int n) {
    const int r = std::abs(n) % 100;
    if (r >= 10 && r <= 20) return 3;
    const int d = r % 10;
    if (d == 1) return 1;
    if (d >= 2 && d <= 4) return 2;
    return 3;
}

double AmountInWords::NearestMultiple(double x, double step) {
    if (step <= 0) return x;
    if (x > 0 && x < step) return 0;
    return std::floor(x / step + 0.5) * step;
}

QString AmountInWords::Format(double value, bool withMinor, bool allCaps, const QString &key) const {
    const CurrencyWords *row = CurrencyWords::Find(key);
    if (!row || !(value < 1e12) || value <= 0.009) return {};
    if (key == u"IG") return QString::asprintf("%.2f", value) + QStringLiteral("р.");

    QString out;
    double rest = NearestMultiple(value, 0.01);
    for (int g = 0; g < 4; ++g) {
        const double divisor = g < 3 ? kGroups[g].divisor : 1.0;
        const int n = int(rest / divisor);
        rest -= double(n) * divisor;
        if (n == 0 && g < 3) continue;
        const int p = PluralForm(n);
        if (n > 0) {
            const CurrencyWords::Gender gender = g == 2   ? CurrencyWords::Gender::Feminine
                                                 : g == 3 ? row->gender
                                                          : CurrencyWords::Gender::Masculine;
            AppendTriad(out, n, gender);
        } else if (out.isEmpty()) {
            out += QStringLiteral("ноль ");
        }
        if (g < 3) {
            out += U(kGroups[g].stem) + U(kGroups[g].endings[p - 1]);
        } else {
            if (row->adjective[0]) out += U(row->adjective[size_t(p - 1)]);
            out += U(row->stem) + U(row->endings[size_t(p - 1)]);
        }
    }
    if (row->suffix) out += U(row->suffix);

    const bool minorWanted = row->minor == CurrencyWords::Minor::Always ||
                             (row->minor == CurrencyWords::Minor::AsAsked && withMinor);
    if (minorWanted && row->minorStem) {
        const double f = rest * 100.0;
        const int k = int(std::floor(f + 0.5));
        out += QString::asprintf("%02.0f", f) + QStringLiteral("  ") + U(row->minorStem) +
               U(row->minorEndings[size_t(PluralForm(k) - 1)]);
    }

    if (allCaps)
        out = out.toUpper();
    else if (row->capitalise && !out.isEmpty())
        out[0] = out[0].toUpper();
    return out;
}
