#include "CounterStore.h"
#include "DbError.h"
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
    // clang-format off
    const std::pair<const char *, qint64> typed[] = {
        {" 12,50 ", 1250}, {"1,234.5", 123}, {"руб", 0}, {"-7,5р", -750}, {"", 0}, {"1 500", 150000},
        {"1 234,50", 123450}, {"1\u00A0234\u00A0567,5", 123456750}, {"-12\u2009000.25", -1200025},
        {"3\u202F000", 300000}, {"1,005", 101}, {"-1,005", -101}, {"2,675", 268}, {"0,0049", 0},
        {"999 999 999,99", Money::kMaxKopecks}};
    // clang-format on
    for (const auto &[text, kopecks] : typed)
        EXPECT_EQ(Money::Parse(QString::fromUtf8(text)).kopecks(), kopecks) << text;
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

// A typed whole number is read as its leading digits; a document number that does not fit a counter is
// refused, any other is read as the largest.
TEST(Formats, TypedNumbersAndScreenDates) {
    EXPECT_DOUBLE_EQ(Formats::ParseNumber(" 12,5 "), 12.5);
    EXPECT_DOUBLE_EQ(Formats::ParseNumber("1 000,125"), 1000.125);
    EXPECT_EQ(Formats::TwoDecimals(18), "18.00");
    QList<long> leading, counter;
    for (const char *typed : {"  125 ", "125abc", "12.9", "x1", "", "-7", "+12", "9223372036854775807"}) {
        leading << Formats::LeadingLong(QString::fromLatin1(typed));
        counter << CounterStore::ParseNumber(QString::fromLatin1(typed));
    }
    EXPECT_EQ(leading, (QList<long>{125, 125, 12, 0, 0, -7, 12, std::numeric_limits<long>::max()}));
    EXPECT_EQ(counter, leading);
    EXPECT_EQ(Formats::LeadingLong(u"99999999999999999999999"), std::numeric_limits<long>::max());
    EXPECT_THROW(CounterStore::ParseNumber(u"9223372036854775808"), DbError);
    EXPECT_THROW(CounterStore::ParseNumber(u"99999999999999999999"), DbError);
    const QDateTime dt(QDate(2024, 3, 7), QTime(9, 5, 33));
    EXPECT_EQ(QStringList(
                  {Formats::Date(dt), Formats::Time(dt), Formats::DateTime(dt), Formats::Date(QDateTime())}),
              (QStringList{"07.03.2024", "09:05", "07.03.2024 09:05", ""}));
}

TEST(KeyGen, SerialDigitsAndShapeNeverRepeatingWithinASecond) {
    // 2 January 1900 12:00 is serial 3.5.
    EXPECT_EQ(KeyFromSerial("anna", DateSerial(QDateTime(QDate(1900, 1, 2), QTime(12, 0)))), "anna~35~");
    EXPECT_TRUE(QRegularExpression("^anna~\\d+~$").match(NewKey("anna")).hasMatch());
    QSet<QString> keys;
    for (int i = 0; i < 5000; ++i) keys.insert(NewKey("u"));
    EXPECT_EQ(keys.size(), 5000);
}

// A stored password is a salted hash; anything else stored matches nothing, not even itself.
TEST(Password, HashesAndVerifies) {
    const QString hash = Password::Hash("Пароль 1");
    EXPECT_TRUE(Password::IsHash(hash));
    EXPECT_NE(hash, Password::Hash("Пароль 1"));
    EXPECT_EQ(QList<bool>({Password::Matches("Пароль 1", hash), Password::Matches("пароль 1", hash),
                           Password::Matches("old", "old"), Password::Matches("Old", "old")}),
              QList<bool>({true, false, false, false}));
}
