#include "CashStore.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace TestRows;

class CashStoreTest : public DbTest {
protected:
    static QDateTime At(int y, int m, int d, int h = 12, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }
    // The journal's rows as "key who/client/worker" and its totals.
    QString Journal(QDate from, QDate to, const QString &number = {}, const QString &purpose = {},
                    const QString &client = {}) {
        const CashJournal j = CashStore(db()).FillCashJournal({from, to, number, purpose, client});
        QStringList rows;
        for (const CashRow &r : j.rows)
            rows << r.pay.IddPay + u' ' + r.Who() + u'/' + r.iddClient + u'/' + r.iddWork;
        return rows.join(u'|') +
               QStringLiteral(" = %1 %2 %3").arg(j.income.Text(), j.expense.Text(), j.total.Text());
    }
};
ZV_INSTANTIATE_DB_TESTS(CashStoreTest);

// The journal takes whole days and live rows; the article lists take every row, each purpose once.
TEST_P(CashStoreTest, JournalTakesWholeDaysAndLiveRowsWithTotalsAndFilters) {
    Put(db(), Pay{"p1", "0", CashOperation, 100, At(2024, 3, 1, 0), "Аренда"});
    Put(db(), Pay{"p2", "0", CashOperation, -40, At(2024, 3, 31, 23, 59, 59), "Хозтовары"});
    Put(db(), Pay{"p3", "0", CashOperation, 7, At(2024, 4, 1, 0), "Прочее"});
    Put(db(), Pay{"p4", "0", CashOperation, 5, At(2024, 3, 15), "Аренда", "1", true});
    Put(db(), Pay{"s", "0", SalaryPayout, -30, At(2024, 4, 2), "Зарплата"});
    Put(db(), Pay{"o", "z", OrderPayment, 30, At(2024, 4, 2)});
    const QDate from(2024, 3, 1), to(2024, 3, 31);
    EXPECT_EQ(Journal(from, to), "p1 //|p2 // = 100.00 -40.00 60.00");
    EXPECT_EQ(Journal(from, to, {}, " Хозтовары "), "p2 // = 0.00 -40.00 -40.00");
    EXPECT_EQ(Journal(from, to, "2", "Хозтовары"), " = 0.00 0.00 0.00");
    CashStore store(db());
    EXPECT_EQ(store.FillArticleList(true), (QStringList{"Аренда", "Прочее", "Хозтовары"}));
    EXPECT_EQ(store.FillArticleList(false),
              (QStringList{"Аренда", "Зарплата", "Оплата услуг", "Прочее", "Хозтовары"}));
    EXPECT_EQ(store.FillPayoutPurposeList(), (QStringList{"Аренда", "Зарплата", "Прочее", "Хозтовары"}));
}

// The journal names each row's client, worker or order in one statement. Deleting a payout takes its lines.
TEST_P(CashStoreTest, JournalNamesClientWorkerAndOrderInOneStatement) {
    Put(db(), Client{.key = "c1", .name = "Ромашка"});
    Put(db(), Order{.key = "z1", .number = "А-7", .date = At(2024, 5, 2)});
    Put(db(), Worker{.key = "w1", .fio = "Петров"});
    Put(db(), Pay{"a", "z1", OrderPayment, 300, At(2024, 5, 3, 9)});
    Put(db(), Pay{"b", "c1", ClientAccount, 50, At(2024, 5, 3, 10)});
    Put(db(), Pay{"c", "w1", SalaryPayout, -80, At(2024, 5, 3, 11)});
    Put(db(), Pay{"d", "0", CashOperation, -10, At(2024, 5, 3, 12)});
    Put(db(), Payout{"l1", "c", "w1", 80});
    Put(db(), Payout{"l2", "other", "w1", 1});
    const QDate from(2024, 5, 1), to(2024, 5, 31);
    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    EXPECT_EQ(Journal(from, to),
              QStringLiteral(
                  "a Заказ №А-7 от 02.05.2024//|b Ромашка/c1/|c Петров//w1|d // = 350.00 -90.00 260.00"));
    db().SetStatementHook({});
    EXPECT_EQ(statements, 1);
    EXPECT_EQ(Journal(from, to, {}, {}, "Ромашка"), "b Ромашка/c1/ = 50.00 0.00 50.00");
    CashStore store(db());
    EXPECT_EQ(store.ClientNames(), QStringList{"Ромашка"});

    EXPECT_TRUE(store.DeletePayment("c"));
    EXPECT_TRUE(store.DeletePayment("d"));
    EXPECT_FALSE(store.DeletePayment("missing"));
    EXPECT_EQ(ColumnTexts(db(), "SELECT IddWorkPay FROM TWorkPay WHERE DeleteWorkPay = ?", {false}),
              QStringList{"l2"});
    EXPECT_EQ(Journal(from, to), "a Заказ №А-7 от 02.05.2024//|b Ромашка/c1/ = 350.00 0.00 350.00");
}

// The client's live orders and payments; an order keyed like the client holds the client's own rows.
TEST_P(CashStoreTest, ClientsDebtsOrdersAndAccountFromLiveRowsOnly) {
    Put(db(), Order{.key = "paid", .date = At(2024, 1, 1), .lines = {{.price = 118.01}}});
    Put(db(), Order{.key = "half", .date = At(2024, 1, 3), .lines = {{.price = 500}}});
    Put(db(), Order{.key = "gone", .date = At(2024, 1, 4), .deleted = true});
    Put(db(), Order{.key = "other", .date = At(2024, 1, 4), .client = "c2"});
    Put(db(), Order{.key = "c1", .date = At(2023, 12, 31), .noLines = true});
    // Order payments and account rows interleave by date; one moment shared goes by key, descending.
    for (const Pay &p : {Pay{"p1", "paid", OrderPayment, 100, At(2024, 1, 1)},
                         Pay{"p2", "paid", OrderPayment, 18.01, At(2024, 1, 2)},
                         Pay{"p3", "half", OrderPayment, 200, At(2024, 1, 3)},
                         Pay{"p4", "half", OrderPayment, 300, At(2024, 1, 3), {}, {}, true},
                         Pay{"deadOrder", "gone", OrderPayment, 60, At(2024, 1, 2)},
                         Pay{"otherClient", "other", OrderPayment, 60, At(2024, 1, 2)},
                         Pay{"deposit", "c1", ClientAccount, 500, At(2024, 1, 3)},
                         Pay{"refund", "c1", ClientAccount, -100, At(2024, 1, 4)},
                         Pay{"deleted", "c1", ClientAccount, 10, At(2024, 1, 5), {}, {}, true}})
        Put(db(), p);
    CashStore store(db());
    const QList<UnpaidOrder> unpaid = store.UnpaidOrders("c1");
    ASSERT_EQ(unpaid.size(), 1);
    EXPECT_EQ(unpaid[0].IddZakaz + u' ' + unpaid[0].debt.Text(), "half 300.00");
    EXPECT_EQ(store.OrderDebt("half"), Rub(300));
    EXPECT_EQ(store.OrderDebt("nope"), Rub(0));
    QStringList orders, account;
    for (const ClientOrderRow &o : store.ClientOrders("c1"))  // latest appointment first
        orders << o.IddZakaz + u' ' + o.total.Text() + u' ' + o.debt.Text();
    EXPECT_EQ(orders, (QStringList{"half 500.00 300.00", "paid 118.01 0.00", "c1 0.00 -400.00"}));
    for (const PayRecord &p : store.ClientAccount("c1")) account << p.IddPay;
    EXPECT_EQ(account, (QStringList{"refund", "p3", "deposit", "p2", "p1"}));
}
