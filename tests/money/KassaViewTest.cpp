#include "CKassaView.h"
#include "COrderPaymentDlg.h"
#include "KassaJournalKind.h"
#include "KeyedList.h"
#include "MoneyRows.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

using namespace MoneyRows;

class KassaViewTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDate today = QDate::currentDate();
        day = QDateTime(QDate(today.year(), today.month(), 1), QTime(9, 0));
        AddClient(db(), QStringLiteral("c1"), QStringLiteral("Ромашка"));
        AddPay(db(), QStringLiteral("in"), QStringLiteral("0"), CashOperation, 100, day,
               QStringLiteral("Аренда"), QStringLiteral("5"));
        AddPay(db(), QStringLiteral("out"), QStringLiteral("0"), CashOperation, -40, day.addSecs(60),
               QStringLiteral("Свет"), QStringLiteral("6"));
        AddPay(db(), QStringLiteral("refund"), QStringLiteral("c1"), ClientAccount, -15, day.addSecs(120),
               QStringLiteral("Возврат"), QStringLiteral("7"));
        AddPay(db(), QStringLiteral("payout"), QStringLiteral("0"), SalaryPayout, -20, day.addSecs(180),
               QStringLiteral("Аванс"), QStringLiteral("8"));
        Rows::Insert(db(), QStringLiteral("TWorkPay"),
                     {{QStringLiteral("IddWorkPay"), QStringLiteral("l1")},
                      {QStringLiteral("IddPay"), QStringLiteral("payout")},
                      {QStringLiteral("IddWork"), QStringLiteral("w1")},
                      {QStringLiteral("SummaWorkPay"), 20.0},
                      {QStringLiteral("DeleteWorkPay"), false}});
    }
    static QString Label(const QWidget &w, const char *name) { return Child<QLabel>(w, name)->text(); }

    QDateTime day;
};
ZV_INSTANTIATE_DB_TESTS(KassaViewTest);

TEST_P(KassaViewTest, ListsTheMonthWithItsTotalsAndFilters) {
    CKassaView view(*ctx);
    EXPECT_EQ(view.windowTitle(), QStringLiteral("Журнал кассы"));
    EXPECT_EQ(Child<QDateEdit>(view, "from")->date().day(), 1);
    EXPECT_EQ(Child<QDateEdit>(view, "to")->date(),
              Child<QDateEdit>(view, "from")->date().addMonths(1).addDays(-1));
    EXPECT_EQ(
        RowTexts(view.list(), 3),
        (QStringList{
            QStringLiteral("5/") + day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("/100.00"),
            QStringLiteral("6/") + day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("/-40.00"),
            QStringLiteral("7/") + day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("/-15.00"),
            QStringLiteral("8/") + day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("/-20.00")}));
    EXPECT_EQ(view.list()->topLevelItem(2)->text(6), QStringLiteral("Ромашка"));
    EXPECT_EQ(Label(view, "income"), QStringLiteral("100.00"));
    EXPECT_EQ(Label(view, "expense"), QStringLiteral("-75.00"));
    EXPECT_EQ(Label(view, "total"), QStringLiteral("25.00"));

    auto *purpose = Child<QComboBox>(view, "purpose");
    EXPECT_EQ(purpose->itemText(0), QStringLiteral("Все"));
    purpose->setCurrentIndex(purpose->findText(QStringLiteral("Свет")));
    view.Command(CKassaView::kFind);
    EXPECT_EQ(view.list()->topLevelItemCount(), 1);
    EXPECT_EQ(Label(view, "total"), QStringLiteral("-40.00"));
    purpose->setCurrentIndex(0);
    Child<QComboBox>(view, "client")->setEditText(QStringLiteral("Ромашка"));
    view.Find();
    EXPECT_EQ(RowTexts(view.list()), QStringList{QStringLiteral("7")});
}

TEST_P(KassaViewTest, CommandsNeedTheirRightsAndASelection) {
    LogIn(QStringLiteral("1111111111000"));  // the journal, but none of the three payment rights
    CKassaView view(*ctx);
    view.Add();
    view.Edit();
    view.Delete();
    EXPECT_EQ(prompter.warnings, QStringList(3, Rights::kRefusal));
    EXPECT_TRUE(dialogs.opened.isEmpty());

    LogIn(QString(Rights::kCount, u'1'));
    CKassaView allowed(*ctx);
    prompter.Clear();
    allowed.Edit();
    allowed.Delete();
    EXPECT_EQ(prompter.warnings, QStringList(2, CKassaView::kSelectOperation));
    EXPECT_TRUE(prompter.questions.isEmpty());

    // The frame runs the commands through the kind's entry point.
    prompter.Clear();
    const std::unique_ptr<QWidget> window(CreateKassaJournal(*ctx));
    EXPECT_TRUE(RunKassaJournalCommand(window.get(), CKassaView::kEdit));
    EXPECT_FALSE(RunKassaJournalCommand(window.get(), 57607));
    EXPECT_EQ(prompter.warnings, QStringList{CKassaView::kSelectOperation});
    QWidget other;
    EXPECT_FALSE(RunKassaJournalCommand(&other, CKassaView::kEdit));
}

TEST_P(KassaViewTest, EditGoesByKind) {
    CKassaView view(*ctx);
    // A payout is edited where payouts are made.
    SelectRow(view.list(), QStringLiteral("8"));
    view.Edit();
    EXPECT_EQ(prompter.warnings, QStringList{CKassaView::kPayoutElsewhere});
    bool handed = false;
    view.SetPayoutEditor([&](const CashRow &row) {
        handed = row.pay.IddPay == u"payout";
        return false;
    });
    view.Edit();
    EXPECT_TRUE(handed);

    // An account refund opens the payment dialog and stays a refund on the account.
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), COrderPaymentDlg::kEditTitle);
        Edit(d, "amount")->setText(QStringLiteral("25"));
        d.accept();
        return d.result();
    });
    SelectRow(view.list(), QStringLiteral("7"));
    view.Edit();
    const auto refund = PaymentStore(db()).LoadPayment(QStringLiteral("refund"));
    EXPECT_EQ(refund->TypePay, ClientAccount);
    EXPECT_EQ(refund->IddZakaz, QStringLiteral("c1"));
    EXPECT_DOUBLE_EQ(refund->SummaPay, -25);
    EXPECT_EQ(Label(view, "total"), QStringLiteral("15.00"));

    // A cash operation opens its own dialog, edit mode.
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(Edit(d, "amount")->text(), QStringLiteral("40.00"));
        Edit(d, "amount")->setText(QStringLiteral("45"));
        d.accept();
        return d.result();
    });
    SelectRow(view.list(), QStringLiteral("6"));
    view.Edit();
    EXPECT_DOUBLE_EQ(PaymentStore(db()).LoadPayment(QStringLiteral("out"))->SummaPay, -45);
    EXPECT_EQ(dialogs.opened,
              (QStringList{QStringLiteral("COrderPaymentDlg"), QStringLiteral("CCashOperationDlg")}));
}

TEST_P(KassaViewTest, AddAndDelete) {
    CKassaView view(*ctx);
    dialogs.Then([](QDialog &d) {
        Child<QComboBox>(d, "article")->setEditText(QStringLiteral("Касса"));
        Edit(d, "amount")->setText(QStringLiteral("10"));
        d.accept();
        return d.result();
    });
    view.Add();
    EXPECT_EQ(view.list()->topLevelItemCount(), 5);
    EXPECT_EQ(Label(view, "income"), QStringLiteral("110.00"));

    SelectRow(view.list(), QStringLiteral("8"));
    prompter.Answer(false);
    view.Delete();
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранную операцию?")});
    EXPECT_EQ(view.list()->topLevelItemCount(), 5);
    SelectRow(view.list(), QStringLiteral("8"));
    view.Delete();
    EXPECT_EQ(view.list()->topLevelItemCount(), 4);
    EXPECT_EQ(PaymentStore(db()).LoadPayment(QStringLiteral("payout"))->Delete, 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay WHERE DeleteWorkPay = ?"), {false}), 0);
}
