#include "AppContext.h"
#include "ReportCommands.h"
#include "ScreenTest.h"

#include <stdexcept>

class ReportCommandsTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(ReportCommandsTest);

TEST_P(ReportCommandsTest, ClientCardCommandRefusesAMissingClient) {
    // No report target is provided: going on to write the report would throw.
    EXPECT_FALSE(ReportCommands::ClientCard(*ctx, QStringLiteral("gone"), nullptr));
    EXPECT_EQ(prompter.warnings,
              QStringList{QStringLiteral("Клиент не найден: он удален на другом рабочем месте.")});
}

// A report that needs what nobody provided fails at once, naming it, instead of quietly doing nothing.
TEST_P(ReportCommandsTest, AReportWithoutItsTargetFailsNamingIt) {
    const QDate day(2026, 1, 5);
    try {
        ReportCommands::Turnover(*ctx, day, day, nullptr);
        ADD_FAILURE() << "went on without it";
    } catch (const std::logic_error &e) {
        EXPECT_STREQ(e.what(), "AppContext: no report target was provided");
    }
}
