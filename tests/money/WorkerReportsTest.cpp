#include "BalanceReportKind.h"
#include "COtBalanceWorkView.h"
#include "COtWorkView.h"
#include "DbError.h"
#include "Formats.h"
#include "KeyedList.h"
#include "PerformedWorksList.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"
#include "WorksReportKind.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <memory>

using namespace TestRows;

// This month: a wash of 3 × 200 at 18 % with 25 % pay done by Иванов and Петров; a line finished the day
// after the month; Петров was paid 100 in advance of more work.
class WorkerReportsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDate today = QDate::currentDate();
        first = QDate(today.year(), today.month(), 1);
        last = QDate(today.year(), today.month(), today.daysInMonth());
        Put(db(), Worker{.key = "w1", .fio = "Иванов"});
        Put(db(), Worker{.key = "w2", .fio = "Петров", .workOut = true});
        Put(db(), Worker{.key = "w3", .fio = "Сидоров", .deleted = true});
        QDateTime e(last, QTime(23, 59, 59));
        const QList<Work> both = {{"w1", "Иванов"}, {"w2", "Петров"}};
        const Line tyres{.count = 3, .price = 200, .nds = 18, .prJob = true, .job = 25, .workers = both};
        Put(db(), Order{.key = "z1", .number = "17", .date = e, .endOut = e, .status = 2, .lines = {tyres}});
        const Line next{.job = 10, .workers = {both[0]}};
        e = e.addSecs(1);  // the next midnight
        Put(db(), Order{.key = "z2", .number = "18", .date = e, .endOut = e, .status = 2, .lines = {next}});
        Put(db(), Pay{"p", "0", SalaryPayout, -100, QDateTime(first, QTime(9, 0)), "Аванс"});
        Put(db(), Payout{"l", "p", "w2", 100});
    }
    static QString Totals(const COtWorkView &view) {
        QStringList all;
        for (const char *name : {"totalAmount", "totalVat", "totalSum", "totalPay"})
            all << Edit(view, name)->text();
        return all.join(u' ');
    }
    QDate first, last;
};
ZV_INSTANTIATE_SCREEN_TESTS(WorkerReportsTest);

TEST_P(WorkerReportsTest, WorksReportListsTheMonthPerWorkerWithTotals) {
    std::unique_ptr<QWidget> widget(CreateWorksReport(*ctx));
    auto *view = qobject_cast<COtWorkView *>(widget.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Child<QDateEdit>(*view, "to")->date(), last);
    auto *workers = Child<QComboBox>(*view, "worker");
    QStringList names;
    for (int i = 0; i < workers->count(); ++i) names << workers->itemText(i);
    EXPECT_EQ(names, (QStringList{"Все", "Сидоров", "Иванов", "Петров"}));  // deleted workers first, coloured
    EXPECT_EQ(workers->itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(200, 100, 100));
    EXPECT_FALSE(workers->itemData(2, Qt::ForegroundRole).isValid());

    // The order finished on the last second of the month is in, the one finished the next day out.
    const QStringList rows = RowTexts(view->works()->list(), 9);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].endsWith("/17/" + Formats::Date(last) + "/Мойка/600.00/108.00/708.00/Иванов/75.00"))
        << rows[0].toStdString();
    EXPECT_EQ(Totals(*view), QStringLiteral("1200.00 216.00 1416.00 150.00"));

    workers->setCurrentText("Петров");
    Child<QDateEdit>(*view, "to")->setDate(last.addDays(1));
    EXPECT_TRUE(RunWorksReportCommand(view, COtWorkView::kFind));
    EXPECT_EQ(view->works()->list()->topLevelItemCount(), 1);
    EXPECT_EQ(Totals(*view), QStringLiteral("600.00 108.00 708.00 75.00"));
    EXPECT_FALSE(RunWorksReportCommand(view, 32811));  // the cash journal's
}

TEST_P(WorkerReportsTest, BalanceReportShowsEveryLiveWorkerUpToTheDay) {
    std::unique_ptr<QWidget> widget(CreateBalanceReport(*ctx));
    auto *view = qobject_cast<COtBalanceWorkView *>(widget.get());
    ASSERT_NE(view, nullptr);
    Child<QDateEdit>(*view, "date")->setDate(last);
    EXPECT_TRUE(RunBalanceReportCommand(view, COtBalanceWorkView::kFind));
    EXPECT_EQ(RowTexts(view->list(), 4),
              (QStringList{"Иванов/75.00/0.00/75.00", "Петров/75.00/100.00/-25.00"}));
    EXPECT_EQ(view->list()->topLevelItem(1)->foreground(0).color(), QColor(10, 10, 200));
    Child<QDateEdit>(*view, "date")->setDate(first.addDays(-1));
    Click(*view, "find");
    EXPECT_EQ(RowTexts(view->list(), 4), (QStringList{"Иванов/0.00/0.00/0.00", "Петров/0.00/0.00/0.00"}));
}

TEST_P(WorkerReportsTest, FailedReadShowsTheMessageAndNoFigures) {
    COtBalanceWorkView balance(*ctx);
    COtWorkView works(*ctx);
    db().SetStatementHook([](const QString &) { throw DbError("нет связи"); });
    balance.Find();
    works.Find();
    db().SetStatementHook({});
    EXPECT_EQ(prompter.errors, QStringList(2, "нет связи"));
    EXPECT_EQ(balance.list()->topLevelItemCount(), 0);
    EXPECT_EQ(works.works()->list()->topLevelItemCount(), 0);
    EXPECT_EQ(Edit(works, "totalPay")->text(), QStringLiteral("0.00"));
}
