#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "ChangeFeed.h"
#include "Rub.h"
#include "ScreenTest.h"
#include "ServiceStore.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QComboBox *Package(const QDialog &card) {
    return Child<QComboBox>(card, "package");
}
// The row's texts, column by column.
QString Texts(const QTreeWidgetItem *row) {
    QStringList texts;
    for (int c = 0; c < row->columnCount(); ++c) texts << row->text(c);
    return texts.join(u'|');
}

}  // namespace

// Catalogue() adds workers Петров (w1) and Сидоров (w2), a package "Шиномонтаж" holding "Снятие" (100 at
// 18 %, half an hour, Петров) and a standalone "Мойка" (300, Петров and Сидоров).
class ServiceDirDlgTest : public ScreenTest {
protected:
    void Catalogue() {
        TestRows::Put(db(), TestRows::Worker{u"w1"_s, u"Петров"_s});
        TestRows::Put(db(), TestRows::Worker{u"w2"_s, u"Сидоров"_s});
        const PickedWorker petrov{{}, u"w1"_s, u"Петров"_s, false}, sidorov{{}, u"w2"_s, u"Сидоров"_s, false};
        ServiceCard a{.packageText = u"Шиномонтаж"_s, .name = u"Снятие"_s, .price = Rub(100), .prNds = 18};
        a.job = 10, a.prJob = true, a.time = QTime(0, 30), a.performers = {petrov};
        ServiceCard b{.name = u"Мойка"_s, .price = Rub(300), .performers = {petrov, sidorov}};
        ServiceStore(db()).SaveCard(a, u"anna"_s);
        ServiceStore(db()).SaveCard(b, u"anna"_s);
        std::tie(packageKey, washKey) = std::pair(a.iddTop, b.iddService);
    }

    QString packageKey, washKey;
};
ZV_INSTANTIATE_SCREEN_TESTS(ServiceDirDlgTest);

TEST_P(ServiceDirDlgTest, DirectoryShowsSumsHandsBackCheckedRowsAndFilesNewServicesInThePackage) {
    Catalogue();
    CServiceDirDlg dlg(*ctx);
    QTreeWidget *list = Child<QTreeWidget>(dlg, "services");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem *package = list->topLevelItem(0), *wash = list->topLevelItem(1);
    // A package shows its services' sums and no VAT rate of its own.
    ASSERT_EQ(package->childCount(), 1);
    EXPECT_EQ((QStringList{Texts(package), Texts(package->child(0)), Texts(wash)}),
              (QStringList{"Шиномонтаж|100.00||18.00|118.00|11.80|00:30",
                           "Снятие|100.00|18.00|18.00|118.00|11.80|00:30",
                           "Мойка|300.00|0.00|0.00|300.00|0.00|00:00"}));
    // Close with nothing ticked hands back nothing; Escape builds the list as well.
    Click(dlg, "close");
    EXPECT_TRUE(dlg.result() == QDialog::Accepted && dlg.Selected().empty());
    package->setCheckState(0, Qt::Checked);
    wash->setCheckState(0, Qt::Checked);
    wash->child(1)->setCheckState(0, Qt::Checked);  // Сидоров only
    dlg.reject();
    const SelectedServices &picked = dlg.Selected();
    ASSERT_TRUE(picked.size() == 2 && picked[0].children.size() == 1 && picked[1].performers.size() == 1);
    EXPECT_TRUE(picked[0].children[0].performers.isEmpty());  // Петров was not ticked there
    EXPECT_EQ((QStringList{picked[0].service.iddService, picked[0].children[0].service.name,
                           picked[1].service.iddService, picked[1].performers[0].iddWork}),
              (QStringList{packageKey, u"Снятие"_s, washKey, u"w2"_s}));

    // Add with the package selected files the new service in it; the name is typed first.
    SelectRow(list, u"Шиномонтаж"_s);
    dialogs.Then([](QDialog &card) {
        EXPECT_EQ(Package(card)->currentText(), u"Шиномонтаж"_s);
        card.show();
        Type(Edit(card, "name"), u"Балансировка"_s);
        Type(Edit(card, "price"), u"1 500,5x"_s);
        Press(Edit(card, "price"), Qt::Key_Return);  // Enter saves
        return card.result();
    });
    Click(dlg, "Add");
    EXPECT_EQ(RowTexts(list, 2), (QStringList{"Шиномонтаж/1600.50", "Мойка/300.00"}));  // typed "1 500,5"
}

// A price saved at another workstation shows by itself; the clerk's ticks and unfolded package stay.
TEST_P(ServiceDirDlgTest, APriceSavedElsewhereShowsWithTheTicksKept) {
    Catalogue();
    db().Changes().SetPollInterval(50);
    CServiceDirDlg dlg(*ctx);
    dlg.show();
    QTreeWidget *list = Child<QTreeWidget>(dlg, "services");
    list->topLevelItem(0)->setExpanded(true);
    list->topLevelItem(1)->child(1)->setCheckState(0, Qt::Checked);  // Сидоров on the wash
    OpenAgain()->Exec("UPDATE SService SET Price = ?, Summa = ? WHERE IddService = ?", {350, 350, washKey});
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(1)->text(1) == u"350.00"_s; }, 2000));
    EXPECT_TRUE(list->topLevelItem(0)->isExpanded());
    EXPECT_EQ(list->topLevelItem(1)->child(1)->checkState(0), Qt::Checked);
}

TEST_P(ServiceDirDlgTest, CardChecksItsFieldsAndSavesWhatIsTyped) {
    CServiceDlg card(*ctx, ServiceCardSetup{});
    prompter.Answer(false);
    Click(card, "ok");  // no name: "a package then?" No
    Click(card, "ok");  // Yes, but no package name either: nothing to save, so no silent success
    Edit(card, "name")->setText(u"  Мойка  "_s);
    Edit(card, "price")->setText(u"-5"_s);
    Click(card, "ok");
    Edit(card, "nds")->setText(u"-1"_s);
    Edit(card, "price")->setText(u"5"_s);
    Click(card, "ok");
    EXPECT_EQ(prompter.questions, QStringList(2, u"Вы хотите добавить(изменить) пакет услуг?"_s));
    EXPECT_EQ(prompter.warnings,
              (QStringList{u"Укажите название услуги!"_s, u"Укажите название пакета услуг!"_s,
                           u"Цена услуги меньше 0!\nВы собираетесь работать в убыток"_s,
                           u"Ставка НДС не может быть меньше 0!"_s}));
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SService"_s), 0);

    // The name enables the service's own fields; the price with VAT follows what is typed.
    Edit(card, "name")->setText(u"   "_s);
    EXPECT_FALSE(Edit(card, "price")->isEnabled() || Child<QPushButton>(card, "Add")->isEnabled());
    Edit(card, "name")->setText(u"Мойка"_s);
    Edit(card, "price")->setText(u"100"_s);
    Edit(card, "nds")->setText(u"18"_s);
    EXPECT_EQ(Edit(card, "summa")->text(), u"118.00"_s);
    Edit(card, "price")->setText(u"10,05"_s);  // 11.859 shown and kept to the kopeck
    EXPECT_EQ(Edit(card, "summa")->text(), u"11.86"_s);
    Child<QRadioButton>(card, "percent")->setChecked(true);
    Edit(card, "job")->setText(u"20"_s);
    Child<QTimeEdit>(card, "time")->setTime(QTime(1, 10));
    Click(card, "ok");
    ASSERT_EQ(card.result(), QDialog::Accepted);
    const ServiceRecord stored = ServiceStore(db()).Load(card.Result().iddService).value();
    EXPECT_EQ(u"%1 %2 %3 %4 %5 %6 %7"_s.arg(stored.price.Text(), stored.summa.Text())
                  .arg(stored.prNds)
                  .arg(stored.prJob)
                  .arg(stored.job)
                  .arg(stored.time.toString(u"hh:mm"_s), stored.iddTop),
              u"10.05 11.86 18 1 20 01:10 top"_s);
}

TEST_P(ServiceDirDlgTest, CardLoadsTheRowAndItsPerformersArePickedEditedAndRemoved) {
    Catalogue();
    CServiceDlg card(*ctx, {.existing = true, .iddService = washKey});
    EXPECT_EQ(Edit(card, "name")->text() + Edit(card, "price")->text(), u"Мойка300.00"_s);
    QTreeWidget *performers = List(card, "performers");
    EXPECT_EQ(RowTexts(performers), (QStringList{"Петров", "Сидоров"}));
    // Removed, then picked back through the workers directory: restored, not linked twice.
    SelectRow(performers, u"Петров"_s);
    Click(card, "Del");
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить сотрудника?"_s});
    EXPECT_EQ(RowTexts(performers), QStringList{"Сидоров"});
    dialogs.Then([](QDialog &workers) {  // Петров ticked in the workers directory
        if (QTreeWidgetItem *row = FindRow(List(workers), u"Петров"_s)) row->setCheckState(0, Qt::Checked);
        return workers.accept(), workers.result();
    });
    Click(card, "Add");
    EXPECT_EQ(RowTexts(performers), (QStringList{"Петров", "Сидоров"}));
    // Dismissed in the worker card: the link is gone from the card, and saving does not bring it back.
    SelectRow(performers, u"Петров"_s);
    dialogs.Then([](QDialog &worker) {
        Child<QCheckBox>(worker, "workOut")->setChecked(true);
        return Click(worker, "ok"), worker.result();
    });
    Click(card, "Edit");
    EXPECT_EQ(RowTexts(performers), QStringList{"Сидоров"});
    Click(card, "ok");
    ASSERT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM ServiceWork WHERE IddService = ?"_s, {washKey}), 2);
    EXPECT_EQ(ServiceStore(db()).Performers(washKey).size(), 1);
}

TEST_P(ServiceDirDlgTest, CardOnAnOrderLineLeavesPerformersToTheOrderAndATypedPackageIsNew) {
    Catalogue();
    ServiceCardSetup setup{.existing = true, .orderLine = true, .packageLocked = true, .iddService = washKey};
    setup.line = ServiceRecord{washKey, u"top"_s, u"Мойка"_s, Rub(300), 20, Rub(360), false, 0, QTime(0, 40)};
    setup.lineWorkers = {{{}, u"w2"_s, u"Сидоров"_s, false}};
    CServiceDlg card(*ctx, setup);
    EXPECT_EQ(Edit(card, "summa")->text() + RowTexts(List(card, "performers")).join(u','),
              u"360.00Сидоров"_s);
    EXPECT_FALSE(Package(card)->isEnabled());
    Click(card, "Add");
    Click(card, "Edit");
    Click(card, "Del");
    EXPECT_EQ(prompter.warnings, (QStringList{u"Вы можете добавить исполнителей в форме заказа"_s,
                                              u"Вы можете изменить исполнителя в форме заказа"_s,
                                              u"Вы можете удалить исполнителей в форме заказа"_s}));
    EXPECT_TRUE(dialogs.opened.isEmpty());

    // The listed package's name typed, not picked: the service goes to a new package.
    CServiceDlg fresh(*ctx, ServiceCardSetup{});
    EXPECT_EQ(Package(fresh)->currentIndex(), -1);
    Package(fresh)->setEditText(u"Шиномонтаж"_s);
    Edit(fresh, "name")->setText(u"Балансировка"_s);
    Click(fresh, "ok");
    ASSERT_EQ(fresh.result(), QDialog::Accepted);
    EXPECT_NE(fresh.Result().iddTop, packageKey);
}
