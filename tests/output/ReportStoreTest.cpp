#include "CompanyStore.h"
#include "ReportStore.h"
#include "Rub.h"
#include "SheetCheck.h"
#include "TestDb.h"
#include "TestRows.h"

using namespace TestRows;

namespace {

class ReportStoreTest : public DbTest {
protected:
    void Pay(const char *key, const char *order, const char *purpose, const QDateTime &when, double sum,
             bool deleted = false) {
        TestRows::Put(db(), TestRows::Pay{key, order, 0, sum, when, purpose, key, deleted});
    }
    QTemporaryDir m_out;
    QStringList m_opened;
    ExcelSession m_session{m_out.filePath("reports"), [this](const QString &file) {
                               m_opened << file;
                               return QString();
                           }};
};

}  // namespace

// The first day's payments belong to the movements, never to the opening balance as well, and the last
// day counts to its final second.
TEST_P(ReportStoreTest, TurnoverSplitsTheBoundaryOnceAndNetsArticles) {
    Pay("p1", "", "Выручка", At(2026, 2, 28, 23, 59, 59), 1000);  // before: opening
    Pay("p2", "", "Выручка", At(2026, 3, 1), 200);                // first instant
    Pay("p3", "", "Выручка", At(2026, 3, 1, 12), 300);
    Pay("p4", "", "Аренда", At(2026, 3, 31, 23, 59, 59), -150);  // last second
    Pay("p5", "", "Выручка", At(2026, 4, 1), 5000);              // after the period
    Pay("p6", "", "Выручка", At(2026, 3, 10), 7000, true);       // deleted
    Pay("p7", "", "Возврат", At(2026, 3, 5), 40.1);              // nets to zero
    Pay("p8", "", "Возврат", At(2026, 3, 6), -40.1);
    Pay("p9", "", "Зарплата", At(2026, 3, 15), -600);
    Pay("pa", "", "Опт", At(2026, 2, 1), -100);  // opening

    ReportStore store(db());
    const TurnoverData data = store.Turnover(QDate(2026, 3, 1), QDate(2026, 3, 31));
    ASSERT_TRUE(ExcelReports(m_session, {}, false).Turnover(QDate(2026, 3, 1), QDate(2026, 3, 31), data));
    const ExcelSheet &sheet = m_session.Sheet();
    EXPECT_EQ(Table(sheet, "A1:B12"),
              "Оборотная ведомость с:01.03.2026 по:31.03.2026|\n|\nСтатья|Сумма\nОстаток на начало:|900.00\n"
              "Доходы:|\nВыручка|500.00\nИтого:|500.00\nРасходы|\nАренда|-150.00\nЗарплата|-600.00\n"
              "Итого:|-750.00\nОстаток на конец:|650.00");

    // The next period opens with this one's closing balance: nothing lost or counted twice.
    EXPECT_EQ(store.Turnover(QDate(2026, 4, 1), QDate(2026, 4, 1)).opening, Rub(650));
}

TEST_P(ReportStoreTest, ClientCardListsItsCarsOrdersAndExactlyItsPayments) {
    const Client owner{"cl", "ООО \"Ромашка\"", "495-000", "0012345678/770101001", "Тверь",
                       {},   "044525225",       "Мария"};
    TestRows::Put(db(), owner);
    Put(db(), Car{.key = "car1", .plate = "В222ВВ77", .owner = "cl"});
    Put(db(), Car{.key = "car2", .plate = "С333СС77", .owner = "cl", .ownerDeleted = true});
    const auto order = [&](const char *key, const char *client, const QDateTime &date, double price,
                           bool deleted) {
        const QDateTime unfinished(QDate(1899, 12, 30), QTime(0, 0));
        Order o{key, QStringLiteral("N") + key, date, {}, unfinished, 1, {}, client, deleted};
        o.lines = {{.count = 2, .price = price, .nds = 20}};
        Put(db(), o);
    };
    order("o2", "cl", At(2026, 2, 10, 9), 100, false);
    order("o1", "cl", At(2026, 1, 5, 9), 50, false);
    order("od", "cl", At(2026, 1, 7, 9), 70, true);
    order("ox", "other", At(2026, 1, 8, 9), 70, false);
    Pay("a", "o1", "Оплата", At(2026, 1, 6), 120);         // live order: listed
    Pay("b", "o2", "Оплата", At(2026, 2, 11), 40);         // live order: listed
    Pay("c", "o2", "Оплата", At(2026, 2, 12), 999, true);  // deleted payment
    Pay("d", "od", "Оплата", At(2026, 1, 8), 84);          // deleted order
    Pay("e", "cl", "Аванс клиента", At(2026, 3, 1), 500);  // filed under the client
    Pay("f", "ox", "Оплата", At(2026, 1, 9), 84);          // another client's order
    Pay("g", "other", "Аванс", At(2026, 1, 9), 10);        // another client's own

    const ClientCardData card = ReportStore(db()).ClientCard("cl");
    QStringList listed;
    for (const auto &c : card.cars) listed << c.plate;
    for (const auto &o : card.orders) listed << o.number + ' ' + o.total.Text() + ' ' + o.debt.Text();
    for (const auto &p : card.payments) listed << p.number;  // newest first
    EXPECT_EQ(S(listed.join(u',')), "В222ВВ77,No1 120.00 0.00,No2 240.00 200.00,e,b,a");

    ExcelReports reports(m_session);
    ASSERT_TRUE(reports.ClientCard(card));
    const ExcelSheet &sheet = m_session.Sheet();
    // The client's fields as the sheet shows them, then its cars, orders and payments.
    EXPECT_EQ(
        Texts(sheet, "A1 A3 L4 I6 H8 CB12 A13 A16 AB19 AU19 BN21 CG21 AO24 AB27"),
        "Карта клиента|ООО \"Ромашка\"|0012345678/770101001|Тверь|495-000|044525225|Контактное лицо: Мария|"
        "В222ВВ77|05.01.2026 09:00||360.00|200.00|Аванс клиента|660.00");
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_P(ReportStoreTest, StoredStatementAndSignatories) {
    CompanyInfo company;
    company.Field("MainDirector") = "Иванов И.И.", company.Field("MainByx") = "Петрова А.А.";
    CompanyStore(db()).Save(company);
    Put(db(), Worker{.key = "w1", .fio = "Борисов Б.Б."});
    Put(db(), Worker{.key = "w2", .fio = "Алексеев А.А."});
    Put(db(), Payout{.key = "x1", .pay = "pay", .worker = "w1", .sum = 3000});
    Put(db(), Payout{.key = "x2", .pay = "pay", .worker = "w2", .sum = 2000});
    Put(db(), Payout{.key = "x3", .pay = "pay", .worker = "w2", .sum = 9999, .deleted = true});
    Put(db(), Payout{.key = "x4", .pay = "other", .worker = "w1", .sum = 1});

    ReportStore store(db());
    QStringList listed;
    for (const PayoutSheetRow &r : store.PayoutSheet("pay")) listed << r.worker + u'|' + r.amount.Text();
    EXPECT_EQ(S(listed.join(u'|')), "Алексеев А.А.|2000.00|Борисов Б.Б.|3000.00");
    QString director, accountant;
    store.Signatories(&director, &accountant);
    EXPECT_EQ(S(director + u'|' + accountant), "Иванов И.И.|Петрова А.А.");
}

ZV_INSTANTIATE_DB_TESTS(ReportStoreTest);
