#include "AppContext.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CSalaryAccrualDlg.h"
#include "ReportCommands.h"
#include "ScreenTest.h"
#include "TestRows.h"

#include <functional>
#include <stdexcept>

class ReportCommandsTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(ReportCommandsTest);

TEST_P(ReportCommandsTest, ClientCardCommandRefusesAMissingClient) {
    // No report target is provided: going on to write the report would throw.
    EXPECT_FALSE(ReportCommands::ClientCard(*ctx, QStringLiteral("gone"), nullptr));
    EXPECT_EQ(prompter.warnings,
              QStringList{QStringLiteral("Клиент не найден: он удален на другом рабочем месте.")});
}

// A screen that needs what nobody provided fails at once, naming it, instead of quietly doing nothing.
TEST_P(ReportCommandsTest, AScreenAskingForAnInterfaceNotProvidedFailsNamingIt) {
    TestRows::Put(db(), TestRows::Client{"cl", "Иванов", {}, {}, {}});
    CClientDlg card(*ctx, QStringLiteral("cl"));
    CSalaryAccrualDlg accrual(*ctx, QString());
    const QDate day(2026, 1, 5);
    const struct {
        const char *what;
        std::function<void()> run;
        const char *message;
    } cases[] = {
        {"new order on the client card", [&] { card.ordersPage()->AddOrder(); },
         "AppContext: no order forms were provided"},
        {"accrual statement", [&] { accrual.Print(); }, "AppContext: no money printouts were provided"},
        {"turnover report", [&] { ReportCommands::Turnover(*ctx, day, day, nullptr); },
         "AppContext: no report target was provided"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.run();
            ADD_FAILURE() << "went on without it";
        } catch (const std::logic_error &e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}
