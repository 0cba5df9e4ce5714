#include "AmountInWords.h"
#include "CurrencyWords.h"

#include <gtest/gtest.h>

namespace {

QString Words(double v, const QString &key = "643", bool minor = true, bool caps = false) {
    return AmountInWords().Format(v, minor, caps, key);
}

}  // namespace

// The cases where the plural and gender rules bite, the minor unit, and the limits.
TEST(AmountInWords, AmountsInWords) {
    const struct {
        double value;
        const char *key;
        bool minor, caps;
        const char *words;
    } cases[] = {
        {1, "643", true, false, "Один рубль 00  копеек"},
        {2, "643", true, false, "Два рубля 00  копеек"},
        {4, "643", true, false, "Четыре рубля 00  копеек"},
        {5.05, "643", true, false, "Пять рублей 05  копеек"},
        {11, "643", true, false, "Одиннадцать рублей 00  копеек"},
        {12.02, "643", true, false, "Двенадцать рублей 02  копейки"},
        {14, "643", true, false, "Четырнадцать рублей 00  копеек"},
        {21, "643", true, false, "Двадцать один рубль 00  копеек"},
        {22, "643", true, false, "Двадцать два рубля 00  копеек"},
        {25, "643", true, false, "Двадцать пять рублей 00  копеек"},
        {100, "643", true, false, "Сто рублей 00  копеек"},
        {1000, "643", true, false, "Одна тысяча рублей 00  копеек"},
        {2000, "643", true, false, "Две тысячи рублей 00  копеек"},
        {5000, "643", true, false, "Пять тысяч рублей 00  копеек"},
        {1000000, "643", true, false, "Один миллион рублей 00  копеек"},
        {1001000, "643", true, false, "Один миллион одна тысяча рублей 00  копеек"},
        {2000000000, "643", true, false, "Два миллиарда рублей 00  копеек"},
        {512.21, "643", true, false, "Пятьсот двенадцать рублей 21  копейка"},
        {21, "643", false, false, "Двадцать один рубль "},
        {0, "643", true, false, ""},
        {1e12, "643", true, false, ""},
        {10, "999", true, false, ""},
        {1234.56, "643", true, true, "ОДНА ТЫСЯЧА ДВЕСТИ ТРИДЦАТЬ ЧЕТЫРЕ РУБЛЯ 56  КОПЕЕК"},
        {1234.5, "IG", false, true, "1234.50р."},
        {2.01, "PR", false, false, "две целые и 01  сотая "},
        {1234.56, "OBJ", true, false, "Одна тысяча двести тридцать четыре рубля "},
        {3.5, "840", true, false, "Три доллара  США 50  центов "},
        {1.01, "826", true, false, "Один фунт стерлингов 01  пенс "},
        {1, "752", true, false, "Одна шведская крона 00  эре"},
        {22, "752", true, false, "Двадцать две шведские кроны 00  эре"},
        {1, "978", true, false, "Одно евро 00  центов"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Words(c.value, c.key, c.minor, c.caps).toStdString(), c.words) << c.value << " " << c.key;
    for (const char *key : {"716", "951"}) EXPECT_EQ(Words(101.01, key), Words(101.01, "840")) << key;
    EXPECT_EQ(CurrencyWords::Find("950"), CurrencyWords::Find("108"));
}

TEST(AmountInWords, PluralFormsAndRounding) {
    for (int n = 0; n <= 200; ++n) {
        const int r = n % 100, d = n % 10;
        const int expected = (r >= 10 && r <= 20) ? 3 : d == 1 ? 1 : (d >= 2 && d <= 4) ? 2 : 3;
        EXPECT_EQ(AmountInWords::PluralForm(n), expected) << n;
    }
    const struct {
        double x, step, nearest;
    } cases[] = {{1.234, 0.01, 1.23}, {1.235001, 0.01, 1.24}, {-3.3, 0, -3.3}, {12.0, 5, 10.0}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(c.x, c.step), c.nearest) << c.x;
}
