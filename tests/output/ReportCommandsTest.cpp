#include "AppContext.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CSalaryAccrualDlg.h"
#include "ReportCommands.h"
#include "ReportTarget.h"
#include "Rows.h"
#include "ScreenTest.h"

#include <functional>
#include <stdexcept>

class ReportCommandsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Rows::Insert(db(), QStringLiteral("SClient"),
                     {{QStringLiteral("IddClient"), QStringLiteral("cl")},
                      {QStringLiteral("ClientName"), QStringLiteral("Ромашка")}});
    }
};
ZV_INSTANTIATE_DB_TESTS(ReportCommandsTest);

TEST_P(ReportCommandsTest, ClientCardCommandRefusesAMissingClient) {
    QStringList opened;
    const ReportTarget target{m_dir.filePath(QStringLiteral("cards")), [&](const QString &file) {
                                  opened << file;
                                  return QString();
                              }};
    ctx->SetReportTarget(&target);
    EXPECT_FALSE(ReportCommands::ClientCard(*ctx, QStringLiteral("gone"), nullptr));
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(ReportCommands::ClientCard(*ctx, QStringLiteral("cl"), nullptr));
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

// A screen that needs what nobody provided fails at once, naming it, instead of quietly doing nothing.
TEST_P(ReportCommandsTest, AScreenAskingForAnInterfaceNotProvidedFailsNamingIt) {
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
    EXPECT_TRUE(dialogs.opened.isEmpty());
}
