#include "AppContext.h"
#include "DocumentFixture.h"
#include "ReportCommands.h"
#include "ReportTarget.h"
#include "Scripted.h"

class TyreReportCommandTest : public DocumentTest {};
ZV_INSTANTIATE_SCREEN_TESTS(TyreReportCommandTest);

// The command reads the storage on today and writes the workbook where the report target says, opened.
TEST_P(TyreReportCommandTest, TodaysStorageIsWrittenAndOpened) {
    ScriptedDialogs dialogs;
    AppContext ctx(db(), UserInfo{}, m_prompter, dialogs, m_work.path());
    QStringList opened;
    const ReportTarget target{m_work.filePath("reports"), [&](const QString &f) { return opened << f, ""; }};
    ctx.SetReportTarget(&target);
    ASSERT_TRUE(ReportCommands::TyresInStorage(ctx, TyreReportOrder::Overdue, nullptr));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(
        opened[0].contains("/reports/Шины на хранении " + QDate::currentDate().toString("dd.MM.yyyy")))
        << S(opened[0]);
    EXPECT_TRUE(m_prompter.All().isEmpty());
}
