#include "BayBoardCanvas.h"
#include "CBayBoardView.h"
#include "CBayFreeSlotsDlg.h"
#include "OrderFormFixture.h"

#include <QDateTimeEdit>
#include <QTest>

// The bay board as the clerk works it: a request booked into a free slot from the keyboard, plans moved by
// keys and by dragging, orders opened from their blocks.
class BayBoardViewTest : public OrderFormDlgTest {
protected:
    void Fill() override {
        OrderFormDlgTest::Fill();
        TestRows::Put(db(), TestRows::Bay{.key = "b1", .name = "Бокс 1"});
        TestRows::Put(db(), TestRows::Bay{.key = "b2", .name = "Бокс 2"});
    }
    // A day a week ahead, so that nothing planned on it is in the past.
    static QDateTime On(int hour, int minute = 0) {
        return QDateTime(QDate::currentDate().addDays(7), QTime(hour, minute));
    }
    std::unique_ptr<CBayBoardView> Board() {
        auto view = std::make_unique<CBayBoardView>(*ctx);
        view->ShowDay(On(0).date());
        view->canvas()->SetCursor(0, 0);  // it opens at the clock's time
        view->resize(900, 700);
        Keyboard::Activate(*view);
        view->canvas()->setFocus();
        return view;
    }
    // As text, so that a failure shows it.
    std::string Planned(const QString &order) {
        const std::optional<Order> o = OrderStore(db()).Load(order);
        if (!o) return "(gone)";
        return (o->IddBox + u' ' + o->ZakazBegin.toString(u"HH:mm"_s) + u'-' +
                o->ZakazPlanEnd.toString(u"HH:mm"_s))
            .toStdString();
    }
    void Plan(const char *order, const char *bay, int hour, int minutes) {
        TestRows::Put(db(), TestRows::Order{.key = order,
                                            .number = QString(order).toUpper(),
                                            .begin = On(hour),
                                            .status = StatusRequested,
                                            .bay = bay,
                                            .planEnd = On(hour).addSecs(minutes * 60)});
    }
    Keyboard key;
};
ZV_INSTANTIATE_SCREEN_TESTS(BayBoardViewTest);

// "When can you take my car?": the finder, given the wash (an hour), lists the free hours from the cursor;
// Enter on the first takes the request there with the wash on it, and the board shows it under the cursor.
// Enter on a free slot takes a request for that bay and time.
TEST_P(BayBoardViewTest, ARequestIsBookedIntoAFreeSlotFromTheKeyboard) {
    Plan("z1", "b1", 10, 60);
    auto view = Board();
    for (int i = 0; i < 8; ++i) key(Qt::Key_Down);  // 10:00 on Бокс 1, taken
    EXPECT_EQ(view->canvas()->CurrentBlock(), 0);
    QString shownSlots;
    dialogs.Then([&](QDialog &d) {
        auto &finder = dynamic_cast<CBayFreeSlotsDlg &>(d);
        Child<QPushButton>(finder, "pick")->click();
        EXPECT_EQ(finder.length()->time(), QTime(1, 0));
        for (int i = 0; i < 3; ++i)
            shownSlots += finder.list()->topLevelItem(i)->text(0) + u' ' +
                          finder.list()->topLevelItem(i)->text(1).right(5) + u';';
        Keyboard::Activate(finder);
        key(Qt::Key_Return);
        return finder.result();
    });
    dialogs.Then(PickServices({u"Мойка"_s}));  // from the finder's "Услуги..."
    dialogs.Then([&](QDialog &d) {
        auto &form = dynamic_cast<COrderFormDlg &>(d);
        EXPECT_EQ(form.bay()->currentText(), u"Бокс 2"_s);
        EXPECT_EQ(form.planEnd()->dateTime(), On(11));
        Child<QLineEdit>(form, "plate")->setText(u"В002ВВ77"_s);
        Child<QComboBox>(form, "client")->setEditText(u"Сидоров"_s);
        form.accept();
        return form.result();
    });
    Child<QPushButton>(*view, "find")->click();
    EXPECT_EQ(shownSlots, u"Бокс 2 10:00;Бокс 1 11:00;Бокс 1 08:00;"_s)
        << "one time per gap, the next day's opening";
    ASSERT_EQ(view->canvas()->board().blocks().size(), 2);
    const BayBoard::Block booked = view->canvas()->board().blocks()[view->canvas()->CurrentBlock()];
    EXPECT_EQ(Planned(booked.iddZakaz), "b2 10:00-11:00");
    EXPECT_EQ(booked.services, u"Мойка"_s);

    // A free slot: Enter opens a request for it, here given up.
    Keyboard::Activate(*view);
    key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Down);
    dialogs.Then([&](QDialog &d) {
        auto &form = dynamic_cast<COrderFormDlg &>(d);
        EXPECT_EQ(form.bay()->currentText(), u"Бокс 2"_s);
        EXPECT_EQ(Child<QDateTimeEdit>(form, "prelimAt")->dateTime(), On(11));
        return form.reject(), form.result();
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(dialogs.steps.empty());
    EXPECT_EQ(prompter.All().join(u'|'), QString());
}

// Ctrl+arrows move the plan under the cursor by a slot or to the next bay and save it at once, the cursor
// following; a bay's time already taken is shared only when the clerk agrees; a drag drops the plan where
// the mouse lets go; without the right to change orders nothing moves.
TEST_P(BayBoardViewTest, PlansMoveByKeysAndDragsAndAskBeforeSharingABay) {
    Plan("z1", "b1", 9, 60);
    Plan("z2", "b2", 9, 30);
    auto view = Board();
    BayBoardCanvas &canvas = *view->canvas();
    key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Down), key(Qt::Key_Down);  // 9:00, Бокс 1
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Planned(u"z1"_s), "b1 09:15-10:15") << prompter.All().join(u'|').toStdString();
    EXPECT_EQ(canvas.row(), 5) << "the cursor follows the plan";

    prompter.Answer(false);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Planned(u"z1"_s), "b1 09:15-10:15");
    ASSERT_EQ(prompter.confirms.size(), 1);
    EXPECT_TRUE(prompter.confirms[0].contains(u"заказ № Z2"_s));
    prompter.Answer(true);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Planned(u"z1"_s), "b2 09:15-10:15");
    EXPECT_EQ(canvas.column(), 1);
    const BayBoard::Block moved = canvas.board().blocks()[canvas.CurrentBlock()];
    EXPECT_EQ(moved.lanes, 2) << "shown over z2";

    // Dragged by its second slot to 13:15 on Бокс 1: it starts at 13:00.
    const QPoint from = canvas.CellRect(6, 1).center(), to = canvas.CellRect(21, 0).center();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, canvas.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &move);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, to);
    EXPECT_EQ(Planned(u"z1"_s), "b1 13:00-14:00");

    // Enter on the plan opens its order, the bay shown.
    canvas.SetCursorTo(u"z1"_s);
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(dynamic_cast<COrderFormDlg &>(d).bay()->currentText(), u"Бокс 1"_s);
        return d.reject(), d.result();
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(dialogs.steps.empty());

    view.reset();  // the owner's board goes with the owner's context
    LogIn(AllBut(Rights::Position(Right::EditOrder)));
    auto clerk = std::make_unique<CBayBoardView>(*ctx);
    clerk->ShowDay(On(0).date());
    clerk->canvas()->SetCursorTo(u"z1"_s);
    Keyboard::Activate(*clerk);
    clerk->canvas()->setFocus();
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Planned(u"z1"_s), "b1 13:00-14:00");
    EXPECT_EQ(prompter.warnings.value(0), Rights::kRefusal);
}
