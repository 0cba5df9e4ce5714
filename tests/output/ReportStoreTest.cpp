#include "Database.h"
#include "ExcelReports.h"
#include "OrderStore.h"
#include "ReportStore.h"
#include "Rows.h"
#include "Rub.h"
#include "TestDb.h"
#include "XlsxProbe.h"

#include <QTemporaryDir>

namespace {

std::string S(const QString &s) {
    return s.toStdString();
}

QDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

class ReportStoreTest : public DbTest {
protected:
    QTemporaryDir m_out;
    QStringList m_opened;
    ExcelSession m_session{m_out.filePath(QStringLiteral("reports")), [this](const QString &file) {
                               m_opened << file;
                               return QString();
                           }};

    void Pay(const QString &key, const QString &order, const QString &purpose, const QDateTime &when,
             double sum, bool deleted = false, const QString &number = QStringLiteral("1")) {
        Rows::Insert(db(), QStringLiteral("TPay"),
                     {{QStringLiteral("IddPay"), key},
                      {QStringLiteral("IddZakaz"), order},
                      {QStringLiteral("TypePay"), 0},
                      {QStringLiteral("NaznPay"), purpose},
                      {QStringLiteral("NomerPay"), number},
                      {QStringLiteral("DataPay"), when},
                      {QStringLiteral("SummaPay"), sum},
                      {QStringLiteral("DocPay"), QStringLiteral("док-") + key},
                      {QStringLiteral("PrimPay"), QString()},
                      {QStringLiteral("Delete"), deleted}});
    }
    void Client(const QString &key, const QString &name) {
        Rows::Insert(db(), QStringLiteral("SClient"),
                     {{QStringLiteral("IddClient"), key},
                      {QStringLiteral("ClientName"), name},
                      {QStringLiteral("ClientINN"), QStringLiteral("0012345678/770101001")},
                      {QStringLiteral("ClientTel"), QStringLiteral("495-000")},
                      {QStringLiteral("ClientBank"), QStringLiteral("ПАО Банк")},
                      {QStringLiteral("ClientBIK"), QStringLiteral("044525225")},
                      {QStringLiteral("ClientContact"), QStringLiteral("Мария")}});
    }
    void Car(const QString &link, const QString &car, const QString &client, const QString &plate,
             bool deleted) {
        Rows::Insert(db(), QStringLiteral("SAvto"),
                     {{QStringLiteral("IddAvto"), car},
                      {QStringLiteral("AvtoNomer"), plate},
                      {QStringLiteral("AvtoMarka"), QStringLiteral("Лада")},
                      {QStringLiteral("AvtoColor"), QStringLiteral("синий")}});
        Rows::Insert(db(), QStringLiteral("AvtoVlad"),
                     {{QStringLiteral("IddAvtoVlad"), link},
                      {QStringLiteral("IddAvto"), car},
                      {QStringLiteral("IddVlad"), client},
                      {QStringLiteral("Delete"), deleted}});
    }
    void Order(const QString &key, const QString &client, const QDateTime &date, double price, bool deleted) {
        ::Order o;
        o.IddZakaz = key;
        o.ZakazNomer = QStringLiteral("N") + key;
        o.ZakazData = date;
        o.ZakazBegin = o.ZakazBeginIn = date;
        o.ZakazEndOut = QDateTime(QDate(1899, 12, 30), QTime(0, 0));
        o.IddAvto = QStringLiteral("car");
        o.IddVlad = client;
        OrderStore store(db());
        store.InsertOrder(o);
        OrderLine line;
        line.iddService = QStringLiteral("s-") + key;
        line.name = QStringLiteral("Мойка");
        line.count = 2;
        line.price = Rub(price);
        line.prNds = 20;
        store.SaveLine(key, line);
        if (deleted)
            Rows::Update(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), key}},
                         {{QStringLiteral("Delete"), true}});
    }
};

}  // namespace

// The first day's payments belong to the movements, never to the opening balance as well, and the last
// day counts to its final second.
TEST_P(ReportStoreTest, TurnoverSplitsTheBoundaryOnceAndNetsArticles) {
    Pay("p1", {}, QStringLiteral("Выручка"), At(2026, 2, 28, 23, 59, 59), 1000);  // before: opening
    Pay("p2", {}, QStringLiteral("Выручка"), At(2026, 3, 1), 200);                // first instant
    Pay("p3", {}, QStringLiteral("Выручка"), At(2026, 3, 1, 12), 300);
    Pay("p4", {}, QStringLiteral("Аренда"), At(2026, 3, 31, 23, 59, 59), -150);  // last second
    Pay("p5", {}, QStringLiteral("Выручка"), At(2026, 4, 1), 5000);              // after the period
    Pay("p6", {}, QStringLiteral("Выручка"), At(2026, 3, 10), 7000, true);       // deleted
    Pay("p7", {}, QStringLiteral("Возврат"), At(2026, 3, 5), 40.1);              // nets to zero
    Pay("p8", {}, QStringLiteral("Возврат"), At(2026, 3, 6), -40.1);
    Pay("p9", {}, QStringLiteral("Зарплата"), At(2026, 3, 15), -600);
    Pay("pa", {}, QStringLiteral("Опт"), At(2026, 2, 1), -100);  // opening

    ReportStore store(db());
    const TurnoverData data = store.Turnover(QDate(2026, 3, 1), QDate(2026, 3, 31));
    EXPECT_EQ(data.opening, Rub(900));
    ExcelReports reports(m_session, {}, false);
    ASSERT_TRUE(reports.Turnover(QDate(2026, 3, 1), QDate(2026, 3, 31), data));
    const ExcelSheet &sheet = m_session.Sheet();
    QStringList col;
    for (int r = 1; r <= 12; ++r)
        col << sheet.Text(QStringLiteral("A%1").arg(r)) + u'|' + sheet.Text(QStringLiteral("B%1").arg(r));
    EXPECT_EQ(S(col.join(u'\n')),
              "Оборотная ведомость с:01.03.2026 по:31.03.2026|\n"
              "|\n"
              "Статья|Сумма\n"
              "Остаток на начало:|900.00\n"
              "Доходы:|\n"
              "Выручка|500.00\n"
              "Итого:|500.00\n"
              "Расходы|\n"
              "Аренда|-150.00\n"
              "Зарплата|-600.00\n"
              "Итого:|-750.00\n"
              "Остаток на конец:|650.00");
    EXPECT_NE(sheet.MergeAt(4, 0), nullptr);
    EXPECT_NE(sheet.MergeAt(7, 0), nullptr);
    EXPECT_TRUE(sheet.FormatAt(QStringLiteral("A8")).bold);
    EXPECT_TRUE(sheet.FormatAt(QStringLiteral("B12")).bold);
    EXPECT_EQ(sheet.Page().zoom, 78);
    EXPECT_EQ(sheet.ColumnWidth(QStringLiteral("A")), 50);
    EXPECT_EQ(sheet.ColumnWidth(QStringLiteral("B")), 20);

    // The next period opens with this one's closing balance: nothing lost or counted twice.
    EXPECT_EQ(store.Turnover(QDate(2026, 4, 1), QDate(2026, 4, 1)).opening, Rub(650));
}

TEST_P(ReportStoreTest, ClientCardListsItsCarsOrdersAndExactlyItsPayments) {
    Client("cl", QStringLiteral("ООО \"Ромашка\""));
    Client("other", QStringLiteral("Другой"));
    Car("l1", "car1", "cl", QStringLiteral("В222ВВ77"), false);
    Car("l2", "car2", "cl", QStringLiteral("С333СС77"), true);  // link deleted
    Order("o2", "cl", At(2026, 2, 10, 9), 100, false);
    Order("o1", "cl", At(2026, 1, 5, 9), 50, false);
    Order("od", "cl", At(2026, 1, 7, 9), 70, true);
    Order("ox", "other", At(2026, 1, 8, 9), 70, false);
    Pay("a", "o1", QStringLiteral("Оплата"), At(2026, 1, 6), 120);         // live order: listed
    Pay("b", "o2", QStringLiteral("Оплата"), At(2026, 2, 11), 40);         // live order: listed
    Pay("c", "o2", QStringLiteral("Оплата"), At(2026, 2, 12), 999, true);  // deleted payment
    Pay("d", "od", QStringLiteral("Оплата"), At(2026, 1, 8), 84);          // deleted order
    Pay("e", "cl", QStringLiteral("Аванс клиента"), At(2026, 3, 1), 500);  // filed under the client
    Pay("f", "ox", QStringLiteral("Оплата"), At(2026, 1, 9), 84);          // another client's order
    Pay("g", "other", QStringLiteral("Аванс"), At(2026, 1, 9), 10);        // another client's own

    ReportStore store(db());
    const ClientCardData card = store.ClientCard(QStringLiteral("cl"));
    EXPECT_EQ(S(card.client.value(QStringLiteral("ClientName"))), "ООО \"Ромашка\"");
    ASSERT_EQ(card.cars.size(), 1);
    EXPECT_EQ(S(card.cars[0].plate), "В222ВВ77");
    ASSERT_EQ(card.orders.size(), 2);
    EXPECT_EQ(S(card.orders[0].number), "No1");
    EXPECT_EQ(card.orders[0].total, Rub(120));
    EXPECT_EQ(card.orders[0].debt, Rub(0));
    EXPECT_EQ(card.orders[1].total, Rub(240));
    EXPECT_EQ(card.orders[1].debt, Rub(200));
    QStringList paid;
    for (const auto &p : card.payments) paid << p.document;
    EXPECT_EQ(S(paid.join(u',')), "док-e,док-b,док-a");  // newest first

    ExcelReports reports(m_session);
    ASSERT_TRUE(reports.ClientCard(card));
    const ExcelSheet &sheet = m_session.Sheet();
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A1"))), "Карта клиента");
    EXPECT_EQ(sheet.ColumnWidth(QStringLiteral("CX")), 0.5);
    EXPECT_EQ(sheet.ColumnWidth(QStringLiteral("CY")), std::nullopt);
    EXPECT_EQ(S(sheet.Text(QStringLiteral("L4"))), "0012345678/770101001");
    EXPECT_EQ(S(sheet.FormatAt(QStringLiteral("L4")).numberFormat), "@");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("BO9"))), "");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("CB12"))), "044525225");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A13"))), "Контактное лицо: Мария");
    EXPECT_TRUE(sheet.FormatAt(QStringLiteral("CX9")).border);
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A16"))), "В222ВВ77");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A17"))), "Заказы:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("BN18"))), "Сумма:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("AB19"))), "05.01.2026 09:00");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("AU19"))), "");  // not finished
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A21"))), "Итого:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("BN21"))), "360.00");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("CG21"))), "200.00");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A22"))), "Платежи:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("AO23"))), "Назначение:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("AO24"))), "Аванс клиента");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("A27"))), "Итого:");
    EXPECT_EQ(S(sheet.Text(QStringLiteral("AB27"))), "660.00");
    const CellRange *m = sheet.MergeAt(26, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(S(m->Name()), "A27:AA27");

    const XlsxProbe probe = XlsxProbe::Read(reports.File());
    ASSERT_TRUE(probe.error.isEmpty()) << S(probe.error);
    EXPECT_TRUE(probe.merges.contains(QStringLiteral("BQ4:CX4")));
    EXPECT_DOUBLE_EQ(probe.cells.value(QStringLiteral("AB27")).value.toDouble(), 660);
    QString error;
    const QList<QStringList> rows = CalcRows(reports.File(), &error);
    ASSERT_GE(rows.size(), 27) << S(error);
    EXPECT_EQ(S(rows[0].value(0)), "Карта клиента");
    EXPECT_EQ(S(rows[23].value(40)), "Аванс клиента");
}

TEST_P(ReportStoreTest, StoredStatementAndSignatories) {
    Rows::Update(db(), QStringLiteral("SMain"), {{QStringLiteral("IddMain"), QStringLiteral("1")}},
                 {{QStringLiteral("MainDirector"), QStringLiteral("Иванов И.И.")},
                  {QStringLiteral("MainByx"), QStringLiteral("Петрова А.А.")}});
    for (const auto &[key, fio] : {std::pair{"w1", "Борисов Б.Б."}, std::pair{"w2", "Алексеев А.А."}})
        Rows::Insert(db(), QStringLiteral("SWork"),
                     {{QStringLiteral("IddWork"), QString::fromLatin1(key)},
                      {QStringLiteral("WorkFIO"), QString::fromUtf8(fio)},
                      {QStringLiteral("Delete"), false}});
    const auto line = [&](const char *key, const char *pay, const char *work, double sum, bool deleted) {
        Rows::Insert(db(), QStringLiteral("TWorkPay"),
                     {{QStringLiteral("IddWorkPay"), QString::fromLatin1(key)},
                      {QStringLiteral("IddPay"), QString::fromLatin1(pay)},
                      {QStringLiteral("IddWork"), QString::fromLatin1(work)},
                      {QStringLiteral("SummaWorkPay"), sum},
                      {QStringLiteral("DeleteWorkPay"), deleted}});
    };
    line("x1", "pay", "w1", 3000, false);
    line("x2", "pay", "w2", 2000, false);
    line("x3", "pay", "w2", 9999, true);
    line("x4", "other", "w1", 1, false);

    ReportStore store(db());
    const QList<PayoutSheetRow> rows = store.PayoutSheet(QStringLiteral("pay"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(S(rows[0].worker), "Алексеев А.А.");
    EXPECT_EQ(rows[1].amount, Rub(3000));
    QString director, accountant;
    store.Signatories(&director, &accountant);
    EXPECT_EQ(S(director), "Иванов И.И.");
    EXPECT_EQ(S(accountant), "Петрова А.А.");
}

ZV_INSTANTIATE_DB_TESTS(ReportStoreTest);
