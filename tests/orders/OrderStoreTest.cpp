#include "CashStore.h"
#include "CounterStore.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "OrderFixtures.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "Rub.h"
#include "Schema.h"
#include "TestDb.h"

#include <QSqlQuery>
#include <chrono>
#include <thread>

using namespace Fixture;

class OrderStoreTest : public DbTest {
protected:
    // A new order: one package of two services (with workers), one standalone service.
    Order MakeOrder() {
        Order o = NewOrder();
        OrderLine removal =
            Service(QStringLiteral("svc-remove"), QStringLiteral("Снятие колеса"), 4, 100, 18);
        removal.workers = {Worker(QStringLiteral("w1"), QStringLiteral("Петров П.П.")),
                           Worker(QStringLiteral("w2"), QStringLiteral("Сидоров С.С."))};
        OrderLine balance = Service(QStringLiteral("svc-balance"), QStringLiteral("Балансировка"), 4, 50, 0);
        balance.prJob = true;
        balance.job = 30;
        o.lines = {Package(QStringLiteral("pkg-tyres"), QStringLiteral("Шиномонтаж R15"), {removal, balance}),
                   Service(QStringLiteral("svc-wash"), QStringLiteral("Мойка кузова"), 1, 400, 20)};
        o.lines[1].workers = {Worker(QStringLiteral("w3"), QStringLiteral("О'Нил Д."))};
        return o;
    }

    QString Save(Order &o) { return OrderStore(db()).Save(o, QStringLiteral("anna")); }
};
ZV_INSTANTIATE_DB_TESTS(OrderStoreTest);

TEST_P(OrderStoreTest, NewOrderIsNumberedStoredAndLoadsBackTheSame) {
    CounterStore(db()).WriteAll({QStringLiteral("A-"), 41, 0, 0, 0});
    Order o = MakeOrder();
    o.ZakazNomer = QStringLiteral("typed by hand");  // replaced by the next number at save
    const QString key = Save(o);
    EXPECT_TRUE(key.startsWith(u"anna~"));
    EXPECT_EQ(o.ZakazNomer, QStringLiteral("A-42"));
    EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 42);
    EXPECT_EQ(o.car.AvtoNomer, QStringLiteral("А123ВС77"));  // plates are kept in upper case

    const auto back = OrderStore(db()).Load(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ZakazNomer, QStringLiteral("A-42"));
    EXPECT_EQ(back->ZakazStatus, StatusStarted);
    EXPECT_EQ(back->ZakazData, QDateTime(QDate(2024, 6, 10), QTime(0, 0)));
    EXPECT_EQ(back->ZakazBegin, QDateTime(QDate(2024, 6, 10), QTime(9, 15)));
    EXPECT_EQ(back->ZakazBeginIn, QDateTime(QDate(2024, 6, 10), QTime(9, 15)));
    EXPECT_FALSE(back->ZakazEndOut.isValid());
    EXPECT_EQ(back->client.ClientName, QStringLiteral("ООО 'Ромашка'"));
    EXPECT_EQ(back->car.AvtoNomer, QStringLiteral("А123ВС77"));
    EXPECT_EQ(back->IddVlad, o.IddVlad);
    EXPECT_EQ(back->IddAvto, o.IddAvto);

    ASSERT_EQ(back->lines.size(), 2);
    const OrderLine &pkg = back->lines[0];
    EXPECT_EQ(pkg.iddTop, Group::kPackage);
    ASSERT_EQ(pkg.children.size(), 2);
    EXPECT_EQ(pkg.children[0].name, QStringLiteral("Балансировка"));
    EXPECT_EQ(pkg.children[0].iddTop, QStringLiteral("pkg-tyres"));
    EXPECT_TRUE(pkg.children[0].prJob);
    EXPECT_DOUBLE_EQ(pkg.children[0].job, 30.0);
    EXPECT_EQ(pkg.children[1].time, QTime(0, 30));
    ASSERT_EQ(pkg.children[1].workers.size(), 2);
    EXPECT_EQ(pkg.children[1].workers[0].workFio, QStringLiteral("Петров П.П."));
    EXPECT_EQ(back->lines[1].iddTop, Group::kStandalone);
    ASSERT_EQ(back->lines[1].workers.size(), 1);
    EXPECT_EQ(back->lines[1].workers[0].workFio, QStringLiteral("О'Нил Д."));

    const auto t = OrderMath::Compute(back->lines);
    EXPECT_EQ(t.total, Rub(472 + 200 + 480));
    EXPECT_EQ(t.vat, Rub(72 + 80));
    // The car and its client are linked once, however often the order is saved.
    Order again = *back;
    Save(again);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddAvto = ? AND IddVlad = ?"),
                        {o.IddAvto, o.IddVlad}),
              1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient")), 1);
}

TEST_P(OrderStoreTest, EditingRemovesLinesPackagesAndWorkers) {
    Order o = MakeOrder();
    const QString key = Save(o);
    Order edit = *OrderStore(db()).Load(key);

    edit.lines[0].children[1].workers[0].deleted = true;  // Петров leaves "Снятие колеса"
    edit.lines[1].count = 2;                              // two washes
    OrderLine fresh = Service(QStringLiteral("svc-polish"), QStringLiteral("Полировка"), 1, 1000, 20);
    OrderLine abandoned = Service(QStringLiteral("svc-wax"), QStringLiteral("Воск"), 1, 300, 20);
    abandoned.deleted = true;  // added and removed again before saving
    edit.lines << fresh << abandoned;
    Save(edit);

    Order reloaded = *OrderStore(db()).Load(key);
    ASSERT_EQ(reloaded.lines.size(), 3);
    ASSERT_EQ(reloaded.lines[0].children[1].workers.size(), 1);
    EXPECT_EQ(reloaded.lines[0].children[1].workers[0].iddWork, QStringLiteral("w2"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddService = ?"),
                        {QStringLiteral("svc-wax")}),
              0);
    EXPECT_EQ(OrderMath::Compute(reloaded.lines).total, Rub(472 + 200 + 960 + 1200));

    // Removing the package takes its services with it; the standalone services stay.
    reloaded.lines[0].deleted = true;
    for (OrderLine &c : reloaded.lines[0].children) c.deleted = true;
    ASSERT_EQ(reloaded.lines[2].iddService, QStringLiteral("svc-polish"));  // standalone lines by name
    reloaded.lines[2].deleted = true;
    Save(reloaded);
    const Order last = *OrderStore(db()).Load(key);
    ASSERT_EQ(last.lines.size(), 1);
    EXPECT_EQ(last.lines[0].iddService, QStringLiteral("svc-wash"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = ? AND [Delete] = TRUE"),
                        {key}),
              4);
}

// The order's stored total and VAT against the same figures computed from its lines as loaded and,
// independently, straight from its live rows.
void ExpectStoredTotalsMatchLines(Database &db, const QString &key, double total) {
    QSqlQuery stored =
        db.Exec(QStringLiteral("SELECT ZakazSumma, ZakazSummaNDS FROM TZakaz WHERE IddZakaz = ?"), {key});
    ASSERT_TRUE(stored.next());
    const OrderMath::Totals fromLines = OrderMath::Compute(OrderStore(db).LoadLines(key));
    QSqlQuery raw =
        db.Exec(QStringLiteral("SELECT SUM([Count]*Price*(1 + PrNDS/100)), SUM([Count]*Price*PrNDS/100) "
                               "FROM TService WHERE IddZakaz = ? AND IddTop <> '0' AND [Delete] = FALSE"),
                {key});
    ASSERT_TRUE(raw.next());
    EXPECT_NEAR(stored.value(0).toDouble(), total, 1e-6);
    EXPECT_EQ(Rub(stored.value(0).toDouble()), fromLines.total);
    EXPECT_EQ(Rub(stored.value(1).toDouble()), fromLines.vat);
    EXPECT_NEAR(stored.value(0).toDouble(), raw.value(0).toDouble(), 1e-6);
    EXPECT_NEAR(stored.value(1).toDouble(), raw.value(1).toDouble(), 1e-6);
}

// What the order keeps as paid on it against the sum of its live payments.
void ExpectStoredPaid(Database &db, const QString &key, Money paid) {
    QSqlQuery q = db.Exec(QStringLiteral("SELECT z.ZakazOplata, (SELECT SUM(p.SummaPay) FROM TPay p WHERE "
                                         "p.IddZakaz = z.IddZakaz AND p.[Delete] = FALSE) FROM TZakaz z "
                                         "WHERE z.IddZakaz = ?"),
                          {key});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(Rub(q.value(0).toDouble()), paid);
    EXPECT_EQ(Rub(q.value(0).toDouble()), Rub(q.value(1).toDouble()));
}

TEST_P(OrderStoreTest, StoredTotalsFollowEverySaveEditAndDelete) {
    Order o = MakeOrder();
    const QString key = Save(o);
    ExpectStoredTotalsMatchLines(db(), key, 472 + 200 + 480);

    // Lines added (one dropped before saving), a quantity changed, a worker removed.
    Order edit = *OrderStore(db()).Load(key);
    edit.lines[1].count = 2;
    OrderLine abandoned = Service(QStringLiteral("svc-wax"), QStringLiteral("Воск"), 1, 300, 20);
    abandoned.deleted = true;
    edit.lines << Service(QStringLiteral("svc-polish"), QStringLiteral("Полировка"), 1, 1000, 20)
               << abandoned;
    edit.lines[0].children[1].workers[0].deleted = true;
    Save(edit);
    ExpectStoredTotalsMatchLines(db(), key, 472 + 200 + 960 + 1200);

    // A standalone line removed, then the whole package.
    Order shrink = *OrderStore(db()).Load(key);
    ASSERT_EQ(shrink.lines[2].iddService, QStringLiteral("svc-polish"));
    shrink.lines[2].deleted = true;
    Save(shrink);
    ExpectStoredTotalsMatchLines(db(), key, 472 + 200 + 960);
    shrink = *OrderStore(db()).Load(key);
    shrink.lines[0].deleted = true;
    for (OrderLine &c : shrink.lines[0].children) c.deleted = true;
    Save(shrink);
    ExpectStoredTotalsMatchLines(db(), key, 960);

    // A single line written on its own (the journal's and the tests' step) keeps them too.
    OrderStore(db()).SaveLine(key, Service(QStringLiteral("svc-oil"), QStringLiteral("Масло"), 2, 150, 10));
    ExpectStoredTotalsMatchLines(db(), key, 960 + 330);

    // Payments do not touch the totals; the order keeps what was paid and the debt views subtract it.
    ExpectStoredPaid(db(), key, Money());
    Order paid = *OrderStore(db()).Load(key);
    PayRecord pay;
    pay.SummaPay = Rub(290);
    pay.DataPay = QDateTime(QDate(2024, 6, 10), QTime(12, 0));
    paid.payments << pay << pay;
    paid.payments[1].SummaPay = Rub(10);
    Save(paid);
    ExpectStoredTotalsMatchLines(db(), key, 960 + 330);
    ExpectStoredPaid(db(), key, Rub(300));
    const auto debt = [&] {
        QSqlQuery q = db().Exec(QStringLiteral("SELECT SummD FROM TClientDolg WHERE IddZakaz = ?"), {key});
        return q.next() ? q.value(0).toDouble() : -1.0;
    };
    EXPECT_NEAR(debt(), 990, 1e-6);
    // A payment changed, one removed in the form, one removed at the cash desk.
    paid = *OrderStore(db()).Load(key);
    ASSERT_EQ(paid.payments.size(), 2);
    paid.payments[0].SummaPay += Rub(100);
    Save(paid);
    ExpectStoredPaid(db(), key, Rub(400));
    paid = *OrderStore(db()).Load(key);
    paid.payments[1].Delete = 1;
    Save(paid);
    const Money left = paid.payments[0].SummaPay;
    ExpectStoredPaid(db(), key, left);
    EXPECT_TRUE(CashStore(db()).DeletePayment(paid.payments[0].IddPay));
    ExpectStoredPaid(db(), key, Money());
    EXPECT_NEAR(debt(), 1290, 1e-6);

    // A deleted order leaves no total behind in the debts.
    OrderStore(db()).Delete(key);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TClientDolg WHERE IddZakaz = ?"), {key}), 0);
}

// Two workstations paying the same order at the same moment: the order keeps both payments as paid.
TEST_P(OrderStoreTest, PaymentsTakenAtOnceOnTwoWorkstationsAreBothCountedAsPaid) {
    Order o = MakeOrder();
    const QString key = Save(o);
    const auto payOn = [&](Database &on, double amount) {
        PayRecord pay;
        pay.SummaPay = Rub(amount);
        pay.DataPay = QDateTime(QDate(2024, 6, 10), QTime(12, 0));
        PaymentStore(on).SavePayment(pay, key, QStringLiteral("anna"), QStringLiteral("0"));
    };
    Transaction first(db());
    payOn(db(), 100);
    // The second payment is written straight into the table, as another program would: it waits for the
    // first one's transaction and must then count it.
    QString failure;
    std::thread second([&] {
        try {
            const std::unique_ptr<Database> other = OpenAgain();
            Rows::Insert(*other, QStringLiteral("TPay"),
                         {{QStringLiteral("IddPay"), QStringLiteral("other-1")},
                          {QStringLiteral("IddZakaz"), key},
                          {QStringLiteral("SummaPay"), 50.0},
                          {QStringLiteral("Delete"), false}});
        } catch (const DbError &e) {
            failure = e.text();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    first.Commit();
    second.join();
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    ExpectStoredPaid(db(), key, Rub(150));
}

// A request keeps no start; an update gives an order without one the zero date-time.
TEST_P(OrderStoreTest, ARequestIsStoredWithoutAStart) {
    Order req = NewOrder();
    req.ZakazStatus = StatusRequested;
    req.ZakazBegin = QDateTime(QDate(2024, 6, 12), QTime(14, 0));
    req.ZakazBeginIn = QDateTime();
    const QString key = Save(req);
    Order r = *OrderStore(db()).Load(key);
    EXPECT_EQ(r.ZakazBegin, QDateTime(QDate(2024, 6, 12), QTime(14, 0)));
    EXPECT_FALSE(r.ZakazBeginIn.isValid());
    Save(r);
    r = *OrderStore(db()).Load(key);
    EXPECT_EQ(r.ZakazStatus, StatusRequested);
    EXPECT_EQ(r.ZakazBeginIn, Formats::ZeroDateTime());

    EXPECT_EQ(OrderStore(db()).Status(QStringLiteral("no such order")), -1);
}

TEST_P(OrderStoreTest, PaymentsCountAgainstTheTotalAndOutliveTheOrder) {
    Order o = MakeOrder();  // total 1152
    PayRecord first;
    first.NaznPay = QStringLiteral("Оплата услуг");
    first.NomerPay = QStringLiteral("7");
    first.DataPay = QDateTime(QDate(2024, 6, 10), QTime(12, 0));
    first.SummaPay = Rub(1000);
    PayRecord dropped = first;
    dropped.SummaPay = Rub(5);
    dropped.Delete = 1;  // new and deleted: never stored
    o.payments = {first, dropped};
    const QString key = Save(o);
    ASSERT_EQ(o.payments.size(), 1);
    EXPECT_TRUE(o.payments[0].IddPay.startsWith(u"anna~"));
    EXPECT_TRUE(o.payments[0].IddPay.endsWith(u"~0"));  // its position as the suffix

    PaymentStore pays(db());
    EXPECT_EQ(pays.SumOrderPayments(key), Rub(1000.0));
    const Money total = OrderMath::Compute(OrderStore(db()).Load(key)->lines).total;
    EXPECT_TRUE(OrderMath::Debt(total, pays.SumOrderPayments(key)).IsOutstanding());
    EXPECT_NEAR(FirstValue(db(), QStringLiteral("SELECT SummD FROM TClientDolg WHERE IddZakaz = ?"), {key})
                    .toDouble(),
                152.0, 1e-9);

    Order edit = *OrderStore(db()).Load(key);
    PayRecord rest;
    rest.NaznPay = QStringLiteral("Оплата услуг");
    rest.DataPay = QDateTime(QDate(2024, 6, 11), QTime(9, 0));
    rest.SummaPay = Rub(151.99);
    edit.payments.prepend(rest);
    Save(edit);
    EXPECT_TRUE(OrderMath::Debt(total, pays.SumOrderPayments(key)).IsOutstanding());  // a kopeck is owed
    edit = *OrderStore(db()).Load(key);
    edit.payments[0].SummaPay = Rub(152);
    Save(edit);
    const Money paid = pays.SumOrderPayments(key);
    EXPECT_FALSE(OrderMath::Debt(total, paid).IsOutstanding());  // paid to the kopeck
    ASSERT_EQ(pays.LoadOrderPayments(key).size(), 2);
    EXPECT_EQ(pays.LoadOrderPayments(key)[0].SummaPay, Rub(152));  // newest first

    OrderStore(db()).Delete(key);
    EXPECT_FALSE(OrderStore(db()).Load(key));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = ?"), {key}), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWork WHERE IddZakaz = ?"), {key}), 0);
    EXPECT_EQ(pays.SumOrderPayments(key), Rub(paid));  // payments stay in the cash desk
}

TEST_P(OrderStoreTest, SameServiceInTwoPackagesSharesItsWorkers) {
    Order o = NewOrder();
    OrderLine wash = Service(QStringLiteral("svc-wash"), QStringLiteral("Мойка"), 1, 100, 0);
    wash.workers = {Worker(QStringLiteral("w1"), QStringLiteral("Петров П.П."))};
    OrderLine wash2 = wash;
    wash2.workers = {Worker(QStringLiteral("w2"), QStringLiteral("Сидоров С.С."))};
    o.lines = {Package(QStringLiteral("pkg-a"), QStringLiteral("Комплекс А"), {wash}),
               Package(QStringLiteral("pkg-b"), QStringLiteral("Комплекс Б"), {wash2})};
    const QString key = Save(o);
    const Order back = *OrderStore(db()).Load(key);
    ASSERT_EQ(back.lines.size(), 2);
    ASSERT_EQ(back.lines[0].children.size(), 1);
    ASSERT_EQ(back.lines[1].children.size(), 1);
    EXPECT_EQ(back.lines[0].children[0].workers.size(), 2);
    EXPECT_EQ(back.lines[1].children[0].workers.size(), 2);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWork WHERE IddZakaz = ?"), {key}), 2);
}

// Lines and workers already stored are changed in place, new ones added together: a service removed and
// added again in one save, or met twice, is still one row with one row per worker.
TEST_P(OrderStoreTest, AServiceRemovedAndAddedAgainIsOneRowWithItsWorkersOnce) {
    Order o = MakeOrder();
    const QString key = Save(o);
    Order edit = *OrderStore(db()).Load(key);
    ASSERT_EQ(edit.lines[1].iddService, QStringLiteral("svc-wash"));
    edit.lines[1].deleted = true;
    for (PickedWorker &w : edit.lines[1].workers) w.deleted = true;
    OrderLine again = Service(QStringLiteral("svc-wash"), QStringLiteral("Мойка кузова"), 3, 400, 20);
    again.workers = {Worker(QStringLiteral("w3"), QStringLiteral("О'Нил Д.")),
                     Worker(QStringLiteral("w4"), QStringLiteral("Иванов И.И."))};
    OrderLine twice = Service(QStringLiteral("svc-polish"), QStringLiteral("Полировка"), 1, 1000, 20);
    twice.workers = {Worker(QStringLiteral("w1"), QStringLiteral("Петров П.П."))};
    OrderLine twiceLater = twice;
    twiceLater.count = 2;  // the later one counts, as if written one after the other
    edit.lines << again << twice << twiceLater;
    Save(edit);

    const Order back = *OrderStore(db()).Load(key);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = ? AND IddService = ?"),
                        {key, QStringLiteral("svc-wash")}),
              1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWork WHERE IddZakaz = ? AND IddService = ?"),
                        {key, QStringLiteral("svc-wash")}),
              2);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = ? AND IddService = ?"),
                        {key, QStringLiteral("svc-polish")}),
              1);
    double washCount = 0, polishCount = 0;
    int washWorkers = 0;
    for (const OrderLine &l : back.lines) {
        if (l.iddService == u"svc-wash") washCount = l.count, washWorkers = int(l.workers.size());
        if (l.iddService == u"svc-polish") polishCount = l.count;
    }
    EXPECT_DOUBLE_EQ(washCount, 3);
    EXPECT_EQ(washWorkers, 2);
    EXPECT_DOUBLE_EQ(polishCount, 2);
    EXPECT_EQ(OrderMath::Compute(back.lines).total, Rub(472 + 200 + 1440 + 2400));
}

// A new order costs the same few statements however many lines and workers it has.
TEST_P(OrderStoreTest, ANewOrderIsSavedInAFixedNumberOfStatements) {
    CounterStore(db()).WriteAll({QString(), 1, 0, 0, 0});
    const auto statementsFor = [&](int lines) {
        Order o = NewOrder();
        for (int i = 0; i < lines; ++i) {
            OrderLine l =
                Service(QStringLiteral("svc-%1").arg(i), QStringLiteral("Услуга %1").arg(i), 1, 100, 20);
            l.workers = {Worker(QStringLiteral("w1"), QStringLiteral("Петров П.П.")),
                         Worker(QStringLiteral("w2"), QStringLiteral("Сидоров С.С."))};
            o.lines << l;
        }
        int statements = 0;
        db().SetStatementHook([&](const QString &) { ++statements; });
        Save(o);
        db().SetStatementHook({});
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWork WHERE IddZakaz = ?"), {o.IddZakaz}),
                  2 * lines);
        return statements;
    };
    const int one = statementsFor(1);
    EXPECT_EQ(statementsFor(10), one);
    EXPECT_EQ(statementsFor(40), one);
    EXPECT_LE(one, 13);
}

TEST_P(OrderStoreTest, ASaveFailingHalfWayLeavesNoTrace) {
    CounterStore(db()).WriteAll({QString(), 9, 0, 0, 0});
    Order o = MakeOrder();
    const Order before = o;
    int writes = 0;
    db().SetWriteHook([&](const QString &) {
        if (++writes == 3) throw DbError(QStringLiteral("simulated constraint violation"));
    });
    try {
        Save(o);
        FAIL() << "the save should have failed";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("simulated constraint violation"));
    }
    db().SetWriteHook({});
    for (const char *table : {"TZakaz", "TService", "TWork", "SClient", "SAvto", "AvtoVlad", "TPay"})
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM %1").arg(QLatin1StringView(table))), 0)
            << table;
    EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 9);
    EXPECT_TRUE(o.IddZakaz.isEmpty());  // the form's copy is untouched and can be saved again
    EXPECT_TRUE(o.IddVlad.isEmpty());
    EXPECT_EQ(o.ZakazNomer, before.ZakazNomer);

    Save(o);
    EXPECT_EQ(o.ZakazNomer, QStringLiteral("10"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 1);

    // A failure on the last step (the counter) also takes the whole order back.
    Order second = MakeOrder();
    db().SetWriteHook([&](const QString &sql) {
        if (sql.contains(QStringLiteral("zakaznomer"), Qt::CaseInsensitive) && sql.startsWith(u"UPDATE") &&
            (sql.contains(u"[Number]") || sql.contains(u"\"number\"")))
            throw DbError(QStringLiteral("counter is locked"));
    });
    EXPECT_THROW(Save(second), DbError);
    db().SetWriteHook({});
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 1);
    EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 10);
}

TEST_P(OrderStoreTest, MissingCounterRowGivesAnEmptyNumberButKeepsTheOrder) {
    db().Exec(QStringLiteral("DELETE FROM [Number]"));
    Order o = MakeOrder();
    const QString key = Save(o);
    EXPECT_EQ(o.ZakazNomer, QString());
    EXPECT_TRUE(OrderStore(db()).Load(key));
    EXPECT_EQ(CounterStore(db()).NextOrderNumber(), QStringLiteral("1"));
}

TEST_P(OrderStoreTest, TwoWorkstationsSavingAtOnceGetDistinctKeys) {
    auto other = OpenAgain();
    Order a = MakeOrder();
    Order b = MakeOrder();
    OrderStore(db()).Save(a, QStringLiteral("anna"));
    OrderStore(*other).Save(b, QStringLiteral("anna"));
    EXPECT_NE(a.IddZakaz, b.IddZakaz);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 2);
    EXPECT_EQ(a.ZakazNomer, QStringLiteral("1"));
    EXPECT_EQ(b.ZakazNomer, QStringLiteral("2"));
}

TEST_P(OrderStoreTest, AnOverLongTextSavesNothing) {
    CounterStore(db()).WriteAll({QString(), 9, 0, 0, 0});
    Order o = MakeOrder();
    o.car.AvtoPrim = QString(FieldMaxLength(QStringLiteral("SAvto"), QStringLiteral("AvtoPrim")) + 1, u'з');
    try {
        Save(o);
        FAIL() << "the note is one character too long";
    } catch (const DbError &e) {
        EXPECT_EQ(e.field(), QStringLiteral("SAvto.AvtoPrim"));
        EXPECT_TRUE(e.text().contains(u"«Примечание»")) << e.text().toStdString();
    }
    for (const char *table : {"TZakaz", "SClient", "SAvto"})
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM %1").arg(QLatin1StringView(table))), 0)
            << table;
    EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 9);
    EXPECT_TRUE(o.IddZakaz.isEmpty());

    o.car.AvtoPrim.chop(1);  // at the limit it saves and loads back whole
    const QString key = Save(o);
    EXPECT_EQ(OrderStore(db()).Load(key)->car.AvtoPrim, o.car.AvtoPrim);
}
