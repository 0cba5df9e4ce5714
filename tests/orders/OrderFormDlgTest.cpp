#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "COrderFormDlg.h"
#include "COrderFormQuestionDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDirDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "DynamicRecordset.h"
#include "KeyedList.h"
#include "OrderCarClientPart.h"
#include "OrderFixtures.h"
#include "OrderLinesPart.h"
#include "OrderMath.h"
#include "OrderPaymentsPart.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "Scripted.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <functional>

namespace {

double Total(const COrderFormDlg &form) {
    return OrderMath::Compute(form.order().lines).total;
}

void Select(QTreeWidget *list, QTreeWidgetItem *item) {
    list->setCurrentItem(item);
    item->setSelected(true);
}

// Ticks the named top-level rows of the services directory and closes it.
ScriptedDialogs::Step PickServices(QStringList names) {
    return [names](QDialog &d) {
        auto &dir = dynamic_cast<CServiceDirDlg &>(d);
        auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("services"));
        for (const QString &n : names) {
            QTreeWidgetItem *row = FindRow(list, n, 0);
            EXPECT_NE(row, nullptr) << n.toStdString();
            // The row with everything under it: a package's services, a service's performers.
            std::function<void(QTreeWidgetItem *)> tick = [&](QTreeWidgetItem *item) {
                item->setCheckState(0, Qt::Checked);
                for (int i = 0; i < item->childCount(); ++i) tick(item->child(i));
            };
            if (row) tick(row);
        }
        dir.accept();
        return dir.result();
    };
}

ScriptedDialogs::Step Answer(bool yes, QString *text = nullptr, QString *heading = nullptr) {
    return [=](QDialog &d) {
        auto &q = dynamic_cast<COrderFormQuestionDlg &>(d);
        if (text) *text = q.Text();
        if (heading) *heading = q.windowTitle();
        Child<QPushButton>(q, yes ? "yes" : "no")->click();
        return q.result();
    };
}

ScriptedDialogs::Step Pay(const QString &amount, double *debtShown = nullptr) {
    return [=](QDialog &d) {
        auto &p = dynamic_cast<COrderPaymentDlg &>(d);
        if (debtShown) *debtShown = p.DebtBefore();
        Child<QLineEdit>(p, "amount")->setText(amount);
        p.accept();
        return p.result();
    };
}

}  // namespace

class OrderFormDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ctx = std::make_unique<AppContext>(Context(QString(28, u'1')));
        for (auto [id, fio] : {std::pair{"w1", "Петров"}, std::pair{"w2", "Сидоров"}})
            Rows::Insert(db(), QStringLiteral("SWork"),
                         {{QStringLiteral("IddWork"), QString::fromUtf8(id)},
                          {QStringLiteral("WorkFIO"), QString::fromUtf8(fio)},
                          {QStringLiteral("WorkOut"), false},
                          {QStringLiteral("Delete"), false}});
        ServiceStore services(db());
        ServiceCard tyre;
        tyre.packageText = QStringLiteral("Шиномонтаж");
        tyre.name = QStringLiteral("Снятие");
        tyre.price = 100;
        tyre.prNds = 18;
        tyre.time = QTime(0, 30);
        tyre.performers = {{QString(), QStringLiteral("w1"), QStringLiteral("Петров"), false}};
        services.SaveCard(tyre, QStringLiteral("anna"));
        ServiceCard wash;
        wash.name = QStringLiteral("Мойка");
        wash.price = 300;
        wash.time = QTime(1, 0);
        wash.performers = {{QString(), QStringLiteral("w1"), QStringLiteral("Петров"), false}};
        services.SaveCard(wash, QStringLiteral("anna"));
        washKey = wash.iddService;

        ClientRecord client;
        client.iddClient = QStringLiteral("k1");
        client.clientName = QStringLiteral("Кузнецов");
        client.clientAdres = QStringLiteral("Лесная, 1");
        client.clientTel = QStringLiteral("111");
        ClientStore(db()).Save(client);
        CounterValues counters;
        counters.payNomer = 40;
        CounterStore(db()).WriteAll(counters);
    }

    AppContext Context(const QString &rights) {
        return AppContext(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, QString());
    }

    QString AddCar(const QString &id, const QString &plate, const QString &owner = {}) {
        CarRecord car;
        car.iddAvto = id;
        car.avtoNomer = plate;
        car.avtoMarka = QStringLiteral("ВАЗ");
        car.avtoColor = QStringLiteral("белый");
        car.avtoVin = QStringLiteral("VIN-") + id.toUpper();
        car.avtoDvig = QStringLiteral("D-") + id.toUpper();
        QList<CarOwner> owners;
        if (!owner.isEmpty()) owners << CarOwner{QString(), id, owner, false, {}, {}};
        CarStore(db()).Save(car, owners, QStringLiteral("anna"));
        return owners.isEmpty() ? QString() : owners[0].iddAvtoVlad;
    }

    // Fills the car and client of a new form and adds the wash.
    void Fill(COrderFormDlg &form, const QString &plate = QStringLiteral("а777аа")) {
        Child<QLineEdit>(form, "plate")->setText(plate);
        Child<QComboBox>(form, "client")->setEditText(QStringLiteral("Иванов"));
        dialogs.Then(PickServices({QStringLiteral("Мойка")}));
        form.lines()->AddLines();
    }

    bool Deleted(const QString &table, const QString &key, const QString &value) {
        CDynamicRecordset rs(db());
        rs.Open(QStringLiteral("SELECT [Delete] FROM %1 WHERE %2 = ?").arg(table, key), {value});
        EXPECT_FALSE(rs.IsEOF()) << value.toStdString();
        return rs.Bool(QStringLiteral("Delete"));
    }

    long PayCounter() { return CounterStore(db()).NextPayNumber() - 1; }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    QString washKey;
};
ZV_INSTANTIATE_DB_TESTS(OrderFormDlgTest);

// The ticks and pickers reach the order as stored; the rules behind them are the editor's.
TEST_P(OrderFormDlgTest, ANewRequestTakesItsTicksAndPickers) {
    const QDateTime prelim(QDate(2024, 6, 12), QTime(14, 0));
    const QDateTime accept(QDate(2024, 6, 10), QTime(9, 15));
    const QDateTime done(QDate(2024, 6, 10), QTime(11, 45));
    COrderFormDlg form(*ctx, OrderFormMode::Request);
    EXPECT_TRUE(Child<QLineEdit>(form, "number")->isReadOnly());
    EXPECT_TRUE(Child<QCheckBox>(form, "prelim")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(form, "accepted")->isChecked());
    EXPECT_FALSE(Child<QTimeEdit>(form, "acceptTime")->isEnabled());
    Child<QCheckBox>(form, "accepted")->setChecked(true);
    Child<QCheckBox>(form, "done")->setChecked(true);
    EXPECT_TRUE(Child<QTimeEdit>(form, "acceptTime")->isEnabled());
    EXPECT_TRUE(Child<QDateEdit>(form, "doneDate")->isEnabled());
    Fill(form);
    Child<QDateEdit>(form, "prelimDate")->setDate(prelim.date());
    Child<QTimeEdit>(form, "prelimTime")->setTime(prelim.time());
    Child<QDateEdit>(form, "acceptDate")->setDate(accept.date());
    Child<QTimeEdit>(form, "acceptTime")->setTime(accept.time());
    Child<QDateEdit>(form, "doneDate")->setDate(done.date());
    Child<QTimeEdit>(form, "doneTime")->setTime(done.time());
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted) << prompter.All().join(u'|').toStdString();

    const Order o = *OrderStore(db()).Load(form.order().IddZakaz);
    EXPECT_EQ(o.ZakazStatus, StatusFinished);
    EXPECT_EQ(o.ZakazBegin, prelim);
    EXPECT_EQ(o.ZakazBeginIn, accept);
    EXPECT_EQ(o.ZakazEndOut, done);
    EXPECT_EQ(o.car.AvtoNomer, QStringLiteral("А777АА"));
    EXPECT_FALSE(o.ZakazNomer.isEmpty());
    EXPECT_EQ(Child<QLineEdit>(form, "number")->text(), o.ZakazNomer);
    EXPECT_TRUE(prompter.All().isEmpty());
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_P(OrderFormDlgTest, OkChecksPlateCarClientAndLinesInThatOrder) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    form.accept();
    EXPECT_EQ(prompter.warnings,
              QStringList{QStringLiteral("Укажите автомобиль!\nЗаполните гос номер автомобиля!")});

    // Two cars with the plate: the cars directory must settle it.
    AddCar(QStringLiteral("c1"), QStringLiteral("В001ВВ"));
    AddCar(QStringLiteral("c2"), QStringLiteral("В001ВВ"));
    prompter.Clear();
    Child<QLineEdit>(form, "plate")->setText(QStringLiteral(" в001вв "));
    form.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral(
                                     "Существуют 2 автомобиля\nс гос. номером:В001ВВ.\nВыберите автомобиль в "
                                     "справочнике!")});
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CCarDirDlg")});

    // One car: asked about it; the client and the lines are checked next.
    const QString link = AddCar(QStringLiteral("c3"), QStringLiteral("Е555ЕЕ"), QStringLiteral("k1"));
    prompter.Clear();
    dialogs.opened.clear();
    Child<QLineEdit>(form, "plate")->setText(QStringLiteral("е555ее"));
    QString text, heading;
    dialogs.Then(Answer(true, &text, &heading));
    form.accept();
    EXPECT_EQ(heading, QStringLiteral("Вопрос")) << text.toStdString();
    EXPECT_EQ(text, QStringLiteral(
                        "Услуга оказывается этому автомобилю:\nГос. №:Е555ЕЕ ВАЗ цвет:БЕЛЫЙ\nVIN:VIN-C3, "
                        "№ двиг.:D-C3"));
    EXPECT_EQ(Child<QLineEdit>(form, "vin")->text(), QStringLiteral("VIN-C3"));
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите название клиента!")});

    prompter.Clear();
    dialogs.opened.clear();
    Child<QComboBox>(form, "client")->setEditText(QStringLiteral("  Кузнецов "));
    dialogs.Then(PickServices({}));
    form.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Добавьте предоставляемые услуги!")});
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CServiceDirDlg")});  // car taken: no question
    EXPECT_NE(form.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz")), 0);

    dialogs.Then(PickServices({QStringLiteral("Мойка")}));
    form.lines()->AddLines();
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.order().IddAvto, QStringLiteral("c3"));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SAvto")), 3);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SClient")), 2);  // the typed client is new
    EXPECT_EQ(
        CountRows(db(), QStringLiteral("SELECT * FROM AvtoVlad WHERE IddAvto = ?"), {QStringLiteral("c3")}),
        2);
    EXPECT_FALSE(link.isEmpty());
}

TEST_P(OrderFormDlgTest, PickersFillCarAndClientAndAskBeforeReplacingOrForgetting) {
    const QString link = AddCar(QStringLiteral("c1"), QStringLiteral("К001КК"), QStringLiteral("k1"));
    AddCar(QStringLiteral("c2"), QStringLiteral("М002ММ"), QStringLiteral("k1"));
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Child<QLineEdit>(form, "plate")->setText(QStringLiteral("к001кк"));
    dialogs.Then([&](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("c1"), link));
        dir.reject();
        return dir.result();
    });
    form.carClient()->PickCar();
    EXPECT_EQ(Child<QLineEdit>(form, "engine")->text(), QStringLiteral("D-C1"));
    EXPECT_EQ(Child<QComboBox>(form, "client")->currentText(), QStringLiteral("Кузнецов"));
    EXPECT_EQ(Child<QLineEdit>(form, "address")->text(), QStringLiteral("Лесная, 1"));

    // The client's other car: replaced only on "Да".
    for (bool yes : {false, true}) {
        dialogs.Then([&](QDialog &d) {
            auto &dir = dynamic_cast<CClientDirDlg &>(d);
            QTreeWidgetItem *carRow = nullptr;
            for (int c = 0; c < dir.list()->columnCount() && !carRow; ++c)
                carRow = FindRow(dir.list(), QStringLiteral("М002ММ"), c);
            EXPECT_NE(carRow, nullptr);
            if (carRow) Select(dir.list(), carRow);
            dir.reject();
            return dir.result();
        });
        QString heading;
        dialogs.Then(Answer(yes, nullptr, &heading));
        form.carClient()->PickClient();
        EXPECT_EQ(heading, QStringLiteral("Заменить сведения об авто?"));
        EXPECT_EQ(Child<QLineEdit>(form, "plate")->text(),
                  yes ? QStringLiteral("М002ММ") : QStringLiteral("К001КК"));
    }

    // Retyping the client's name asks once whether it is a new client; "Нет" keeps updating this one.
    QString heading;
    dialogs.Then(Answer(false, nullptr, &heading));
    Child<QComboBox>(form, "client")->setEditText(QStringLiteral("Кузнецов А."));
    form.carClient()->ClientTextEdited();
    form.carClient()->ClientTextEdited();
    EXPECT_EQ(heading, QStringLiteral("Новый клиент?"));
    EXPECT_EQ(dialogs.steps.size(), 0u);
    EXPECT_EQ(dialogs.unscripted, 0);
    dialogs.Then(PickServices({QStringLiteral("Мойка")}));
    form.lines()->AddLines();
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.order().IddVlad, QStringLiteral("k1"));
    EXPECT_EQ(ClientStore(db()).Load(QStringLiteral("k1"))->clientName, QStringLiteral("Кузнецов А."));

    // "Да" forgets the client: a new one is stored.
    COrderFormDlg second(*ctx, OrderFormMode::New);
    dialogs.Then([&](QDialog &d) {
        auto &dir = dynamic_cast<CClientDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("k1")));
        dir.reject();
        return dir.result();
    });
    second.carClient()->PickClient();
    dialogs.Then(Answer(true));
    Child<QComboBox>(second, "client")->setEditText(QStringLiteral("Смирнов"));
    second.carClient()->ClientTextEdited();
    Child<QLineEdit>(second, "plate")->setText(QStringLiteral("Х999ХХ"));
    dialogs.Then(PickServices({QStringLiteral("Мойка")}));
    second.lines()->AddLines();
    second.accept();
    ASSERT_EQ(second.result(), QDialog::Accepted);
    EXPECT_NE(second.order().IddVlad, QStringLiteral("k1"));
    EXPECT_EQ(ClientStore(db()).Load(second.order().IddVlad)->clientName, QStringLiteral("Смирнов"));
}

TEST_P(OrderFormDlgTest, LinesMergeDuplicatesIgnoreZeroQuantityAndDeletePackagesWhole) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Fill(form);
    dialogs.Then(PickServices({QStringLiteral("Шиномонтаж"), QStringLiteral("Мойка")}));
    form.lines()->AddLines();
    QTreeWidget *lines = form.lines()->list();
    ASSERT_EQ(lines->topLevelItemCount(), 2);  // the wash added twice is one line of two
    QTreeWidgetItem *wash = FindRow(lines, QStringLiteral("Мойка"), OrderLinesPart::ColName);
    QTreeWidgetItem *tyres = FindRow(lines, QStringLiteral("Шиномонтаж"), OrderLinesPart::ColName);
    ASSERT_TRUE(wash && tyres);
    ASSERT_EQ(tyres->childCount(), 1);
    EXPECT_EQ(tyres->child(0)->text(OrderLinesPart::ColName), QStringLiteral("Снятие"));
    EXPECT_EQ(wash->text(OrderLinesPart::ColCount), QStringLiteral("2"));
    EXPECT_EQ(wash->text(OrderLinesPart::ColTotal), QStringLiteral("600.00"));
    EXPECT_EQ(wash->text(OrderLinesPart::ColDuration), QStringLiteral("02:00"));
    EXPECT_EQ(wash->text(OrderLinesPart::ColWorkers), QStringLiteral("Петров"));
    EXPECT_EQ(tyres->child(0)->text(OrderLinesPart::ColVat), QStringLiteral("18.00"));
    EXPECT_EQ(Child<QLabel>(form, "total")->text(), QStringLiteral("718.00"));
    EXPECT_EQ(Child<QLabel>(form, "vat")->text(), QStringLiteral("18.00"));
    // Completion proposed from acceptance plus 2:30 of work.
    const QDateTime accepted(Child<QDateEdit>(form, "acceptDate")->date(),
                             Child<QTimeEdit>(form, "acceptTime")->time());
    const QDateTime proposed(Child<QDateEdit>(form, "doneDate")->date(),
                             Child<QTimeEdit>(form, "doneTime")->time());
    EXPECT_EQ(accepted.secsTo(proposed), 150 * 60);

    for (const char *typed : {"0", "-2", "много"}) {
        wash->setText(OrderLinesPart::ColCount, QString::fromUtf8(typed));
        EXPECT_EQ(wash->text(OrderLinesPart::ColCount), QStringLiteral("2")) << typed;
    }
    wash->setText(OrderLinesPart::ColCount, QStringLiteral("3"));
    EXPECT_EQ(wash->text(OrderLinesPart::ColTotal), QStringLiteral("900.00"));
    EXPECT_DOUBLE_EQ(Total(form), 1018.0);

    // Edit and Del want a row.
    form.lines()->EditLine();
    form.lines()->DeleteLine();
    EXPECT_EQ(prompter.warnings,
              QStringList({QStringLiteral("Выберите услугу или пакет услуг\nдля его изменения!"),
                           QStringLiteral("Выберите услугу или пакет услуг\nдля его удаления!")}));
    // The line is edited in the service card's order-line mode; the catalogue stays.
    Select(lines, tyres->child(0));
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CServiceDlg &>(d);
        EXPECT_EQ(card.findChild<QLineEdit *>(QStringLiteral("name"))->text(), QStringLiteral("Снятие"));
        card.findChild<QLineEdit *>(QStringLiteral("price"))->setText(QStringLiteral("150,5"));
        card.accept();
        return card.result();
    });
    form.lines()->EditLine();
    EXPECT_EQ(dialogs.opened.last(), QStringLiteral("CServiceDlg"));
    EXPECT_DOUBLE_EQ(Total(form), 900 + 150.5 * 1.18);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SService WHERE Price = ?"), {150.5}), 0);

    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    const QString id = form.order().IddZakaz;

    // Reopened: the package goes with its service on "Да" only; the wash stays.
    COrderFormDlg edit(*ctx, OrderFormMode::Edit, id);
    ASSERT_TRUE(edit.Loaded());
    Select(edit.lines()->list(),
           FindRow(edit.lines()->list(), QStringLiteral("Шиномонтаж"), OrderLinesPart::ColName));
    prompter.Clear();
    prompter.Answer(false);
    edit.lines()->DeleteLine();
    EXPECT_EQ(edit.lines()->list()->topLevelItemCount(), 2);
    Select(edit.lines()->list(),
           FindRow(edit.lines()->list(), QStringLiteral("Шиномонтаж"), OrderLinesPart::ColName));
    prompter.Answer(true);
    edit.lines()->DeleteLine();
    EXPECT_EQ(prompter.questions,
              QStringList(2, QStringLiteral("Удалить услугу (пакет услуг и все услуги в пакете)?")));
    ASSERT_EQ(edit.lines()->list()->topLevelItemCount(), 1);
    EXPECT_DOUBLE_EQ(Total(edit), 900.0);
    edit.accept();
    ASSERT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = ? AND [Delete] = ?"),
                        {id, true}),
              2);
    const QList<OrderLine> left = OrderStore(db()).LoadLines(id);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].IddService, washKey);
    EXPECT_DOUBLE_EQ(left[0].Count, 3.0);
}

TEST_P(OrderFormDlgTest, WorkersAreChosenAndRemovedInTheWorkersDirectory) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Fill(form);
    QTreeWidgetItem *wash = form.lines()->list()->topLevelItem(0);
    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CWorkerDirDlg &>(d);
        auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("list"));
        QTreeWidgetItem *petrov = FindRow(list, QStringLiteral("Петров"), 0);
        QTreeWidgetItem *sidorov = FindRow(list, QStringLiteral("Сидоров"), 0);
        EXPECT_TRUE(petrov && sidorov);
        if (!petrov || !sidorov) return int(QDialog::Rejected);
        EXPECT_EQ(petrov->checkState(0), Qt::Checked);  // the line's worker comes ticked
        petrov->setCheckState(0, Qt::Unchecked);
        sidorov->setCheckState(0, Qt::Checked);
        dir.accept();
        return dir.result();
    });
    form.lines()->ChooseWorkers(wash);
    EXPECT_EQ(wash->text(OrderLinesPart::ColWorkers), QStringLiteral("Сидоров"));
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    const QString id = form.order().IddZakaz;
    EXPECT_TRUE(Deleted(QStringLiteral("TWork"), QStringLiteral("IddWork"), QStringLiteral("w1")));
    EXPECT_FALSE(Deleted(QStringLiteral("TWork"), QStringLiteral("IddWork"), QStringLiteral("w2")));

    // Picking the removed worker again brings the same row back.
    COrderFormDlg edit(*ctx, OrderFormMode::Edit, id);
    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CWorkerDirDlg &>(d);
        auto *list = dir.findChild<QTreeWidget *>(QStringLiteral("list"));
        FindRow(list, QStringLiteral("Петров"), 0)->setCheckState(0, Qt::Checked);
        dir.accept();
        return dir.result();
    });
    edit.lines()->ChooseWorkers(edit.lines()->list()->topLevelItem(0));
    EXPECT_EQ(edit.lines()->list()->topLevelItem(0)->text(OrderLinesPart::ColWorkers),
              QStringLiteral("Сидоров Петров"));
    edit.accept();
    ASSERT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_FALSE(Deleted(QStringLiteral("TWork"), QStringLiteral("IddWork"), QStringLiteral("w1")));
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWork WHERE IddZakaz = ?"), {id}), 2);
}

TEST_P(OrderFormDlgTest, PaymentsAreNumberedWithTheOrderAndCancelTakesNoNumber) {
    {
        COrderFormDlg form(*ctx, OrderFormMode::New);
        Fill(form);
        double debtShown = 0;
        dialogs.Then(Pay(QStringLiteral("100"), &debtShown));
        form.payments()->AddPayment();
        EXPECT_DOUBLE_EQ(debtShown, 300.0);
        EXPECT_EQ(form.payments()->list()->topLevelItemCount(), 1);
        EXPECT_EQ(form.payments()->list()->topLevelItem(0)->text(OrderPaymentsPart::ColNumber),
                  QStringLiteral("41"));
        form.reject();
    }
    EXPECT_EQ(PayCounter(), 40);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 0);

    COrderFormDlg form(*ctx, OrderFormMode::New);
    Fill(form);
    dialogs.Then(Pay(QStringLiteral("100")));
    form.payments()->AddPayment();
    dialogs.Then(Pay(QStringLiteral("50,5")));
    form.payments()->AddPayment();
    EXPECT_EQ(Child<QLabel>(form, "paid")->text(), QStringLiteral("150.50"));
    EXPECT_EQ(Child<QLabel>(form, "debt")->text(), QStringLiteral("149.50"));

    // Without a selection edit and delete say so; the delete asks first.
    form.payments()->EditPayment();
    form.payments()->DeletePayment();
    EXPECT_EQ(prompter.warnings,
              QStringList({QStringLiteral("Выберите платеж в списке, для его изменения!"),
                           QStringLiteral("Выберите платеж в списке, для его удаления!")}));
    QTreeWidgetItem *hundred =
        FindRow(form.payments()->list(), QStringLiteral("100.00"), OrderPaymentsPart::ColAmount);
    ASSERT_NE(hundred, nullptr);
    Select(form.payments()->list(), hundred);
    double debtShown = 0;
    dialogs.Then(Pay(QStringLiteral("120"), &debtShown));
    form.payments()->EditPayment();
    EXPECT_DOUBLE_EQ(debtShown, 249.5);  // the debt before this payment
    EXPECT_EQ(Child<QLabel>(form, "debt")->text(), QStringLiteral("129.50"));
    Select(form.payments()->list(),
           FindRow(form.payments()->list(), QStringLiteral("50.50"), OrderPaymentsPart::ColAmount));
    prompter.Answer(true);
    form.payments()->DeletePayment();
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить выбранный платеж?")});
    EXPECT_EQ(form.payments()->list()->topLevelItemCount(), 1);
    EXPECT_EQ(Child<QLabel>(form, "paid")->text(), QStringLiteral("120.00"));

    EXPECT_EQ(PayCounter(), 40);  // still only proposed
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(PayCounter(), 41);
    const QList<PayRecord> stored = PaymentStore(db()).LoadOrderPayments(form.order().IddZakaz);
    ASSERT_EQ(stored.size(), 1);  // the one deleted before saving never reached the table
    EXPECT_EQ(stored[0].NomerPay, QStringLiteral("41"));
    EXPECT_DOUBLE_EQ(stored[0].SummaPay, 120.0);
    EXPECT_EQ(stored[0].TypePay, OrderPayment);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);
}

TEST_P(OrderFormDlgTest, EditingAndDeletingAPaymentNeedRightsFiveAndSix) {
    COrderFormDlg seed(*ctx, OrderFormMode::New);
    Fill(seed);
    dialogs.Then(Pay(QStringLiteral("100")));
    seed.payments()->AddPayment();
    seed.accept();
    ASSERT_EQ(seed.result(), QDialog::Accepted);

    for (int missing : {5, 6}) {
        QString rights(28, u'1');
        rights[missing] = u'0';
        AppContext limited = Context(rights);
        COrderFormDlg form(limited, OrderFormMode::Edit, seed.order().IddZakaz);
        Select(form.payments()->list(), form.payments()->list()->topLevelItem(0));
        prompter.Clear();
        dialogs.opened.clear();
        (missing == 5 ? form.payments()->EditPayment() : form.payments()->DeletePayment());
        EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal}) << missing;
        EXPECT_TRUE(prompter.questions.isEmpty());
        EXPECT_TRUE(dialogs.opened.isEmpty());
        EXPECT_EQ(form.payments()->list()->topLevelItemCount(), 1);
    }
    COrderFormDlg form(*ctx, OrderFormMode::Edit, seed.order().IddZakaz);
    // The menus carry the form's own words and run the buttons' commands.
    QStringList texts;
    for (KeyedList *list : {form.lines()->list(), form.payments()->list()})
        for (QAction *a : list->ContextMenu()->actions()) texts << a->text();
    EXPECT_EQ(texts, QStringList({QStringLiteral("Добавить услугу"), QStringLiteral("Изменить услугу"),
                                  QStringLiteral("Удалить услугу"), QStringLiteral("Добавить платеж"),
                                  QStringLiteral("Изменить платеж"), QStringLiteral("Удалить платеж")}));
    prompter.Clear();
    dialogs.opened.clear();
    form.lines()->list()->clearSelection();
    form.payments()->list()->clearSelection();
    Child<QAction>(*form.lines()->list()->ContextMenu(), "menuEdit")->trigger();
    Child<QAction>(*form.payments()->list()->ContextMenu(), "menuDelete")->trigger();
    EXPECT_EQ(prompter.warnings,
              QStringList({QStringLiteral("Выберите услугу или пакет услуг\nдля его изменения!"),
                           QStringLiteral("Выберите платеж в списке, для его удаления!")}));
    // Double-click or Enter on a line chooses its workers; Delete on it asks to remove it.
    ASSERT_EQ(form.lines()->list()->topLevelItemCount(), 1);
    emit form.lines()->list()->itemDoubleClicked(form.lines()->list()->topLevelItem(0),
                                                 OrderLinesPart::ColName);
    Select(form.lines()->list(), form.lines()->list()->topLevelItem(0));
    Press(form.lines()->list(), Qt::Key_Return);
    EXPECT_EQ(dialogs.opened, QStringList(2, QStringLiteral("CWorkerDirDlg")));
    prompter.Answer(false);
    Press(form.lines()->list(), Qt::Key_Delete);
    EXPECT_EQ(prompter.questions,
              QStringList{QStringLiteral("Удалить услугу (пакет услуг и все услуги в пакете)?")});
}

TEST_P(OrderFormDlgTest, EditingKeepsStoredMomentsUnlessTheirPickersAreChanged) {
    // A request that was accepted and finished later: three different moments, with seconds.
    Order o = Fixture::NewOrder();
    o.lines << Fixture::Service(QStringLiteral("s1"), QStringLiteral("Мойка"), 1, 300, 0);
    o.ZakazStatus = StatusFinished;
    o.ZakazBegin = QDateTime(QDate(2024, 6, 12), QTime(14, 0, 17));
    o.ZakazBeginIn = QDateTime(QDate(2024, 6, 10), QTime(9, 15, 42));
    o.ZakazEndOut = QDateTime(QDate(2024, 6, 10), QTime(18, 5, 9));
    OrderStore(db()).Save(o, QStringLiteral("anna"));
    const Order before = *OrderStore(db()).Load(o.IddZakaz);
    {
        COrderFormDlg form(*ctx, OrderFormMode::Edit, o.IddZakaz);
        EXPECT_EQ(Child<QLineEdit>(form, "number")->text(), before.ZakazNomer);
        EXPECT_TRUE(Child<QCheckBox>(form, "done")->isChecked());
        EXPECT_FALSE(Child<QCheckBox>(form, "prelim")->isChecked());
        EXPECT_EQ(Child<QDateEdit>(form, "prelimDate")->date(), QDate(2024, 6, 12));
        EXPECT_EQ(Child<QTimeEdit>(form, "doneTime")->time().hour(), 18);
        // Ticking in edit mode leaves the pickers as they were.
        Child<QCheckBox>(form, "prelim")->setChecked(true);
        Child<QCheckBox>(form, "prelim")->setChecked(false);
        EXPECT_FALSE(Child<QDateEdit>(form, "prelimDate")->isEnabled());
        dialogs.Then(PickServices({QStringLiteral("Шиномонтаж")}));
        form.lines()->AddLines();
        form.accept();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
    Order after = *OrderStore(db()).Load(o.IddZakaz);
    EXPECT_EQ(after.ZakazBegin, before.ZakazBegin);
    EXPECT_EQ(after.ZakazBeginIn, before.ZakazBeginIn);
    EXPECT_EQ(after.ZakazEndOut, before.ZakazEndOut);
    EXPECT_EQ(after.ZakazNomer, before.ZakazNomer);

    // Only the acceptance time changed: the new start is stored, the rest stays.
    {
        COrderFormDlg form(*ctx, OrderFormMode::Edit, o.IddZakaz);
        Child<QTimeEdit>(form, "acceptTime")->setTime(QTime(8, 30));
        form.accept();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
    after = *OrderStore(db()).Load(o.IddZakaz);
    EXPECT_EQ(after.ZakazBeginIn, QDateTime(QDate(2024, 6, 10), QTime(8, 30)));
    EXPECT_EQ(after.ZakazEndOut, before.ZakazEndOut);
    EXPECT_EQ(after.ZakazStatus, StatusFinished);
}

TEST_P(OrderFormDlgTest, RunOrderFormReportsTheSavedKey) {
    QString id;
    dialogs.Then([&](QDialog &d) {
        auto &form = dynamic_cast<COrderFormDlg &>(d);
        Fill(form);
        form.accept();
        return form.result();
    });
    EXPECT_TRUE(RunOrderForm(*ctx, OrderFormMode::New, id));
    EXPECT_FALSE(id.isEmpty());
    EXPECT_EQ(OrderStore(db()).Status(id), StatusStarted);

    QString edited = id;
    EXPECT_FALSE(RunOrderForm(*ctx, OrderFormMode::Edit, edited));  // unscripted: cancelled
    EXPECT_EQ(edited, id);
    QString missing = QStringLiteral("no-such-order");
    prompter.Clear();
    EXPECT_FALSE(RunOrderForm(*ctx, OrderFormMode::Edit, missing));
    EXPECT_EQ(prompter.warnings.size(), 1);
}

// "Добавить заказ" on the client card opens the form with the card's client chosen, and its car when it
// has only one; the clerk may still choose another car or client, and the order is stored as chosen.
TEST_P(OrderFormDlgTest, ANewOrderFromTheClientCardStartsWithItsClientAndItsOnlyCar) {
    AddCar(QStringLiteral("c1"), QStringLiteral("К001КК"), QStringLiteral("k1"));
    CClientDlg card(*ctx, QStringLiteral("k1"));
    // Wired as the application wires the card.
    ScriptedOrderForms forms;
    forms.open = [&](OrderFormMode mode, const QString &client, QString &key) {
        return RunOrderForm(*ctx, mode, key, &card, client);
    };
    ctx->SetOrderForms(&forms);
    auto save = [&](const std::function<void(COrderFormDlg &)> &change = {}) {
        dialogs.Then([=, this](QDialog &d) {
            auto &form = dynamic_cast<COrderFormDlg &>(d);
            if (change) change(form);
            dialogs.Then(PickServices({QStringLiteral("Мойка")}));
            form.lines()->AddLines();
            form.accept();
            return form.result();
        });
        card.ordersPage()->AddOrder();
        const QString key = card.ordersPage()->list()->CurrentKey();
        return key.isEmpty() ? std::optional<Order>() : OrderStore(db()).Load(key);
    };

    const auto only = save([](COrderFormDlg &form) {
        EXPECT_EQ(Child<QComboBox>(form, "client")->currentText(), QStringLiteral("Кузнецов"));
        EXPECT_EQ(Child<QLineEdit>(form, "phone")->text(), QStringLiteral("111"));
        EXPECT_EQ(Child<QLineEdit>(form, "plate")->text(), QStringLiteral("К001КК"));
        EXPECT_EQ(Child<QLineEdit>(form, "engine")->text(), QStringLiteral("D-C1"));
    });
    ASSERT_TRUE(only.has_value()) << prompter.All().join(u'\n').toStdString();
    EXPECT_EQ(only->IddVlad, QStringLiteral("k1"));
    EXPECT_EQ(only->IddAvto, QStringLiteral("c1"));
    EXPECT_EQ(card.ordersPage()->list()->topLevelItemCount(), 1);

    // Two cars: which one came in is the clerk's to say; picking it keeps the client.
    const QString link = AddCar(QStringLiteral("c2"), QStringLiteral("М002ММ"), QStringLiteral("k1"));
    const auto picked = save([&](COrderFormDlg &form) {
        EXPECT_EQ(Child<QComboBox>(form, "client")->currentText(), QStringLiteral("Кузнецов"));
        EXPECT_TRUE(Child<QLineEdit>(form, "plate")->text().isEmpty());
        dialogs.Then([&](QDialog &d) {
            auto &dir = dynamic_cast<CCarDirDlg &>(d);
            EXPECT_TRUE(dir.Select(QStringLiteral("c2"), link));
            dir.reject();
            return dir.result();
        });
        form.carClient()->PickCar();
    });
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->IddVlad, QStringLiteral("k1"));
    EXPECT_EQ(picked->IddAvto, QStringLiteral("c2"));

    // Another client chosen in the form: the order is that client's and leaves the card's list alone.
    ClientRecord other;
    other.iddClient = QStringLiteral("k2");
    other.clientName = QStringLiteral("Орлов");
    ClientStore(db()).Save(other);
    const int before = card.ordersPage()->list()->topLevelItemCount();
    save([&](COrderFormDlg &form) {
        Child<QComboBox>(form, "client")->setEditText(QStringLiteral("Орлов"));  // what the directory finds
        dialogs.Then([&](QDialog &d) {
            auto &dir = dynamic_cast<CClientDirDlg &>(d);
            EXPECT_TRUE(dir.Select(QStringLiteral("k2")));
            dir.reject();
            return dir.result();
        });
        form.carClient()->PickClient();
        Child<QLineEdit>(form, "plate")->setText(QStringLiteral("Х999ХХ"));
    });
    EXPECT_EQ(card.ordersPage()->list()->topLevelItemCount(), before);
    CDynamicRecordset rs(db());
    rs.Open(QStringLiteral("SELECT TZakaz.IddZakaz FROM TZakaz WHERE TZakaz.IddVlad = ?"),
            {QStringLiteral("k2")});
    EXPECT_FALSE(rs.IsEOF());
    EXPECT_EQ(dialogs.unscripted, 0);
}
