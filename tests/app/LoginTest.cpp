#include "DbError.h"
#include "LoginDlg.h"
#include "Password.h"
#include "Rows.h"
#include "Scripted.h"
#include "TestDb.h"
#include "UserStore.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

class LoginTest : public DbTest {
protected:
    // A user stored the way the users directory stores one (hashed password).
    UserRecord AddUser(const QString &key, const QString &name, const QString &password,
                       bool deleted = false) {
        UserRecord u;
        u.iddUser = key;
        u.login = key;
        u.name = name;
        u.prova = QStringLiteral("1");
        u.deleted = deleted;
        UserStore(db()).Save(u, password);
        return u;
    }

    bool TryLogin(CLoginDlg &dlg, const QString &key, const QString &password) {
        if (!key.isEmpty()) {
            EXPECT_TRUE(dlg.SelectUser(key)) << key.toStdString();
        }
        dlg.PasswordEdit()->setText(password);
        dlg.OkButton()->click();
        return dlg.result() == QDialog::Accepted;
    }

    ScriptedPrompter prompter;
};
ZV_INSTANTIATE_DB_TESTS(LoginTest);

TEST_P(LoginTest, RefusesEmptyAndWrongPasswordsAndAcceptsTheRightOne) {
    AddUser(QStringLiteral("anna"), QStringLiteral("Иванова Анна"), QStringLiteral("Секрет1"));
    AddUser(QStringLiteral("oleg"), QStringLiteral("Петров Олег"), QStringLiteral("другой"));
    UserStore users(db());
    CLoginDlg dlg(users, prompter);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Вход в программу"));
    EXPECT_EQ(dlg.PasswordEdit()->echoMode(), QLineEdit::Password);

    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("anna"), QString()));
    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("anna"), QStringLiteral("   ")));  // blanks only are empty
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kEmptyPassword, LoginTexts::kEmptyPassword}));

    prompter.Clear();
    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("anna"), QStringLiteral("секрет1")));  // case matters
    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("anna"), QStringLiteral("другой")));   // another user's
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kWrongPassword, LoginTexts::kWrongPassword}));
    EXPECT_EQ(LoginTexts::kWrongPassword,
              QStringLiteral("Пароль не верен!\nУкажите верный пароль пользователя!"));

    // No limit on attempts; surrounding blanks of the typed password do not count.
    prompter.Clear();
    EXPECT_TRUE(TryLogin(dlg, QStringLiteral("anna"), QStringLiteral(" Секрет1 ")));
    EXPECT_TRUE(prompter.All().isEmpty());
    EXPECT_EQ(dlg.User().iddUser, QStringLiteral("anna"));
    EXPECT_EQ(dlg.User().name, QStringLiteral("Иванова Анна"));
    EXPECT_EQ(dlg.User().prova, QStringLiteral("1"));
}

TEST_P(LoginTest, DeletedUsersAreNotOfferedAndCannotLogIn) {
    AddUser(QStringLiteral("anna"), QStringLiteral("Анна"), QStringLiteral("a1"));
    AddUser(QStringLiteral("gone"), QStringLiteral("Бывший"), QStringLiteral("g1"), true);
    AddUser(QStringLiteral("boris"), QStringLiteral("Борис"), QStringLiteral("b1"));
    UserStore users(db());
    CLoginDlg dlg(users, prompter);
    QStringList offered;
    for (int i = 0; i < dlg.UserCombo()->count(); ++i) offered << dlg.UserCombo()->itemText(i);
    EXPECT_EQ(offered, QStringList({QStringLiteral("Анна"), QStringLiteral("Борис")}));
    EXPECT_FALSE(dlg.SelectUser(QStringLiteral("gone")));

    // Deleted while the dialog was open: his password no longer opens the program.
    ASSERT_TRUE(dlg.SelectUser(QStringLiteral("boris")));
    users.SoftDelete(QStringLiteral("boris"));
    dlg.PasswordEdit()->setText(QStringLiteral("b1"));
    dlg.OkButton()->click();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kWrongPassword}));
}

TEST_P(LoginTest, NoUserSelectedOrEmptyStoredPasswordNeverLogsIn) {
    AddUser(QStringLiteral("anna"), QStringLiteral("Анна"), QStringLiteral("a1"));
    // A user whose stored password is empty (as an old database may hold).
    Rows::Insert(db(), QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), QStringLiteral("nopass")},
                  {QStringLiteral("Login"), QStringLiteral("nopass")},
                  {QStringLiteral("Name"), QStringLiteral("Без пароля")},
                  {QStringLiteral("Pass"), QString()},
                  {QStringLiteral("Prova"), QStringLiteral("1111")},
                  {QStringLiteral("Delete"), false}});
    UserStore users(db());
    CLoginDlg dlg(users, prompter);
    dlg.UserCombo()->setCurrentIndex(-1);
    EXPECT_FALSE(TryLogin(dlg, QString(), QStringLiteral("a1")));
    EXPECT_FALSE(TryLogin(dlg, QString(), QString()));
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kWrongPassword, LoginTexts::kEmptyPassword}));

    prompter.Clear();
    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("nopass"), QString()));
    EXPECT_FALSE(TryLogin(dlg, QStringLiteral("nopass"), QStringLiteral("x")));
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kEmptyPassword, LoginTexts::kWrongPassword}));
}

TEST_P(LoginTest, PlainTextPasswordIsStoredHashedAtFirstLoginAndStillWorks) {
    Rows::Insert(db(), QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), QStringLiteral("old")},
                  {QStringLiteral("Login"), QStringLiteral("old")},
                  {QStringLiteral("Name"), QStringLiteral("Старый кассир")},
                  {QStringLiteral("Pass"), QStringLiteral("qwerty")},
                  {QStringLiteral("Prova"), QStringLiteral("0101")},
                  {QStringLiteral("Delete"), false}});
    UserStore users(db());
    {
        CLoginDlg dlg(users, prompter);
        EXPECT_FALSE(TryLogin(dlg, QStringLiteral("old"), QStringLiteral("QWERTY")));
        EXPECT_EQ(users.Load(QStringLiteral("old"))->pass,
                  QStringLiteral("qwerty"));  // a failure changes nothing
        EXPECT_TRUE(TryLogin(dlg, QStringLiteral("old"), QStringLiteral("qwerty")));
        EXPECT_EQ(dlg.User().prova, QStringLiteral("0101"));
    }
    const QString stored = users.Load(QStringLiteral("old"))->pass;
    EXPECT_TRUE(Password::IsHash(stored)) << stored.toStdString();
    EXPECT_FALSE(stored.contains(QStringLiteral("qwerty")));

    prompter.Clear();
    CLoginDlg again(users, prompter);
    EXPECT_FALSE(TryLogin(again, QStringLiteral("old"), QStringLiteral("qwerty1")));
    EXPECT_TRUE(TryLogin(again, QStringLiteral("old"), QStringLiteral("qwerty")));
    EXPECT_EQ(prompter.warnings, QStringList({LoginTexts::kWrongPassword}));
    EXPECT_EQ(users.Load(QStringLiteral("old"))->pass, stored);  // a hash is not re-stored
}

TEST_P(LoginTest, FailedUpgradeStillLetsTheProvenPasswordIn) {
    Rows::Insert(db(), QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), QStringLiteral("old")},
                  {QStringLiteral("Login"), QStringLiteral("old")},
                  {QStringLiteral("Name"), QStringLiteral("Старый")},
                  {QStringLiteral("Pass"), QStringLiteral("pw")},
                  {QStringLiteral("Prova"), QStringLiteral("1")},
                  {QStringLiteral("Delete"), false}});
    UserStore users(db());
    CLoginDlg dlg(users, prompter);
    db().SetWriteHook([](const QString &) { throw DbError(QStringLiteral("read-only")); });
    EXPECT_TRUE(TryLogin(dlg, QStringLiteral("old"), QStringLiteral("pw")));
    db().SetWriteHook({});
    EXPECT_EQ(users.Load(QStringLiteral("old"))->pass, QStringLiteral("pw"));
}
