#include "BayBoard.h"
#include "ChangedMeanwhile.h"
#include "ErrorText.h"
#include "OrderStore.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

class BayBoardTest : public DbTest {
protected:
    static inline const QDate kDay = QDate(2026, 3, 2);  // a Monday
    static QDateTime At(int hour, int minute = 0, int day = 0) {
        return QDateTime(kDay.addDays(day), QTime(hour, minute));
    }
    void SetUp() override {
        DbTest::SetUp();
        TestRows::Put(db(), TestRows::Bay{.key = "b1", .name = "Бокс 1"});
        TestRows::Put(db(), TestRows::Bay{.key = "b2", .name = "Бокс 2"});
        TestRows::Put(db(), TestRows::Bay{.key = "b0", .name = "Старый", .deleted = true});
    }
    void Plan(const char *key, const char *bay, const QDateTime &start, const QDateTime &end, int status = 0,
              QList<TestRows::Line> lines = {}, bool deleted = false) {
        TestRows::Put(db(), TestRows::Order{.key = key,
                                            .number = QString(key).toUpper(),
                                            .begin = start,
                                            .status = status,
                                            .deleted = deleted,
                                            .lines = lines,
                                            .bay = bay,
                                            .planEnd = end});
    }
    BayBoard::Board Read(int days = 1, const QDate &first = kDay) {
        return BayBoard::Store(db()).Read(first, days, WorkingHours());
    }
    static const BayBoard::Block *Find(const BayBoard::Board &board, const char *key) {
        for (const BayBoard::Block &b : board.blocks())
            if (b.iddZakaz == QLatin1StringView(key)) return &b;
        return nullptr;
    }
    // As text, so that a failure shows it.
    std::string Slots(const QDateTime &from, qint64 secs, const WorkingHours &hours = {}, int count = 10) {
        QStringList out;
        for (const BayBoard::FreeSlot &s : BayBoard::Store(db()).FreeSlots(from, secs, hours, count))
            out << s.bay.iddBox + u' ' + s.start.toString(u"d HH:mm"_s) + u'-' + s.end.toString(u"HH:mm"_s);
        return out.join(u", "_s).toStdString();
    }
};
ZV_INSTANTIATE_DB_TESTS(BayBoardTest);

// A day's board: the live bays by name as columns, 48 slots from 8 to 20; each order planned that day on a
// live bay is a block with its number, plate, client, top-level services and the colour of its status;
// orders planned over one another share the column in lanes; what is deleted, on no bay or on a deleted bay
// is not shown.
TEST_P(BayBoardTest, ADaysBoardShowsThePlannedOrdersByBayAndSlot) {
    TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Сидоров", .tel = "+7 900"});
    TestRows::Put(db(), TestRows::Car{.key = "a1", .plate = "А001АА77"});
    Plan("z1", "b1", At(9), At(10, 30), StatusRequested,
         {{.name = "Мойка"},
          {.key = "p", .name = "Шиномонтаж", .top = "0"},
          {.name = "Колесо", .top = "p"},
          {.name = "Снято", .deleted = true}});
    db().Exec("UPDATE TZakaz SET IddAvto = 'a1' WHERE IddZakaz = 'z1'");
    Plan("z2", "b1", At(10), At(11), StatusStarted);
    Plan("z3", "b2", At(19, 30), At(9, 0, 1), StatusFinished);  // into the next morning, paid
    TestRows::Put(db(), TestRows::Pay{.key = "p3", .order = "z3", .sum = 100});
    Plan("z4", "b2", At(6), At(7), StatusFinished);  // before opening
    Plan("debt", "b2", At(12), At(13), StatusFinished);
    TestRows::Put(db(), TestRows::Pay{.key = "p1", .order = "debt", .sum = 40});
    Plan("prev", "b2", At(20, 0, -1), At(8, 30), StatusStarted);  // from the evening before
    Plan("gone", "b1", At(12), At(13), StatusRequested, {}, true);
    Plan("old", "b0", At(12), At(13));
    TestRows::Put(db(), TestRows::Order{.key = "nobay", .begin = At(12)});
    Plan("later", "b1", At(9, 0, 1), At(10, 0, 1));

    const BayBoard::Board board = Read();
    EXPECT_EQ(board.bays(), (QList<BayBoard::Bay>{{"b1", "Бокс 1"}, {"b2", "Бокс 2"}}));
    EXPECT_EQ(board.Rows(), 48);
    EXPECT_EQ(board.Columns(), 2);
    QStringList keys;
    for (const BayBoard::Block &b : board.blocks()) keys << b.iddZakaz;
    keys.sort();
    EXPECT_EQ(keys, (QStringList{"debt", "prev", "z1", "z2", "z3", "z4"}));

    const BayBoard::Block &z1 = *Find(board, "z1");
    EXPECT_EQ(QStringList({z1.number, z1.plate, z1.client, z1.phone}),
              (QStringList{"Z1", "А001АА77", "Сидоров", "+7 900"}));
    EXPECT_EQ(z1.services, u"Шиномонтаж, Мойка"_s) << "packages first, their services not listed";
    EXPECT_EQ(z1.kind(), BayBoard::Kind::Request);
    EXPECT_EQ(Find(board, "z2")->kind(), BayBoard::Kind::Accepted);
    EXPECT_EQ(Find(board, "z3")->kind(), BayBoard::Kind::Finished);
    EXPECT_EQ(Find(board, "debt")->kind(), BayBoard::Kind::Debt);
    EXPECT_EQ(Find(board, "debt")->owes, Rub(60));

    // z1 and z2 overlap from 10 to 10:30: two lanes; the others have a column of their own.
    EXPECT_EQ(std::pair(z1.lane, z1.lanes), std::pair(0, 2));
    EXPECT_EQ(std::pair(Find(board, "z2")->lane, Find(board, "z2")->lanes), std::pair(1, 2));
    EXPECT_EQ(Find(board, "z3")->lanes, 1);

    const auto places = [&](const char *key) {
        QStringList out;
        for (const BayBoard::Board::Place &p : board.Places(*Find(board, key)))
            out << u"%1:%2-%3"_s.arg(p.column).arg(p.top).arg(p.bottom);
        return out.join(u' ');
    };
    EXPECT_EQ(places("z1"), u"0:4-10"_s);
    EXPECT_EQ(places("z3"), u"1:46-48"_s) << "cut at closing";
    EXPECT_EQ(places("z4"), u"1:0-0.25"_s) << "before opening: a sliver at the top";
    EXPECT_EQ(places("prev"), u"1:0-2"_s);

    // The slot under the cursor: of two planned over one another the later one; the first slot takes in
    // what lies before opening.
    EXPECT_EQ(board.BlockAt(8, 0), board.blocks().indexOf(*Find(board, "z2")));
    EXPECT_EQ(board.BlockAt(4, 0), board.blocks().indexOf(z1));
    EXPECT_EQ(board.BlockAt(0, 0), -1);
    EXPECT_EQ(board.BlockAt(0, 1), board.blocks().indexOf(*Find(board, "z4")));
    EXPECT_EQ(board.BlockAt(2, 1), -1) << "prev ends at 8:30";
    EXPECT_EQ(board.SlotStart(5, 1), At(9, 15));

    // A week from Monday: seven days of two bays; the next day's order is in the second day's first column.
    const BayBoard::Board week = Read(7);
    EXPECT_EQ(week.Columns(), 14);
    EXPECT_EQ(week.Column(kDay.addDays(1), u"b1"_s), 2);
    EXPECT_EQ(week.DayOf(3), kDay.addDays(1));
    EXPECT_EQ(week.BayOf(3).iddBox, u"b2"_s);
    EXPECT_EQ(week.Places(*Find(week, "z3")).size(), 2) << "drawn on both days";
    EXPECT_EQ(week.BlockAt(4, 2), week.blocks().indexOf(*Find(week, "later")));
}

// Lanes: a group of orders overlapping one another takes as many lanes as it needs at once, each the first
// lane free at its start; an order after the group starts afresh.
TEST_P(BayBoardTest, OrdersPlannedOverOneAnotherShareTheColumnInLanes) {
    QList<BayBoard::Block> blocks;
    const auto block = [&](const char *key, const char *bay, int from, int to) {
        BayBoard::Block b;
        b.iddZakaz = key, b.iddBox = bay, b.start = At(from), b.end = At(to);
        blocks << b;
    };
    block("a", "b1", 9, 12);
    block("b", "b1", 10, 11);
    block("c", "b1", 11, 13);  // b's lane is free again at 11
    block("d", "b1", 13, 14);  // after the group
    block("e", "b2", 9, 12);
    BayBoard::Layout(blocks);
    QStringList lanes;
    for (const BayBoard::Block &b : blocks) lanes << u"%1%2/%3"_s.arg(b.iddZakaz).arg(b.lane).arg(b.lanes);
    EXPECT_EQ(lanes.join(u' '), u"a0/2 b1/2 c1/2 d0/1 e0/1"_s);
}

// Moving a block keeps its length and writes bay and start at once; a plan changed or deleted elsewhere since
// the board read it is not written over, and a time taken on the bay is shared only when agreed.
TEST_P(BayBoardTest, MovingAPlanKeepsItsLengthAndRespectsOtherWorkstations) {
    Plan("z1", "b1", At(9), At(10, 30));
    Plan("z2", "b2", At(11), At(12));
    BayBoard::Store store(db());
    BayBoard::Block shown = *Find(Read(), "z1");

    store.Move(shown, u"b1"_s, At(9, 15));
    const BayBoard::Block moved = *Find(Read(), "z1");
    EXPECT_EQ(std::tuple(moved.iddBox, moved.start, moved.end), std::tuple(u"b1"_s, At(9, 15), At(10, 45)));
    EXPECT_EQ(OrderStore(db()).Load(u"z1"_s)->ZakazBegin, At(9, 15)) << "the request's appointment moves too";

    // The board's old picture of z1 is stale now.
    EXPECT_THROW(store.Move(shown, u"b2"_s, At(8)), ChangedMeanwhile);
    EXPECT_EQ(Find(Read(), "z1")->start, At(9, 15));

    // Onto z2 (10:30 to 12 on b2 meets 11 to 12): asked first, stored once agreed, ending as it meets z2 not.
    try {
        store.Move(moved, u"b2"_s, At(10, 30));
        ADD_FAILURE() << "no question";
    } catch (const BayPlan::Overlap &e) {
        ASSERT_EQ(e.found().size(), 1);
        EXPECT_EQ(e.found()[0].iddZakaz, u"z2"_s);
        EXPECT_TRUE(e.Question().contains(u"заказ № Z2: 02.03.2026 11:00 – 12:00"_s))
            << e.Question().toStdString();
    }
    EXPECT_EQ(Find(Read(), "z1")->iddBox, u"b1"_s);
    store.Move(moved, u"b2"_s, At(10, 30), true);
    EXPECT_EQ(Find(Read(), "z1")->iddBox, u"b2"_s);
    store.Move(*Find(Read(), "z1"), u"b2"_s, At(9, 30));  // ends at 11, as z2 starts: no question

    const BayBoard::Block last = *Find(Read(), "z1");
    db().Exec("UPDATE TZakaz SET [Delete] = TRUE WHERE IddZakaz = 'z1'");
    try {
        store.Move(last, u"b1"_s, At(15));
        ADD_FAILURE() << "a deleted order moved";
    } catch (const ChangedMeanwhile &e) {
        EXPECT_TRUE(e.deleted());
    }
}

// Free times: within the working hours, at slot boundaries, around the plans on each bay (one ending as the
// work starts is no obstacle), on the next days when today is full; work longer than a day starts at the
// opening. At least three on each bay, earliest first, bays by name at one time.
TEST_P(BayBoardTest, FreeTimesFitTheWorkBetweenPlansWithinTheWorkingHours) {
    Plan("z1", "b1", At(9), At(10));
    Plan("z2", "b1", At(11), At(12));
    Plan("z3", "b2", At(8), At(19, 30));
    Plan("z4", "b2", At(8, 0, 1), At(20, 0, 1));
    Plan("gone", "b1", At(10), At(11), StatusRequested, {}, true);
    const WorkingHours hours{QTime(8, 0), QTime(20, 0)};

    EXPECT_EQ(Slots(At(8, 50), 3600, hours, 3),
              "b1 2 10:00-11:00, b1 2 12:00-13:00, b1 3 08:00-09:00, b2 4 08:00-09:00, b2 5 08:00-09:00, "
              "b2 6 08:00-09:00");
    EXPECT_EQ(Slots(At(8, 50), 3 * 3600, hours, 3),
              "b1 2 12:00-15:00, b1 3 08:00-11:00, b1 4 08:00-11:00, b2 4 08:00-11:00, b2 5 08:00-11:00, "
              "b2 6 08:00-11:00");
    EXPECT_EQ(Slots(At(7, 1), 60, hours, 1).substr(0, 16), "b1 2 08:00-08:15")
        << "at least a slot, from the opening";
    EXPECT_EQ(Slots(At(19, 40), 40 * 60, hours, 1).substr(0, 16), "b1 3 08:00-08:40")
        << "what does not fit before closing goes to the next day";
    EXPECT_EQ(Slots(At(8), 13 * 3600, hours, 1).substr(0, 34), "b1 3 08:00-21:00, b1 4 08:00-21:00")
        << "longer than a day: from an opening the bay is free from";
    EXPECT_EQ(BayBoard::Store(db()).FreeSlots(At(9), 3600, hours, 10).size(), 10);
    EXPECT_TRUE(BayBoard::Store(db()).FreeSlots(At(9), 3600, {QTime(20, 0), QTime(8, 0)}).isEmpty());
}

// Two workstations planning into one slot at once: the second waits for the first one's save and is then
// asked; a plan saved as it was loaded is not asked about again; the form's plan end is checked.
TEST_P(BayBoardTest, TwoCountersCannotSilentlyPlanIntoOneSlot) {
    TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Сидоров"});
    const auto order = [](const QDateTime &start, const QDateTime &end) {
        Order o;
        o.ZakazStatus = StatusRequested;
        o.ZakazData = start;
        o.ZakazBegin = start;
        o.IddVlad = u"c1"_s;
        o.client.ClientName = u"Сидоров"_s;
        o.car.AvtoNomer = u"В002ВВ77"_s;
        o.IddBox = u"b1"_s;
        o.ZakazPlanEnd = end;
        OrderLine line;
        line.iddService = u"s1"_s, line.name = u"Мойка"_s, line.price = Rub(100);
        o.lines << line;
        return o;
    };
    Order first = order(At(10), At(11)), second = order(At(10, 30), At(11, 30));
    QString asked;
    {
        Transaction tx(db());
        OrderStore(db()).Save(first, u"anna"_s);
        std::thread counter([&] {
            try {
                OrderStore(*OpenAgain()).Save(second, u"oleg"_s);
            } catch (const BayPlan::Overlap &e) {
                asked = e.found().value(0).iddZakaz;
            } catch (const DbError &e) {
                asked = e.text();
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        tx.Commit();
        counter.join();
    }
    EXPECT_EQ(asked, first.IddZakaz);
    EXPECT_TRUE(second.IsNew()) << "nothing stored for the second";
    OrderStore(*OpenAgain()).Save(second, u"oleg"_s, std::nullopt, std::nullopt, true);
    EXPECT_EQ(Read().blocks().size(), 2);

    // Saved again as loaded, over the other's plan: not asked again; moved onto a third plan: asked.
    const std::optional<Order> loaded = OrderStore(db()).Load(second.IddZakaz);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::tuple(loaded->IddBox, loaded->ZakazPlanEnd), std::tuple(u"b1"_s, At(11, 30)));
    Order again = *loaded;
    OrderStore(db()).Save(again, u"anna"_s, std::nullopt, loaded);
    again = *OrderStore(db()).Load(second.IddZakaz);
    const Order before = again;
    again.ZakazPlanEnd = At(12);
    EXPECT_THROW(OrderStore(db()).Save(again, u"anna"_s, std::nullopt, before), BayPlan::Overlap);
    again.ZakazPlanEnd = again.ZakazBegin;
    EXPECT_EQ(ErrorText([&] { OrderStore(db()).Save(again, u"anna"_s, std::nullopt, before); }),
              u"Окончание работ в боксе должно быть позже их начала.\nНичего не сохранено."_s);
    again.IddBox.clear();  // taken off the bay: its plan end goes with it
    OrderStore(db()).Save(again, u"anna"_s, std::nullopt, before);
    EXPECT_EQ(
        CountRows(db(), "SELECT 1 FROM TZakaz WHERE IddZakaz = ? AND IddBox IS NULL AND ZakazPlanEnd IS NULL",
                  {again.IddZakaz}),
        1);
}
