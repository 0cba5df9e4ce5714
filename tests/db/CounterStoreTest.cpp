#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "TestDb.h"

class CounterTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(CounterTest);

TEST_P(CounterTest, ProposalsStoreNothingAndSettingsRoundTripExactly) {
    CounterStore c(db());
    c.WriteAll({" N ", 10, 20, 30, 40});
    for (int look = 0; look < 2; ++look) {  // taking a look stores nothing
        EXPECT_EQ(c.NextOrderNumber(), " N 11");
        EXPECT_EQ(QList<long>({c.NextPayNumber(), c.Next(DocCounter::Pay), c.Next(DocCounter::OutPay),
                               c.NextSalaryNumber(), c.Next(DocCounter::Salary)}),
                  QList<long>({21, 21, 31, 41, 41}));
    }
    const auto v = c.ReadAll();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->zakazPr, " N ");  // kept exactly as typed
    EXPECT_EQ(QList<long>({v->zakazNomer, v->payNomer, v->outPayNomer, v->salaryNomer}),
              QList<long>({10, 20, 30, 40}));

    // Without the counter row nothing is proposed.
    db().Exec("DELETE FROM [Number]");
    EXPECT_EQ(c.NextOrderNumber(), QString());
    EXPECT_EQ(QList<long>({c.NextPayNumber(), c.Next(DocCounter::OutPay), c.NextSalaryNumber()}),
              QList<long>({0, 0, 0}));
    EXPECT_FALSE(c.ReadAll());
}

TEST_P(CounterTest, TakingRaisesTheCounterAndTypedNumbersNeverLowerIt) {
    CounterStore c(db());
    c.WriteAll({"A-", 7, 10, 20, 30});
    EXPECT_EQ(c.TakeOrderNumber(), "A-8");
    EXPECT_EQ(c.TakeOrderNumber(), "A-9");
    EXPECT_EQ(c.ReadAll()->zakazNomer, 9);
    EXPECT_EQ(c.Take(DocCounter::Pay), 11);
    EXPECT_EQ(c.Take(DocCounter::OutPay), 21);
    EXPECT_EQ(c.Take(DocCounter::Salary), 31);
    c.Raise(DocCounter::Pay, 5);  // a smaller typed number leaves the counter where it is
    EXPECT_EQ(c.ReadAll()->payNomer, 11);
    c.Raise(DocCounter::OutPay, 50);
    EXPECT_EQ(c.ReadAll()->outPayNomer, 50);
    EXPECT_EQ(c.ReadAll()->payNomer, 11);
    c.WriteAll({"A-", 3, 1, 1, 1});  // the numbering settings may set it lower
    EXPECT_EQ(c.TakeOrderNumber(), "A-4");

    // A taken number that is not saved is given back with the save's transaction.
    {
        Transaction tx(db());
        EXPECT_EQ(c.TakeOrderNumber(), "A-5");
        EXPECT_EQ(c.Take(DocCounter::Pay), 2);
    }
    EXPECT_EQ(c.ReadAll()->zakazNomer, 4);
    EXPECT_EQ(c.ReadAll()->payNomer, 1);

    // No counter row: nothing is issued and the row comes back; a typed number recreates it too.
    db().Exec("DELETE FROM [Number]");
    EXPECT_EQ(c.TakeOrderNumber(), QString());
    EXPECT_EQ(c.TakeOrderNumber(), "1");
    db().Exec("DELETE FROM [Number]");
    c.Raise(DocCounter::Salary, 17);
    EXPECT_EQ(c.ReadAll()->salaryNomer, 17);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 0);
    EXPECT_EQ(CountRows(db(), "SELECT * FROM [Number]"), 1);
}

TEST_P(CounterTest, CountersPastTwoToTheThirtyFirstAreExactOrRefused) {
    CounterStore c(db());
    c.WriteAll({"A-", 2147483647, 2147483647, 0, 0});
    EXPECT_EQ(c.NextOrderNumber(), "A-2147483648");
    EXPECT_EQ(c.TakeOrderNumber(), "A-2147483648");
    EXPECT_EQ(c.Take(DocCounter::Pay), 2147483648L);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 2147483648L);
    c.Raise(DocCounter::OutPay, 5000000000L);
    EXPECT_EQ(c.Next(DocCounter::OutPay), 5000000001L);

    // Past what a counter holds: refused, and the counter is left as it was.
    c.WriteAll({"A-", 9223372036854775807L, 9223372036854775807L, 0, 0});
    EXPECT_THROW(c.TakeOrderNumber(), DbError);
    EXPECT_THROW(c.Take(DocCounter::Pay), DbError);
    EXPECT_THROW(c.NextOrderNumber(), DbError);
    EXPECT_THROW(c.NextPayNumber(), DbError);
    EXPECT_EQ(c.ReadAll()->zakazNomer, 9223372036854775807L);
}

// A typed document number is read as its leading whole number; one that does not fit a counter is refused.
TEST(CounterNumbers, TypedNumbersAreReadAsTheirLeadingWholeNumber) {
    const struct {
        const char *typed;
        long number;
    } cases[] = {{"  125 ", 125},
                 {"125abc", 125},
                 {"x1", 0},
                 {"", 0},
                 {"-7", -7},
                 {"+12", 12},
                 {"9223372036854775807", 9223372036854775807L}};
    for (const auto &c : cases)
        EXPECT_EQ(CounterStore::ParseNumber(QString::fromLatin1(c.typed)), c.number) << c.typed;
    EXPECT_THROW(CounterStore::ParseNumber(u"9223372036854775808"), DbError);
    EXPECT_THROW(CounterStore::ParseNumber(u"99999999999999999999"), DbError);
}
