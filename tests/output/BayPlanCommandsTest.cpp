#include "AppContext.h"
#include "DocumentFixture.h"
#include "ReportCommands.h"
#include "ReportTarget.h"
#include "Scripted.h"
#include "TestRows.h"

#include <QFileInfo>

class BayPlanCommandsTest : public DocumentTest {};
ZV_INSTANTIATE_SCREEN_TESTS(BayPlanCommandsTest);

// The bay plan's two print commands read the day afresh: the workbook goes where the report target says,
// the sheet under doc/, each opened; a day with nothing planned gives no sheet.
TEST_P(BayPlanCommandsTest, WorkbookAndSheetOfTheDayAreWrittenAndOpened) {
    const QDate day(2026, 3, 2);
    TestRows::Put(db(), TestRows::Bay{"b1", "Бокс 1"});
    TestRows::Put(db(), TestRows::Order{.key = "z1", .number = "Z1"});
    db().Exec("UPDATE TZakaz SET IddBox = ?, ZakazBegin = ?, ZakazPlanEnd = ? WHERE IddZakaz = ?",
              {"b1", QDateTime(day, QTime(10, 0)), QDateTime(day, QTime(11, 0)), "z1"});
    ScriptedDialogs dialogs;
    AppContext ctx(db(), UserInfo{}, m_prompter, dialogs, m_work.path());
    QStringList opened;
    const ReportTarget target{m_work.filePath("reports"),
                              [&](const QString &f) { return opened << f, QString(); }};
    ctx.SetReportTarget(&target);
    const auto open = [&](const QString &path) { return opened << path, true; };

    ASSERT_TRUE(ReportCommands::BayPlan(ctx, day, nullptr));
    ASSERT_TRUE(ReportCommands::BayPlanSheet(ctx, day, open));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith("План работ боксов 02.03.2026")) << S(opened[0]);
    EXPECT_EQ(S(opened[1]), S(m_work.filePath("doc/PlanBoxov_2026-03-02.doc")));
    EXPECT_TRUE(Read(opened[1]).contains("10:00–11:00"));
    EXPECT_TRUE(m_prompter.All().isEmpty());

    EXPECT_FALSE(ReportCommands::BayPlanSheet(ctx, day.addDays(1), open));
    EXPECT_EQ(m_prompter.All(),
              QStringList{"На 03.03.2026 на боксах ничего не запланировано: печатать нечего."});
    EXPECT_EQ(opened.size(), 2);
}
