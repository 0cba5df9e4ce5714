#include "AppContext.h"
#include "LoginSteps.h"
#include "MainFrame.h"
#include "Password.h"
#include "QuellmarodApp.h"
#include "TestDb.h"
#include "UserStore.h"

#include <QDir>
#include <QMdiArea>

// The start on either database: connecting, the first user, the login.
class StartupTest : public DbTest {
protected:
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(StartupTest);

TEST_P(StartupTest, FirstRunUserLogsInWithEveryRight) {
    CQuellmarodApp app(prompter, dialogs);
    ASSERT_TRUE(app.Connect(ConnectString(), QString())) << prompter.errors.join(u'\n').toStdString();
    EXPECT_EQ(app.workDir(), QDir::currentPath());
    dialogs.Then(FillFirstRun(" Иванова Анна ", " anna ", "Пароль1", "Пароль1"));
    dialogs.Then(FillLogin("Иванова Анна", "Пароль1"));
    ASSERT_EQ(app.LogIn(), CQuellmarodApp::LoginResult::LoggedIn) << prompter.All().join(u'\n').toStdString();
    EXPECT_EQ(dialogs.opened, QStringList({"CFirstRunDlg", "CLoginDlg"}));
    const UserInfo &user = app.context()->user();
    EXPECT_EQ(user.login + '|' + user.name, "anna|Иванова Анна");
    for (int right = 0; right < Rights::kCount; ++right)
        EXPECT_TRUE(app.context()->HasRight(Right(right))) << right;
    EXPECT_TRUE(Password::IsHash(UserStore(db()).Load(user.iddUser).value().pass));

    // The next start goes straight to the login; no window opens by itself.
    ScriptedDialogs later;
    later.Then(FillLogin("Иванова Анна", "Пароль1"));
    CQuellmarodApp second(prompter, later);
    ASSERT_TRUE(second.Connect(ConnectString(), QString()));
    EXPECT_EQ(second.LogIn(), CQuellmarodApp::LoginResult::LoggedIn);
    EXPECT_EQ(later.opened, QStringList({"CLoginDlg"}));
    EXPECT_EQ(second.CreateMainFrame().Mdi()->subWindowList().size(), 0);
}

TEST_P(StartupTest, CancelEndsTheProgramWithoutCreatingAUser) {
    CQuellmarodApp app(prompter, dialogs);
    ASSERT_TRUE(app.Connect(ConnectString(), QString()));
    dialogs.Then([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_EQ(app.LogIn(), CQuellmarodApp::LoginResult::Cancelled);
    EXPECT_EQ(dialogs.opened, QStringList({"CFirstRunDlg"}));
    EXPECT_FALSE(UserStore(db()).HasAnyUser());
    // With a user: Cancel at the login ends it too.
    UserStore(db()).CreateFirstUser("Анна", "anna", "pw");
    ScriptedDialogs login;
    login.Then([](QDialog &d) {
        dynamic_cast<CLoginDlg &>(d).CancelButton()->click();
        return d.result();
    });
    CQuellmarodApp again(prompter, login);
    ASSERT_TRUE(again.Connect(ConnectString(), QString()));
    EXPECT_EQ(again.LogIn(), CQuellmarodApp::LoginResult::Cancelled);
    EXPECT_EQ(again.context(), nullptr);
}

TEST(StartupOptions, DatabaseOptionAndConnectionFailure) {
    const QString exe = "trellvark";
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe}), QString());
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe, "--database", "SQLITE;DATABASE=/x.db"}) + '|' +
                  CQuellmarodApp::DatabaseOption({exe, "--database=PGSQL;host=h dbname=d"}),
              "SQLITE;DATABASE=/x.db|PGSQL;host=h dbname=d");
    QString error;
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe, "--databse", "x"}, &error), QString());
    EXPECT_FALSE(error.isEmpty());

    // The command line wins over the setting; a database that cannot be opened tells why and stops.
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    CQuellmarodApp app(prompter, dialogs);
    EXPECT_FALSE(app.Connect("PGSQL;host=127.0.0.1 port=1 dbname=none user=none connect_timeout=2",
                             "SQLITE;DATABASE=/tmp/never-used.db"));
    EXPECT_EQ(app.connectString().left(6), "PGSQL;");
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].startsWith(StartTexts::kCannotOpen));
    EXPECT_GT(prompter.errors[0].size(), StartTexts::kCannotOpen.size());  // the driver's own text follows
    EXPECT_TRUE(app.db() == nullptr && dialogs.opened.isEmpty());
    prompter.Clear();
    EXPECT_FALSE(app.Connect("SQLITE;DATABASE=/nonexistent-folder/Quellmarod.db", QString()));
    EXPECT_EQ(prompter.errors.size(), 1);
}
