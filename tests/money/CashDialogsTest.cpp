#include "CCashOperationDlg.h"
#include "CClientPaymentDlg.h"
#include "CashStore.h"
#include "CounterStore.h"
#include "MoneyRows.h"
#include "PaymentStore.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace MoneyRows;

class CashDialogsTest : public ScreenTest {
protected:
    static QStringList Items(const QComboBox *box) {
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        return items;
    }
    CounterValues Counters() { return *CounterStore(db()).ReadAll(); }
};
ZV_INSTANTIATE_DB_TESTS(CashDialogsTest);

TEST_P(CashDialogsTest, ClientPaymentOffersOnlyOrdersStillOwed) {
    SetCounters(db(), 7, 30);
    AddOrder(db(), QStringLiteral("paid"), QStringLiteral("c1"), QStringLiteral("11"), At(2024, 1, 5), 200);
    AddPay(db(), QStringLiteral("p1"), QStringLiteral("paid"), OrderPayment, 200, At(2024, 1, 5));
    AddOrder(db(), QStringLiteral("part"), QStringLiteral("c1"), QStringLiteral("12"), At(2024, 1, 6), 500);
    AddPay(db(), QStringLiteral("p2"), QStringLiteral("part"), OrderPayment, 120.5, At(2024, 1, 6));

    PayRecord pay;
    CClientPaymentDlg dlg(*ctx, QStringLiteral("c1"), pay);
    EXPECT_EQ(Items(dlg.purposes()), (QStringList{QStringLiteral("Оплата услуг: 12 от 06.01.2024"),
                                                  QStringLiteral("Приход"), QStringLiteral("Возврат")}));
    EXPECT_EQ(Child<QLabel>(dlg, "purpose")->text(), QStringLiteral("Оплата услуг"));
    EXPECT_EQ(Edit(dlg, "amount")->text(), QStringLiteral("379.50"));
    EXPECT_EQ(Child<QLabel>(dlg, "debt")->text(), QStringLiteral("379.50"));
    EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("8"));
    Edit(dlg, "amount")->setText(QStringLiteral("300"));
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), QStringLiteral("79.50"));

    Edit(dlg, "amount")->setText(QStringLiteral("0"));
    dlg.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите сумму платежа!")});
    EXPECT_NE(dlg.result(), QDialog::Accepted);

    Edit(dlg, "amount")->setText(QStringLiteral("300"));
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(pay.TypePay, OrderPayment);
    EXPECT_EQ(pay.IddZakaz, QStringLiteral("part"));
    EXPECT_EQ(pay.NaznPay, QStringLiteral("Оплата услуг"));
    EXPECT_DOUBLE_EQ(pay.SummaPay, 300);
    PaymentStore(db()).SavePayment(pay, pay.IddZakaz, ctx->login());
    EXPECT_EQ(Counters().payNomer, 8);
    EXPECT_EQ(Counters().outPayNomer, 30);
}

TEST_P(CashDialogsTest, RefundIsMoneyOutOnTheClientsAccount) {
    SetCounters(db(), 7, 30);
    PayRecord pay;
    CClientPaymentDlg dlg(*ctx, QStringLiteral("c1"), pay);
    // No order owed: the account choices only, "Приход" first with an incoming number.
    EXPECT_EQ(Items(dlg.purposes()), (QStringList{QStringLiteral("Приход"), QStringLiteral("Возврат")}));
    EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("8"));
    EXPECT_EQ(Child<QLabel>(dlg, "debt")->text(), QString());
    dlg.purposes()->setCurrentIndex(1);
    EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("31"));
    EXPECT_EQ(Edit(dlg, "amount")->text(), QStringLiteral("0"));
    Edit(dlg, "amount")->setText(QStringLiteral("100"));
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(pay.TypePay, ClientAccount);
    EXPECT_EQ(pay.IddZakaz, QStringLiteral("c1"));
    EXPECT_EQ(pay.NaznPay, QStringLiteral("Возврат"));
    EXPECT_DOUBLE_EQ(pay.SummaPay, -100);
    const QString key = PaymentStore(db()).SavePayment(pay, pay.IddZakaz, ctx->login());
    EXPECT_DOUBLE_EQ(PaymentStore(db()).LoadPayment(key)->SummaPay, -100);
    EXPECT_EQ(Counters().outPayNomer, 31);
    EXPECT_EQ(Counters().payNomer, 7);
}

TEST_P(CashDialogsTest, CashExpenseUnderANewArticleThenEdited) {
    SetCounters(db(), 7, 30);
    {
        CCashOperationDlg dlg(*ctx);
        EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("8"));
        EXPECT_FALSE(Edit(dlg, "number")->isEnabled());
        Child<QRadioButton>(dlg, "expense")->setChecked(true);
        EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("31"));
        Child<QComboBox>(dlg, "article")->setEditText(QStringLiteral(" Канцтовары "));
        Edit(dlg, "amount")->setText(QStringLiteral("250"));
        dlg.accept();
        ASSERT_EQ(dlg.result(), QDialog::Accepted);
        const auto stored = PaymentStore(db()).LoadPayment(dlg.saved().IddPay);
        ASSERT_TRUE(stored);
        EXPECT_DOUBLE_EQ(stored->SummaPay, -250);
        EXPECT_EQ(stored->TypePay, CashOperation);
        EXPECT_EQ(stored->IddZakaz, QStringLiteral("0"));
        EXPECT_EQ(stored->NaznPay, QStringLiteral("Канцтовары"));
        EXPECT_EQ(stored->NomerPay, QStringLiteral("31"));
    }
    EXPECT_EQ(Counters().outPayNomer, 31);

    // The new article is offered the next time.
    CCashOperationDlg again(*ctx);
    auto *article = Child<QComboBox>(again, "article");
    ASSERT_EQ(article->count(), 1);
    EXPECT_EQ(article->itemText(0), QStringLiteral("Канцтовары"));

    const QString iddPay = CashStore(db())
                               .FillCashJournal({QDate(2000, 1, 1), QDate(2100, 1, 1), {}, {}, {}})
                               .rows.value(0)
                               .pay.IddPay;
    CCashOperationDlg edit(*ctx, iddPay);
    EXPECT_TRUE(Child<QRadioButton>(edit, "expense")->isChecked());
    EXPECT_EQ(Edit(edit, "amount")->text(), QStringLiteral("250.00"));
    EXPECT_TRUE(Edit(edit, "number")->isEnabled());
    Edit(edit, "number")->setText(QStringLiteral("  "));
    edit.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите номер операции!")});
    Edit(edit, "number")->setText(QStringLiteral("900"));
    Edit(edit, "amount")->setText(QStringLiteral("260"));
    edit.accept();
    ASSERT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(PaymentStore(db()).LoadPayment(iddPay)->SummaPay, -260);
    EXPECT_EQ(Counters().outPayNomer, 31);  // an edit leaves the counters alone
    EXPECT_EQ(Counters().payNomer, 7);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);
}

TEST_P(CashDialogsTest, ProposedNumberTakenMeanwhileGivesTheNextFree) {
    SetCounters(db(), 7, 30);
    CCashOperationDlg dlg(*ctx);
    Child<QComboBox>(dlg, "article")->setEditText(QStringLiteral("Аренда"));
    Edit(dlg, "amount")->setText(QStringLiteral("10"));
    CounterStore(db()).Take(DocCounter::Pay);  // another workstation's receipt 8
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.saved().NomerPay, QStringLiteral("9"));
    EXPECT_EQ(Counters().payNomer, 9);
}

TEST_P(CashDialogsTest, AFailedSaveKeepsTheDialogAndTheCounters) {
    SetCounters(db(), 7, 30);
    CCashOperationDlg dlg(*ctx);
    Child<QComboBox>(dlg, "article")->setEditText(QStringLiteral("Аренда"));
    Edit(dlg, "amount")->setText(QStringLiteral("10"));
    db().Exec(QStringLiteral("ALTER TABLE TPay RENAME TO TPayGone"));  // the insert cannot succeed
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_EQ(Counters().payNomer, 7);
    EXPECT_EQ(Child<QComboBox>(dlg, "article")->currentText(), QStringLiteral("Аренда"));
}
