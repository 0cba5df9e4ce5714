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

namespace {

const QString kNeedName = QStringLiteral("Укажите Ф.И.О. пользователя!");
const QString kNeedLogin =
    QStringLiteral("Укажите логин пользователя!\nОптимально латинскими бувами\nдлиной до 8 символов.");
const QString kNeedPassword = QStringLiteral("Укажите пароль пользователя!");

QTreeWidgetItem *Row(QDialog &d, const QString &login) {
    return FindRow(List(d), login);
}

}  // namespace

class UserDlgTest : public DbTest {
protected:
    AppContext Ctx() {
        return AppContext(db(),
                          UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"),
                                   QString(Rights::kCount, u'1')},
                          prompter, dialogs, m_dir.path());
    }
    UserRecord AddUser(const QString &login, const QString &prova,
                       const QString &password = QStringLiteral("pw")) {
        UserRecord u;
        u.iddUser = QStringLiteral("id-") + login;
        u.login = login;
        u.name = QStringLiteral("Имя ") + login;
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
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Пользователь"));
    const QList<std::pair<int, QString>> texts = {
        {0, QStringLiteral("Журнал заказов:")},
        {1, QStringLiteral("Добавлять заказ")},
        {8, QStringLiteral("Отметка окончания работ")},
        {9, QStringLiteral("Журнал кассы:")},
        {11, QStringLiteral("Изменить платежи")},
        {13, QStringLiteral("Журнал зарплаты:")},
        {14, QStringLiteral("Добавлять выплаты")},
        {17, QStringLiteral("Справочник основных сведений")},
        {18, QStringLiteral("Справочник пользователей")},
        {19, QStringLiteral("Добавлять")},
        {24, QStringLiteral("Удалять")},
        {25, QStringLiteral("Отчет о выполненных работах")},
        {26, QStringLiteral("Отчет о расчетах с сотрудниками")},
        {27, QStringLiteral("Настройка нумерации")},
    };
    for (const auto &[pos, text] : texts) EXPECT_EQ(card.RightBox(pos)->text(), text) << pos;
    for (int i = 0; i < Rights::kCount; ++i) {
        EXPECT_EQ(card.findChild<QCheckBox *>(QStringLiteral("right%1").arg(i)), card.RightBox(i));
        EXPECT_TRUE(card.RightBox(i)->toolTip().startsWith(QStringLiteral("<center><h2>"))) << i;
        EXPECT_FALSE(card.RightBox(i)->isChecked()) << i;
    }
    EXPECT_TRUE(card.RightBox(0)->toolTip().contains(QStringLiteral("Доступ к журналу заказов")));
    EXPECT_TRUE(card.RightBox(1)->toolTip().contains(QStringLiteral("Добавлять заказ")));
    EXPECT_TRUE(card.RightBox(14)->toolTip().contains(QStringLiteral("Добавлять З/П")));
    EXPECT_TRUE(
        card.RightBox(25)->toolTip().contains(QStringLiteral("Доступ к отчету о выполненных работах")));
    // The two "Добавлять" boxes are told apart by their tooltips.
    EXPECT_NE(card.RightBox(19)->toolTip(), card.RightBox(22)->toolTip());
}

TEST_P(UserDlgTest, RightsStringIsBuiltFromTheBoxes) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(QStringLiteral(" Орлова Ольга "));
    Edit(card, "login")->setText(QStringLiteral(" olga "));
    Edit(card, "password")->setText(QStringLiteral("тайна"));
    for (int pos : {0, 2, 9, 13, 18, 22, 27}) card.RightBox(pos)->setChecked(true);
    const QString expected = QStringLiteral("1010000001000100001000100001");
    ASSERT_EQ(expected.size(), Rights::kCount);
    EXPECT_EQ(card.Prova(), expected);
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    EXPECT_EQ(card.result(), QDialog::Accepted);

    const auto stored = UserStore(db()).Load(card.IddUser());
    ASSERT_TRUE(stored);
    EXPECT_TRUE(card.IddUser().startsWith(QStringLiteral("anna~")));
    EXPECT_EQ(stored->prova, expected);
    EXPECT_EQ(stored->name, QStringLiteral("Орлова Ольга"));
    EXPECT_EQ(stored->login, QStringLiteral("olga"));
    EXPECT_FALSE(stored->deleted);
    EXPECT_TRUE(Password::Matches(QStringLiteral("тайна"), stored->pass));
    EXPECT_NE(stored->pass, QStringLiteral("тайна"));
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
    EXPECT_EQ(card.Prova(), QStringLiteral("1000000001") + QString(18, u'0'));
}

TEST_P(UserDlgTest, StoredRightsAreShownAsTheyAreAndThePasswordNever) {
    // Position 0 clear with 1 to 8 set: loading must not clear them.
    const UserRecord user =
        AddUser(QStringLiteral("petr"), QStringLiteral("0110000001"), QStringLiteral("старый"));
    AppContext ctx = Ctx();
    CUserDlg card(ctx, user.iddUser);
    EXPECT_TRUE(card.Existing());
    EXPECT_EQ(Edit(card, "name")->text(), user.name);
    EXPECT_EQ(Edit(card, "login")->text(), QStringLiteral("petr"));
    EXPECT_TRUE(Edit(card, "password")->text().isEmpty());
    EXPECT_EQ(Edit(card, "password")->echoMode(), QLineEdit::Password);
    // A short string grants nothing past its end.
    EXPECT_EQ(card.Prova(), QStringLiteral("0110000001") + QString(18, u'0'));

    // An empty password field keeps the stored password.
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    const auto kept = UserStore(db()).Load(user.iddUser);
    EXPECT_EQ(kept->pass, user.pass);
    EXPECT_EQ(kept->prova.size(), Rights::kCount);
    EXPECT_TRUE(prompter.All().isEmpty());

    CUserDlg again(ctx, user.iddUser);
    Edit(again, "password")->setText(QStringLiteral("новый"));
    Click(again, "ok");
    ASSERT_TRUE(again.Saved());
    const auto changed = UserStore(db()).Load(user.iddUser);
    EXPECT_TRUE(Password::Matches(QStringLiteral("новый"), changed->pass));
    EXPECT_FALSE(Password::Matches(QStringLiteral("старый"), changed->pass));
}

TEST_P(UserDlgTest, RequiredFieldsAreAskedForInOrder) {
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(QStringLiteral("  "));
    Click(card, "ok");
    Edit(card, "name")->setText(QStringLiteral("Орлова"));
    Click(card, "ok");
    Edit(card, "login")->setText(QStringLiteral("olga"));
    Edit(card, "password")->setText(QStringLiteral("   "));
    Click(card, "ok");
    EXPECT_EQ(prompter.warnings, (QStringList{kNeedName, kNeedLogin, kNeedPassword}));
    EXPECT_FALSE(card.Saved());
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddUser FROM SUser")), 0);

    // An existing user is not asked for a password, but still for name and login.
    prompter.Clear();
    const UserRecord user = AddUser(QStringLiteral("petr"), QString(Rights::kCount, u'1'));
    CUserDlg existing(ctx, user.iddUser);
    Edit(existing, "login")->clear();
    Click(existing, "ok");
    EXPECT_EQ(prompter.warnings, QStringList{kNeedLogin});
    EXPECT_FALSE(existing.Saved());
}

TEST_P(UserDlgTest, TwoLiveUsersCannotShareALogin) {
    const UserRecord petr = AddUser(QStringLiteral("petr"), QString(Rights::kCount, u'0'));
    AppContext ctx = Ctx();
    CUserDlg card(ctx);
    Edit(card, "name")->setText(QStringLiteral("Другой Пётр"));
    Edit(card, "login")->setText(QStringLiteral("PETR"));
    Edit(card, "password")->setText(QStringLiteral("x"));
    Click(card, "ok");
    ASSERT_EQ(prompter.warnings.size(), 1);
    EXPECT_TRUE(prompter.warnings[0].contains(QStringLiteral("PETR")));
    EXPECT_FALSE(card.Saved());
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddUser FROM SUser")), 1);

    // Once the old user is deleted the login is free again; a user may keep his own login.
    AddUser(QStringLiteral("olga"), QString(Rights::kCount, u'1'));
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
    const UserRecord petr = AddUser(QStringLiteral("petr"), QString(Rights::kCount, u'1'));
    AppContext ctx = Ctx();
    CUserDirDlg dir(ctx);
    EXPECT_EQ(dir.windowTitle(), QStringLiteral("Справочник пользователей"));
    auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("list"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Логин"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Ф.И.О. пользователя"));
    ASSERT_TRUE(Row(dir, QStringLiteral("petr")));
    EXPECT_EQ(Row(dir, QStringLiteral("petr"))->text(1), petr.name);

    Click(dir, "Edit");
    Click(dir, "Del");
    EXPECT_EQ(prompter.warnings,
              (QStringList{QStringLiteral("Выберите пользователя,\nдля его редактирования!"),
                           QStringLiteral("Выберите пользователя,\nдля его удаления!")}));
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(dialogs.opened.isEmpty());

    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CUserDlg &>(d);
        Edit(card, "name")->setText(QStringLiteral("Орлова"));
        Edit(card, "login")->setText(QStringLiteral("olga"));
        Edit(card, "password")->setText(QStringLiteral("x"));
        card.accept();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_TRUE(Row(dir, QStringLiteral("olga")));

    dialogs.Then([&petr](QDialog &d) {
        auto &card = dynamic_cast<CUserDlg &>(d);
        EXPECT_EQ(card.IddUser(), petr.iddUser);
        card.RightBox(18)->setChecked(false);
        card.accept();
        return card.result();
    });
    list->setCurrentItem(Row(dir, QStringLiteral("petr")));
    Click(dir, "Edit");
    EXPECT_EQ(UserStore(db()).Load(petr.iddUser)->prova[18], u'0');

    prompter.Clear();
    prompter.Answer(false);
    list->setCurrentItem(Row(dir, QStringLiteral("petr")));
    Click(dir, "Del");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить пользователя?")});
    EXPECT_FALSE(UserStore(db()).Load(petr.iddUser)->deleted);
    Click(dir, "Del");  // the script runs dry: Yes
    EXPECT_TRUE(UserStore(db()).Load(petr.iddUser)->deleted);
    EXPECT_FALSE(Row(dir, QStringLiteral("petr")));
    EXPECT_TRUE(Row(dir, QStringLiteral("olga")));
    EXPECT_TRUE(prompter.warnings.isEmpty());
}
