#include "CarStore.h"
#include "ClientStore.h"
#include "DbError.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QStringList>

using namespace Qt::StringLiterals;

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
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        for (const auto &[id, name] :
             {std::pair{"ivanov", "Иванов"}, {"petrov", "Петров"}, {"petrov2", "Петров"}}) {
            const QString key = QString::fromUtf8(id);
            TestRows::Put(db(), TestRows::Client{.key = key,
                                                 .name = QString::fromUtf8(name),
                                                 .tel = "tel-"_L1 + key,
                                                 .fax = "fax-"_L1 + key,
                                                 .contact = "contact-"_L1 + key});
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
        {"", "", "Иванов", {"c1"}},  // the link to c3 is deleted
        {"А001АА", "ВАЗ 2107", "", {"c1"}},
        {"А001АА", "", "Петров", {"c1"}},
        {"", "KIA RIO", "Иванов", {}},
        {"А001АА", "ВАЗ 2107", "Иванов", {"c1"}},
        {"В002ВВ", "ВАЗ 2107", "Иванов", {}},
        {" а001аа ", " kia rio", "", {"c3"}},  // plate and make trimmed and upper-cased
        {"", "ВАЗ", "", {}},                   // whole values only
        {"", "", " Иванов ", {"c1"}},          // the owner trimmed
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
    EXPECT_EQ(rows[0].car.avtoVin, u"VIN1"_s);
    ASSERT_EQ(rows[0].owners.size(), 2);
    const CarOwnerRow &o = rows[0].owners[0];
    EXPECT_EQ((QStringList{o.iddVlad, o.clientName, o.clientContact, o.clientTel, o.clientFaks}),
              (QStringList{"ivanov", "Иванов", "contact-ivanov", "tel-ivanov", "fax-ivanov"}));
    EXPECT_EQ(o.iddAvtoVlad, store.LoadOwners(u"c1"_s)[0].iddAvtoVlad);
    EXPECT_TRUE(rows[1].owners.isEmpty());  // c3's only link is deleted
    // With a filter the owners shown are still all of the car's owners.
    const auto byOwner = store.Search({{}, {}, u"Иванов"_s});
    ASSERT_EQ(byOwner.size(), 1);
    EXPECT_EQ(byOwner[0].owners.size(), 2);
    EXPECT_EQ(store.Makes(), (QStringList{"KIA RIO", "ВАЗ 2107"}));
    EXPECT_EQ(store.OwnerNames(), (QStringList{"Иванов", "Петров"}));
}

TEST_P(CarStoreTest, SavingNormalisesTheCarAndKeysNewLinksByPosition) {
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
    const QString key = owners[0].iddAvtoVlad.chopped(1);
    EXPECT_TRUE(key.startsWith(u"oleg~"_s));
    EXPECT_EQ((QStringList{owners[0].iddAvtoVlad, owners[1].iddAvtoVlad}),
              (QStringList{key + u'0', key + u'1'}));
    EXPECT_EQ(Links(u"IddAvto = ? AND IddVlad = ? AND [Delete] = TRUE"_s, {u"c9"_s, u"petrov"_s}), 1);
    const auto current = store.LoadOwners(u"c9"_s);
    EXPECT_TRUE(current.size() == 1 && current[0].clientName == u"Иванов"_s);

    // A second save updates the stored links instead of adding new ones.
    owners[0].deleted = true;
    store.Save(*back, owners, u"oleg"_s);
    EXPECT_EQ(Links(u"IddAvto = ?"_s, {u"c9"_s}), 2);
    EXPECT_TRUE(store.LoadOwners(u"c9"_s).isEmpty());
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SAvto WHERE IddAvto = ?"_s, {u"c9"_s}), 1);

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
    EXPECT_FALSE(store.Load(u"c8"_s));
    EXPECT_TRUE(owners[0].iddAvtoVlad.isEmpty());
}

TEST_P(CarStoreTest, DeletingACarRemovesItForEveryOwner) {
    CarStore(db()).Delete(u"c1"_s);
    EXPECT_FALSE(CarStore(db()).Load(u"c1"_s));
    EXPECT_EQ(Links(u"IddAvto = ? AND [Delete] = FALSE"_s, {u"c1"_s}), 0);
    ClientStore clients(db());
    EXPECT_TRUE(clients.CarsOf(u"ivanov"_s).isEmpty());
    EXPECT_TRUE(clients.CarsOf(u"petrov"_s).size() == 1 && clients.CarsOf(u"petrov"_s)[0].iddAvto == u"c2"_s);
    EXPECT_TRUE(clients.Load(u"ivanov"_s));  // owners stay
    EXPECT_EQ(Ids(CarStore(db()).Search({})), (QStringList{"c3", "c2"}));
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
    EXPECT_EQ(ClientStore(db()).LinkCar(u"petrov"_s, u"c20"_s, u"anna"_s), theirs);
}
