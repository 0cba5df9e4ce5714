#include "DbError.h"
#include "Rub.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "TestRows.h"
#include "WorkerStore.h"

using namespace Qt::StringLiterals;

namespace {

const QString kLogin = u"anna"_s;
const PickedWorker kPetrov{{}, u"w1"_s, u"Петров"_s, false};
const PickedWorker kSidorov{{}, u"w2"_s, u"Сидоров"_s, false};

// A card of a service at `price` with 18 % VAT and 10 % pay, half an hour long.
ServiceCard Card(const QString &name, const QString &packageText = {}, const QString &iddTop = {},
                 double price = 100, PickedWorkers performers = {}) {
    ServiceCard c{
        .iddTop = iddTop, .packageText = packageText, .name = name, .price = Rub(price), .prNds = 18};
    c.job = 10, c.prJob = true, c.time = QTime(0, 30), c.performers = std::move(performers);
    return c;
}

}  // namespace

class ServiceStoreTest : public DbTest {
protected:
    void Fill() override {
        TestRows::Put(db(), TestRows::Worker{u"w1"_s, u"Петров"_s});
        TestRows::Put(db(), TestRows::Worker{u"w2"_s, u"Сидоров"_s});
    }
    // Saves a new card and returns it with the keys it was given.
    ServiceCard Save(ServiceCard card) {
        ServiceStore(db()).SaveCard(card, kLogin);
        return card;
    }
    ServiceRecord Load(const QString &key) { return ServiceStore(db()).Load(key).value(); }
    int Count(const QString &table, const QString &where = u"1 = 1"_s, const QVariantList &binds = {}) {
        return CountRows(db(), u"SELECT * FROM %1 WHERE "_s.arg(table) + where, binds);
    }
};
ZV_INSTANTIATE_DB_TESTS(ServiceStoreTest);

TEST_P(ServiceStoreTest, TypedPackageNameMakesANewPackagePickedOneIsReused) {
    const ServiceCard first = Save(Card(u"Снятие колеса"_s, u"Шиномонтаж"_s));
    EXPECT_TRUE(first.iddTop.endsWith(u'p'));
    const ServiceRecord package = Load(first.iddTop);
    EXPECT_TRUE(package.IsPackage() && !package.prJob);
    EXPECT_EQ(package.name + package.summa.Text(), u"Шиномонтаж0.00"_s);
    // Picked from the list: the service joins that package, leaving alone its name (changed elsewhere since
    // the list was read). Typed: a second package of the same name.
    OpenAgain()->Exec("UPDATE SService SET [Name] = ? WHERE IddService = ?",
                      {u"Шиномонтаж R"_s, first.iddTop});
    EXPECT_EQ(Save(Card(u"Установка колеса"_s, u"Шиномонтаж"_s, first.iddTop)).iddTop, first.iddTop);
    EXPECT_EQ(Load(first.iddTop).name, u"Шиномонтаж R"_s);
    const ServiceCard typed = Save(Card(u"Балансировка"_s, u"Шиномонтаж"_s));
    EXPECT_NE(typed.iddTop, first.iddTop);
    const ServiceTree tree = ServiceStore(db()).LoadTree();
    ASSERT_EQ(tree.packages.size(), 2);
    EXPECT_EQ(tree.packages[0].services.size() + tree.packages[1].services.size(), 3);
    // A package key that names a service must not turn that service into a package.
    EXPECT_NE(Save(Card(u"Мойка"_s, u"Мойка-пакет"_s, typed.iddService)).iddTop, typed.iddService);
    EXPECT_FALSE(Load(typed.iddService).IsPackage());

    // A package card alone writes only the package, and renaming keeps its key.
    const ServiceCard alone = Save({.packageText = u"Мойка"_s, .performers = {kPetrov}});
    EXPECT_EQ((QList<int>{Count(u"SService"_s), Count(u"ServiceWork"_s)}), (QList<int>{8, 0}));
    Save({.existing = true, .iddService = alone.iddTop, .iddTop = u"0"_s, .packageText = u"Мойка кузова"_s});
    EXPECT_EQ(Count(u"SService"_s), 8);
    EXPECT_EQ(Load(alone.iddTop).name, u"Мойка кузова"_s);
}

TEST_P(ServiceStoreTest, PerformerLinksGetDistinctKeysAndFollowTheirMarks) {
    PickedWorker dropped{{}, u"w3"_s, u"Иванов"_s, true};  // added and removed before saving: never stored
    ServiceCard card = Save(Card(u"Шиномонтаж R15"_s, {}, {}, 500, {kPetrov, dropped, kSidorov}));
    EXPECT_TRUE(card.iddService.startsWith(kLogin + u'~') && card.iddService.endsWith(u'u'));
    EXPECT_EQ(Count(u"ServiceWork"_s), 2);
    const QString k2 = card.performers[2].iddServiceWork;
    EXPECT_TRUE(card.performers[1].iddServiceWork.isEmpty() && k2 != card.performers[0].iddServiceWork);
    PickedWorkers back = ServiceStore(db()).Performers(card.iddService);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].workFio + back[1].workFio + back[1].iddServiceWork, u"ПетровСидоров"_s + k2);

    // Removing a stored link marks it; the service is updated, not added again.
    card.existing = true, card.performers[0].deleted = true;
    Save(card);
    EXPECT_EQ(Count(u"ServiceWork"_s, u"[Delete] = ?"_s, {true}), 1);
    back = ServiceStore(db()).Performers(card.iddService);
    EXPECT_TRUE(back.size() == 1 && back[0].iddWork == u"w2"_s);
    EXPECT_EQ(Count(u"SService"_s), 1);
}

TEST_P(ServiceStoreTest, PackageDeleteHidesItsServicesAndKeepsLinks) {
    ServiceStore store(db());
    const ServiceCard s1 = Save(Card(u"Снятие"_s, u"Шиномонтаж"_s, {}, 100, {kPetrov}));
    const ServiceCard s2 = Save(Card(u"Установка"_s, u"Шиномонтаж"_s, s1.iddTop));
    const ServiceCard alone = Save(Card(u"Мойка"_s));
    EXPECT_TRUE(store.Delete(s1.iddTop));
    const ServiceTree tree = store.LoadTree();
    EXPECT_TRUE(tree.packages.isEmpty() && store.Packages().isEmpty() && tree.standalone.size() == 1 &&
                tree.standalone[0].service.iddService == alone.iddService);
    for (const QString &key : {s1.iddTop, s1.iddService, s2.iddService, alone.iddService})
        EXPECT_EQ(Load(key).deleted, key != alone.iddService) << key.toStdString();
    EXPECT_EQ(Count(u"ServiceWork"_s, u"[Delete] = ?"_s, {false}), 1);
    // A row filed under itself is deleted without looping.
    TestRows::Put(db(), TestRows::Service{.key = u"loop"_s, .top = u"loop"_s});
    EXPECT_TRUE(store.Delete(u"loop"_s) && Load(u"loop"_s).deleted);

    // Deleting what is not there says so and leaves the caller's transaction usable.
    Transaction tx(db());
    TestRows::Put(db(), TestRows::Bay{u"b1"_s, u"Бокс"_s});
    EXPECT_FALSE(store.Delete(u"no such service"_s));
    EXPECT_FALSE(WorkerStore(db()).Delete(u"no such worker"_s));
    EXPECT_NO_THROW(tx.Commit());
    EXPECT_EQ(Count(u"SBox"_s), 1);
}

TEST_P(ServiceStoreTest, TreeSumsPackagesNotWrappingTheirTimeAtMidnight) {
    // 100 at 18 % with 10 % pay, and 50 at 0 % with a fixed 7: package sums 150 / 18 / 168 / 18.8.
    const ServiceCard a = Save(Card(u"А"_s, u"Комплекс"_s));
    ServiceCard b = Card(u"Б"_s, u"Комплекс"_s, a.iddTop, 50, {kPetrov});
    b.prNds = 0, b.job = 7, b.prJob = false, b.time = QTime(23, 45);
    Save(b);
    Save(Card(u"Мойка"_s));

    const ServiceTree tree = ServiceStore(db()).LoadTree();
    ASSERT_TRUE(tree.packages.size() == 1 && tree.standalone.size() == 1);
    const PackageNode &complex = tree.packages[0];  // by name
    ASSERT_EQ(complex.services.size(), 2);
    const ServiceTotals t = complex.Totals();
    EXPECT_EQ((QList<Money>{t.price, t.vat, t.summa, t.pay}),
              (QList<Money>{Rub(150), Rub(18), Rub(168), Rub(18.8)}));
    EXPECT_EQ(complex.package.name + t.Duration(), u"Комплекс24:15"_s);
    ASSERT_EQ(complex.services[1].performers.size(), 1);
    EXPECT_EQ(complex.services[1].performers[0].workFio, u"Петров"_s);
}

TEST_P(ServiceStoreTest, FailedSaveLeavesNothingAndKeepsTheCardAsItWas) {
    for (int failAt : {1, 2, 3, 4}) {
        SCOPED_TRACE(failAt);
        int writes = 0;
        db().SetWriteHook([&](const QString &) {
            if (++writes == failAt) throw DbError(u"диск переполнен"_s);
        });
        ServiceCard card = Card(u"Снятие"_s, u"Шиномонтаж"_s, {}, 100, {kPetrov, kSidorov});
        EXPECT_THROW(ServiceStore(db()).SaveCard(card, kLogin), DbError);
        db().SetWriteHook({});
        EXPECT_EQ(Count(u"SService"_s) + Count(u"ServiceWork"_s), 0);
        EXPECT_TRUE(card.iddService.isEmpty() && card.iddTop.isEmpty() &&
                    card.performers[0].iddServiceWork.isEmpty());
    }
}
