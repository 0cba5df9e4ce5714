#include "CarStore.h"
#include "ClientStore.h"
#include "DbError.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

ClientRecord Client(const QString &id, const QString &name, const QString &inn = {}) {
    ClientRecord c;
    c.iddClient = id, c.clientName = name, c.clientINN = inn, c.clientTel = "tel-"_L1 + id;
    c.clientFaks = "fax-"_L1 + id, c.clientAdres = u"адрес "_s + id, c.clientContact = u"контакт "_s + id;
    return c;
}

QStringList Ids(const QList<ClientListRow> &rows) {
    QStringList ids;
    for (const ClientListRow &r : rows) ids << r.client.iddClient;
    return ids;
}

QStringList Debts(const QList<ClientListRow> &rows) {
    QStringList debts;
    for (const ClientListRow &r : rows) debts << r.client.iddClient + u' ' + r.debt.Text();
    return debts;
}

// The listed columns of the client, then every value of the row's cars, in order.
QStringList Shown(const ClientListRow &row) {
    const ClientRecord &k = row.client;
    QStringList values{k.iddClient, k.clientName, k.clientINN,     k.clientAdres,
                       k.clientTel, k.clientFaks, k.clientContact, row.debt.Text()};
    for (const ClientCarRow &c : row.cars)
        values << c.iddAvtoVlad << c.iddAvto << c.iddVlad << c.avtoNomer << c.avtoMarka << c.avtoColor;
    return values;
}

}  // namespace

// Two clients share a name; a1 drives car1 "А111АА", b drives car2 "В222ВВ" (b's link to car1 is deleted).
class ClientStoreTest : public DbTest {
protected:
    void Fill() override {
        store().Save(Client(u"a1"_s, u"Альфа"_s, u"111"_s));
        store().Save(Client(u"a2"_s, u"Альфа"_s, u"333"_s));
        store().Save(Client(u"b"_s, u"Бета"_s, u"222"_s));
        TestRows::Put(db(), TestRows::Car{.key = u"car1"_s, .plate = u"А111АА"_s, .owner = u"a1"_s});
        TestRows::Put(db(), TestRows::Car{.key = u"car2"_s, .plate = u"В222ВВ"_s, .owner = u"b"_s});
        TestRows::Put(db(), TestRows::CarLink{u"l3"_s, u"car1"_s, u"b"_s, true});
    }
    // An order of the client with one line of `amount`, and a payment on it.
    void Order(const QString &id, const QString &client, double amount, double paid = 0) {
        TestRows::Put(
            db(), TestRows::Order{.key = id, .status = 2, .client = client, .lines = {{.price = amount}}});
        if (paid != 0) TestRows::Put(db(), TestRows::Pay{.key = id + u"-pay"_s, .order = id, .sum = paid});
    }

    ClientStore store() { return ClientStore(db()); }
};
ZV_INSTANTIATE_DB_TESTS(ClientStoreTest);

TEST_P(ClientStoreTest, FiltersMatchWholeTrimmedValues) {
    const struct {
        const char *name, *inn, *plate;
        QStringList ids;
    } cases[] = {
        {"", "", "", {"a1", "a2", "b"}},
        {"Альфа", "", "", {"a1", "a2"}},
        {"Альф", "", "", {}},  // no partial match
        {"Альфа", "333", "", {"a2"}},
        {"", "222", "В222ВВ", {"b"}},
        {"", "222", "А111АА", {}},  // b's link to car1 is deleted
        {"", "", "А111АА", {"a1"}},
        {"Альфа", "", "В222ВВ", {"a1", "a2"}},  // a name without an INN ignores the plate
        {"  Бета ", "", "", {"b"}},
        {"", "", " а111аа ", {"a1"}},  // the plate is upper-cased
    };
    for (const auto &c : cases) {
        ClientFilter f{QString::fromUtf8(c.name), QString::fromUtf8(c.inn), QString::fromUtf8(c.plate)};
        EXPECT_EQ(Ids(store().Search(f)), c.ids) << c.name << '|' << c.inn << '|' << c.plate;
    }
}

// Names and plates are offered by their beginning as typed (plates upper-cased), a few at most.
TEST_P(ClientStoreTest, NamesAndPlatesAreOfferedByTheirBeginning) {
    TestRows::Put(db(), TestRows::Client{.key = u"c"_s, .name = u"Альфб"_s});
    // What is typed, how many at most, and the client keys and the plates found.
    const std::tuple<QString, int, QString> cases[] = {
        {"Альф", 5, "a1 a2 c"}, {"Альфа", 1, "a1"}, {"альф", 5, ""}, {"а1", 5, "А111АА"}, {"", 5, ""}};
    for (const auto &[typed, limit, found] : cases) {
        QStringList keys;
        for (const ClientRecord &r : store().NamesStartingWith(typed, limit)) keys << r.iddClient;
        keys << CarStore(db()).PlatesStartingWith(typed, limit);
        EXPECT_EQ(keys.join(u' '), found) << typed.toStdString();
    }
}

TEST_P(ClientStoreTest, TheWholeListAgreesWithEachClientsOwnSearch) {
    // The whole list is put together from separate reads; a search is one statement: both must agree.
    TestRows::Put(db(), TestRows::Car{.key = u"car3"_s, .plate = u"А000АА"_s, .make = u"ГАЗ"_s});
    TestRows::Put(db(), TestRows::Car{.key = u"car4"_s, .plate = u"А000АА"_s});
    TestRows::Put(db(), TestRows::CarLink{u"l5"_s, u"car3"_s, u"a1"_s});
    TestRows::Put(db(), TestRows::CarLink{u"l4"_s, u"car4"_s, u"a1"_s});  // same plate: by link after that
    TestRows::Put(db(), TestRows::CarLink{u"l6"_s, u"gone-car"_s, u"a2"_s});
    TestRows::Put(db(), TestRows::CarLink{u"l7"_s, u"car2"_s, u"gone-client"_s});
    Order(u"z1"_s, u"a2"_s, 70.0, 20.0);
    Order(u"z2"_s, u"gone-client"_s, 40.0);
    Order(u"z3"_s, u"b"_s, 30.0, 45.0);   // overpaid: a debt below nil
    Order(u"z4"_s, u"a1"_s, 25.0, 25.0);  // paid to the kopeck
    // Amounts a double holds only nearly: the whole list sums the orders' differences, a search the
    // differences rounded one by one; both show the same kopecks.
    Order(u"z5"_s, u"a1"_s, 333.33, 100.1);
    Order(u"z6"_s, u"a1"_s, 0.3, 0.1);

    const auto all = store().Search({});
    ASSERT_EQ(Ids(all), (QStringList{"a1", "a2", "b"}));
    // A client's cars by plate, then link; a link to a car that is gone shows nothing.
    EXPECT_EQ(Shown(all[0]).mid(7),
              (QStringList{"233.43", "l4", "car4", "a1", "А000АА", "ВАЗ", "белый", "l5", "car3", "a1",
                           "А000АА", "ГАЗ", "белый", "car1-a1", "car1", "a1", "А111АА", "ВАЗ", "белый"}));
    EXPECT_EQ(Shown(all[1]).mid(7), QStringList{"50.00"});
    EXPECT_EQ(Shown(all[2]).mid(7), (QStringList{"-15.00", "car2-b", "car2", "b", "В222ВВ", "ВАЗ", "белый"}));
    for (const ClientListRow &row : all) {
        SCOPED_TRACE(row.client.iddClient.toStdString());
        // Every shown column as the card loads it.
        EXPECT_EQ(Shown(row).mid(0, 7), Shown({*store().Load(row.client.iddClient), {}, {}}).mid(0, 7));
        const auto own = store().Search({row.client.clientName, row.client.clientINN, {}, false});
        ASSERT_EQ(own.size(), 1);
        EXPECT_EQ(Shown(own[0]), Shown(row));
    }
}

TEST_P(ClientStoreTest, DebtorsAreThoseOwingMoreThanHalfAKopeck) {
    store().Save(Client(u"d1"_s, u"Должник"_s));
    store().Save(Client(u"d2"_s, u"Полкопейки"_s));
    store().Save(Client(u"d3"_s, u"Оплатил"_s));
    Order(u"z1"_s, u"d1"_s, 150.0, 50.0);
    Order(u"z2"_s, u"d2"_s, 0.004);  // stored to the kopeck: 0.00
    Order(u"z3"_s, u"d3"_s, 80.0, 80.0);
    Order(u"z4"_s, u"b"_s, 0.02);

    // Listed by name; a narrowed search works the debt out for the named client alone.
    EXPECT_EQ(Debts(store().Search({{}, {}, {}, true})), (QStringList{"b 0.02", "d1 100.00"}));
    EXPECT_EQ(Debts(store().Search({u"Должник"_s, {}, {}, true})), QStringList{"d1 100.00"});
    EXPECT_TRUE(store().Search({u"Полкопейки"_s, {}, {}, true}).isEmpty());
}

TEST_P(ClientStoreTest, SavingTwiceInsertsOnceAndQuotesAreData) {
    ClientRecord c = Client(u"n1"_s, u"ООО 'Ромашка'"_s, u"77'01"_s);
    c.clientPrim = u"O'Neil; DROP TABLE SClient; --"_s;
    EXPECT_TRUE(store().Save(c));
    c.clientBank = u"Банк"_s;
    EXPECT_FALSE(store().Save(c));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SClient WHERE IddClient = ?"_s, {c.iddClient}), 1);
    const auto back = store().Load(c.iddClient);
    ASSERT_TRUE(back);
    for (const auto &[column, member] : ClientRecord::Columns())
        EXPECT_EQ((*back).*member, c.*member) << column.toStdString();
    EXPECT_THROW(store().Save(Client(u"n3"_s, u"  "_s)), DbError);
}

TEST_P(ClientStoreTest, DeletingAClientMarksItsLinksAndKeepsTheCarsAllOrNothing) {
    TestRows::Put(db(), TestRows::CarLink{u"l5"_s, u"car2"_s, u"a1"_s});
    EXPECT_TRUE(FailsWhenWriting(db(), u"UPDATE"_s, [&] { store().Delete(u"a1"_s); }));
    EXPECT_TRUE(store().Load(u"a1"_s));
    EXPECT_EQ(store().CarsOf(u"a1"_s).size(), 2);

    store().Delete(u"a1"_s);
    EXPECT_FALSE(store().Load(u"a1"_s));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SAvto"_s), 2);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = TRUE"_s, {u"a1"_s}),
              2);
    const QList<CarRecord> kept = store().CarsOf(u"b"_s);  // car2 keeps its other owner
    EXPECT_TRUE(kept.size() == 1 && kept[0].iddAvto == u"car2"_s);
}

TEST_P(ClientStoreTest, ACarIsLinkedToAClientOnce) {
    const QString first = store().LinkCar(u"a2"_s, u"car2"_s, u"anna"_s);
    EXPECT_TRUE(first.startsWith(u"anna~"_s));
    EXPECT_EQ(store().LinkCar(u"a2"_s, u"car2"_s, u"anna"_s), first);
    EXPECT_EQ(store().LinkCar(u"a1"_s, u"car1"_s, u"anna"_s), u"car1-a1"_s);  // an existing link counts
    EXPECT_NE(store().LinkCar(u"b"_s, u"car1"_s, u"anna"_s), u"l3"_s);        // a deleted one does not
    EXPECT_EQ(store().CarsOf(u"b"_s).size(), 2);
}

namespace {

CarRecord Car(const QString &id, const QString &plate, const QString &make = {}) {
    return {id, plate, make, {}, {}, {}, {}};
}

CarOwner Owner(const QString &client, bool deleted = false) {
    return {{}, {}, client, deleted, {}, {}};
}

// Every field of the car, in the order of the record.
QStringList Fields(const CarRecord &c) {
    return {c.iddAvto, c.avtoNomer, c.avtoMarka, c.avtoColor, c.avtoVin, c.avtoDvig, c.avtoPrim};
}

QStringList Ids(const QList<CarListRow> &rows) {
    QStringList ids;
    for (const CarListRow &r : rows) ids << r.car.iddAvto;
    return ids;
}

}  // namespace

// c1 "А001АА" ВАЗ 2107 of Иванов and Петров; c2 "В002ВВ" ВАЗ 2107 of two clients named Петров; c3 "А001АА"
// KIA RIO whose only link (Иванов) is deleted.
class CarStoreTest : public DbTest {
protected:
    void Fill() override {
        for (const auto &[id, name] :
             {std::pair{"ivanov", "Иванов"}, {"petrov", "Петров"}, {"petrov2", "Петров"}}) {
            const QString key = QString::fromUtf8(id);
            TestRows::Client c{.key = key, .name = QString::fromUtf8(name), .tel = "tel-"_L1 + key};
            c.fax = "fax-"_L1 + key, c.contact = "contact-"_L1 + key;
            TestRows::Put(db(), c);
        }
        Save({u"c1"_s, u"А001АА"_s, u"ВАЗ 2107"_s, u"СИНИЙ"_s, u"VIN1"_s, u"ENGINE1"_s, u"вмятина"_s},
             {Owner(u"ivanov"_s), Owner(u"petrov"_s)});
        Save(Car(u"c2"_s, u"В002ВВ"_s, u"ВАЗ 2107"_s), {Owner(u"petrov"_s), Owner(u"petrov2"_s)});
        Save(Car(u"c3"_s, u"А001АА"_s, u"KIA RIO"_s), {Owner(u"ivanov"_s, true)});
    }
    QList<CarOwner> Save(const CarRecord &car, QList<CarOwner> owners) {
        CarStore(db()).Save(car, owners, u"anna"_s);
        return owners;
    }
    int Links(const QString &where, const QVariantList &binds) {
        return CountRows(db(), u"SELECT * FROM AvtoVlad WHERE "_s + where, binds);
    }
};
ZV_INSTANTIATE_DB_TESTS(CarStoreTest);

TEST_P(CarStoreTest, EveryCombinationOfTheThreeFilters) {
    const struct {
        const char *plate, *make, *owner;
        QStringList ids;
    } cases[] = {
        {"", "", "", {"c1", "c3", "c2"}},
        {"А001АА", "", "", {"c1", "c3"}},
        {"", "ВАЗ 2107", "", {"c1", "c2"}},
        {"", "", "Иванов", {"c1"}},            // the link to c3 is deleted
        {" а001аа ", " kia rio", "", {"c3"}},  // plate and make trimmed and upper-cased
        {"", "ВАЗ", "", {}},                   // whole values only
        {"", "", "Петров", {"c1", "c2"}},      // two owners of one name list the car once
    };
    for (const auto &c : cases)
        EXPECT_EQ(Ids(CarStore(db()).Search(
                      {QString::fromUtf8(c.plate), QString::fromUtf8(c.make), QString::fromUtf8(c.owner)})),
                  c.ids)
            << c.plate << '|' << c.make << '|' << c.owner;
}

TEST_P(CarStoreTest, CarsCarryTheirCurrentOwnersAndTheListsAreDistinct) {
    CarStore store(db());
    const auto rows = store.Search({});
    ASSERT_EQ(rows.size(), 3);
    for (const CarListRow &row : rows) EXPECT_EQ(Fields(row.car), Fields(*store.Load(row.car.iddAvto)));
    ASSERT_EQ(rows[0].owners.size(), 2);
    const CarOwnerRow &o = rows[0].owners[0];
    EXPECT_EQ((QStringList{o.iddVlad, o.clientName, o.clientContact, o.clientTel, o.clientFaks}),
              (QStringList{"ivanov", "Иванов", "contact-ivanov", "tel-ivanov", "fax-ivanov"}));
    EXPECT_TRUE(rows[1].owners.isEmpty());  // c3's only link is deleted
    // With a filter the owners shown are still all of the car's owners.
    EXPECT_EQ(store.Search({{}, {}, u"Иванов"_s}).value(0).owners.size(), 2);
    EXPECT_EQ(store.Makes() + store.OwnerNames(), (QStringList{"KIA RIO", "ВАЗ 2107", "Иванов", "Петров"}));
}

TEST_P(CarStoreTest, SavingNormalisesTheCarAndStoresEveryOwnerEntry) {
    CarStore store(db());
    const CarRecord car{u"c9"_s,  u"  х123ух 77 "_s, u" toyota "_s,         u"белый"_s,
                        u"abc"_s, u"d-1"_s,          u" царапина O'Neil "_s};
    // An owner added and removed again in one opening is stored, marked deleted.
    QList<CarOwner> owners = {Owner(u"ivanov"_s), Owner(u"petrov"_s, true)};
    store.Save(car, owners, u"oleg"_s);
    const auto back = store.Load(u"c9"_s);
    ASSERT_TRUE(back);
    EXPECT_EQ(Fields(*back),
              (QStringList{"c9", "Х123УХ 77", "TOYOTA", "БЕЛЫЙ", "ABC", "D-1", "царапина O'Neil"}));
    EXPECT_NE(owners[0].iddAvtoVlad, owners[1].iddAvtoVlad);
    EXPECT_EQ(Links(u"IddAvto = ? AND IddVlad = ? AND [Delete] = TRUE"_s, {u"c9"_s, u"petrov"_s}), 1);
    const auto current = store.LoadOwners(u"c9"_s);
    EXPECT_TRUE(current.size() == 1 && current[0].clientName == u"Иванов"_s);

    // A second save updates the stored links instead of adding new ones.
    owners[0].deleted = true;
    store.Save(*back, owners, u"oleg"_s);
    EXPECT_EQ(Links(u"IddAvto = ?"_s, {u"c9"_s}), 2);
    EXPECT_TRUE(store.LoadOwners(u"c9"_s).isEmpty());

    QList<CarOwner> none;
    EXPECT_THROW(store.Save(Car(u"c10"_s, u"  "_s), none, u"oleg"_s), DbError);
    EXPECT_FALSE(store.Load(u"c10"_s));

    // A failed save writes nothing, and its entries still count as new links.
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(u"AvtoVlad"_s, Qt::CaseInsensitive) && sql.startsWith(u"INSERT"_s))
            throw DbError(u"disk full"_s);
    });
    owners = {Owner(u"ivanov"_s)};
    EXPECT_THROW(store.Save(Car(u"c8"_s, u"Е888ЕЕ"_s), owners, u"anna"_s), DbError);
    db().SetWriteHook({});
    EXPECT_TRUE(!store.Load(u"c8"_s) && owners[0].iddAvtoVlad.isEmpty());
}

TEST_P(CarStoreTest, AnOwnerHasOneLiveLinkWhoeverAddsIt) {
    CarStore store(db());
    const CarRecord car = Car(u"c20"_s, u"М020ММ"_s);
    QList<CarOwner> twice = {Owner(u"ivanov"_s), Owner(u"ivanov"_s)};
    EXPECT_THROW(store.Save(car, twice, u"anna"_s), DbError);
    EXPECT_FALSE(store.Load(u"c20"_s));

    // The owner removed and put back on one opening keeps one live link.
    QList<CarOwner> owners = Save(car, {Owner(u"ivanov"_s)});
    owners[0].deleted = true;
    owners << Owner(u"ivanov"_s);
    store.Save(car, owners, u"anna"_s);
    EXPECT_TRUE(store.LoadOwners(u"c20"_s).size() == 1 &&
                store.LoadOwners(u"c20"_s)[0].iddAvtoVlad == owners[1].iddAvtoVlad);

    // Another workstation links the same owner while this card is open: its link is taken over.
    auto other = OpenAgain();
    const QString theirs = ClientStore(*other).LinkCar(u"petrov"_s, u"c20"_s, u"oleg"_s);
    owners << Owner(u"petrov"_s);
    store.Save(car, owners, u"anna"_s);
    EXPECT_EQ(owners[2].iddAvtoVlad, theirs);
    EXPECT_EQ(Links(u"IddAvto = ? AND [Delete] = FALSE"_s, {u"c20"_s}), 2);
}

// The first screen of either directory: whole entries from the beginning of the list, never a car or a
// client with some of its rows left out; `more` until the limit is past the list's end.
TEST_P(CarStoreTest, TheFirstRowsAreWholeCarsFromTheBeginningOfTheList) {
    CarStore store(db());
    const auto whole = store.Search({});  // c1 with two owners, c3 with none, c2 with two: five rows
    const struct {
        int limit;
        int cars;
        bool more;
    } cases[] = {{1, 0, true}, {3, 1, true}, {4, 2, true}, {5, 2, true}, {6, 3, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.limit);
        bool more = !c.more;
        const auto first = store.Search({}, c.limit, &more);
        EXPECT_EQ(more, c.more);
        ASSERT_EQ(Ids(first), Ids(whole.mid(0, c.cars)));
        for (qsizetype i = 0; i < first.size(); ++i)
            EXPECT_EQ(first[i].owners.size(), whole[i].owners.size()) << i;
    }
    // A filter limits the first rows the same way.
    bool more = true;
    EXPECT_EQ(Ids(store.Search({{}, u"ВАЗ 2107"_s, {}}, 10, &more)), (QStringList{"c1", "c2"}));
    EXPECT_FALSE(more);
}

TEST_P(ClientStoreTest, TheFirstRowsAreWholeClientsWithTheirDebts) {
    TestRows::Put(db(), TestRows::CarLink{u"l9"_s, u"car2"_s, u"a1"_s});  // a1 has two cars now
    Order(u"z1"_s, u"a2"_s, 70.0, 20.0);
    const auto whole = store().Search({});
    const struct {
        int limit;
        int clients;
        bool more;
    } cases[] = {{1, 0, true}, {3, 1, true}, {4, 2, true}, {5, 3, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.limit);
        bool more = !c.more;
        const auto first = store().Search({}, c.limit, &more);
        EXPECT_EQ(more, c.more);
        ASSERT_EQ(first.size(), c.clients);
        for (qsizetype i = 0; i < first.size(); ++i) EXPECT_EQ(Shown(first[i]), Shown(whole[i]));
    }
    // The debtors' first rows are debtors only.
    ClientFilter debtors;
    debtors.debtorsOnly = true;
    EXPECT_EQ(Debts(store().Search(debtors, 10)), QStringList{u"a2 50.00"_s});
}
