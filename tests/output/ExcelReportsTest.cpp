#include "ExcelReports.h"
#include "ExcelSession.h"
#include "ReportRows.h"
#include "Rub.h"
#include "ScriptedPrompter.h"
#include "XlsxProbe.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace {

std::string S(const QString &s) {
    return s.toStdString();
}

QDateTime At(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

// Reports built into a session writing to a temporary folder; nothing is launched.
struct ReportsFixture : ::testing::Test {
    QTemporaryDir dir;
    QStringList opened;
    ExcelSession session{dir.filePath(QStringLiteral("reports")), [this](const QString &file) {
                             opened << file;
                             return QString();
                         }};
    ExcelReports reports{session, {}, false};
    const ExcelSheet &sheet() const { return session.Sheet(); }
    QString Text(const char *cell) const { return sheet().Text(QString::fromLatin1(cell)); }
    CellFormat Format(const char *cell) const { return sheet().FormatAt(QString::fromLatin1(cell)); }
    bool Merged(const char *range) const {
        const auto r = CellRange::Parse(QString::fromLatin1(range));
        const CellRange *m = sheet().MergeAt(r->firstRow, r->firstColumn);
        return m && *m == *r;
    }
    double Width(const char *column) const {
        return sheet().ColumnWidth(QString::fromLatin1(column)).value_or(-1);
    }
};

}  // namespace

TEST_F(ReportsFixture, CashOperationsLayoutAndCounterpart) {
    CashOperationRow all;
    all.NomerPay = QStringLiteral("007");
    all.DataPay = At(2026, 3, 5, 14, 30);
    all.SummaPay = Rub(1500.5);
    all.NaznPay = QStringLiteral("Оплата услуг");
    all.DocPay = QStringLiteral("ПКО 7");
    all.PrimPay = QStringLiteral("наличные");
    all.ClientName = QStringLiteral("ООО Ромашка");
    all.WorkFIO = QStringLiteral("Сидоров П.П.");
    all.ZakazNomer = QStringLiteral("15");
    all.ZakazData = At(2026, 3, 1, 10);
    CashOperationRow worker;
    worker.SummaPay = Rub(-400);
    worker.WorkFIO = QStringLiteral("Сидоров П.П.");
    CashOperationRow order;
    order.SummaPay = Rub(100);
    order.ZakazNomer = QStringLiteral("16");
    order.ZakazData = At(2026, 3, 2);
    CashOperationRow none;
    none.ClientName = QStringLiteral("  ");
    ASSERT_TRUE(reports.CashOperations({all, worker, order, none}));

    EXPECT_EQ(S(Text("A1")), "Отчет об операциях по кассе.");
    EXPECT_TRUE(Merged("A1:G2"));
    EXPECT_TRUE(Format("A1").bold);
    EXPECT_TRUE(Format("A1").centre);
    EXPECT_EQ(sheet().Page(), (PageSetup{85, true}));
    const char *heads[] = {
        "№ п/п:", "Дата:", "Сумма:", "Назначение:", "Первичный документ:", "Примечание:", "Клиент:"};
    const char *cols[] = {"A3", "B3", "C3", "D3", "E3", "F3", "G3"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(S(Text(cols[i])), heads[i]);
        EXPECT_TRUE(Format(cols[i]).bold && Format(cols[i]).centre && Format(cols[i]).border) << cols[i];
    }
    EXPECT_EQ(S(Text("A4")), "007");
    EXPECT_EQ(S(Format("A4").numberFormat), "@");
    EXPECT_EQ(S(Text("B4")), "05.03.2026");
    EXPECT_EQ(S(Text("C4")), "1500.50");
    EXPECT_TRUE(Format("C4").numberFormat.isEmpty());  // the amount stays a number
    EXPECT_TRUE(Format("G4").border);
    EXPECT_EQ(S(Text("G4")), "ООО Ромашка Сидоров П.П. Заказ №15 от 01.03.2026");
    EXPECT_EQ(S(Text("G5")), "Сидоров П.П.");
    EXPECT_EQ(S(Text("G6")), "Заказ №16 от 02.03.2026");
    EXPECT_EQ(S(Text("G7")), "");
    EXPECT_EQ(S(Text("A8")), "Итого:");
    EXPECT_TRUE(Merged("A8:B8"));
    EXPECT_EQ(S(Text("C8")), "1200.50");
    EXPECT_TRUE(Format("C8").bold && Format("C8").border);
    const std::pair<const char *, double> widths[] = {{"A", 12}, {"B", 12}, {"C", 15}, {"D", 20},
                                                      {"E", 30}, {"F", 30}, {"G", 30}};
    for (const auto &[c, w] : widths) EXPECT_EQ(Width(c), w) << c;
}

// Every report without rows still has its title, its headings and a totals row of 0.00.
TEST_F(ReportsFixture, EveryReportWithoutRowsShowsHeadingsAndZeroTotals) {
    const QDate from(2026, 1, 1), to(2026, 1, 31);
    struct Case {
        const char *name;
        std::function<bool()> build;
        const char *heading, *headingText, *label, *labelText, *zero;
    };
    const Case cases[] = {
        {"cash", [&] { return reports.CashOperations({}); }, "G3", "Клиент:", "A4", "Итого:", "C4"},
        {"works", [&] { return reports.PerformedWorks({}, from, to, QStringLiteral("Петров")); }, "I3",
         "Начислено:", "A4", "Итого", "I4"},
        {"sheet",
         [&] {
             return reports.PayoutSheet(QStringLiteral("3"), At(2026, 1, 31), QStringLiteral("Зарплата"), {},
                                        QStringLiteral("Д"), QStringLiteral("Б"));
         },
         "D3", "Подпись", "A4", "Итого:", "C4"},
        {"payouts", [&] { return reports.Payouts({}, from, to); }, "D3", "Сумма", "A4", "Итого:", "D4"},
        {"balances", [&] { return reports.WorkerBalances({}, to); }, "B3", "Выполненно:", "A4",
         "Итого:", "D4"},
        {"orders", [&] { return reports.Orders({}, from, to, QStringLiteral("всех")); }, "J2", "Долг:", "A4",
         "Итого:", "J4"},
        {"turnover", [&] { return reports.Turnover(from, to, {}); }, "B3", "Сумма", "A4",
         "Остаток на начало:", "B9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.build());
        EXPECT_FALSE(Text("A1").isEmpty());
        EXPECT_EQ(S(Text(c.heading)), c.headingText);
        EXPECT_EQ(S(Text(c.label)), c.labelText);
        EXPECT_EQ(S(Text(c.zero)), "0.00");
        EXPECT_TRUE(Format(c.zero).bold);
    }
}

TEST_F(ReportsFixture, OrdersHeadingBlockRowsAndFileOpensInCalc) {
    OrderReportRow a;
    a.client = QStringLiteral("Иванов И.И.");
    a.tel = QStringLiteral("0951234567");
    a.number = QStringLiteral("0012");
    a.date = At(2026, 2, 3, 9, 15);
    a.start = At(2026, 2, 3, 10);
    a.plate = QStringLiteral("А001АА77");
    a.make = QStringLiteral("ВАЗ-белый");
    a.total = Rub(2360);
    a.debt = Rub(360);
    OrderReportRow b = a;
    b.number = QStringLiteral("13");
    b.end = At(2026, 2, 4, 18, 5);
    b.total = Rub(100.25);
    b.debt = Rub(0);
    ExcelReports shown(session);
    ASSERT_TRUE(shown.Orders({a, b}, QDate(2026, 2, 1), QDate(2026, 2, 28), QStringLiteral("выполненных")));

    EXPECT_EQ(S(Text("A1")), "Отчет о выполненных заказах с:01.02.2026 по:28.02.2026");
    EXPECT_TRUE(Merged("A1:J1"));
    EXPECT_EQ(sheet().Page(), (PageSetup{78, true}));
    for (const char *m : {"A2:A3", "B2:B3", "C2:D2", "E2:F2", "G2:H2", "I2:I3", "J2:J3"})
        EXPECT_TRUE(Merged(m)) << m;
    EXPECT_EQ(S(Text("C3")), "№ зак.:");
    EXPECT_EQ(S(Text("E3")), "c:");
    EXPECT_TRUE(Format("J3").border);
    EXPECT_EQ(S(Text("E4")), "03.02.2026 10:00");
    EXPECT_EQ(S(Text("F4")), "");
    EXPECT_EQ(S(Text("F5")), "04.02.2026 18:05");
    EXPECT_TRUE(Merged("A6:H6"));
    EXPECT_EQ(S(Text("I6")), "2460.25");
    EXPECT_EQ(S(Text("J6")), "360.00");
    EXPECT_EQ(Width("A"), 30);
    EXPECT_EQ(Width("H"), 25);
    EXPECT_EQ(Width("J"), 12);

    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], shown.File());
    const XlsxProbe probe = XlsxProbe::Read(shown.File());
    ASSERT_TRUE(probe.error.isEmpty()) << S(probe.error);
    EXPECT_EQ(S(probe.cells.value(QStringLiteral("C4")).value), "0012");
    EXPECT_TRUE(probe.cells.value(QStringLiteral("C4")).text);
    EXPECT_FALSE(probe.cells.value(QStringLiteral("I6")).text);
    EXPECT_DOUBLE_EQ(probe.cells.value(QStringLiteral("I6")).value.toDouble(), 2460.25);
    EXPECT_TRUE(probe.cells.value(QStringLiteral("I6")).style.bold);
    EXPECT_TRUE(probe.merges.contains(QStringLiteral("C2:D2")));
    EXPECT_NEAR(probe.widths.value(1), 30.71, 0.01);  // stored with the cell padding
    EXPECT_EQ(S(probe.orientation), "landscape");
    EXPECT_EQ(probe.scale, 78);

    QString error;
    const QList<QStringList> rows = CalcRows(shown.File(), &error);
    ASSERT_GE(rows.size(), 6) << S(error);
    EXPECT_EQ(S(rows[3].value(0)), "Иванов И.И.");
    EXPECT_EQ(S(rows[3].value(2)), "0012");
    EXPECT_EQ(S(rows[5].value(0)), "Итого:");
    EXPECT_EQ(S(rows[5].value(8)), "2460.25");
}

TEST_F(ReportsFixture, StatementPerformedWorksPayoutsAndBalances) {
    ASSERT_TRUE(reports.PayoutSheet(
        QStringLiteral("12"), At(2026, 4, 30, 17), QStringLiteral("Аванс"),
        {{QStringLiteral("Петров П.П."), Rub(5000)}, {QStringLiteral("Сидоров С.С."), Rub(2500.5)}},
        QStringLiteral("Иванов И.И."), QStringLiteral("Петрова А.А.")));
    EXPECT_EQ(S(Text("A1")), "Ведомость на получение Аванс №12 от 30.04.2026");
    EXPECT_TRUE(Merged("A1:D1"));
    EXPECT_EQ(sheet().Page().zoom, 85);
    EXPECT_FALSE(sheet().Page().landscape);
    EXPECT_EQ(S(Text("A5")), "2");
    EXPECT_EQ(S(Text("B5")), "Сидоров С.С.");
    EXPECT_EQ(S(Format("B5").numberFormat), "@");
    EXPECT_TRUE(Format("D5").border);
    EXPECT_EQ(S(Text("D5")), "");
    EXPECT_TRUE(Merged("A6:B6"));
    EXPECT_EQ(S(Text("C6")), "7500.50");
    EXPECT_EQ(S(Text("B8")), "Руководитель _____________________/ Иванов И.И. /");
    EXPECT_TRUE(Merged("B8:D8"));
    EXPECT_TRUE(Format("B8").bold);
    EXPECT_EQ(S(Text("B10")), "Гл. бухгалтер _____________________/ Петрова А.А. /");
    EXPECT_EQ(Width("B"), 40);

    PerformedWorkRow w{At(2026, 4, 2, 16),
                       QStringLiteral("21"),
                       At(2026, 4, 1),
                       QStringLiteral("Развал"),
                       Rub(1000),
                       Rub(200),
                       Rub(1200),
                       QStringLiteral("Петров П.П."),
                       Rub(300)};
    ASSERT_TRUE(
        reports.PerformedWorks({w, w}, QDate(2026, 4, 1), QDate(2026, 4, 30), QStringLiteral("Петров П.П.")));
    EXPECT_EQ(S(Text("A1")),
              "Отчет о выполненных работах с:01.04.2026 по:30.04.2026 по исполнителю:Петров П.П..");
    EXPECT_TRUE(Merged("A1:I2"));
    EXPECT_EQ(sheet().Page(), (PageSetup{85, true}));
    EXPECT_EQ(S(Text("A4")), "02.04.2026");  // the day it was done, as the list on the screen shows it
    EXPECT_EQ(S(Text("C4")), "01.04.2026");
    EXPECT_TRUE(Merged("A6:D6"));
    EXPECT_EQ(S(Text("E6")), "2000.00");
    EXPECT_EQ(S(Text("F6")), "400.00");
    EXPECT_EQ(S(Text("G6")), "2400.00");
    EXPECT_EQ(S(Text("I6")), "600.00");
    EXPECT_EQ(Width("D"), 25);

    ASSERT_TRUE(
        reports.Payouts({{QStringLiteral("5"), At(2026, 4, 10), QStringLiteral("Зарплата"), Rub(7000)}},
                        QDate(2026, 4, 1), QDate(2026, 4, 30)));
    EXPECT_EQ(S(Text("A1")), "Отчет о выплатах сотрудникам за период с: 01.04.2026 по: 30.04.2026");
    EXPECT_TRUE(sheet().Page().landscape);
    EXPECT_EQ(S(Text("B4")), "10.04.2026");
    EXPECT_TRUE(Merged("A5:C5"));
    EXPECT_EQ(S(Text("D5")), "7000.00");
    EXPECT_EQ(Width("C"), 50);

    ASSERT_TRUE(reports.WorkerBalances({{QStringLiteral("Петров П.П."), Rub(900), Rub(700), Rub(200)},
                                        {QStringLiteral("Сидоров С.С."), Rub(100), Rub(300), Rub(-200)}},
                                       QDate(2026, 4, 30)));
    EXPECT_EQ(S(Text("A1")), "Отчет о платежах и задолженности сотрудникам на дату: 30.04.2026");
    EXPECT_EQ(S(Text("A6")), "Итого:");
    EXPECT_EQ(sheet().MergeAt(5, 0), nullptr);
    EXPECT_EQ(S(Text("B6")), "1000.00");
    EXPECT_EQ(S(Text("D6")), "0.00");
    EXPECT_EQ(Width("A"), 50);
    EXPECT_EQ(Width("D"), 20);
}

TEST_F(ReportsFixture, ProgressReportsAndCancelsBeforeWriting) {
    QList<OrderReportRow> rows(450);
    QList<int> seen;
    ExcelReports cancelled(session, [&](int done, int) {
        seen << done;
        return done < 400;
    });
    EXPECT_FALSE(cancelled.Orders(rows, QDate(2026, 1, 1), QDate(2026, 1, 31), QStringLiteral("всех")));
    EXPECT_EQ(seen, (QList<int>{200, 400}));
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(cancelled.File().isEmpty());

    seen.clear();
    ExcelReports finished(session, [&](int done, int total) {
        seen << done;
        EXPECT_TRUE(total == 450 || total == -1);
        return true;
    });
    EXPECT_TRUE(finished.Orders(rows, QDate(2026, 1, 1), QDate(2026, 1, 31), QStringLiteral("всех")));
    EXPECT_EQ(seen, (QList<int>{200, 400, 450, -1}));
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(ReportsFixture, FailureIsShownWithItsReason) {
    ScriptedPrompter prompter;
    ExcelSession refusing(dir.filePath(QStringLiteral("r2")),
                          [](const QString &) { return QStringLiteral("нет программы для .xlsx"); });
    ExcelReports shown(refusing);
    EXPECT_FALSE(RunReport(prompter, [&] { shown.Payouts({}, QDate(2026, 1, 1), QDate(2026, 1, 2)); }));
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(QStringLiteral("нет программы"))) << S(prompter.errors[0]);

    // A folder that cannot be made: the reason is shown, nothing claims success.
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ExcelSession blocked(dir.filePath(QStringLiteral("file/sub")), [](const QString &) { return QString(); });
    ExcelReports nowhere(blocked);
    EXPECT_FALSE(RunReport(prompter, [&] { nowhere.WorkerBalances({}, QDate(2026, 1, 1)); }));
    EXPECT_EQ(prompter.errors.size(), 2);
    EXPECT_TRUE(RunReport(prompter, [&] { reports.WorkerBalances({}, QDate(2026, 1, 1)); }));
    EXPECT_EQ(prompter.errors.size(), 2);
}

TEST(ReportRowsTest, JournalRowsBecomeOrderReportRowsAsTheJournalShowsThem) {
    JournalOrder requested;
    requested.ClientName = QStringLiteral("Иванов");
    requested.ZakazNomer = QStringLiteral("0007");
    requested.ZakazStatus = StatusRequested;
    requested.ZakazBegin = At(2026, 5, 2, 9);
    requested.ZakazBeginIn = At(2026, 5, 3, 10);
    requested.ZakazEndOut = At(2026, 5, 3, 18);
    requested.AvtoMarka = QStringLiteral("ВАЗ");
    requested.AvtoColor = QStringLiteral(" белый ");
    requested.debt = Rub(240);
    OrderLine line;
    line.count = 2;
    line.price = Rub(100);
    line.prNds = 20;
    requested.lines << line;
    JournalOrder finished = requested;
    finished.ZakazStatus = StatusFinished;
    finished.AvtoColor.clear();

    const QList<OrderReportRow> rows = ReportRows::OrderRows({requested, finished});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].start, At(2026, 5, 2, 9));
    EXPECT_FALSE(rows[0].end.isValid());
    EXPECT_EQ(S(rows[0].make), "ВАЗ-белый");
    EXPECT_EQ(rows[0].total, Rub(240));
    EXPECT_EQ(rows[0].debt, Rub(240));
    EXPECT_EQ(rows[1].start, At(2026, 5, 3, 10));
    EXPECT_EQ(rows[1].end, At(2026, 5, 3, 18));
    EXPECT_EQ(S(rows[1].make), "ВАЗ");
    EXPECT_EQ(S(ReportRows::KindWord(JournalStatus::Finished)), "выполненных");
    EXPECT_EQ(S(ReportRows::KindWord(JournalStatus::All)), "всех");

    PayRecord pay;
    pay.NomerPay = QStringLiteral("0031");
    pay.DataPay = At(2026, 5, 4);
    pay.NaznPay = QStringLiteral("Зарплата");
    pay.SummaPay = Rub(-1500);
    const QList<PayoutRow> payouts = ReportRows::PayoutRows({pay});
    ASSERT_EQ(payouts.size(), 1);
    EXPECT_EQ(S(payouts[0].number), "0031");
    EXPECT_EQ(S(payouts[0].purpose), "Зарплата");
    EXPECT_EQ(payouts[0].amount, Rub(1500));
    const CashOperationRow cash = ReportRows::CashRowOf(pay, {}, QStringLiteral("Петров"), {}, {});
    EXPECT_EQ(S(ExcelReports::Counterpart(cash)), "Петров");
    EXPECT_EQ(S(cash.NomerPay), "0031");
}
