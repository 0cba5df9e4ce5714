#include "CClientAccountPage.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CKassaView.h"
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
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDateTime now = QDateTime::currentDateTime().addSecs(-60);
        TestRows::Put(db(), TestRows::Client{.key = u"k1"_s, .name = u"Кузнецов"_s});
        TestRows::Put(db(), TestRows::Order{.key = u"z1"_s,
                                            .number = u"101"_s,
                                            .date = now,
                                            .client = u"k1"_s,
                                            .lines = {{.price = 300}}});
        TestRows::Put(db(), TestRows::Pay{.key = u"p1"_s,
                                          .order = u"z1"_s,
                                          .kind = OrderPayment,
                                          .sum = 100,
                                          .when = now,
                                          .number = u"11"_s});
        TestRows::Put(db(), TestRows::Worker{.key = u"w1"_s, .fio = u"Иванов"_s});
        TestRows::Put(db(), TestRows::Pay{.key = u"s1"_s,
                                          .order = u"0"_s,
                                          .kind = SalaryPayout,
                                          .sum = -50,
                                          .when = now,
                                          .purpose = u"Зарплата"_s,
                                          .number = u"12"_s});
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

TEST_P(RightsPathsTest, EveryPathChecksTheCommandsRightBeforeDoingAnything) {
    enum Screen { OrdersPage, AccountPage, Form, Cash };
    const struct {
        const char *path;
        Right right;
        Screen screen;
        const char *row;  // the row selected first
        std::function<void(QWidget &)> run;
    } paths[] = {
        {"card: new order", Right::AddOrder, OrdersPage, "101",
         [](QWidget &w) { static_cast<CClientOrdersPage &>(w).AddOrder(); }},
        {"card: edit order", Right::EditOrder, OrdersPage, "101",
         [](QWidget &w) { static_cast<CClientOrdersPage &>(w).EditOrder(); }},
        {"card: delete order", Right::DeleteOrder, OrdersPage, "101",
         [](QWidget &w) { static_cast<CClientOrdersPage &>(w).DeleteOrder(); }},
        {"card: pay order", Right::AddOrderPayment, OrdersPage, "101",
         [](QWidget &w) { static_cast<CClientOrdersPage &>(w).AddPayment(); }},
        {"card: add to account", Right::AddCash, AccountPage, "11",
         [](QWidget &w) { static_cast<CClientAccountPage &>(w).AddPayment(); }},
        {"card: edit payment", Right::EditCash, AccountPage, "11",
         [](QWidget &w) { static_cast<CClientAccountPage &>(w).EditPayment(); }},
        {"card: delete payment", Right::DeleteCash, AccountPage, "11",
         [](QWidget &w) { static_cast<CClientAccountPage &>(w).DeletePayment(); }},
        {"form: add payment", Right::AddOrderPayment, Form, nullptr,
         [](QWidget &w) { static_cast<OrderPaymentsPart &>(w).AddPayment(); }},
        {"form: edit payment", Right::EditOrderPayment, Form, "100.00",
         [](QWidget &w) { static_cast<OrderPaymentsPart &>(w).EditPayment(); }},
        {"form: delete payment", Right::DeleteOrderPayment, Form, "100.00",
         [](QWidget &w) { static_cast<OrderPaymentsPart &>(w).DeletePayment(); }},
        {"cash: edit payout", Right::EditSalary, Cash, "12",
         [](QWidget &w) { static_cast<CKassaView &>(w).Command(CKassaView::kEdit); }},
        {"cash: delete payout", Right::DeleteSalary, Cash, "12",
         [](QWidget &w) { static_cast<CKassaView &>(w).Command(CKassaView::kDelete); }},
    };
    const QString before = Dump();
    for (const auto &p : paths) {
        for (const bool granted : {false, true}) {
            SCOPED_TRACE(std::string(p.path) + (granted ? " granted" : " denied"));
            LogIn(granted ? QString(Rights::kCount, u'1') : AllBut(Rights::Position(p.right)));
            ctx->SetOrderForms(&forms);
            std::unique_ptr<QWidget> owner;
            QWidget *screen = nullptr;
            KeyedList *list = nullptr;
            int column = 0;
            switch (p.screen) {
                case OrdersPage:
                case AccountPage: {
                    auto *card = new CClientDlg(*ctx, u"k1"_s);
                    owner.reset(card);
                    if (p.screen == OrdersPage) {
                        screen = card->ordersPage(), list = card->ordersPage()->list(), column = 1;
                    } else {
                        screen = card->accountPage(), list = card->accountPage()->list();
                    }
                    break;
                }
                case Form: {
                    auto *form = new COrderFormDlg(*ctx, OrderFormMode::Edit, u"z1"_s);
                    owner.reset(form);
                    screen = form->payments(), list = form->payments()->list();
                    column = OrderPaymentsPart::ColAmount;
                    break;
                }
                case Cash:
                    owner = std::make_unique<CKassaView>(*ctx);
                    screen = owner.get(), list = owner->findChild<KeyedList *>();
                    break;
            }
            ASSERT_TRUE(!p.row || SelectRow(list, QString::fromUtf8(p.row), column));
            prompter.Clear();
            prompter.Answer(false);  // a question that comes is answered "No"
            dialogs.opened.clear();
            calls.clear();
            p.run(*screen);
            const bool refused = prompter.warnings.contains(Rights::kRefusal);
            EXPECT_EQ(refused, !granted) << prompter.All().join(u'|').toStdString();
            const bool nothingOpened = dialogs.opened.isEmpty() && calls.isEmpty();
            EXPECT_TRUE(granted ? !(nothingOpened && prompter.All().isEmpty())
                                : nothingOpened && prompter.All().size() == 1);
            EXPECT_EQ(Dump(), before);
        }
    }
}
