#include "AppContext.h"
#include "InfoOptions.h"
#include "LoginSteps.h"
#include "MainFrame.h"
#include "Password.h"
#include "QuellmarodApp.h"
#include "TestDb.h"
#include "UserStore.h"

#include <QMdiArea>
#include <QRegularExpression>

// The start on either database: connecting, the first user, the login.
class StartupTest : public DbTest {
protected:
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(StartupTest);

// Cancel at the first run or at the login ends the program; the first user gets every right; the next start
// goes straight to the login and no window opens by itself.
TEST_P(StartupTest, OptionsFirstRunAndLoginDecideTheStart) {
    const auto start = [this](const ScriptedDialogs::Step &step) {
        auto app = std::make_unique<CQuellmarodApp>(prompter, dialogs);
        EXPECT_TRUE(app->Connect(ConnectString(), QString())) << prompter.errors.join(u'\n').toStdString();
        dialogs.Then(step);
        return app;
    };
    auto cancelled = start([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_EQ(cancelled->LogIn(), CQuellmarodApp::LoginResult::Cancelled);
    EXPECT_FALSE(UserStore(db()).HasAnyUser());
    EXPECT_EQ(cancelled->context(), nullptr);

    auto app = start(FillFirstRun(" Иванова Анна ", ' ' + Login("anna") + ' ', "Пароль1", "Пароль1"));
    dialogs.Then(FillLogin("Иванова Анна", "Пароль1"));
    ASSERT_EQ(app->LogIn(), CQuellmarodApp::LoginResult::LoggedIn)
        << prompter.All().join(u'\n').toStdString();
    const UserInfo &user = app->context()->user();
    EXPECT_EQ(user.login + '|' + user.name, Login("anna") + "|Иванова Анна");
    for (int right = 0; right < Rights::kCount; ++right)
        EXPECT_TRUE(app->context()->HasRight(Right(right))) << right;
    // On PostgreSQL the user works through his own role, which keeps the password.
    const QString pass = UserStore(db()).Load(user.iddUser).value().pass;
    EXPECT_TRUE(GetParam() == Backend::Postgres ? pass.isEmpty() : Password::IsHash(pass));

    auto refused = start([](QDialog &d) {
        dynamic_cast<CLoginDlg &>(d).CancelButton()->click();
        return d.result();
    });
    EXPECT_EQ(refused->LogIn(), CQuellmarodApp::LoginResult::Cancelled);
    EXPECT_EQ(refused->context(), nullptr);
    auto again = start(FillLogin("Иванова Анна", "Пароль1"));
    EXPECT_EQ(again->LogIn(), CQuellmarodApp::LoginResult::LoggedIn);
    EXPECT_EQ(dialogs.opened,
              QStringList({"CFirstRunDlg", "CFirstRunDlg", "CLoginDlg", "CLoginDlg", "CLoginDlg"}));
    EXPECT_EQ(again->CreateMainFrame().Mdi()->subWindowList().size(), 0);

    // The database option; the command line wins over the setting.
    prompter.Clear();
    const QString exe = "trellvark";
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe}), QString());
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe, "--database", "SQLITE;DATABASE=/x.db"}) + '|' +
                  CQuellmarodApp::DatabaseOption({exe, "--database=PGSQL;host=h dbname=d"}),
              "SQLITE;DATABASE=/x.db|PGSQL;host=h dbname=d");
    QString error;
    EXPECT_TRUE(CQuellmarodApp::DatabaseOption({exe, "--databse", "x"}, &error).isEmpty() &&
                error.contains("databse") && error.contains("trellvark --help"));

    // A database that cannot be opened tells why and stops.
    CQuellmarodApp failed(prompter, dialogs);
    EXPECT_FALSE(failed.Connect("PGSQL;host=127.0.0.1 port=1 dbname=none user=none connect_timeout=2",
                                "SQLITE;DATABASE=/tmp/never-used.db"));
    EXPECT_EQ(failed.connectString().left(6), "PGSQL;");
    ASSERT_EQ(prompter.errors.size(), 1);
    // The driver's own text follows.
    EXPECT_TRUE(prompter.errors[0].startsWith(StartTexts::kCannotOpen) &&
                prompter.errors[0].size() > StartTexts::kCannotOpen.size());
    EXPECT_TRUE(failed.db() == nullptr && dialogs.opened.size() == 5);
    prompter.Clear();
    EXPECT_FALSE(failed.Connect("SQLITE;DATABASE=/nonexistent-folder/Quellmarod.db", QString()));
    EXPECT_EQ(prompter.errors.size(), 1);
}

// --help and --version answer on standard output, as a Linux program does.
TEST(CommandLineTest, HelpAndVersion) {
    const QString exe = "trellvark";
    EXPECT_TRUE(InfoOptions::Asked({exe, "-h"}) && InfoOptions::Asked({exe, "--version"}) &&
                !InfoOptions::Asked({exe, "--database", "x"}) &&
                !InfoOptions::Asked({exe, "--help", "--bogus"}));
    QString out;
    QTextStream stream(&out);
    EXPECT_EQ(InfoOptions::Answer({exe, "--version"}, stream) + InfoOptions::Answer({exe, "-h"}, stream), 0);
    stream.flush();
    EXPECT_TRUE(out.startsWith("trellvark " TRELLVARK_VERSION "\n") && out.contains("--database <строка>") &&
                out.contains(QRegularExpression("-h, --help +Показать эту справку")))
        << out.toStdString();
}
