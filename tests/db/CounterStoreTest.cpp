#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
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

TEST_P(CounterTest, TakingRaisesTheCounterAndTypedNumbersNeverLowerIt) {
    CounterStore c(db());
    c.WriteAll({QStringLiteral("A-"), 7, 10, 20, 30});
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-8"));
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-9"));
    EXPECT_EQ(c.ReadAll()->zakazNomer, 9);
    EXPECT_EQ(c.Take(DocCounter::Pay), 11);
    EXPECT_EQ(c.Take(DocCounter::OutPay), 21);
    EXPECT_EQ(c.Take(DocCounter::Salary), 31);
    c.Raise(DocCounter::Pay, 5);  // a smaller typed number leaves the counter where it is
    EXPECT_EQ(c.ReadAll()->payNomer, 11);
    c.Raise(DocCounter::Pay, 50);
    EXPECT_EQ(c.ReadAll()->payNomer, 50);
    c.WriteAll({QStringLiteral("A-"), 3, 1, 1, 1});  // the numbering settings may set it lower
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-4"));

    // A taken number that is not saved is given back with the save's transaction.
    {
        Transaction tx(db());
        EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-5"));
    }
    EXPECT_EQ(c.ReadAll()->zakazNomer, 4);

    db().Exec(QStringLiteral("DELETE FROM [Number]"));
    EXPECT_EQ(c.TakeOrderNumber(), QString());  // no counter row: nothing issued, the row comes back
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("1"));
}

TEST_P(CounterTest, CountersPastTwoToTheThirtyFirstAreExactOrRefused) {
    CounterStore c(db());
    c.WriteAll({QStringLiteral("A-"), 2147483647, 2147483647, 0, 0});
    EXPECT_EQ(c.NextOrderNumber(), QStringLiteral("A-2147483648"));
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-2147483648"));
    EXPECT_EQ(c.Take(DocCounter::Pay), 2147483648L);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 2147483648L);
    c.StoreOrderCounter(QStringLiteral("A-5000000000"));
    EXPECT_EQ(c.ReadAll()->zakazNomer, 5000000000L);
    EXPECT_EQ(c.NextOrderNumber(), QStringLiteral("A-5000000001"));

    // Past what a counter holds: refused, and the counter is left as it was.
    EXPECT_THROW(c.StoreOrderCounter(QStringLiteral("A-99999999999999999999")), DbError);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 5000000000L);
    c.WriteAll({QStringLiteral("A-"), 9223372036854775807L, 9223372036854775807L, 0, 0});
    EXPECT_THROW(c.TakeOrderNumber(), DbError);
    EXPECT_THROW(c.Take(DocCounter::Pay), DbError);
    EXPECT_THROW(c.NextOrderNumber(), DbError);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 9223372036854775807L);
}
