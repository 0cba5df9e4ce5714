#include "CashStore.h"
#include "CounterStore.h"
#include "DbError.h"
#include "ErrorText.h"
#include "Formats.h"
#include "OrderFixtures.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Schema.h"
#include "TestDb.h"

#include <chrono>
#include <thread>

using namespace Fixture;

class OrderStoreTest : public DbTest {
protected:
    // A new order of 1152.00: a package of two services (472 with VAT, 200), a wash (480 with VAT).
    static Order MakeOrder() {
        Order o = NewOrder();
        OrderLine removal = Service(u"svc-remove"_s, u"Снятие колеса"_s, 4, 100, 18);
        removal.workers = {Worker(u"w1"_s, u"Петров П.П."_s), Worker(u"w2"_s, u"Сидоров С.С."_s)};
        OrderLine balance = Service(u"svc-balance"_s, u"Балансировка"_s, 4, 50, 0);
        balance.prJob = true, balance.job = 30;
        o.lines = {Package(u"pkg-tyres"_s, u"Шиномонтаж R15"_s, {removal, balance}),
                   Service(u"svc-wash"_s, u"Мойка кузова"_s, 1, 400, 20)};
        o.lines[1].workers = {Worker(u"w3"_s, u"О'Нил Д."_s)};
        return o;
    }
    QString Save(Order &o) { return OrderStore(db()).Save(o, u"anna"_s); }
    Order Load(const QString &key) { return OrderStore(db()).Load(key).value_or(Order{}); }
    int Count(const char *table) { return CountRows(db(), u"SELECT * FROM "_s + table); }
    Money Kept(const char *column, const QString &key) {
        return Rub(
            FirstValue(db(), u"SELECT %1 FROM TZakaz WHERE IddZakaz = ?"_s.arg(column), {key}).toDouble());
    }
    // The kept total and VAT against the lines as loaded; the kept paid sum against the live payments.
    void ExpectKept(const QString &key, Money total, Money paid) {
        const OrderMath::Totals t = OrderMath::Compute(Load(key).lines);
        EXPECT_EQ(Kept("ZakazSumma", key), total);
        EXPECT_EQ(t.total, total);
        EXPECT_EQ(Kept("ZakazSummaNDS", key), t.vat);
        EXPECT_EQ(Kept("ZakazOplata", key), paid);
        EXPECT_EQ(OrderMath::Paid(PaymentStore(db()).LoadOrderPayments(key)), paid);
    }
    double Debt(const QString &key) {
        const QVariant v = FirstValue(db(), u"SELECT SummD FROM TClientDolg WHERE IddZakaz = ?"_s, {key});
        return v.isValid() ? v.toDouble() : -1.0;
    }
};
ZV_INSTANTIATE_DB_TESTS(OrderStoreTest);

// MakeOrder as it loads back: the package first, services by name, workers by name.
const QString kLoaded = QStringLiteral(
    "pkg-tyres Шиномонтаж R15 1x0.00 00:00 [svc-balance Балансировка 4x50.00 00:30 job30%; svc-remove Снятие "
    "колеса 4x100.00 +18% 00:30 {w1,w2}]; svc-wash Мойка кузова 1x400.00 +20% 00:30 {w3}");

TEST_P(OrderStoreTest, NewOrderIsNumberedStoredAndLoadsBackTheSame) {
    CounterStore(db()).WriteAll({u"A-"_s, 41, 0, 0, 0});
    Order o = MakeOrder();
    o.ZakazNomer = u"typed by hand"_s;  // replaced by the next number at save
    const QString key = Save(o);
    // The plate kept in upper case, in the saved copy too.
    EXPECT_EQ(o.ZakazNomer + u'|' + o.car.AvtoNomer, u"A-42|А123ВС77"_s);
    const Order back = Load(key);
    EXPECT_EQ(Head(back),
              u"A-42|1|10.06.24 00:00:00|10.06.24 09:15:00|10.06.24 09:15:00|-|А123ВС77|Лада "
              u"Веста|ООО 'Ромашка'|+7 900 000-00-00"_s);
    EXPECT_EQ(back.IddVlad + back.IddAvto, o.IddVlad + o.IddAvto);
    EXPECT_EQ(Text(back.lines), kLoaded);
    ExpectKept(key, Rub(1152), Money());

    // The car and its client are linked once, however often the order is saved.
    Order again = back;
    Save(again);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM AvtoVlad WHERE IddAvto = ? AND IddVlad = ?"_s,
                        {o.IddAvto, o.IddVlad}),
              1);
    EXPECT_EQ(Count("TZakaz") + Count("SClient"), 2);

    // Forty lines of two workers each cost a few statements. A request keeps no start; an update
    // gives an order without one the zero date-time.
    Order req = NewOrder();
    req.ZakazStatus = StatusRequested, req.ZakazBeginIn = QDateTime();
    for (int i = 0; i < 40; ++i) {
        req.lines << Service(u"svc-%1"_s.arg(i), u"Услуга"_s, 1, 100, 20);
        req.lines.back().workers = {Worker(u"w1"_s, u"Петров П.П."_s), Worker(u"w2"_s, u"Сидоров С.С."_s)};
    }
    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    Save(req);
    db().SetStatementHook({});
    EXPECT_LE(statements, 13);
    Order r = Load(req.IddZakaz);
    EXPECT_EQ(Head(r).section(u'|', 1, 5), u"0|10.06.24 00:00:00|10.06.24 09:15:00|-|-"_s);
    EXPECT_EQ(Text(r.lines).count(u"{w1,w2}"_s), 40);
    Save(r);
    EXPECT_EQ(Load(req.IddZakaz).ZakazStatus, StatusRequested);
    EXPECT_EQ(Load(req.IddZakaz).ZakazBeginIn, Formats::ZeroDateTime());
}

// Lines, packages and workers edited, added and removed: what loads back and the totals the order keeps
// follow every save. Rows already stored are changed in place: a service removed and added again in one save
// or met twice is still one row with one row per worker; a line added and removed again before saving never
// reaches the table.
TEST_P(OrderStoreTest, EditingLinesPackagesAndWorkersKeepsTheTotals) {
    Order o = MakeOrder();
    const QString key = Save(o);
    Order edit = Load(key);
    edit.lines[0].children[1].workers[0].deleted = true;  // Петров leaves "Снятие колеса"
    edit.lines[1].deleted = true;                         // the wash removed and added again, three times
    for (PickedWorker &w : edit.lines[1].workers) w.deleted = true;
    OrderLine again = Service(u"svc-wash"_s, u"Мойка кузова"_s, 3, 400, 20);
    again.workers = {Worker(u"w3"_s, u"О'Нил Д."_s), Worker(u"w4"_s, u"Иванов И.И."_s)};
    OrderLine twice = Service(u"svc-polish"_s, u"Полировка"_s, 1, 1000, 20), abandoned = twice;
    twice.workers = {Worker(u"w1"_s, u"Петров П.П."_s)};
    OrderLine twiceLater = twice;
    twiceLater.count = 2;  // the later one counts, as if written one after the other
    abandoned.iddService = u"svc-wax"_s, abandoned.deleted = true;
    edit.lines << again << twice << twiceLater << abandoned;
    Save(edit);
    Order back = Load(key);
    EXPECT_EQ(Text(back.lines),
              QString(kLoaded)
                      .replace(u"{w1,w2}"_s, u"{w2}"_s)
                      .replace(u"1x400.00 +20% 00:30 {w3}"_s, u"3x400.00 +20% 00:30 {w4,w3}"_s) +
                  u"; svc-polish Полировка 2x1000.00 +20% 00:30 {w1}"_s);
    const auto services = [&](const char *table) {
        return ColumnTexts(db(), u"SELECT IddService FROM %1 WHERE IddZakaz = ? ORDER BY 1"_s.arg(table),
                           {key})
            .join(u',');
    };
    EXPECT_EQ(services("TService"), u"pkg-tyres,svc-balance,svc-polish,svc-remove,svc-wash"_s);
    EXPECT_EQ(services("TWork"), u"svc-polish,svc-remove,svc-remove,svc-wash,svc-wash"_s);
    ExpectKept(key, Rub(472 + 200 + 1440 + 2400), Money());

    ASSERT_EQ(back.lines[2].iddService, u"svc-polish"_s);  // standalone lines by name
    back.lines[2].deleted = true;
    Save(back);
    ExpectKept(key, Rub(472 + 200 + 1440), Money());
    // Removing the package takes its services with it; the standalone service stays.
    back = Load(key);
    back.lines[0].deleted = true;
    for (OrderLine &c : back.lines[0].children) c.deleted = true;
    Save(back);
    EXPECT_EQ(Text(Load(key).lines), u"svc-wash Мойка кузова 3x400.00 +20% 00:30 {w4,w3}"_s);
    ExpectKept(key, Rub(1440), Money());
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TService WHERE IddZakaz = ? AND [Delete] = TRUE"_s, {key}), 4);
}

// Payments saved with the order are numbered by position, count as paid (a payment new and deleted is never
// stored), change the debt but not the totals, outlive the order and its debt.
TEST_P(OrderStoreTest, PaymentsAreKeptAsPaidAndOutliveTheOrder) {
    Order o = MakeOrder();
    PayRecord pay{.DataPay = QDateTime(QDate(2024, 6, 10), QTime(12, 0)), .SummaPay = Rub(1000)},
        dropped{.SummaPay = Rub(5), .Delete = 1};
    o.payments = {pay, dropped};
    const QString key = Save(o);
    ASSERT_EQ(o.payments.size(), 1);
    EXPECT_TRUE(o.payments[0].IddPay.startsWith(u"anna~"));
    EXPECT_TRUE(o.payments[0].IddPay.endsWith(u"~0"));  // its position as the suffix
    ExpectKept(key, Rub(1152), Rub(1000));
    EXPECT_NEAR(Debt(key), 152, 1e-9);

    Order edit = Load(key);
    pay.SummaPay = Rub(151.99), pay.DataPay = QDateTime(QDate(2024, 6, 11), QTime(9, 0));
    edit.payments.prepend(pay);
    Save(edit);
    EXPECT_NEAR(Debt(key), 0.01, 1e-9);  // a kopeck is owed
    edit = Load(key);
    ASSERT_EQ(edit.payments.size(), 2);
    EXPECT_EQ(edit.payments[0].SummaPay, Rub(151.99));  // newest first
    edit.payments[0].SummaPay = Rub(152);
    Save(edit);
    ExpectKept(key, Rub(1152), Rub(1152));
    // One removed in the form, the other at the cash desk.
    edit = Load(key);
    ASSERT_EQ(edit.payments.size(), 2);
    edit.payments[0].Delete = 1;
    Save(edit);
    ExpectKept(key, Rub(1152), Rub(1000));
    ASSERT_TRUE(CashStore(db()).DeletePayment(edit.payments[1].IddPay));
    ExpectKept(key, Rub(1152), Money());
    EXPECT_NEAR(Debt(key), 1152, 1e-9);

    // A delete failing at its last step leaves the order whole.
    const auto rows = [&] { return CountRows(db(), u"SELECT * FROM TWork WHERE IddZakaz = ?"_s, {key}); };
    const int workers = rows();
    ASSERT_GT(workers, 0);
    db().SetWriteHook([](const QString &sql) {
        if (sql.startsWith(u"DELETE") && sql.contains(u"tzakaz"_s, Qt::CaseInsensitive))
            throw DbError(u"order is locked"_s);
    });
    EXPECT_THROW(OrderStore(db()).Delete(key), DbError);
    db().SetWriteHook({});
    EXPECT_EQ(rows(), workers);
    TestRows::Put(db(), TestRows::Pay{.key = "kept", .order = key, .sum = 10});
    OrderStore(db()).Delete(key);
    EXPECT_FALSE(OrderStore(db()).Load(key));
    for (const char *table : {"TService", "TWork", "TClientDolg"})
        EXPECT_EQ(CountRows(db(), u"SELECT * FROM %1 WHERE IddZakaz = ?"_s.arg(table), {key}), 0) << table;
    EXPECT_EQ(PaymentStore(db()).LoadOrderPayments(key).size(), 1);  // payments stay in the cash desk
}

// Two workstations: their orders get their own keys and numbers, and payments of one order taken at the same
// moment are both kept as paid.
TEST_P(OrderStoreTest, TwoWorkstationsSavingAndPayingAtOnce) {
    Order o = MakeOrder(), b = MakeOrder();
    const QString key = Save(o);
    OrderStore(*OpenAgain()).Save(b, u"anna"_s);
    EXPECT_NE(o.IddZakaz, b.IddZakaz);
    PayRecord pay{.SummaPay = Rub(100)};
    Transaction first(db());
    PaymentStore(db()).SavePayment(pay, key, u"anna"_s, u"0"_s);
    // The second payment is written straight into the table, as another program would: it waits for the
    // first one's transaction and must then count it.
    QString failure;
    std::thread second([&] {
        try {
            TestRows::Put(*OpenAgain(), TestRows::Pay{.key = "other-1", .order = key, .sum = 50});
        } catch (const DbError &e) {
            failure = e.text();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    first.Commit();
    second.join();
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(Kept("ZakazOplata", key), Rub(150));

    // A form loaded owing 1002; another workstation takes 1000 meanwhile: the form's new payment of 1002 is
    // refused with the debt now, and stored once the clerk agrees to that debt.
    Order form = Load(key);
    TestRows::Put(db(), TestRows::Pay{.key = "other-2", .order = key, .sum = 1000});
    form.payments << PayRecord{.SummaPay = Rub(1002)};
    EXPECT_EQ(ErrorText([&] { Save(form); }), DebtChanged(Rub(2), Rub(1002)).text());
    EXPECT_EQ(Kept("ZakazOplata", key), Rub(1150));
    OrderStore(db()).Save(form, u"anna"_s, Rub(2));
    EXPECT_EQ(Kept("ZakazOplata", key), Rub(2152));
}

// A save refused or failing at its last step (the counter) writes nothing, takes no
// number and leaves the form's copy as it was, to be saved again.
TEST_P(OrderStoreTest, ASaveFailingHalfWayLeavesNoTrace) {
    TestRows::PutCounters(db(), 9, 0, 0);
    const int noteLimit = FieldMaxLength(u"SAvto"_s, u"AvtoPrim"_s);
    const struct {
        const char *what, *field;
        std::function<void(const QString &)> hook;
    } cases[] = {
        {"counter", "",
         [](const QString &sql) {
             if (sql.startsWith(u"UPDATE") && sql.contains(u"zakaznomer"_s, Qt::CaseInsensitive) &&
                 (sql.contains(u"[Number]") || sql.contains(u"\"number\"")))
                 throw DbError(u"counter is locked"_s);
         }},
        {"note one character too long", "SAvto.AvtoPrim", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Order o = MakeOrder();
        if (!c.hook) o.car.AvtoPrim = QString(noteLimit + 1, u'з');
        const Order before = o;
        db().SetWriteHook(c.hook);
        try {
            Save(o);
            ADD_FAILURE() << "saved";
        } catch (const DbError &e) {
            EXPECT_EQ(e.field(), QString::fromLatin1(c.field));
        }
        db().SetWriteHook({});
        for (const char *table : {"TZakaz", "TService", "TWork", "SClient", "SAvto", "AvtoVlad", "TPay"})
            EXPECT_EQ(Count(table), 0) << table;
        EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, 9);
        EXPECT_EQ(o.IddZakaz + o.IddVlad + o.IddAvto + o.ZakazNomer, before.ZakazNomer);
    }
    Order o = MakeOrder();
    o.car.AvtoPrim = QString(noteLimit, u'з');  // at the limit it saves and loads back whole
    EXPECT_EQ(Load(Save(o)).car.AvtoPrim, o.car.AvtoPrim);
    EXPECT_EQ(o.ZakazNomer, u"10"_s);
}
