#include "DbError.h"
#include "LoginSteps.h"
#include "Password.h"
#include "Scripted.h"
#include "TestDb.h"
#include "TestRows.h"
#include "UserStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

class LoginTest : public DbTest {
protected:
    // A user as the users directory stores one (the password hashed) or, when old, as an old database
    // holds one (the password as typed).
    void AddUser(const QString &key, const QString &pass, bool old = false, const QString &rights = "1") {
        TestRows::Put(db(),
                      TestRows::User{key, key, "Имя " + key, old ? pass : Password::Hash(pass), rights});
    }
    bool TryLogin(CLoginDlg &dlg, const QString &key, const QString &password) {
        EXPECT_TRUE(key.isEmpty() || dlg.SelectUser(key)) << key.toStdString();
        dlg.PasswordEdit()->setText(password);
        dlg.OkButton()->click();
        return dlg.result() == QDialog::Accepted;
    }
    QString Stored(const QString &key) { return UserStore(db()).Load(key)->pass; }

    ScriptedPrompter prompter;
};
ZV_INSTANTIATE_SCREEN_TESTS(LoginTest);

// No limit on attempts; surrounding blanks of the typed password do not count.
TEST_P(LoginTest, FirstRunAndLoginRefuseBadEntriesAndAnOldPasswordIsHashed) {
    UserStore users(db());
    // The first-run dialog refuses incomplete entries and creates nobody.
    CFirstRunDlg first(users, prompter);
    const struct {
        const char *name, *login, *pass, *repeat;
        QString message;
    } cases[] = {{"", "anna", "pw", "pw", FirstRunTexts::kEmptyName},
                 {"Анна", "  ", "pw", "pw", FirstRunTexts::kEmptyLogin},
                 {"Анна", "an na", "pw", "pw", FirstRunTexts::kBadLogin},
                 {"Анна", "anna", "", "", FirstRunTexts::kEmptyPassword},
                 {"Анна", "anna", "pw", "Pw", FirstRunTexts::kMismatch}};
    for (const auto &c : cases) {
        prompter.Clear();
        FillFirstRun(c.name, c.login, c.pass, c.repeat)(first);
        EXPECT_TRUE(first.result() != QDialog::Accepted && prompter.warnings == QStringList{c.message})
            << c.login;
    }
    EXPECT_FALSE(users.HasAnyUser());

    AddUser("anna", "Секрет1");
    AddUser("oleg", "другой");
    AddUser("boris", "b1");
    AddUser("nopass", "", true);  // an empty stored password, as an old database may hold
    AddUser("old", "qwerty", true, "0101");
    AddUser("ro", "pw", true);
    TestRows::Put(db(), TestRows::User{.key = "gone", .login = "gone", .name = "Бывший", .deleted = true});
    CLoginDlg dlg(users, prompter);
    EXPECT_EQ(dlg.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.UserCombo()->findText("Бывший"), -1);  // deleted users are not offered
    EXPECT_FALSE(dlg.SelectUser("gone"));
    users.SoftDelete("boris");  // deleted while the dialog was open
    const struct {
        const char *user, *typed;
        QString refusal;
    } refused[] = {{"anna", "", LoginTexts::kEmptyPassword},
                   {"anna", "   ", LoginTexts::kEmptyPassword},      // blanks only are empty
                   {"anna", "секрет1", LoginTexts::kWrongPassword},  // case matters
                   {"anna", "другой", LoginTexts::kWrongPassword},   // another user's
                   {"boris", "b1", LoginTexts::kWrongPassword},
                   {"nopass", "", LoginTexts::kEmptyPassword},
                   {"nopass", "x", LoginTexts::kWrongPassword},
                   {"old", "QWERTY", LoginTexts::kWrongPassword},
                   {"", "Секрет1", LoginTexts::kWrongPassword}};  // nobody chosen
    for (const auto &c : refused) {
        prompter.Clear();
        if (!*c.user) dlg.UserCombo()->setCurrentIndex(-1);
        EXPECT_FALSE(TryLogin(dlg, c.user, c.typed)) << c.user << " " << c.typed;
        EXPECT_EQ(prompter.warnings, QStringList{c.refusal}) << c.user << " " << c.typed;
    }
    prompter.Clear();
    EXPECT_TRUE(TryLogin(dlg, "anna", " Секрет1 "));
    EXPECT_TRUE(prompter.All().isEmpty());
    EXPECT_EQ(dlg.User().iddUser + '|' + dlg.User().name + '|' + dlg.User().prova, "anna|Имя anna|1");

    // A password an old database holds as typed is stored hashed at its first login; a failed upgrade still
    // lets the proven password in.
    EXPECT_EQ(Stored("old"), "qwerty");  // a failure changes nothing
    CLoginDlg second(users, prompter);
    EXPECT_TRUE(TryLogin(second, "old", "qwerty"));
    EXPECT_EQ(second.User().prova, "0101");
    const QString stored = Stored("old");
    EXPECT_TRUE(Password::IsHash(stored) && !stored.contains("qwerty")) << stored.toStdString();
    CLoginDlg third(users, prompter);
    db().SetWriteHook([](const QString &) { throw DbError("read-only"); });
    EXPECT_TRUE(TryLogin(third, "ro", "pw"));
    db().SetWriteHook({});
    EXPECT_EQ(Stored("ro"), "pw");
}
