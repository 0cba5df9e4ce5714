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
        ctx = std::make_unique<AppContext>(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("oleg"), QStringLiteral("Олег"), QString()},
            prompter, dialogs, QString());
        ClientStore clients(db());
        for (const auto &[id, name] : {std::pair{"k1", "Кузнецов"}, std::pair{"k2", "O'Neil"}}) {
            ClientRecord c;
            c.iddClient = QString::fromUtf8(id);
            c.clientName = QString::fromUtf8(name);
            c.clientTel = QStringLiteral("tel-") + c.iddClient;
            clients.Save(c);
        }
        QList<CarOwner> owners(1);
        owners[0].iddVlad = QStringLiteral("k1");
        CarRecord car;
        car.iddAvto = QStringLiteral("car1");
        car.avtoNomer = QStringLiteral("К001КК");
        car.avtoMarka = QStringLiteral("ВАЗ");
        CarStore(db()).Save(car, owners, QStringLiteral("oleg"));
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
    EXPECT_EQ(prompter.warnings,
              QStringList{QStringLiteral("Выберите автомобиль из списка\nдля его удаления!")});
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_EQ(dir.windowTitle(), QStringLiteral("Спраочник автомобилей"));

    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    QTreeWidgetItem *car = dir.list()->topLevelItem(0);
    EXPECT_EQ(car->text(0), QStringLiteral("К001КК"));
    ASSERT_EQ(car->childCount(), 1);
    EXPECT_EQ(car->child(0)->text(0), QStringLiteral("Кузнецов"));
    EXPECT_EQ(car->child(0)->text(2), QStringLiteral("tel-k1"));
    EXPECT_EQ(dir.findChild<QComboBox *>(QStringLiteral("make"))->count(), 1);
    EXPECT_EQ(dir.findChild<QComboBox *>(QStringLiteral("owner"))->count(), 2);

    ASSERT_TRUE(dir.Select(QStringLiteral("car1"), link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_EQ(dir.iddAvto(), QStringLiteral("car1"));
    EXPECT_EQ(dir.iddAvtoVlad(), link);

    ASSERT_TRUE(dir.Select(QStringLiteral("car1")));
    dir.reject();
    EXPECT_EQ(dir.iddAvto(), QStringLiteral("car1"));
    EXPECT_TRUE(dir.iddAvtoVlad().isEmpty());

    dir.SetFilters(QStringLiteral("к001кк"), QStringLiteral("ваз"), QStringLiteral("O'Neil"));
    EXPECT_EQ(dir.list()->topLevelItemCount(), 0);
    dir.SetFilters({}, {}, QStringLiteral("Кузнецов"));
    EXPECT_EQ(dir.list()->topLevelItemCount(), 1);
}

TEST_P(CarDlgTest, DirectoryAddSelectsTheNewCarAndDeleteAsksByPlate) {
    CCarDirDlg dir(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CCarDlg &>(d);
        EXPECT_FALSE(card.existing());
        card.findChild<QLineEdit *>(QStringLiteral("plate"))->setText(QStringLiteral(" а777аа "));
        card.findChild<QComboBox *>(QStringLiteral("make"))->setEditText(QStringLiteral("kia"));
        card.accept();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_EQ(dir.list()->topLevelItemCount(), 2);
    ASSERT_NE(dir.list()->currentItem(), nullptr);
    EXPECT_EQ(dir.list()->currentItem()->text(0), QStringLiteral("А777АА"));
    EXPECT_EQ(dir.findChild<QComboBox *>(QStringLiteral("make"))->count(), 2);  // the new make is offered

    // An owner row deletes its car, named by the car's plate.
    ASSERT_TRUE(dir.Select(QStringLiteral("car1"), link));
    Click(dir, "DEL");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранный автомобиль: К001КК?")});
    EXPECT_FALSE(CarStore(db()).Load(QStringLiteral("car1")));
    EXPECT_TRUE(ClientStore(db()).CarsOf(QStringLiteral("k1")).isEmpty());
    EXPECT_EQ(dir.list()->topLevelItemCount(), 1);
}

TEST_P(CarDlgTest, CardRefusesAnEmptyPlateAndUpperCasesTheFields) {
    CCarDlg card(*ctx, QString());
    EXPECT_TRUE(card.iddAvto().startsWith(QStringLiteral("oleg~")));
    card.findChild<QLineEdit *>(QStringLiteral("plate"))->setText(QStringLiteral("  "));
    card.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите гос. № автомобиля!")});
    EXPECT_FALSE(card.saved());
    EXPECT_FALSE(CarStore(db()).Load(card.iddAvto()));

    card.findChild<QLineEdit *>(QStringLiteral("plate"))->setText(QStringLiteral("е123кх 77"));
    card.findChild<QComboBox *>(QStringLiteral("color"))->setEditText(QStringLiteral(" синий "));
    card.findChild<QLineEdit *>(QStringLiteral("vin"))->setText(QStringLiteral("xta210"));
    card.findChild<QLineEdit *>(QStringLiteral("dvig"))->setText(QStringLiteral("d-1"));
    card.findChild<QLineEdit *>(QStringLiteral("prim"))->setText(QStringLiteral(" скол на o'крыле "));
    card.show();
    Press(card.findChild<QLineEdit *>(QStringLiteral("prim")), Qt::Key_Return);  // Enter saves
    EXPECT_TRUE(card.saved());
    EXPECT_EQ(card.result(), QDialog::Accepted);
    const auto car = CarStore(db()).Load(card.iddAvto());
    ASSERT_TRUE(car);
    EXPECT_EQ(car->avtoNomer, QStringLiteral("Е123КХ 77"));
    EXPECT_EQ(car->avtoColor, QStringLiteral("СИНИЙ"));
    EXPECT_EQ(car->avtoVin, QStringLiteral("XTA210"));
    EXPECT_EQ(car->avtoDvig, QStringLiteral("D-1"));
    EXPECT_EQ(car->avtoPrim, QStringLiteral("скол на o'крыле"));
}

TEST_P(CarDlgTest, OwnersAreKeptInMemoryAndStoredWithTheCar) {
    CCarDlg card(*ctx, QStringLiteral("car1"));
    EXPECT_TRUE(card.existing());
    EXPECT_EQ(card.findChild<QLineEdit *>(QStringLiteral("plate"))->text(), QStringLiteral("К001КК"));
    ASSERT_EQ(card.ownersList()->topLevelItemCount(), 1);
    card.ownersList()->setCurrentItem(nullptr);
    Click(card, "edit");
    Click(card, "del");
    EXPECT_EQ(prompter.warnings,
              (QStringList{QStringLiteral("Выберите клиента из списка\nдля его изменения!"),
                           QStringLiteral("Выберите клиента из списка\nдля его удаления!")}));

    // O'Neil added twice gives one entry; then removed again in this opening.
    dialogs.Then(PickClient(QStringLiteral("k2")));
    Click(card, "add");
    dialogs.Then(PickClient(QStringLiteral("k2")));
    Click(card, "add");
    ASSERT_EQ(card.ownersList()->topLevelItemCount(), 2);
    EXPECT_EQ(card.ownersList()->currentItem()->text(0), QStringLiteral("O'Neil"));
    EXPECT_EQ(card.ownersList()->currentItem()->text(1), QStringLiteral("tel-k2"));
    prompter.Answer(true);
    Click(card, "del");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранного клиента: O'Neil?")});
    EXPECT_EQ(card.ownersList()->topLevelItemCount(), 1);
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ?"), {QStringLiteral("k2")}),
        0);

    // Editing an owner updates the list once the client card was saved.
    ASSERT_TRUE(card.SelectOwner(QStringLiteral("k1")));
    dialogs.Then([](QDialog &d) {
        auto &client = dynamic_cast<CClientDlg &>(d);
        client.field(QStringLiteral("ClientTel"))->setText(QStringLiteral("999"));
        EXPECT_TRUE(client.Save());
        client.reject();
        return client.result();
    });
    Click(card, "edit");
    EXPECT_EQ(card.ownersList()->currentItem()->text(1), QStringLiteral("999"));

    Click(card, "ok");
    EXPECT_TRUE(card.saved());
    // The owner added and removed is stored as a deleted link; the first owner stays.
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = TRUE"),
                        {QStringLiteral("k2")}),
              1);
    EXPECT_EQ(ClientStore(db()).CarsOf(QStringLiteral("k1")).size(), 1);
    EXPECT_TRUE(ClientStore(db()).CarsOf(QStringLiteral("k2")).isEmpty());
    EXPECT_EQ(dialogs.opened, (QStringList{"CClientDirDlg", "CClientDirDlg", "CClientDlg"}));
}
