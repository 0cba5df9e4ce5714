#include "CounterStore.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"

class PaymentStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(PaymentStoreTest);

TEST_P(PaymentStoreTest, SaveInsertsThenUpdatesByKeyAndOrder) {
    PaymentStore store(db());
    PayRecord p;
    p.TypePay = ClientAccount;
    p.NaznPay = QStringLiteral("Возврат");
    p.NomerPay = QStringLiteral("12");
    p.DataPay = QDateTime(QDate(2024, 2, 29), QTime(16, 30, 5));
    p.SummaPay = Rub(-250.75);
    p.DocPay = QStringLiteral("РКО №12");
    p.PrimPay = QStringLiteral("клиент 'Ромашка'");
    const QString key =
        store.SavePayment(p, QStringLiteral("client-1"), QStringLiteral("anna"), QStringLiteral("1"));
    EXPECT_EQ(p.IddPay, key);
    EXPECT_TRUE(key.endsWith(u"~1"));

    auto back = store.LoadPayment(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->IddZakaz, QStringLiteral("client-1"));
    EXPECT_EQ(back->TypePay, ClientAccount);
    EXPECT_EQ(back->NaznPay, QStringLiteral("Возврат"));
    EXPECT_EQ(back->DataPay, p.DataPay);
    EXPECT_EQ(back->SummaPay, Rub(-250.75));
    EXPECT_EQ(back->PrimPay, QStringLiteral("клиент 'Ромашка'"));
    EXPECT_EQ(back->Delete, 0);

    back->SummaPay = Rub(-200);
    back->Delete = 1;
    EXPECT_EQ(store.SavePayment(*back, QStringLiteral("client-1"), QStringLiteral("anna")), key);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);
    EXPECT_EQ(store.LoadPayment(key)->Delete, 1);
    EXPECT_TRUE(store.LoadOrderPayments(QStringLiteral("client-1")).isEmpty());

    // The same key under another order is a new row, as the lookup is by key and order together.
    PayRecord moved = *store.LoadPayment(key);
    moved.Delete = 0;
    const QString other = store.SavePayment(moved, QStringLiteral("order-9"), QStringLiteral("anna"));
    EXPECT_NE(other, key);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 2);
    const QList<PayRecord> moved9 = store.LoadOrderPayments(QStringLiteral("order-9"));
    ASSERT_EQ(moved9.size(), 1);
    EXPECT_EQ(moved9[0].SummaPay, Rub(-200.0));
}

TEST_P(PaymentStoreTest, NewDocumentsAreNumberedWhenSaved) {
    TestRows::PutCounters(db(), 0, 7, 30);
    CounterStore counters(db());
    PaymentStore store(db());
    auto doc = [](double sum, const QString &typed, const QString &proposed) {
        PayRecord p;
        p.NaznPay = QStringLiteral("Приход");
        p.SummaPay = Rub(sum);
        p.NomerPay = typed;
        p.ProposedNomer = proposed;
        return p;
    };
    // Proposed 8 while the form was open, but another workstation used 8 meanwhile.
    counters.Take(DocCounter::Pay);
    PayRecord a = doc(100, QStringLiteral("8"), QStringLiteral("8"));
    store.SavePayment(a, QStringLiteral("0"), QStringLiteral("anna"));
    EXPECT_EQ(a.NomerPay, QStringLiteral("9"));
    // A number typed over the proposal stands and the counter follows it up, never down.
    PayRecord b = doc(100, QStringLiteral("100"), QStringLiteral("10"));
    store.SavePayment(b, QStringLiteral("0"), QStringLiteral("anna"));
    EXPECT_EQ(b.NomerPay, QStringLiteral("100"));
    PayRecord c = doc(100, QStringLiteral("3"), QStringLiteral("101"));
    store.SavePayment(c, QStringLiteral("0"), QStringLiteral("anna"));
    EXPECT_EQ(counters.ReadAll()->payNomer, 100);
    // Money out takes the outgoing counter; editing a stored document leaves the counters alone.
    PayRecord refund = doc(-50, QStringLiteral("31"), QStringLiteral("31"));
    store.SavePayment(refund, QStringLiteral("0"), QStringLiteral("anna"));
    EXPECT_EQ(refund.NomerPay, QStringLiteral("31"));
    refund.NomerPay = QStringLiteral("500");
    store.SavePayment(refund, QStringLiteral("0"), QStringLiteral("anna"));
    EXPECT_EQ(counters.ReadAll()->outPayNomer, 31);
    EXPECT_EQ(store.LoadPayment(refund.IddPay)->NomerPay, QStringLiteral("500"));
}
