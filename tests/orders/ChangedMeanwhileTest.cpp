#include "CarStore.h"
#include "ChangedMeanwhile.h"
#include "ClientStore.h"
#include "ErrorText.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "SalaryStore.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace Qt::StringLiterals;

namespace {

class ChangedMeanwhileTest : public DbTest {
protected:
    void Fill() override {
        using namespace TestRows;
        Put(db(), Car{.key = u"a1"_s, .owner = u"c1"_s}), Put(db(), Client{.key = u"c1"_s});
        Put(db(), Worker{.key = u"w1"_s}), Put(db(), Service{.key = u"s1"_s}),
            Put(db(), Pay{u"sp"_s, u"0"_s, 1});
        Put(db(), WorkerService{.key = u"sw1"_s, .service = u"s1"_s, .worker = u"w1"_s});
        Put(db(), TestRows::Order{.key = u"z1"_s, .car = u"a1"_s, .lines = {{.workers = {{u"w1"_s}}}}});
        Put(db(), Pay{.key = u"p1"_s, .order = u"z1"_s}), Put(db(), Pay{u"k1"_s, u"0"_s, 5});
        Put(db(), Payout{.key = u"wp1"_s, .pay = u"sp"_s, .worker = u"w1"_s});
    }
};

// A card's read of its record, handing back the card's save of that copy with a text field edited (so that
// a save that goes through writes something).
using Card = std::function<std::function<void()>(Database &)>;
template <class Load, class Save>  // `save` gets a copy to edit and the copy as loaded
Card Over(Load load, Save save) {
    return [=](Database &d) { return [&d, save, loaded = load(d)] { save(d, loaded, loaded); }; };
}
const Card kOrder = Over([](Database &d) { return OrderStore(d).Load(u"z1"_s); },
                         [](Database &d, auto e, const auto &o) {
                             e->car.AvtoPrim += u'+', OrderStore(d).Save(*e, u"a"_s, std::nullopt, o);
                         });
const Card kService = Over(
    [](Database &d) {
        ServiceCard c{.existing = true, .iddService = u"s1"_s, .iddTop = u"top"_s};
        c.loaded = ServiceStore(d).Load(c.iddService), c.name = c.loaded->name;
        c.performers = c.loadedPerformers = ServiceStore(d).Performers(c.iddService);
        return c;
    },
    [](Database &d, ServiceCard c, auto) { c.name += u'+', ServiceStore(d).SaveCard(c, u"anna"_s); });

// Another workstation changes a field of the rows ("Table KeyColumn key") after the card read it, then
// deletes the card's own row (in table `own` by the same key, when not those; "-": none here) after the card
// read it again.
const struct {
    const char *what;
    Card card;
    QString row, column;
    QVariant value;
    QString own = {};
} kCases[] = {
    {"order payment", kOrder, u"TPay IddPay p1"_s, u"SummaPay"_s, 60.0, u"-"_s},
    {"order line", kOrder, u"TService IddZakaz z1"_s, u"Count"_s, 3.0, u"TZakaz"_s},
    {"cash operation",
     Over([](Database &d) { return PaymentStore(d).LoadPayment(u"k1"_s); },
          [](Database &d, auto e, const auto &p) {
              e->PrimPay += u'+', PaymentStore(d).SavePayment(*e, u"0"_s, u"a"_s, {}, p);
          }),
     u"TPay IddPay k1"_s, u"DocPay"_s, u"чек"_s},
    {"payout line",
     Over(
         [](Database &d) {
             return StoredPayout{*PaymentStore(d).LoadPayment(u"sp"_s),
                                 SalaryStore(d).LoadPayoutLines(u"sp"_s)};
         },
         [](Database &d, StoredPayout e, const StoredPayout &s) {
             e.pay.PrimPay += u'+', SalaryStore(d).SavePayout(e.pay, e.lines, u"a"_s, s);
         }),
     u"TWorkPay IddPay sp"_s, u"SummaWorkPay"_s, 80.0, u"TPay"_s},
    {"service performer", kService, u"ServiceWork IddService s1"_s, u"Delete"_s, true, u"SService"_s},
    {"car owner",
     Over(
         [](Database &d) {
             return StoredCar{*CarStore(d).Load(u"a1"_s), CarStore(d).LoadOwners(u"a1"_s)};
         },
         [](Database &d, StoredCar e, const StoredCar &s) {
             e.car.avtoPrim += u'+', CarStore(d).Save(e.car, e.owners, u"a"_s, s);
         }),
     u"AvtoVlad IddAvto a1"_s, u"Delete"_s, true, u"SAvto"_s},
    {"client",
     Over([](Database &d) { return ClientStore(d).Load(u"c1"_s); },
          [](Database &d, auto e, const auto &c) { e->clientPrim += u'+', ClientStore(d).Save(*e, c); }),
     u"SClient IddClient c1"_s, u"ClientTel"_s, u"555"_s},
};

// The stored record stays exactly the other workstation's: nothing of a refused save is written.
TEST_P(ChangedMeanwhileTest, ASaveOverAStaleCopyIsRefusedAFreshOneWritesOneOfADeletedRecordIsRefused) {
    const QStringList tables =
        u"SClient SAvto AvtoVlad SService ServiceWork TZakaz TService TPay TWorkPay"_s.split(u' ');
    const auto other = OpenAgain();
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.what);
        const auto stale = c.card(db());
        const QStringList row = c.row.split(u' ');
        const Values key = {{row[1], row[2]}};
        Rows::Update(*other, row[0], key, {{c.column, c.value}});
        const QString changed = DumpTables(db(), tables);
        EXPECT_EQ(ErrorText(stale), ChangedMeanwhile(false).text());
        EXPECT_EQ(DumpTables(db(), tables), changed);  // exactly the other workstation's version
        EXPECT_EQ(ErrorText(c.card(db())), u"no error"_s);
        EXPECT_NE(DumpTables(db(), tables), changed);
        if (c.own == u"-") continue;
        const auto gone = c.card(db());
        const QString own = c.own.isEmpty() ? row[0] : c.own;
        if (own == u"SClient" || own == u"SAvto")  // removed outright
            Rows::Delete(*other, own, key);
        else
            Rows::SoftDelete(*other, own, key);
        const QString removed = DumpTables(db(), tables);
        EXPECT_EQ(ErrorText(gone), ChangedMeanwhile(true).text());
        EXPECT_EQ(DumpTables(db(), tables), removed);
    }
}

// A payment taken, or the client's phone changed, at another counter while the order form was open is
// nothing the form writes over: the order saves, and the payment and the phone stay.
TEST_P(ChangedMeanwhileTest, APaymentOrAPhoneChangedElsewhereDoesNotStopTheOrdersSave) {
    const std::optional<Order> loaded = OrderStore(db()).Load(u"z1"_s);
    TestRows::Put(*OpenAgain(), TestRows::Pay{.key = u"p2"_s, .order = u"z1"_s, .sum = 10});
    OpenAgain()->Exec("UPDATE SClient SET ClientTel = ? WHERE IddClient = ?", {"555", "c1"});
    Order edited = *loaded;
    edited.car.AvtoPrim += u'+';
    EXPECT_EQ(ErrorText([&] { OrderStore(db()).Save(edited, u"a"_s, std::nullopt, loaded); }), u"no error"_s);
    const std::optional<Order> saved = OrderStore(db()).Load(u"z1"_s);
    EXPECT_EQ(saved->payments.size(), 2);
    EXPECT_EQ(saved->client.ClientTel + u' ' + saved->car.AvtoPrim, u"555 +"_s);
}

ZV_INSTANTIATE_DB_TESTS(ChangedMeanwhileTest);

}  // namespace
