#include "OrderFormFixture.h"

// The car and client of the order form: the checks of OK that look them up, the pickers and the client card.
class OrderCarClientPartTest : public OrderFormDlgTest {};
ZV_INSTANTIATE_SCREEN_TESTS(OrderCarClientPartTest);

TEST_P(OrderCarClientPartTest, OkChecksPlateCarClientAndLinesInThatOrder) {
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
    AddCar(QStringLiteral("c3"), QStringLiteral("Е555ЕЕ"), QStringLiteral("k1"));
    prompter.Clear();
    dialogs.opened.clear();
    Child<QLineEdit>(form, "plate")->setText(QStringLiteral("е555ее"));
    QString text, heading;
    dialogs.Then(Answer(true, &text, &heading));
    form.accept();
    EXPECT_EQ(heading, QStringLiteral("Вопрос")) << text.toStdString();
    EXPECT_EQ(text, QStringLiteral(
                        "Услуга оказывается этому автомобилю:\nГос. №:Е555ЕЕ ВАЗ цвет:белый\nVIN:VIN-C3, "
                        "№ двиг.:D-C3"))
        << text.toStdString();
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
}

TEST_P(OrderCarClientPartTest, PickersFillCarAndClientAndAskBeforeReplacingOrForgetting) {
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

// "Добавить заказ" on the client card opens the form with the card's client chosen, and its car when it
// has only one; the clerk may still choose another car or client, and the order is stored as chosen.
TEST_P(OrderCarClientPartTest, ANewOrderFromTheClientCardStartsWithItsClientAndItsOnlyCar) {
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
    TestRows::Put(db(), TestRows::Client{.key = "k2", .name = "Орлов"});
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
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TZakaz WHERE IddVlad = 'k2'")), 1);
    EXPECT_EQ(dialogs.unscripted, 0);
}
