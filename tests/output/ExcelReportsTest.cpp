#include "ExcelReports.h"
#include "ReportRows.h"
#include "Rub.h"
#include "ScriptedPrompter.h"
#include "SheetCheck.h"

namespace {

// Reports built into the session.
struct ReportsFixture : SessionFixture {
    ExcelReports reports{session, {}, false};
    const ExcelSheet &sheet() const { return session.Sheet(); }
};

}  // namespace

TEST_F(ReportsFixture, CashOperationsRowsAndCounterpart) {
    CashOperationRow all{
        "007",      At(2026, 3, 5, 14, 30), Rub(1500.5),    "Оплата услуг", "ПКО 7",
        "наличные", "ООО Ромашка",          "Сидоров П.П.", "15",           At(2026, 3, 1, 10)};
    const CashOperationRow worker{{}, {}, Rub(-400), {}, {}, {}, {}, "Сидоров П.П.", {}, {}};
    const CashOperationRow order{{}, {}, Rub(100), {}, {}, {}, {}, {}, "16", At(2026, 3, 2)};
    const CashOperationRow none{{}, {}, {}, {}, {}, {}, "  ", {}, {}, {}};
    ASSERT_TRUE(reports.CashOperations({all, worker, order, none}));
    EXPECT_EQ(Table(sheet(), "A1:G8"),
              "Отчет об операциях по кассе.||||||\n||||||\n"
              "№ п/п:|Дата:|Сумма:|Назначение:|Первичный документ:|Примечание:|Клиент:\n"
              "007|05.03.2026|1500.50|Оплата услуг|ПКО 7|наличные|ООО Ромашка Сидоров П.П. Заказ №15 от "
              "01.03.2026\n"
              "||-400.00||||Сидоров П.П.\n"
              "||100.00||||Заказ №16 от 02.03.2026\n"
              "||0.00||||\n"
              "Итого:||1200.50||||");
    // The amount stays a number; the rest is kept as text.
    EXPECT_EQ(LooksAt(sheet(), "A1 A3 G3 A4 B4 C4 G4 C8"), "bc14 bcr bcr r@ r@ r r@ br");
    EXPECT_EQ(Merges(sheet()), "A1:G2 A8:B8");
}

TEST_F(ReportsFixture, OrdersHeadingBlockRowsAndProgress) {
    OrderReportRow a{"Иванов И.И.",      "0951234567", "0012",     At(2026, 2, 3, 9, 15),
                     At(2026, 2, 3, 10), {},           "А001АА77", "ВАЗ-белый",
                     Rub(2360),          Rub(360)};
    OrderReportRow b = a;
    b.number = "13", b.end = At(2026, 2, 4, 18, 5), b.total = Rub(100.25), b.debt = Rub(0);
    ExcelReports shown(session);
    ASSERT_TRUE(shown.Orders({a, b}, QDate(2026, 2, 1), QDate(2026, 2, 28), "выполненных"));
    EXPECT_EQ(Table(sheet(), "A1:J6"),
              "Отчет о выполненных заказах с:01.02.2026 по:28.02.2026|||||||||\n"
              "Клиент:|Тел.:|Заказ||Выполнялся||Автомобиль||Сумма:|Долг:\n"
              "||№ зак.:|Дата:|c:|по:|Гос. №:|Марка:||\n"
              "Иванов И.И.|0951234567|0012|03.02.2026|03.02.2026 10:00||А001АА77|ВАЗ-белый|2360.00|360.00\n"
              "Иванов И.И.|0951234567|13|03.02.2026|03.02.2026 10:00|04.02.2026 "
              "18:05|А001АА77|ВАЗ-белый|100.25|0.00\n"
              "Итого:||||||||2460.25|360.00");
    EXPECT_EQ(opened.size(), 1);

    // Progress is reported by 200 rows; a cancel stops before anything is written.
    QList<int> seen;
    int stopAt = 400;
    ExcelReports withProgress(session, [&](int done, int) {
        seen << done;
        return done < stopAt;
    });
    const auto run = [&] { return withProgress.Orders(QList<OrderReportRow>(450), {}, {}, "всех"); };
    EXPECT_FALSE(run());
    EXPECT_EQ(seen, (QList<int>{200, 400}));
    EXPECT_EQ(opened.size(), 1);
    seen.clear();
    stopAt = 1000;
    EXPECT_TRUE(run());
    EXPECT_EQ(seen, (QList<int>{200, 400, 450, -1}));
    EXPECT_EQ(opened.size(), 2);
}

TEST_F(ReportsFixture, StatementPerformedWorksPayoutsAndBalances) {
    ASSERT_TRUE(reports.PayoutSheet("12", At(2026, 4, 30, 17), "Аванс",
                                    {{"Петров П.П.", Rub(5000)}, {"Сидоров С.С.", Rub(2500.5)}},
                                    "Иванов И.И.", "Петрова А.А."));
    EXPECT_EQ(Table(sheet(), "A3:D6"),
              "№ п/п|Ф.И.О. сотрудника|Сумма|Подпись\n1|Петров П.П.|5000.00|\n2|Сидоров С.С.|2500.50|\n"
              "Итого:||7500.50|");
    EXPECT_EQ(
        Texts(sheet(), "A1 B8 B10"),
        "Ведомость на получение Аванс №12 от 30.04.2026|Руководитель _____________________/ Иванов И.И. /|"
        "Гл. бухгалтер _____________________/ Петрова А.А. /");

    const PerformedWorkRow w{At(2026, 4, 2, 16), "21",      At(2026, 4, 1), "Развал", Rub(1000),
                             Rub(200),           Rub(1200), "Петров П.П.",  Rub(300)};
    ASSERT_TRUE(reports.PerformedWorks({w, w}, QDate(2026, 4, 1), QDate(2026, 4, 30), "Петров П.П."));
    // The first column is the day the work was done, as the list on the screen shows it.
    EXPECT_EQ(Table(sheet(), "A1:I6"),
              "Отчет о выполненных работах с:01.04.2026 по:30.04.2026 по исполнителю:Петров "
              "П.П..||||||||\n||||||||\n"
              "Исполнен:|№ заказа:|Дата заказа:|Оказанная услуга:|Сумма:|Сумма "
              "НДС:|Итого:|Исполнитель:|Начислено:\n"
              "02.04.2026|21|01.04.2026|Развал|1000.00|200.00|1200.00|Петров П.П.|300.00\n"
              "02.04.2026|21|01.04.2026|Развал|1000.00|200.00|1200.00|Петров П.П.|300.00\n"
              "Итого||||2000.00|400.00|2400.00||600.00");

    ASSERT_TRUE(reports.Payouts({{"5", At(2026, 4, 10), "Зарплата", Rub(7000)}}, QDate(2026, 4, 1),
                                QDate(2026, 4, 30)));
    EXPECT_EQ(Table(sheet(), "A1:D5"),
              "Отчет о выплатах сотрудникам за период с: 01.04.2026 по: 30.04.2026|||\n|||\n"
              "№|Дата|Назначение:|Сумма\n"
              "5|10.04.2026|Зарплата|7000.00\n"
              "Итого:|||7000.00");

    ASSERT_TRUE(reports.WorkerBalances(
        {{"Петров П.П.", Rub(900), Rub(700), Rub(200)}, {"Сидоров С.С.", Rub(100), Rub(300), Rub(-200)}},
        QDate(2026, 4, 30)));
    EXPECT_EQ(Table(sheet(), "A1:D6"),
              "Отчет о платежах и задолженности сотрудникам на дату: 30.04.2026|||\n|||\n"
              "Ф.И.О. сотрудника:|Выполненно:|Выдано:|Баланс:\n"
              "Петров П.П.|900.00|700.00|200.00\n"
              "Сидоров С.С.|100.00|300.00|-200.00\n"
              "Итого:|1000.00|1000.00|0.00");
}

TEST_F(ReportsFixture, FailureIsShownWithItsReason) {
    ScriptedPrompter prompter;
    ExcelSession blocked("/proc/trellvark/reports", {});  // a folder nobody can make
    EXPECT_FALSE(RunReport(prompter,
                           [&] { ExcelReports(blocked).Payouts({}, QDate(2026, 1, 1), QDate(2026, 1, 2)); }));
    EXPECT_TRUE(prompter.errors.size() == 1 && prompter.errors[0].contains("/proc/trellvark/reports"))
        << S(prompter.All().join(u'|'));

    // A report without rows still has its headings and a totals row of 0.00.
    EXPECT_TRUE(
        RunReport(prompter, [&] { reports.PerformedWorks({}, QDate(2026, 1, 1), QDate(2026, 1, 2), ""); }));
    EXPECT_EQ(Texts(sheet(), "I3 A4 I4"), "Начислено:|Итого|0.00");
}

TEST(ReportRowsTest, JournalRowsBecomeOrderReportRowsAsTheJournalShowsThem) {
    JournalOrder requested;
    requested.ClientName = "Иванов", requested.ZakazStatus = StatusRequested, requested.debt = Rub(240);
    requested.ZakazBegin = At(2026, 5, 2, 9), requested.ZakazBeginIn = At(2026, 5, 3, 10);
    requested.ZakazEndOut = At(2026, 5, 3, 18), requested.AvtoMarka = "ВАЗ", requested.AvtoColor = " белый ";
    requested.total = Rub(240);
    JournalOrder finished = requested;
    finished.ZakazStatus = StatusFinished, finished.AvtoColor.clear();

    QStringList rows;
    for (const OrderReportRow &r : ReportRows::OrderRows({requested, finished}))
        rows << r.start.toString("dd.MM hh") + '-' + r.end.toString("dd.MM hh") + ' ' + r.make + ' ' +
                    r.total.Text() + ' ' + r.debt.Text();
    // A requested order starts at its appointment and has no end yet.
    EXPECT_EQ(S(rows.join(u'|')), "02.05 09- ВАЗ-белый 240.00 240.00|03.05 10-03.05 18 ВАЗ 240.00 240.00");

    PayRecord pay;
    pay.NomerPay = "0031", pay.DataPay = At(2026, 5, 4), pay.NaznPay = "Зарплата", pay.SummaPay = Rub(-1500);
    const PayoutRow payout = ReportRows::PayoutRows({pay}).value(0);
    EXPECT_EQ(S(payout.number + '|' + payout.purpose + '|' + payout.amount.Text()), "0031|Зарплата|1500.00");
}
