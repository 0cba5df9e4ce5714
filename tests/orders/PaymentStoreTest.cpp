#include "CounterStore.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace Qt::StringLiterals;

class PaymentStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(PaymentStoreTest);

TEST_P(PaymentStoreTest, SaveInsertsThenUpdatesByKeyAndOrder) {
    PaymentStore store(db());
    PayRecord p{.TypePay = ClientAccount, .NaznPay = u"Возврат"_s, .NomerPay = u"12"_s};
    p.DataPay = QDateTime(QDate(2024, 2, 29), QTime(16, 30, 5)), p.SummaPay = Rub(-250.75);
    p.DocPay = u"РКО №12"_s, p.PrimPay = u"клиент 'Ромашка'"_s;
    const QString key = store.SavePayment(p, u"client-1"_s, u"anna"_s, u"1"_s);
    EXPECT_EQ(p.IddPay, key);
    EXPECT_TRUE(key.endsWith(u"~1"));

    auto back = store.LoadPayment(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(
        QStringList({back->IddZakaz, QString::number(back->TypePay), back->NaznPay,
                     back->DataPay.toString(Qt::ISODate), back->SummaPay.Text(), back->DocPay, back->PrimPay,
                     QString::number(back->Delete)})
            .join(u'|'),
        u"client-1|%1|Возврат|2024-02-29T16:30:05|-250.75|РКО №12|клиент 'Ромашка'|0"_s.arg(ClientAccount));
    back->SummaPay = Rub(-200);
    back->Delete = 1;
    EXPECT_EQ(store.SavePayment(*back, u"client-1"_s, u"anna"_s), key);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TPay"_s), 1);
    EXPECT_EQ(store.LoadPayment(key)->Delete, 1);
    EXPECT_TRUE(store.LoadOrderPayments(u"client-1"_s).isEmpty());
}

TEST_P(PaymentStoreTest, NewDocumentsAreNumberedWhenSaved) {
    TestRows::PutCounters(db(), 0, 7, 30);
    CounterStore counters(db());
    PaymentStore store(db());
    auto doc = [](double sum, const QString &typed, const QString &proposed) {
        return PayRecord{
            .NaznPay = u"Приход"_s, .NomerPay = typed, .SummaPay = Rub(sum), .ProposedNomer = proposed};
    };
    // Proposed 8 while the form was open, but another workstation used 8 meanwhile.
    counters.Take(DocCounter::Pay);
    PayRecord a = doc(100, u"8"_s, u"8"_s);
    store.SavePayment(a, u"0"_s, u"anna"_s);
    EXPECT_EQ(a.NomerPay, u"9"_s);
    // A number typed over the proposal stands and the counter follows it up, never down.
    PayRecord b = doc(100, u"100"_s, u"10"_s);
    store.SavePayment(b, u"0"_s, u"anna"_s);
    EXPECT_EQ(b.NomerPay, u"100"_s);
    PayRecord c = doc(100, u"3"_s, u"101"_s);
    store.SavePayment(c, u"0"_s, u"anna"_s);
    EXPECT_EQ(counters.ReadAll()->payNomer, 100);
    // Money out takes the outgoing counter; editing a stored document leaves the counters alone.
    PayRecord refund = doc(-50, u"31"_s, u"31"_s);
    store.SavePayment(refund, u"0"_s, u"anna"_s);
    EXPECT_EQ(refund.NomerPay, u"31"_s);
    refund.NomerPay = u"500"_s;
    store.SavePayment(refund, u"0"_s, u"anna"_s);
    EXPECT_EQ(counters.ReadAll()->outPayNomer, 31);
    EXPECT_EQ(store.LoadPayment(refund.IddPay)->NomerPay, u"500"_s);
}
