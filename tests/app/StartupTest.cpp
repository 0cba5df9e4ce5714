#include "AppContext.h"
#include "FirstRunDlg.h"
#include "LoginDlg.h"
#include "LoginSteps.h"
#include "MainFrame.h"
#include "Password.h"
#include "QuellmarodApp.h"
#include "Scripted.h"
#include "TestDb.h"
#include "UserStore.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>

class StartupTest : public DbTest {
protected:
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(StartupTest);

TEST_P(StartupTest, FirstRunRefusesIncompleteEntriesAndCreatesNothing) {
    UserStore users(db());
    CFirstRunDlg dlg(users, prompter);
    const struct {
        const char *name, *login, *pass, *repeat;
        QString message;
    } cases[] = {
        {"", "anna", "pw", "pw", FirstRunTexts::kEmptyName},
        {"Анна", "  ", "pw", "pw", FirstRunTexts::kEmptyLogin},
        {"Анна", "an na", "pw", "pw", FirstRunTexts::kBadLogin},
        {"Анна", "an~na", "pw", "pw", FirstRunTexts::kBadLogin},
        {"Анна", "anna", "", "", FirstRunTexts::kEmptyPassword},
        {"Анна", "anna", "pw", "", FirstRunTexts::kMismatch},
        {"Анна", "anna", "pw", "Pw", FirstRunTexts::kMismatch},
    };
    for (const auto &c : cases) {
        prompter.Clear();
        FillFirstRun(QString::fromUtf8(c.name), QString::fromUtf8(c.login), QString::fromUtf8(c.pass),
                     QString::fromUtf8(c.repeat))(dlg);
        EXPECT_NE(dlg.result(), QDialog::Accepted) << c.login;
        EXPECT_EQ(prompter.warnings, QStringList{c.message}) << c.login;
    }
    EXPECT_FALSE(users.HasAnyUser());
}

TEST_P(StartupTest, FirstRunUserLogsInWithEveryRight) {
    CQuellmarodApp app(prompter, dialogs);
    ASSERT_TRUE(app.Connect(ConnectString(), QString())) << prompter.errors.join(u'\n').toStdString();
    EXPECT_EQ(app.workDir(), QDir::currentPath());

    dialogs.Then(FillFirstRun(QStringLiteral(" Иванова Анна "), QStringLiteral(" anna "),
                              QStringLiteral("Пароль1"), QStringLiteral("Пароль1")));
    dialogs.Then(FillLogin(QStringLiteral("Иванова Анна"), QStringLiteral("Пароль1")));
    ASSERT_EQ(app.LogIn(), CQuellmarodApp::LoginResult::LoggedIn) << prompter.All().join(u'\n').toStdString();
    EXPECT_EQ(dialogs.opened, QStringList({QStringLiteral("CFirstRunDlg"), QStringLiteral("CLoginDlg")}));

    const UserInfo &user = app.context()->user();
    EXPECT_EQ(user.login, QStringLiteral("anna"));
    EXPECT_EQ(user.name, QStringLiteral("Иванова Анна"));
    for (int right = 0; right < Rights::kCount; ++right)
        EXPECT_TRUE(app.context()->HasRight(Right(right))) << right;
    const auto stored = UserStore(db()).Load(user.iddUser);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(Password::IsHash(stored->pass));

    // The next start goes straight to the login.
    ScriptedDialogs later;
    later.Then(FillLogin(QStringLiteral("Иванова Анна"), QStringLiteral("Пароль1")));
    CQuellmarodApp second(prompter, later);
    ASSERT_TRUE(second.Connect(ConnectString(), QString()));
    EXPECT_EQ(second.LogIn(), CQuellmarodApp::LoginResult::LoggedIn);
    EXPECT_EQ(later.opened, QStringList({QStringLiteral("CLoginDlg")}));

    CMainFrame &frame = second.CreateMainFrame();
    EXPECT_EQ(frame.Mdi()->subWindowList().size(), 0);  // no window opens by itself
}

TEST_P(StartupTest, CancelEndsTheProgramWithoutCreatingAUser) {
    CQuellmarodApp app(prompter, dialogs);
    ASSERT_TRUE(app.Connect(ConnectString(), QString()));
    dialogs.Then([](QDialog &) { return int(QDialog::Rejected); });
    EXPECT_EQ(app.LogIn(), CQuellmarodApp::LoginResult::Cancelled);
    EXPECT_EQ(dialogs.opened, QStringList({QStringLiteral("CFirstRunDlg")}));
    EXPECT_FALSE(UserStore(db()).HasAnyUser());
    EXPECT_EQ(app.context(), nullptr);

    // With a user: Cancel at the login ends it too.
    UserStore(db()).CreateFirstUser(QStringLiteral("Анна"), QStringLiteral("anna"), QStringLiteral("pw"));
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
    const QString exe = QStringLiteral("trellvark");
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe}), QString());
    EXPECT_EQ(CQuellmarodApp::DatabaseOption(
                  {exe, QStringLiteral("--database"), QStringLiteral("SQLITE;DATABASE=/x.db")}),
              QStringLiteral("SQLITE;DATABASE=/x.db"));
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe, QStringLiteral("--database=PGSQL;host=h dbname=d")}),
              QStringLiteral("PGSQL;host=h dbname=d"));
    QString error;
    EXPECT_EQ(CQuellmarodApp::DatabaseOption({exe, QStringLiteral("--databse"), QStringLiteral("x")}, &error),
              QString());
    EXPECT_FALSE(error.isEmpty());

    // The command line wins over the setting; a database that cannot be opened tells why and stops.
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    CQuellmarodApp app(prompter, dialogs);
    EXPECT_FALSE(
        app.Connect(QStringLiteral("PGSQL;host=127.0.0.1 port=1 dbname=none user=none connect_timeout=2"),
                    QStringLiteral("SQLITE;DATABASE=/tmp/never-used.db")));
    EXPECT_EQ(app.connectString().left(6), QStringLiteral("PGSQL;"));
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].startsWith(StartTexts::kCannotOpen));
    EXPECT_GT(prompter.errors[0].size(), StartTexts::kCannotOpen.size());  // the driver's own text follows
    EXPECT_EQ(app.db(), nullptr);
    EXPECT_TRUE(dialogs.opened.isEmpty());

    prompter.Clear();
    EXPECT_FALSE(app.Connect(QStringLiteral("SQLITE;DATABASE=/nonexistent-folder/Quellmarod.db"), QString()));
    EXPECT_EQ(prompter.errors.size(), 1);
}
