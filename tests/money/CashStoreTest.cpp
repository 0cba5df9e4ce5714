#include "CashStore.h"
#include "Formats.h"
#include "MoneyRows.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "Rub.h"
#include "TestDb.h"

using namespace MoneyRows;

class CashStoreTest : public DbTest {
protected:
    static QDateTime At(int y, int m, int d, int h = 12, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }
    CashFilter Period(QDate from, QDate to) {
        CashFilter f;
        f.from = from;
        f.to = to;
        return f;
    }
};
ZV_INSTANTIATE_DB_TESTS(CashStoreTest);

TEST_P(CashStoreTest, JournalTotalsAndWholeDays) {
    AddPay(db(), QStringLiteral("p1"), QStringLiteral("0"), CashOperation, 100, At(2024, 3, 1, 0, 0, 0),
           QStringLiteral("Аренда"));
    AddPay(db(), QStringLiteral("p2"), QStringLiteral("0"), CashOperation, -40, At(2024, 3, 31, 23, 59, 59),
           QStringLiteral("Хозтовары"));
    AddPay(db(), QStringLiteral("p3"), QStringLiteral("0"), CashOperation, 7, At(2024, 4, 1, 0, 0, 0));
    AddPay(db(), QStringLiteral("p4"), QStringLiteral("0"), CashOperation, 5, At(2024, 3, 15));
    Rows::SoftDelete(db(), QStringLiteral("TPay"), {{QStringLiteral("IddPay"), QStringLiteral("p4")}});

    CashStore store(db());
    const CashJournal j = store.FillCashJournal(Period(QDate(2024, 3, 1), QDate(2024, 3, 31)));
    ASSERT_EQ(j.rows.size(),
              2);  // the first midnight and the last second in, the next midnight and deleted out
    EXPECT_EQ(j.rows[0].pay.IddPay, QStringLiteral("p1"));
    EXPECT_EQ(j.income, Rub(100));
    EXPECT_EQ(j.expense, Rub(-40));
    EXPECT_EQ(j.total, Rub(60));

    CashFilter byPurpose = Period(QDate(2024, 3, 1), QDate(2024, 3, 31));
    byPurpose.purpose = QStringLiteral(" Хозтовары ");
    EXPECT_EQ(store.FillCashJournal(byPurpose).rows.size(), 1);
    byPurpose.number = QStringLiteral("2");
    EXPECT_TRUE(store.FillCashJournal(byPurpose).rows.isEmpty());

    // The balance at the end of a day counts that day's last second.
    EXPECT_EQ(store.CashBalanceBefore(QDate(2024, 3, 31)), Rub(60));
    EXPECT_EQ(store.CashBalanceBefore(QDate(2024, 3, 30)), Rub(100));
    EXPECT_EQ(store.CashBalanceBefore(QDate(2024, 2, 29)), Rub(0));
}

TEST_P(CashStoreTest, JournalNamesClientWorkerAndOrderInOneStatement) {
    AddClient(db(), QStringLiteral("c1"), QStringLiteral("Ромашка"));
    AddOrder(db(), QStringLiteral("z1"), QStringLiteral("c1"), QStringLiteral("А-7"), At(2024, 5, 2), 300);
    Rows::Insert(db(), QStringLiteral("SWork"),
                 {{QStringLiteral("IddWork"), QStringLiteral("w1")},
                  {QStringLiteral("WorkFIO"), QStringLiteral("Петров")}});
    AddPay(db(), QStringLiteral("a"), QStringLiteral("z1"), OrderPayment, 300, At(2024, 5, 3, 9));
    AddPay(db(), QStringLiteral("b"), QStringLiteral("c1"), ClientAccount, 50, At(2024, 5, 3, 10),
           QStringLiteral("Приход"));
    AddPay(db(), QStringLiteral("c"), QStringLiteral("w1"), SalaryPayout, -80, At(2024, 5, 3, 11),
           QStringLiteral("Аванс"));
    AddPay(db(), QStringLiteral("d"), QStringLiteral("0"), CashOperation, -10, At(2024, 5, 3, 12));

    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    const CashJournal j = CashStore(db()).FillCashJournal(Period(QDate(2024, 5, 1), QDate(2024, 5, 31)));
    db().SetStatementHook({});
    EXPECT_EQ(statements, 1);
    ASSERT_EQ(j.rows.size(), 4);
    EXPECT_EQ(j.rows[0].Who(), QStringLiteral("Заказ №А-7 от 02.05.2024"));
    EXPECT_EQ(j.rows[1].Who(), QStringLiteral("Ромашка"));
    EXPECT_EQ(j.rows[1].iddClient, QStringLiteral("c1"));
    EXPECT_EQ(j.rows[2].Who(), QStringLiteral("Петров"));
    EXPECT_EQ(j.rows[2].iddWork, QStringLiteral("w1"));
    EXPECT_EQ(j.rows[3].Who(), QString());
    EXPECT_EQ(j.total, Rub(260));

    CashFilter byClient = Period(QDate(2024, 5, 1), QDate(2024, 5, 31));
    byClient.client = QStringLiteral("Ромашка");
    EXPECT_EQ(CashStore(db()).FillCashJournal(byClient).rows.size(), 1);
    EXPECT_EQ(CashStore(db()).ClientNames(), QStringList{QStringLiteral("Ромашка")});
}

TEST_P(CashStoreTest, ArticleAndPurposeLists) {
    const QDateTime t = At(2024, 1, 10);
    AddPay(db(), QStringLiteral("1"), QStringLiteral("0"), CashOperation, -250, t, QStringLiteral("Свет"));
    AddPay(db(), QStringLiteral("2"), QStringLiteral("0"), CashOperation, 30, t, QStringLiteral("Свет"));
    AddPay(db(), QStringLiteral("3"), QStringLiteral("0"), SalaryPayout, -30, t, QStringLiteral("Зарплата"));
    AddPay(db(), QStringLiteral("4"), QStringLiteral("z"), OrderPayment, 30, t);
    AddPay(db(), QStringLiteral("5"), QStringLiteral("0"), CashOperation, 1, t, QStringLiteral("Аренда"));
    CashStore store(db());
    EXPECT_EQ(store.FillArticleList(true), (QStringList{QStringLiteral("Аренда"), QStringLiteral("Свет")}));
    EXPECT_EQ(store.FillArticleList(false).size(), 4);
    EXPECT_EQ(store.FillPayoutPurposeList(),
              (QStringList{QStringLiteral("Аренда"), QStringLiteral("Зарплата"), QStringLiteral("Свет")}));
}

TEST_P(CashStoreTest, UnpaidOrdersUseTheKopeckRule) {
    AddOrder(db(), QStringLiteral("paid"), QStringLiteral("c1"), QStringLiteral("1"), At(2024, 1, 1), 118.01);
    AddPay(db(), QStringLiteral("p1"), QStringLiteral("paid"), OrderPayment, 100, At(2024, 1, 1));
    AddPay(db(), QStringLiteral("p2"), QStringLiteral("paid"), OrderPayment, 18.01, At(2024, 1, 2));
    AddOrder(db(), QStringLiteral("part"), QStringLiteral("c1"), QStringLiteral("2"), At(2024, 1, 3), 500);
    AddPay(db(), QStringLiteral("p3"), QStringLiteral("part"), OrderPayment, 200, At(2024, 1, 3));
    AddPay(db(), QStringLiteral("p4"), QStringLiteral("part"), OrderPayment, 300, At(2024, 1, 3));
    Rows::SoftDelete(db(), QStringLiteral("TPay"), {{QStringLiteral("IddPay"), QStringLiteral("p4")}});
    AddOrder(db(), QStringLiteral("gone"), QStringLiteral("c1"), QStringLiteral("3"), At(2024, 1, 4), 90);
    Rows::SoftDelete(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("gone")}});
    AddOrder(db(), QStringLiteral("other"), QStringLiteral("c2"), QStringLiteral("4"), At(2024, 1, 4), 90);

    CashStore store(db());
    const QList<UnpaidOrder> unpaid = store.UnpaidOrders(QStringLiteral("c1"));
    ASSERT_EQ(unpaid.size(), 1);
    EXPECT_EQ(unpaid[0].IddZakaz, QStringLiteral("part"));
    EXPECT_EQ(unpaid[0].debt, Rub(300));
    EXPECT_EQ(store.OrderDebt(QStringLiteral("part")), Rub(300));
    EXPECT_EQ(store.OrderDebt(QStringLiteral("nope")), Rub(0));

    const QList<ClientOrderRow> orders = store.ClientOrders(QStringLiteral("c1"));
    ASSERT_EQ(orders.size(), 2);
    EXPECT_EQ(orders[0].IddZakaz, QStringLiteral("part"));  // latest appointment first
    EXPECT_EQ(orders[0].total, Rub(500));
    EXPECT_EQ(orders[1].total, Rub(118.01));
    EXPECT_FALSE(orders[1].debt.IsOutstanding());
}

TEST_P(CashStoreTest, ClientAccountListsLiveOrderPaymentsAndOwnRowsOnceNewestFirst) {
    AddOrder(db(), QStringLiteral("z1"), QStringLiteral("c1"), QStringLiteral("1"), At(2024, 1, 1), 100);
    AddOrder(db(), QStringLiteral("z2"), QStringLiteral("c1"), QStringLiteral("2"), At(2024, 1, 1), 100);
    Rows::SoftDelete(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), QStringLiteral("z2")}});
    AddOrder(db(), QStringLiteral("z3"), QStringLiteral("c2"), QStringLiteral("3"), At(2024, 1, 1), 100);
    // An order of the client keyed like the client: its rows are the client's own rows, listed once.
    AddOrder(db(), QStringLiteral("c1"), QStringLiteral("c1"), QStringLiteral("4"), At(2024, 1, 1), 100);
    AddPay(db(), QStringLiteral("order"), QStringLiteral("z1"), OrderPayment, 60, At(2024, 1, 2));
    AddPay(db(), QStringLiteral("deadOrder"), QStringLiteral("z2"), OrderPayment, 60, At(2024, 1, 2));
    AddPay(db(), QStringLiteral("otherClient"), QStringLiteral("z3"), OrderPayment, 60, At(2024, 1, 2));
    AddPay(db(), QStringLiteral("deposit"), QStringLiteral("c1"), ClientAccount, 500, At(2024, 1, 3));
    // Order payments and account rows interleave by date; one moment shared goes by key, descending.
    AddPay(db(), QStringLiteral("lateOrder"), QStringLiteral("z1"), OrderPayment, 5, At(2024, 1, 3, 18));
    AddPay(db(), QStringLiteral("refund"), QStringLiteral("c1"), ClientAccount, -100, At(2024, 1, 4));
    AddPay(db(), QStringLiteral("sameMoment"), QStringLiteral("z1"), OrderPayment, 7, At(2024, 1, 4));
    AddPay(db(), QStringLiteral("deleted"), QStringLiteral("c1"), ClientAccount, 10, At(2024, 1, 5));
    AddPay(db(), QStringLiteral("deletedPay"), QStringLiteral("z1"), OrderPayment, 10, At(2024, 1, 5));
    for (const char *key : {"deleted", "deletedPay"})
        Rows::SoftDelete(db(), QStringLiteral("TPay"),
                         {{QStringLiteral("IddPay"), QString::fromLatin1(key)}});

    QStringList keys;
    for (const PayRecord &p : CashStore(db()).ClientAccount(QStringLiteral("c1"))) keys << p.IddPay;
    EXPECT_EQ(keys,
              (QStringList{QStringLiteral("sameMoment"), QStringLiteral("refund"),
                           QStringLiteral("lateOrder"), QStringLiteral("deposit"), QStringLiteral("order")}));
    EXPECT_TRUE(CashStore(db()).ClientAccount(QStringLiteral("c3")).isEmpty());
}

TEST_P(CashStoreTest, DeletingAPayoutTakesItsLines) {
    AddPay(db(), QStringLiteral("pay1"), QStringLiteral("0"), SalaryPayout, -300, At(2024, 2, 1));
    AddPay(db(), QStringLiteral("cash"), QStringLiteral("0"), CashOperation, -5, At(2024, 2, 1));
    for (const char *line : {"l1", "l2"})
        Rows::Insert(db(), QStringLiteral("TWorkPay"),
                     {{QStringLiteral("IddWorkPay"), QString::fromLatin1(line)},
                      {QStringLiteral("IddPay"), QStringLiteral("pay1")},
                      {QStringLiteral("IddWork"), QStringLiteral("w1")},
                      {QStringLiteral("SummaWorkPay"), 150.0},
                      {QStringLiteral("DeleteWorkPay"), false}});
    Rows::Insert(db(), QStringLiteral("TWorkPay"),
                 {{QStringLiteral("IddWorkPay"), QStringLiteral("l3")},
                  {QStringLiteral("IddPay"), QStringLiteral("other")},
                  {QStringLiteral("IddWork"), QStringLiteral("w1")},
                  {QStringLiteral("SummaWorkPay"), 1.0},
                  {QStringLiteral("DeleteWorkPay"), false}});
    CashStore store(db());
    EXPECT_TRUE(store.DeletePayment(QStringLiteral("pay1")));
    EXPECT_TRUE(store.DeletePayment(QStringLiteral("cash")));
    EXPECT_FALSE(store.DeletePayment(QStringLiteral("missing")));
    EXPECT_EQ(PaymentStore(db()).LoadPayment(QStringLiteral("pay1"))->Delete, 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay WHERE DeleteWorkPay = ?"), {false}), 1);
    EXPECT_EQ(store.CashBalanceBefore(QDate(2024, 2, 1)), Rub(0));
}
