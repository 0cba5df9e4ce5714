#include "Formats.h"
#include "KeyGen.h"
#include "Password.h"
#include "Rub.h"

#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSet>

// Typed amounts are read from their digits, not through a double (2.675 would be 2.67499...): half a kopeck
// away from zero; the second point ends the number; thousands grouped by blanks of every kind.
TEST(Money, TypedAmountsAreReadExactlyAndShownWithTwoDecimals) {
    const QStringList typed = {" 12,50 ",
                               "1,234.5",
                               "руб",
                               "-7,5р",
                               "",
                               "1 500",
                               "1 234,50",
                               "1\u00A0234\u00A0567,5",
                               "-12\u2009000.25",
                               "3\u202F000",
                               "1,005",
                               "-1,005",
                               "2,675",
                               "0,0049",
                               "999 999 999,99"};
    const QList<qint64> kopecks = {1250,   123,    0,         -750,     0,
                                   150000, 123450, 123456750, -1200025, 300000,
                                   101,    -101,   268,       0,        Money::kMaxKopecks};
    QList<qint64> read;
    for (const QString &t : typed) read << Money::Parse(t).kopecks();
    EXPECT_EQ(read, kopecks);
    // Longer than any amount: beyond the limit, so that the limit check refuses it.
    EXPECT_FALSE(Money::Parse(u"99999999999999999999").WithinLimit());
    EXPECT_FALSE(Money::Parse(u"1000000000").WithinLimit());
    QStringList shown;
    for (const Money &m :
         {Money::Kopecks(11800), Money::Kopecks(-1250), Money::Kopecks(-5), Money::Roubles(0.005),
          Money::Roubles(118.01 - 118.001)})  // the dust of a double sum is gone
        shown << m.Text();
    EXPECT_EQ(shown, (QStringList{"118.00", "-12.50", "-0.05", "0.01", "0.01"}));
}

// Per-line VAT and quantity × price, half a kopeck away from zero on both sides; a large amount passes 64
// bits on the way without harm. Shares add up to the whole, the first one taking what rounding leaves.
TEST(Money, RoundingPercentsAndSplits) {
    QList<qint64> got;
    for (const Money &m :
         {Money::Kopecks(33333).Percent(20), Money::Kopecks(1250).Percent(18), Money::Kopecks(25).Percent(10),
          Money::Kopecks(-25).Percent(10), Money::Kopecks(1).Percent(49.99), Money::Kopecks(33333).Times(3),
          Money::Kopecks(101).Times(0.5), Money::Kopecks(Money::kMaxKopecks).Times(99999)})
        got << m.kopecks();
    EXPECT_EQ(got, (QList<qint64>{6667, 225, 3, -3, 0, 99999, 51, Money::kMaxKopecks * 99999}));
    EXPECT_EQ(RoundQuantity(1.2345), 1.235);
    EXPECT_FALSE(QuantityWithinLimit(100000));

    QStringList splits;
    for (const auto &[whole, parts] :
         {std::pair{10000, 3}, {20000, 3}, {1, 3}, {-10000, 3}, {500, 1}, {100, 0}}) {
        QStringList shares;
        for (const Money &m : Money::Kopecks(whole).Split(parts)) shares << QString::number(m.kopecks());
        splits << shares.join(u' ');
    }
    EXPECT_EQ(splits,
              (QStringList{"3334 3333 3333", "6666 6667 6667", "1 0 0", "-3334 -3333 -3333", "500", ""}));
}

TEST(Formats, TypedNumbersAndScreenDates) {
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(" 12,5 "), 12.5);
    EXPECT_DOUBLE_EQ(Formats::ParseNumber("1 000,125"), 1000.125);
    EXPECT_EQ(Formats::TwoDecimals(18), "18.00");
    QList<long> leading;
    for (const char *typed : {"125abc", "12.9", "x1", "99999999999999999999999"})
        leading << Formats::LeadingLong(QString::fromLatin1(typed));
    EXPECT_EQ(leading, (QList<long>{125, 12, 0, std::numeric_limits<long>::max()}));
    const QDateTime dt(QDate(2024, 3, 7), QTime(9, 5, 33));
    EXPECT_EQ(QStringList(
                  {Formats::Date(dt), Formats::Time(dt), Formats::DateTime(dt), Formats::Date(QDateTime())}),
              (QStringList{"07.03.2024", "09:05", "07.03.2024 09:05", ""}));
}

TEST(KeyGen, SerialDigitsAndShapeNeverRepeatingWithinASecond) {
    // 2 January 1900 12:00 is serial 3.5.
    EXPECT_EQ(KeyFromSerial("anna", DateSerial(QDateTime(QDate(1900, 1, 2), QTime(12, 0)))), "anna~35~");
    EXPECT_EQ(KeyFromSerial("x", 45000.0), "x~45000~");
    EXPECT_TRUE(QRegularExpression("^anna~\\d+~$").match(NewKey("anna")).hasMatch());
    QSet<QString> keys;
    for (int i = 0; i < 5000; ++i) keys.insert(NewKey("u"));
    EXPECT_EQ(keys.size(), 5000);
}

TEST(Password, HashesAndVerifies) {
    const QString hash = Password::Hash("Пароль 1");
    EXPECT_TRUE(Password::IsHash(hash));
    EXPECT_NE(hash, Password::Hash("Пароль 1"));  // salted
    EXPECT_TRUE(Password::Matches("Пароль 1", hash));
    EXPECT_FALSE(Password::Matches("пароль 1", hash));
    EXPECT_TRUE(Password::Matches("old", "old"));  // legacy plain text
    EXPECT_FALSE(Password::Matches("Old", "old"));
}
