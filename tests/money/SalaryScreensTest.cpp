#include "BalanceReportKind.h"
#include "COtBalanceWorkView.h"
#include "COtWorkView.h"
#include "CSalaryAccrualDlg.h"
#include "CWorkerWorksDlg.h"
#include "ChangeFeed.h"
#include "CounterStore.h"
#include "DbError.h"
#include "Formats.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "PayText.h"
#include "PaymentStore.h"
#include "PerformedWorksList.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"
#include "WorksReportKind.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

using namespace TestRows;

// The salary screens over two workers who each earned 90 two days ago (10 % of 2 × 500 + VAT, and 80 per
// line, shared); Иванов was paid 30 of it yesterday. A third worker was deleted.
class SalaryScreensTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        const QDateTime done(QDate::currentDate().addDays(-2), QTime(12, 0));
        Put(db(), Worker{.key = "w1", .fio = "Иванов"});
        Put(db(), Worker{.key = "w2", .fio = "Петров", .workOut = true});
        Put(db(), Worker{.key = "w3", .fio = "Сидоров", .deleted = true});
        const QList<Work> both = {{"w1", "Иванов"}, {"w2", "Петров"}};
        const Line percent{.count = 2, .price = 500, .nds = 20, .prJob = true, .job = 10, .workers = both};
        const Line fixed{.name = "Шиномонтаж", .price = 300, .job = 80, .workers = both};
        Put(db(), Order{.key = "z1", .number = "17", .date = done, .status = 2, .lines = {percent, fixed}});
        Put(db(), Pay{"old", "0", SalaryPayout, -30, done.addDays(1), "Аванс", "4"});
        Put(db(), Payout{"l0", "old", "w1", 30});
        PutCounters(db(), 0, 0, 0, 4);
    }
    static QStringList Rows(const CSalaryAccrualDlg &dlg) { return RowTexts(dlg.list(), 5); }
    // The texts of the named fields, joined by blanks; by default the accrual dialog's four totals.
    static QString Texts(const QWidget &w, std::initializer_list<const char *> names = {
                                               "totalPayout", "totalDebt", "totalEarned", "totalPaid"}) {
        QStringList all;
        for (const char *name : names) all << Edit(w, name)->text();
        return all.join(u' ');
    }
    static void SetPayout(const CSalaryAccrualDlg &dlg, int row, const QString &payout) {
        dlg.list()->topLevelItem(row)->setText(CSalaryAccrualDlg::kPayout, payout);
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(SalaryScreensTest);

// A new payout proposes each worker's debt and counts it again on every trigger; the works of the chosen
// worker are shown up to the day.
TEST_P(SalaryScreensTest, NewPayoutProposesTheDebtsAndRecountsOnEveryTrigger) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    EXPECT_EQ(Edit(dlg, "number")->text(), "5");
    EXPECT_EQ(Rows(dlg), (QStringList{"Иванов/60.00/60.00/90.00/30.00", "Петров/90.00/90.00/90.00/0.00"}));
    EXPECT_EQ(dlg.list()->topLevelItem(1)->foreground(0).color(), QColor(10, 10, 200));  // has left
    Click(dlg, "Works");
    EXPECT_EQ(prompter.warnings,
              QStringList{"Выберите сотрудника, для просмотра\nинформации о выполненных работах!"});

    SelectRow(dlg.list(), "Петров");
    QStringList seen;  // the heading, then the rows
    dialogs.Then([&](QDialog &d) {
        auto &works = static_cast<CWorkerWorksDlg &>(d);
        seen = QStringList{works.Heading()} + RowTexts(works.works()->list(), 9);
        return int(QDialog::Rejected);
    });
    Click(dlg, "Works");
    EXPECT_EQ(dialogs.opened, QStringList{"CWorkerWorksDlg"});
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0], "Сведения о выполненных работах сотрудником:Петров до:" +
                           QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_EQ(seen.filter(QRegularExpression("/Петров/(40|50).00$")).size(), 2);
    // Percent: 50 halves every payout and drops what was typed, from the debts shown (the payouts' table
    // out of reach meanwhile); the button drops it too.
    SetPayout(dlg, 0, "7");
    db().Exec("ALTER TABLE TWorkPay RENAME TO TWorkPayAway");
    Edit(dlg, "percent")->setText("50");
    db().Exec("ALTER TABLE TWorkPayAway RENAME TO TWorkPay");
    EXPECT_EQ(Rows(dlg), (QStringList{"Иванов/30.00/60.00/90.00/30.00", "Петров/45.00/90.00/90.00/0.00"}));
    SetPayout(dlg, 0, "7");
    Click(dlg, "Recount");
    EXPECT_EQ(dlg.list()->topLevelItem(0)->text(CSalaryAccrualDlg::kPayout), "30.00");
    // The day: before the work was finished nobody earned anything, and the payout after it is not counted.
    Child<QDateEdit>(dlg, "onDate")->setDate(QDate::currentDate().addDays(-3));
    EXPECT_EQ(Rows(dlg), (QStringList{"Иванов/0.00/0.00/0.00/0.00", "Петров/0.00/0.00/0.00/0.00"}));
}

TEST_P(SalaryScreensTest, TotalsFollowTheTicksAndTheTypedAmountsThenThePayoutIsSavedAndReopened) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    EXPECT_EQ(Texts(dlg), "150.00 150.00 180.00 30.00");
    dlg.list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(Texts(dlg), "60.00 60.00 90.00 30.00");
    // A typed amount is read with its comma, and stored in the cell as a number.
    SetPayout(dlg, 0, " 12,5 ");
    EXPECT_EQ(dlg.list()->topLevelItem(0)->text(CSalaryAccrualDlg::kPayout), "12.5");
    EXPECT_EQ(Texts(dlg), "12.50 60.00 90.00 30.00");

    // Enter types into the row's "Выдать руб.:" cell, which takes amounts only (negative ones too).
    dlg.show();
    SelectRow(dlg.list(), "Петров");
    Press(dlg.list(), Qt::Key_Return);
    auto *editor = dlg.list()->findChild<QLineEdit *>("payoutEditor");
    ASSERT_NE(editor, nullptr);
    editor->clear();
    Type(editor, "-5x,5");
    Press(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the view takes the typed value on its next turn
    EXPECT_EQ(dlg.list()->topLevelItem(1)->text(CSalaryAccrualDlg::kPayout), "-5.5");
    SetPayout(dlg, 1, "90");
    Click(dlg, "UnSel");
    EXPECT_EQ(Texts(dlg), "0.00 0.00 0.00 0.00");
    Click(dlg, "Sel");
    EXPECT_EQ(Texts(dlg), "102.50 150.00 180.00 30.00");

    // Saved with a line per worker, the unchosen one's stored deleted, under the next free number when the
    // proposed one was taken by another workstation meanwhile.
    dlg.list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    Edit(dlg, "number")->setText("  ");
    dlg.accept();
    EXPECT_EQ(prompter.warnings, QStringList{"Укажите номер платежа!"});
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TPay"), 1);
    Edit(dlg, "number")->setText("5");
    Child<QComboBox>(dlg, "purpose")->setCurrentText("Аванс");
    CounterStore(*OpenAgain()).Take(DocCounter::Salary);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const QString key = dlg.saved().IddPay;
    const auto pay = PaymentStore(db()).LoadPayment(key);
    ASSERT_TRUE(pay);
    EXPECT_EQ(PayText(*pay), "1 0 Аванс №6 -12.50");
    EXPECT_EQ(pay->DataPay.date(), QDate::currentDate());
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 7);
    EXPECT_EQ(
        ColumnTexts(db(), "SELECT IddWork FROM TWorkPay WHERE IddPay = ? AND DeleteWorkPay = ?", {key, true}),
        QStringList{"w2"});

    // Reopened: only the chosen worker, nothing counted again.
    CSalaryAccrualDlg edit(*ctx, key);
    ASSERT_TRUE(edit.Loaded());
    EXPECT_EQ(Rows(edit), QStringList{"Иванов/12.50///"});
    EXPECT_FALSE(Edit(edit, "percent")->isEnabled() || Child<QDateEdit>(edit, "onDate")->isEnabled() ||
                 Child<QWidget>(edit, "Recount")->isEnabled());
    EXPECT_EQ(Child<QComboBox>(edit, "purpose")->currentText(), "Аванс");
    SetPayout(edit, 0, "50");
    edit.accept();
    EXPECT_EQ(PayText(*PaymentStore(db()).LoadPayment(key)), "1 0 Аванс №6 -50.00");
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TPay") + CountRows(db(), "SELECT * FROM TWorkPay"), 5);
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 7);  // an edit takes no number
}

// The works report lists the period per worker with its totals; the balance report every live worker up to
// the day.
TEST_P(SalaryScreensTest, ReportsListThePeriodPerWorker) {
    std::unique_ptr<QWidget> widget(CreateWorksReport(*ctx));
    auto *view = qobject_cast<COtWorkView *>(widget.get());
    ASSERT_NE(view, nullptr);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(Child<QDateEdit>(*view, "to")->date(), QDate(today.year(), today.month(), today.daysInMonth()));
    auto *workers = Child<QComboBox>(*view, "worker");
    QStringList names;
    for (int i = 0; i < workers->count(); ++i) names << workers->itemText(i);
    EXPECT_EQ(names, (QStringList{"Все", "Сидоров", "Иванов", "Петров"}));  // deleted workers first, coloured
    EXPECT_EQ(workers->itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(200, 100, 100));

    Child<QDateEdit>(*view, "from")->setDate(today.addDays(-2));
    workers->setCurrentText("Петров");
    EXPECT_TRUE(RunWorksReportCommand(view, COtWorkView::kFind));
    EXPECT_EQ(
        RowTexts(view->works()->list(), 9)
            .filter("/17/" + Formats::Date(today.addDays(-2)) + "/Шиномонтаж/300.00/0.00/300.00/Петров/40.00")
            .size(),
        1);
    EXPECT_EQ(Texts(*view, {"totalAmount", "totalVat", "totalSum", "totalPay"}),
              "1300.00 200.00 1500.00 90.00");
    workers->setCurrentIndex(0);
    Child<QDateEdit>(*view, "from")->setDate(today.addDays(-1));  // after the work was finished
    Click(*view, "find");
    EXPECT_EQ(view->works()->list()->model()->rowCount(), 0);
    EXPECT_FALSE(RunWorksReportCommand(view, 32811));  // the cash journal's

    std::unique_ptr<QWidget> balanceWidget(CreateBalanceReport(*ctx));
    auto *balance = qobject_cast<COtBalanceWorkView *>(balanceWidget.get());
    ASSERT_NE(balance, nullptr);
    EXPECT_TRUE(RunBalanceReportCommand(balance, COtBalanceWorkView::kFind));
    EXPECT_EQ(RowTexts(balance->list(), 4),
              (QStringList{"Иванов/90.00/30.00/60.00", "Петров/90.00/0.00/90.00"}));
    EXPECT_EQ(balance->list()->topLevelItem(1)->foreground(0).color(), QColor(10, 10, 200));
    Child<QDateEdit>(*balance, "date")->setDate(QDate::currentDate().addDays(-2));  // before the payout
    Click(*balance, "find");
    EXPECT_EQ(RowTexts(balance->list(), 4),
              (QStringList{"Иванов/90.00/0.00/90.00", "Петров/90.00/0.00/90.00"}));
    // A payout made at another counter shows by itself on the day shown.
    db().Changes().SetPollInterval(50);
    balance->show();
    const auto other = OpenAgain();
    Put(*other, Pay{"new", "0", SalaryPayout, -25, QDateTime::currentDateTime().addDays(-3), "Аванс", "5"});
    Put(*other, Payout{"l1", "new", "w2", 25});
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return RowTexts(balance->list(), 4).contains("Петров/90.00/25.00/65.00"); }));
}

// A worker with more orders than a screen holds: his works come by their first screen with the totals of
// the whole period, the rest once it is painted; a printout takes every row.
TEST_P(SalaryScreensTest, ALongListOfWorksShowsItsFirstScreenWithTheWholeTotalsAndPrintsEveryRow) {
    const QDateTime first(QDate::currentDate().addYears(-1), QTime(9, 0));
    const int orders = KeyedView::kFirstScreen + 5;
    const Line line{.price = 10, .nds = 20, .job = 1, .workers = {{"w1", "Иванов"}}};
    for (int i = 0; i < orders; ++i)
        Put(db(), Order{.key = QString::number(i), .date = first.addDays(i), .status = 2, .lines = {line}});
    COtWorkView view(*ctx);
    std::optional<PerformedWorks> printed;
    view.SetPrinter([&](const PerformedWorks &works, auto &&...) { printed = works; });
    Child<QDateEdit>(view, "from")->setDate(first.date());
    Child<QComboBox>(view, "worker")->setCurrentText("Иванов");
    Click(view, "find");
    const auto totals = [&] { return Texts(view, {"totalAmount", "totalVat", "totalSum", "totalPay"}); };
    EXPECT_FALSE(view.works()->list()->Whole());
    EXPECT_EQ(view.works()->list()->model()->rowCount(), KeyedView::kFirstScreen);
    EXPECT_EQ(totals(), "3350.00 610.00 3960.00 295.00");  // with the order of the fixture
    EXPECT_TRUE(RunWorksReportCommand(&view, COtWorkView::kPrint));
    ASSERT_TRUE(printed.has_value());
    EXPECT_EQ(printed->rows.size(), orders + 2);
    EXPECT_EQ(totals(), "3350.00 610.00 3960.00 295.00");
    EXPECT_TRUE(view.works()->list()->Whole());
}

// Figures that fail to read are shown as the error and nothing else: no payout is offered for saving until
// they are counted again.
TEST_P(SalaryScreensTest, FiguresThatFailToReadShowTheMessageAndAreNotOfferedForSaving) {
    COtBalanceWorkView balance(*ctx);
    COtWorkView works(*ctx);
    db().SetStatementHook([](const QString &sql) {
        if (sql.contains("TWork", Qt::CaseInsensitive)) throw DbError("нет связи");
    });
    balance.Find();
    works.Find();
    CSalaryAccrualDlg dlg(*ctx, QString());
    db().SetStatementHook({});
    EXPECT_EQ(prompter.errors, QStringList(3, "нет связи"));
    EXPECT_EQ(balance.list()->topLevelItemCount() + works.works()->list()->model()->rowCount() +
                  dlg.list()->topLevelItemCount(),
              0);
    EXPECT_EQ(Edit(works, "totalPay")->text(), "0.00");
    EXPECT_FALSE(Child<QWidget>(dlg, "ok")->isEnabled());
    dlg.accept();
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TPay"), 1);
    // Counting again once the database answers offers the list.
    Click(dlg, "Recount");
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 2);
    EXPECT_TRUE(Child<QWidget>(dlg, "ok")->isEnabled());
}
