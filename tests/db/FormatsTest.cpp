#include "Formats.h"
#include "KeyGen.h"
#include "Password.h"
#include "Rub.h"

#include <gtest/gtest.h>
#include <QSet>

TEST(Money, TypedAmountsAreReadExactlyAndShownWithTwoDecimals) {
    const struct {
        const char *typed;
        qint64 kopecks;
    } typed[] = {
        {" 12,50 ", 1250},
        {"1,234.5", 123},  // the second point ends the number; 1.234 rounds to 1.23
        {"руб", 0},
        {"-7,5р", -750},
        {"", 0},
        {"1 500", 150000},  // thousands grouped by blanks of every kind, as Russians write them
        {"1 234,50", 123450},
        {"1\u00A0234\u00A0567,5", 123456750},
        {"-12\u2009000.25", -1200025},
        {"3\u202F000", 300000},
        {"1,005", 101},  // half a kopeck away from zero, read from the digits, not from a double
        {"-1,005", -101},
        {"2,675", 268},  // a double would hold 2.67499...
        {"0,0049", 0},
        {"999 999 999,99", Money::kMaxKopecks},
    };
    for (const auto &t : typed)
        EXPECT_EQ(Money::Parse(QString::fromUtf8(t.typed)).kopecks(), t.kopecks) << t.typed;
    // Longer than any amount: beyond the limit, so that the limit check refuses it.
    EXPECT_FALSE(Money::Parse(QStringLiteral("99999999999999999999")).WithinLimit());
    EXPECT_FALSE(Money::Parse(QStringLiteral("1000000000")).WithinLimit());

    EXPECT_EQ(Money::Kopecks(11800).Text(), QStringLiteral("118.00"));
    EXPECT_EQ(Money::Kopecks(-1250).Text(), QStringLiteral("-12.50"));
    EXPECT_EQ(Money::Kopecks(-5).Text(), QStringLiteral("-0.05"));
    EXPECT_EQ(Money::Roubles(0.005).Text(), QStringLiteral("0.01"));
    EXPECT_EQ(Money::Roubles(118.01 - 118.001).kopecks(), 1);  // dust of a double sum is gone
}

TEST(Money, RoundingPercentsAndSplits) {
    // Per-line VAT, half a kopeck away from zero on both sides.
    EXPECT_EQ(Money::Kopecks(33333).Percent(20).kopecks(), 6667);  // 66.666
    EXPECT_EQ(Money::Kopecks(1250).Percent(18).kopecks(), 225);    // 2.25 exactly
    EXPECT_EQ(Money::Kopecks(25).Percent(10).kopecks(), 3);        // 0.025 -> 0.03
    EXPECT_EQ(Money::Kopecks(-25).Percent(10).kopecks(), -3);
    EXPECT_EQ(Money::Kopecks(1).Percent(49.99).kopecks(), 0);
    // Quantity x price to the kopeck; a large amount passes 64 bits on the way without harm.
    EXPECT_EQ(Money::Kopecks(33333).Times(3).kopecks(), 99999);
    EXPECT_EQ(Money::Kopecks(101).Times(0.5).kopecks(), 51);  // 0.505
    EXPECT_EQ(Money::Kopecks(Money::kMaxKopecks).Times(99999).kopecks(), Money::kMaxKopecks * 99999);
    EXPECT_EQ(RoundQuantity(1.2345), 1.235);
    EXPECT_FALSE(QuantityWithinLimit(100000));

    // Shares always add up to the whole; the first one takes what rounding leaves.
    const struct {
        qint64 whole;
        int parts;
        QList<qint64> shares;
    } splits[] = {{10000, 3, {3334, 3333, 3333}},
                  {20000, 3, {6666, 6667, 6667}},
                  {1, 3, {1, 0, 0}},
                  {-10000, 3, {-3334, -3333, -3333}},
                  {500, 1, {500}}};
    for (const auto &s : splits) {
        const QList<Money> got = Money::Kopecks(s.whole).Split(s.parts);
        ASSERT_EQ(got.size(), s.shares.size());
        Money sum;
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].kopecks(), s.shares[i]) << s.whole << " / " << s.parts << " #" << i;
            sum += got[i];
        }
        EXPECT_EQ(sum.kopecks(), s.whole);
    }
    EXPECT_TRUE(Money::Kopecks(100).Split(0).isEmpty());
}

TEST(Formats, TypedNumbers) {
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(QStringLiteral(" 12,5 ")), 12.5);
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(QStringLiteral("1 000,125")), 1000.125);
    EXPECT_EQ(Formats::TwoDecimals(18), QStringLiteral("18.00"));
    EXPECT_EQ(Formats::LeadingLong(QStringLiteral("125abc")), 125);
    EXPECT_EQ(Formats::LeadingLong(QStringLiteral("12.9")), 12);
    EXPECT_EQ(Formats::LeadingLong(QStringLiteral("x1")), 0);
    EXPECT_EQ(Formats::LeadingLong(QStringLiteral("99999999999999999999999")),
              std::numeric_limits<long>::max());
}

TEST(Formats, ScreenDates) {
    const QDateTime dt(QDate(2024, 3, 7), QTime(9, 5, 33));
    EXPECT_EQ(Formats::Date(dt), QStringLiteral("07.03.2024"));
    EXPECT_EQ(Formats::Time(dt), QStringLiteral("09:05"));
    EXPECT_EQ(Formats::DateTime(dt), QStringLiteral("07.03.2024 09:05"));
    EXPECT_EQ(Formats::Date(QDateTime()), QString());
}

TEST(KeyGen, SerialDigitsAndShape) {
    // 2 January 1900 12:00 is serial 3.5.
    EXPECT_EQ(KeyFromSerial(QStringLiteral("anna"), DateSerial(QDateTime(QDate(1900, 1, 2), QTime(12, 0)))),
              QStringLiteral("anna~35~"));
    EXPECT_EQ(KeyFromSerial(QStringLiteral("x"), 45000.0), QStringLiteral("x~45000~"));
    const QString key = NewKey(QStringLiteral("anna"));
    EXPECT_TRUE(key.startsWith(u"anna~"));
    EXPECT_TRUE(key.endsWith(u'~'));
    const QString digits = key.mid(5, key.size() - 6);
    EXPECT_FALSE(digits.isEmpty());
    for (QChar c : digits) EXPECT_TRUE(c.isDigit()) << key.toStdString();
}

TEST(KeyGen, NeverRepeatsWithinOneSecond) {
    QSet<QString> keys;
    for (int i = 0; i < 5000; ++i) keys.insert(NewKey(QStringLiteral("u")));
    EXPECT_EQ(keys.size(), 5000);
}

TEST(Password, HashesAndVerifies) {
    const QString hash = Password::Hash(QStringLiteral("Пароль 1"));
    EXPECT_TRUE(Password::IsHash(hash));
    EXPECT_NE(hash, Password::Hash(QStringLiteral("Пароль 1")));  // salted
    EXPECT_TRUE(Password::Matches(QStringLiteral("Пароль 1"), hash));
    EXPECT_FALSE(Password::Matches(QStringLiteral("пароль 1"), hash));
    EXPECT_TRUE(Password::Matches(QStringLiteral("old"), QStringLiteral("old")));  // legacy plain text
    EXPECT_FALSE(Password::Matches(QStringLiteral("Old"), QStringLiteral("old")));
}
