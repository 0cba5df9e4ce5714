#include "CCarDlg.h"
#include "CClientDlg.h"
#include "CTyreJournalView.h"
#include "CTyreSetDlg.h"
#include "OrderFormFixture.h"
#include "StatusColors.h"

#include <QMenu>
#include <QSpinBox>

// The tyre storage journal as the clerk works it: a winter set taken in and printed, found by plate half a
// year later and given back with the seasons beyond the paid one charged on an order.
class TyreJournalViewTest : public OrderFormDlgTest {
protected:
    void Fill() override {
        OrderFormDlgTest::Fill();
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Сидоров Иван", .tel = "+7 900"});
        TestRows::Put(db(), TestRows::Car{.key = "a1", .plate = "А001АА77", .owner = "c1"});
        TyreStore store(db());
        full = store.SavePlace({.rack = "A", .cell = "1"}, u"anna"_s);
        free = store.SavePlace({.rack = "A", .cell = "2"}, u"anna"_s);
        TyreSet old;
        old.iddClient = u"c1"_s, old.iddAvto = u"a1"_s, old.iddPlace = full;
        old.dateIn = QDate::currentDate().addMonths(-13), old.fee = Rub(1500);
        store.TakeIn(old, u"anna"_s);  // paid until seven months ago
        oldKey = old.iddTyre;
    }
    std::unique_ptr<CTyreJournalView> Journal() {
        auto view = std::make_unique<CTyreJournalView>(*ctx);
        view->SetPrinters([this](const TyreSet &s) { printed << u"receipt "_s + s.code; },
                          [this](const TyreSet &s) { printed << u"labels "_s + s.plate; },
                          [this](CTyreJournalView::ReportOrder o) { printed << u"report %1"_s.arg(int(o)); });
        view->resize(1000, 500);
        return view;
    }
    QString full, free, oldKey;
    QStringList printed;
};
ZV_INSTANTIATE_SCREEN_TESTS(TyreJournalViewTest);

TEST_P(TyreJournalViewTest, ASetIsTakenInPrintedFoundByPlateAndGivenBackWithTheFee) {
    auto view = Journal();
    ASSERT_EQ(view->shown().size(), 1);
    EXPECT_EQ(view->list()->topLevelItem(0)->foreground(0).color(), StatusColors::Overdue()) << "overdue";

    // Taken in: the free place is proposed; depths typed with commas; a depth that is no number is refused.
    dialogs.Then([&](QDialog &d) {
        auto &card = dynamic_cast<CTyreSetDlg &>(d);
        EXPECT_EQ(card.place()->currentData().toString(), free);
        card.PresetCar(u"a1"_s, u"c1"_s);
        EXPECT_EQ(card.car()->text(), u"А001АА77 — Сидоров Иван"_s);
        card.tread()->setText(u"7,5; 7; шесть"_s);
        card.accept();
        EXPECT_NE(card.result(), QDialog::Accepted);
        card.tread()->setText(u"7,5; 7; 6,8; 7,2"_s);
        card.accept();
        return card.result();
    });
    view->TakeIn();
    EXPECT_TRUE(dialogs.steps.empty());
    ASSERT_EQ(view->shown().size(), 2);
    const TyreSet taken = view->shown().first();
    EXPECT_EQ(std::tuple(taken.iddPlace, taken.TreadText(), taken.paidUntil),
              std::tuple(free, u"7.5; 7.0; 6.8; 7.2"_s, QDate::currentDate().addMonths(6)));
    EXPECT_EQ(printed, (QStringList{u"receipt "_s + taken.code, u"labels А001АА77"_s}));
    // The spreadsheet's menu and the frame's print.
    for (QAction *a : Child<QPushButton>(*view, "excel")->menu()->actions()) a->trigger();
    view->Print();
    EXPECT_EQ(printed.mid(2), (QStringList{"report 0", "report 1", "report 2", "report 0"}));
    ASSERT_TRUE(prompter.warnings.value(0).startsWith(u"Глубина протектора «шесть» — не число."_s));

    // Found by part of the plate, given back: a season begun beyond the paid one (and the one before it)
    // charged on a new order for the client.
    view->plate()->setText(u"а001"_s);
    view->Search();
    view->list()->SelectKey(oldKey);
    prompter.Clear();
    dialogs.Then([&](QDialog &d) {
        auto &form = dynamic_cast<COrderFormDlg &>(d);
        const OrderLine line = form.order().lines.value(0);
        EXPECT_TRUE(line.name.startsWith(u"Хранение шин сверх оплаченного срока"_s))
            << line.name.toStdString();
        EXPECT_EQ(std::pair(line.count, line.price), std::pair(2.0, Rub(1500)));
        form.accept();
        return form.result();
    });
    view->GiveOut();
    EXPECT_TRUE(dialogs.steps.empty());
    ASSERT_EQ(prompter.confirms.size(), 2);
    EXPECT_TRUE(prompter.confirms[1].contains(u"начат сезонов: 2, к оплате 3000.00"_s))
        << prompter.confirms[1].toStdString();
    EXPECT_FALSE(TyreStore(db()).Load(oldKey)->Kept());
    EXPECT_EQ(CountRows(db(), "SELECT 1 FROM TZakaz WHERE IddVlad = 'c1' AND ZakazSumma = 3000"), 1);

    // The client's card and the car's show both sets, the one given back with its day.
    {
        CClientDlg client(*ctx, u"c1"_s);
        CCarDlg car(*ctx, u"a1"_s);
        for (QDialog *card : {static_cast<QDialog *>(&client), static_cast<QDialog *>(&car)}) {
            const auto *sets = Child<KeyedList>(*card, "tyreSets");
            ASSERT_EQ(sets->topLevelItemCount(), 2);
            EXPECT_EQ(sets->topLevelItem(1)->text(6), QDate::currentDate().toString(u"dd.MM.yyyy"_s));
        }
    }

    // Without the right to give sets back nothing happens.
    view.reset();  // the owner's journal goes with the owner's context
    LogIn(AllBut(Rights::Position(Right::TyreGiveOut)));
    auto clerk = Journal();
    clerk->list()->setCurrentItem(clerk->list()->topLevelItem(0));
    prompter.Clear();
    clerk->GiveOut();
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
    EXPECT_TRUE(TyreStore(db()).Load(taken.iddTyre)->Kept());
}

// An order taken with the storage service offers to take the set in, for the order and at its price.
TEST_P(TyreJournalViewTest, AnOrderWithTheStorageServiceOffersToTakeTheSetIn) {
    ServiceCard storage{.name = u"Хранение шин, сезон"_s, .price = Rub(2000)};
    ServiceStore(db()).SaveCard(storage, u"anna"_s);
    COrderFormDlg form(*ctx, OrderFormMode::New);
    form.PresetClient(u"c1"_s);
    dialogs.Then(PickServices({u"Хранение шин, сезон"_s}));
    form.lines()->AddLines();
    dialogs.Then([&](QDialog &d) {
        auto &card = dynamic_cast<CTyreSetDlg &>(d);
        EXPECT_EQ(card.car()->text(), u"А001АА77 — Сидоров Иван"_s);
        card.accept();
        return card.result();
    });
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted) << prompter.All().join(u'|').toStdString();
    EXPECT_EQ(prompter.confirms.value(0),
              u"В заказе есть услуга «Хранение шин, сезон».\nПринять комплект шин на хранение?"_s);
    const QList<TyreSet> kept = TyreStore(db()).OfCar(u"a1"_s);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(std::tuple(kept[0].iddZakaz, kept[0].fee, kept[0].iddPlace),
              std::tuple(form.order().IddZakaz, Rub(2000), free));
}
