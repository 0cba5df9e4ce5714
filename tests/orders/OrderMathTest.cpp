#include "Formats.h"
#include "OrderFixtures.h"
#include "OrderMath.h"

#include <gtest/gtest.h>

using namespace Fixture;

TEST(OrderMath, TotalsCountLiveLinesOnceAndSkipPackageHeaders) {
    OrderLine pkg = Package(QStringLiteral("p"), QStringLiteral("Шиномонтаж"),
                            {Service(QStringLiteral("s1"), QStringLiteral("Снятие"), 4, 100, 18),
                             Service(QStringLiteral("s2"), QStringLiteral("Балансировка"), 4, 50, 0)});
    pkg.price = 1000;  // a header's own price never counts
    OrderLine removed = Service(QStringLiteral("s3"), QStringLiteral("Мойка"), 1, 500, 0);
    removed.deleted = true;
    OrderLine wash = Service(QStringLiteral("s4"), QStringLiteral("Мойка"), 2, 25.5, 10);
    wash.time = QTime(1, 30);

    const OrderMath::Totals t = OrderMath::Compute({pkg, removed, wash});
    // 4*100*1.18 + 4*50 + 2*25.5*1.1
    EXPECT_NEAR(t.total, 472 + 200 + 56.1, 1e-9);
    EXPECT_NEAR(t.vat, 72 + 5.1, 1e-9);
    EXPECT_EQ(t.durationSecs, (4 * 30 + 4 * 30 + 2 * 90) * 60);
    EXPECT_EQ(OrderMath::DurationText(t.durationSecs), QStringLiteral("07:00"));
    EXPECT_EQ(OrderMath::DurationText(26 * 3600 + 5 * 60), QStringLiteral("02:05"));  // past midnight wraps
    EXPECT_EQ(OrderMath::ProposedCompletion(QDateTime(QDate(2024, 1, 1), QTime(20, 0)), t.durationSecs),
              QDateTime(QDate(2024, 1, 2), QTime(3, 0)));

    OrderLine deletedPkg = pkg;
    deletedPkg.deleted = true;
    EXPECT_DOUBLE_EQ(OrderMath::Compute({deletedPkg}).total, 0.0);
}

TEST(OrderMath, DebtThresholdAndPerformerPay) {
    PayRecord a, b, gone;
    a.SummaPay = 100;
    b.SummaPay = 18.001;
    gone.SummaPay = 1000;
    gone.Delete = 1;
    const double paid = OrderMath::Paid({a, b, gone});
    EXPECT_DOUBLE_EQ(paid, 118.001);
    EXPECT_FALSE(Formats::IsOutstanding(OrderMath::Debt(118.01, paid)));  // 0.009 counts as paid
    EXPECT_FALSE(Formats::IsOutstanding(0.009));
    EXPECT_TRUE(Formats::IsOutstanding(0.01));
    EXPECT_FALSE(Formats::IsOutstanding(-50));  // overpaid

    OrderLine l = Service(QStringLiteral("s"), QStringLiteral("x"), 3, 200, 18);
    l.prJob = true;
    l.job = 25;
    EXPECT_DOUBLE_EQ(OrderMath::PerformerPay(l), 150.0);  // 25 % of 600, VAT aside
    l.prJob = false;
    EXPECT_DOUBLE_EQ(OrderMath::PerformerPay(l), 25.0);  // a fixed sum whatever the quantity
}
