#include "CCashOperationDlg.h"
#include "CClientPaymentDlg.h"
#include "CounterStore.h"
#include "PayText.h"
#include "PaymentStore.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace TestRows;

// Counters: the last incoming document 7, the last outgoing 30.
class CashDialogsTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        PutCounters(db(), 0, 7, 30);
    }
    static QStringList Items(const QComboBox *box) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    // The client payment dialog's figures: "purpose №number debt/amount/rest".
    static QString Shown(const CClientPaymentDlg &d) {
        return QStringLiteral("%1 №%2 %3/%4/%5")
            .arg(Child<QLabel>(d, "purpose")->text(), Edit(d, "number")->text(),
                 Child<QLabel>(d, "debt")->text(), Edit(d, "amount")->text(),
                 Child<QLabel>(d, "rest")->text());
    }
    QString Counters() {
        const CounterValues v = *CounterStore(db()).ReadAll();
        return QStringLiteral("%1/%2").arg(v.payNomer).arg(v.outPayNomer);
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(CashDialogsTest);

// Without an order owed the client's payment goes to the account, a refund out of it with an outgoing
// number; with one the orders still owed are offered first.
TEST_P(CashDialogsTest, ClientPaymentOffersTheOrdersStillOwedThenTheAccount) {
    PayRecord refund;
    CClientPaymentDlg account(*ctx, "c1", refund);
    EXPECT_EQ(Items(account.purposes()), (QStringList{"Приход", "Возврат"}));
    EXPECT_EQ(Shown(account), "Приход №8 /0/");
    account.purposes()->setCurrentIndex(1);
    EXPECT_EQ(Shown(account), "Возврат №31 /0/");
    Edit(account, "amount")->setText("100");
    account.accept();
    ASSERT_EQ(account.result(), QDialog::Accepted);
    EXPECT_EQ(PayText(refund), "2 c1 Возврат №31 -100.00");
    EXPECT_EQ(refund.ProposedNomer, "31");

    Put(db(), Order{.key = "paid", .number = "11", .date = At(2024, 1, 5), .lines = {{.price = 200}}});
    Put(db(), Pay{"p1", "paid", OrderPayment, 200, At(2024, 1, 5)});
    Put(db(), Order{.key = "part", .number = "12", .date = At(2024, 1, 6), .lines = {{.price = 500}}});
    Put(db(), Pay{"p2", "part", OrderPayment, 120.5, At(2024, 1, 6)});
    PayRecord pay;
    CClientPaymentDlg dlg(*ctx, "c1", pay);
    EXPECT_EQ(Items(dlg.purposes()), (QStringList{"Оплата услуг: 12 от 06.01.2024", "Приход", "Возврат"}));
    EXPECT_EQ(Shown(dlg), "Оплата услуг №8 379.50/379.50/0.00");
    Edit(dlg, "amount")->setText("300");
    EXPECT_EQ(Shown(dlg), "Оплата услуг №8 379.50/300/79.50");
    Edit(dlg, "amount")->setText("0");
    dlg.accept();
    EXPECT_EQ(prompter.warnings, QStringList{"Укажите сумму платежа!"});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    Edit(dlg, "amount")->setText("300");
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(PayText(pay), "0 part Оплата услуг №8 300.00");
    EXPECT_EQ(pay.ProposedNomer, "8");  // the save may take the next free number
}

// A failed save keeps the dialog as it was; a number taken meanwhile gives the next free one. The new article
// is offered the next time, and an edit opens as it was stored.
TEST_P(CashDialogsTest, CashExpenseUnderANewArticleThenEdited) {
    QString iddPay;
    {
        CCashOperationDlg dlg(*ctx);
        EXPECT_EQ(Edit(dlg, "number")->text(), "8");
        EXPECT_FALSE(Edit(dlg, "number")->isEnabled());
        Child<QRadioButton>(dlg, "expense")->setChecked(true);
        EXPECT_EQ(Edit(dlg, "number")->text(), "31");
        Child<QComboBox>(dlg, "article")->setEditText(" Канцтовары ");
        Edit(dlg, "amount")->setText("250");
        db().Exec("ALTER TABLE TPay RENAME TO TPayGone");  // the insert cannot succeed
        dlg.accept();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(prompter.errors.size(), 1);
        EXPECT_EQ(Counters(), "7/30");
        EXPECT_EQ(Child<QComboBox>(dlg, "article")->currentText().trimmed(), "Канцтовары");
        db().Exec("ALTER TABLE TPayGone RENAME TO TPay");
        CounterStore(db()).Take(DocCounter::OutPay);  // another workstation's payment 31
        dlg.accept();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        iddPay = dlg.saved().IddPay;
    }
    EXPECT_EQ(PayText(*PaymentStore(db()).LoadPayment(iddPay)), "5 0 Канцтовары №32 -250.00");
    EXPECT_EQ(Counters(), "7/32");

    CCashOperationDlg edit(*ctx, iddPay);
    EXPECT_EQ(Items(Child<QComboBox>(edit, "article")), QStringList{"Канцтовары"});
    EXPECT_EQ(Edit(edit, "amount")->text(), "250.00");
    EXPECT_TRUE(Edit(edit, "number")->isEnabled());
    Edit(edit, "number")->setText("  ");
    edit.accept();
    EXPECT_EQ(prompter.warnings, QStringList{"Укажите номер операции!"});
    Edit(edit, "number")->setText("900");
    Edit(edit, "amount")->setText("260");
    edit.accept();
    ASSERT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_EQ(PayText(*PaymentStore(db()).LoadPayment(iddPay)), "5 0 Канцтовары №900 -260.00");
    EXPECT_EQ(Counters(), "7/32");  // an edit leaves the counters alone
    EXPECT_EQ(CountRows(db(), "SELECT * FROM TPay"), 1);
}
