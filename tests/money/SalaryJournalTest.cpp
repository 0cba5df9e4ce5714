#include "CJSalaryView.h"
#include "CKassaView.h"
#include "CSalaryAccrualDlg.h"
#include "KassaJournalKind.h"
#include "KeyedList.h"
#include "MoneyRows.h"
#include "SalaryJournalKind.h"
#include "SalaryRows.h"
#include "SalaryStore.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <memory>

using namespace SalaryRows;

// Two payouts this month: 1 000 to Иванов and an advance of 250 to Петров.
class SalaryJournalTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDate today = QDate::currentDate();
        day = QDateTime(QDate(today.year(), today.month(), 1), QTime(10, 0));
        AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Иванов"));
        AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Петров"));
        MoneyRows::AddPay(db(), QStringLiteral("p1"), QStringLiteral("0"), SalaryPayout, -1000, day,
                          QStringLiteral("Зарплата"), QStringLiteral("1"));
        AddPayoutLine(db(), QStringLiteral("l1"), QStringLiteral("p1"), QStringLiteral("w1"), 1000);
        MoneyRows::AddPay(db(), QStringLiteral("p2"), QStringLiteral("0"), SalaryPayout, -250,
                          day.addSecs(60), QStringLiteral("Аванс"), QStringLiteral("2"));
        AddPayoutLine(db(), QStringLiteral("l2"), QStringLiteral("p2"), QStringLiteral("w2"), 250);
        MoneyRows::AddPay(db(), QStringLiteral("cash"), QStringLiteral("0"), CashOperation, -40, day,
                          QStringLiteral("Аванс"), QStringLiteral("1"));
    }
    static QString Total(const QWidget &w) { return Child<QLabel>(w, "total")->text(); }
    QDateTime day;
};
ZV_INSTANTIATE_DB_TESTS(SalaryJournalTest);

TEST_P(SalaryJournalTest, ListsPayoutsPositiveWithTheirTotalAndFilters) {
    CJSalaryView view(*ctx);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Журнал З/П"));
    const QDate today = QDate::currentDate();
    EXPECT_EQ(Child<QDateEdit>(view, "from")->date(), QDate(today.year(), 1, 1));
    EXPECT_EQ(Child<QDateEdit>(view, "to")->date(), QDate(today.year(), today.month(), today.daysInMonth()));
    const QString date = day.toString(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(RowTexts(view.list(), 4),
              (QStringList{QStringLiteral("1/") + date + QStringLiteral("/Зарплата/1000.00"),
                           QStringLiteral("2/") + date + QStringLiteral("/Аванс/250.00")}));
    EXPECT_EQ(Total(view), QStringLiteral("1250.00"));

    Edit(view, "number")->setText(QStringLiteral("2"));
    Click(view, "find");
    EXPECT_EQ(view.list()->topLevelItemCount(), 1);
    EXPECT_EQ(Total(view), QStringLiteral("250.00"));

    // The same payout is money out in the cash journal.
    CKassaView cash(*ctx);
    EXPECT_EQ(FindRow(cash.list(), QStringLiteral("1000.00"), 2), nullptr);
    EXPECT_NE(FindRow(cash.list(), QStringLiteral("-1000.00"), 2), nullptr);
}

TEST_P(SalaryJournalTest, CommandsNeedTheirRightsAndASelection) {
    LogIn(QString(Rights::kCount, u'1').replace(14, 3, QStringLiteral("000")));
    CJSalaryView view(*ctx);
    SelectRow(view.list(), QStringLiteral("1"));
    for (int id : {CJSalaryView::kAdd, CJSalaryView::kEdit, CJSalaryView::kDelete})
        EXPECT_TRUE(view.Command(id));
    EXPECT_EQ(prompter.warnings, QStringList(3, Rights::kRefusal));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_FALSE(view.Command(32811));  // the cash journal's, not this one's

    LogIn(QString(Rights::kCount, u'1'));
    CJSalaryView all(*ctx);
    prompter.Clear();
    all.Edit();
    all.Delete();
    EXPECT_EQ(prompter.warnings, (QStringList{QStringLiteral("Выберите выплату для ее изменения!"),
                                              QStringLiteral("Выберите выплату для ее удаления!")}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

TEST_P(SalaryJournalTest, DeleteMarksThePayoutAndItsLines) {
    CJSalaryView view(*ctx);
    SelectRow(view.list(), QStringLiteral("1"));
    prompter.Answer(false);
    view.Delete();
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранную выплату сотрудникам?")});
    EXPECT_EQ(view.list()->topLevelItemCount(), 2);

    SelectRow(view.list(), QStringLiteral("1"));
    view.Delete();
    EXPECT_EQ(RowTexts(view.list()), QStringList{QStringLiteral("2")});
    EXPECT_EQ(Total(view), QStringLiteral("250.00"));
    EXPECT_DOUBLE_EQ(SalaryStore(db()).WorkerPaid(QStringLiteral("w1"), day.date()), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay WHERE IddPay = 'p1' AND NomerPay = '1'")),
              1);
}

TEST_P(SalaryJournalTest, AddAndEditRunTheAccrualDialog) {
    CJSalaryView view(*ctx);
    SelectRow(view.list(), QStringLiteral("2"));
    QString title;
    dialogs.Then([&](QDialog &d) {
        auto &dlg = static_cast<CSalaryAccrualDlg &>(d);
        title = dlg.windowTitle();
        dlg.list()->topLevelItem(0)->setText(CSalaryAccrualDlg::kPayout, QStringLiteral("300"));
        dlg.accept();
        return dlg.result();
    });
    view.Edit();
    EXPECT_EQ(title, QStringLiteral("Изменение начисленной з/п"));
    EXPECT_EQ(Total(view), QStringLiteral("1300.00"));
    EXPECT_EQ(view.list()->currentItem()->text(0), QStringLiteral("2"));

    dialogs.Then([](QDialog &d) {
        d.accept();
        return d.result();
    });
    view.Add();
    EXPECT_EQ(dialogs.opened, (QStringList(2, QStringLiteral("CSalaryAccrualDlg"))));
    EXPECT_EQ(view.list()->topLevelItemCount(), 3);
}

TEST_P(SalaryJournalTest, CashJournalEditsAPayoutInTheAccrualDialog) {
    std::unique_ptr<QWidget> cash(CreateKassaJournal(*ctx));
    auto *view = qobject_cast<CKassaView *>(cash.get());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(FindRow(view->list(), QStringLiteral("-1000.00"), 2), nullptr);
    view->list()->setCurrentItem(FindRow(view->list(), QStringLiteral("-1000.00"), 2));
    QString title;
    dialogs.Then([&](QDialog &d) {
        title = d.windowTitle();
        return int(QDialog::Rejected);
    });
    view->Edit();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CSalaryAccrualDlg")});
    EXPECT_EQ(title, QStringLiteral("Изменение начисленной з/п"));
    EXPECT_TRUE(prompter.warnings.isEmpty());
}

TEST_P(SalaryJournalTest, KindGivesTheMenuToolbarAndCommands) {
    QStringList texts;
    for (const SalaryMenuItem &m : SalaryJournalMenu()) texts << m.text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Добавить"), QStringLiteral("Изменить"),
                                  QStringLiteral("Удалить"), QString(), QStringLiteral("Печать ведомости"),
                                  QStringLiteral("&Печать...\tCtrl+P")}));
    EXPECT_EQ(SalaryJournalToolbar(), (QList<int>{32796, 32797, 32798, 0, 32799}));
    std::unique_ptr<QWidget> view(CreateSalaryJournal(*ctx));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Журнал З/П"));
    EXPECT_TRUE(RunSalaryJournalCommand(view.get(), CJSalaryView::kFind));
    EXPECT_FALSE(RunSalaryJournalCommand(view.get(), 57607));
    QWidget other;
    EXPECT_FALSE(RunSalaryJournalCommand(&other, CJSalaryView::kAdd));
}
