#include "AppContext.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "COrderFormDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "Commands.h"
#include "JournalKinds.h"
#include "MainFrame.h"
#include "ScreenServices.h"
#include "ScreenTest.h"
#include "Scripted.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <memory>

// The client card as the application wires it: its orders page reaches the real order form.
class ClientCardWiringTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        services = std::make_unique<ScreenServices>(*ctx);
        frame = std::make_unique<CMainFrame>(*ctx);
        RegisterJournalKinds(*frame, *ctx);
    }

    std::unique_ptr<ScreenServices> services;
    std::unique_ptr<CMainFrame> frame;
};
ZV_INSTANTIATE_DB_TESTS(ClientCardWiringTest);

TEST_P(ClientCardWiringTest, AddingAnOrderOnTheCardOpensTheFormForItsClientAndCar) {
    ClientRecord client;
    client.iddClient = QStringLiteral("k1");
    client.clientName = QStringLiteral("Ромашка");
    ClientStore(db()).Save(client);
    CarRecord car;
    car.iddAvto = QStringLiteral("c1");
    car.avtoNomer = QStringLiteral("А001АА");
    QList<CarOwner> owners{CarOwner{QString(), car.iddAvto, client.iddClient, false, {}, {}}};
    CarStore(db()).Save(car, owners, QStringLiteral("anna"));

    CClientDlg card(*ctx, client.iddClient);
    QString shownClient, shownPlate;
    dialogs.Then([&](QDialog &d) {
        shownClient = Child<QComboBox>(d, "client")->currentText();
        shownPlate = Child<QLineEdit>(d, "plate")->text();
        return int(QDialog::Rejected);
    });
    card.ordersPage()->AddOrder();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("COrderFormDlg")});
    EXPECT_EQ(shownClient, QStringLiteral("Ромашка"));
    EXPECT_EQ(shownPlate, QStringLiteral("А001АА"));
    EXPECT_TRUE(prompter.All().isEmpty()) << prompter.All().join(u'\n').toStdString();
}
