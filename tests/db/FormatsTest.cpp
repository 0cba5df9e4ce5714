#include "Formats.h"
#include "KeyGen.h"
#include "Password.h"
#include "Rub.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
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
        // Thousands grouped by blanks of every kind, as Russians write them.
        {"1 500", 150000},
        {"1 234,50", 123450},
        {"1\u00A0234\u00A0567,5", 123456750},
        {"-12\u2009000.25", -1200025},
        {"3\u202F000", 300000},
        // Half a kopeck away from zero, read from the digits, not from a double (which holds 2.67499...).
        {"1,005", 101},
        {"-1,005", -101},
        {"2,675", 268},
        {"0,0049", 0},
        {"999 999 999,99", Money::kMaxKopecks}};
    for (const auto &t : typed)
        EXPECT_EQ(Money::Parse(QString::fromUtf8(t.typed)).kopecks(), t.kopecks) << t.typed;
    // Longer than any amount: beyond the limit, so that the limit check refuses it.
    EXPECT_FALSE(Money::Parse(QStringLiteral("99999999999999999999")).WithinLimit());
    EXPECT_FALSE(Money::Parse(QStringLiteral("1000000000")).WithinLimit());

    const struct {
        Money amount;
        const char *text;
    } shown[] = {{Money::Kopecks(11800), "118.00"},
                 {Money::Kopecks(-1250), "-12.50"},
                 {Money::Kopecks(-5), "-0.05"},
                 {Money::Roubles(0.005), "0.01"},
                 {Money::Roubles(118.01 - 118.001), "0.01"}};  // no double's dust
    for (const auto &s : shown) EXPECT_EQ(s.amount.Text().toStdString(), s.text);
}

TEST(Money, RoundingPercentsAndSplits) {
    // Per-line VAT and quantity × price, half a kopeck away from zero on both sides; a large amount passes
    // 64 bits on the way without harm.
    const struct {
        Money got;
        qint64 kopecks;
    } rounded[] = {{Money::Kopecks(33333).Percent(20), 6667},
                   {Money::Kopecks(1250).Percent(18), 225},
                   {Money::Kopecks(25).Percent(10), 3},
                   {Money::Kopecks(-25).Percent(10), -3},
                   {Money::Kopecks(1).Percent(49.99), 0},
                   {Money::Kopecks(33333).Times(3), 99999},
                   {Money::Kopecks(101).Times(0.5), 51},
                   {Money::Kopecks(Money::kMaxKopecks).Times(99999), Money::kMaxKopecks * 99999}};
    for (size_t i = 0; i < std::size(rounded); ++i)
        EXPECT_EQ(rounded[i].got.kopecks(), rounded[i].kopecks) << "#" << i;
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
                  {500, 1, {500}},
                  {100, 0, {}}};
    for (const auto &s : splits) {
        QList<qint64> got;
        for (const Money &m : Money::Kopecks(s.whole).Split(s.parts)) got << m.kopecks();
        EXPECT_EQ(got, s.shares) << s.whole << " / " << s.parts;
    }
}

TEST(Formats, TypedNumbersAndScreenDates) {
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(QStringLiteral(" 12,5 ")), 12.5);
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(QStringLiteral("1 000,125")), 1000.125);
    EXPECT_EQ(Formats::TwoDecimals(18), QStringLiteral("18.00"));
    const struct {
        const char *typed;
        long number;
    } leading[] = {{"125abc", 125},
                   {"12.9", 12},
                   {"x1", 0},
                   {"99999999999999999999999", std::numeric_limits<long>::max()}};
    for (const auto &l : leading)
        EXPECT_EQ(Formats::LeadingLong(QString::fromLatin1(l.typed)), l.number) << l.typed;

    const QDateTime dt(QDate(2024, 3, 7), QTime(9, 5, 33));
    EXPECT_EQ(QStringList(
                  {Formats::Date(dt), Formats::Time(dt), Formats::DateTime(dt), Formats::Date(QDateTime())}),
              (QStringList{"07.03.2024", "09:05", "07.03.2024 09:05", ""}));
}

TEST(KeyGen, SerialDigitsAndShapeNeverRepeatingWithinASecond) {
    // 2 January 1900 12:00 is serial 3.5.
    EXPECT_EQ(KeyFromSerial(QStringLiteral("anna"), DateSerial(QDateTime(QDate(1900, 1, 2), QTime(12, 0)))),
              QStringLiteral("anna~35~"));
    EXPECT_EQ(KeyFromSerial(QStringLiteral("x"), 45000.0), QStringLiteral("x~45000~"));
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^anna~\\d+~$")).match(NewKey(QStringLiteral("anna"))).hasMatch());
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
