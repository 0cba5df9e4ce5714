#include "CounterStore.h"
#include "DbError.h"
#include "TestDb.h"

class CounterTest : public DbTest {
protected:
    // The stored counters as "prefix|order|pay|out|salary"; "none" without the counter row.
    QString Stored() {
        const auto v = CounterStore(db()).ReadAll();
        return v ? v->zakazPr + u'|' + Join({v->zakazNomer, v->payNomer, v->outPayNomer, v->salaryNomer})
                 : QStringLiteral("none");
    }
    // The numbers proposed: "pay|pay|out|salary|salary".
    QString Proposed() {
        CounterStore c(db());
        return Join({c.NextPayNumber(), c.Next(DocCounter::Pay), c.Next(DocCounter::OutPay),
                     c.NextSalaryNumber(), c.Next(DocCounter::Salary)});
    }
    static QString Join(std::initializer_list<long> numbers) {
        QStringList all;
        for (long n : numbers) all << QString::number(n);
        return all.join(u'|');
    }
};
ZV_INSTANTIATE_DB_TESTS(CounterTest);

// A look at the next numbers stores nothing. Taking raises the counter, a typed number never lowers it, and a
// number taken in a save that is not committed is given back. Past 2^31 the counters are exact; past what
// they hold they refuse and stay as they were.
TEST_P(CounterTest, ProposingTakingAndRaising) {
    CounterStore c(db());
    c.WriteAll({" N ", 10, 20, 30, 40});
    EXPECT_EQ(Proposed(), "21|21|31|41|41");
    EXPECT_EQ(Proposed(), "21|21|31|41|41");
    EXPECT_EQ(Stored(), " N |10|20|30|40");  // the prefix kept exactly as typed

    c.WriteAll({"A-", 7, 10, 20, 30});
    EXPECT_EQ(QStringList({c.TakeOrderNumber(), c.TakeOrderNumber()}), QStringList({"A-8", "A-9"}));
    EXPECT_EQ(QList<long>({c.Take(DocCounter::Pay), c.Take(DocCounter::OutPay), c.Take(DocCounter::Salary)}),
              QList<long>({11, 21, 31}));
    c.Raise(DocCounter::Pay, 5);  // a smaller typed number leaves the counter where it is
    c.Raise(DocCounter::OutPay, 50);
    EXPECT_EQ(Stored(), "A-|9|11|50|31");
    c.WriteAll({"A-", 3, 1, 1, 1});  // the numbering settings may set it lower
    EXPECT_EQ(c.TakeOrderNumber(), "A-4");
    {
        Transaction tx(db());
        EXPECT_EQ(QStringList({c.TakeOrderNumber(), QString::number(c.Take(DocCounter::Pay))}),
                  QStringList({"A-5", "2"}));
    }
    EXPECT_EQ(Stored(), "A-|4|1|1|1");

    c.WriteAll({"A-", 2147483647, 2147483647, 0, 0});
    EXPECT_EQ(c.TakeOrderNumber(), "A-2147483648");
    EXPECT_EQ(c.Take(DocCounter::Pay), 2147483648L);
    c.Raise(DocCounter::OutPay, 5000000000L);
    EXPECT_EQ(Stored(), "A-|2147483648|2147483648|5000000000|0");
    EXPECT_EQ(c.Next(DocCounter::OutPay), 5000000001L);
    c.WriteAll({"A-", 9223372036854775807L, 9223372036854775807L, 0, 0});
    EXPECT_THROW(c.TakeOrderNumber(), DbError);
    EXPECT_THROW(c.Take(DocCounter::Pay), DbError);
    EXPECT_THROW(c.NextPayNumber(), DbError);
    EXPECT_EQ(Stored(), "A-|9223372036854775807|9223372036854775807|0|0");

    // No counter row: nothing is proposed or issued, and the row comes back; a typed number recreates it too.
    db().Exec("DELETE FROM [Number]");
    EXPECT_EQ(Proposed(), "0|0|0|0|0");
    EXPECT_EQ(Stored(), "none");
    EXPECT_EQ(c.TakeOrderNumber(), QString());
    EXPECT_EQ(c.TakeOrderNumber(), "1");
    db().Exec("DELETE FROM [Number]");
    c.Raise(DocCounter::Salary, 17);
    EXPECT_EQ(Stored(), "|0|0|0|17");
}
