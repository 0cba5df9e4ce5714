#include "ErrorText.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"
#include "TyreStore.h"

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

class TyreStoreTest : public DbTest {
protected:
    static inline const QDate kIn = QDate(2026, 4, 10);
    void SetUp() override {
        DbTest::SetUp();
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Сидоров Иван"});
        TestRows::Put(db(), TestRows::Client{.key = "c2", .name = "ООО Ромашка"});
        TestRows::Put(db(), TestRows::Car{.key = "a1", .plate = "А001АА77", .owner = "c1"});
        TestRows::Put(db(), TestRows::Car{.key = "a2", .plate = "В777ОР199", .owner = "c2"});
        TyreStore store(db());
        cell1 = store.SavePlace({.rack = "A", .shelf = "1", .cell = "1"}, u"anna"_s);
        cell2 = store.SavePlace({.rack = "A", .shelf = "1", .cell = "2", .capacity = 2}, u"anna"_s);
    }
    static TyreSet Set(const char *client, const char *car, const QString &place) {
        TyreSet s;
        s.iddClient = QString::fromLatin1(client), s.iddAvto = QString::fromLatin1(car), s.iddPlace = place;
        s.maker = u"Nokian"_s, s.model = u"Hakkapeliitta 10"_s, s.size = u"205/55 R16"_s;
        s.tread = {7.5, 7.0, 6.8, 7.2};
        s.dateIn = kIn;
        s.fee = Rub(1500);
        return s;
    }
    QStringList Occupancy() {
        QStringList out;
        for (const StoragePlace &p : TyreStore(db()).Places())
            out << u"%1 %2/%3"_s.arg(p.Text()).arg(p.occupied).arg(p.capacity);
        return out;
    }
    QString cell1, cell2;
};
ZV_INSTANTIATE_DB_TESTS(TyreStoreTest);

// A set is taken in with a code of its day, paid a season ahead unless told otherwise, read back as typed,
// found in the journal; it is given back once, and a season begun after the paid date is owed for.
TEST_P(TyreStoreTest, ASetIsTakenInFoundAndGivenBackWithTheSeasonsOverdue) {
    TyreStore store(db());
    TyreSet winter = Set("c1", "a1", cell1);
    store.TakeIn(winter, u"anna"_s);
    EXPECT_EQ(winter.code, u"260410-1"_s);
    EXPECT_EQ(winter.paidUntil, QDate(2026, 10, 10));
    TyreSet summer = Set("c2", "a2", cell2);
    summer.season = TyreSeason::Summer, summer.rims = true, summer.count = 2, summer.tread = {5.0, 4.5};
    summer.paidUntil = QDate(2026, 5, 1);
    store.TakeIn(summer, u"anna"_s);
    EXPECT_EQ(summer.code, u"260410-2"_s);

    const TyreSet read = store.Load(winter.iddTyre).value();
    EXPECT_EQ(read.Description(), u"4 шт., 205/55 R16, Nokian Hakkapeliitta 10, зимние, без дисков"_s);
    EXPECT_EQ(read.TreadText(), u"7.5; 7.0; 6.8; 7.2"_s);
    EXPECT_EQ(
        std::tuple(read.clientName, read.plate, read.placeText, read.fee, read.dateIn),
        std::tuple(u"Сидоров Иван"_s, u"А001АА77"_s, u"Стеллаж A, полка 1, ячейка 1"_s, Rub(1500), kIn));
    EXPECT_EQ(store.Load(summer.iddTyre)->Description(),
              u"2 шт., 205/55 R16, Nokian Hakkapeliitta 10, летние, с дисками"_s);

    const auto codes = [&](TyreFilter f) {
        QStringList out;
        for (const TyreSet &s : store.Search(f)) out << s.code;
        return out;
    };
    EXPECT_EQ(codes({}), (QStringList{"260410-2", "260410-1"}));
    EXPECT_EQ(codes({.plate = "а001"}), QStringList{"260410-1"}) << "part of a plate, any case";
    EXPECT_TRUE(codes({.plate = "%"}).isEmpty()) << "a wildcard is a character like any other";
    EXPECT_EQ(codes({.client = "ромаш"}), QStringList{"260410-2"});
    EXPECT_EQ(codes({.season = TyreSeason::Winter}), QStringList{"260410-1"});
    EXPECT_EQ(codes({.state = TyreFilter::State::Overdue, .today = QDate(2026, 6, 1)}),
              QStringList{"260410-2"});
    EXPECT_EQ(store.OfCar(u"a2"_s).value(0).code, u"260410-2"_s);
    EXPECT_EQ(store.OfClient(u"c1"_s).value(0).code, u"260410-1"_s);

    // Back within the paid time: nothing owed; a second time: refused.
    EXPECT_EQ(store.GiveOut(winter.iddTyre, QDate(2026, 10, 10)), 0);
    EXPECT_EQ(ErrorText([&] { store.GiveOut(winter.iddTyre, QDate(2026, 10, 11)); }),
              u"Комплект уже выдан 10.10.2026."_s);
    EXPECT_EQ(codes({.state = TyreFilter::State::GivenOut}), QStringList{"260410-1"});
    // Paid until 1 May, back on 2 November: a season begun on 2 May and one on 1 November.
    EXPECT_EQ(store.GiveOut(summer.iddTyre, QDate(2026, 11, 2)), 2);
    EXPECT_EQ(SeasonsOverdue(QDate(2026, 5, 1), QDate(2026, 5, 2)), 1);
    EXPECT_EQ(SeasonsOverdue(QDate(2026, 5, 1), QDate(2026, 11, 1)), 1);
    EXPECT_EQ(SeasonsOverdue(QDate(2026, 5, 1), QDate(2026, 5, 1)), 0);
    EXPECT_TRUE(codes({}).isEmpty());
}

// A place holds as many sets as its capacity: a full one is refused (and not proposed), giving back or
// deleting a set frees room, and a place cannot shrink below what it holds.
TEST_P(TyreStoreTest, APlaceHoldsNoMoreSetsThanItsCapacity) {
    TyreStore store(db());
    EXPECT_EQ(store.FreePlace()->iddPlace, cell1);
    TyreSet first = Set("c1", "a1", cell1);
    store.TakeIn(first, u"anna"_s);
    EXPECT_EQ(store.FreePlace()->iddPlace, cell2) << "the first place is full";
    TyreSet second = Set("c2", "a2", cell1);
    EXPECT_THROW(store.TakeIn(second, u"anna"_s), PlaceTaken);
    EXPECT_TRUE(second.iddTyre.isEmpty() && store.Search({}).size() == 1);
    second.iddPlace = cell2;
    store.TakeIn(second, u"anna"_s);
    TyreSet third = Set("c2", "a2", cell2);
    store.TakeIn(third, u"anna"_s);
    EXPECT_FALSE(store.FreePlace());
    EXPECT_EQ(Occupancy(),
              (QStringList{"Стеллаж A, полка 1, ячейка 1 1/1", "Стеллаж A, полка 1, ячейка 2 2/2"}));

    // Moved onto a full place: refused; the card's other changes neither.
    first.iddPlace = cell2, first.damage = u"порез на боковине"_s;
    EXPECT_THROW(store.Update(first), PlaceTaken);
    EXPECT_EQ(store.Load(first.iddTyre)->damage, QString());
    EXPECT_EQ(ErrorText([&] { store.SavePlace({.iddPlace = cell2, .cell = "2", .capacity = 1}, u"anna"_s); }),
              u"Здесь хранится комплектов: 2 — вместимость не может быть меньше.\nНичего не сохранено."_s);

    store.GiveOut(second.iddTyre, QDate(2026, 5, 1));
    store.Delete(third.iddTyre);
    EXPECT_EQ(Occupancy().value(1), u"Стеллаж A, полка 1, ячейка 2 0/2"_s);
    store.Update(first);  // now there is room
    EXPECT_EQ(store.Load(first.iddTyre)->damage, u"порез на боковине"_s);
    EXPECT_EQ(Occupancy(),
              (QStringList{"Стеллаж A, полка 1, ячейка 1 0/1", "Стеллаж A, полка 1, ячейка 2 1/2"}));
    EXPECT_EQ(ErrorText([&] { store.Update(*store.Load(second.iddTyre)); }).section(u':', 0, 0),
              u"Комплект уже выдан"_s);

    // Places as a clerk reads them: cell 3 before cell 10, a rack's letter in either case alike.
    store.SavePlace({.rack = "a", .shelf = "1", .cell = "10"}, u"anna"_s);
    store.SavePlace({.rack = "A", .shelf = "1", .cell = "3"}, u"anna"_s);
    QStringList cells;
    for (const StoragePlace &p : store.Places()) cells << p.cell;
    EXPECT_EQ(cells, (QStringList{"1", "2", "3", "10"}));
}

// What a card must hold is checked before anything is written.
TEST_P(TyreStoreTest, ACardMissingWhatItNeedsIsRefusedByField) {
    TyreStore store(db());
    const struct {
        std::function<void(TyreSet &)> spoil;
        const char *field;
    } cases[] = {
        {[](TyreSet &s) { s.iddAvto.clear(); }, "TTyre.IddAvto"},
        {[](TyreSet &s) { s.count = 0; }, "TTyre.Count"},
        {[](TyreSet &s) { s.count = 3; }, "TTyre.Tread"},  // four depths for three tyres
        {[](TyreSet &s) { s.tread[1] = -1; }, "TTyre.Tread"},
        {[](TyreSet &s) { s.iddPlace.clear(); }, "TTyre.IddPlace"},
        {[](TyreSet &s) { s.paidUntil = kIn.addDays(-1); }, "TTyre.PaidUntil"},
        {[](TyreSet &s) { s.fee = Rub(-1); }, "TTyre.Fee"},
        {[](TyreSet &s) { s.size = QString(65, u'9'); }, "TTyre.Size"},
    };
    for (const auto &c : cases) {
        TyreSet s = Set("c1", "a1", cell2);
        c.spoil(s);
        try {
            store.TakeIn(s, u"anna"_s);
            ADD_FAILURE() << c.field;
        } catch (const DbError &e) {
            EXPECT_EQ(e.field(), QString::fromLatin1(c.field)) << e.text().toStdString();
        }
    }
    EXPECT_TRUE(store.Search({.state = TyreFilter::State::All}).isEmpty());
}

// Two counters putting a set into the last room of one cell at once: the second waits for the first one's
// save and is refused.
TEST_P(TyreStoreTest, TwoCountersCannotPutTwoSetsIntoOneCell) {
    TyreSet mine = Set("c1", "a1", cell1), theirs = Set("c2", "a2", cell1);
    QString refused;
    {
        Transaction tx(db());
        TyreStore(db()).TakeIn(mine, u"anna"_s);
        std::thread counter([&] {
            try {
                TyreStore(*OpenAgain()).TakeIn(theirs, u"oleg"_s);
            } catch (const DbError &e) {
                refused = e.text();
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        tx.Commit();
        counter.join();
    }
    EXPECT_EQ(refused, PlaceTaken().text());
    EXPECT_EQ(TyreStore(db()).Search({}).size(), 1);
}
