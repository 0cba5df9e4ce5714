#include "CounterStore.h"
#include "TestDb.h"

class CounterTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(CounterTest);

TEST_P(CounterTest, OrderCounterDropsAsManyCharactersAsThePrefixHas) {
    CounterStore c(db());
    c.WriteAll({QStringLiteral("A-"), 7, 0, 0, 0});
    EXPECT_EQ(c.NextOrderNumber(), QStringLiteral("A-8"));
    EXPECT_EQ(c.NextOrderNumber(), QStringLiteral("A-8"));  // taking a look stores nothing
    c.StoreOrderCounter(QStringLiteral("  A-125 "));
    EXPECT_EQ(c.ReadAll()->zakazNomer, 125);
    c.StoreOrderCounter(QStringLiteral("125"));  // two characters dropped whatever they are
    EXPECT_EQ(c.ReadAll()->zakazNomer, 5);
    c.StoreOrderCounter(QStringLiteral("A-x"));
    EXPECT_EQ(c.ReadAll()->zakazNomer, 0);
    EXPECT_EQ(c.OrderPrefix(), QStringLiteral("A-"));
}

TEST_P(CounterTest, DocumentCountersRoundTripAndMayGoDown) {
    CounterStore c(db());
    c.WriteAll({QStringLiteral(" N "), 10, 20, 30, 40});
    const auto v = c.ReadAll();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->zakazPr, QStringLiteral(" N "));  // kept exactly as typed
    EXPECT_EQ(c.NextPayNumber(), 21);
    EXPECT_EQ(c.NextOutPayNumber(), 31);
    EXPECT_EQ(c.NextSalaryNumber(), 41);
    c.StorePayNumber(5);
    c.StoreOutPayNumber(300);
    c.StoreSalaryNumber(0);
    EXPECT_EQ(c.NextPayNumber(), 6);
    EXPECT_EQ(c.NextOutPayNumber(), 301);
    EXPECT_EQ(c.NextSalaryNumber(), 1);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 10);
}

TEST_P(CounterTest, MissingRowGivesEmptyNumbersAndIsRecreatedOnStore) {
    db().Exec(QStringLiteral("DELETE FROM [Number]"));
    CounterStore c(db());
    EXPECT_EQ(c.NextOrderNumber(), QString());
    EXPECT_EQ(c.OrderPrefix(), QString());
    EXPECT_EQ(c.NextPayNumber(), 0);
    EXPECT_EQ(c.NextOutPayNumber(), 0);
    EXPECT_EQ(c.NextSalaryNumber(), 0);
    EXPECT_FALSE(c.ReadAll());
    c.StorePayNumber(17);
    ASSERT_TRUE(c.ReadAll());
    EXPECT_EQ(c.ReadAll()->payNomer, 17);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM [Number]")), 1);
}
