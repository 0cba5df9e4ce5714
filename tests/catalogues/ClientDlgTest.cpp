#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CClientAccountPage.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "PayRecord.h"
#include "Rows.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

// A step that picks a client in the clients directory and closes it.
ScriptedDialogs::Step PickClient(const QString &id) {
    return [id](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<CClientDirDlg &>(d).Select(id)) << id.toStdString();
        return d.reject(), d.result();
    };
}

QComboBox *Combo(const QDialog &d, const char *name) {
    return Child<QComboBox>(d, name);
}

QString Footer(const CClientDlg &card) {
    QStringList texts;
    for (const char *name : {"servicesTotal", "paymentsTotal", "debt"})
        texts << Child<QLabel>(card, name)->text();
    return texts.join(u'/');
}

}  // namespace

// Кузнецов (k1, tel 111-22-33) owns К001КК (car1, link "car1-k1"); O'Neil (k2, tel 222) and М002ММ (car2)
// have no car and no owner.
class ClientDlgTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        TestRows::Put(db(), TestRows::Client{.key = u"k1"_s, .name = u"Кузнецов"_s, .tel = u"111-22-33"_s});
        TestRows::Put(db(), TestRows::Client{.key = u"k2"_s, .name = u"O'Neil"_s, .tel = u"222"_s});
        TestRows::Put(db(), TestRows::Car{.key = u"car1"_s, .plate = u"К001КК"_s, .owner = u"k1"_s});
        TestRows::Put(db(), TestRows::Car{.key = u"car2"_s, .plate = u"М002ММ"_s});
    }
    static QDateTime Day(int d) { return At(2024, 6, d, 10); }
    void Order(const QString &key, const QString &number, int day, double total, int status = 1) {
        TestRows::Order o{
            .key = key, .number = number, .date = Day(day), .status = status, .client = u"k1"_s};
        o.lines = {{.price = total}};
        TestRows::Put(db(), o);
    }
    int Links(const QString &client, const char *deleted) {
        return CountRows(
            db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ? AND [Delete] = "_s + QLatin1String(deleted),
            {client});
    }
    void Pay(const QString &key, const QString &order, int kind, double sum, int day) {
        TestRows::Put(db(), TestRows::Pay{key, order, kind, sum, Day(day)});
    }
    const QString link = u"car1-k1"_s;
};
ZV_INSTANTIATE_SCREEN_TESTS(ClientDlgTest);

TEST_P(ClientDlgTest, DirectoryListsClientsWithCarsAndHandsBackTheRow) {
    TestRows::Put(db(), TestRows::Client{.key = u"k3"_s, .name = u"ООО 'Ромашка'"_s, .inn = u"7701"_s});
    CClientDirDlg dir(*ctx);
    dir.reject();  // closing without a selection hands back nothing
    EXPECT_FALSE(dir.selected() || !dir.iddClient().isEmpty());

    const QModelIndex client = FindIndex(dir.list(), u"Кузнецов"_s, 1);
    ASSERT_TRUE(client.isValid());
    EXPECT_EQ(u"%1|%2|%3"_s.arg(Cell(client, 3), Cell(client, 6), Cell(ChildOf(client), 0)),
              u"111-22-33|0.00|К001КК"_s);
    // A car row hands back the owner and the car.
    ASSERT_TRUE(dir.Select(u"k1"_s, link));
    Click(dir, "close");
    EXPECT_TRUE(dir.result() == QDialog::Accepted && dir.selected());
    EXPECT_EQ((QStringList{dir.iddClient(), dir.clientName(), dir.iddAvtoVlad(), dir.iddAvto()}),
              (QStringList{"k1", "Кузнецов", link, "car1"}));

    dir.SetFilters({}, {}, u"к001кк"_s);
    EXPECT_EQ(RowTexts(dir.list(), 2), QStringList{u"/Кузнецов"_s});

    // A car row deletes its owner, asked by the owner's name.
    prompter.Clear();
    ASSERT_TRUE(dir.Select(u"k1"_s, link));
    Click(dir, "DEL");
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить выбранного клиента: Кузнецов?"_s});
    EXPECT_TRUE(RowTexts(dir.list()).isEmpty());
}

TEST_P(ClientDlgTest, NewCardRefusesCarsAndMoneyUntilSavedThenSavesOnceAndStaysOpen) {
    CClientDlg card(*ctx, QString());
    const QString saveFirst =
        u"\nнеобходимо сохранить введенные сведения о клиенте!\nНажмите кнопку ''Сохранить''"_s;
    card.AddCar();
    card.accountPage()->AddPayment();
    card.ordersPage()->AddOrder();
    card.field(u"ClientName"_s)->setText(u"   "_s);
    Click(card, "save");
    EXPECT_EQ(prompter.warnings, (QStringList{u"Перед добавлением сведений об автомобиле"_s + saveFirst,
                                              u"Перед добавлением заказа или платежа"_s + saveFirst,
                                              u"Перед добавлением заказа или платежа"_s + saveFirst,
                                              u"Укажите название клиента!"_s}));
    EXPECT_TRUE(dialogs.opened.isEmpty() && !card.saved());
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SClient"_s), 2);

    card.field(u"ClientName"_s)->setText(u"  O'Neil "_s);
    Click(card, "save");
    // Enter saves as the button does and the card stays open; Escape closes it.
    card.show();
    card.field(u"ClientTel"_s)->setText(u"555"_s);
    Press(card.field(u"ClientTel"_s), Qt::Key_Return);
    EXPECT_TRUE(card.isVisible() && card.saved());
    EXPECT_EQ(card.field(u"ClientName"_s)->text(), u"O'Neil"_s);
    EXPECT_EQ(ClientStore(db()).Load(card.iddClient())->clientTel, u"555"_s);
    Press(card.field(u"ClientTel"_s), Qt::Key_Escape);
    EXPECT_FALSE(card.isVisible());
    EXPECT_EQ(card.result(), QDialog::Accepted);  // saved at least once
}

TEST_P(ClientDlgTest, TheCarsPageLinksEditsAndDeletesCars) {
    CClientDlg card(*ctx, u"k1"_s);
    EXPECT_TRUE(card.existing() && card.field(u"ClientName"_s)->text() == u"Кузнецов"_s);
    // A pick links the car; a directory closed without a pick links nothing.
    dialogs.Then([](QDialog &d) {
        EXPECT_TRUE(dynamic_cast<CCarDirDlg &>(d).Select(u"car2"_s));
        d.reject();  // the close button
        return d.result();
    });
    card.AddCar();
    card.AddCar();  // no step left: the directory is closed
    EXPECT_EQ(dialogs.opened, QStringList(2, u"CCarDirDlg"_s));
    EXPECT_EQ(RowTexts(card.carsList()), (QStringList{"К001КК", "М002ММ"}));

    // Editing opens the car card; a save reloads the page.
    ASSERT_TRUE(card.SelectCar(u"car1"_s));
    dialogs.Then([](QDialog &d) {
        Edit(d, "plate")->setText(u"к009кк"_s);
        return d.accept(), d.result();
    });
    card.EditCar();
    EXPECT_EQ(card.carsList()->currentItem()->text(0), u"К009КК"_s);
    ASSERT_TRUE(card.SelectCar(u"car1"_s));
    card.DeleteCar();
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить выбранный автомобиль: К009КК?"_s});
    EXPECT_FALSE(CarStore(db()).Load(u"car1"_s));
    EXPECT_EQ(RowTexts(card.carsList()), QStringList{u"М002ММ"_s});
}

// z1 (300, paid) and z2 (200, unpaid), 50 paid in on account; the lists, the footer and what is done on
// the pages.
TEST_P(ClientDlgTest, MoneyPagesShowTheClientsOrdersAndPaymentsAndFollowWhatIsDoneThere) {
    TestRows::PutCounters(db(), 0, 20, 40);  // payments in are numbered from 21
    Order(u"z1"_s, u"101"_s, 1, 300, 2);
    Order(u"z2"_s, u"102"_s, 2, 200, 0);
    Pay(u"p1"_s, u"z1"_s, OrderPayment, 300, 3);
    Pay(u"p2"_s, u"k1"_s, ClientAccount, 50, 4);
    TestRows::Put(db(), TestRows::Order{.key = u"other"_s, .client = u"k2"_s, .lines = {{.price = 999}}});

    CClientDlg card(*ctx, u"k1"_s);
    QTreeWidget *orders = card.ordersPage()->list();
    EXPECT_EQ(RowTexts(orders, 2), (QStringList{"Кузнецов/102", "Кузнецов/101"}));
    const QTreeWidgetItem *unpaid = orders->topLevelItem(0), *paid = orders->topLevelItem(1);
    EXPECT_EQ(u"%1|%2|%3"_s.arg(unpaid->text(7), unpaid->text(8), paid->text(8)), u"200.00|200.00|0.00"_s);
    EXPECT_EQ(RowTexts(card.accountPage()->list(), 3),
              (QStringList{"1/04.06.2024/50.00", "1/03.06.2024/300.00"}));
    EXPECT_EQ(Footer(card), u"500.00/350.00/150.00"_s);

    // The selected order is paid from the orders page, offered its debt; deleting the payment undoes it.
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(Edit(d, "amount")->text(), u"200.00"_s);
        Edit(d, "amount")->setText(u"100"_s);
        return d.accept(), d.result();
    });
    SelectRow(orders, u"102"_s, 1);
    card.ordersPage()->AddPayment();
    EXPECT_EQ(Footer(card), u"500.00/450.00/50.00"_s);
    EXPECT_EQ(orders->topLevelItem(0)->text(8), u"100.00"_s);
    EXPECT_EQ(RowTexts(card.accountPage()->list(), 3).first(),
              u"21/"_s + QDate::currentDate().toString(u"dd.MM.yyyy"_s) + u"/100.00"_s);
    SelectRow(card.accountPage()->list(), u"21"_s);
    card.accountPage()->DeletePayment();
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить платеж?"_s});
    EXPECT_EQ(Footer(card), u"500.00/350.00/150.00"_s);

    // Orders are changed and deleted through the order screens (adding is the orders' tests' business).
    prompter.Clear();
    QStringList calls;
    ScriptedOrderForms forms;
    ctx->SetOrderForms(&forms);
    forms.open = [&](OrderFormMode mode, const QString &, QString &iddZakaz) {
        calls << (mode == OrderFormMode::Edit ? u"edit "_s : u"new "_s) + iddZakaz;
        return true;
    };
    forms.remove = [&](const QString &iddZakaz) {
        calls << u"remove "_s + iddZakaz;
        Rows::Delete(db(), u"TZakaz"_s, {{u"IddZakaz"_s, iddZakaz}});
    };
    SelectRow(orders, u"101"_s, 1);
    card.ordersPage()->EditOrder();
    prompter.Answer(false);
    card.ordersPage()->DeleteOrder();
    card.ordersPage()->DeleteOrder();
    EXPECT_EQ(prompter.confirms, QStringList(2, u"Удалить заказ?"_s));
    EXPECT_EQ(calls, (QStringList{"edit z1", "remove z1"}));
    // The order's payment stays stored but is no longer the client's.
    EXPECT_EQ(Footer(card), u"200.00/50.00/150.00"_s);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TPay WHERE IddZakaz = ?"_s, {u"z1"_s}), 1);
}

TEST_P(ClientDlgTest, CarDirectoryListsOwnersHandsBackTheRowAddsAndDeletes) {
    CCarDirDlg dir(*ctx);
    ASSERT_EQ(dir.list()->model()->rowCount(), 2);
    const QModelIndex car = dir.list()->model()->index(0, 0);
    ASSERT_EQ(dir.list()->model()->rowCount(car), 1);
    EXPECT_EQ(u"%1|%2|%3"_s.arg(Cell(car, 0), Cell(ChildOf(car), 0), Cell(ChildOf(car), 2)),
              u"К001КК|Кузнецов|111-22-33"_s);

    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_EQ(dir.iddAvto() + u'|' + dir.iddAvtoVlad(), u"car1|"_s + link);
    ASSERT_TRUE(dir.Select(u"car1"_s));
    dir.reject();
    EXPECT_EQ(dir.iddAvto() + u'|' + dir.iddAvtoVlad(), u"car1|"_s);

    // Add selects the new car; an owner row deletes its car.
    dialogs.Then([](QDialog &card) {
        Edit(card, "plate")->setText(u" а777аа "_s);
        Combo(card, "make")->setEditText(u"kia"_s);
        return card.accept(), card.result();
    });
    Click(dir, "add");
    EXPECT_EQ(dir.list()->currentIndex().data().toString(), u"А777АА"_s);
    EXPECT_EQ(Combo(dir, "make")->count(), 2);  // the new make is offered

    ASSERT_TRUE(dir.Select(u"car1"_s, link));
    Click(dir, "DEL");
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить выбранный автомобиль: К001КК?"_s});
    EXPECT_EQ(RowTexts(dir.list()), (QStringList{"А777АА", "М002ММ"}));
}

TEST_P(ClientDlgTest, CardRefusesAnEmptyPlateAndUpperCasesTheFields) {
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

TEST_P(ClientDlgTest, OwnersAreKeptInMemoryAndStoredWithTheCar) {
    CCarDlg card(*ctx, u"car1"_s);
    EXPECT_TRUE(card.existing() && Edit(card, "plate")->text() == u"К001КК"_s);
    // O'Neil added twice gives one entry; then removed again in this opening.
    dialogs.Then(PickClient(u"k2"_s));
    Click(card, "add");
    dialogs.Then(PickClient(u"k2"_s));
    Click(card, "add");
    EXPECT_EQ(RowTexts(card.ownersList(), 2), (QStringList{"Кузнецов/111-22-33", "O'Neil/222"}));
    EXPECT_EQ(card.ownersList()->currentItem()->text(0), u"O'Neil"_s);
    Click(card, "del");
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить выбранного клиента: O'Neil?"_s});
    EXPECT_EQ(RowTexts(card.ownersList()), QStringList{u"Кузнецов"_s});
    EXPECT_EQ(Links(u"k2"_s, "FALSE") + Links(u"k2"_s, "TRUE"), 0);  // nothing stored before OK

    // Editing an owner updates the list once the client card was saved.
    ASSERT_TRUE(card.SelectOwner(u"k1"_s));
    dialogs.Then([](QDialog &d) {
        auto &client = dynamic_cast<CClientDlg &>(d);
        client.field(u"ClientTel"_s)->setText(u"999"_s);
        EXPECT_TRUE(client.Save());
        return client.reject(), client.result();
    });
    Click(card, "edit");
    EXPECT_EQ(card.ownersList()->currentItem()->text(1), u"999"_s);

    // The owner added and removed is stored as a deleted link; the first owner stays.
    Click(card, "ok");
    EXPECT_EQ((QList<int>{Links(u"k2"_s, "TRUE"), Links(u"k2"_s, "FALSE"), Links(u"k1"_s, "FALSE")}),
              (QList<int>{1, 0, 1}));
    EXPECT_EQ(dialogs.opened, (QStringList{"CClientDirDlg", "CClientDirDlg", "CClientDlg"}));
}
