#include "CUserDlg.h"
#include "Password.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "UserStore.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

// Пётр (petr, key "p") holds only rights 1, 2 and 9 and a stored password "hash".
class UserDlgTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        TestRows::Put(db(), TestRows::User{u"p"_s, u"petr"_s, u"Пётр"_s, u"hash"_s, u"0110000001"_s});
    }
    static void Fill(QDialog &card, const QString &name, const QString &login, const QString &password) {
        Edit(card, "name")->setText(name);
        Edit(card, "login")->setText(login);
        Edit(card, "password")->setText(password);
    }
    UserRecord Stored(const QString &key) { return *UserStore(db()).Load(key); }
};
ZV_INSTANTIATE_SCREEN_TESTS(UserDlgTest);

TEST_P(UserDlgTest, ANewUserIsSavedWithTheRightsOfTheBoxesAndTheJournalBoxClearsItsOwn) {
    CUserDlg card(*ctx);
    Fill(card, u" Орлова Ольга "_s, u" olga "_s, u"тайна"_s);
    for (int pos : {0, 2, 9, 13, 18, 22, 27}) card.RightBox(pos)->setChecked(true);
    const QString expected = u"1010000001000100001000100001"_s;
    EXPECT_EQ(card.Prova(), expected);
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    const UserRecord stored = Stored(card.IddUser());
    EXPECT_EQ((QStringList{stored.prova, stored.name, stored.login}),
              (QStringList{expected, "Орлова Ольга", "olga"}));
    EXPECT_TRUE(Password::IsHash(stored.pass) && Password::Matches(u"тайна"_s, stored.pass));

    // Unticking the order journal clears its eight rights.
    for (int pos = 0; pos <= 9; ++pos) card.RightBox(pos)->setChecked(true);
    card.RightBox(0)->setChecked(false);
    card.RightBox(0)->setChecked(true);                           // ticking it again brings none back
    EXPECT_EQ(card.Prova(), u"1000000001"_s + expected.mid(10));  // the cash journal is not one of them
}

TEST_P(UserDlgTest, StoredRightsAreShownAsTheyAreAndThePasswordNever) {
    CUserDlg card(*ctx, u"p"_s);
    EXPECT_TRUE(card.Existing());
    EXPECT_EQ(Edit(card, "name")->text() + Edit(card, "login")->text() + Edit(card, "password")->text(),
              u"Пётрpetr"_s);
    EXPECT_EQ(Edit(card, "password")->echoMode(), QLineEdit::Password);
    // Position 0 clear with 1 and 2 set: loading does not clear them; a short string grants nothing past its
    // end.
    EXPECT_EQ(card.Prova(), u"0110000001"_s + QString(18, u'0'));
    Click(card, "ok");  // an empty password field keeps the stored password
    ASSERT_TRUE(card.Saved());
    EXPECT_EQ(Stored(u"p"_s).pass + Stored(u"p"_s).prova, u"hash0110000001"_s + QString(18, u'0'));
}

TEST_P(UserDlgTest, RequiredFieldsAreAskedForInOrderAndALoginIsNotShared) {
    CUserDlg card(*ctx);
    Fill(card, u"  "_s, {}, {});
    Click(card, "ok");
    Fill(card, u"Орлова"_s, {}, {});
    Click(card, "ok");
    Fill(card, u"Орлова"_s, u"olga"_s, u"   "_s);
    Click(card, "ok");
    Fill(card, u"Другой Пётр"_s, u"PETR"_s, u"x"_s);  // letter case does not make another login
    Click(card, "ok");
    EXPECT_EQ(
        prompter.warnings,
        (QStringList{u"Укажите Ф.И.О. пользователя!"_s,
                     u"Укажите логин пользователя!\nОптимально латинскими бувами\nдлиной до 8 символов."_s,
                     u"Укажите пароль пользователя!"_s,
                     u"Пользователь с логином \"PETR\" уже есть!\nУкажите другой логин."_s}));
    EXPECT_FALSE(card.Saved() || card.result() == QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SUser"_s), 1);

    // An existing user is not asked for a password, but still for a login.
    prompter.Clear();
    CUserDlg existing(*ctx, u"p"_s);
    Edit(existing, "login")->clear();
    Click(existing, "ok");
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_FALSE(existing.Saved());
}
