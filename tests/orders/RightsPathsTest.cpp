#include "CClientAccountPage.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CKassaView.h"
#include "KeyedView.h"
#include "OrderFormFixture.h"
#include "PayRecord.h"
#include "TestRows.h"

using namespace Qt::StringLiterals;
using OrderForm::AllBut;

// The guarded commands that are reached from more than their own journal: the client card's pages, the
// order form's payments and the cash journal's salary rows. Without the right the refusal is all that
// happens; with it the command goes on to its question, dialog or order form.
class RightsPathsTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        const QDateTime now = QDateTime::currentDateTime().addSecs(-60);
        TestRows::Put(db(), TestRows::Client{.key = u"k1"_s, .name = u"Кузнецов"_s});
        TestRows::Put(
            db(), TestRows::Order{u"z1"_s, u"101"_s, now, {}, {}, 1, {}, u"k1"_s, false, {{.price = 300}}});
        TestRows::Put(db(),
                      TestRows::Pay{u"p1"_s, u"z1"_s, OrderPayment, 100, now, u"Оплата услуг"_s, u"11"_s});
        TestRows::Put(db(), TestRows::Worker{.key = u"w1"_s, .fio = u"Иванов"_s});
        TestRows::Put(db(), TestRows::Pay{u"s1"_s, u"0"_s, SalaryPayout, -50, now, u"Зарплата"_s, u"12"_s});
        TestRows::Put(db(), TestRows::Payout{.key = u"l1"_s, .pay = u"s1"_s, .worker = u"w1"_s, .sum = 50});
        forms.open = [this](OrderFormMode, const QString &, QString &key) {
            calls << u"open "_s + key;
            return false;
        };
        forms.remove = [this](const QString &key) { calls << u"remove "_s + key; };
    }
    QString Dump() { return DumpTables(db(), {u"TZakaz"_s, u"TPay"_s, u"TWorkPay"_s, u"[Number]"_s}); }

    ScriptedOrderForms forms;
    QStringList calls;
};
ZV_INSTANTIATE_SCREEN_TESTS(RightsPathsTest);

namespace {

// Chooses the row (none when empty) on a screen's part and runs the command on it.
template <class Part>
void Run(Part *part, const char *row, int column, void (Part::*command)()) {
    ASSERT_TRUE(!*row || SelectRow(part->list(), QString::fromUtf8(row), column));
    (part->*command)();
}

void OnOrders(AppContext &c, void (CClientOrdersPage::*command)()) {
    CClientDlg card(c, u"k1"_s);
    Run(card.ordersPage(), "101", 1, command);
}

void OnAccount(AppContext &c, void (CClientAccountPage::*command)()) {
    CClientDlg card(c, u"k1"_s);
    Run(card.accountPage(), "11", 0, command);
}

void OnForm(AppContext &c, const char *row, void (OrderPaymentsPart::*command)()) {
    COrderFormDlg form(c, OrderFormMode::Edit, u"z1"_s);
    Run(form.payments(), row, OrderPaymentsPart::ColAmount, command);
}

void OnPayout(AppContext &c, int command) {
    CKassaView cash(c);
    ASSERT_TRUE(SelectIndex(cash.list(), u"12"_s).isValid());
    cash.Command(command);
}

}  // namespace

TEST_P(RightsPathsTest, EveryPathChecksTheCommandsRightBeforeDoingAnything) {
    using Orders = CClientOrdersPage;
    using Account = CClientAccountPage;
    const struct {
        const char *path;
        Right right;
        std::function<void(AppContext &)> run;
    } paths[] = {
        {"card: new order", Right::AddOrder, [](AppContext &c) { OnOrders(c, &Orders::AddOrder); }},
        {"card: edit order", Right::EditOrder, [](AppContext &c) { OnOrders(c, &Orders::EditOrder); }},
        {"card: delete order", Right::DeleteOrder, [](AppContext &c) { OnOrders(c, &Orders::DeleteOrder); }},
        {"card: pay order", Right::AddOrderPayment, [](AppContext &c) { OnOrders(c, &Orders::AddPayment); }},
        {"card: add to account", Right::AddCash, [](AppContext &c) { OnAccount(c, &Account::AddPayment); }},
        {"card: edit payment", Right::EditCash, [](AppContext &c) { OnAccount(c, &Account::EditPayment); }},
        {"card: delete payment", Right::DeleteCash,
         [](AppContext &c) { OnAccount(c, &Account::DeletePayment); }},
        {"form: add payment", Right::AddOrderPayment,
         [](AppContext &c) { OnForm(c, "", &OrderPaymentsPart::AddPayment); }},
        {"form: edit payment", Right::EditOrderPayment,
         [](AppContext &c) { OnForm(c, "100.00", &OrderPaymentsPart::EditPayment); }},
        {"form: delete payment", Right::DeleteOrderPayment,
         [](AppContext &c) { OnForm(c, "100.00", &OrderPaymentsPart::DeletePayment); }},
        {"cash: edit payout", Right::EditSalary, [](AppContext &c) { OnPayout(c, CKassaView::kEdit); }},
        {"cash: delete payout", Right::DeleteSalary, [](AppContext &c) { OnPayout(c, CKassaView::kDelete); }},
    };
    const QString before = Dump();
    for (const auto &p : paths) {
        for (const bool granted : {false, true}) {
            SCOPED_TRACE(std::string(p.path) + (granted ? " granted" : " denied"));
            LogIn(granted ? QString(Rights::kCount, u'1') : AllBut(Rights::Position(p.right)));
            ctx->SetOrderForms(&forms);
            prompter.Clear();
            prompter.Answer(false);  // a question that comes is answered "No"
            dialogs.opened.clear();
            calls.clear();
            p.run(*ctx);
            EXPECT_EQ(prompter.warnings.contains(Rights::kRefusal), !granted)
                << prompter.All().join(u'|').toStdString();
            const bool nothingOpened = dialogs.opened.isEmpty() && calls.isEmpty();
            EXPECT_TRUE(granted ? !(nothingOpened && prompter.All().isEmpty())
                                : nothingOpened && prompter.All().size() == 1);
            EXPECT_EQ(Dump(), before);
        }
    }
}
