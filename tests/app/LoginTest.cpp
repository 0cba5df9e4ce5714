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
    // A user as the users directory stores one: the password hashed.
    void AddUser(const QString &key, const QString &name, const QString &password, bool deleted = false) {
        TestRows::Put(db(), TestRows::User{key, key, name, Password::Hash(password), "1", deleted});
    }
    // A user as an old database holds one: the password as typed.
    void AddOldUser(const QString &key, const QString &pass, const QString &rights = "1") {
        TestRows::Put(db(), TestRows::User{key, key, "Старый кассир", pass, rights});
    }
    bool TryLogin(CLoginDlg &dlg, const QString &key, const QString &password) {
        if (!key.isEmpty()) {
            EXPECT_TRUE(dlg.SelectUser(key)) << key.toStdString();
        }
        dlg.PasswordEdit()->setText(password);
        dlg.OkButton()->click();
        return dlg.result() == QDialog::Accepted;
    }
    QString Stored(const QString &key) { return UserStore(db()).Load(key)->pass; }

    ScriptedPrompter prompter;
};
ZV_INSTANTIATE_SCREEN_TESTS(LoginTest);

// No limit on attempts; surrounding blanks of the typed password do not count.
TEST_P(LoginTest, RefusesEmptyAndWrongPasswordsAndAcceptsTheRightOne) {
    AddUser("anna", "Иванова Анна", "Секрет1");
    AddUser("oleg", "Петров Олег", "другой");
    AddUser("gone", "Бывший", "g1", true);
    AddUser("boris", "Борис", "b1");
    AddOldUser("nopass", "", "1111");  // an empty stored password, as an old database may hold
    UserStore users(db());
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
    EXPECT_EQ(dlg.User().iddUser + '|' + dlg.User().name + '|' + dlg.User().prova, "anna|Иванова Анна|1");
}

TEST_P(LoginTest, PlainTextPasswordIsStoredHashedAtFirstLoginAndStillWorks) {
    AddOldUser("old", "qwerty", "0101");
    UserStore users(db());
    {
        CLoginDlg dlg(users, prompter);
        EXPECT_FALSE(TryLogin(dlg, "old", "QWERTY"));
        EXPECT_EQ(Stored("old"), "qwerty");  // a failure changes nothing
        EXPECT_TRUE(TryLogin(dlg, "old", "qwerty"));
        EXPECT_EQ(dlg.User().prova, "0101");
    }
    const QString stored = Stored("old");
    EXPECT_TRUE(Password::IsHash(stored) && !stored.contains("qwerty")) << stored.toStdString();

    CLoginDlg again(users, prompter);
    EXPECT_TRUE(TryLogin(again, "old", "qwerty"));
    EXPECT_EQ(Stored("old"), stored);  // a hash is not re-stored

    // A failed upgrade still lets the proven password in.
    AddOldUser("ro", "pw");
    CLoginDlg third(users, prompter);
    db().SetWriteHook([](const QString &) { throw DbError("read-only"); });
    EXPECT_TRUE(TryLogin(third, "ro", "pw"));
    db().SetWriteHook({});
    EXPECT_EQ(Stored("ro"), "pw");
}

TEST_P(LoginTest, FirstRunRefusesIncompleteEntriesAndCreatesNothing) {
    UserStore users(db());
    CFirstRunDlg dlg(users, prompter);
    const struct {
        const char *name, *login, *pass, *repeat;
        QString message;
    } cases[] = {
        {"", "anna", "pw", "pw", FirstRunTexts::kEmptyName},
        {"Анна", "  ", "pw", "pw", FirstRunTexts::kEmptyLogin},
        {"Анна", "an na", "pw", "pw", FirstRunTexts::kBadLogin},
        {"Анна", "anna", "", "", FirstRunTexts::kEmptyPassword},
        {"Анна", "anna", "pw", "Pw", FirstRunTexts::kMismatch},
    };
    for (const auto &c : cases) {
        prompter.Clear();
        FillFirstRun(c.name, c.login, c.pass, c.repeat)(dlg);
        EXPECT_NE(dlg.result(), QDialog::Accepted) << c.login;
        EXPECT_EQ(prompter.warnings, QStringList{c.message}) << c.login;
    }
    EXPECT_FALSE(users.HasAnyUser());
}
