#include "CQuellmarodView.h"
#include "KeyedView.h"
#include "OrderFormFixture.h"
#include "OrderJournalModel.h"

#include <QComboBox>
#include <QTest>

// Two windows of one program, or a second workstation, write under an open order journal.
class LiveJournalTest : public Fixture::WithOrders<ScreenTest> {
protected:
    std::unique_ptr<CQuellmarodView> Journal() {
        db().Changes().SetPollInterval(50);  // another program's commit is looked for every second otherwise
        auto view = std::make_unique<CQuellmarodView>(*ctx, [](OrderFormMode, QString &) { return false; });
        view->resize(800, 400);
        view->show();
        return view;
    }
    static QString DebtOf(CQuellmarodView &view, const QString &number) {
        const QModelIndex row = FindIndex(view.list(), number, OrderJournalModel::ColNumber);
        return row.isValid() ? Cell(row, OrderJournalModel::ColDebt) : u"(not listed)"_s;
    }
    // Runs the event loop until the journal shows the order's debt as given (two seconds at most).
    static bool Shows(CQuellmarodView &view, const QString &number, const QString &debt) {
        return QTest::qWaitFor([&] { return DebtOf(view, number) == debt; }, 2000);
    }
    static QDateTime Today() { return QDateTime(QDate::currentDate(), QTime(10, 0)); }
};
// On both databases: each tells the journal of other connections' writes in its own way.
ZV_INSTANTIATE_DB_TESTS(LiveJournalTest);

TEST_P(LiveJournalTest, APaymentInOneWindowShowsInTheOtherWithItsRowAndFilterKept) {
    Put({.key = "z1", .number = "1", .date = Today(), .lines = {{.price = 600}}});
    Put({.key = "z2", .number = "2", .date = Today(), .lines = {{.price = 300}}});
    auto first = Journal(), second = Journal();
    const auto status = Child<QComboBox>(*second, "status");
    status->setCurrentIndex(status->findData(int(JournalStatus::Unpaid)));
    Click(*second, "find");
    ASSERT_TRUE(SelectIndex(second->list(), u"2"_s, OrderJournalModel::ColNumber).isValid());
    ASSERT_EQ(DebtOf(*second, u"1"_s), u"600.00"_s);

    // The first window takes part of the debt of order 1, then the rest.
    ASSERT_TRUE(SelectIndex(first->list(), u"1"_s, OrderJournalModel::ColNumber).isValid());
    dialogs.Then(Pay(u"400"_s));
    first->RunCommand(CQuellmarodView::kPay);
    EXPECT_TRUE(Shows(*second, u"1"_s, u"200.00"_s)) << DebtOf(*second, u"1"_s).toStdString();
    EXPECT_EQ(second->SelectedOrder(), u"z2"_s);
    EXPECT_EQ(status->currentData().toInt(), int(JournalStatus::Unpaid));
    dialogs.Then(Pay(u"200"_s));
    first->RunCommand(CQuellmarodView::kPay);
    // Paid off, the order leaves the list of unpaid orders; the clerk is still on his.
    EXPECT_TRUE(Shows(*second, u"1"_s, u"(not listed)"_s));
    EXPECT_EQ(second->SelectedOrder(), u"z2"_s);
}

TEST_P(LiveJournalTest, AnotherWorkstationsOrdersAndMarksShowWithoutPressingAnything) {
    Put({.key = "z1", .number = "1", .date = Today(), .lines = {{.price = 600}}});
    auto journal = Journal();
    ASSERT_TRUE(SelectIndex(journal->list(), u"1"_s, OrderJournalModel::ColNumber).isValid());
    auto other = OpenAgain();
    TestRows::Put(*other, TestRows::Client{.key = "c-z9", .name = "Смирнов"});
    TestRows::Put(*other, TestRows::Order{.key = "z9",
                                          .number = "9",
                                          .date = Today(),
                                          .begin = Today(),
                                          .client = "c-z9",
                                          .lines = {{.price = 450}}});
    EXPECT_TRUE(Shows(*journal, u"9"_s, u"450.00"_s));
    TestRows::Put(*other, TestRows::Pay{.key = "p1", .order = "z1", .sum = 100});
    EXPECT_TRUE(Shows(*journal, u"1"_s, u"500.00"_s));
    other->Exec("UPDATE TZakaz SET [Delete] = ? WHERE IddZakaz = ?", {true, "z9"});
    EXPECT_TRUE(Shows(*journal, u"9"_s, u"(not listed)"_s));
    EXPECT_EQ(journal->SelectedOrder(), u"z1"_s);

    // A hidden journal catches up when it is shown again.
    journal->hide();
    TestRows::Put(*other, TestRows::Pay{.key = "p2", .order = "z1", .sum = 100});
    QTest::qWait(100);
    EXPECT_EQ(DebtOf(*journal, u"1"_s), u"500.00"_s);
    journal->show();
    EXPECT_TRUE(Shows(*journal, u"1"_s, u"400.00"_s));
}
