#include "COrderPaymentDlg.h"
#include "PaymentEditing.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

// The dialog needs no right: the user has none.
class OrderPaymentDlgTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (ctx) LogIn(QString());
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(OrderPaymentDlgTest);

namespace {

// The debt, the amount and the rest the dialog shows.
QString Shown(QDialog &dlg) {
    return Child<QLabel>(dlg, "debt")->text() + u'|' + Edit(dlg, "amount")->text() + u'|' +
           Child<QLabel>(dlg, "rest")->text();
}

// Every field of a payment the dialog fills.
QString Fields(const PayRecord &p) {
    return u"%1|%2|%3|%4|%5|%6|%7|%8|%9"_s.arg(p.SummaPay.Text())
        .arg(p.TypePay)
        .arg(p.Delete)
        .arg(p.DocPay, p.PrimPay, p.NaznPay, p.NomerPay, p.ProposedNomer, p.DataPay.toString(Qt::ISODate));
}

}  // namespace

// A new payment proposes the debt and shows the rest as typed; a zero or unreadable amount is refused.
// Whatever kind and mark came in, an order payment leaves as a live one, trimmed; the proposal stays so that
// the save still takes the next free number. (What an edited payment shows is the order form's tests'.)
TEST_P(OrderPaymentDlgTest, NewPaymentProposesTheDebtAndRefusesAZeroAmount) {
    PayRecord pay{.TypePay = ClientAccount, .NaznPay = COrderPaymentDlg::kPurpose, .NomerPay = u"41"_s};
    pay.DataPay = QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)), pay.ProposedNomer = u"41"_s;
    pay.Delete = 1;
    COrderPaymentDlg dlg(*ctx, pay, COrderPaymentDlg::kNewTitle, true, Money::Kopecks(150025));
    EXPECT_EQ(Edit(dlg, "number")->text() + u'|' + Child<QLabel>(dlg, "purpose")->text(),
              u"41|Оплата услуг"_s);
    EXPECT_EQ(Shown(dlg), u"1500.25|1500.25|0.00"_s);
    for (const char *typed : {" 0,00 ", "сто"}) {
        Edit(dlg, "amount")->setText(QString::fromUtf8(typed));
        dlg.accept();
        EXPECT_NE(dlg.result(), QDialog::Accepted) << typed;
    }
    EXPECT_EQ(prompter.warnings, QStringList(2, u"Укажите сумму платежа!"_s));
    EXPECT_EQ(pay.SummaPay, Money());

    Edit(dlg, "amount")->setText(u" 1 000,5 "_s);
    EXPECT_EQ(Child<QLabel>(dlg, "rest")->text(), u"499.75"_s);
    Child<QDateEdit>(dlg, "date")->setDate(QDate(2024, 3, 6));
    Edit(dlg, "doc")->setText(u"  чек 7 "_s);
    Edit(dlg, "note")->setText(u"наличными"_s);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Fields(pay),
              u"1000.50|%1|0|чек 7|наличными|Оплата услуг|41|41|2024-03-06T10:20:30"_s.arg(OrderPayment));
}

// Another workstation took a payment on the order meanwhile: a payment that still fits the debt now is
// stored without a word; one that would overpay is asked about first, naming the debt now ("Нет" stores
// nothing).
TEST_P(OrderPaymentDlgTest, APaymentTakenElsewhereMeanwhileIsAskedAboutBeforeAnOverpayment) {
    TestRows::Put(db(), TestRows::Order{.key = u"z1"_s, .date = At(2024, 3, 5), .lines = {{.price = 1000}}});
    TestRows::Put(db(), TestRows::Pay{.key = u"p0"_s, .order = u"z1"_s, .sum = 600});
    const Money seen = Money::Kopecks(100000);
    PayRecord fits{.DataPay = At(2024, 3, 5), .SummaPay = Money::Kopecks(30000)}, whole = fits;
    whole.SummaPay = seen;
    EXPECT_TRUE(SaveNewOrderPayment(*ctx, fits, u"z1"_s, seen));
    prompter.Answer(false);
    EXPECT_FALSE(SaveNewOrderPayment(*ctx, whole, u"z1"_s, seen));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TPay"_s), 2);
    EXPECT_TRUE(SaveNewOrderPayment(*ctx, whole, u"z1"_s, seen));
    EXPECT_EQ(prompter.questions,
              QStringList(2, kDebtChangedMeanwhile.arg(u"100.00"_s, u"1000.00"_s, u"900.00"_s)));
    EXPECT_EQ(FirstValue(db(), u"SELECT ZakazOplata - ZakazSumma FROM TZakaz"_s).toDouble(), 900);
}
