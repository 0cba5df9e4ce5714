#include "DbError.h"
#include "OrderFixtures.h"
#include "OrderJournalStore.h"
#include "OrderStore.h"
#include "Schema.h"
#include "TestDb.h"

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

// Lines as the journal shows them: "name count[xprice] amount/VAT/total[ +VAT%] {performers}", a package's
// services in brackets.
QString Text(const QList<JournalLine> &lines) {
    QStringList texts;
    for (const JournalLine &l : lines) {
        QString t = u"%1 %2"_s.arg(l.name).arg(l.count, 0, 'f', 2);
        if (!l.package) t += u'x' + l.price.Text();
        t += u' ' + l.amount.Text() + u'/' + l.vat.Text() + u'/' + l.total.Text();
        if (!l.package && l.prNds != 0) t += u" +%1%"_s.arg(l.prNds);
        if (!l.performers.isEmpty()) t += u" {"_s + l.performers + u'}';
        if (l.package) t += u" ["_s + Text(l.services) + u']';
        texts << t;
    }
    return texts.join(u"; "_s);
}

}  // namespace

class OrderJournalStoreTest : public Fixture::WithOrders<DbTest> {
protected:
    QList<JournalOrder> June(JournalStatus status, const QString &number = {}, const QString &plate = {},
                             const QString &make = {}, const QString &client = {}) {
        return OrderJournalStore(db()).Search(
            {QDate(2024, 6, 1), QDate(2024, 6, 30), status, number, plate, make, client});
    }
};
ZV_INSTANTIATE_DB_TESTS(OrderJournalStoreTest);

// June 2024 with its edge moments, orders just outside it, debts from last year and from July, started and
// finished orders unpaid, part-paid and paid, a debt of one kopeck, an order paid to the kopeck whose sums
// leave floating-point dust (7 x 14.30 = 100.10000000000001), a deleted order and a deleted payment.
TEST_P(OrderJournalStoreTest, EachStatusFilterListsExactlyItsOrders) {
    const QList<TestRows::Line> dusty = {{.key = "l", .count = 7, .price = 14.3}};
    Put({.key = "req", .date = At(2024, 6, 1), .status = StatusRequested});
    Put({.key = "started", .date = At(2024, 6, 30, 23, 59, 59), .status = StatusStarted}, {100});
    Put({.key = "stpart", .date = At(2024, 6, 10), .status = StatusStarted}, {40});
    TestRows::Put(
        db(), TestRows::Pay{.key = "gone-pay", .order = "stpart", .sum = 60, .when = {}, .deleted = true});
    Put({.key = "stnone", .date = At(2024, 6, 11), .status = StatusStarted});
    Put({.key = "kopeck", .date = At(2024, 6, 15), .status = StatusFinished, .lines = dusty}, {100.09});
    Put({.key = "dust", .date = At(2024, 6, 16), .status = StatusFinished, .lines = dusty}, {50.05, 50.05});
    Put({.key = "finnone", .date = At(2024, 6, 17), .status = StatusFinished});
    Put({.key = "finpaid", .date = At(2024, 6, 18), .status = StatusFinished}, {100});
    Put({.key = "gone", .date = At(2024, 6, 12), .status = StatusStarted, .deleted = true});
    Put({.key = "lastyear", .date = At(2023, 3, 10), .status = StatusFinished}, {20});
    Put({.key = "oldpaid", .date = At(2023, 3, 11), .status = StatusStarted}, {100});
    Put({.key = "may", .date = At(2024, 5, 31, 23, 59, 59), .status = StatusRequested}, {100});
    Put({.key = "july", .date = At(2024, 7, 1), .status = StatusStarted}, {100});
    Put({.key = "julydebt", .date = At(2024, 7, 1), .status = StatusStarted});

    const struct {
        JournalStatus status;
        const char *keys;
    } cases[] = {
        // Both end days are whole: midnight of the 1st and 23:59:59 of the 30th are in, the days around not.
        {JournalStatus::All, "dust,finnone,finpaid,kopeck,req,started,stnone,stpart"},
        // Open orders of the period plus every order in debt whatever its date; paid-with-dust is not.
        {JournalStatus::Active, "finnone,julydebt,kopeck,lastyear,req,started,stnone,stpart"},
        {JournalStatus::Requested, "req"},
        {JournalStatus::Started, "started,stnone,stpart"},
        // Started or finished, of the period, owing from one kopeck; a request never.
        {JournalStatus::Unpaid, "finnone,kopeck,stnone,stpart"},
        {JournalStatus::Finished, "dust,finnone,finpaid,kopeck"},
    };
    for (const auto &c : cases) EXPECT_EQ(Keys(June(c.status)), c.keys) << int(c.status);

    // Newest appointment first, each with what it owes.
    QStringList active;
    for (const JournalOrder &o : June(JournalStatus::Active)) active << o.IddZakaz + u':' + o.debt.Text();
    EXPECT_EQ(active.join(u','),
              u"julydebt:100.00,started:0.00,finnone:100.00,kopeck:0.01,stnone:100.00,"
              u"stpart:60.00,req:100.00,lastyear:80.00"_s);
}

// A period is held to 01.01.1900-31.12.2099, so a bound past it finds on both databases what the last day
// finds; a reversed period and a moment past the range are refused, nothing stored.
TEST_P(OrderJournalStoreTest, PeriodsAndMomentsAreHeldToTheDateRange) {
    Put({.key = "now", .date = At(2024, 6, 3)});
    Put({.key = "last", .date = At(2099, 12, 31, 23, 59, 59)});
    const auto find = [this](const QDate &from, const QDate &to) {
        return Keys(OrderJournalStore(db()).Search({from, to, JournalStatus::All, {}, {}, {}, {}}));
    };
    for (const QDate to : {QDate(2099, 12, 31), QDate(9999, 12, 31)})
        EXPECT_EQ(find(QDate(1000, 1, 1), to), "last,now") << to.year();
    EXPECT_THROW(find(QDate(2024, 6, 4), QDate(2024, 6, 3)), DbError);
    Order far = Fixture::NewOrder();
    far.ZakazData = At(9999, 12, 31);
    EXPECT_THROW(OrderStore(db()).Save(far, u"anna"_s), DbError);
    EXPECT_EQ(CountRows(db(), u"SELECT 1 FROM TZakaz"_s), 2);
}

TEST_P(OrderJournalStoreTest, TextFiltersMatchWholeBoundValues) {
    Put({.key = "a", .number = "10", .date = At(2024, 6, 3), .status = StatusFinished}, {100},
        "ООО \"Ромашка\"", "А123ВС77", "Лада");
    Put({.key = "b", .number = "100", .date = At(2024, 6, 4), .status = StatusFinished}, {100}, "O'Neil",
        "А123ВС777", "Лада Веста");
    Put({.key = "open", .number = "7", .date = At(2024, 6, 5), .status = StatusStarted}, {100}, "Сидоров",
        "С777СС77", "Kia");
    Put({.key = "debtor", .number = "5", .date = At(2023, 1, 4), .status = StatusStarted}, {}, "Петров",
        "В555ВВ99", "Kia");
    const struct {
        const char *number, *plate, *make, *client, *keys;
    } cases[] = {
        {"10", "", "", "", "a"},
        {" 100 ", "", "", "", "b"},  // trimmed
        {"1%", "", "", "", ""},      // no wildcards
        {"", "", "Лада", "", "a"},
        {"", "", "", "ООО \"Ромашка\"", "a"},
        {"", "", "", "O'Neil' OR '1'='1", ""},
        {"100", "А123ВС777", "Лада Веста", "O'Neil", "b"},
        {"100", "А123ВС77", "", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Keys(June(JournalStatus::All, QString::fromUtf8(c.number), QString::fromUtf8(c.plate),
                            QString::fromUtf8(c.make), QString::fromUtf8(c.client))),
                  c.keys)
            << c.number << "|" << c.plate << "|" << c.make << "|" << c.client;
    // Under "Активные" the filters narrow the period's open orders; orders in debt stay listed.
    EXPECT_EQ(Keys(June(JournalStatus::Active)), "debtor,open");
    EXPECT_EQ(Keys(June(JournalStatus::Active, {}, u"А123ВС77"_s)), "debtor");
    EXPECT_EQ(Keys(June(JournalStatus::Active, {}, u"С777СС77"_s)), "debtor,open");
}

TEST_P(OrderJournalStoreTest, OrdersComeWithTheirLiveLinesAndWorkersInOneStatement) {
    const QList<TestRows::Line> lines = {
        {.key = "pkg", .name = "Шиномонтаж", .price = 0, .top = "0"},
        {.key = "rm",
         .name = "Снятие колеса",
         .count = 4,
         .nds = 18,
         .top = "pkg",
         .workers = {{"w2", "Сидоров С.С."}, {"w1", "Петров П.П."}}},
        {.key = "bal", .name = "Балансировка", .count = 4, .price = 50, .top = "pkg"},
        {.key = "gone", .name = "Удалённая", .price = 999, .top = "pkg", .deleted = true},
        {.key = "wash",
         .name = "Мойка",
         .price = 400,
         .nds = 20,
         .workers = {{"w4", "О'Нил Д."}, {"w3", "Ушедший", true}}}};
    int statements = 0;
    const auto search = [&] {
        statements = 0;
        db().SetStatementHook([&](const QString &) { ++statements; });
        const QList<JournalOrder> found = June(JournalStatus::All);
        db().SetStatementHook({});
        return found;
    };
    Put({.key = "bare", .date = At(2024, 6, 2), .noLines = true});  // listed all the same
    Put({.key = "o", .date = At(2024, 6, 3), .lines = lines});
    const QList<JournalOrder> few = search();
    ASSERT_EQ(few.size(), 2);
    const JournalOrder &o = few[0];  // the newest first
    EXPECT_EQ(o.ClientName + u'|' + o.AvtoColor + u'|' + o.debt.Text(), u"Иванов И.И.|белый|1152.00"_s);
    // Packages first with their services, by name, the package summing them; neither the deleted service
    // nor the removed worker shows; each line rounded to the kopeck as the order's total is.
    EXPECT_EQ(Text(o.lines),
              u"Шиномонтаж 1.00 600.00/72.00/672.00 [Балансировка 4.00x50.00 200.00/0.00/200.00; Снятие "
              "колеса 4.00x100.00 400.00/72.00/472.00 +18% {Петров П.П., Сидоров С.С.}]; Мойка 1.00x400.00 "
              "400.00/80.00/480.00 +20% {О'Нил Д.}"_s);

    // A couple of statements, however many orders there are.
    EXPECT_LE(statements, 2);
    for (int i = 0; i < 30; ++i)
        Put({.key = u"m%1"_s.arg(i), .date = At(2024, 6, 1 + i % 28), .lines = lines});
    const QList<JournalOrder> all = search();
    EXPECT_EQ(all.size(), 32);
    EXPECT_LE(statements, 2);

    // The first orders of the list are its beginning, whole, and say whether others follow.
    const JournalFilter june{QDate(2024, 6, 1), QDate(2024, 6, 30), JournalStatus::All, {}, {}, {}, {}};
    const auto keysAndLines = [](const QList<JournalOrder> &orders) {
        QStringList texts;
        for (const JournalOrder &j : orders) texts << j.IddZakaz + u' ' + Text(j.lines);
        return texts;
    };
    for (const int first : {1, 5, 31, 32, 40}) {
        SCOPED_TRACE(first);
        bool more = true;
        const QList<JournalOrder> some = OrderJournalStore(db()).Search(june, first, &more);
        EXPECT_EQ(keysAndLines(some), keysAndLines(all.mid(0, first)));
        EXPECT_EQ(more, first < 32);
    }
}

// Another workstation writes orders, lines, payments, a client and a car under a shown journal: reading
// only the written rows again gives exactly the list, order and figures a new search gives.
TEST_P(OrderJournalStoreTest, ARefreshByTheWrittenKeysGivesWhatANewSearchGives) {
    for (const char *key : {"a", "b", "c", "d"})
        Put({.key = key, .date = At(2024, 6, 10 + key[0] - 'a'), .status = StatusStarted});
    Put({.key = "old", .date = At(2023, 1, 5), .status = StatusFinished});  // in debt, so listed as active
    OrderJournalStore store(db());
    const JournalFilter filter{QDate(2024, 6, 1), QDate(2024, 6, 30), JournalStatus::Active, {}, {}, {}, {}};
    const QList<JournalOrder> shown = store.Search(filter);
    ASSERT_EQ(Keys(shown), "a,b,c,d,old");

    Put({.key = "e", .date = At(2024, 6, 12, 15), .status = StatusRequested});       // new, in the middle
    Put({.key = "july", .date = At(2024, 7, 2), .status = StatusRequested});         // new, outside
    TestRows::Put(db(), TestRows::Pay{.key = "p-old", .order = "old", .sum = 100});  // paid off: leaves
    db().Exec("UPDATE TZakaz SET [Delete] = ? WHERE IddZakaz = ?", {true, "b"});     // deleted: leaves
    db().Exec("UPDATE TService SET Price = ? WHERE IddZakaz = ?", {250, "c"});       // changed line
    Schema::RefreshOrderTotals(db(), "c");
    db().Exec("UPDATE TZakaz SET ZakazBegin = ? WHERE IddZakaz = ?", {At(2024, 6, 30), "a"});  // moves up
    db().Exec("UPDATE SClient SET ClientName = ? WHERE IddClient = ?", {"Петров", "c-d"});
    db().Exec("UPDATE SAvto SET AvtoNomer = ? WHERE IddAvto = ?", {"В999ВВ99", "a-a"});

    const JournalKeys keys{{"e", "july", "old", "b", "c", "a"}, {"c-d"}, {"a-a"}};
    const QList<JournalOrder> refreshed = store.Refreshed(shown, filter, keys);
    const QList<JournalOrder> searched = store.Search(filter);
    const auto text = [](const QList<JournalOrder> &orders) {
        QStringList rows;
        for (const JournalOrder &o : orders)
            rows << u"%1 %2 %3 %4 %5 %6"_s.arg(o.IddZakaz, o.ClientName, o.AvtoNomer, o.total.Text(),
                                               o.debt.Text(), Text(o.lines));
        return rows.join(u"\n"_s).toStdString();
    };
    EXPECT_EQ(text(refreshed), text(searched));
    EXPECT_EQ(Keys(refreshed), "a,c,d,e,july");  // a request in debt is active whatever its date
}
