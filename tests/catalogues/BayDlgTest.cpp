#include "AppContext.h"
#include "BayStore.h"
#include "CBayDirDlg.h"
#include "CBayDlg.h"
#include "DbError.h"
#include "Scripted.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString kNeedName =
    QStringLiteral("Укажите название, номер мойки или бокса,\nгде осуществляется оказание услуги!");

QStringList Shown(QDialog &d) {
    return RowTexts(List(d), 2);
}

}  // namespace

class BayDlgTest : public DbTest {
protected:
    AppContext Ctx() {
        return AppContext(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), QString()},
            prompter, dialogs, m_dir.path());
    }
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(BayDlgTest);

TEST_P(BayDlgTest, StoreAddsUpdatesAndHidesBays) {
    BayStore store(db());
    const QString wash =
        store.Add(QStringLiteral("Мойка 2"), QStringLiteral("тёплая"), QStringLiteral("anna"));
    const QString box = store.Add(QStringLiteral("Бокс 1"), QString(), QStringLiteral("anna"));
    EXPECT_NE(wash, box);
    ASSERT_EQ(store.List().size(), 2);
    EXPECT_EQ(store.List()[0].nameBox, QStringLiteral("Бокс 1"));
    EXPECT_EQ(store.List()[1].primBox, QStringLiteral("тёплая"));

    EXPECT_TRUE(store.Update(wash, QStringLiteral("Мойка 3"), QStringLiteral("")));
    EXPECT_EQ(store.Load(wash)->nameBox, QStringLiteral("Мойка 3"));
    EXPECT_EQ(store.Load(wash)->primBox, QString());
    EXPECT_FALSE(store.Update(QStringLiteral("nobody"), QStringLiteral("x"), QString()));

    EXPECT_TRUE(store.Delete(box));
    ASSERT_EQ(store.List().size(), 1);
    EXPECT_EQ(store.List()[0].iddBox, wash);
    EXPECT_TRUE(store.Load(box));  // soft-deleted: the row stays
}

TEST_P(BayDlgTest, CardRefusesAnEmptyName) {
    AppContext ctx = Ctx();
    CBayDlg card(ctx);
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Бокс (мойка)"));
    Edit(card, "name")->setText(QStringLiteral("   "));
    Edit(card, "note")->setText(QStringLiteral(" у ворот "));
    Click(card, "ok");
    EXPECT_EQ(prompter.warnings, QStringList{kNeedName});
    EXPECT_NE(card.result(), QDialog::Accepted);

    Edit(card, "name")->setText(QStringLiteral(" Бокс 1 "));
    Click(card, "ok");
    EXPECT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(card.Name(), QStringLiteral("Бокс 1"));
    EXPECT_EQ(card.Note(), QStringLiteral("у ворот"));
}

TEST_P(BayDlgTest, DirectoryAddsEditsAndDeletesThroughTheCard) {
    AppContext ctx = Ctx();
    CBayDirDlg dir(ctx);
    EXPECT_EQ(dir.windowTitle(), QStringLiteral("Справочник боксов (моек)"));
    auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("list"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("Название"));
    EXPECT_EQ(list->headerItem()->text(1), QStringLiteral("Примечание"));

    Click(dir, "Edit");
    Click(dir, "Del");
    EXPECT_EQ(
        prompter.warnings,
        (QStringList{QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его изменения!"),
                     QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его удаления!")}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    prompter.Clear();

    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CBayDlg &>(d);
        EXPECT_TRUE(card.Name().isEmpty());
        Edit(card, "name")->setText(QStringLiteral("Бокс 1"));
        Edit(card, "note")->setText(QStringLiteral("шиномонтаж"));
        card.accept();
        return card.result();
    });
    Click(dir, "Add");
    EXPECT_EQ(Shown(dir), QStringList{QStringLiteral("Бокс 1/шиномонтаж")});

    // Cancel writes nothing.
    dialogs.Then([](QDialog &d) {
        Edit(d, "name")->setText(QStringLiteral("Бокс 9"));
        return int(QDialog::Rejected);
    });
    Click(dir, "Add");
    EXPECT_EQ(Shown(dir), QStringList{QStringLiteral("Бокс 1/шиномонтаж")});

    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CBayDlg &>(d);
        EXPECT_EQ(card.Name(), QStringLiteral("Бокс 1"));
        EXPECT_EQ(card.Note(), QStringLiteral("шиномонтаж"));
        Edit(card, "name")->setText(QStringLiteral("Бокс 2"));
        card.accept();
        return card.result();
    });
    list->setCurrentItem(list->topLevelItem(0));
    Click(dir, "Edit");
    EXPECT_EQ(Shown(dir), QStringList{QStringLiteral("Бокс 2/шиномонтаж")});

    prompter.Answer(false);
    list->setCurrentItem(list->topLevelItem(0));
    Click(dir, "Del");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить бокс (мойку)?")});
    EXPECT_EQ(BayStore(db()).List().size(), 1);
    Click(dir, "Del");
    EXPECT_TRUE(BayStore(db()).List().isEmpty());
    EXPECT_TRUE(Shown(dir).isEmpty());
    EXPECT_TRUE(prompter.warnings.isEmpty());
}

TEST_P(BayDlgTest, FailedWriteKeepsTheCardOpenWithItsText) {
    AppContext ctx = Ctx();
    CBayDirDlg dir(ctx);
    bool keptOpen = false;
    dialogs.Then([this, &keptOpen](QDialog &d) {
        auto &card = dynamic_cast<CBayDlg &>(d);
        Edit(card, "name")->setText(QStringLiteral("Бокс 1"));
        db().SetWriteHook([](const QString &) { throw DbError(QStringLiteral("database is locked")); });
        card.accept();
        db().SetWriteHook({});
        keptOpen = card.result() != QDialog::Accepted && card.Name() == QStringLiteral("Бокс 1");
        card.accept();  // the user tries again
        return card.result();
    });
    Click(dir, "Add");
    EXPECT_TRUE(keptOpen);
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("database is locked")});
    EXPECT_EQ(Shown(dir), QStringList{QStringLiteral("Бокс 1/")});
    EXPECT_EQ(BayStore(db()).List().size(), 1);
}
