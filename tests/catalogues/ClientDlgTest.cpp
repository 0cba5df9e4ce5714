#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CClientAccountPage.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "KeyedList.h"
#include "MoneyRows.h"
#include "PayRecord.h"
#include "Rows.h"
#include "Scripted.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kSaveFirst = QStringLiteral(
    "Перед добавлением сведений об автомобиле\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");

}  // namespace

class ClientDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ctx = std::make_unique<AppContext>(db(), UserInfo{u"u1"_s, u"anna"_s, u"Анна"_s, QString()}, prompter,
                                           dialogs, QString());
        ClientRecord c;
        c.iddClient = u"k1"_s;
        c.clientName = u"Кузнецов"_s;
        c.clientTel = u"111-22-33"_s;
        ClientStore(db()).Save(c);
        QList<CarOwner> owners(1);
        owners[0].iddVlad = c.iddClient;
        CarRecord car;
        car.iddAvto = u"car1"_s;
        car.avtoNomer = u"К001КК"_s;
        CarStore(db()).Save(car, owners, u"anna"_s);
        link = owners[0].iddAvtoVlad;
        car.iddAvto = u"car2"_s;
        car.avtoNomer = u"М002ММ"_s;
        QList<CarOwner> none;
        CarStore(db()).Save(car, none, u"anna"_s);
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    QString link;
};
ZV_INSTANTIATE_DB_TESTS(ClientDlgTest);

TEST_P(ClientDlgTest, DirectoryCommandsNeedASelection) {
    CClientDirDlg dir(*ctx);
    QString printed;
    dir.SetPrintHandler([&](const QString &id, bool) { printed = id; });
    Click(dir, "edit");
    Click(dir, "DEL");
    Click(dir, "print");
    EXPECT_EQ(prompter.warnings,
              (QStringList{u"Выберите клиента из списка\nдля его изменения!"_s,
                           u"Выберите клиента из списка\nдля его удаления!"_s,
                           QStringLiteral(
                               "Выберите клиента из списка\nдля формирования на\nпечать сведений о нем!")}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_TRUE(printed.isEmpty());

    // Closing without a selection hands back nothing.
    dir.reject();
    EXPECT_EQ(dir.result(), QDialog::Rejected);
    EXPECT_FALSE(dir.selected());
    EXPECT_TRUE(dir.iddClient().isEmpty());

    ASSERT_TRUE(dir.Select(u"k1"_s));
    dir.SetPrintHandler([&](const QString &id, bool debtors) { printed = id + (debtors ? u'+' : u'-'); });
    Click(dir, "print");
    EXPECT_EQ(printed, u"k1-"_s);
}

TEST_P(ClientDlgTest, DirectoryListsClientsWithCarsAndHandsBackTheRow) {
    CClientDirDlg dir(*ctx);
    QTreeWidget *list = dir.list();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem *client = list->topLevelItem(0);
    EXPECT_EQ(client->text(1), u"Кузнецов"_s);
    EXPECT_EQ(client->text(3), u"111-22-33"_s);
    EXPECT_EQ(client->text(6), u"0.00"_s);
    ASSERT_EQ(client->childCount(), 1);
    EXPECT_EQ(client->child(0)->text(0), u"К001КК"_s);
    EXPECT_EQ(list->headerItem()->text(0), u"ИНН/КПП:"_s);
    EXPECT_EQ(list->headerItem()->text(6), u"Долг:"_s);

    ASSERT_TRUE(dir.Select(u"k1"_s, link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_TRUE(dir.selected());
    EXPECT_EQ(dir.iddClient(), u"k1"_s);
    EXPECT_EQ(dir.clientName(), u"Кузнецов"_s);
    EXPECT_EQ(dir.iddAvtoVlad(), link);
    EXPECT_EQ(dir.iddAvto(), u"car1"_s);
}

TEST_P(ClientDlgTest, LinkLimitAndFiltersFromTheCaller) {
    ClientRecord other;
    other.iddClient = u"k2"_s;
    other.clientName = u"ООО 'Ромашка'"_s;
    ClientStore(db()).Save(other);

    CClientDirDlg dir(*ctx);
    EXPECT_EQ(dir.list()->topLevelItemCount(), 2);
    dir.SetLinkLimit(link);
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), u"Кузнецов"_s);
    // A filter drops the limit.
    dir.SetFilters(u"ООО 'Ромашка'"_s, {}, {});
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), u"ООО 'Ромашка'"_s);
    dir.SetFilters({}, {}, {});
    EXPECT_EQ(dir.list()->topLevelItemCount(), 2);
    dir.SetFilters({}, {}, u"к001кк"_s);
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), u"Кузнецов"_s);
}

TEST_P(ClientDlgTest, DeletingFromTheDirectoryAsksByTheOwnersName) {
    CClientDirDlg dir(*ctx);
    ASSERT_TRUE(dir.Select(u"k1"_s, link));  // a car row deletes its owner
    prompter.Answer(false);
    Click(dir, "DEL");
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить выбранного клиента: Кузнецов?"_s});
    EXPECT_TRUE(ClientStore(db()).Load(u"k1"_s));

    Click(dir, "DEL");
    EXPECT_FALSE(ClientStore(db()).Load(u"k1"_s));
    EXPECT_TRUE(CarStore(db()).Load(u"car1"_s));
    EXPECT_EQ(dir.list()->topLevelItemCount(), 0);
}

TEST_P(ClientDlgTest, CardSavesOnceThenUpdatesAndStaysOpen) {
    CClientDlg card(*ctx, QString());
    EXPECT_TRUE(card.iddClient().startsWith(u"anna~"_s));
    EXPECT_FALSE(card.existing());
    ASSERT_EQ(card.tabs()->count(), 3);
    EXPECT_EQ(card.tabs()->tabText(0), u"Заказы"_s);
    EXPECT_EQ(card.tabs()->tabText(1), u"Лицевой счет"_s);
    EXPECT_EQ(card.tabs()->tabText(2), u"Автомобили"_s);
    EXPECT_EQ(card.findChild<QLabel *>(u"debt"_s)->text(), u"0.00"_s);
    card.SetTotals(Money::Kopecks(15000), Money::Kopecks(4950));
    EXPECT_EQ(card.findChild<QLabel *>(u"servicesTotal"_s)->text(), u"150.00"_s);
    EXPECT_EQ(card.findChild<QLabel *>(u"debt"_s)->text(), u"100.50"_s);

    card.field(u"ClientName"_s)->setText(u"   "_s);
    Click(card, "save");
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите название клиента!"_s});
    EXPECT_FALSE(card.saved());
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SClient"_s), 1);

    bool closed = false;
    QObject::connect(&card, &QDialog::finished, [&] { closed = true; });
    card.field(u"ClientName"_s)->setText(u"  O'Neil "_s);
    card.field(u"ClientByx"_s)->setText(u"Смирнова"_s);
    Click(card, "save");
    // Enter saves as the button does and the card stays open; Escape closes it.
    card.show();
    card.field(u"ClientTel"_s)->setText(u"555"_s);
    Press(card.field(u"ClientTel"_s), Qt::Key_Return);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(card.saved());
    EXPECT_EQ(card.field(u"ClientName"_s)->text(), u"O'Neil"_s);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SClient WHERE IddClient = ?"_s, {card.iddClient()}), 1);
    const auto stored = ClientStore(db()).Load(card.iddClient());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->clientName, u"O'Neil"_s);
    EXPECT_EQ(stored->clientByx, u"Смирнова"_s);
    EXPECT_EQ(stored->clientTel, u"555"_s);
    Press(card.field(u"ClientTel"_s), Qt::Key_Escape);
    EXPECT_TRUE(closed);
    EXPECT_EQ(card.result(), QDialog::Accepted);  // saved at least once
}

TEST_P(ClientDlgTest, TabGoesDownTheCardAsItIsLaidOut) {
    CClientDlg card(*ctx, QString());
    card.show();
    QApplication::setActiveWindow(&card);
    ASSERT_EQ(QApplication::focusWidget(), card.field(u"ClientName"_s));
    QStringList order;
    for (int i = 0; i < 22; ++i) {
        order << QApplication::focusWidget()->objectName();
        Press(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Row by row, left to right; the bank group between the third and the last row; then the page shown
    // and the buttons. The totals are only read, never tabbed to.
    EXPECT_EQ(order.join(u' ').toStdString(),
              "ClientName ClientFullName ClientAdres ClientAdresF ClientTel ClientFaks ClientEmail ClientINN "
              "ClientOKHX ClientOKPO ClientDirector ClientByx ClientChet ClientBank ClientKorChet ClientBIK "
              "ClientContact ClientPrim qt_tabwidget_tabbar orders save close");
    card.tabs()->setCurrentIndex(2);
    card.tabs()->setFocus();
    Press(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), card.carsList());
    EXPECT_EQ(Child<QPushButton>(card, "save")->text(), u"Сохранить"_s);
    EXPECT_EQ(Child<QPushButton>(card, "close")->text(), u"Закрыть"_s);
}

TEST_P(ClientDlgTest, CarsPageRefusesBeforeTheClientIsSavedThenLinksOnce) {
    CClientDlg card(*ctx, QString());
    card.AddCar();
    EXPECT_EQ(prompter.warnings, QStringList{kSaveFirst});
    EXPECT_TRUE(dialogs.opened.isEmpty());

    card.field(u"ClientName"_s)->setText(u"ООО 'Ромашка'"_s);
    ASSERT_TRUE(card.Save());
    auto pickCar2 = [](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(u"car2"_s));
        dir.reject();  // the close button
        return dir.result();
    };
    dialogs.Then(pickCar2);
    card.AddCar();
    dialogs.Then(pickCar2);
    card.AddCar();
    EXPECT_EQ(dialogs.opened, (QStringList{"CCarDirDlg", "CCarDirDlg"}));
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM AvtoVlad WHERE IddVlad = ?"_s, {card.iddClient()}), 1);
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    EXPECT_EQ(card.carsList()->topLevelItem(0)->text(0), u"М002ММ"_s);

    // A directory closed without a selection links nothing.
    dialogs.Then([](QDialog &d) {
        d.reject();
        return d.result();
    });
    card.AddCar();
    EXPECT_EQ(card.carsList()->topLevelItemCount(), 1);

    // The client is found by its name afterwards.
    ClientFilter f;
    f.name = u"ООО 'Ромашка'"_s;
    EXPECT_EQ(ClientStore(db()).Search(f).size(), 1);
}

TEST_P(ClientDlgTest, CarsPageEditAndDeleteNeedASelectionAndDeleteRemovesTheCar) {
    CClientDlg card(*ctx, u"k1"_s);
    EXPECT_TRUE(card.existing());
    EXPECT_EQ(card.field(u"ClientName"_s)->text(), u"Кузнецов"_s);
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    card.carsList()->clearSelection();
    card.carsList()->setCurrentItem(nullptr);
    card.EditCar();
    card.DeleteCar();
    EXPECT_EQ(prompter.warnings, (QStringList{u"Выберите автомобиль из списка\nдля его изменения!"_s,
                                              u"Выберите автомобиль из списка\nдля его удаления!"_s}));

    // An existing client may add cars at once.
    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(u"car2"_s));
        dir.reject();
        return dir.result();
    });
    card.AddCar();
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 2);

    // Editing opens the car card; a save reloads the page.
    ASSERT_TRUE(card.SelectCar(u"car1"_s));
    dialogs.Then([](QDialog &d) {
        auto &car = dynamic_cast<CCarDlg &>(d);
        car.findChild<QLineEdit *>(u"plate"_s)->setText(u"к009кк"_s);
        car.accept();
        return car.result();
    });
    card.EditCar();
    EXPECT_EQ(card.carsList()->currentItem()->text(0), u"К009КК"_s);

    ASSERT_TRUE(card.SelectCar(u"car1"_s));
    card.DeleteCar();
    EXPECT_EQ(prompter.questions.last(), u"Удалить выбранный автомобиль: К009КК?"_s);
    EXPECT_FALSE(CarStore(db()).Load(u"car1"_s));
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    EXPECT_EQ(card.carsList()->topLevelItem(0)->text(0), u"М002ММ"_s);
}

TEST_P(ClientDlgTest, DirectoryAddOpensANewCardAndSelectsTheSavedClient) {
    CClientDirDlg dir(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CClientDlg &>(d);
        EXPECT_FALSE(card.existing());
        card.field(u"ClientName"_s)->setText(u"O'Neil"_s);
        card.field(u"ClientINN"_s)->setText(u"7701"_s);
        EXPECT_TRUE(card.Save());
        card.reject();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_EQ(dir.list()->topLevelItemCount(), 2);
    ASSERT_NE(dir.list()->currentItem(), nullptr);
    EXPECT_EQ(dir.list()->currentItem()->text(1), u"O'Neil"_s);

    // Edit of a car row opens its owner's card.
    ASSERT_TRUE(dir.Select(u"k1"_s, link));
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CClientDlg &>(d);
        EXPECT_EQ(card.iddClient(), u"k1"_s);
        card.field(u"ClientContact"_s)->setText(u"Петр"_s);
        card.Save();
        card.reject();
        return card.result();
    });
    Click(dir, "edit");
    EXPECT_EQ(ClientStore(db()).Load(u"k1"_s)->clientContact, u"Петр"_s);

    dir.SetFilters(u"O'Neil"_s, u" 7701 "_s, {});
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(0), u"7701"_s);
}

namespace {

const QString kSaveFirstMoney = QStringLiteral(
    "Перед добавлением заказа или платежа\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");

QString Footer(const CClientDlg &card) {
    return card.findChild<QLabel *>(u"servicesTotal"_s)->text() + u'/' +
           card.findChild<QLabel *>(u"paymentsTotal"_s)->text() + u'/' +
           card.findChild<QLabel *>(u"debt"_s)->text();
}

QDateTime At(int d, int h = 10) {
    return QDateTime(QDate(2024, 6, d), QTime(h, 0));
}

}  // namespace

TEST_P(ClientDlgTest, MoneyPagesRefuseUntilTheClientIsSaved) {
    CClientDlg card(*ctx, QString());
    EXPECT_EQ(Footer(card), u"0.00/0.00/0.00"_s);
    card.accountPage()->AddPayment();
    card.ordersPage()->AddOrder();
    EXPECT_EQ(prompter.warnings, QStringList(2, kSaveFirstMoney));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    prompter.Clear();
    card.ordersPage()->EditOrder();
    card.ordersPage()->DeleteOrder();
    card.ordersPage()->AddPayment();
    card.accountPage()->EditPayment();
    card.accountPage()->DeletePayment();
    EXPECT_EQ(prompter.warnings,
              (QStringList{u"Выберите заказ для его редактирования!"_s, u"Выберите заказ для его удаления!"_s,
                           u"Выберите заказ для его оплаты!"_s, u"Выберите платеж для его редактирования!"_s,
                           u"Выберите платеж для его удаления!"_s}));
}

TEST_P(ClientDlgTest, OrdersPageShowsSumsDebtsAndTheFooter) {
    MoneyRows::AddOrder(db(), u"z1"_s, u"k1"_s, u"101"_s, At(1), 300, 2);
    MoneyRows::AddOrder(db(), u"z2"_s, u"k1"_s, u"102"_s, At(2), 200, 0);
    MoneyRows::AddPay(db(), u"p1"_s, u"z1"_s, OrderPayment, 300, At(3));
    MoneyRows::AddPay(db(), u"p2"_s, u"k1"_s, ClientAccount, 50, At(4), u"Приход"_s);
    MoneyRows::AddOrder(db(), u"other"_s, u"k2"_s, u"9"_s, At(2), 999);

    CClientDlg card(*ctx, u"k1"_s);
    QTreeWidget *orders = card.ordersPage()->list();
    EXPECT_EQ(RowTexts(orders, 2), (QStringList{u"Кузнецов/102"_s, u"Кузнецов/101"_s}));
    EXPECT_EQ(orders->topLevelItem(0)->text(7), u"200.00"_s);
    EXPECT_EQ(orders->topLevelItem(0)->text(8), u"200.00"_s);
    EXPECT_EQ(orders->topLevelItem(1)->text(8), u"0.00"_s);
    EXPECT_EQ(orders->topLevelItem(0)->foreground(0).color(), QColor(10, 10, 180));
    EXPECT_EQ(orders->topLevelItem(0)->background(0).color(), QColor(255, 240, 240));
    EXPECT_EQ(orders->topLevelItem(1)->foreground(0).color(), QColor(200, 10, 10));
    EXPECT_NE(orders->topLevelItem(1)->background(0).color(), QColor(255, 240, 240));
    EXPECT_EQ(RowTexts(card.accountPage()->list(), 3),
              (QStringList{u"1/04.06.2024/50.00"_s, u"1/03.06.2024/300.00"_s}));
    EXPECT_EQ(Footer(card), u"500.00/350.00/150.00"_s);

    // A client without orders: the debt is minus what was paid in.
    Rows::Delete(db(), u"TZakaz"_s, {{u"IddVlad"_s, u"k1"_s}});
    card.RefreshMoney();
    EXPECT_EQ(Footer(card), u"0.00/50.00/-50.00"_s);
}

TEST_P(ClientDlgTest, PaymentsTakenOnTheCardShowAtOnce) {
    CounterStore(db()).WriteAll({QString(), 0, 20, 40, 0});
    MoneyRows::AddOrder(db(), u"z1"_s, u"k1"_s, u"101"_s, At(1), 300);
    CClientDlg card(*ctx, u"k1"_s);

    // Paying the selected order from the orders page.
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), u"Новый платеж за оказанные услуги"_s);
        EXPECT_EQ(Edit(d, "number")->text(), u"21"_s);
        EXPECT_EQ(Edit(d, "amount")->text(), u"300.00"_s);
        Edit(d, "amount")->setText(u"100"_s);
        d.accept();
        return d.result();
    });
    SelectRow(card.ordersPage()->list(), u"101"_s, 1);
    card.ordersPage()->AddPayment();
    EXPECT_EQ(Footer(card), u"300.00/100.00/200.00"_s);
    EXPECT_EQ(card.ordersPage()->list()->topLevelItem(0)->text(8), u"200.00"_s);
    EXPECT_EQ(RowTexts(card.accountPage()->list(), 3),
              QStringList{u"21/"_s + QDate::currentDate().toString(u"dd.MM.yyyy"_s) + u"/100.00"_s});

    // A refund from the account page: money out, the outgoing counter.
    dialogs.Then([](QDialog &d) {
        auto *purposes = Child<QComboBox>(d, "purposes");
        EXPECT_EQ(purposes->itemText(0), u"Оплата услуг: 101 от 01.06.2024"_s);
        purposes->setCurrentIndex(2);
        Edit(d, "amount")->setText(u"30"_s);
        d.accept();
        return d.result();
    });
    card.accountPage()->AddPayment();
    EXPECT_EQ(Footer(card), u"300.00/70.00/230.00"_s);
    EXPECT_EQ(CounterStore(db()).ReadAll()->outPayNomer, 41);
    EXPECT_EQ(CounterStore(db()).ReadAll()->payNomer, 21);

    // Deleting the refund brings the footer back.
    SelectRow(card.accountPage()->list(), u"41"_s);
    card.accountPage()->DeletePayment();
    EXPECT_EQ(prompter.questions, QStringList{u"Удалить платеж?"_s});
    EXPECT_EQ(Footer(card), u"300.00/100.00/200.00"_s);
}

TEST_P(ClientDlgTest, OrdersAreAddedChangedAndDeletedThroughTheOrderScreens) {
    MoneyRows::AddOrder(db(), u"z1"_s, u"k1"_s, u"101"_s, At(1), 300);
    MoneyRows::AddPay(db(), u"p1"_s, u"z1"_s, OrderPayment, 100, At(2));
    CClientDlg card(*ctx, u"k1"_s);
    QStringList calls;
    ScriptedOrderForms forms;
    ctx->SetOrderForms(&forms);
    forms.open = [&](OrderFormMode mode, const QString &iddClient, QString &iddZakaz) {
        calls << (mode == OrderFormMode::Edit ? u"edit "_s + iddZakaz : u"new for "_s + iddClient);
        if (mode == OrderFormMode::New) {
            iddZakaz = u"z2"_s;
            MoneyRows::AddOrder(db(), iddZakaz, u"k1"_s, u"102"_s, At(5), 40);
        }
        return true;
    };
    forms.remove = [&](const QString &iddZakaz) {
        calls << u"remove "_s + iddZakaz;
        Rows::Delete(db(), u"TZakaz"_s, {{u"IddZakaz"_s, iddZakaz}});
    };
    card.ordersPage()->AddOrder();
    EXPECT_EQ(Footer(card), u"340.00/100.00/240.00"_s);
    EXPECT_EQ(card.ordersPage()->list()->currentItem()->text(1), u"102"_s);
    card.ordersPage()->EditOrder();

    SelectRow(card.ordersPage()->list(), u"101"_s, 1);
    prompter.Answer(false);
    card.ordersPage()->DeleteOrder();
    card.ordersPage()->DeleteOrder();
    EXPECT_EQ(prompter.questions, QStringList(2, u"Удалить заказ?"_s));
    EXPECT_EQ(calls, (QStringList{u"new for k1"_s, u"edit z2"_s, u"remove z1"_s}));
    // The order's payment stays stored but is no longer the client's.
    EXPECT_EQ(Footer(card), u"40.00/0.00/40.00"_s);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM TPay"_s), 1);
}
