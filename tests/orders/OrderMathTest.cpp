#include "Formats.h"
#include "OrderFixtures.h"
#include "OrderMath.h"
#include "Rub.h"

#include <gtest/gtest.h>

using namespace Fixture;

TEST(OrderMath, TotalsCountLiveLinesOnceAndSkipPackageHeaders) {
    OrderLine pkg =
        Package(u"p"_s, u"Шиномонтаж"_s,
                {Service(u"s1"_s, u"Снятие"_s, 4, 100, 18), Service(u"s2"_s, u"Балансировка"_s, 4, 50, 0)});
    pkg.price = Rub(1000);  // a header's own price never counts
    OrderLine removed = Service(u"s3"_s, u"Мойка"_s, 1, 500, 0);
    removed.deleted = true;
    OrderLine wash = Service(u"s4"_s, u"Мойка"_s, 2, 25.5, 10);
    wash.time = QTime(1, 30);

    const OrderMath::Totals t = OrderMath::Compute({pkg, removed, wash});
    // 4*100*1.18 + 4*50 + 2*25.5*1.1
    EXPECT_EQ(t.total, Rub(472 + 200 + 56.1));
    EXPECT_EQ(t.vat, Rub(72 + 5.1));
    EXPECT_EQ(t.durationSecs, (4 * 30 + 4 * 30 + 2 * 90) * 60);
    EXPECT_EQ(OrderMath::DurationText(t.durationSecs), u"07:00"_s);
    EXPECT_EQ(OrderMath::DurationText(26 * 3600 + 5 * 60), u"02:05"_s);  // past midnight wraps
    EXPECT_EQ(OrderMath::ProposedCompletion(QDateTime(QDate(2024, 1, 1), QTime(20, 0)), t.durationSecs),
              QDateTime(QDate(2024, 1, 2), QTime(3, 0)));

    OrderLine deletedPkg = pkg;
    deletedPkg.deleted = true;
    EXPECT_EQ(OrderMath::Compute({deletedPkg}).total, Rub(0.0));

    // Every total is the sum of the lines as rounded: three lines at 333.33 with 20 % VAT.
    const OrderLine third = Service(u"t"_s, u"x"_s, 1, 333.33, 20);
    EXPECT_EQ(OrderMath::LineVat(third), Rub(66.67));
    EXPECT_EQ(OrderMath::LineTotal(third), Rub(400.00));
    const OrderMath::Totals thirds = OrderMath::Compute({third, third, third});
    EXPECT_EQ(thirds.vat, Rub(200.01));
    EXPECT_EQ(thirds.total, Rub(1200.00));
}

TEST(OrderMath, DebtThresholdAndPerformerPay) {
    PayRecord a, b, gone;
    a.SummaPay = Rub(100);
    b.SummaPay = Rub(18.001);
    gone.SummaPay = Rub(1000);
    gone.Delete = 1;
    const Money paid = OrderMath::Paid({a, b, gone});
    EXPECT_EQ(paid, Rub(118.00));                                     // 18.001 is kept as 18.00
    EXPECT_TRUE(OrderMath::Debt(Rub(118.01), paid).IsOutstanding());  // one kopeck is owed
    EXPECT_FALSE(OrderMath::Debt(Rub(118.00), paid).IsOutstanding());
    EXPECT_FALSE(Rub(-50).IsOutstanding());  // overpaid

    OrderLine l = Service(u"s"_s, u"x"_s, 3, 200, 18);
    l.prJob = true;
    l.job = 25;
    EXPECT_EQ(OrderMath::PerformerPay(l), Rub(150.0));  // 25 % of 600, VAT aside
    l.prJob = false;
    EXPECT_EQ(OrderMath::PerformerPay(l), Rub(25.0));  // a fixed sum whatever the quantity
}
