#include "Formats.h"
#include "KeyGen.h"
#include "Password.h"

#include <gtest/gtest.h>
#include <QSet>

TEST(Formats, MoneyAndTypedAmounts) {
    EXPECT_EQ(Formats::Money(118), QStringLiteral("118.00"));
    EXPECT_EQ(Formats::Money(0.005), QStringLiteral("0.01"));
    EXPECT_EQ(Formats::Money(-12.5), QStringLiteral("-12.50"));
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral(" 12,50 ")), 12.5);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("1,234.5")), 1.234);  // second point ends the number
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("руб")), 0.0);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("-7,5р")), -7.5);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QString()), 0.0);
    // Thousands grouped by blanks of every kind, as Russians write them.
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("1 500")), 1500.0);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("1 234,50")), 1234.5);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("1\u00A0234\u00A0567,5")), 1234567.5);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("-12\u2009000.25")), -12000.25);
    EXPECT_DOUBLE_EQ(Formats::ParseMoney(QStringLiteral("3\u202F000")), 3000.0);
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
