#include "AmountInWords.h"
#include "CurrencyWords.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace {

QString Words(double v, const QString &key = "643", bool minor = true, bool caps = false) {
    return AmountInWords().Format(v, minor, caps, key);
}

}  // namespace

TEST(AmountInWords, AmountsInWords) {
    const struct {
        double value;
        const char *key;
        bool minor, caps;
        const char *words;
    } cases[] = {
        {1234.56, "643", true, false, "Одна тысяча двести тридцать четыре рубля 56  копеек"},
        {1000000, "643", true, false, "Один миллион рублей 00  копеек"},
        {0.5, "643", true, false, "Ноль рублей 50  копеек"},
        {0.01, "643", true, false, "Ноль рублей 01  копейка"},
        {21, "643", true, false, "Двадцать один рубль 00  копеек"},
        {2000, "643", true, false, "Две тысячи рублей 00  копеек"},
        {1001000, "643", true, false, "Один миллион одна тысяча рублей 00  копеек"},
        {5.05, "643", true, false, "Пять рублей 05  копеек"},
        {3.02, "643", true, false, "Три рубля 02  копейки"},
        {2000000000, "643", true, false, "Два миллиарда рублей 00  копеек"},
        {512.21, "643", true, false, "Пятьсот двенадцать рублей 21  копейка"},
        {21, "643", false, false, "Двадцать один рубль "},
        {999999999999.99, "643", true, false,
         "Девятьсот девяносто девять миллиардов девятьсот девяносто девять миллионов девятьсот девяносто "
         "девять тысяч девятьсот девяносто девять рублей 99  копеек"},
        // Out of range or unknown: nothing.
        {0, "643", true, false, ""},
        {-5, "643", true, false, ""},
        {0.009, "643", true, false, ""},
        {1e12, "643", true, false, ""},
        {10, "999", true, false, ""},
        {10, "rub", true, false, ""},
        // Capitals cover every Cyrillic letter.
        {1234.56, "643", true, true, "ОДНА ТЫСЯЧА ДВЕСТИ ТРИДЦАТЬ ЧЕТЫРЕ РУБЛЯ 56  КОПЕЕК"},
        {2, "974", true, true, "ДВА  БЕЛОРУССКИХ РУБЛЯ "},
        // Special keys.
        {1234.5, "IG", false, true, "1234.50р."},
        {1.5, "PR", false, false, "одна целая и 50  сотых "},
        {2.01, "PR", false, false, "две целые и 01  сотая "},
        {1234.56, "OBJ", true, false, "Одна тысяча двести тридцать четыре рубля "},
        {21.5, "974", true, false, "двадцать один  белорусский рубль "},
        {5, "974", true, false, "пять  белорусских рублей "},
        {101.01, "840", true, false, "Сто один доллар  США 01  цент "},
        {3.5, "840", true, false, "Три доллара  США 50  центов "},
        {1.01, "826", true, false, "Один фунт стерлингов 01  пенс "},
        {3.05, "826", true, false, "Три фунта стерлингов 05  пенсов "},
        {7.5, "972", true, false, "Семь сомани "},
        // The gender of the unit decides "one" and "two".
        {1, "752", true, false, "Одна шведская крона 00  эре"},
        {22, "752", true, false, "Двадцать две шведские кроны 00  эре"},
        {1, "978", true, false, "Одно евро 00  центов"},
        {2, "978", true, false, "Два евро 00  центов"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Words(c.value, c.key, c.minor, c.caps).toStdString(), c.words) << c.value << " " << c.key;
    for (int n = 11; n <= 14; ++n) EXPECT_TRUE(Words(n).endsWith("рублей 00  копеек")) << n;
    // The dollar row is shared by seven keys; rows without a minor unit drop the kopecks.
    for (const char *key : {"716", "738", "749", "780", "901", "951"})
        EXPECT_EQ(Words(101.01, key), Words(101.01, "840")) << key;
    for (const char *key :
         {"914", "795", "020", "099", "191", "222", "498", "558", "625", "748", "784", "807"}) {
        const QString text = Words(7.5, key);
        EXPECT_TRUE(text.startsWith("Семь ") && !text.contains("50")) << key << text.toStdString();
    }
}

TEST(AmountInWords, EveryKeyHasWordsAndSharedKeysShareThem) {
    const QStringList numeric = QStringLiteral(
                                    "004 008 020 024 031 032 040 044 048 050 051 052 060 064 068 072 084 090 "
                                    "096 099 108 116 124 132 136 "
                                    "144 153 156 170 174 180 188 191 192 196 203 208 214 218 222 230 233 238 "
                                    "242 262 288 292 320 324 328 "
                                    "332 340 344 348 352 356 360 364 368 376 388 392 398 400 404 408 410 414 "
                                    "417 418 422 426 428 430 434 "
                                    "440 450 454 458 462 466 470 484 496 498 504 508 512 516 524 532 533 554 "
                                    "558 566 578 586 590 598 600 "
                                    "604 608 624 625 634 643 646 654 678 682 690 694 702 703 704 705 706 710 "
                                    "716 736 738 740 748 749 752 "
                                    "756 760 764 780 784 788 792 795 800 807 818 826 834 840 858 860 862 882 "
                                    "886 891 894 901 914 928 950 "
                                    "951 952 953 972 974 978")
                                    .split(u' ');
    ASSERT_EQ(numeric.size(), 156);
    for (const QString &key : numeric) {
        ASSERT_TRUE(CurrencyWords::Find(key)) << key.toStdString();
        const QString one = Words(1, key).toLower(), five = Words(5.25, key).toLower();
        EXPECT_TRUE(one.startsWith("од")) << key.toStdString() << one.toStdString();
        EXPECT_TRUE(five.startsWith("пять ") && five.size() > 6) << key.toStdString() << five.toStdString();
    }
    const QStringList shared[] = {{"928", "860"},        {"914", "795"}, {"108", "950", "952", "953"},
                                  {"404", "800", "834"}, {"608", "624"}, {"760", "818"}};
    for (const QStringList &group : shared)
        for (const QString &key : group) EXPECT_EQ(CurrencyWords::Find(key), CurrencyWords::Find(group[0]));
    EXPECT_NE(CurrencyWords::Find("643"), CurrencyWords::Find("OBJ"));
}

TEST(AmountInWords, PluralFormsAndRounding) {
    for (int n = 0; n <= 200; ++n) {
        const int r = n % 100, d = n % 10;
        const int expected = (r >= 10 && r <= 20) ? 3 : d == 1 ? 1 : (d >= 2 && d <= 4) ? 2 : 3;
        EXPECT_EQ(AmountInWords::PluralForm(n), expected) << n;
    }
    const struct {
        double x, step, nearest;
    } cases[] = {{1.234, 0.01, 1.23}, {1.235001, 0.01, 1.24}, {0.004, 0.01, 0.0},
                 {-3.3, 0, -3.3},     {7.0, -1, 7.0},         {12.0, 5, 10.0}};
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(c.x, c.step), c.nearest) << c.x;
}
