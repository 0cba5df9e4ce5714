#include "AmountInWords.h"
#include "CurrencyWords.h"

#include <gtest/gtest.h>
#include <QSet>
#include <QStringList>

namespace {

QString Rub(double v, bool minor = true, bool caps = false) {
    return AmountInWords().Format(v, minor, caps, QStringLiteral("643"));
}

}  // namespace

TEST(AmountInWords, RoublesInWords) {
    EXPECT_EQ(Rub(1234.56), QStringLiteral("Одна тысяча двести тридцать четыре рубля 56  копеек"));
    EXPECT_EQ(Rub(1000000), QStringLiteral("Один миллион рублей 00  копеек"));
    EXPECT_EQ(Rub(0.5), QStringLiteral("Ноль рублей 50  копеек"));
    EXPECT_EQ(Rub(0.01), QStringLiteral("Ноль рублей 01  копейка"));
    EXPECT_EQ(Rub(21), QStringLiteral("Двадцать один рубль 00  копеек"));
    EXPECT_EQ(Rub(2000), QStringLiteral("Две тысячи рублей 00  копеек"));
    EXPECT_EQ(Rub(1001000), QStringLiteral("Один миллион одна тысяча рублей 00  копеек"));
    EXPECT_EQ(Rub(5.05), QStringLiteral("Пять рублей 05  копеек"));
    EXPECT_EQ(Rub(3.02), QStringLiteral("Три рубля 02  копейки"));
    EXPECT_EQ(Rub(2000000000), QStringLiteral("Два миллиарда рублей 00  копеек"));
    EXPECT_EQ(Rub(512.21), QStringLiteral("Пятьсот двенадцать рублей 21  копейка"));
    for (int n = 11; n <= 14; ++n) EXPECT_TRUE(Rub(n).endsWith(QStringLiteral("рублей 00  копеек"))) << n;
    EXPECT_EQ(Rub(21, false), QStringLiteral("Двадцать один рубль "));
}

TEST(AmountInWords, RangeLimits) {
    EXPECT_EQ(Rub(0), QString());
    EXPECT_EQ(Rub(-5), QString());
    EXPECT_EQ(Rub(0.009), QString());
    EXPECT_EQ(Rub(1e12), QString());
    EXPECT_EQ(
        Rub(999999999999.99),
        QStringLiteral("Девятьсот девяносто девять миллиардов девятьсот девяносто девять миллионов "
                       "девятьсот девяносто девять тысяч девятьсот девяносто девять рублей 99  копеек"));
    EXPECT_EQ(AmountInWords().Format(10, true, false, QStringLiteral("999")), QString());
    EXPECT_EQ(AmountInWords().Format(10, true, false, QStringLiteral("rub")), QString());
}

TEST(AmountInWords, AllCapsCoversEveryCyrillicLetter) {
    EXPECT_EQ(Rub(1234.56, true, true),
              QStringLiteral("ОДНА ТЫСЯЧА ДВЕСТИ ТРИДЦАТЬ ЧЕТЫРЕ РУБЛЯ 56  КОПЕЕК"));
    EXPECT_EQ(AmountInWords().Format(2, true, true, QStringLiteral("974")),
              QStringLiteral("ДВА  БЕЛОРУССКИХ РУБЛЯ "));
}

TEST(AmountInWords, SpecialKeys) {
    AmountInWords w;
    EXPECT_EQ(w.Format(1234.5, false, true, QStringLiteral("IG")), QStringLiteral("1234.50р."));
    EXPECT_EQ(w.Format(1.5, false, false, QStringLiteral("PR")), QStringLiteral("одна целая и 50  сотых "));
    EXPECT_EQ(w.Format(2.01, false, false, QStringLiteral("PR")), QStringLiteral("две целые и 01  сотая "));
    EXPECT_EQ(w.Format(1234.56, true, false, QStringLiteral("OBJ")),
              QStringLiteral("Одна тысяча двести тридцать четыре рубля "));
    EXPECT_EQ(w.Format(21.5, true, false, QStringLiteral("974")),
              QStringLiteral("двадцать один  белорусский рубль "));
    EXPECT_EQ(w.Format(5, true, false, QStringLiteral("974")), QStringLiteral("пять  белорусских рублей "));
}

TEST(AmountInWords, DollarRowIsSharedBySevenKeys) {
    AmountInWords w;
    const QString usd = w.Format(101.01, true, false, QStringLiteral("840"));
    EXPECT_EQ(usd, QStringLiteral("Сто один доллар  США 01  цент "));
    EXPECT_EQ(w.Format(3.5, true, false, QStringLiteral("840")),
              QStringLiteral("Три доллара  США 50  центов "));
    for (const char *key : {"716", "738", "749", "780", "901", "951"})
        EXPECT_EQ(w.Format(101.01, true, false, QString::fromLatin1(key)), usd) << key;
}

TEST(AmountInWords, PoundsSterlingAndRowsWithoutMinorUnit) {
    AmountInWords w;
    EXPECT_EQ(w.Format(1.01, true, false, QStringLiteral("826")),
              QStringLiteral("Один фунт стерлингов 01  пенс "));
    EXPECT_EQ(w.Format(3.05, true, false, QStringLiteral("826")),
              QStringLiteral("Три фунта стерлингов 05  пенсов "));
    EXPECT_EQ(w.Format(7.5, true, false, QStringLiteral("972")), QStringLiteral("Семь сомани "));
    for (const char *key :
         {"914", "795", "020", "099", "191", "222", "498", "558", "625", "748", "784", "807"}) {
        const QString text = w.Format(7.5, true, false, QString::fromLatin1(key));
        EXPECT_TRUE(text.startsWith(QStringLiteral("Семь "))) << key;
        EXPECT_FALSE(text.contains(QStringLiteral("50"))) << key << text.toStdString();
    }
}

TEST(AmountInWords, GenderOfTheUnitDecidesOneAndTwo) {
    AmountInWords w;
    EXPECT_EQ(w.Format(1, true, false, QStringLiteral("752")), QStringLiteral("Одна шведская крона 00  эре"));
    EXPECT_EQ(w.Format(22, true, false, QStringLiteral("752")),
              QStringLiteral("Двадцать две шведские кроны 00  эре"));
    EXPECT_EQ(w.Format(1, true, false, QStringLiteral("978")), QStringLiteral("Одно евро 00  центов"));
    EXPECT_EQ(w.Format(2, true, false, QStringLiteral("978")), QStringLiteral("Два евро 00  центов"));
}

TEST(AmountInWords, EveryKeyHasWordsAndSharedKeysShareThem) {
    const QStringList keys = CurrencyWords::AllKeys();
    EXPECT_EQ(keys.size(), 159);
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), 159);
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
    AmountInWords w;
    for (const QString &key : numeric) {
        ASSERT_TRUE(CurrencyWords::Find(key)) << key.toStdString();
        const QString one = w.Format(1, true, false, key).toLower();
        const QString five = w.Format(5.25, true, false, key).toLower();
        EXPECT_TRUE(one.startsWith(QStringLiteral("од"))) << key.toStdString() << one.toStdString();
        EXPECT_TRUE(five.startsWith(QStringLiteral("пять "))) << key.toStdString() << five.toStdString();
        EXPECT_GT(five.size(), 6) << key.toStdString();
    }
    const QStringList shared[] = {{"928", "860"},        {"914", "795"}, {"108", "950", "952", "953"},
                                  {"404", "800", "834"}, {"608", "624"}, {"760", "818"}};
    for (const QStringList &group : shared)
        for (const QString &key : group) EXPECT_EQ(CurrencyWords::Find(key), CurrencyWords::Find(group[0]));
    EXPECT_NE(CurrencyWords::Find(QStringLiteral("643")), CurrencyWords::Find(QStringLiteral("OBJ")));
}

TEST(AmountInWords, PluralFormsFromZeroToTwoHundred) {
    for (int n = 0; n <= 200; ++n) {
        const int r = n % 100, d = n % 10;
        const int expected = (r >= 10 && r <= 20) ? 3 : d == 1 ? 1 : (d >= 2 && d <= 4) ? 2 : 3;
        EXPECT_EQ(AmountInWords::PluralForm(n), expected) << n;
    }
    EXPECT_EQ(AmountInWords::PluralForm(111), 3);
    EXPECT_EQ(AmountInWords::PluralForm(121), 1);
    EXPECT_EQ(AmountInWords::PluralForm(20), 3);
}

TEST(AmountInWords, NearestMultiple) {
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(1.234, 0.01), 1.23);
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(1.235001, 0.01), 1.24);
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(0.004, 0.01), 0.0);
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(-3.3, 0), -3.3);
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(7.0, -1), 7.0);
    EXPECT_DOUBLE_EQ(AmountInWords::NearestMultiple(12.0, 5), 10.0);
}
