#include "AppContext.h"
#include "ReportCommands.h"
#include "ScreenTest.h"

class ReportCommandsTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(ReportCommandsTest);

TEST_P(ReportCommandsTest, ClientCardCommandRefusesAMissingClient) {
    // No report target is provided: going on to write the report would throw.
    EXPECT_FALSE(ReportCommands::ClientCard(*ctx, QStringLiteral("gone"), nullptr));
    EXPECT_EQ(prompter.warnings,
              QStringList{QStringLiteral("Клиент не найден: он удален на другом рабочем месте.")});
}
