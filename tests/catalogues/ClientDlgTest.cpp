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
        ctx = std::make_unique<AppContext>(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), QString()},
            prompter, dialogs, QString());
        ClientRecord c;
        c.iddClient = QStringLiteral("k1");
        c.clientName = QStringLiteral("Кузнецов");
        c.clientTel = QStringLiteral("111-22-33");
        ClientStore(db()).Save(c);
        QList<CarOwner> owners(1);
        owners[0].iddVlad = c.iddClient;
        CarRecord car;
        car.iddAvto = QStringLiteral("car1");
        car.avtoNomer = QStringLiteral("К001КК");
        CarStore(db()).Save(car, owners, QStringLiteral("anna"));
        link = owners[0].iddAvtoVlad;
        car.iddAvto = QStringLiteral("car2");
        car.avtoNomer = QStringLiteral("М002ММ");
        QList<CarOwner> none;
        CarStore(db()).Save(car, none, QStringLiteral("anna"));
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
              (QStringList{QStringLiteral("Выберите клиента из списка\nдля его изменения!"),
                           QStringLiteral("Выберите клиента из списка\nдля его удаления!"),
                           QStringLiteral(
                               "Выберите клиента из списка\nдля формирования на\nпечать сведений о нем!")}));
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_TRUE(printed.isEmpty());

    // Closing without a selection hands back nothing.
    dir.reject();
    EXPECT_EQ(dir.result(), QDialog::Rejected);
    EXPECT_FALSE(dir.selected());
    EXPECT_TRUE(dir.iddClient().isEmpty());

    ASSERT_TRUE(dir.Select(QStringLiteral("k1")));
    dir.SetPrintHandler([&](const QString &id, bool debtors) { printed = id + (debtors ? u'+' : u'-'); });
    Click(dir, "print");
    EXPECT_EQ(printed, QStringLiteral("k1-"));
}

TEST_P(ClientDlgTest, DirectoryListsClientsWithCarsAndHandsBackTheRow) {
    CClientDirDlg dir(*ctx);
    QTreeWidget *list = dir.list();
    ASSERT_EQ(list->topLevelItemCount(), 1);
    QTreeWidgetItem *client = list->topLevelItem(0);
    EXPECT_EQ(client->text(1), QStringLiteral("Кузнецов"));
    EXPECT_EQ(client->text(3), QStringLiteral("111-22-33"));
    EXPECT_EQ(client->text(6), QStringLiteral("0.00"));
    ASSERT_EQ(client->childCount(), 1);
    EXPECT_EQ(client->child(0)->text(0), QStringLiteral("К001КК"));
    EXPECT_EQ(list->headerItem()->text(0), QStringLiteral("ИНН/КПП:"));
    EXPECT_EQ(list->headerItem()->text(6), QStringLiteral("Долг:"));

    ASSERT_TRUE(dir.Select(QStringLiteral("k1"), link));
    Click(dir, "close");
    EXPECT_EQ(dir.result(), QDialog::Accepted);
    EXPECT_TRUE(dir.selected());
    EXPECT_EQ(dir.iddClient(), QStringLiteral("k1"));
    EXPECT_EQ(dir.clientName(), QStringLiteral("Кузнецов"));
    EXPECT_EQ(dir.iddAvtoVlad(), link);
    EXPECT_EQ(dir.iddAvto(), QStringLiteral("car1"));
}

TEST_P(ClientDlgTest, LinkLimitAndFiltersFromTheCaller) {
    ClientRecord other;
    other.iddClient = QStringLiteral("k2");
    other.clientName = QStringLiteral("ООО 'Ромашка'");
    ClientStore(db()).Save(other);

    CClientDirDlg dir(*ctx);
    EXPECT_EQ(dir.list()->topLevelItemCount(), 2);
    dir.SetLinkLimit(link);
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), QStringLiteral("Кузнецов"));
    // A filter drops the limit.
    dir.SetFilters(QStringLiteral("ООО 'Ромашка'"), {}, {});
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), QStringLiteral("ООО 'Ромашка'"));
    dir.SetFilters({}, {}, {});
    EXPECT_EQ(dir.list()->topLevelItemCount(), 2);
    dir.SetFilters({}, {}, QStringLiteral("к001кк"));
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(1), QStringLiteral("Кузнецов"));
}

TEST_P(ClientDlgTest, DeletingFromTheDirectoryAsksByTheOwnersName) {
    CClientDirDlg dir(*ctx);
    ASSERT_TRUE(dir.Select(QStringLiteral("k1"), link));  // a car row deletes its owner
    prompter.Answer(false);
    Click(dir, "DEL");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранного клиента: Кузнецов?")});
    EXPECT_TRUE(ClientStore(db()).Load(QStringLiteral("k1")));

    Click(dir, "DEL");
    EXPECT_FALSE(ClientStore(db()).Load(QStringLiteral("k1")));
    EXPECT_TRUE(CarStore(db()).Load(QStringLiteral("car1")));
    EXPECT_EQ(dir.list()->topLevelItemCount(), 0);
}

TEST_P(ClientDlgTest, CardSavesOnceThenUpdatesAndStaysOpen) {
    CClientDlg card(*ctx, QString());
    EXPECT_TRUE(card.iddClient().startsWith(QStringLiteral("anna~")));
    EXPECT_FALSE(card.existing());
    ASSERT_EQ(card.tabs()->count(), 3);
    EXPECT_EQ(card.tabs()->tabText(0), QStringLiteral("Заказы"));
    EXPECT_EQ(card.tabs()->tabText(1), QStringLiteral("Лицевой счет"));
    EXPECT_EQ(card.tabs()->tabText(2), QStringLiteral("Автомобили"));
    EXPECT_EQ(card.findChild<QLabel *>(QStringLiteral("debt"))->text(), QStringLiteral("0.00"));
    card.SetTotals(Money::Kopecks(15000), Money::Kopecks(4950));
    EXPECT_EQ(card.findChild<QLabel *>(QStringLiteral("servicesTotal"))->text(), QStringLiteral("150.00"));
    EXPECT_EQ(card.findChild<QLabel *>(QStringLiteral("debt"))->text(), QStringLiteral("100.50"));

    card.field(QStringLiteral("ClientName"))->setText(QStringLiteral("   "));
    Click(card, "save");
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите название клиента!")});
    EXPECT_FALSE(card.saved());
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient")), 1);

    bool closed = false;
    QObject::connect(&card, &QDialog::finished, [&] { closed = true; });
    card.field(QStringLiteral("ClientName"))->setText(QStringLiteral("  O'Neil "));
    card.field(QStringLiteral("ClientByx"))->setText(QStringLiteral("Смирнова"));
    Click(card, "save");
    // Enter saves as the button does and the card stays open; Escape closes it.
    card.show();
    card.field(QStringLiteral("ClientTel"))->setText(QStringLiteral("555"));
    Press(card.field(QStringLiteral("ClientTel")), Qt::Key_Return);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(card.saved());
    EXPECT_EQ(card.field(QStringLiteral("ClientName"))->text(), QStringLiteral("O'Neil"));
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM SClient WHERE IddClient = ?"), {card.iddClient()}), 1);
    const auto stored = ClientStore(db()).Load(card.iddClient());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->clientName, QStringLiteral("O'Neil"));
    EXPECT_EQ(stored->clientByx, QStringLiteral("Смирнова"));
    EXPECT_EQ(stored->clientTel, QStringLiteral("555"));
    Press(card.field(QStringLiteral("ClientTel")), Qt::Key_Escape);
    EXPECT_TRUE(closed);
    EXPECT_EQ(card.result(), QDialog::Accepted);  // saved at least once
}

TEST_P(ClientDlgTest, TabGoesDownTheCardAsItIsLaidOut) {
    CClientDlg card(*ctx, QString());
    card.show();
    QApplication::setActiveWindow(&card);
    ASSERT_EQ(QApplication::focusWidget(), card.field(QStringLiteral("ClientName")));
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
    EXPECT_EQ(Child<QPushButton>(card, "save")->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(Child<QPushButton>(card, "close")->text(), QStringLiteral("Закрыть"));
}

TEST_P(ClientDlgTest, CarsPageRefusesBeforeTheClientIsSavedThenLinksOnce) {
    CClientDlg card(*ctx, QString());
    card.AddCar();
    EXPECT_EQ(prompter.warnings, QStringList{kSaveFirst});
    EXPECT_TRUE(dialogs.opened.isEmpty());

    card.field(QStringLiteral("ClientName"))->setText(QStringLiteral("ООО 'Ромашка'"));
    ASSERT_TRUE(card.Save());
    auto pickCar2 = [](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("car2")));
        dir.reject();  // the close button
        return dir.result();
    };
    dialogs.Then(pickCar2);
    card.AddCar();
    dialogs.Then(pickCar2);
    card.AddCar();
    EXPECT_EQ(dialogs.opened, (QStringList{"CCarDirDlg", "CCarDirDlg"}));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddVlad = ?"), {card.iddClient()}),
              1);
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    EXPECT_EQ(card.carsList()->topLevelItem(0)->text(0), QStringLiteral("М002ММ"));

    // A directory closed without a selection links nothing.
    dialogs.Then([](QDialog &d) {
        d.reject();
        return d.result();
    });
    card.AddCar();
    EXPECT_EQ(card.carsList()->topLevelItemCount(), 1);

    // The client is found by its name afterwards.
    ClientFilter f;
    f.name = QStringLiteral("ООО 'Ромашка'");
    EXPECT_EQ(ClientStore(db()).Search(f).size(), 1);
}

TEST_P(ClientDlgTest, CarsPageEditAndDeleteNeedASelectionAndDeleteRemovesTheCar) {
    CClientDlg card(*ctx, QStringLiteral("k1"));
    EXPECT_TRUE(card.existing());
    EXPECT_EQ(card.field(QStringLiteral("ClientName"))->text(), QStringLiteral("Кузнецов"));
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    card.carsList()->clearSelection();
    card.carsList()->setCurrentItem(nullptr);
    card.EditCar();
    card.DeleteCar();
    EXPECT_EQ(prompter.warnings,
              (QStringList{QStringLiteral("Выберите автомобиль из списка\nдля его изменения!"),
                           QStringLiteral("Выберите автомобиль из списка\nдля его удаления!")}));

    // An existing client may add cars at once.
    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("car2")));
        dir.reject();
        return dir.result();
    });
    card.AddCar();
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 2);

    // Editing opens the car card; a save reloads the page.
    ASSERT_TRUE(card.SelectCar(QStringLiteral("car1")));
    dialogs.Then([](QDialog &d) {
        auto &car = dynamic_cast<CCarDlg &>(d);
        car.findChild<QLineEdit *>(QStringLiteral("plate"))->setText(QStringLiteral("к009кк"));
        car.accept();
        return car.result();
    });
    card.EditCar();
    EXPECT_EQ(card.carsList()->currentItem()->text(0), QStringLiteral("К009КК"));

    ASSERT_TRUE(card.SelectCar(QStringLiteral("car1")));
    card.DeleteCar();
    EXPECT_EQ(prompter.questions.last(), QStringLiteral("Удалить выбранный автомобиль: К009КК?"));
    EXPECT_FALSE(CarStore(db()).Load(QStringLiteral("car1")));
    ASSERT_EQ(card.carsList()->topLevelItemCount(), 1);
    EXPECT_EQ(card.carsList()->topLevelItem(0)->text(0), QStringLiteral("М002ММ"));
}

TEST_P(ClientDlgTest, DirectoryAddOpensANewCardAndSelectsTheSavedClient) {
    CClientDirDlg dir(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CClientDlg &>(d);
        EXPECT_FALSE(card.existing());
        card.field(QStringLiteral("ClientName"))->setText(QStringLiteral("O'Neil"));
        card.field(QStringLiteral("ClientINN"))->setText(QStringLiteral("7701"));
        EXPECT_TRUE(card.Save());
        card.reject();
        return card.result();
    });
    Click(dir, "add");
    ASSERT_EQ(dir.list()->topLevelItemCount(), 2);
    ASSERT_NE(dir.list()->currentItem(), nullptr);
    EXPECT_EQ(dir.list()->currentItem()->text(1), QStringLiteral("O'Neil"));

    // Edit of a car row opens its owner's card.
    ASSERT_TRUE(dir.Select(QStringLiteral("k1"), link));
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CClientDlg &>(d);
        EXPECT_EQ(card.iddClient(), QStringLiteral("k1"));
        card.field(QStringLiteral("ClientContact"))->setText(QStringLiteral("Петр"));
        card.Save();
        card.reject();
        return card.result();
    });
    Click(dir, "edit");
    EXPECT_EQ(ClientStore(db()).Load(QStringLiteral("k1"))->clientContact, QStringLiteral("Петр"));

    dir.SetFilters(QStringLiteral("O'Neil"), QStringLiteral(" 7701 "), {});
    ASSERT_EQ(dir.list()->topLevelItemCount(), 1);
    EXPECT_EQ(dir.list()->topLevelItem(0)->text(0), QStringLiteral("7701"));
}

namespace {

const QString kSaveFirstMoney = QStringLiteral(
    "Перед добавлением заказа или платежа\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");

QString Footer(const CClientDlg &card) {
    return card.findChild<QLabel *>(QStringLiteral("servicesTotal"))->text() + u'/' +
           card.findChild<QLabel *>(QStringLiteral("paymentsTotal"))->text() + u'/' +
           card.findChild<QLabel *>(QStringLiteral("debt"))->text();
}

QDateTime At(int d, int h = 10) {
    return QDateTime(QDate(2024, 6, d), QTime(h, 0));
}

}  // namespace

TEST_P(ClientDlgTest, MoneyPagesRefuseUntilTheClientIsSaved) {
    CClientDlg card(*ctx, QString());
    EXPECT_EQ(Footer(card), QStringLiteral("0.00/0.00/0.00"));
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
    EXPECT_EQ(prompter.warnings, (QStringList{QStringLiteral("Выберите заказ для его редактирования!"),
                                              QStringLiteral("Выберите заказ для его удаления!"),
                                              QStringLiteral("Выберите заказ для его оплаты!"),
                                              QStringLiteral("Выберите платеж для его редактирования!"),
                                              QStringLiteral("Выберите платеж для его удаления!")}));
}

TEST_P(ClientDlgTest, OrdersPageShowsSumsDebtsAndTheFooter) {
    MoneyRows::AddOrder(db(), QStringLiteral("z1"), QStringLiteral("k1"), QStringLiteral("101"), At(1), 300,
                        2);
    MoneyRows::AddOrder(db(), QStringLiteral("z2"), QStringLiteral("k1"), QStringLiteral("102"), At(2), 200,
                        0);
    MoneyRows::AddPay(db(), QStringLiteral("p1"), QStringLiteral("z1"), OrderPayment, 300, At(3));
    MoneyRows::AddPay(db(), QStringLiteral("p2"), QStringLiteral("k1"), ClientAccount, 50, At(4),
                      QStringLiteral("Приход"));
    MoneyRows::AddOrder(db(), QStringLiteral("other"), QStringLiteral("k2"), QStringLiteral("9"), At(2), 999);

    CClientDlg card(*ctx, QStringLiteral("k1"));
    QTreeWidget *orders = card.ordersPage()->list();
    EXPECT_EQ(RowTexts(orders, 2),
              (QStringList{QStringLiteral("Кузнецов/102"), QStringLiteral("Кузнецов/101")}));
    EXPECT_EQ(orders->topLevelItem(0)->text(7), QStringLiteral("200.00"));
    EXPECT_EQ(orders->topLevelItem(0)->text(8), QStringLiteral("200.00"));
    EXPECT_EQ(orders->topLevelItem(1)->text(8), QStringLiteral("0.00"));
    EXPECT_EQ(orders->topLevelItem(0)->foreground(0).color(), QColor(10, 10, 180));
    EXPECT_EQ(orders->topLevelItem(0)->background(0).color(), QColor(255, 240, 240));
    EXPECT_EQ(orders->topLevelItem(1)->foreground(0).color(), QColor(200, 10, 10));
    EXPECT_NE(orders->topLevelItem(1)->background(0).color(), QColor(255, 240, 240));
    EXPECT_EQ(RowTexts(card.accountPage()->list(), 3),
              (QStringList{QStringLiteral("1/04.06.2024/50.00"), QStringLiteral("1/03.06.2024/300.00")}));
    EXPECT_EQ(Footer(card), QStringLiteral("500.00/350.00/150.00"));

    // A client without orders: the debt is minus what was paid in.
    Rows::Delete(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddVlad"), QStringLiteral("k1")}});
    card.RefreshMoney();
    EXPECT_EQ(Footer(card), QStringLiteral("0.00/50.00/-50.00"));
}

TEST_P(ClientDlgTest, PaymentsTakenOnTheCardShowAtOnce) {
    CounterStore(db()).WriteAll({QString(), 0, 20, 40, 0});
    MoneyRows::AddOrder(db(), QStringLiteral("z1"), QStringLiteral("k1"), QStringLiteral("101"), At(1), 300);
    CClientDlg card(*ctx, QStringLiteral("k1"));

    // Paying the selected order from the orders page.
    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Новый платеж за оказанные услуги"));
        EXPECT_EQ(Edit(d, "number")->text(), QStringLiteral("21"));
        EXPECT_EQ(Edit(d, "amount")->text(), QStringLiteral("300.00"));
        Edit(d, "amount")->setText(QStringLiteral("100"));
        d.accept();
        return d.result();
    });
    SelectRow(card.ordersPage()->list(), QStringLiteral("101"), 1);
    card.ordersPage()->AddPayment();
    EXPECT_EQ(Footer(card), QStringLiteral("300.00/100.00/200.00"));
    EXPECT_EQ(card.ordersPage()->list()->topLevelItem(0)->text(8), QStringLiteral("200.00"));
    EXPECT_EQ(
        RowTexts(card.accountPage()->list(), 3),
        QStringList{QStringLiteral("21/") + QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")) +
                    QStringLiteral("/100.00")});

    // A refund from the account page: money out, the outgoing counter.
    dialogs.Then([](QDialog &d) {
        auto *purposes = Child<QComboBox>(d, "purposes");
        EXPECT_EQ(purposes->itemText(0), QStringLiteral("Оплата услуг: 101 от 01.06.2024"));
        purposes->setCurrentIndex(2);
        Edit(d, "amount")->setText(QStringLiteral("30"));
        d.accept();
        return d.result();
    });
    card.accountPage()->AddPayment();
    EXPECT_EQ(Footer(card), QStringLiteral("300.00/70.00/230.00"));
    EXPECT_EQ(CounterStore(db()).ReadAll()->outPayNomer, 41);
    EXPECT_EQ(CounterStore(db()).ReadAll()->payNomer, 21);

    // Deleting the refund brings the footer back.
    SelectRow(card.accountPage()->list(), QStringLiteral("41"));
    card.accountPage()->DeletePayment();
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить платеж?")});
    EXPECT_EQ(Footer(card), QStringLiteral("300.00/100.00/200.00"));
}

TEST_P(ClientDlgTest, OrdersAreAddedChangedAndDeletedThroughTheOrderScreens) {
    MoneyRows::AddOrder(db(), QStringLiteral("z1"), QStringLiteral("k1"), QStringLiteral("101"), At(1), 300);
    MoneyRows::AddPay(db(), QStringLiteral("p1"), QStringLiteral("z1"), OrderPayment, 100, At(2));
    CClientDlg card(*ctx, QStringLiteral("k1"));
    QStringList calls;
    ScriptedOrderForms forms;
    ctx->SetOrderForms(&forms);
    forms.open = [&](OrderFormMode mode, const QString &iddClient, QString &iddZakaz) {
        calls << (mode == OrderFormMode::Edit ? QStringLiteral("edit ") + iddZakaz
                                              : QStringLiteral("new for ") + iddClient);
        if (mode == OrderFormMode::New) {
            iddZakaz = QStringLiteral("z2");
            MoneyRows::AddOrder(db(), iddZakaz, QStringLiteral("k1"), QStringLiteral("102"), At(5), 40);
        }
        return true;
    };
    forms.remove = [&](const QString &iddZakaz) {
        calls << QStringLiteral("remove ") + iddZakaz;
        Rows::Delete(db(), QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), iddZakaz}});
    };
    card.ordersPage()->AddOrder();
    EXPECT_EQ(Footer(card), QStringLiteral("340.00/100.00/240.00"));
    EXPECT_EQ(card.ordersPage()->list()->currentItem()->text(1), QStringLiteral("102"));
    card.ordersPage()->EditOrder();

    SelectRow(card.ordersPage()->list(), QStringLiteral("101"), 1);
    prompter.Answer(false);
    card.ordersPage()->DeleteOrder();
    card.ordersPage()->DeleteOrder();
    EXPECT_EQ(prompter.questions, QStringList(2, QStringLiteral("Удалить заказ?")));
    EXPECT_EQ(calls, (QStringList{QStringLiteral("new for k1"), QStringLiteral("edit z2"),
                                  QStringLiteral("remove z1")}));
    // The order's payment stays stored but is no longer the client's.
    EXPECT_EQ(Footer(card), QStringLiteral("40.00/0.00/40.00"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);
}
