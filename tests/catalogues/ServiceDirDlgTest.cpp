#include "AppContext.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDirDlg.h"
#include "CWorkerDlg.h"
#include "Database.h"
#include "DbError.h"
#include "Rows.h"
#include "Rub.h"
#include "Scripted.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kRefusal = Rights::kRefusal;
const QString kPickServiceToEdit = u"Выберите! Выберите услугу или пакет услуг,\nдля его изменения!"_s;
const QString kPickServiceToDelete = u"Выберите! Выберите услугу или пакет услуг,\nдля его удаления!"_s;
const QString kDeleteQuestion = u"Удалить услугу (пакет услуг и все услуги в пакете)?"_s;

void Select(QTreeWidget *list, QTreeWidgetItem *item) {
    list->setCurrentItem(item);
    item->setSelected(true);
}

}  // namespace

class ServiceDirDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        AddWorker(u"w1"_s, u"Петров"_s);
        AddWorker(u"w2"_s, u"Сидоров"_s);
    }

    AppContext Context(const QString &rights = QString(28, u'1')) {
        return AppContext(db(), UserInfo{u"u1"_s, u"anna"_s, u"Анна"_s, rights}, prompter, dialogs,
                          QString());
    }

    void AddWorker(const QString &id, const QString &fio) {
        Rows::Insert(db(), u"SWork"_s,
                     {{u"IddWork"_s, id}, {u"WorkFIO"_s, fio}, {u"WorkOut"_s, false}, {u"Delete"_s, false}});
    }

    // A package "Шиномонтаж" with "Снятие" (performer Петров) and a standalone "Мойка" (Петров, Сидоров).
    void Catalogue() {
        ServiceStore store(db());
        ServiceCard a;
        a.packageText = u"Шиномонтаж"_s;
        a.name = u"Снятие"_s;
        a.price = Rub(100);
        a.prNds = 18;
        a.time = QTime(0, 30);
        a.performers = {{QString(), u"w1"_s, u"Петров"_s, false}};
        store.SaveCard(a, u"anna"_s);
        packageKey = a.iddTop;
        ServiceCard b;
        b.name = u"Мойка"_s;
        b.price = Rub(300);
        b.performers = {{QString(), u"w1"_s, u"Петров"_s, false}, {QString(), u"w2"_s, u"Сидоров"_s, false}};
        store.SaveCard(b, u"anna"_s);
        washKey = b.iddService;
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    QString packageKey, washKey;
};
ZV_INSTANTIATE_DB_TESTS(ServiceDirDlgTest);

TEST_P(ServiceDirDlgTest, CommandsNeedTheirRights) {
    Catalogue();
    // Rights 19, 20 and 21 each guard one command; the others are granted here.
    for (int missing : {19, 20, 21}) {
        QString rights(28, u'1');
        rights[missing] = u'0';
        AppContext ctx = Context(rights);
        CServiceDirDlg dlg(ctx);
        auto *list = Child<QTreeWidget>(dlg, "services");
        Select(list, FindRow(list, u"Мойка"_s));
        prompter.Clear();
        prompter.Answer(false);  // refuse the delete question if it is (wrongly) asked
        const char *button = missing == 19 ? "Add" : missing == 20 ? "Edit" : "Del";
        Child<QPushButton>(dlg, button)->click();
        EXPECT_EQ(prompter.warnings, QStringList{kRefusal}) << missing;
        EXPECT_TRUE(prompter.questions.isEmpty()) << missing;
        EXPECT_TRUE(dialogs.opened.isEmpty()) << missing;
    }
    // A short rights string grants nothing beyond its end; the pop-up menu runs the same checks.
    AppContext ctx = Context(u"1111"_s);
    CServiceDirDlg dlg(ctx);
    prompter.Clear();
    for (const char *action : {"menuAdd", "menuEdit", "menuDelete"}) Child<QAction>(dlg, action)->trigger();
    EXPECT_EQ(prompter.warnings, QStringList({kRefusal, kRefusal, kRefusal}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

TEST_P(ServiceDirDlgTest, EditAndDeleteNeedAServiceRow) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    Child<QPushButton>(dlg, "Edit")->click();
    Child<QPushButton>(dlg, "Del")->click();
    EXPECT_EQ(prompter.warnings, QStringList({kPickServiceToEdit, kPickServiceToDelete}));

    // A performer row is not a service.
    prompter.Clear();
    Select(list, FindRow(list, u"Сидоров"_s));
    Child<QPushButton>(dlg, "Edit")->click();
    Child<QPushButton>(dlg, "Del")->click();
    EXPECT_EQ(prompter.warnings, QStringList({kPickServiceToEdit, kPickServiceToDelete}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService WHERE [Delete] = ?"_s, {true}), 0);
}

TEST_P(ServiceDirDlgTest, TreeShowsPackageSumsAndPerformers) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->headerItem()->text(0), u"Название"_s);
    EXPECT_EQ(list->headerItem()->text(6), u"Длительность"_s);
    QTreeWidgetItem *package = list->topLevelItem(0);
    EXPECT_EQ(package->text(0), u"Шиномонтаж"_s);
    EXPECT_EQ(package->text(1), u"100.00"_s);
    EXPECT_EQ(package->text(2), QString());  // no VAT rate on a package
    EXPECT_EQ(package->text(3), u"18.00"_s);
    EXPECT_EQ(package->text(4), u"118.00"_s);
    EXPECT_EQ(package->text(6), u"00:30"_s);
    ASSERT_EQ(package->childCount(), 1);
    EXPECT_EQ(package->child(0)->text(6), u"00:30"_s);
    EXPECT_EQ(list->topLevelItem(1)->text(6), u"00:00"_s);
    ASSERT_EQ(package->child(0)->childCount(), 1);
    EXPECT_EQ(package->child(0)->child(0)->text(0), u"Петров"_s);
    EXPECT_EQ(list->topLevelItem(1)->text(0), u"Мойка"_s);
    EXPECT_EQ(list->topLevelItem(1)->childCount(), 2);
}

TEST_P(ServiceDirDlgTest, DeletingAPackageAsksAndHidesItsServices) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    Select(list, FindRow(list, u"Шиномонтаж"_s));
    prompter.Answer(false);
    Child<QPushButton>(dlg, "Del")->click();
    EXPECT_EQ(prompter.questions, QStringList{kDeleteQuestion});
    EXPECT_EQ(list->topLevelItemCount(), 2);

    Select(list, FindRow(list, u"Шиномонтаж"_s));
    prompter.Answer(true);
    Child<QPushButton>(dlg, "Del")->click();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), u"Мойка"_s);
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService WHERE [Delete] = ?"_s, {true}), 2);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_P(ServiceDirDlgTest, ClosingHandsBackTheCheckedRows) {
    Catalogue();
    AppContext ctx = Context();
    {
        CServiceDirDlg dlg(ctx);
        Child<QPushButton>(dlg, "close")->click();
        EXPECT_TRUE(dlg.Selected().empty());
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    FindRow(list, u"Шиномонтаж"_s)->setCheckState(0, Qt::Checked);
    QTreeWidgetItem *wash = FindRow(list, u"Мойка"_s);
    wash->setCheckState(0, Qt::Checked);
    wash->child(1)->setCheckState(0, Qt::Checked);  // Сидоров only
    dlg.reject();                                   // Escape builds the list as well
    const SelectedServices &picked = dlg.Selected();
    ASSERT_EQ(picked.size(), 2u);
    EXPECT_EQ(picked[0].service.iddService, packageKey);
    EXPECT_TRUE(picked[0].IsPackage());
    ASSERT_EQ(picked[0].children.size(), 1u);
    EXPECT_EQ(picked[0].children[0].service.name, u"Снятие"_s);
    EXPECT_EQ(picked[0].children[0].service.iddTop, packageKey);
    EXPECT_EQ(picked[0].children[0].service.price, Rub(100.0));
    EXPECT_TRUE(picked[0].children[0].performers.isEmpty());  // Петров was not ticked there
    EXPECT_EQ(picked[1].service.iddService, washKey);
    ASSERT_EQ(picked[1].performers.size(), 1);
    EXPECT_EQ(picked[1].performers[0].iddWork, u"w2"_s);
    EXPECT_EQ(picked[1].performers[0].workFio, u"Сидоров"_s);
}

TEST_P(ServiceDirDlgTest, AddWithAPackageSelectedPutsTheServiceIntoIt) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    Select(list, FindRow(list, u"Шиномонтаж"_s));
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CServiceDlg &>(d);
        EXPECT_EQ(Child<QComboBox>(card, "package")->currentText(), u"Шиномонтаж"_s);
        // The name is what is typed first, not appended to the package's.
        card.show();
        EXPECT_EQ(card.focusWidget(), Child<QLineEdit>(card, "name"));
        EXPECT_EQ(Child<QLineEdit>(card, "summa")->focusPolicy(), Qt::NoFocus);  // read, not filled
        Type(Child<QLineEdit>(card, "name"), u"Балансировка"_s);
        Type(Child<QLineEdit>(card, "price"), u"1 500,5x"_s);
        Press(Child<QLineEdit>(card, "price"), Qt::Key_Return);  // Enter saves
        return card.result();
    });
    Child<QPushButton>(dlg, "Add")->click();
    EXPECT_EQ(dialogs.opened, QStringList{u"CServiceDlg"_s});
    QTreeWidgetItem *package = FindRow(list, u"Шиномонтаж"_s);
    ASSERT_NE(package, nullptr);
    EXPECT_EQ(package->childCount(), 2);        // reloaded with the new service inside
    EXPECT_EQ(package->text(1), u"1600.50"_s);  // typed as "1 500,5": 1500.50
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService WHERE IddTop = '0'"_s), 1);
}

class ServiceDlgTest : public ServiceDirDlgTest {};
ZV_INSTANTIATE_DB_TESTS(ServiceDlgTest);

TEST_P(ServiceDlgTest, ValidationMessagesKeepTheCardOpen) {
    AppContext ctx = Context();
    CServiceDlg card(ctx, ServiceCardSetup{});
    auto *name = Child<QLineEdit>(card, "name");
    auto *price = Child<QLineEdit>(card, "price");
    auto *nds = Child<QLineEdit>(card, "nds");
    auto *ok = Child<QPushButton>(card, "ok");

    prompter.Answer(false);
    ok->click();
    EXPECT_EQ(prompter.questions, QStringList{u"Вы хотите добавить(изменить) пакет услуг?"_s});
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите название услуги!"_s});

    // Yes with no package name either: nothing to save, so no silent success.
    prompter.Clear();
    ok->click();
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите название пакета услуг!"_s});

    prompter.Clear();
    name->setText(u"  Мойка  "_s);
    price->setText(u"-5"_s);
    ok->click();
    nds->setText(u"-1"_s);
    price->setText(u"5"_s);
    ok->click();
    EXPECT_EQ(prompter.warnings, QStringList({u"Цена услуги меньше 0!\nВы собираетесь работать в убыток"_s,
                                              u"Ставка НДС не может быть меньше 0!"_s}));
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService"_s), 0);
}

TEST_P(ServiceDlgTest, NameEnablesFieldsAndPriceWithVatFollowsTyping) {
    AppContext ctx = Context();
    CServiceDlg card(ctx, ServiceCardSetup{});
    auto *name = Child<QLineEdit>(card, "name");
    auto *price = Child<QLineEdit>(card, "price");
    EXPECT_EQ(Child<QLineEdit>(card, "summa")->text(), u"0"_s);
    EXPECT_FALSE(price->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(card, "Add")->isEnabled());
    name->setText(u"   "_s);
    EXPECT_FALSE(Child<QTimeEdit>(card, "time")->isEnabled());
    name->setText(u"Мойка"_s);
    EXPECT_TRUE(price->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(card, "job")->isEnabled());
    EXPECT_TRUE(Child<QPushButton>(card, "Del")->isEnabled());

    price->setText(u"100"_s);
    Child<QLineEdit>(card, "nds")->setText(u"18"_s);
    EXPECT_EQ(Child<QLineEdit>(card, "summa")->text(), u"118.00"_s);
    price->setText(u"12,5"_s);
    EXPECT_EQ(Child<QLineEdit>(card, "summa")->text(), u"14.75"_s);

    Child<QRadioButton>(card, "percent")->setChecked(true);
    Child<QLineEdit>(card, "job")->setText(u"20"_s);
    Child<QTimeEdit>(card, "time")->setTime(QTime(1, 10));
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    const auto stored = ServiceStore(db()).Load(card.Result().iddService);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->summa, Rub(14.75));
    EXPECT_TRUE(stored->prJob);
    EXPECT_EQ(stored->time, QTime(1, 10));
    EXPECT_EQ(stored->iddTop, u"top"_s);
}

TEST_P(ServiceDlgTest, TypedPackageNameIsNotAPick) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDlg card(ctx, ServiceCardSetup{});
    auto *package = Child<QComboBox>(card, "package");
    ASSERT_EQ(package->count(), 1);
    EXPECT_EQ(package->currentIndex(), -1);
    package->setEditText(u"Шиномонтаж"_s);  // typed, same name as the listed package
    Child<QLineEdit>(card, "name")->setText(u"Балансировка"_s);
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    EXPECT_NE(card.Result().iddTop, packageKey);
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService WHERE IddTop = '0' AND [Name] = ?"_s,
                        {u"Шиномонтаж"_s}),
              2);

    CServiceDlg second(ctx, ServiceCardSetup{});
    auto *combo = Child<QComboBox>(second, "package");
    combo->setCurrentIndex(combo->findData(packageKey));  // picked from the list
    Child<QLineEdit>(second, "name")->setText(u"Шиповка"_s);
    Child<QPushButton>(second, "ok")->click();
    ASSERT_EQ(second.result(), QDialog::Accepted);
    EXPECT_EQ(second.Result().iddTop, packageKey);
}

TEST_P(ServiceDlgTest, EditingLoadsTheRowAndPerformersArePickedAndRemoved) {
    Catalogue();
    AppContext ctx = Context();
    ServiceCardSetup setup;
    setup.existing = true;
    setup.iddService = washKey;
    CServiceDlg card(ctx, setup);
    EXPECT_EQ(Child<QLineEdit>(card, "name")->text(), u"Мойка"_s);
    EXPECT_EQ(Child<QLineEdit>(card, "price")->text(), u"300.00"_s);
    auto *performers = Child<QTreeWidget>(card, "performers");
    ASSERT_EQ(performers->topLevelItemCount(), 2);

    // Selection needed for Edit and Del.
    Child<QPushButton>(card, "Edit")->click();
    Child<QPushButton>(card, "Del")->click();
    EXPECT_EQ(prompter.warnings,
              QStringList({u"Выберите! Выберите сотрудника из списка,\nдля его изменения!"_s,
                           u"Выберите! Выберите сотрудника из списка,\nдля его удаления!"_s}));

    // Remove Петров, then pick Петров back and nobody new through the workers directory.
    Select(performers, FindRow(performers, u"Петров"_s));
    prompter.Clear();
    Child<QPushButton>(card, "Del")->click();
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить сотрудника?"_s});
    EXPECT_EQ(performers->topLevelItemCount(), 1);
    dialogs.Then([](QDialog &d) {
        auto &picker = dynamic_cast<CWorkerDirDlg &>(d);
        auto *list = Child<QTreeWidget>(picker, "list");
        QTreeWidgetItem *row = FindRow(list, u"Петров"_s);
        EXPECT_NE(row, nullptr);
        if (row) row->setCheckState(0, Qt::Checked);
        picker.accept();
        return QDialog::Accepted;
    });
    Child<QPushButton>(card, "Add")->click();
    EXPECT_EQ(performers->topLevelItemCount(), 2);
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    // Restored, not linked twice.
    EXPECT_EQ(CountRows(db(), u"SELECT IddServiceWork FROM ServiceWork WHERE IddService = ?"_s, {washKey}),
              2);
    EXPECT_EQ(ServiceStore(db()).Performers(washKey).size(), 2);
}

TEST_P(ServiceDlgTest, FailedSaveShowsTheErrorAndWritesNothing) {
    AppContext ctx = Context();
    CServiceDlg card(ctx, ServiceCardSetup{});
    Child<QComboBox>(card, "package")->setEditText(u"Мойка"_s);
    Child<QLineEdit>(card, "name")->setText(u"Мойка кузова"_s);
    Child<QLineEdit>(card, "price")->setText(u"500"_s);
    dialogs.Then([](QDialog &d) {
        auto &picker = dynamic_cast<CWorkerDirDlg &>(d);
        auto *list = Child<QTreeWidget>(picker, "list");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            list->topLevelItem(i)->setCheckState(0, Qt::Checked);
        picker.accept();
        return QDialog::Accepted;
    });
    Child<QPushButton>(card, "Add")->click();
    int writes = 0;
    db().SetWriteHook([&](const QString &) {
        if (++writes == 3) throw DbError(u"нет связи с сервером"_s);  // the first performer link
    });
    Child<QPushButton>(card, "ok")->click();
    db().SetWriteHook({});
    EXPECT_EQ(prompter.errors, QStringList{u"нет связи с сервером"_s});
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService"_s), 0);
    EXPECT_EQ(CountRows(db(), u"SELECT IddServiceWork FROM ServiceWork"_s), 0);

    // The second attempt stores everything.
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService"_s), 2);
    EXPECT_EQ(CountRows(db(), u"SELECT IddServiceWork FROM ServiceWork"_s), 2);
}

TEST_P(ServiceDlgTest, OrderLineModeWritesNothingAndLeavesPerformersToTheOrder) {
    Catalogue();
    AppContext ctx = Context();
    ServiceCardSetup setup;
    setup.existing = true;
    setup.orderLine = true;
    setup.packageLocked = true;
    setup.iddService = washKey;
    ServiceRecord line;
    line.iddService = washKey;
    line.iddTop = u"top"_s;
    line.name = u"Мойка"_s;
    line.price = Rub(300);
    line.prNds = 20;
    line.summa = Rub(360);
    line.time = QTime(0, 40);
    setup.line = line;
    setup.lineWorkers = {{QString(), u"w2"_s, u"Сидоров"_s, false}};
    CServiceDlg card(ctx, setup);
    EXPECT_FALSE(Child<QComboBox>(card, "package")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>(card, "summa")->text(), u"360.00"_s);
    EXPECT_EQ(Child<QTreeWidget>(card, "performers")->topLevelItemCount(), 1);

    Child<QPushButton>(card, "Add")->click();
    Child<QPushButton>(card, "Edit")->click();
    Child<QPushButton>(card, "Del")->click();
    EXPECT_EQ(prompter.warnings, QStringList({u"Вы можете добавить исполнителей в форме заказа"_s,
                                              u"Вы можете изменить исполнителя в форме заказа"_s,
                                              u"Вы можете удалить исполнителей в форме заказа"_s}));
    EXPECT_TRUE(dialogs.opened.isEmpty());

    Child<QLineEdit>(card, "name")->setText(u"Мойка с воском"_s);
    Child<QLineEdit>(card, "price")->setText(u"350,5"_s);
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(card.Result().name, u"Мойка с воском"_s);
    EXPECT_EQ(card.Result().price, Rub(350.5));
    EXPECT_EQ(card.Result().iddTop, u"top"_s);
    EXPECT_EQ(card.Result().time, QTime(0, 40));
    // The catalogue is untouched.
    EXPECT_EQ(ServiceStore(db()).Load(washKey)->name, u"Мойка"_s);
}

TEST_P(ServiceDlgTest, WorkerEditedFromTheCardIsFollowed) {
    Catalogue();
    AppContext ctx = Context();
    ServiceCardSetup setup;
    setup.existing = true;
    setup.iddService = washKey;
    CServiceDlg card(ctx, setup);
    auto *performers = Child<QTreeWidget>(card, "performers");

    // Renamed in the worker card: the row shows the new name.
    Select(performers, FindRow(performers, u"Сидоров"_s));
    dialogs.Then([](QDialog &d) {
        auto &worker = dynamic_cast<CWorkerDlg &>(d);
        Child<QLineEdit>(worker, "fio")->setText(u"Сидоров И.И."_s);
        Child<QPushButton>(worker, "ok")->click();
        return worker.result();
    });
    Child<QPushButton>(card, "Edit")->click();
    EXPECT_NE(FindRow(performers, u"Сидоров И.И."_s), nullptr);

    // Dismissed there: the link is gone from the card, and saving the card does not bring it back.
    Select(performers, FindRow(performers, u"Петров"_s));
    dialogs.Then([](QDialog &d) {
        auto &worker = dynamic_cast<CWorkerDlg &>(d);
        Child<QCheckBox>(worker, "workOut")->setChecked(true);
        Child<QPushButton>(worker, "ok")->click();
        return worker.result();
    });
    Child<QPushButton>(card, "Edit")->click();
    EXPECT_EQ(FindRow(performers, u"Петров"_s), nullptr);
    Child<QPushButton>(card, "ok")->click();
    ASSERT_EQ(card.result(), QDialog::Accepted);
    const PickedWorkers live = ServiceStore(db()).Performers(washKey);
    ASSERT_EQ(live.size(), 1);
    EXPECT_EQ(live[0].workFio, u"Сидоров И.И."_s);
}

TEST_P(ServiceDirDlgTest, EditingAPackageRenamesIt) {
    Catalogue();
    AppContext ctx = Context();
    CServiceDirDlg dlg(ctx);
    auto *list = Child<QTreeWidget>(dlg, "services");
    Select(list, FindRow(list, u"Шиномонтаж"_s));
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CServiceDlg &>(d);
        EXPECT_FALSE(Child<QLineEdit>(card, "name")->isEnabled());  // a package has no service name
        auto *package = Child<QComboBox>(card, "package");
        EXPECT_EQ(package->currentText(), u"Шиномонтаж"_s);
        package->setEditText(u"Шиномонтаж легковой"_s);
        Child<QPushButton>(card, "ok")->click();
        return card.result();
    });
    Child<QPushButton>(dlg, "Edit")->click();
    EXPECT_EQ(prompter.questions, QStringList{u"Вы хотите добавить(изменить) пакет услуг?"_s});
    QTreeWidgetItem *renamed = FindRow(list, u"Шиномонтаж легковой"_s);
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->childCount(), 1);  // still holds its service
    EXPECT_EQ(CountRows(db(), u"SELECT IddService FROM SService WHERE IddTop = '0'"_s), 1);
}
