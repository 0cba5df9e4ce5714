#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "KeyedList.h"
#include "Scripted.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// A step that picks a client (optionally one of its links) in the clients directory and closes it.
ScriptedDialogs::Step PickClient(const QString &id) {
    return [id](QDialog &d) {
        auto &dir = dynamic_cast<CClientDirDlg &>(d);
        EXPECT_TRUE(dir.Select(id)) << id.toStdString();
        dir.reject();
        return dir.result();
    };
}

}  // namespace

class CarDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ctx = std::make_unique<AppContext>(db(), UserInfo{u"u1"_s, u"oleg"_s, u"Олег"_s, QString()}, prompter,
                                           dialogs, QString());
        ClientStore clients(db());
        for (const auto &[id, name] : {std::pair{"k1", "Кузнецов"}, std::pair{"k2", "O'Neil"}}) {
            ClientRecord c;
            c.iddClient = QString::fromUtf8(id);
            c.clientName = QString::fromUtf8(name);
            c.clientTel = u"tel-"_s + c.iddClient;
            clients.Save(c);
        }
        QList<CarOwner> owners(1);
        owners[0].iddVlad = u"k1"_s;
        CarRecord car;
        car.iddAvto = u"car1"_s;
        car.avtoNomer = u"К001КК"_s;
        car.avtoMarka = u"ВАЗ"_s;
        CarStore(db()).Save(car, owners, u"oleg"_s);
        link = owners[0].iddAvtoVlad;
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    QString link;
};
ZV_INSTANTIATE_DB_TESTS(CarDlgTest);

TEST_P(CarDlgTest, DirectoryListsCarsWithOwnersAndHandsBackTheRow) {
    CCarDirDlg dir(*ctx);
    Click(dir, "edit");  // nothing selected: nothing happens
    Click(dir, "DEL");
    EXPECT_EQ(prompter.warnings, QStringList{u"Выберите автомобиль из списка\nдля его удаления!"_s});
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_EQ(dir.windowTitle(), u"Спраочник автомобилей"_s);

    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    QTreeWidgetItem *car = dir.list()->topLevelItem(0);
    EXPECT_EQ(car->text(0), u"К001КК"_s);
    ASSERT_EQ(car->childCount(), 1);
    EXPECT_EQ(car->child(0)->text(0), u"Кузнецов"_s);
    EXPECT_EQ(car->child(0)->text(2), u"tel-k1"_s);
    EXPECT_EQ(dir.findChild<QComboBox *>(u"make"_s)->count(), 1);
    EXPECT_EQ(dir.findChild<QComboBox *>(u"owner"_s)->count(), 2);

    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_EQ(dir.iddAvto(), u"car1"_s);
    EXPECT_EQ(dir.iddAvtoVlad(), link);

    ASSERT_TRUE(dir.Select(u"car1"_s));
    dir.reject();
    EXPECT_EQ(dir.iddAvto(), u"car1"_s);
    EXPECT_TRUE(dir.iddAvtoVlad().isEmpty());

    dir.SetFilters(u"к001кк"_s, u"ваз"_s, u"O'Neil"_s);
    EXPECT_EQ(dir.list()->topLevelItemCount(), 0);
    dir.SetFilters({}, {}, u"Кузнецов"_s);
    EXPECT_EQ(dir.list()->topLevelItemCount(), 1);
}

TEST_P(CarDlgTest, DirectoryAddSelectsTheNewCarAndDeleteAsksByPlate) {
    CCarDirDlg dir(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CCarDlg &>(d);
        EXPECT_FALSE(card.existing());
        card.findChild<QLineEdit *>(u"plate"_s)->setText(u" а777аа "_s);
        card.findChild<QComboBox *>(u"make"_s)->setEditText(u"kia"_s);
        card.accept();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_EQ(dir.list()->topLevelItemCount(), 2);
    ASSERT_NE(dir.list()->currentItem(), nullptr);
    EXPECT_EQ(dir.list()->currentItem()->text(0), u"А777АА"_s);
    EXPECT_EQ(dir.findChild<QComboBox *>(u"make"_s)->count(), 2);  // the new make is offered

    // An owner row deletes its car, named by the car's plate.
    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "DEL");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить выбранный автомобиль: К001КК?"_s});
    EXPECT_FALSE(CarStore(db()).Load(u"car1"_s));
    EXPECT_TRUE(ClientStore(db()).CarsOf(u"k1"_s).isEmpty());
    EXPECT_EQ(dir.list()->topLevelItemCount(), 1);
}

TEST_P(CarDlgTest, CardRefusesAnEmptyPlateAndUpperCasesTheFields) {
    CCarDlg card(*ctx, QString());
    EXPECT_TRUE(card.iddAvto().startsWith(u"oleg~"_s));
    card.findChild<QLineEdit *>(u"plate"_s)->setText(u"  "_s);
    card.accept();
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите гос. № автомобиля!"_s});
    EXPECT_FALSE(card.saved());
    EXPECT_FALSE(CarStore(db()).Load(card.iddAvto()));

    card.findChild<QLineEdit *>(u"plate"_s)->setText(u"е123кх 77"_s);
    card.findChild<QComboBox *>(u"color"_s)->setEditText(u" синий "_s);
    card.findChild<QLineEdit *>(u"vin"_s)->setText(u"xta210"_s);
    card.findChild<QLineEdit *>(u"dvig"_s)->setText(u"d-1"_s);
    card.findChild<QLineEdit *>(u"prim"_s)->setText(u" скол на o'крыле "_s);
    card.show();
    Press(card.findChild<QLineEdit *>(u"prim"_s), Qt::Key_Return);  // Enter saves
    EXPECT_TRUE(card.saved());
    EXPECT_EQ(card.result(), QDialog::Accepted);
    const auto car = CarStore(db()).Load(card.iddAvto());
    ASSERT_TRUE(car);
    EXPECT_EQ(car->avtoNomer, u"Е123КХ 77"_s);
    EXPECT_EQ(car->avtoColor, u"СИНИЙ"_s);
    EXPECT_EQ(car->avtoVin, u"XTA210"_s);
    EXPECT_EQ(car->avtoDvig, u"D-1"_s);
    EXPECT_EQ(car->avtoPrim, u"скол на o'крыле"_s);
}

TEST_P(CarDlgTest, OwnersAreKeptInMemoryAndStoredWithTheCar) {
    CCarDlg card(*ctx, u"car1"_s);
    EXPECT_TRUE(card.existing());
    EXPECT_EQ(card.findChild<QLineEdit *>(u"plate"_s)->text(), u"К001КК"_s);
    ASSERT_EQ(card.ownersList()->topLevelItemCount(), 1);
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
    ASSERT_EQ(card.ownersList()->topLevelItemCount(), 2);
    EXPECT_EQ(card.ownersList()->currentItem()->text(0), u"O'Neil"_s);
    EXPECT_EQ(card.ownersList()->currentItem()->text(1), u"tel-k2"_s);
    prompter.Answer(true);
    Click(card, "del");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить выбранного клиента: O'Neil?"_s});
    EXPECT_EQ(card.ownersList()->topLevelItemCount(), 1);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ?"_s, {u"k2"_s}), 0);

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

    Click(card, "ok");
    EXPECT_TRUE(card.saved());
    // The owner added and removed is stored as a deleted link; the first owner stays.
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = TRUE"_s, {u"k2"_s}),
              1);
    EXPECT_EQ(ClientStore(db()).CarsOf(u"k1"_s).size(), 1);
    EXPECT_TRUE(ClientStore(db()).CarsOf(u"k2"_s).isEmpty());
    EXPECT_EQ(dialogs.opened, (QStringList{"CClientDirDlg", "CClientDirDlg", "CClientDlg"}));
}
