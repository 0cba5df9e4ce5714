#include "AmountInWords.h"
#include "CurrencyWords.h"

#include <gtest/gtest.h>

// The cases where the plural and gender rules bite, the minor unit, other currencies and the limits.
TEST(AmountInWords, AmountsInWords) {
    const struct {
        double value;
        const char *words, *key = "643";
        bool minor = true, caps = false;
    } cases[] = {{1, "Один рубль 00  копеек"},
                 {4, "Четыре рубля 00  копеек"},
                 {5.05, "Пять рублей 05  копеек"},
                 {12.02, "Двенадцать рублей 02  копейки"},
                 {22, "Двадцать два рубля 00  копеек"},
                 {1000, "Одна тысяча рублей 00  копеек"},
                 {2000, "Две тысячи рублей 00  копеек"},
                 {1001000, "Один миллион одна тысяча рублей 00  копеек"},
                 {512.21, "Пятьсот двенадцать рублей 21  копейка"},
                 {21, "Двадцать один рубль ", "643", false},
                 {1e12, ""},
                 {10, "", "999"},
                 {1234.56, "ОДНА ТЫСЯЧА ДВЕСТИ ТРИДЦАТЬ ЧЕТЫРЕ РУБЛЯ 56  КОПЕЕК", "643", true, true},
                 {1234.5, "1234.50р.", "IG", false, true},
                 {2.01, "две целые и 01  сотая ", "PR", false},
                 {1234.56, "Одна тысяча двести тридцать четыре рубля ", "OBJ"},
                 {3.5, "Три доллара  США 50  центов ", "840"},
                 {1, "Одно евро 00  центов", "978"}};
    for (const auto &c : cases)
        EXPECT_EQ(AmountInWords().Format(c.value, c.minor, c.caps, c.key).toStdString(), c.words)
            << c.value << " " << c.key;
    const auto words = [](const char *key) { return AmountInWords().Format(101.01, true, false, key); };
    EXPECT_EQ(words("716") + words("951"), words("840") + words("840"));  // dollars of other countries
    EXPECT_EQ(CurrencyWords::Find("950"), CurrencyWords::Find("108"));
}
