#include "COrderPaymentDlg.h"
#include "Rub.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

// The dialog needs no right: the user has none.
class OrderPaymentDlgTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (ctx) LogIn(QString());
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(OrderPaymentDlgTest);

TEST_P(OrderPaymentDlgTest, NewPaymentProposesTheDebtAndRecomputesTheRemainderAsTyped) {
    PayRecord pay;
    pay.NomerPay = QStringLiteral("41");
    pay.ProposedNomer = QStringLiteral("41");
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.DataPay = QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30));
    pay.TypePay = ClientAccount;  // whatever came in, an order payment leaves as one
    pay.Delete = 1;
    COrderPaymentDlg dlg(*ctx, pay, COrderPaymentDlg::kNewTitle, true, Money::Kopecks(150025));

    EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("41"));
    EXPECT_EQ(Child<QLabel>(dlg, "purpose")->text(), QStringLiteral("Оплата услуг"));
    EXPECT_EQ(Child<QDateEdit>(dlg, "date")->date(), QDate(2024, 3, 5));
    EXPECT_EQ(Child<QLabel>(dlg, "debt")->text(), QStringLiteral("1500.25"));
    EXPECT_EQ(Edit(dlg, "amount")->text(), QStringLiteral("1500.25"));
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), QStringLiteral("0.00"));

    Edit(dlg, "amount")->setText(QStringLiteral(" 1 000,5 "));
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), QStringLiteral("499.75"));
    Child<QDateEdit>(dlg, "date")->setDate(QDate(2024, 3, 6));
    Edit(dlg, "doc")->setText(QStringLiteral("  чек 7 "));
    Edit(dlg, "note")->setText(QStringLiteral("наличными"));
    dlg.accept();

    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(prompter.All().isEmpty());
    EXPECT_EQ(pay.SummaPay, Rub(1000.5));
    EXPECT_EQ(pay.TypePay, OrderPayment);
    EXPECT_EQ(pay.Delete, 0);
    EXPECT_EQ(pay.DocPay, QStringLiteral("чек 7"));
    EXPECT_EQ(pay.PrimPay, QStringLiteral("наличными"));
    EXPECT_EQ(pay.NaznPay, QStringLiteral("Оплата услуг"));
    EXPECT_EQ(pay.NomerPay, QStringLiteral("41"));
    EXPECT_EQ(pay.ProposedNomer, QStringLiteral("41"));  // the save still takes the next free number
    EXPECT_EQ(pay.DataPay, QDateTime(QDate(2024, 3, 6), QTime(10, 20, 30)));
}

TEST_P(OrderPaymentDlgTest, EditShowsTheDebtBeforeThePaymentAndRefusesAZeroAmount) {
    PayRecord pay;
    pay.IddPay = QStringLiteral("p1");
    pay.NomerPay = QStringLiteral("7");
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.DataPay = QDateTime(QDate(2024, 1, 9), QTime(9, 0));
    pay.SummaPay = Rub(300);
    const PayRecord stored = pay;
    COrderPaymentDlg dlg(*ctx, pay, COrderPaymentDlg::kEditTitle, false, Money::Kopecks(20000));

    EXPECT_EQ(Child<QLabel>(dlg, "debt")->text(), QStringLiteral("500.00"));
    EXPECT_EQ(Edit(dlg, "amount")->text(), QStringLiteral("300.00"));
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), QStringLiteral("200.00"));

    for (const char *typed : {"0", " 0,00 ", "сто"}) {
        Edit(dlg, "amount")->setText(QString::fromUtf8(typed));
        dlg.accept();
        EXPECT_NE(dlg.result(), QDialog::Accepted) << typed;
        EXPECT_EQ(pay.SummaPay, stored.SummaPay) << typed;
    }
    EXPECT_EQ(prompter.warnings, QStringList(3, QStringLiteral("Укажите сумму платежа!")));

    Edit(dlg, "amount")->setText(QStringLiteral("550"));
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), QStringLiteral("-50.00"));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(pay.SummaPay, Rub(550));
    EXPECT_EQ(pay.IddPay, QStringLiteral("p1"));
    EXPECT_EQ(pay.DataPay, stored.DataPay);
}
