#include "ClientStore.h"
#include "DbError.h"
#include "Rows.h"
#include "Rub.h"
#include "Schema.h"
#include "TestDb.h"

#include <QStringList>
#include <algorithm>

namespace {

ClientRecord Client(const QString &id, const QString &name, const QString &inn = {}) {
    ClientRecord c;
    c.iddClient = id;
    c.clientName = name;
    c.clientINN = inn;
    c.clientTel = QStringLiteral("tel-") + id;
    c.clientFaks = QStringLiteral("fax-") + id;
    c.clientAdres = QStringLiteral("адрес ") + id;
    c.clientContact = QStringLiteral("контакт ") + id;
    return c;
}

// What the directory shows of a client, in order.
QStringList Shown(const ClientRecord &c) {
    return {c.iddClient, c.clientName, c.clientINN,    c.clientAdres,
            c.clientTel, c.clientFaks, c.clientContact};
}

void AddCar(Database &db, const QString &id, const QString &plate,
            const QString &make = QStringLiteral("ВАЗ")) {
    Rows::Insert(db, QStringLiteral("SAvto"),
                 {{QStringLiteral("IddAvto"), id},
                  {QStringLiteral("AvtoNomer"), plate},
                  {QStringLiteral("AvtoMarka"), make},
                  {QStringLiteral("AvtoColor"), QStringLiteral("БЕЛЫЙ")}});
}

void AddLink(Database &db, const QString &id, const QString &car, const QString &client,
             bool deleted = false) {
    Rows::Insert(db, QStringLiteral("AvtoVlad"),
                 {{QStringLiteral("IddAvtoVlad"), id},
                  {QStringLiteral("IddAvto"), car},
                  {QStringLiteral("IddVlad"), client},
                  {QStringLiteral("Delete"), deleted}});
}

// An order of the client with one service line of `amount` and an optional payment.
void AddOrder(Database &db, const QString &id, const QString &client, double amount, double paid = 0) {
    Rows::Insert(db, QStringLiteral("TZakaz"),
                 {{QStringLiteral("IddZakaz"), id},
                  {QStringLiteral("IddVlad"), client},
                  {QStringLiteral("ZakazStatus"), 2},
                  {QStringLiteral("Delete"), false}});
    Rows::Insert(db, QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), id},
                  {QStringLiteral("IddService"), QStringLiteral("svc")},
                  {QStringLiteral("IddTop"), QStringLiteral("top")},
                  {QStringLiteral("Count"), 1.0},
                  {QStringLiteral("Price"), amount},
                  {QStringLiteral("PrNDS"), 0.0},
                  {QStringLiteral("PrJob"), false},
                  {QStringLiteral("Job"), 0.0},
                  {QStringLiteral("Delete"), false}});
    Schema::RefreshOrderTotals(db, id);
    if (paid != 0) {
        Rows::Insert(db, QStringLiteral("TPay"),
                     {{QStringLiteral("IddPay"), id + QStringLiteral("-pay")},
                      {QStringLiteral("IddZakaz"), id},
                      {QStringLiteral("TypePay"), 0},
                      {QStringLiteral("SummaPay"), paid},
                      {QStringLiteral("Delete"), false}});
    }
}

QStringList Ids(const QList<ClientListRow> &rows) {
    QStringList ids;
    for (const ClientListRow &r : rows) ids << r.client.iddClient;
    return ids;
}

QStringList Plates(const ClientListRow &row) {
    QStringList plates;
    for (const ClientCarRow &car : row.cars) plates << car.avtoNomer;
    return plates;
}

// Every value of the row's cars, in order.
QStringList CarKeys(const ClientListRow &row) {
    QStringList values;
    for (const ClientCarRow &c : row.cars)
        values << c.iddAvtoVlad << c.iddAvto << c.iddVlad << c.avtoNomer << c.avtoMarka << c.avtoColor;
    return values;
}

}  // namespace

class ClientStoreTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ClientStore store(db());
        // Two clients share a name; plates: a1 on "А111АА" (and a deleted link of b to it), b on "В222ВВ".
        store.Save(Client(QStringLiteral("a1"), QStringLiteral("Альфа"), QStringLiteral("111")));
        store.Save(Client(QStringLiteral("a2"), QStringLiteral("Альфа"), QStringLiteral("333")));
        store.Save(Client(QStringLiteral("b"), QStringLiteral("Бета"), QStringLiteral("222")));
        AddCar(db(), QStringLiteral("car1"), QStringLiteral("А111АА"));
        AddCar(db(), QStringLiteral("car2"), QStringLiteral("В222ВВ"));
        AddLink(db(), QStringLiteral("l1"), QStringLiteral("car1"), QStringLiteral("a1"));
        AddLink(db(), QStringLiteral("l2"), QStringLiteral("car2"), QStringLiteral("b"));
        AddLink(db(), QStringLiteral("l3"), QStringLiteral("car1"), QStringLiteral("b"), true);
    }

    QStringList Find(const QString &name, const QString &inn, const QString &plate,
                     const QString &link = {}) {
        ClientFilter f;
        f.name = name;
        f.inn = inn;
        f.plate = plate;
        f.linkLimit = link;
        return Ids(ClientStore(db()).Search(f));
    }
};
ZV_INSTANTIATE_DB_TESTS(ClientStoreTest);

TEST_P(ClientStoreTest, EveryFilterCombinationMatchesWholeValues) {
    using L = QStringList;
    const QString alfa = QStringLiteral("Альфа");
    const QString plate1 = QStringLiteral("А111АА");
    EXPECT_EQ(Find({}, {}, {}), (L{"a1", "a2", "b"}));
    EXPECT_EQ(Find(alfa, {}, {}), (L{"a1", "a2"}));
    EXPECT_EQ(Find(QStringLiteral("Альф"), {}, {}), L{});  // no partial match
    EXPECT_EQ(Find(alfa, QStringLiteral("333"), {}), L{"a2"});
    EXPECT_EQ(Find(alfa, QStringLiteral("111"), plate1), L{"a1"});
    EXPECT_EQ(Find(alfa, QStringLiteral("333"), plate1), L{});
    EXPECT_EQ(Find({}, QStringLiteral("222"), {}), L{"b"});
    EXPECT_EQ(Find({}, QStringLiteral("222"), QStringLiteral("В222ВВ")), L{"b"});
    EXPECT_EQ(Find({}, QStringLiteral("222"), plate1), L{});  // b's link to car1 is deleted
    EXPECT_EQ(Find({}, {}, plate1), L{"a1"});
    // A name with a plate but no INN searches by the name alone.
    EXPECT_EQ(Find(alfa, {}, QStringLiteral("В222ВВ")), (L{"a1", "a2"}));
    // Filters are trimmed; the plate is upper-cased.
    EXPECT_EQ(Find(QStringLiteral("  Бета "), {}, {}), L{"b"});
    EXPECT_EQ(Find({}, {}, QStringLiteral(" а111аа ")), L{"a1"});
}

TEST_P(ClientStoreTest, LinkLimitShowsThatClientUntilAFilterIsGiven) {
    using L = QStringList;
    EXPECT_EQ(Find({}, {}, {}, QStringLiteral("l2")), L{"b"});
    EXPECT_EQ(Find({}, {}, {}, QStringLiteral("l3")), L{});  // a deleted link limits to nothing
    EXPECT_EQ(Find(QStringLiteral("Альфа"), {}, {}, QStringLiteral("l2")), (L{"a1", "a2"}));
    EXPECT_EQ(Find({}, {}, QStringLiteral("А111АА"), QStringLiteral("l2")), L{"a1"});
}

TEST_P(ClientStoreTest, ListedClientsCarryTheirCurrentCarsAndColumns) {
    const auto rows = ClientStore(db()).Search({});
    ASSERT_EQ(rows.size(), 3);
    const ClientListRow &a1 = rows[0];
    for (const ClientListRow &row :
         rows)  // every shown column as the card loads it, the whole list and a search
        EXPECT_EQ(Shown(row.client), Shown(*ClientStore(db()).Load(row.client.iddClient)));
    ClientFilter byName;
    byName.name = QStringLiteral("Бета");
    EXPECT_EQ(Shown(ClientStore(db()).Search(byName)[0].client),
              Shown(*ClientStore(db()).Load(QStringLiteral("b"))));
    EXPECT_EQ(CarKeys(a1), (QStringList{"l1", "car1", "a1", "А111АА", "ВАЗ", "БЕЛЫЙ"}));
    EXPECT_TRUE(rows[1].cars.isEmpty());
    EXPECT_EQ(Plates(rows[2]), QStringList{"В222ВВ"});  // b's deleted link to car1 is not shown

    // Two cars of one client under one plate still list the client once.
    AddCar(db(), QStringLiteral("car9"), QStringLiteral("А111АА"));
    AddLink(db(), QStringLiteral("l4"), QStringLiteral("car9"), QStringLiteral("a1"));
    ClientFilter f;
    f.plate = QStringLiteral("А111АА");
    EXPECT_EQ(Ids(ClientStore(db()).Search(f)), QStringList{"a1"});
}

TEST_P(ClientStoreTest, TheWholeListAgreesWithEachClientsOwnSearch) {
    // The whole list is put together from separate reads; a search for one client is one statement.
    AddCar(db(), QStringLiteral("car3"), QStringLiteral("А000АА"), QStringLiteral("ГАЗ"));
    AddLink(db(), QStringLiteral("l5"), QStringLiteral("car3"), QStringLiteral("a1"));
    AddCar(db(), QStringLiteral("car4"), QStringLiteral("А000АА"));  // the same plate: by link after that
    AddLink(db(), QStringLiteral("l4"), QStringLiteral("car4"), QStringLiteral("a1"));
    AddLink(db(), QStringLiteral("l6"), QStringLiteral("gone-car"), QStringLiteral("a2"));
    AddLink(db(), QStringLiteral("l7"), QStringLiteral("car2"), QStringLiteral("gone-client"));
    AddOrder(db(), QStringLiteral("z1"), QStringLiteral("a2"), 70.0, 20.0);
    AddOrder(db(), QStringLiteral("z2"), QStringLiteral("gone-client"), 40.0);
    AddOrder(db(), QStringLiteral("z3"), QStringLiteral("b"), 30.0, 45.0);   // overpaid: a debt below nil
    AddOrder(db(), QStringLiteral("z4"), QStringLiteral("a1"), 25.0, 25.0);  // paid to the kopeck

    ClientStore store(db());
    const auto all = store.Search({});
    ASSERT_EQ(Ids(all), (QStringList{"a1", "a2", "b"}));
    EXPECT_EQ(Plates(all[0]), (QStringList{"А000АА", "А000АА", "А111АА"}));  // a client's cars by plate
    EXPECT_EQ(all[0].cars[0].iddAvtoVlad, QStringLiteral("l4"));
    EXPECT_TRUE(all[1].cars.isEmpty());  // a link to a car that is gone shows nothing
    EXPECT_EQ(all[1].debt, Rub(50.0));
    EXPECT_EQ(all[2].debt, Rub(-15.0));
    EXPECT_EQ(all[0].debt, Money());

    for (const ClientListRow &row : all) {
        SCOPED_TRACE(row.client.iddClient.toStdString());
        ClientFilter f;
        f.name = row.client.clientName;
        f.inn = row.client.clientINN;
        const auto own = store.Search(f);
        ASSERT_EQ(own.size(), 1);
        for (const auto &[column, member] : ClientRecord::Columns())
            EXPECT_EQ(own[0].client.*member, row.client.*member) << column.toStdString();
        EXPECT_EQ(own[0].debt, Rub(row.debt));
        EXPECT_EQ(CarKeys(own[0]), CarKeys(row));
    }
}

TEST_P(ClientStoreTest, DebtorsAreThoseOwingMoreThanAKopeck) {
    ClientStore store(db());
    store.Save(Client(QStringLiteral("d1"), QStringLiteral("Должник")));
    store.Save(Client(QStringLiteral("d2"), QStringLiteral("Полкопейки")));
    store.Save(Client(QStringLiteral("d3"), QStringLiteral("Оплатил")));
    AddOrder(db(), QStringLiteral("z1"), QStringLiteral("d1"), 150.0, 50.0);
    AddOrder(db(), QStringLiteral("z2"), QStringLiteral("d2"), 0.004);  // stored to the kopeck: 0.00
    AddOrder(db(), QStringLiteral("z3"), QStringLiteral("d3"), 80.0, 80.0);
    AddOrder(db(), QStringLiteral("z4"), QStringLiteral("b"), 0.02);

    ClientFilter f;
    f.debtorsOnly = true;
    const auto debtors = store.Search(f);
    EXPECT_EQ(Ids(debtors), (QStringList{"b", "d1"}));  // by name: "Бета", "Должник"
    ASSERT_EQ(debtors.size(), 2);
    EXPECT_EQ(debtors[1].debt, Rub(100.0));
    EXPECT_EQ(debtors[0].debt, Rub(0.02));
    EXPECT_EQ(Plates(debtors[0]), QStringList{"В222ВВ"});  // debtors come with their cars as any list does
    // Narrowed by name, the debt is worked out for the named clients alone, with the same result.
    f.name = QStringLiteral("Должник");
    const auto named = store.Search(f);
    ASSERT_EQ(named.size(), 1);
    EXPECT_EQ(named[0].debt, Rub(100.0));
    f.name = QStringLiteral("Оплатил");
    EXPECT_TRUE(store.Search(f).isEmpty());
    f.name.clear();

    // The debt shows in the full list too; clients without orders owe nothing.
    const auto all = store.Search({});
    const auto a1 = std::find_if(all.begin(), all.end(),
                                 [](const ClientListRow &r) { return r.client.iddClient == u"a1"; });
    ASSERT_NE(a1, all.end());
    EXPECT_EQ(a1->debt, Money());

    // The debtors' filter combines with the others.
    f.inn = QStringLiteral("222");
    f.plate = QStringLiteral("В222ВВ");
    EXPECT_EQ(Ids(store.Search(f)), QStringList{"b"});
    f.inn.clear();
    f.plate.clear();
    f.name = QStringLiteral("Полкопейки");
    EXPECT_TRUE(store.Search(f).isEmpty());
}

TEST_P(ClientStoreTest, SavingTwiceInsertsOnceAndNamesWithApostrophesWork) {
    ClientStore store(db());
    ClientRecord c = Client(QStringLiteral("n1"), QStringLiteral("ООО 'Ромашка'"), QStringLiteral("77'01"));
    c.clientPrim = QStringLiteral("O'Neil; DROP TABLE SClient; --");
    EXPECT_TRUE(store.Save(c));
    c.clientBank = QStringLiteral("Банк");
    EXPECT_FALSE(store.Save(c));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient WHERE IddClient = ?"), {c.iddClient}), 1);
    const auto back = store.Load(c.iddClient);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->clientBank, QStringLiteral("Банк"));
    EXPECT_EQ(back->clientPrim, c.clientPrim);

    ClientFilter f;
    f.name = QStringLiteral("ООО 'Ромашка'");
    f.inn = QStringLiteral("77'01");
    EXPECT_EQ(Ids(store.Search(f)), QStringList{"n1"});
    store.Save(Client(QStringLiteral("n2"), QStringLiteral("O'Neil")));
    f = {};
    f.name = QStringLiteral("O'Neil");
    EXPECT_EQ(Ids(store.Search(f)), QStringList{"n2"});

    EXPECT_FALSE(store.Load(QStringLiteral("missing")));
    EXPECT_THROW(store.Save(Client(QStringLiteral("n3"), QStringLiteral("  "))), DbError);
    EXPECT_FALSE(store.Load(QStringLiteral("n3")));
}

TEST_P(ClientStoreTest, DeletingAClientKeepsItsCarsAndOtherOwners) {
    AddLink(db(), QStringLiteral("l5"), QStringLiteral("car2"), QStringLiteral("a1"));
    ClientStore store(db());
    store.Delete(QStringLiteral("a1"));
    EXPECT_FALSE(store.Load(QStringLiteral("a1")));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SAvto")), 2);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = FALSE"),
                        {QStringLiteral("a1")}),
              0);
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ?"), {QStringLiteral("a1")}),
        2);
    ASSERT_EQ(store.CarsOf(QStringLiteral("b")).size(), 1);  // car2 keeps its other owner
    EXPECT_EQ(store.CarsOf(QStringLiteral("b"))[0].iddAvto, QStringLiteral("car2"));
}

TEST_P(ClientStoreTest, AFailedDeleteLeavesTheClientAndItsLinks) {
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("UPDATE"))) throw DbError(QStringLiteral("disk full"));
    });
    EXPECT_THROW(ClientStore(db()).Delete(QStringLiteral("a1")), DbError);
    db().SetWriteHook({});
    EXPECT_TRUE(ClientStore(db()).Load(QStringLiteral("a1")));
    EXPECT_EQ(ClientStore(db()).CarsOf(QStringLiteral("a1")).size(), 1);
}

TEST_P(ClientStoreTest, ACarLinkedTwiceGetsOneLink) {
    ClientStore store(db());
    const QString first = store.LinkCar(QStringLiteral("a2"), QStringLiteral("car2"), QStringLiteral("anna"));
    const QString second =
        store.LinkCar(QStringLiteral("a2"), QStringLiteral("car2"), QStringLiteral("anna"));
    EXPECT_EQ(first, second);
    EXPECT_TRUE(first.startsWith(QStringLiteral("anna~")));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ? AND IddAvto = ?"),
                        {QStringLiteral("a2"), QStringLiteral("car2")}),
              1);
    // The existing link of the same client counts too; a deleted one does not.
    EXPECT_EQ(store.LinkCar(QStringLiteral("a1"), QStringLiteral("car1"), QStringLiteral("anna")),
              QStringLiteral("l1"));
    const QString revived =
        store.LinkCar(QStringLiteral("b"), QStringLiteral("car1"), QStringLiteral("anna"));
    EXPECT_NE(revived, QStringLiteral("l3"));
    EXPECT_EQ(store.CarsOf(QStringLiteral("b")).size(), 2);
    EXPECT_EQ(store.CarsOf(QStringLiteral("a2")).size(), 1);
}
