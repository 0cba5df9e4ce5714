#include "CJSalaryView.h"
#include "CKassaView.h"
#include "CSalaryAccrualDlg.h"
#include "Formats.h"
#include "KassaJournalKind.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "PayText.h"
#include "PaymentStore.h"
#include "SalaryJournalKind.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <tuple>

using namespace TestRows;

// The cash and salary journals over the first of this month: an income, two kinds of expense and two
// salary payouts, 1 000 to Иванов and an advance of 250 to Петров.
class JournalsTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        day = QDateTime(QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1), QTime(9, 0));
        Put(db(), Client{.key = "c1", .name = "Ромашка"});
        Put(db(), Worker{.key = "w1", .fio = "Иванов"});
        Put(db(), Worker{.key = "w2", .fio = "Петров"});
        Put(db(), Pay{"in", "0", CashOperation, 100, day, "Аренда", "5"});
        Put(db(), Pay{"out", "0", CashOperation, -40, day.addSecs(60), "Свет", "6"});
        Put(db(), Pay{"refund", "c1", ClientAccount, -15, day.addSecs(120), "Возврат", "7"});
        Put(db(), Pay{"p1", "0", SalaryPayout, -1000, day.addSecs(180), "Зарплата", "1"});
        Put(db(), Payout{"l1", "p1", "w1", 1000});
        Put(db(), Pay{"p2", "0", SalaryPayout, -250, day.addSecs(240), "Аванс", "2"});
        Put(db(), Payout{"l2", "p2", "w2", 250});
    }
    static QString Label(const QWidget &w, const char *name) { return Child<QLabel>(w, name)->text(); }
    static QString Totals(const QWidget &w) {
        return Label(w, "income") + u' ' + Label(w, "expense") + u' ' + Label(w, "total");
    }
    // The next dialog, a payout, gets `typed` as its first worker's payout and is saved; `opened` keeps its
    // title and rows as it opened.
    void ThenPayout(const QString &typed) {
        dialogs.Then([this, typed](QDialog &d) {
            auto &payout = static_cast<CSalaryAccrualDlg &>(d);
            opened = d.windowTitle() + u' ' + RowTexts(payout.list(), 2).join(u'|');
            payout.list()->topLevelItem(0)->setText(CSalaryAccrualDlg::kPayout, typed);
            return d.accept(), d.result();
        });
    }
    // The next dialog, a cash document, gets `typed` as its amount (and the article when given) and is saved.
    void ThenAmount(const QString &typed, const QString &article = {}) {
        dialogs.Then([typed, article](QDialog &d) {
            if (!article.isEmpty()) Child<QComboBox>(d, "article")->setEditText(article);
            Edit(d, "amount")->setText(typed);
            return d.accept(), d.result();
        });
    }
    QDateTime day;
    QString opened;
};
ZV_INSTANTIATE_SCREEN_TESTS(JournalsTest);

TEST_P(JournalsTest, CashJournalListsTheMonthSignedWithItsTotalsAndFilters) {
    CKassaView view(*ctx);
    EXPECT_EQ(Child<QDateEdit>(view, "from")->date(), day.date());
    EXPECT_EQ(Child<QDateEdit>(view, "to")->date(), day.date().addMonths(1).addDays(-1));
    const QString date = Formats::Date(day);
    EXPECT_EQ(RowTexts(view.list(), 3),
              (QStringList{"5/" + date + "/100.00", "6/" + date + "/-40.00", "7/" + date + "/-15.00",
                           "1/" + date + "/-1000.00", "2/" + date + "/-250.00"}));
    EXPECT_EQ(Cell(view.list()->model()->index(2, 0), 6), "Ромашка");
    EXPECT_EQ(Totals(view), "100.00 -1305.00 -1205.00");
    // The amount sorts as money (as text -15.00 would come before -250.00), and the clerk's row stays his.
    SelectIndex(view.list(), "6");
    view.list()->sortByColumn(2, Qt::AscendingOrder);
    EXPECT_EQ(RowTexts(view.list()), (QStringList{"1", "2", "6", "7", "5"}));
    EXPECT_EQ(Cell(view.list()->currentIndex(), 2), "-40.00");
    auto *purpose = Child<QComboBox>(view, "purpose");
    EXPECT_EQ(purpose->itemText(0), "Все");
    purpose->setCurrentIndex(purpose->findText("Свет"));
    view.Command(CKassaView::kFind);
    EXPECT_EQ(RowTexts(view.list()), QStringList{"6"});
    purpose->setCurrentIndex(0);
    Child<QComboBox>(view, "client")->setEditText("Ромашка");
    view.Find();
    EXPECT_EQ(RowTexts(view.list()), QStringList{"7"});
}

TEST_P(JournalsTest, SalaryJournalListsPayoutsOfTheYearPositiveWithTheirTotalAndFilters) {
    CJSalaryView view(*ctx);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(Child<QDateEdit>(view, "from")->date(), QDate(today.year(), 1, 1));
    EXPECT_EQ(Child<QDateEdit>(view, "to")->date(), QDate(today.year(), today.month(), today.daysInMonth()));
    const QString date = Formats::Date(day);
    EXPECT_EQ(RowTexts(view.list(), 4),
              (QStringList{"1/" + date + "/Зарплата/1000.00", "2/" + date + "/Аванс/250.00"}));
    EXPECT_EQ(Label(view, "total"), "1250.00");
    Edit(view, "number")->setText("2");
    Click(view, "find");
    EXPECT_EQ(RowTexts(view.list()), QStringList{"2"});

    // A payout is edited in the accrual dialog, and its row stays chosen.
    Edit(view, "number")->clear();
    Click(view, "find");
    SelectIndex(view.list(), "2");
    ThenPayout("300");
    view.Edit();
    EXPECT_EQ(opened, CSalaryAccrualDlg::kEditTitle + " Петров/250.00");
    EXPECT_EQ(Label(view, "total"), "1300.00");
    EXPECT_EQ(Cell(view.list()->currentIndex(), 0), "2");
}

TEST_P(JournalsTest, EachCommandNeedsItsOwnRightAndASelection) {
    using Maker = QWidget *(*)(AppContext &, QWidget *);
    using Runner = bool (*)(QWidget *, int);
    for (const auto &[make, run, command, right] :
         std::initializer_list<std::tuple<Maker, Runner, int, Right>>{
             {CreateKassaJournal, RunKassaJournalCommand, CKassaView::kAdd, Right::AddCash},
             {CreateKassaJournal, RunKassaJournalCommand, CKassaView::kEdit, Right::EditCash},
             {CreateKassaJournal, RunKassaJournalCommand, CKassaView::kDelete, Right::DeleteCash},
             {CreateSalaryJournal, RunSalaryJournalCommand, CJSalaryView::kAdd, Right::AddSalary},
             {CreateSalaryJournal, RunSalaryJournalCommand, CJSalaryView::kEdit, Right::EditSalary},
             {CreateSalaryJournal, RunSalaryJournalCommand, CJSalaryView::kDelete, Right::DeleteSalary}}) {
        SCOPED_TRACE(int(right));
        QString rights(Rights::kCount, u'1');
        rights[int(right)] = u'0';
        LogIn(rights);
        const std::unique_ptr<QWidget> view(make(*ctx, nullptr));
        SelectIndex(::View(*view), "2");
        prompter.Clear();
        EXPECT_TRUE(run(view.get(), command));
        EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
        EXPECT_TRUE(dialogs.opened.isEmpty() && prompter.questions.isEmpty());
    }
    LogIn(QString(Rights::kCount, u'1'));
    CKassaView cash(*ctx);
    CJSalaryView salary(*ctx);
    prompter.Clear();
    for (int command : {CKassaView::kEdit, CKassaView::kDelete}) cash.Command(command);
    for (int command : {CJSalaryView::kEdit, CJSalaryView::kDelete}) salary.Command(command);
    EXPECT_EQ(prompter.warnings, (QStringList{CKassaView::kSelectOperation, CKassaView::kSelectOperation,
                                              CJSalaryView::kSelectToEdit, CJSalaryView::kSelectToDelete}));
    EXPECT_TRUE(dialogs.opened.isEmpty() && prompter.questions.isEmpty());
    // Commands that are not the journal's own are left to the frame.
    EXPECT_FALSE(RunKassaJournalCommand(&cash, 57607) || RunSalaryJournalCommand(&salary, 32811) ||
                 RunKassaJournalCommand(&salary, CKassaView::kEdit) ||
                 RunSalaryJournalCommand(&cash, CJSalaryView::kAdd));
}

// The cash journal edits each kind in its own dialog. A delete asks first, and a payout deleted from either
// journal goes from both; what is added shows in its journal.
TEST_P(JournalsTest, CashJournalEditsEachKindInItsOwnDialogAndBothJournalsDeleteAndAdd) {
    CKassaView bare(*ctx);  // without the frame's payout editor: payouts are changed elsewhere
    SelectIndex(bare.list(), "1");
    bare.Edit();
    EXPECT_EQ(prompter.warnings, QStringList{CKassaView::kPayoutElsewhere});
    prompter.Clear();

    const std::unique_ptr<QWidget> made(CreateKassaJournal(*ctx));
    auto &cash = *qobject_cast<CKassaView *>(made.get());
    ThenPayout("900");
    SelectIndex(cash.list(), "1");
    cash.Edit();
    EXPECT_EQ(opened, CSalaryAccrualDlg::kEditTitle + " Иванов/1000.00");
    EXPECT_EQ(PaymentStore(db()).LoadPayment("p1")->SummaPay.Text(), "-900.00");
    // An account refund stays a refund on the account; a cash operation keeps its kind.
    for (const auto &[row, key, typed, stored] : {std::tuple{"7", "refund", "25", "2 c1 Возврат №7 -25.00"},
                                                  std::tuple{"6", "out", "45", "5 0 Свет №6 -45.00"}}) {
        ThenAmount(typed);
        SelectIndex(cash.list(), row);
        cash.Edit();
        EXPECT_EQ(PayText(*PaymentStore(db()).LoadPayment(key)), stored);
    }
    EXPECT_EQ(Totals(cash), "100.00 -1220.00 -1120.00");

    CJSalaryView salary(*ctx);
    SelectIndex(cash.list(), "1");
    SelectIndex(salary.list(), "2");
    for (int i = 0; i < 2; ++i) prompter.Answer(false);
    cash.Delete();
    salary.Delete();
    EXPECT_EQ(prompter.confirms,
              (QStringList{"Удалить выбранную операцию?", "Удалить выбранную выплату сотрудникам?"}));
    EXPECT_EQ(cash.list()->model()->rowCount() + salary.list()->model()->rowCount(), 7);
    cash.Delete();
    salary.Delete();
    EXPECT_EQ(cash.list()->model()->rowCount(), 4);
    EXPECT_EQ(salary.list()->model()->rowCount(), 0);

    ThenAmount("10", "Касса");
    cash.Add();
    EXPECT_EQ(cash.list()->model()->rowCount(), 4);
    EXPECT_EQ(Label(cash, "income"), "110.00");
    ThenPayout("30");
    salary.Add();
    EXPECT_EQ(salary.list()->model()->rowCount(), 1);
    EXPECT_EQ(dialogs.opened, (QStringList{"CSalaryAccrualDlg", "COrderPaymentDlg", "CCashOperationDlg",
                                           "CCashOperationDlg", "CSalaryAccrualDlg"}));
}
