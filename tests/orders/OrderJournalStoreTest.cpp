#include "JournalFixtures.h"
#include "OrderFixtures.h"
#include "OrderJournalStore.h"
#include "Rub.h"
#include "TestDb.h"

#include <QHash>

using JournalFixture::Put;
using JournalFixture::Seed;

namespace {

QDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

// The listed keys, sorted, as "a,b,c" (readable when a check fails).
std::string Keys(const QList<JournalOrder> &orders) {
    QStringList keys;
    for (const JournalOrder &o : orders) keys << o.IddZakaz;
    keys.sort();
    return keys.join(u',').toStdString();
}

}  // namespace

class OrderJournalStoreTest : public DbTest {
protected:
    // June 2024 with its edges, orders outside it, a debt from last year, a debt of one kopeck and an order
    // paid to the kopeck whose sums leave floating-point dust (7 x 14.30 = 100.10000000000001).
    void PutJune() {
        Put(db(), {.key = "req", .number = "10", .date = At(2024, 6, 1), .status = StatusRequested});
        Put(db(), {.key = "started",
                   .number = "11",
                   .date = At(2024, 6, 30, 23, 59, 59),
                   .status = StatusStarted,
                   .payments = {100}});
        Put(db(), {.key = "kopeck",
                   .number = "12",
                   .date = At(2024, 6, 15),
                   .status = StatusFinished,
                   .count = 7,
                   .price = 14.3,
                   .payments = {100.09}});
        Put(db(), {.key = "dust",
                   .number = "13",
                   .date = At(2024, 6, 16),
                   .status = StatusFinished,
                   .count = 7,
                   .price = 14.3,
                   .payments = {50.05, 50.05}});
        Put(db(), {.key = "lastyear",
                   .number = "2",
                   .date = At(2023, 3, 10),
                   .status = StatusFinished,
                   .payments = {20}});
        Put(db(), {.key = "oldpaid",
                   .number = "3",
                   .date = At(2023, 3, 11),
                   .status = StatusStarted,
                   .payments = {100}});
        Put(db(), {.key = "may",
                   .number = "9",
                   .date = At(2024, 5, 31, 23, 59, 59),
                   .status = StatusRequested,
                   .payments = {100}});
        Put(db(), {.key = "july",
                   .number = "14",
                   .date = At(2024, 7, 1),
                   .status = StatusStarted,
                   .payments = {100}});
    }

    QList<JournalOrder> June(JournalStatus status, const QString &number = {}, const QString &plate = {},
                             const QString &make = {}, const QString &client = {}) {
        JournalFilter f;
        f.from = QDate(2024, 6, 1);
        f.to = QDate(2024, 6, 30);
        f.status = status;
        f.number = number;
        f.plate = plate;
        f.make = make;
        f.client = client;
        return OrderJournalStore(db()).Search(f);
    }
};
ZV_INSTANTIATE_DB_TESTS(OrderJournalStoreTest);

TEST_P(OrderJournalStoreTest, EachStatusFilterListsItsOrdersOfTheWholePeriod) {
    PutJune();
    // Both end days are whole: midnight of the 1st and 23:59:59 of the 30th are in; the days around are not.
    EXPECT_EQ(Keys(June(JournalStatus::All)), "dust,kopeck,req,started");
    // Open orders of the period plus every order in debt whatever its date; paid-with-dust is not in debt.
    EXPECT_EQ(Keys(June(JournalStatus::Active)), "kopeck,lastyear,req,started");
    EXPECT_EQ(Keys(June(JournalStatus::Requested)), "req");
    EXPECT_EQ(Keys(June(JournalStatus::Started)), "started");
    // Started or finished, of the period, in debt: one kopeck counts, dust does not, a request never.
    EXPECT_EQ(Keys(June(JournalStatus::Unpaid)), "kopeck");
    EXPECT_EQ(Keys(June(JournalStatus::Finished)), "dust,kopeck");

    const QList<JournalOrder> active = June(JournalStatus::Active);
    QHash<QString, Money> debts;
    for (const JournalOrder &o : active) debts[o.IddZakaz] = o.debt;
    EXPECT_EQ(debts[QStringLiteral("kopeck")], Rub(0.01));
    EXPECT_EQ(debts[QStringLiteral("lastyear")], Rub(80));
    EXPECT_EQ(debts[QStringLiteral("started")], Money());
    // Newest appointment first.
    QStringList order;
    for (const JournalOrder &o : active) order << o.IddZakaz;
    EXPECT_EQ(order.join(u','), QStringLiteral("started,kopeck,req,lastyear"));
}

TEST_P(OrderJournalStoreTest, TextFiltersMatchWholeBoundValues) {
    Put(db(), {.key = "a",
               .number = "10",
               .date = At(2024, 6, 3),
               .status = StatusFinished,
               .client = "ООО \"Ромашка\"",
               .plate = "А123ВС77",
               .make = "Лада",
               .payments = {100}});
    Put(db(), {.key = "b",
               .number = "100",
               .date = At(2024, 6, 4),
               .status = StatusFinished,
               .client = "O'Neil",
               .plate = "А123ВС777",
               .make = "Лада Веста",
               .payments = {100}});
    Put(db(), {.key = "open",
               .number = "7",
               .date = At(2024, 6, 5),
               .status = StatusStarted,
               .client = "Сидоров",
               .plate = "С777СС77",
               .make = "Kia",
               .payments = {100}});
    Put(db(), {.key = "debtor",
               .number = "5",
               .date = At(2023, 1, 4),
               .status = StatusStarted,
               .client = "Петров",
               .plate = "В555ВВ99",
               .make = "Kia"});
    const auto all = [&](const char *n, const char *p, const char *m, const char *c) {
        return Keys(June(JournalStatus::All, QString::fromUtf8(n), QString::fromUtf8(p), QString::fromUtf8(m),
                         QString::fromUtf8(c)));
    };
    EXPECT_EQ(all("10", "", "", ""), "a");
    EXPECT_EQ(all(" 100 ", "", "", ""), "b");  // trimmed
    EXPECT_EQ(all("1%", "", "", ""), "");      // no wildcards
    EXPECT_EQ(all("", "А123ВС77", "", ""), "a");
    EXPECT_EQ(all("", "", "Лада", ""), "a");
    EXPECT_EQ(all("", "", "", "ООО \"Ромашка\""), "a");
    EXPECT_EQ(all("", "", "", "O'Neil"), "b");
    EXPECT_EQ(all("", "", "", "O'Neil' OR '1'='1"), "");
    EXPECT_EQ(all("100", "А123ВС777", "Лада Веста", "O'Neil"), "b");
    EXPECT_EQ(all("100", "А123ВС77", "", ""), "");
    // Under "Активные" the filters narrow the period's open orders; orders in debt stay listed.
    EXPECT_EQ(Keys(June(JournalStatus::Active)), "debtor,open");
    EXPECT_EQ(Keys(June(JournalStatus::Active, {}, QStringLiteral("А123ВС77"))), "debtor");
    EXPECT_EQ(Keys(June(JournalStatus::Active, {}, QStringLiteral("С777СС77"))), "debtor,open");
}

TEST_P(OrderJournalStoreTest, OrdersComeWithTheirLiveLinesAndWorkersInOneStatement) {
    using namespace Fixture;
    const auto seedWithLines = [&](int n) {
        for (int i = 0; i < n; ++i) {
            const QString k = QStringLiteral("o%1").arg(i, 3, 10, QChar(u'0'));
            OrderLine removal =
                Service(QStringLiteral("svc-remove"), QStringLiteral("Снятие колеса"), 4, 100, 18);
            removal.workers = {Worker(QStringLiteral("w2"), QStringLiteral("Сидоров С.С.")),
                               Worker(QStringLiteral("w1"), QStringLiteral("Петров П.П."))};
            OrderLine balance =
                Service(QStringLiteral("svc-balance"), QStringLiteral("Балансировка"), 4, 50, 0);
            OrderLine gone = Service(QStringLiteral("svc-gone"), QStringLiteral("Удалённая"), 1, 999, 0);
            gone.deleted = true;
            OrderLine wash = Service(QStringLiteral("svc-wash"), QStringLiteral("Мойка"), 1, 400, 20);
            PickedWorker left = Worker(QStringLiteral("w3"), QStringLiteral("Ушедший"));
            left.deleted = true;
            wash.workers = {Worker(QStringLiteral("w4"), QStringLiteral("О'Нил Д.")), left};
            Seed s{.key = k, .number = QString::number(i), .date = At(2024, 6, 1 + i % 28)};
            s.lines = {Package(QStringLiteral("pkg"), QStringLiteral("Шиномонтаж"), {removal, balance, gone}),
                       wash};
            Put(db(), s);
        }
    };
    Put(db(), {.key = "bare", .number = "x", .date = At(2024, 6, 2)});
    db().Exec(QStringLiteral("DELETE FROM TService"));  // an order without lines is listed all the same
    seedWithLines(3);

    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    const QList<JournalOrder> few = June(JournalStatus::All);
    const int forFew = statements;
    db().SetStatementHook({});
    ASSERT_EQ(few.size(), 4);

    const JournalOrder *o = nullptr;
    for (const JournalOrder &x : few)
        if (x.IddZakaz == u"o001") o = &x;
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->ClientName, QStringLiteral("Иванов И.И."));
    EXPECT_EQ(o->AvtoColor, QStringLiteral("белый"));
    ASSERT_EQ(o->lines.size(), 2);
    const OrderLine &pkg = o->lines[0];
    EXPECT_TRUE(pkg.IsPackage());
    ASSERT_EQ(pkg.children.size(), 2);  // the deleted service is not shown
    EXPECT_EQ(pkg.children[0].name, QStringLiteral("Балансировка"));
    EXPECT_EQ(pkg.children[1].name, QStringLiteral("Снятие колеса"));
    ASSERT_EQ(pkg.children[1].workers.size(), 2);
    EXPECT_EQ(pkg.children[1].workers[0].workFio, QStringLiteral("Петров П.П."));
    EXPECT_DOUBLE_EQ(pkg.children[1].count, 4);
    EXPECT_DOUBLE_EQ(pkg.children[1].prNds, 18);
    EXPECT_EQ(o->lines[1].name, QStringLiteral("Мойка"));
    ASSERT_EQ(o->lines[1].workers.size(), 1);  // the removed worker is not shown
    EXPECT_EQ(o->lines[1].workers[0].workFio, QStringLiteral("О'Нил Д."));
    EXPECT_EQ(o->debt, Rub(4 * 118 + 200 + 480));

    // Ten times the orders take the same number of statements.
    db().Exec(QStringLiteral("DELETE FROM TZakaz WHERE IddZakaz <> 'bare'"));
    db().Exec(QStringLiteral("DELETE FROM TService"));
    db().Exec(QStringLiteral("DELETE FROM TWork"));
    db().Exec(QStringLiteral("DELETE FROM SClient WHERE IddClient <> 'c-bare'"));
    db().Exec(QStringLiteral("DELETE FROM SAvto WHERE IddAvto <> 'a-bare'"));
    seedWithLines(30);
    statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    const QList<JournalOrder> many = June(JournalStatus::All);
    db().SetStatementHook({});
    EXPECT_EQ(many.size(), 31);
    EXPECT_EQ(statements, forFew);
    EXPECT_LE(statements, 2);
}

TEST_P(OrderJournalStoreTest, StateAndMarksFollowTheStoredOrder) {
    Put(db(),
        {.key = "o", .number = "1", .date = At(2024, 6, 3), .status = StatusFinished, .payments = {40}});
    OrderJournalStore store(db());
    JournalOrderState s = store.State(QStringLiteral("o"));
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.status, StatusFinished);
    EXPECT_EQ(s.debt, Rub(60));
    EXPECT_FALSE(store.State(QStringLiteral("gone")).found);

    // Marking the start does not look at the status: a finished order goes back to started.
    OrderStore orders(db());
    ASSERT_TRUE(orders.MarkStarted(QStringLiteral("o"), At(2024, 6, 4, 8, 30, 15)));
    EXPECT_EQ(store.State(QStringLiteral("o")).status, StatusStarted);
    ASSERT_TRUE(orders.MarkFinished(QStringLiteral("o"), At(2024, 6, 4, 17, 5, 0)));
    // The total listed is the one the order keeps (set apart from its lines here), not a sum of its lines.
    db().Exec(QStringLiteral("UPDATE TZakaz SET ZakazSumma = ? WHERE IddZakaz = ?"),
              {150.0, QStringLiteral("o")});
    JournalFilter f{QDate(2024, 6, 1), QDate(2024, 6, 30), JournalStatus::Finished, {}, {}, {}, {}};
    const QList<JournalOrder> listed = store.Search(f);
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed[0].total, Rub(150.0));
    EXPECT_EQ(listed[0].ZakazBeginIn, At(2024, 6, 4, 8, 30, 15));
    EXPECT_EQ(listed[0].ZakazEndOut, At(2024, 6, 4, 17, 5, 0));
    EXPECT_FALSE(orders.MarkStarted(QStringLiteral("gone"), At(2024, 6, 4)));
    EXPECT_FALSE(orders.MarkFinished(QStringLiteral("gone"), At(2024, 6, 4)));
}

TEST(OrderJournalPeriod, DefaultPeriodEndsOnTheMonthsRealLastDay) {
    QDate from, to;
    OrderJournalStore::DefaultPeriod(QDate(2024, 2, 10), &from, &to);
    EXPECT_EQ(from, QDate(2024, 2, 1));
    EXPECT_EQ(to, QDate(2024, 2, 29));
    OrderJournalStore::DefaultPeriod(QDate(2023, 2, 28), &from, &to);
    EXPECT_EQ(to, QDate(2023, 2, 28));
    OrderJournalStore::DefaultPeriod(QDate(2024, 4, 30), &from, &to);
    EXPECT_EQ(to, QDate(2024, 4, 30));
    OrderJournalStore::DefaultPeriod(QDate(2024, 12, 1), &from, &to);
    EXPECT_EQ(from, QDate(2024, 12, 1));
    EXPECT_EQ(to, QDate(2024, 12, 31));
}
