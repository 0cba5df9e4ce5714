#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "Rows.h"
#include "Rub.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "WorkerStore.h"

namespace {

const QString kLogin = QStringLiteral("anna");

void AddWorker(Database &db, const QString &id, const QString &fio) {
    Rows::Insert(db, QStringLiteral("SWork"),
                 {{QStringLiteral("IddWork"), id},
                  {QStringLiteral("WorkFIO"), fio},
                  {QStringLiteral("WorkOut"), false},
                  {QStringLiteral("Delete"), false}});
}

PickedWorker Picked(const QString &iddWork, const QString &fio) {
    return PickedWorker{QString(), iddWork, fio, false};
}

// Saves a new card and returns it with the keys it was given.
ServiceCard SaveNew(ServiceStore &store, const QString &name, const QString &packageText = QString(),
                    const QString &iddTop = QString(), double price = 100, double nds = 18,
                    PickedWorkers performers = {}) {
    ServiceCard card;
    card.iddTop = iddTop;
    card.packageText = packageText;
    card.name = name;
    card.price = Rub(price);
    card.prNds = nds;
    card.job = 10;
    card.prJob = true;
    card.time = QTime(0, 30);
    card.performers = std::move(performers);
    store.SaveCard(card, kLogin);
    return card;
}

int CountServices(Database &db, const QString &where, const QVariantList &binds = {}) {
    return CountRows(db, QStringLiteral("SELECT IddService FROM SService WHERE ") + where, binds);
}

}  // namespace

class ServiceStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(ServiceStoreTest);

TEST_P(ServiceStoreTest, SummaIsStoredAsTheCardShowsIt) {
    EXPECT_EQ(PriceWithVat(Money::Kopecks(10000), 18), Money::Kopecks(11800));
    ServiceStore store(db());
    const ServiceCard a = SaveNew(store, QStringLiteral("Балансировка"));
    auto stored = store.Load(a.iddService);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->summa, Rub(118.0));
    EXPECT_EQ(stored->price, Rub(100.0));
    EXPECT_DOUBLE_EQ(stored->prNds, 18.0);
    EXPECT_TRUE(stored->prJob);
    EXPECT_DOUBLE_EQ(stored->job, 10.0);
    EXPECT_EQ(stored->time, QTime(0, 30));
    EXPECT_EQ(stored->iddTop, QStringLiteral("top"));
    EXPECT_TRUE(a.iddService.startsWith(kLogin + u'~'));
    EXPECT_TRUE(a.iddService.endsWith(u'u'));

    // The unrounded price with VAT would be 39.33294: the shown two decimals are what is kept.
    const ServiceCard b = SaveNew(store, QStringLiteral("Мойка"), {}, {}, 33.333);
    stored = store.Load(b.iddService);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->price, Rub(33.333));
    EXPECT_EQ(stored->summa, Rub(39.33));
}

TEST_P(ServiceStoreTest, TypedPackageNameMakesANewPackagePickedOneIsReused) {
    ServiceStore store(db());
    const ServiceCard first = SaveNew(store, QStringLiteral("Снятие колеса"), QStringLiteral("Шиномонтаж"));
    ASSERT_FALSE(first.iddTop.isEmpty());
    EXPECT_TRUE(first.iddTop.endsWith(u'p'));
    EXPECT_EQ(store.Load(first.iddService)->iddTop, first.iddTop);
    const auto package = store.Load(first.iddTop);
    ASSERT_TRUE(package);
    EXPECT_TRUE(package->IsPackage());
    EXPECT_EQ(package->name, QStringLiteral("Шиномонтаж"));
    EXPECT_EQ(package->summa, Rub(0.0));
    EXPECT_FALSE(package->prJob);

    // Picked from the list: the service joins that package, no new package row.
    const ServiceCard picked =
        SaveNew(store, QStringLiteral("Установка колеса"), QStringLiteral("Шиномонтаж"), first.iddTop);
    EXPECT_EQ(picked.iddTop, first.iddTop);
    EXPECT_EQ(CountServices(db(), QStringLiteral("IddTop = '0'")), 1);

    // Typed, not picked: a second package of the same name.
    const ServiceCard typed = SaveNew(store, QStringLiteral("Балансировка"), QStringLiteral("Шиномонтаж"));
    EXPECT_NE(typed.iddTop, first.iddTop);
    EXPECT_EQ(
        CountServices(db(), QStringLiteral("IddTop = '0' AND [Name] = ?"), {QStringLiteral("Шиномонтаж")}),
        2);
    const ServiceTree tree = store.LoadTree();
    ASSERT_EQ(tree.packages.size(), 2);
    EXPECT_EQ(tree.packages[0].services.size() + tree.packages[1].services.size(), 3);

    // A package key that names a service must not turn that service into a package.
    const ServiceCard wrong =
        SaveNew(store, QStringLiteral("Мойка"), QStringLiteral("Мойка-пакет"), typed.iddService);
    EXPECT_FALSE(store.Load(typed.iddService)->IsPackage());
    EXPECT_NE(wrong.iddTop, typed.iddService);
}

TEST_P(ServiceStoreTest, PackageCardAloneWritesOnlyThePackage) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    ServiceCard card;
    card.packageText = QStringLiteral("Мойка");
    card.performers = {Picked(QStringLiteral("w1"), QStringLiteral("Петров"))};
    store.SaveCard(card, kLogin);
    EXPECT_EQ(CountServices(db(), QStringLiteral("1 = 1")), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork")), 0);

    // Renaming the package keeps its key.
    ServiceCard edit;
    edit.existing = true;
    edit.iddService = card.iddTop;
    edit.iddTop = QStringLiteral("0");
    edit.packageText = QStringLiteral("Мойка кузова");
    store.SaveCard(edit, kLogin);
    EXPECT_EQ(CountServices(db(), QStringLiteral("1 = 1")), 1);
    EXPECT_EQ(store.Load(card.iddTop)->name, QStringLiteral("Мойка кузова"));
}

TEST_P(ServiceStoreTest, PerformerLinksGetDistinctKeysAndFollowTheirMarks) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Сидоров"));
    AddWorker(db(), QStringLiteral("w3"), QStringLiteral("Иванов"));
    PickedWorker dropped = Picked(QStringLiteral("w3"), QStringLiteral("Иванов"));
    dropped.deleted = true;  // added and removed before saving: never stored
    ServiceCard card = SaveNew(store, QStringLiteral("Шиномонтаж R15"), {}, {}, 500, 0,
                               {Picked(QStringLiteral("w1"), QStringLiteral("Петров")), dropped,
                                Picked(QStringLiteral("w2"), QStringLiteral("Сидоров"))});
    ASSERT_EQ(CountRows(db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork")), 2);
    const QString k0 = card.performers[0].iddServiceWork, k2 = card.performers[2].iddServiceWork;
    EXPECT_TRUE(card.performers[1].iddServiceWork.isEmpty());
    EXPECT_NE(k0, k2);
    EXPECT_TRUE(k0.endsWith(QStringLiteral("~0")));
    EXPECT_TRUE(k2.endsWith(QStringLiteral("~2")));

    PickedWorkers back = store.Performers(card.iddService);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].workFio, QStringLiteral("Петров"));
    EXPECT_EQ(back[1].workFio, QStringLiteral("Сидоров"));

    // Removing a stored link marks it; nothing else changes.
    card.existing = true;
    card.performers[0].deleted = true;
    store.SaveCard(card, kLogin);
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork WHERE [Delete] = ?"), {true}),
        1);
    back = store.Performers(card.iddService);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].iddWork, QStringLiteral("w2"));
    EXPECT_EQ(CountServices(db(), QStringLiteral("1 = 1")), 1);  // the service was updated, not added again
}

TEST_P(ServiceStoreTest, PackageDeleteHidesItsServicesAndKeepsLinks) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    const ServiceCard s1 = SaveNew(store, QStringLiteral("Снятие"), QStringLiteral("Шиномонтаж"), {}, 100, 18,
                                   {Picked(QStringLiteral("w1"), QStringLiteral("Петров"))});
    const ServiceCard s2 =
        SaveNew(store, QStringLiteral("Установка"), QStringLiteral("Шиномонтаж"), s1.iddTop);
    const ServiceCard alone = SaveNew(store, QStringLiteral("Мойка"));

    EXPECT_TRUE(store.Delete(s1.iddTop));
    const ServiceTree tree = store.LoadTree();
    EXPECT_TRUE(tree.packages.isEmpty());
    ASSERT_EQ(tree.standalone.size(), 1);
    EXPECT_EQ(tree.standalone[0].service.iddService, alone.iddService);
    EXPECT_TRUE(store.Load(s2.iddService)->deleted);
    EXPECT_TRUE(store.Load(s1.iddService)->deleted);
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork WHERE [Delete] = ?"), {false}),
        1);
    EXPECT_TRUE(store.Packages().isEmpty());

    EXPECT_FALSE(store.Delete(QStringLiteral("no-such-row")));

    // A row filed under itself is deleted without looping.
    Rows::Insert(db(), QStringLiteral("SService"),
                 {{QStringLiteral("IddService"), QStringLiteral("loop")},
                  {QStringLiteral("IddTop"), QStringLiteral("loop")},
                  {QStringLiteral("Name"), QStringLiteral("x")},
                  {QStringLiteral("Delete"), false}});
    EXPECT_TRUE(store.Delete(QStringLiteral("loop")));
    EXPECT_TRUE(store.Load(QStringLiteral("loop"))->deleted);
}

TEST_P(ServiceStoreTest, TreeSumsPackagesAndAttachesPerformers) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    ServiceCard empty;
    empty.packageText = QStringLiteral("Пустой");
    store.SaveCard(empty, kLogin);

    // 100 at 18 % with 10 % pay, and 50 at 0 % with a fixed 7: package sums 150 / 18 / 168 / 18.8.
    ServiceCard a = SaveNew(store, QStringLiteral("А"), QStringLiteral("Комплекс"));
    ServiceCard b;
    b.iddTop = a.iddTop;
    b.packageText = QStringLiteral("Комплекс");
    b.name = QStringLiteral("Б");
    b.price = Rub(50);
    b.prNds = 0;
    b.job = 7;
    b.time = QTime(23, 45);
    b.performers = {Picked(QStringLiteral("w1"), QStringLiteral("Петров"))};
    store.SaveCard(b, kLogin);

    const ServiceTree tree = store.LoadTree();
    ASSERT_EQ(tree.packages.size(), 2);
    const PackageNode &complex = tree.packages[0];  // by name: "Комплекс" before "Пустой"
    EXPECT_EQ(complex.package.name, QStringLiteral("Комплекс"));
    ASSERT_EQ(complex.services.size(), 2);
    const ServiceTotals t = complex.Totals();
    EXPECT_EQ(t.price, Rub(150.0));
    EXPECT_EQ(t.vat, Rub(18.0));
    EXPECT_EQ(t.summa, Rub(168.0));
    EXPECT_EQ(t.pay, Rub(11.8 + 7.0));
    EXPECT_EQ(t.Duration(), QStringLiteral("24:15"));  // not wrapped at midnight
    ASSERT_EQ(complex.services[1].performers.size(), 1);
    EXPECT_EQ(complex.services[1].performers[0].workFio, QStringLiteral("Петров"));

    const ServiceTotals none = tree.packages[1].Totals();
    EXPECT_EQ(tree.packages[1].package.name, QStringLiteral("Пустой"));
    EXPECT_EQ(none.summa, Rub(0.0));
    EXPECT_EQ(none.Duration(), QStringLiteral("00:00"));
}

TEST_P(ServiceStoreTest, SelectionHoldsCheckedRowsWithChildrenAndTickedPerformers) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Сидоров"));
    const ServiceCard in1 = SaveNew(store, QStringLiteral("Снятие"), QStringLiteral("Шиномонтаж"), {}, 100,
                                    18, {Picked(QStringLiteral("w1"), QStringLiteral("Петров"))});
    SaveNew(store, QStringLiteral("Установка"), QStringLiteral("Шиномонтаж"), in1.iddTop);
    const ServiceCard alone = SaveNew(store, QStringLiteral("Мойка"), {}, {}, 300, 20,
                                      {Picked(QStringLiteral("w1"), QStringLiteral("Петров")),
                                       Picked(QStringLiteral("w2"), QStringLiteral("Сидоров"))});
    SaveNew(store, QStringLiteral("Чернение"));

    const ServiceTree tree = store.LoadTree();
    EXPECT_TRUE(ServiceStore::Select(tree, {}, {}).empty());

    const SelectedServices list =
        ServiceStore::Select(tree, {in1.iddTop, alone.iddService},
                             {in1.performers[0].iddServiceWork, alone.performers[1].iddServiceWork});
    ASSERT_EQ(list.size(), 2u);
    const SelectedService &package = list[0];
    EXPECT_TRUE(package.IsPackage());
    EXPECT_EQ(package.service.name, QStringLiteral("Шиномонтаж"));
    ASSERT_EQ(package.children.size(), 2u);
    EXPECT_EQ(package.children[0].service.name, QStringLiteral("Снятие"));
    EXPECT_EQ(package.children[0].service.iddTop, in1.iddTop);
    ASSERT_EQ(package.children[0].performers.size(), 1);
    EXPECT_EQ(package.children[0].performers[0].iddWork, QStringLiteral("w1"));
    EXPECT_TRUE(package.children[1].performers.isEmpty());

    const SelectedService &wash = list[1];
    EXPECT_EQ(wash.service.iddService, alone.iddService);
    EXPECT_EQ(wash.service.iddTop, QStringLiteral("top"));
    EXPECT_EQ(wash.service.price, Rub(300.0));  // the catalogue's record as loaded
    ASSERT_EQ(wash.performers.size(), 1);       // only the ticked one
    EXPECT_EQ(wash.performers[0].workFio, QStringLiteral("Сидоров"));
}

TEST_P(ServiceStoreTest, FailedSaveLeavesNothingAndKeepsTheCardAsItWas) {
    ServiceStore store(db());
    AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Петров"));
    AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Сидоров"));
    for (int failAt : {1, 2, 3, 4}) {
        int writes = 0;
        db().SetWriteHook([&](const QString &) {
            if (++writes == failAt) throw DbError(QStringLiteral("диск переполнен"));
        });
        ServiceCard card;
        card.packageText = QStringLiteral("Шиномонтаж");
        card.name = QStringLiteral("Снятие");
        card.price = Rub(100);
        card.performers = {Picked(QStringLiteral("w1"), QStringLiteral("Петров")),
                           Picked(QStringLiteral("w2"), QStringLiteral("Сидоров"))};
        EXPECT_THROW(store.SaveCard(card, kLogin), DbError) << failAt;
        db().SetWriteHook({});
        EXPECT_EQ(CountServices(db(), QStringLiteral("1 = 1")), 0) << failAt;
        EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork")), 0) << failAt;
        EXPECT_TRUE(card.iddService.isEmpty());
        EXPECT_TRUE(card.iddTop.isEmpty());
        EXPECT_TRUE(card.performers[0].iddServiceWork.isEmpty());
    }
}

TEST_P(ServiceStoreTest, OrderLineIsReadFromTheOrder) {
    ServiceStore store(db());
    Rows::Insert(db(), QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddTop"), QStringLiteral("top")},
                  {QStringLiteral("Count"), 2.0},
                  {QStringLiteral("Name"), QStringLiteral("Мойка")},
                  {QStringLiteral("Price"), 100.0},
                  {QStringLiteral("PrNDS"), 18.0},
                  {QStringLiteral("Time"), Formats::TimeOfDay(QTime(1, 15))},
                  {QStringLiteral("PrJob"), false},
                  {QStringLiteral("Job"), 40.0},
                  {QStringLiteral("Delete"), false}});
    Rows::Insert(db(), QStringLiteral("TWork"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddWork"), QStringLiteral("w1")},
                  {QStringLiteral("WorkFIO"), QStringLiteral("Петров")},
                  {QStringLiteral("Delete"), false}});
    Rows::Insert(db(), QStringLiteral("TWork"),
                 {{QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("IddService"), QStringLiteral("s1")},
                  {QStringLiteral("IddWork"), QStringLiteral("w2")},
                  {QStringLiteral("WorkFIO"), QStringLiteral("Сидоров")},
                  {QStringLiteral("Delete"), true}});
    const auto line = store.LoadOrderLine(QStringLiteral("z1"), QStringLiteral("s1"), QStringLiteral("top"));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->name, QStringLiteral("Мойка"));
    EXPECT_EQ(line->summa, Rub(118.0));
    EXPECT_EQ(line->time, QTime(1, 15));
    EXPECT_DOUBLE_EQ(line->job, 40.0);
    const PickedWorkers workers = store.OrderLineWorkers(QStringLiteral("z1"), QStringLiteral("s1"));
    ASSERT_EQ(workers.size(), 1);
    EXPECT_EQ(workers[0].iddWork, QStringLiteral("w1"));
    EXPECT_FALSE(store.LoadOrderLine(QStringLiteral("z1"), QStringLiteral("s1"), QStringLiteral("0")));
}

TEST(ServicePerformers, PickedWorkersAreMergedWithoutDuplicates) {
    PickedWorkers list{{QStringLiteral("k0"), QStringLiteral("w1"), QStringLiteral("Петров"), false},
                       {QStringLiteral("k1"), QStringLiteral("w2"), QStringLiteral("Сидоров"), true}};
    MergePicked(list, {{QString(), QStringLiteral("w1"), QStringLiteral("Петров"), false},
                       {QString(), QStringLiteral("w2"), QStringLiteral("Сидоров"), false},
                       {QStringLiteral("junk"), QStringLiteral("w3"), QStringLiteral("Иванов"), true}});
    ASSERT_EQ(list.size(), 3);
    EXPECT_FALSE(list[1].deleted);  // the removed link comes back instead of a second one
    EXPECT_EQ(list[1].iddServiceWork, QStringLiteral("k1"));
    EXPECT_EQ(list[2].iddWork, QStringLiteral("w3"));
    EXPECT_TRUE(list[2].iddServiceWork.isEmpty());
    EXPECT_FALSE(list[2].deleted);
}

TEST_P(ServiceStoreTest, DeletingWhatIsNotThereLeavesTheCallersSaveAlone) {
    Transaction tx(db());
    Rows::Insert(db(), QStringLiteral("SBox"), {{QStringLiteral("IddBox"), QStringLiteral("b1")}});
    EXPECT_FALSE(ServiceStore(db()).Delete(QStringLiteral("no such service")));
    EXPECT_FALSE(WorkerStore(db()).Delete(QStringLiteral("no such worker")));
    EXPECT_NO_THROW(tx.Commit());
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 1);
}
