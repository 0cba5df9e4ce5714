#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CarStore.h"
#include "KeyedList.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// A step that picks a client in the clients directory and closes it.
ScriptedDialogs::Step PickClient(const QString &id) {
    return [id](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<CClientDirDlg &>(d).Select(id)) << id.toStdString();
        d.reject();
        return d.result();
    };
}

QComboBox *Combo(const QDialog &d, const char *name) {
    return Child<QComboBox>(d, name);
}

}  // namespace

// Кузнецов (k1) owns К001КК ВАЗ (car1, link "car1-k1"); O'Neil (k2) owns nothing.
class CarDlgTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        TestRows::Put(db(), TestRows::Client{.key = u"k1"_s, .name = u"Кузнецов"_s, .tel = u"tel-k1"_s});
        TestRows::Put(db(), TestRows::Client{.key = u"k2"_s, .name = u"O'Neil"_s, .tel = u"tel-k2"_s});
        TestRows::Put(db(), TestRows::Car{.key = u"car1"_s, .plate = u"К001КК"_s, .owner = u"k1"_s});
    }
    int Links(const QString &client, const char *deleted) {
        return CountRows(
            db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = "_s + QLatin1String(deleted),
            {client});
    }
    const QString link = u"car1-k1"_s;
};
ZV_INSTANTIATE_SCREEN_TESTS(CarDlgTest);

TEST_P(CarDlgTest, DirectoryListsCarsWithOwnersAndHandsBackTheRow) {
    CCarDirDlg dir(*ctx);
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    QTreeWidgetItem *car = dir.list()->topLevelItem(0);
    ASSERT_EQ(car->childCount(), 1);
    EXPECT_EQ(u"%1|%2|%3"_s.arg(car->text(0), car->child(0)->text(0), car->child(0)->text(2)),
              u"К001КК|Кузнецов|tel-k1"_s);

    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_EQ(dir.iddAvto() + u'|' + dir.iddAvtoVlad(), u"car1|"_s + link);
    ASSERT_TRUE(dir.Select(u"car1"_s));
    dir.reject();
    EXPECT_EQ(dir.iddAvto() + u'|' + dir.iddAvtoVlad(), u"car1|"_s);
}

TEST_P(CarDlgTest, DirectoryAddSelectsTheNewCarAndAnOwnerRowDeletesItsCar) {
    CCarDirDlg dir(*ctx);
    dialogs.Then([](QDialog &card) {
        Edit(card, "plate")->setText(u" а777аа "_s);
        Combo(card, "make")->setEditText(u"kia"_s);
        card.accept();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_NE(dir.list()->currentItem(), nullptr);
    EXPECT_EQ(dir.list()->currentItem()->text(0), u"А777АА"_s);
    EXPECT_EQ(Combo(dir, "make")->count(), 2);  // the new make is offered

    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "DEL");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить выбранный автомобиль: К001КК?"_s});
    EXPECT_EQ(RowTexts(dir.list()), QStringList{u"А777АА"_s});
}

TEST_P(CarDlgTest, CardRefusesAnEmptyPlateAndUpperCasesTheFields) {
    CCarDlg card(*ctx, QString());
    EXPECT_TRUE(card.iddAvto().startsWith(u"anna~"_s));
    Edit(card, "plate")->setText(u"  "_s);
    card.accept();
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите гос. № автомобиля!"_s});
    EXPECT_FALSE(CarStore(db()).Load(card.iddAvto()));

    Edit(card, "plate")->setText(u"е123кх 77"_s);
    card.show();
    Press(Edit(card, "plate"), Qt::Key_Return);  // Enter saves
    EXPECT_TRUE(card.saved() && card.result() == QDialog::Accepted);
    EXPECT_EQ(CarStore(db()).Load(card.iddAvto())->avtoNomer, u"Е123КХ 77"_s);
}

TEST_P(CarDlgTest, OwnersAreKeptInMemoryAndStoredWithTheCar) {
    CCarDlg card(*ctx, u"car1"_s);
    EXPECT_TRUE(card.existing() && Edit(card, "plate")->text() == u"К001КК"_s);
    card.ownersList()->setCurrentItem(nullptr);
    Click(card, "edit");
    Click(card, "del");
    EXPECT_EQ(prompter.warnings, (QStringList{u"Выберите клиента из списка\nдля его изменения!"_s,
                                              u"Выберите клиента из списка\nдля его удаления!"_s}));

    // O'Neil added twice gives one entry; then removed again in this opening.
    dialogs.Then(PickClient(u"k2"_s));
    Click(card, "add");
    dialogs.Then(PickClient(u"k2"_s));
    Click(card, "add");
    EXPECT_EQ(RowTexts(card.ownersList(), 2), (QStringList{"Кузнецов/tel-k1", "O'Neil/tel-k2"}));
    EXPECT_EQ(card.ownersList()->currentItem()->text(0), u"O'Neil"_s);
    Click(card, "del");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить выбранного клиента: O'Neil?"_s});
    EXPECT_EQ(RowTexts(card.ownersList()), QStringList{u"Кузнецов"_s});
    EXPECT_EQ(Links(u"k2"_s, "FALSE") + Links(u"k2"_s, "TRUE"), 0);  // nothing stored before OK

    // Editing an owner updates the list once the client card was saved.
    ASSERT_TRUE(card.SelectOwner(u"k1"_s));
    dialogs.Then([](QDialog &d) {
        auto &client = dynamic_cast<CClientDlg &>(d);
        client.field(u"ClientTel"_s)->setText(u"999"_s);
        EXPECT_TRUE(client.Save());
        client.reject();
        return client.result();
    });
    Click(card, "edit");
    EXPECT_EQ(card.ownersList()->currentItem()->text(1), u"999"_s);

    // The owner added and removed is stored as a deleted link; the first owner stays.
    Click(card, "ok");
    EXPECT_EQ((QList<int>{Links(u"k2"_s, "TRUE"), Links(u"k2"_s, "FALSE"), Links(u"k1"_s, "FALSE")}),
              (QList<int>{1, 0, 1}));
    EXPECT_EQ(dialogs.opened, (QStringList{"CClientDirDlg", "CClientDirDlg", "CClientDlg"}));
}
