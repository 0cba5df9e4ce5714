#include "BayPlan.h"
#include "TestDb.h"
#include "TestRows.h"

class BayPlanTest : public DbTest {
protected:
    static QDateTime At(int hour, int minute = 0) {
        return QDateTime(QDate(2026, 3, 2), QTime(hour, minute));
    }
    // An order planned on a bay, as the upgraded schema keeps it.
    void Plan(const char *key, const char *bay, const QDateTime &start, const QDateTime &end,
              bool deleted = false) {
        TestRows::Put(db(),
                      TestRows::Order{.key = key, .number = QString(key).toUpper(), .deleted = deleted});
        db().Exec("UPDATE TZakaz SET IddBox = ?, ZakazBegin = ?, ZakazPlanEnd = ? WHERE IddZakaz = ?",
                  {bay, start, end, key});
    }
    QStringList Keys(const QString &bay, const QDateTime &start, const QDateTime &end,
                     const QString &except = {}) {
        QStringList keys;
        for (const BayPlan::Booking &b : BayPlan::Overlapping(db(), bay, start, end, except))
            keys << b.iddZakaz;
        return keys;
    }
};
ZV_INSTANTIATE_DB_TESTS(BayPlanTest);

TEST_P(BayPlanTest, ThePlannedEndAddsTheLiveServicesDurations) {
    OrderLine wash, package, wheel, gone;
    wash.time = QTime(0, 30);
    package.iddTop = Group::kPackage, package.time = QTime(1, 0);  // a header takes no time of its own
    wheel.time = QTime(0, 15), wheel.count = 4;
    gone.time = QTime(2, 0), gone.deleted = true;
    package.children = {wheel};
    EXPECT_EQ(BayPlan::PlannedEnd(At(10), {wash, package, gone}), At(11, 30));
    EXPECT_EQ(BayPlan::PlannedEnd(At(10), {}), At(10));
    EXPECT_FALSE(BayPlan::PlannedEnd(QDateTime(), {wash}).isValid());
}

TEST_P(BayPlanTest, OrdersOverlapOnOneBayWhenEachStartsBeforeTheOtherEnds) {
    Plan("z1", "b1", At(10), At(11));
    Plan("z2", "b1", At(11), At(12));
    Plan("z3", "b2", At(10, 30), At(11, 30));
    Plan("z4", "b1", At(10), At(12), true);
    TestRows::Put(db(), TestRows::Order{.key = "z5", .begin = At(10)});  // no bay: an old order

    EXPECT_EQ(Keys("b1", At(11), At(11, 30)), QStringList{"z2"}) << "one that ends as the other starts";
    EXPECT_EQ(Keys("b1", At(10, 30), At(11, 30)), (QStringList{"z1", "z2"}));
    EXPECT_TRUE(Keys("b1", At(9), At(10)).isEmpty()) << "one that ends as the next starts";
    EXPECT_TRUE(Keys("b1", At(12), At(13)).isEmpty());
    EXPECT_EQ(Keys("b1", At(10, 30), At(11, 30), "z2"), QStringList{"z1"}) << "the order planned is left out";
    const QList<BayPlan::Booking> found = BayPlan::Overlapping(db(), "b2", At(11), At(11, 15));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0], (BayPlan::Booking{"z3", "Z3", At(10, 30), At(11, 30)}));
}
