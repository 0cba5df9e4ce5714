#include "CarStore.h"
#include "ClientStore.h"
#include "DbError.h"
#include "Rows.h"
#include "TestDb.h"

#include <QStringList>

namespace {

CarRecord Car(const QString &id, const QString &plate, const QString &make) {
    CarRecord c;
    c.iddAvto = id;
    c.avtoNomer = plate;
    c.avtoMarka = make;
    return c;
}

CarOwner Owner(const QString &client, bool deleted = false) {
    CarOwner o;
    o.iddVlad = client;
    o.deleted = deleted;
    return o;
}

// Every value of a car, in order.
QStringList Fields(const CarRecord &c) {
    return {c.iddAvto, c.avtoNomer, c.avtoMarka, c.avtoVin, c.avtoDvig, c.avtoColor, c.avtoPrim};
}

QStringList Ids(const QList<CarListRow> &rows) {
    QStringList ids;
    for (const CarListRow &r : rows) ids << r.car.iddAvto;
    return ids;
}

}  // namespace

class CarStoreTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ClientStore clients(db());
        for (const auto &[id, name] :
             {std::pair{"ivanov", "Иванов"}, std::pair{"petrov", "Петров"}, std::pair{"petrov2", "Петров"}}) {
            ClientRecord c;
            c.iddClient = QString::fromUtf8(id);
            c.clientName = QString::fromUtf8(name);
            c.clientTel = QStringLiteral("tel-") + c.iddClient;
            c.clientFaks = QStringLiteral("fax-") + c.iddClient;
            c.clientContact = QStringLiteral("contact-") + c.iddClient;
            clients.Save(c);
        }
        CarStore cars(db());
        QList<CarOwner> owners = {Owner(QStringLiteral("ivanov")), Owner(QStringLiteral("petrov"))};
        CarRecord first = Car(QStringLiteral("c1"), QStringLiteral("А001АА"), QStringLiteral("ВАЗ 2107"));
        first.avtoVin = QStringLiteral("VIN1");
        first.avtoDvig = QStringLiteral("ENGINE1");
        first.avtoColor = QStringLiteral("СИНИЙ");
        first.avtoPrim = QStringLiteral("вмятина");
        cars.Save(first, owners, QStringLiteral("anna"));
        owners = {Owner(QStringLiteral("petrov")), Owner(QStringLiteral("petrov2"))};
        cars.Save(Car(QStringLiteral("c2"), QStringLiteral("В002ВВ"), QStringLiteral("ВАЗ 2107")), owners,
                  QStringLiteral("anna"));
        owners = {Owner(QStringLiteral("ivanov"), true)};
        cars.Save(Car(QStringLiteral("c3"), QStringLiteral("А001АА"), QStringLiteral("KIA RIO")), owners,
                  QStringLiteral("anna"));
    }

    QStringList Find(const QString &plate, const QString &make, const QString &owner) {
        return Ids(CarStore(db()).Search({plate, make, owner}));
    }
};
ZV_INSTANTIATE_DB_TESTS(CarStoreTest);

TEST_P(CarStoreTest, EveryCombinationOfTheThreeFilters) {
    using L = QStringList;
    const QString a = QStringLiteral("А001АА");
    const QString vaz = QStringLiteral("ВАЗ 2107");
    const QString ivanov = QStringLiteral("Иванов");
    EXPECT_EQ(Find({}, {}, {}), (L{"c1", "c3", "c2"}));
    EXPECT_EQ(Find(a, {}, {}), (L{"c1", "c3"}));
    EXPECT_EQ(Find({}, vaz, {}), (L{"c1", "c2"}));
    EXPECT_EQ(Find({}, {}, ivanov), L{"c1"});  // the link to c3 is deleted
    EXPECT_EQ(Find(a, vaz, {}), L{"c1"});
    EXPECT_EQ(Find(a, {}, QStringLiteral("Петров")), L{"c1"});
    EXPECT_EQ(Find({}, QStringLiteral("KIA RIO"), ivanov), L{});
    EXPECT_EQ(Find(a, vaz, ivanov), L{"c1"});
    EXPECT_EQ(Find(QStringLiteral("В002ВВ"), vaz, ivanov), L{});
    // Plate and make are trimmed and upper-cased, the owner only trimmed; values match whole.
    EXPECT_EQ(Find(QStringLiteral(" а001аа "), QStringLiteral(" kia rio"), {}), L{"c3"});
    EXPECT_EQ(Find({}, QStringLiteral("ВАЗ"), {}), L{});
    EXPECT_EQ(Find({}, {}, QStringLiteral(" Иванов ")), L{"c1"});
    // Two owners of the same name list the car once.
    EXPECT_EQ(Find({}, {}, QStringLiteral("Петров")), (L{"c1", "c2"}));
}

TEST_P(CarStoreTest, CarsCarryTheirCurrentOwnersAndTheListsAreDistinct) {
    const auto rows = CarStore(db()).Search({});
    ASSERT_EQ(rows.size(), 3);
    for (const CarListRow &row : rows)
        EXPECT_EQ(Fields(row.car), Fields(*CarStore(db()).Load(row.car.iddAvto)));
    ASSERT_EQ(rows[0].owners.size(), 2);
    const CarOwnerRow &o = rows[0].owners[0];
    EXPECT_EQ((QStringList{o.iddVlad, o.clientName, o.clientContact, o.clientTel, o.clientFaks}),
              (QStringList{"ivanov", "Иванов", "contact-ivanov", "tel-ivanov", "fax-ivanov"}));
    EXPECT_EQ(o.iddAvtoVlad, CarStore(db()).LoadOwners(QStringLiteral("c1"))[0].iddAvtoVlad);
    EXPECT_TRUE(rows[1].owners.isEmpty());  // c3's only link is deleted
    // With a filter the owners shown are still all of the car's owners.
    const auto byOwner = CarStore(db()).Search({{}, {}, QStringLiteral("Иванов")});
    ASSERT_EQ(byOwner.size(), 1);
    EXPECT_EQ(byOwner[0].owners.size(), 2);

    EXPECT_EQ(CarStore(db()).Makes(), (QStringList{"KIA RIO", "ВАЗ 2107"}));
    EXPECT_EQ(CarStore(db()).OwnerNames(), (QStringList{"Иванов", "Петров"}));
}

TEST_P(CarStoreTest, SavingNormalisesTheCarAndKeysNewLinksByPosition) {
    CarStore store(db());
    CarRecord car = Car(QStringLiteral("c9"), QStringLiteral("  х123ух 77 "), QStringLiteral(" toyota "));
    car.avtoVin = QStringLiteral("abc");
    car.avtoColor = QStringLiteral("белый");
    car.avtoPrim = QStringLiteral(" царапина O'Neil ");
    // An owner added and removed again in one opening is stored, marked deleted.
    QList<CarOwner> owners = {Owner(QStringLiteral("ivanov")), Owner(QStringLiteral("petrov"), true)};
    store.Save(car, owners, QStringLiteral("oleg"));
    const auto back = store.Load(QStringLiteral("c9"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->avtoNomer, QStringLiteral("Х123УХ 77"));
    EXPECT_EQ(back->avtoMarka, QStringLiteral("TOYOTA"));
    EXPECT_EQ(back->avtoVin, QStringLiteral("ABC"));
    EXPECT_EQ(back->avtoColor, QStringLiteral("БЕЛЫЙ"));
    EXPECT_EQ(back->avtoPrim, QStringLiteral("царапина O'Neil"));

    ASSERT_EQ(owners.size(), 2);
    EXPECT_TRUE(owners[0].iddAvtoVlad.startsWith(QStringLiteral("oleg~")));
    EXPECT_TRUE(owners[0].iddAvtoVlad.endsWith(u'0'));
    EXPECT_TRUE(owners[1].iddAvtoVlad.endsWith(u'1'));
    EXPECT_EQ(owners[0].iddAvtoVlad.chopped(1), owners[1].iddAvtoVlad.chopped(1));
    EXPECT_EQ(CountRows(db(),
                        QStringLiteral(
                            "SELECT * FROM AvtoVlad WHERE IddAvto = ? AND IddVlad = ? AND [Delete] = TRUE"),
                        {QStringLiteral("c9"), QStringLiteral("petrov")}),
              1);
    const auto current = store.LoadOwners(QStringLiteral("c9"));
    ASSERT_EQ(current.size(), 1);
    EXPECT_EQ(current[0].clientName, QStringLiteral("Иванов"));

    // A second save updates the stored links instead of adding new ones.
    owners[0].deleted = true;
    store.Save(*back, owners, QStringLiteral("oleg"));
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddAvto = ?"), {QStringLiteral("c9")}),
        2);
    EXPECT_TRUE(store.LoadOwners(QStringLiteral("c9")).isEmpty());
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM SAvto WHERE IddAvto = ?"), {QStringLiteral("c9")}), 1);

    QList<CarOwner> none;
    EXPECT_THROW(
        store.Save(Car(QStringLiteral("c10"), QStringLiteral("  "), {}), none, QStringLiteral("oleg")),
        DbError);
    EXPECT_FALSE(store.Load(QStringLiteral("c10")));
}

TEST_P(CarStoreTest, AFailedSaveWritesNothing) {
    db().SetWriteHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("AvtoVlad"), Qt::CaseInsensitive) &&
            sql.startsWith(QStringLiteral("INSERT")))
            throw DbError(QStringLiteral("disk full"));
    });
    QList<CarOwner> owners = {Owner(QStringLiteral("ivanov"))};
    EXPECT_THROW(CarStore(db()).Save(Car(QStringLiteral("c8"), QStringLiteral("Е888ЕЕ"), {}), owners,
                                     QStringLiteral("anna")),
                 DbError);
    db().SetWriteHook({});
    EXPECT_FALSE(CarStore(db()).Load(QStringLiteral("c8")));
    EXPECT_TRUE(owners[0].iddAvtoVlad.isEmpty());  // the entry still counts as a new link
}

TEST_P(CarStoreTest, DeletingACarRemovesItForEveryOwner) {
    CarStore(db()).Delete(QStringLiteral("c1"));
    EXPECT_FALSE(CarStore(db()).Load(QStringLiteral("c1")));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddAvto = ? AND [Delete] = FALSE"),
                        {QStringLiteral("c1")}),
              0);
    ClientStore clients(db());
    EXPECT_TRUE(clients.CarsOf(QStringLiteral("ivanov")).isEmpty());
    ASSERT_EQ(clients.CarsOf(QStringLiteral("petrov")).size(), 1);
    EXPECT_EQ(clients.CarsOf(QStringLiteral("petrov"))[0].iddAvto, QStringLiteral("c2"));
    EXPECT_TRUE(clients.Load(QStringLiteral("ivanov")));  // owners stay
    EXPECT_EQ(Ids(CarStore(db()).Search({})), (QStringList{"c3", "c2"}));
}

TEST_P(CarStoreTest, AnOwnerHasOneLiveLinkWhoeverAddsIt) {
    CarStore store(db());
    CarRecord car = Car(QStringLiteral("c20"), QStringLiteral("М020ММ"), {});
    QList<CarOwner> twice = {Owner(QStringLiteral("ivanov")), Owner(QStringLiteral("ivanov"))};
    EXPECT_THROW(store.Save(car, twice, QStringLiteral("anna")), DbError);
    EXPECT_FALSE(store.Load(QStringLiteral("c20")));

    // The owner removed and put back on one opening keeps one live link.
    QList<CarOwner> owners = {Owner(QStringLiteral("ivanov"))};
    store.Save(car, owners, QStringLiteral("anna"));
    owners[0].deleted = true;
    owners << Owner(QStringLiteral("ivanov"));
    store.Save(car, owners, QStringLiteral("anna"));
    ASSERT_EQ(store.LoadOwners(QStringLiteral("c20")).size(), 1);
    EXPECT_EQ(store.LoadOwners(QStringLiteral("c20"))[0].iddAvtoVlad, owners[1].iddAvtoVlad);

    // Another workstation links the same owner while this card is open: its link is taken over.
    auto other = OpenAgain();
    const QString theirs =
        ClientStore(*other).LinkCar(QStringLiteral("petrov"), QStringLiteral("c20"), QStringLiteral("oleg"));
    owners << Owner(QStringLiteral("petrov"));
    store.Save(car, owners, QStringLiteral("anna"));
    EXPECT_EQ(owners[2].iddAvtoVlad, theirs);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddAvto = ? AND [Delete] = FALSE"),
                        {QStringLiteral("c20")}),
              2);
    EXPECT_EQ(
        ClientStore(db()).LinkCar(QStringLiteral("petrov"), QStringLiteral("c20"), QStringLiteral("anna")),
        theirs);
}
