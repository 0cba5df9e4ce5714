#include "BalanceReportKind.h"
#include "COtBalanceWorkView.h"
#include "COtWorkView.h"
#include "DbError.h"
#include "KeyedList.h"
#include "MoneyRows.h"
#include "PerformedWorksList.h"
#include "SalaryRows.h"
#include "ScreenTest.h"
#include "Widgets.h"
#include "WorksReportKind.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <memory>

using namespace SalaryRows;

// This month: a line of 3 × 200 at 18 % with 25 % pay done by Иванов and Петров; a line finished the day
// after the month; Петров was paid 100 in advance of more work.
class WorkerReportsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDate today = QDate::currentDate();
        first = QDate(today.year(), today.month(), 1);
        last = QDate(today.year(), today.month(), today.daysInMonth());
        AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Иванов"));
        AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Петров"), true);
        AddWorker(db(), QStringLiteral("w3"), QStringLiteral("Сидоров"), false, true);
        AddOrder(db(), QStringLiteral("z1"), QDateTime(last, QTime(23, 59, 59)), 2, QStringLiteral("17"));
        AddLine(db(), QStringLiteral("z1"), QStringLiteral("s"), 3, 200, 18, true, 25);
        Assign(db(), QStringLiteral("z1"), QStringLiteral("s"), QStringLiteral("w1"),
               QStringLiteral("Иванов"));
        Assign(db(), QStringLiteral("z1"), QStringLiteral("s"), QStringLiteral("w2"),
               QStringLiteral("Петров"));
        AddOrder(db(), QStringLiteral("z2"), QDateTime(last.addDays(1), QTime(0, 0)), 2,
                 QStringLiteral("18"));
        AddLine(db(), QStringLiteral("z2"), QStringLiteral("s"), 1, 100, 0, false, 10);
        Assign(db(), QStringLiteral("z2"), QStringLiteral("s"), QStringLiteral("w1"),
               QStringLiteral("Иванов"));
        MoneyRows::AddPay(db(), QStringLiteral("p"), QStringLiteral("0"), SalaryPayout, -100,
                          QDateTime(first, QTime(9, 0)), QStringLiteral("Аванс"));
        AddPayoutLine(db(), QStringLiteral("l"), QStringLiteral("p"), QStringLiteral("w2"), 100);
    }
    QDate first, last;
};
ZV_INSTANTIATE_DB_TESTS(WorkerReportsTest);

TEST_P(WorkerReportsTest, WorksReportListsTheMonthPerWorkerWithTotals) {
    std::unique_ptr<QWidget> widget(CreateWorksReport(*ctx));
    auto &view = *qobject_cast<COtWorkView *>(widget.get());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Отчет о выполненных работах"));
    EXPECT_EQ(Child<QDateEdit>(view, "to")->date(), last);

    auto *workers = Child<QComboBox>(view, "worker");
    ASSERT_EQ(workers->count(), 4);
    EXPECT_EQ(workers->itemText(0), QStringLiteral("Все"));
    EXPECT_EQ(workers->itemText(1), QStringLiteral("Сидоров"));  // deleted workers first, coloured
    EXPECT_EQ(workers->itemData(1, Qt::ForegroundRole).value<QColor>(), QColor(200, 100, 100));
    EXPECT_FALSE(workers->itemData(2, Qt::ForegroundRole).isValid());

    // The order finished on the last second of the month is in, the one finished the next day out.
    const QStringList rows = RowTexts(view.works()->list(), 9);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral("/17/") + Formats::Date(last.addDays(-1)) +
                                 QStringLiteral("/Шиномонтаж/600.00/108.00/708.00/Иванов/75.00")))
        << rows[0].toStdString();
    EXPECT_EQ(Edit(view, "totalAmount")->text(), QStringLiteral("1200.00"));
    EXPECT_EQ(Edit(view, "totalVat")->text(), QStringLiteral("216.00"));
    EXPECT_EQ(Edit(view, "totalSum")->text(), QStringLiteral("1416.00"));
    EXPECT_EQ(Edit(view, "totalPay")->text(), QStringLiteral("150.00"));

    workers->setCurrentText(QStringLiteral("Петров"));
    Child<QDateEdit>(view, "to")->setDate(last.addDays(1));
    EXPECT_TRUE(RunWorksReportCommand(&view, COtWorkView::kFind));
    EXPECT_EQ(view.works()->list()->topLevelItemCount(), 1);
    EXPECT_EQ(Edit(view, "totalPay")->text(), QStringLiteral("75.00"));
    EXPECT_FALSE(RunWorksReportCommand(&view, 32811));  // the cash journal's
}

TEST_P(WorkerReportsTest, BalanceReportShowsEveryLiveWorkerUpToTheDay) {
    std::unique_ptr<QWidget> widget(CreateBalanceReport(*ctx));
    auto &view = *qobject_cast<COtBalanceWorkView *>(widget.get());
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Отчет о расчетах с сотрудниками"));
    Child<QDateEdit>(view, "date")->setDate(last);
    EXPECT_TRUE(RunBalanceReportCommand(&view, COtBalanceWorkView::kFind));
    EXPECT_EQ(RowTexts(view.list(), 4), (QStringList{QStringLiteral("Иванов/75.00/0.00/75.00"),
                                                     QStringLiteral("Петров/75.00/100.00/-25.00")}));
    EXPECT_EQ(view.list()->topLevelItem(1)->foreground(0).color(), QColor(10, 10, 200));

    Child<QDateEdit>(view, "date")->setDate(first.addDays(-1));
    Click(view, "find");
    EXPECT_EQ(RowTexts(view.list(), 4), (QStringList{QStringLiteral("Иванов/0.00/0.00/0.00"),
                                                     QStringLiteral("Петров/0.00/0.00/0.00")}));
}

TEST_P(WorkerReportsTest, FailedReadShowsTheMessageAndNoFigures) {
    COtBalanceWorkView balance(*ctx);
    COtWorkView works(*ctx);
    db().SetStatementHook([](const QString &) { throw DbError(QStringLiteral("нет связи")); });
    balance.Find();
    works.Find();
    db().SetStatementHook({});
    EXPECT_EQ(prompter.errors, QStringList(2, QStringLiteral("нет связи")));
    EXPECT_EQ(balance.list()->topLevelItemCount(), 0);
    EXPECT_EQ(works.works()->list()->topLevelItemCount(), 0);
    EXPECT_EQ(Edit(works, "totalPay")->text(), QStringLiteral("0.00"));
}
