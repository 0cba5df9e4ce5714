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

    ScriptedPrompter prompter;
};
ZV_INSTANTIATE_SCREEN_TESTS(LoginTest);

// No limit on attempts; surrounding blanks of the typed password do not count.
TEST_P(LoginTest, FirstRunAndLoginRefuseBadEntries) {
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
                   {"old", "qwerty", LoginTexts::kWrongPassword},  // plain text is never accepted
                   {"", "Секрет1", LoginTexts::kWrongPassword}};   // nobody chosen
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
}
