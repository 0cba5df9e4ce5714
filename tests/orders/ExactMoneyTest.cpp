#include "CashStore.h"
#include "DbError.h"
#include "OrderFixtures.h"
#include "OrderJournalStore.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "TestDb.h"

using namespace Fixture;

class ExactMoneyTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(ExactMoneyTest);

// A database of an older version whose amounts carry the dust of doubles, written past the program's
// rounding as another program would: after the upgrade the stored totals, the debts, the journal and the
// client card agree to the kopeck, and an order paid to the kopeck owes nothing.
TEST_P(ExactMoneyTest, AnOldDatabaseWithDustIsConvertedToTheKopeck) {
    MakeVersion1(db());
    const auto exec = [&](const char *sql, const QVariantList &binds) {
        db().Exec(QString::fromUtf8(sql), binds);
    };
    TestRows::Put(db(), TestRows::Client{.key = "c1"});
    for (const char *zakaz : {"z1", "z3"})
        exec(
            "INSERT INTO TZakaz (IddZakaz, ZakazNomer, IddVlad, ZakazStatus, ZakazData, [Delete]) "
            "VALUES (?, ?, 'c1', 2, ?, ?)",
            {QString::fromLatin1(zakaz), QString::fromLatin1(zakaz),
             QDateTime(QDate(2020, 1, 10), QTime(0, 0)), false});
    const auto line = [&](const char *zakaz, const char *service, double count, double price, double nds) {
        exec(
            "INSERT INTO TService (IddZakaz, IddService, IddTop, [Count], Price, PrNDS, [Delete]) "
            "VALUES (?, ?, 'top', ?, ?, ?, ?)",
            {QString::fromLatin1(zakaz), QString::fromLatin1(service), count, price, nds, false});
    };
    const auto pay = [&](const char *id, const char *zakaz, double sum) {
        exec("INSERT INTO TPay (IddPay, IddZakaz, TypePay, SummaPay, [Delete]) VALUES (?, ?, 0, ?, ?)",
             {QString::fromLatin1(id), QString::fromLatin1(zakaz), sum, false});
    };
    line("z1", "s1", 3, 33.333, 20);  // 33.33 x 3 = 99.99, VAT 20.00 (19.998): 119.99
    pay("p1", "z1", 119.99 + 1e-9);   // paid to the kopeck
    line("z3", "s1", 1, 99.999, 0);   // 100.00
    pay("p3", "z3", 50.004);          // 50.00: 50.00 owed
    m_db.reset();
    m_db = OpenAgain();

    EXPECT_EQ(FirstValue(db(), u"SELECT ZakazSumma FROM TZakaz WHERE IddZakaz = 'z1'"_s).toDouble(), 119.99);
    QStringList card;
    for (const ClientOrderRow &o : CashStore(db()).ClientOrders(u"c1"_s))
        card << o.IddZakaz + u':' + o.debt.Text();
    card.sort();
    EXPECT_EQ(card.join(u','), u"z1:0.00,z3:50.00"_s);

    // The journal lists the orders in debt whatever their date: only z3.
    JournalFilter f;
    f.from = f.to = QDate(2030, 1, 1);
    const QList<JournalOrder> journal = OrderJournalStore(db()).Search(f);
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(journal[0].IddZakaz + u':' + journal[0].debt.Text(), u"z3:50.00"_s);
}

// The limit of amounts and quantities: one over is refused with the same message on both databases and
// nothing is written; at the limit an order and a payment are saved and read back whole.
TEST_P(ExactMoneyTest, AmountsAndQuantitiesAreHeldToOneLimit) {
    const Money most = Money::Kopecks(Money::kMaxKopecks);
    const auto refusal = [&](const std::function<void()> &save) {
        try {
            save();
        } catch (const DbError &e) {
            return e.text();
        }
        return u"<saved>"_s;
    };

    PayRecord pay{.NomerPay = u"1"_s,
                  .DataPay = QDateTime(QDate(2024, 5, 1), QTime(10, 0)),
                  .SummaPay = most + Money::Kopecks(1)};
    EXPECT_EQ(refusal([&] { PaymentStore(db()).SavePayment(pay, u"z"_s, u"anna"_s); }),
              QStringLiteral("Поле «Сумма» не может быть больше 999 999 999,99 по модулю.\n"
                             "Исправьте значение: ничего не сохранено."));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TPay"_s), 0);

    Order o = NewOrder();
    o.lines = {Service(u"s"_s, u"Мойка"_s, 100000, 1, 0)};
    EXPECT_EQ(refusal([&] { OrderStore(db()).Save(o, u"anna"_s); }),
              QStringLiteral("Поле «Количество» не может быть больше 99 999 по модулю.\n"
                             "Исправьте значение: ничего не сохранено."));
    o.lines = {Service(u"s"_s, u"Мойка"_s, 2, 999999999.99, 0)};
    EXPECT_TRUE(refusal([&] {
                    OrderStore(db()).Save(o, u"anna"_s);
                }).startsWith(u"Сумма заказа не может быть больше 999 999 999,99."_s));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TZakaz"_s), 0);

    o.lines = {Service(u"s"_s, u"Мойка"_s, 1, 999999999.99, 0), Service(u"t"_s, u"Паста"_s, 99999, 0, 0)};
    const QString key = OrderStore(db()).Save(o, u"anna"_s);
    pay.SummaPay = most;
    PaymentStore(db()).SavePayment(pay, key, u"anna"_s);
    const std::optional<Order> back = OrderStore(db()).Load(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(Text(back->lines), u"s Мойка 1x999999999.99 00:30; t Паста 99999x0.00 00:30"_s);
    EXPECT_EQ(back->payments.value(0).SummaPay, most);
    EXPECT_EQ(CashStore(db()).OrderDebt(key), Money());
}
