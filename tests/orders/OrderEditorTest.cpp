#include "Formats.h"
#include "OrderEditor.h"
#include "OrderFixtures.h"
#include "OrderMath.h"

#include <gtest/gtest.h>
#include <utility>

using namespace Fixture;

namespace {

QDateTime At(int d, int h, int m, int s = 0) {
    return QDateTime(QDate(2024, 6, d), QTime(h, m, s));
}

Order Stored(int status, const QDateTime &begin, const QDateTime &in, const QDateTime &end) {
    Order o = NewOrder();
    o.IddZakaz = u"k"_s, o.ZakazStatus = status, o.ZakazData = At(9, 0, 0);
    o.ZakazBegin = begin, o.ZakazBeginIn = in, o.ZakazEndOut = end;
    return o;
}

SelectedService Picked(const QString &key, const QString &name, double price, QTime time,
                       PickedWorkers performers = {}) {
    SelectedService s{
        .service = Service(key, name, 1, price, 0), .children = {}, .performers = std::move(performers)};
    s.service.time = time;
    return s;
}

// A package "p" of one service "s1" (100 with 18 % VAT); its own price never counts.
SelectedService Tyres() {
    SelectedService tyres = Picked(u"p"_s, u"Шиномонтаж"_s, 999, QTime(0, 0));
    tyres.service.iddTop = Group::kPackage;
    tyres.children.push_back(Picked(u"s1"_s, u"Снятие"_s, 100, QTime(0, 30)));
    tyres.children.back().service.prNds = 18;
    return tyres;
}

}  // namespace

// The status and the moments an order is stored with, from the mode it was opened in (or its stored
// status), its ticks and the pickers the clerk changed. Pickers are read to the minute; stored moments
// whose pickers were left alone are kept to the second.
TEST(OrderEditor, StatusAndMomentsFollowModeTicksAndPickers) {
    const QDateTime now = At(10, 8, 0, 30), Z = Formats::ZeroDateTime();
    const QDateTime P = At(12, 14, 0), accept = At(10, 9, 15, 30), D = At(10, 11, 45);
    const QDateTime A = At(10, 9, 15), N = At(10, 8, 0);  // the acceptance and now, to the minute
    const Order req = Stored(StatusRequested, At(12, 14, 0, 17), Z, Z);
    const Order st = Stored(StatusStarted, At(9, 10, 0), At(9, 10, 0, 5), Z);
    const Order fin = Stored(StatusFinished, At(12, 14, 0, 17), At(10, 9, 15, 42), At(10, 18, 5, 9));
    const Order *none = nullptr;          // a new order opened in `open`
    enum { Pre = 1, Acc = 2, Done = 4 };  // ticks and pickers changed
    const struct {
        const char *what;
        const Order *stored;
        int open, ticks, picks, status;
        QDateTime begin, in, end;  // invalid: not set
    } cases[] = {
        {"new, accepted", none, StatusStarted, Acc, Acc, 1, A, A, {}},
        {"new, pickers untouched", none, StatusStarted, Acc, 0, 1, N, N, {}},
        {"new, preliminary only keeps the mode", none, StatusStarted, Pre, Pre | Acc, 1, P, A, {}},
        {"new, finished", none, StatusStarted, Acc | Done, Acc | Done, 2, A, A, D},
        {"new request", none, StatusRequested, Pre, Pre | Acc, 0, P, {}, {}},
        {"new request accepted at once", none, StatusRequested, Pre | Acc, Pre | Acc, 1, P, A, {}},
        {"request, nothing ticked", &req, 0, 0, 0, 0, req.ZakazBegin, Z, Z},
        {"request accepted at its appointment", &req, 0, Acc, 0, 1, req.ZakazBegin, req.ZakazBegin, Z},
        {"request accepted and finished", &req, 0, Acc | Done, Acc | Done, 2, A, A, D},
        {"finished, nothing ticked keeps its status", &fin, 0, 0, 0, 2, fin.ZakazBegin, fin.ZakazBeginIn,
         fin.ZakazEndOut},
        {"started, preliminary makes it a request", &st, 0, Pre, 0, 0, st.ZakazBegin, st.ZakazBeginIn, Z},
        {"started, the last tick wins", &st, 0, Pre | Acc, 0, 1, st.ZakazBegin, st.ZakazBeginIn, Z},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        OrderEditor editor = c.stored ? OrderEditor(*c.stored, now) : OrderEditor(c.open, now);
        editor.SetTicks({(c.ticks & Pre) != 0, (c.ticks & Acc) != 0, (c.ticks & Done) != 0});
        if (c.picks & Pre) editor.PickAppointment(P);
        if (c.picks & Acc) editor.PickAccept(accept);
        if (c.picks & Done) editor.PickDone(D);
        const Order o = editor.Result();
        EXPECT_EQ(o.ZakazStatus, c.status);
        EXPECT_EQ(o.ZakazData, c.stored ? c.stored->ZakazData : At(10, 0, 0));
        EXPECT_EQ(o.ZakazBegin, c.begin);
        EXPECT_EQ(o.ZakazBeginIn, c.in);
        EXPECT_EQ(o.ZakazEndOut, c.end);
    }
}

// Services added again merge; the completion is proposed from the acceptance and the work planned until
// the clerk picks it or the order has a stored one.
TEST(OrderEditor, LinesMergeAndMoveTheProposedCompletion) {
    const QDateTime now = At(10, 8, 0);
    OrderEditor editor(StatusStarted, now);
    const PickedWorker petrov{{}, u"w1"_s, u"Петров"_s, false}, sidorov{{}, u"w2"_s, u"Сидоров"_s, false};
    editor.AddServices({Picked(u"wash"_s, u"Мойка"_s, 300, QTime(1, 0), {petrov})});
    editor.AddServices({Tyres(), Picked(u"wash"_s, u"Мойка"_s, 300, QTime(1, 0), {sidorov})});
    EXPECT_EQ(
        Text(editor.order().lines),
        u"wash Мойка 2x300.00 01:00 {w1,w2}; p Шиномонтаж 1x0.00 00:00 [s1 Снятие 1x100.00 +18% 00:30]"_s);
    EXPECT_EQ(editor.Totals().total, Rub(718));
    EXPECT_EQ(editor.DoneShown(), now.addSecs(150 * 60));

    // Nothing, less than nothing, or a line that is not there.
    for (const auto &[line, count] : {std::pair{0, 0.0}, {0, -2.0}, {5, 1.0}})
        EXPECT_FALSE(editor.SetQuantity({line, -1}, count)) << line << " " << count;
    EXPECT_TRUE(editor.SetQuantity({0, -1}, 3));
    EXPECT_EQ(editor.DoneShown(), now.addSecs(210 * 60));
    editor.PickAccept(At(10, 9, 0));
    EXPECT_EQ(editor.DoneShown(), At(10, 12, 30));
    editor.PickDone(At(10, 17, 0));
    editor.RemoveLine({1, -1});  // the package goes with its service
    EXPECT_EQ(Text(editor.order().lines).section(u';', 1),
              u" -p Шиномонтаж 1x0.00 00:00 [-s1 Снятие 1x100.00 +18% 00:30]"_s);
    EXPECT_EQ(editor.DoneShown(), At(10, 17, 0));
    EXPECT_EQ(editor.Totals().total, Rub(900));

    // Workers dropped are marked removed (their rows are kept); one picked again comes back.
    editor.SetWorkers({0, -1}, {sidorov});
    EXPECT_EQ(Text({*editor.Line({0, -1})}), u"wash Мойка 3x300.00 01:00 {-w1,w2}"_s);
    editor.SetWorkers({0, -1}, {sidorov, petrov});
    EXPECT_EQ(Text({*editor.Line({0, -1})}), u"wash Мойка 3x300.00 01:00 {w1,w2}"_s);
}

TEST(OrderEditor, PaymentsAndTheChecksOfOk) {
    OrderEditor editor(StatusStarted, At(10, 8, 0));
    editor.SetCar({}, {u" а123вс "_s, {}, {}, {}, {}, {}});
    editor.SetClient({}, {u" Иванов "_s, {}, {}});
    EXPECT_EQ(editor.order().car.AvtoNomer, u"А123ВС"_s);
    // A package whose services were all removed is no service, though its own line is live.
    editor.AddServices({Tyres()});
    EXPECT_EQ(editor.Check().field, OrderEditor::Field::None);
    editor.RemoveLine({0, 0});
    EXPECT_EQ(editor.Check().message, u"Добавьте предоставляемые услуги!"_s);

    const PayRecord a{.DataPay = At(1, 9, 0), .SummaPay = Rub(100)},
        b{.DataPay = At(3, 9, 0), .SummaPay = Rub(50.5)}, c{.DataPay = At(2, 9, 0), .SummaPay = Rub(20)};
    editor.AddServices({Picked(u"wash"_s, u"Мойка"_s, 300, QTime(1, 0))});
    for (const PayRecord &p : {a, b, c}) editor.AddPayment(p);
    EXPECT_EQ(editor.ShownPayments(), QList<int>({1, 2, 0}));  // newest first
    editor.RemovePayment(2);
    EXPECT_EQ(editor.ShownPayments(), QList<int>({1, 0}));
    EXPECT_EQ(editor.Debt(), Rub(149.5));

    // A stored order keeps a number, and its work cannot end before it began.
    using F = OrderEditor::Field;  // the number typed, the end picked (work began at 9:15), what is refused
    const std::tuple<QString, QDateTime, F> cases[] = {
        {"7", At(10, 9, 14), F::Done}, {"7", At(10, 9, 15), F::None}, {" ", At(10, 12, 0), F::Number}};
    for (const auto &[number, done, refused] : cases) {
        OrderEditor stored(Stored(StatusStarted, At(10, 9, 15), At(10, 9, 15), {}), At(10, 8, 0));
        stored.AddServices({Picked(u"wash"_s, u"Мойка"_s, 300, QTime(1, 0))});
        stored.SetNumber(number);
        stored.SetTicks({false, true, true});
        stored.PickDone(done);
        EXPECT_EQ(stored.Check().field, refused) << done.toString().toStdString();
    }
}

TEST(OrderMath, TotalsCountLiveLinesOnceAndSkipPackageHeaders) {
    OrderLine pkg =
        Package(u"p"_s, u"Шиномонтаж"_s,
                {Service(u"s1"_s, u"Снятие"_s, 4, 100, 18), Service(u"s2"_s, u"Балансировка"_s, 4, 50, 0)});
    pkg.price = Rub(1000);  // a header's own price never counts
    OrderLine removed = Service(u"s3"_s, u"Мойка"_s, 1, 500, 0);
    removed.deleted = true;
    OrderLine wash = Service(u"s4"_s, u"Мойка"_s, 2, 25.5, 10);
    wash.time = QTime(1, 30);

    const OrderMath::Totals t = OrderMath::Compute({pkg, removed, wash});
    // 4*100*1.18 + 4*50 + 2*25.5*1.1
    EXPECT_EQ(t.total, Rub(472 + 200 + 56.1));
    EXPECT_EQ(t.vat, Rub(72 + 5.1));
    EXPECT_EQ(t.durationSecs, (4 * 30 + 4 * 30 + 2 * 90) * 60);
    EXPECT_EQ(OrderMath::DurationText(26 * 3600 + 5 * 60), u"02:05"_s);  // past midnight wraps
    EXPECT_EQ(OrderMath::ProposedCompletion(QDateTime(QDate(2024, 1, 1), QTime(20, 0)), t.durationSecs),
              QDateTime(QDate(2024, 1, 2), QTime(3, 0)));

    // Every total is the sum of the lines as rounded: three lines at 333.33 with 20 % VAT (66.67 each).
    const OrderLine third = Service(u"t"_s, u"x"_s, 1, 333.33, 20);
    const OrderMath::Totals thirds = OrderMath::Compute({third, third, third});
    EXPECT_EQ((QList<Money>{thirds.vat, thirds.total}), (QList<Money>{Rub(200.01), Rub(1200.00)}));
}

TEST(OrderMath, PaidCountsLivePaymentsAndAKopeckIsADebt) {
    const Money paid = OrderMath::Paid(
        {{.SummaPay = Rub(100)}, {.SummaPay = Rub(18)}, {.SummaPay = Rub(1000), .Delete = 1}});
    EXPECT_EQ(paid, Rub(118.00));
    EXPECT_TRUE(OrderMath::Debt(Rub(118.01), paid).IsOutstanding());  // one kopeck is owed
    EXPECT_FALSE(OrderMath::Debt(Rub(118.00), paid).IsOutstanding());
    EXPECT_EQ(OrderMath::Debt(Rub(100), paid), Rub(-18));  // overpaid
}
