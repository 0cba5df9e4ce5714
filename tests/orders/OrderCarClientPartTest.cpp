#include "OrderFormFixture.h"

#include <QCompleter>

// The car and client of the order form: the checks of OK that look them up, the pickers and the client card.
class OrderCarClientPartTest : public OrderFormDlgTest {};
ZV_INSTANTIATE_SCREEN_TESTS(OrderCarClientPartTest);

TEST_P(OrderCarClientPartTest, OkChecksPlateCarClientAndLinesInThatOrder) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    form.accept();
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите автомобиль!\nЗаполните гос номер автомобиля!"_s});

    // Two cars with the plate: the cars directory must settle it.
    AddCar(u"c1"_s, u"В001ВВ"_s);
    AddCar(u"c2"_s, u"В001ВВ"_s);
    prompter.Clear();
    Child<QLineEdit>(form, "plate")->setText(u" в001вв "_s);
    form.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral(
                                     "Существуют 2 автомобиля\nс гос. номером:В001ВВ.\nВыберите автомобиль в "
                                     "справочнике!")});
    EXPECT_EQ(dialogs.opened, QStringList{u"CCarDirDlg"_s});

    // One car: asked about it; taken, it brings its owner, and the lines are checked next.
    AddCar(u"c3"_s, u"Е555ЕЕ"_s, u"k1"_s);
    prompter.Clear();
    dialogs.opened.clear();
    Child<QLineEdit>(form, "plate")->setText(u"е555ее"_s);
    QString text, heading;
    dialogs.Then(Answer(true, &text, &heading));
    dialogs.Then(PickServices({}));
    form.accept();
    EXPECT_EQ(heading, u"Вопрос"_s) << text.toStdString();
    EXPECT_EQ(text, QStringLiteral(
                        "Услуга оказывается этому автомобилю:\nГос. №:Е555ЕЕ ВАЗ цвет:белый\nVIN:VIN-C3, "
                        "№ двиг.:D-C3"))
        << text.toStdString();
    EXPECT_EQ(prompter.warnings, QStringList{u"Добавьте предоставляемые услуги!"_s});
    EXPECT_EQ(CarClient(form), u"Кузнецов|111|Е555ЕЕ|D-C3"_s);

    prompter.Clear();
    dialogs.opened.clear();
    Child<QComboBox>(form, "client")->setEditText(QString());
    form.accept();
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите название клиента!"_s});
    EXPECT_TRUE(dialogs.opened.isEmpty());  // car taken: no question
}

TEST_P(OrderCarClientPartTest, PickersFillCarAndClientAndAskBeforeReplacingOrForgetting) {
    const QString link = AddCar(u"c1"_s, u"К001КК"_s, u"k1"_s), other = AddCar(u"c2"_s, u"М002ММ"_s, u"k1"_s);
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Child<QLineEdit>(form, "plate")->setText(u"к001кк"_s);
    dialogs.Then(Choose<CCarDirDlg>(u"c1"_s, link));
    form.carClient()->PickCar();
    EXPECT_EQ(CarClient(form), u"Кузнецов|111|К001КК|D-C1"_s);

    // The client's other car: replaced only on "Да".
    for (bool yes : {false, true}) {
        dialogs.Then(Choose<CClientDirDlg>(u"k1"_s, other));
        QString heading;
        dialogs.Then(Answer(yes, nullptr, &heading));
        form.carClient()->PickClient();
        EXPECT_EQ(heading, u"Заменить сведения об авто?"_s);
        EXPECT_EQ(Child<QLineEdit>(form, "plate")->text(), yes ? u"М002ММ"_s : u"К001КК"_s);
    }

    // Retyping the client's name asks once whether it is a new client; "Нет" keeps updating this one.
    QString heading;
    dialogs.Then(Answer(false, nullptr, &heading));
    Child<QComboBox>(form, "client")->setEditText(u"Кузнецов А."_s);
    form.carClient()->ClientTextEdited();
    form.carClient()->ClientTextEdited();
    EXPECT_EQ(heading, u"Новый клиент?"_s);
    EXPECT_EQ(dialogs.unscripted, 0);
    AddWash(form);
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.order().IddVlad, u"k1"_s);
    EXPECT_EQ(ClientStore(db()).Load(u"k1"_s)->clientName, u"Кузнецов А."_s);
}

// A new order for a client (as the client card opens it) starts with that client chosen, and its car when it
// has only one; with two cars which one came in is the clerk's to say.
TEST_P(OrderCarClientPartTest, ANewOrderForAClientStartsWithItsClientAndItsOnlyCar) {
    AddCar(u"c1"_s, u"К001КК"_s, u"k1"_s);
    const auto open = [&](const QString &shown, bool save) {
        dialogs.Then([=, this](QDialog &d) {
            auto &form = dynamic_cast<COrderFormDlg &>(d);
            EXPECT_EQ(CarClient(form), shown);
            if (save) AddWash(form), form.accept();
            return save ? form.result() : int(QDialog::Rejected);
        });
        QString key;
        return RunOrderForm(*ctx, OrderFormMode::New, key, nullptr, u"k1"_s) ? key : QString();
    };
    const std::optional<Order> only = OrderStore(db()).Load(open(u"Кузнецов|111|К001КК|D-C1"_s, true));
    ASSERT_TRUE(only.has_value()) << prompter.All().join(u'\n').toStdString();
    EXPECT_EQ(only->IddVlad + u'|' + only->IddAvto, u"k1|c1"_s);
    AddCar(u"c2"_s, u"М002ММ"_s, u"k1"_s);
    open(u"Кузнецов|111||"_s, false);
    EXPECT_EQ(dialogs.unscripted, 0);
}

// The stored plates and names beginning with what is typed are offered: a plate chosen brings its car and
// its owner, a name chosen that client. A name typed as one stored client's is that client (its telephone
// kept), a new name a new client, and a name two clients share is picked in the directory.
TEST_P(OrderCarClientPartTest, KnownPlatesAndNamesAreOfferedAndNeverStoredTwice) {
    AddCar(u"c1"_s, u"К001КК"_s, u"k1"_s);
    for (const char *key : {"k2", "k3"}) TestRows::Put(db(), TestRows::Client{.key = key, .name = "Петров"});
    COrderFormDlg form(*ctx, OrderFormMode::New);
    QCompleter *plates = form.carClient()->plateCompleter(), *names = form.carClient()->clientCompleter();
    Type(Child<QLineEdit>(form, "plate"), u"к0"_s);
    ASSERT_EQ(plates->completionModel()->rowCount(), 1);
    emit plates->activated(plates->completionModel()->index(0, 0).data().toString());
    EXPECT_EQ(CarClient(form), u"Кузнецов|111|К001КК|D-C1"_s);
    Child<QComboBox>(form, "client")->setEditText(QString());
    dialogs.Then(Answer(true));  // "Новый клиент?"
    Type(Child<QComboBox>(form, "client")->lineEdit(), u"П"_s);
    ASSERT_EQ(names->completionModel()->rowCount(), 2);
    emit names->activated(names->completionModel()->index(1, 0));
    AddWash(form);
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted) << prompter.All().join(u'|').toStdString();
    EXPECT_EQ(form.order().IddVlad, u"k3"_s);

    // The name typed, the client the order takes (a stored one, a new one "", none: refused) and the clients
    // stored after it.
    const std::tuple<QString, const char *, int> cases[] = {
        {" Кузнецов ", "k1", 3}, {"Новиков", "", 4}, {"Петров", nullptr, 4}};
    for (const auto &[name, key, clients] : cases) {
        SCOPED_TRACE(name.toStdString());
        COrderFormDlg typed(*ctx, OrderFormMode::New);
        Fill(typed, name.trimmed().left(2) + u"777"_s);
        Child<QComboBox>(typed, "client")->setEditText(name);
        dialogs.opened.clear();
        typed.accept();
        EXPECT_EQ(typed.result() == QDialog::Accepted, key != nullptr);
        EXPECT_EQ(CountRows(db(), u"SELECT * FROM SClient"_s), clients);
        EXPECT_EQ(dialogs.opened, key ? QStringList() : QStringList{u"CClientDirDlg"_s});
        EXPECT_EQ(key && *key ? typed.order().IddVlad : QString(), QString::fromLatin1(key));
    }
    EXPECT_EQ(ClientStore(db()).Load(u"k1"_s)->clientTel, u"111"_s);
}
