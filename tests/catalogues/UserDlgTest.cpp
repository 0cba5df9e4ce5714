#include "AppContext.h"
#include "CUserDirDlg.h"
#include "CUserDlg.h"
#include "Password.h"
#include "Scripted.h"
#include "TestDb.h"
#include "UserStore.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kNeedName = u"Укажите Ф.И.О. пользователя!"_s;
const QString kNeedLogin =
    u"Укажите логин пользователя!\nОптимально латинскими бувами\nдлиной до 8 символов."_s;
const QString kNeedPassword = u"Укажите пароль пользователя!"_s;

QTreeWidgetItem *Row(QDialog &d, const QString &login) {
    return FindRow(List(d), login);
}

}  // namespace

class UserDlgTest : public DbTest {
protected:
    AppContext Ctx() {
        return AppContext(db(), UserInfo{u"u1"_s, u"anna"_s, u"Анна"_s, QString(Rights::kCount, u'1')},
                          prompter, dialogs, m_dir.path());
    }
    UserRecord AddUser(const QString &login, const QString &prova, const QString &password = u"pw"_s) {
        UserRecord u;
        u.iddUser = u"id-"_s + login;
        u.login = login;
        u.name = u"Имя "_s + login;
        u.prova = prova;
        UserStore(db()).Save(u, password);
        return *UserStore(db()).Load(u.iddUser);
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(UserDlgTest);

TEST_P(UserDlgTest, BoxesStandAtTheirPositionsWithTooltips) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    EXPECT_EQ(card.windowTitle(), u"Пользователь"_s);
    const QList<std::pair<int, QString>> texts = {
        {0, u"Журнал заказов:"_s},
        {1, u"Добавлять заказ"_s},
        {8, u"Отметка окончания работ"_s},
        {9, u"Журнал кассы:"_s},
        {11, u"Изменить платежи"_s},
        {13, u"Журнал зарплаты:"_s},
        {14, u"Добавлять выплаты"_s},
        {17, u"Справочник основных сведений"_s},
        {18, u"Справочник пользователей"_s},
        {19, u"Добавлять"_s},
        {24, u"Удалять"_s},
        {25, u"Отчет о выполненных работах"_s},
        {26, u"Отчет о расчетах с сотрудниками"_s},
        {27, u"Настройка нумерации"_s},
    };
    for (const auto &[pos, text] : texts) EXPECT_EQ(card.RightBox(pos)->text(), text) << pos;
    for (int i = 0; i < Rights::kCount; ++i) {
        EXPECT_EQ(card.findChild<QCheckBox *>(u"right%1"_s.arg(i)), card.RightBox(i));
        EXPECT_TRUE(card.RightBox(i)->toolTip().startsWith(u"<center><h2>"_s)) << i;
        EXPECT_FALSE(card.RightBox(i)->isChecked()) << i;
    }
    EXPECT_TRUE(card.RightBox(0)->toolTip().contains(u"Доступ к журналу заказов"_s));
    EXPECT_TRUE(card.RightBox(1)->toolTip().contains(u"Добавлять заказ"_s));
    EXPECT_TRUE(card.RightBox(14)->toolTip().contains(u"Добавлять З/П"_s));
    EXPECT_TRUE(card.RightBox(25)->toolTip().contains(u"Доступ к отчету о выполненных работах"_s));
    // The two "Добавлять" boxes are told apart by their tooltips.
    EXPECT_NE(card.RightBox(19)->toolTip(), card.RightBox(22)->toolTip());
}

TEST_P(UserDlgTest, RightsStringIsBuiltFromTheBoxes) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(u" Орлова Ольга "_s);
    Edit(card, "login")->setText(u" olga "_s);
    Edit(card, "password")->setText(u"тайна"_s);
    for (int pos : {0, 2, 9, 13, 18, 22, 27}) card.RightBox(pos)->setChecked(true);
    const QString expected = u"1010000001000100001000100001"_s;
    ASSERT_EQ(expected.size(), Rights::kCount);
    EXPECT_EQ(card.Prova(), expected);
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    EXPECT_EQ(card.result(), QDialog::Accepted);

    const auto stored = UserStore(db()).Load(card.IddUser());
    ASSERT_TRUE(stored);
    EXPECT_TRUE(card.IddUser().startsWith(u"anna~"_s));
    EXPECT_EQ(stored->prova, expected);
    EXPECT_EQ(stored->name, u"Орлова Ольга"_s);
    EXPECT_EQ(stored->login, u"olga"_s);
    EXPECT_FALSE(stored->deleted);
    EXPECT_TRUE(Password::Matches(u"тайна"_s, stored->pass));
    EXPECT_NE(stored->pass, u"тайна"_s);
    EXPECT_TRUE(prompter.All().isEmpty());
}

TEST_P(UserDlgTest, UntickingTheOrderJournalClearsItsEightRights) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    for (int pos = 0; pos <= 9; ++pos) card.RightBox(pos)->setChecked(true);
    card.RightBox(0)->setChecked(false);
    for (int pos = 1; pos <= 8; ++pos) EXPECT_FALSE(card.RightBox(pos)->isChecked()) << pos;
    EXPECT_TRUE(card.RightBox(9)->isChecked());  // the cash journal is not one of them
    card.RightBox(0)->setChecked(true);
    for (int pos = 1; pos <= 8; ++pos) EXPECT_FALSE(card.RightBox(pos)->isChecked()) << pos;
    EXPECT_EQ(card.Prova(), u"1000000001"_s + QString(18, u'0'));
}

TEST_P(UserDlgTest, StoredRightsAreShownAsTheyAreAndThePasswordNever) {
    // Position 0 clear with 1 to 8 set: loading must not clear them.
    const UserRecord user = AddUser(u"petr"_s, u"0110000001"_s, u"старый"_s);
    AppContext ctx = Ctx();
    CUserDlg card(ctx, user.iddUser);
    EXPECT_TRUE(card.Existing());
    EXPECT_EQ(Edit(card, "name")->text(), user.name);
    EXPECT_EQ(Edit(card, "login")->text(), u"petr"_s);
    EXPECT_TRUE(Edit(card, "password")->text().isEmpty());
    EXPECT_EQ(Edit(card, "password")->echoMode(), QLineEdit::Password);
    // A short string grants nothing past its end.
    EXPECT_EQ(card.Prova(), u"0110000001"_s + QString(18, u'0'));

    // An empty password field keeps the stored password.
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    const auto kept = UserStore(db()).Load(user.iddUser);
    EXPECT_EQ(kept->pass, user.pass);
    EXPECT_EQ(kept->prova.size(), Rights::kCount);
    EXPECT_TRUE(prompter.All().isEmpty());

    CUserDlg again(ctx, user.iddUser);
    Edit(again, "password")->setText(u"новый"_s);
    Click(again, "ok");
    ASSERT_TRUE(again.Saved());
    const auto changed = UserStore(db()).Load(user.iddUser);
    EXPECT_TRUE(Password::Matches(u"новый"_s, changed->pass));
    EXPECT_FALSE(Password::Matches(u"старый"_s, changed->pass));
}

TEST_P(UserDlgTest, RequiredFieldsAreAskedForInOrder) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(u"  "_s);
    Click(card, "ok");
    Edit(card, "name")->setText(u"Орлова"_s);
    Click(card, "ok");
    Edit(card, "login")->setText(u"olga"_s);
    Edit(card, "password")->setText(u"   "_s);
    Click(card, "ok");
    EXPECT_EQ(prompter.warnings, (QStringList{kNeedName, kNeedLogin, kNeedPassword}));
    EXPECT_FALSE(card.Saved());
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT IddUser FROM SUser"_s), 0);

    // An existing user is not asked for a password, but still for name and login.
    prompter.Clear();
    const UserRecord user = AddUser(u"petr"_s, QString(Rights::kCount, u'1'));
    CUserDlg existing(ctx, user.iddUser);
    Edit(existing, "login")->clear();
    Click(existing, "ok");
    EXPECT_EQ(prompter.warnings, QStringList{kNeedLogin});
    EXPECT_FALSE(existing.Saved());
}

TEST_P(UserDlgTest, TwoLiveUsersCannotShareALogin) {
    const UserRecord petr = AddUser(u"petr"_s, QString(Rights::kCount, u'0'));
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(u"Другой Пётр"_s);
    Edit(card, "login")->setText(u"PETR"_s);
    Edit(card, "password")->setText(u"x"_s);
    Click(card, "ok");
    ASSERT_EQ(prompter.warnings.size(), 1);
    EXPECT_TRUE(prompter.warnings[0].contains(u"PETR"_s));
    EXPECT_FALSE(card.Saved());
    EXPECT_EQ(CountRows(db(), u"SELECT IddUser FROM SUser"_s), 1);

    // Once the old user is deleted the login is free again; a user may keep his own login.
    AddUser(u"olga"_s, QString(Rights::kCount, u'1'));
    UserStore(db()).SoftDelete(petr.iddUser);
    prompter.Clear();
    Click(card, "ok");
    EXPECT_TRUE(card.Saved());
    CUserDlg self(ctx, card.IddUser());
    Click(self, "ok");
    EXPECT_TRUE(self.Saved());
    EXPECT_TRUE(prompter.All().isEmpty());
}

TEST_P(UserDlgTest, DirectoryListsAddsEditsAndDeletes) {
    const UserRecord petr = AddUser(u"petr"_s, QString(Rights::kCount, u'1'));
    AppContext ctx = Ctx();
    CUserDirDlg dir(ctx);
    EXPECT_EQ(dir.windowTitle(), u"Справочник пользователей"_s);
    auto *list = dir.findChild<QTreeWidget *>(u"list"_s);
    EXPECT_EQ(list->headerItem()->text(0), u"Логин"_s);
    EXPECT_EQ(list->headerItem()->text(1), u"Ф.И.О. пользователя"_s);
    ASSERT_TRUE(Row(dir, u"petr"_s));
    EXPECT_EQ(Row(dir, u"petr"_s)->text(1), petr.name);

    Click(dir, "Edit");
    Click(dir, "Del");
    EXPECT_EQ(prompter.warnings, (QStringList{u"Выберите пользователя,\nдля его редактирования!"_s,
                                              u"Выберите пользователя,\nдля его удаления!"_s}));
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(dialogs.opened.isEmpty());

    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CUserDlg &>(d);
        Edit(card, "name")->setText(u"Орлова"_s);
        Edit(card, "login")->setText(u"olga"_s);
        Edit(card, "password")->setText(u"x"_s);
        card.accept();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_TRUE(Row(dir, u"olga"_s));

    dialogs.Then([&petr](QDialog &d) {
        auto &card = dynamic_cast<CUserDlg &>(d);
        EXPECT_EQ(card.IddUser(), petr.iddUser);
        card.RightBox(18)->setChecked(false);
        card.accept();
        return card.result();
    });
    list->setCurrentItem(Row(dir, u"petr"_s));
    Click(dir, "Edit");
    EXPECT_EQ(UserStore(db()).Load(petr.iddUser)->prova[18], u'0');

    prompter.Clear();
    prompter.Answer(false);
    list->setCurrentItem(Row(dir, u"petr"_s));
    Click(dir, "Del");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить пользователя?"_s});
    EXPECT_FALSE(UserStore(db()).Load(petr.iddUser)->deleted);
    Click(dir, "Del");  // the script runs dry: Yes
    EXPECT_TRUE(UserStore(db()).Load(petr.iddUser)->deleted);
    EXPECT_FALSE(Row(dir, u"petr"_s));
    EXPECT_TRUE(Row(dir, u"olga"_s));
    EXPECT_TRUE(prompter.warnings.isEmpty());
}
