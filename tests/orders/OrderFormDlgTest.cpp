#include "OrderFormFixture.h"

ZV_INSTANTIATE_SCREEN_TESTS(OrderFormDlgTest);

// The ticks and pickers reach the order as stored; moments stored to the second stay so unless their pickers
// are changed. The rules behind them are the editor's.
TEST_P(OrderFormDlgTest, TicksAndPickersReachTheStoredOrder) {
    QString key;
    {
        COrderFormDlg form(*ctx, OrderFormMode::Request);
        EXPECT_TRUE(Child<QCheckBox>(form, "prelim")->isChecked() &&
                    !Child<QDateTimeEdit>(form, "acceptAt")->isEnabled());
        Child<QCheckBox>(form, "accepted")->setChecked(true);
        Child<QCheckBox>(form, "done")->setChecked(true);
        EXPECT_TRUE(Child<QDateTimeEdit>(form, "doneAt")->isEnabled());
        Fill(form);
        Child<QDateTimeEdit>(form, "prelimAt")->setDateTime(QDateTime(QDate(2024, 6, 12), QTime(14, 0)));
        Child<QDateTimeEdit>(form, "acceptAt")->setDateTime(QDateTime(QDate(2024, 6, 10), QTime(9, 15)));
        Child<QDateTimeEdit>(form, "doneAt")->setDateTime(QDateTime(QDate(2024, 6, 10), QTime(11, 45)));
        form.accept();
        ASSERT_EQ(form.result(), QDialog::Accepted) << prompter.All().join(u'|').toStdString();
        key = form.order().IddZakaz;
        EXPECT_EQ(Child<QLineEdit>(form, "number")->text(), u"1"_s);
    }
    EXPECT_EQ(Head(*OrderStore(db()).Load(key)).section(u'|', 0, 5),
              u"1|2|%1|12.06.24 14:00:00|10.06.24 09:15:00|10.06.24 11:45:00"_s.arg(
                  QDate::currentDate().toString(u"dd.MM.yy 00:00:00"_s)));

    db().Exec(
        u"UPDATE TZakaz SET ZakazBegin = ?, ZakazBeginIn = ?, ZakazEndOut = ? WHERE IddZakaz = ?"_s,
        {QDateTime(QDate(2024, 6, 12), QTime(14, 0, 17)), QDateTime(QDate(2024, 6, 10), QTime(9, 15, 42)),
         QDateTime(QDate(2024, 6, 10), QTime(18, 5, 9)), key});
    const Order before = *OrderStore(db()).Load(key);
    {
        COrderFormDlg form(*ctx, OrderFormMode::Edit, key);
        EXPECT_EQ(Child<QDateTimeEdit>(form, "doneAt")->time().toString(u"HH:mm"_s), u"18:05"_s);
        // Ticking in edit mode leaves the pickers as they were; new lines do not move a stored completion.
        Child<QCheckBox>(form, "prelim")->setChecked(true);
        Child<QCheckBox>(form, "prelim")->setChecked(false);
        EXPECT_FALSE(Child<QDateTimeEdit>(form, "prelimAt")->isEnabled());
        dialogs.Then(PickServices({u"Шиномонтаж"_s}));
        form.lines()->AddLines();
        form.accept();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(Head(*OrderStore(db()).Load(key)), Head(before));

    // Only the acceptance time changed: the new start (the appointment with it) is stored, the rest stays.
    {
        COrderFormDlg form(*ctx, OrderFormMode::Edit, key);
        Child<QDateTimeEdit>(form, "acceptAt")->setTime(QTime(8, 30));
        form.accept();
        ASSERT_EQ(form.result(), QDialog::Accepted);
    }
    EXPECT_EQ(Head(*OrderStore(db()).Load(key)),
              Head(before).replace(u"12.06.24 14:00:17|10.06.24 09:15:42"_s,
                                   u"10.06.24 08:30:00|10.06.24 08:30:00"_s));
}

// What the lines list shows is the editor's; the form puts back a quantity it refuses, edits a line in the
// service card and asks before deleting.
TEST_P(OrderFormDlgTest, LinesAreShownEditedAndDeletedOnTheForm) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Fill(form);
    dialogs.Then(PickServices({u"Шиномонтаж"_s, u"Мойка"_s}));
    form.lines()->AddLines();
    QTreeWidget *lines = form.lines()->list();
    using P = OrderLinesPart;
    QTreeWidgetItem *wash = FindRow(lines, u"Мойка"_s, P::ColName);
    QTreeWidgetItem *tyres = FindRow(lines, u"Шиномонтаж"_s, P::ColName);
    ASSERT_TRUE(wash && tyres && tyres->childCount() == 1);
    EXPECT_EQ(QStringList({wash->text(P::ColCount), wash->text(P::ColTotal), wash->text(P::ColDuration),
                           wash->text(P::ColWorkers), tyres->child(0)->text(P::ColName),
                           Child<QLabel>(form, "total")->text(), Child<QLabel>(form, "vat")->text()})
                  .join(u'|'),
              u"2|600.00|02:00|Петров|Снятие|718.00|18.00"_s);
    wash->setText(P::ColCount, u"много"_s);
    EXPECT_EQ(wash->text(P::ColCount), u"2"_s);
    wash->setText(P::ColCount, u"3"_s);
    EXPECT_EQ(wash->text(P::ColTotal), u"900.00"_s);

    // The line is edited in the service card's order-line mode; the catalogue stays.
    SelectRow(lines, u"Снятие"_s, P::ColName);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CServiceDlg &>(d);
        EXPECT_EQ(card.findChild<QLineEdit *>(u"name"_s)->text(), u"Снятие"_s);
        card.findChild<QLineEdit *>(u"price"_s)->setText(u"150,5"_s);
        return card.accept(), card.result();
    });
    form.lines()->EditLine();
    EXPECT_EQ(Child<QLabel>(form, "total")->text(), u"1077.59"_s);  // 150.50 with 18 % VAT (27.09)
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SService WHERE Price = ?"_s, {150.5}), 0);

    // The package goes with its service on "Да"; the wash stays.
    prompter.Clear();
    SelectRow(lines, u"Шиномонтаж"_s, P::ColName);
    prompter.Answer(true);
    form.lines()->DeleteLine();
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить услугу (пакет услуг и все услуги в пакете)?"_s});
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Text(OrderStore(db()).Load(form.order().IddZakaz)->lines),
              washKey + u" Мойка 3x300.00 01:00 {w1}"_s);
}

// Payments are proposed a number and take it only when the order is saved; editing and deleting one need
// rights 5 and 6, and the lists' keys and menus run the buttons' commands.
TEST_P(OrderFormDlgTest, PaymentsAreNumberedWithTheOrderAndNeedTheirRights) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    Fill(form);
    QTreeWidget *pays = form.payments()->list();
    Money debtShown;
    dialogs.Then(Pay(u"100"_s, &debtShown));
    dialogs.Then(Pay(u"50,5"_s));
    form.payments()->AddPayment();
    form.payments()->AddPayment();
    EXPECT_EQ(debtShown, Rub(300.0));
    EXPECT_EQ(RowTexts(pays, OrderPaymentsPart::ColNumber + 1).value(0).section(u'/', -1), u"41"_s);
    const auto paidAndDebt = [&] {
        return Child<QLabel>(form, "paid")->text() + u'|' + Child<QLabel>(form, "debt")->text();
    };
    EXPECT_EQ(paidAndDebt(), u"150.50|149.50"_s);
    SelectRow(pays, u"100.00"_s, OrderPaymentsPart::ColAmount);
    dialogs.Then(Pay(u"120"_s, &debtShown));
    form.payments()->EditPayment();
    EXPECT_EQ(debtShown, Rub(249.5));  // the debt before this payment
    EXPECT_EQ(paidAndDebt(), u"170.50|129.50"_s);
    SelectRow(pays, u"50.50"_s, OrderPaymentsPart::ColAmount);
    prompter.Answer(true);
    form.payments()->DeletePayment();
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить выбранный платеж?"_s});
    EXPECT_EQ(paidAndDebt(), u"120.00|180.00"_s);
    EXPECT_EQ(PayCounter(), 40);  // still only proposed
    form.accept();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(PayCounter(), 41);
    const QList<PayRecord> stored = PaymentStore(db()).LoadOrderPayments(form.order().IddZakaz);
    ASSERT_EQ(stored.size(), 1);  // the one deleted before saving never reached the table
    EXPECT_EQ(u"%1|%2|%3"_s.arg(stored[0].NomerPay, stored[0].SummaPay.Text()).arg(stored[0].TypePay),
              u"41|120.00|%1"_s.arg(OrderPayment));

    // Without a selection the menus' commands say so.
    COrderFormDlg edit(*ctx, OrderFormMode::Edit, form.order().IddZakaz);
    prompter.Clear();
    edit.lines()->list()->clearSelection();
    Child<QAction>(*edit.lines()->list()->ContextMenu(), "menuEdit")->trigger();
    EXPECT_EQ(prompter.warnings, QStringList({u"Выберите услугу или пакет услуг\nдля его изменения!"_s}));
}

// A new order's key comes back from the form (see the client card's tests); an edit cancelled keeps the key,
// an order that is gone is reported.
TEST_P(OrderFormDlgTest, RunOrderFormReportsTheKeyOnlyWhenSaved) {
    QString edited = u"k"_s, missing = u"no-such-order"_s;
    TestRows::Put(db(), TestRows::Order{.key = "k", .date = QDateTime(QDate(2024, 6, 3), QTime(0, 0))});
    EXPECT_FALSE(RunOrderForm(*ctx, OrderFormMode::Edit, edited));  // unscripted: cancelled
    EXPECT_EQ(edited, u"k"_s);
    EXPECT_TRUE(prompter.All().isEmpty());
    EXPECT_FALSE(RunOrderForm(*ctx, OrderFormMode::Edit, missing));
    EXPECT_EQ(prompter.warnings.size(), 1);
}

// A stored order's number typed anew is saved when no other order has it, and the order counter rises to it;
// a number taken is refused, saying so.
TEST_P(OrderFormDlgTest, AnEditedNumberIsSavedWhenFreeAndRefusedWhenTaken) {
    CounterStore(db()).WriteAll({u"КС-"_s, 102, 40, 0, 0});
    AddCar(u"c9"_s, u"Т009ТТ"_s);
    TestRows::Put(db(), TestRows::Order{.key = "a", .number = "КС-101"});
    TestRows::Put(db(), TestRows::Order{.key = "b", .number = "КС-102", .car = "c9", .client = "k1"});
    // The number typed, the number stored and the order counter after the save.
    const std::tuple<QString, QString, long> cases[] = {
        {"КС-101", "КС-102", 102}, {"КС-150", "КС-150", 150}, {"КС-7", "КС-7", 150}};
    for (const auto &[typed, stored, counter] : cases) {
        prompter.Clear();
        COrderFormDlg form(*ctx, OrderFormMode::Edit, u"b"_s);
        Child<QLineEdit>(form, "number")->setText(typed);
        form.accept();
        EXPECT_EQ(OrderStore(db()).Load(u"b"_s)->ZakazNomer, stored);
        EXPECT_EQ(CounterStore(db()).ReadAll()->zakazNomer, counter);
        EXPECT_EQ(prompter.errors.join(u'|'),
                  typed == stored
                      ? QString()
                      : u"Номер заказа КС-101 уже есть у другого заказа.\nУкажите другой номер."_s);
    }
}

// Esc closes a form left as it opened at once; a changed one only when the clerk agrees to lose the changes.
TEST_P(OrderFormDlgTest, EscAsksBeforeAChangedFormIsClosed) {
    COrderFormDlg form(*ctx, OrderFormMode::New);
    form.show();
    Press(&form, Qt::Key_Escape);
    EXPECT_TRUE(!form.isVisible() && prompter.All().isEmpty());
    form.show();
    Type(Child<QLineEdit>(form, "plate"), u"а1"_s);
    prompter.Answer(false);
    Press(&form, Qt::Key_Escape);
    EXPECT_EQ(prompter.confirms, QStringList{u"Закрыть заказ без сохранения изменений?"_s});
    EXPECT_TRUE(form.isVisible());
}

// A request taken, begun, finished and paid with keys alone; the count of keys is what a clerk spends.
TEST_P(OrderFormDlgTest, AnOrderGoesFromRequestToPaidOnTheKeyboardAlone) {
    Keyboard key;
    const auto keys = [&key](std::function<void()> press) {  // a nested dialog, worked by keys
        return [&key, press](QDialog &d) { return Keyboard::Activate(d), press(), d.result(); };
    };
    QString id;
    const auto edit = [&](OrderFormMode mode, const std::function<void(COrderFormDlg &)> &work) {
        COrderFormDlg form(*ctx, mode, id);
        Keyboard::Activate(form);
        work(form);
        key(Qt::Key_Return, Qt::ControlModifier);
        ASSERT_EQ(form.result(), QDialog::Accepted) << prompter.All().join(u'|').toStdString();
        id = form.order().IddZakaz;
    };
    edit(OrderFormMode::Request, [&](COrderFormDlg &form) {
        key(u"К001КК77"_s);
        for (int i = 0; i < 6; ++i) key(Qt::Key_Tab);
        key(u"Сидоров"_s);
        // The wash from the services (the second row), done by Петров, twice.
        dialogs.Then(keys([&] { key(Qt::Key_Down), key(Qt::Key_Space), key(Qt::Key_Escape); }));
        dialogs.Then(keys([&] { key(Qt::Key_Return); }));
        for (Qt::Key k : {Qt::Key(u'З'), Qt::Key_Insert, Qt::Key_Return, Qt::Key_2, Qt::Key_Return}) {
            key(k, k == Qt::Key(u'З') ? Qt::AltModifier : Qt::NoModifier);
            Keyboard::Activate(form);
        }
    });
    EXPECT_EQ(Text(OrderStore(db()).Load(id)->lines).section(u' ', 1), u"Мойка 2x300.00 01:00 {w1}"_s);
    // The car arrives: "Принят к исполнению" is three stops back from the plate (past the bay), the time its
    // own.
    edit(OrderFormMode::Edit, [&](COrderFormDlg &) {
        for (int i = 0; i < 3; ++i) key(Qt::Key_Backtab);
        key(Qt::Key_Space);
    });
    // Finished, and paid in full (the payment proposes the debt).
    dialogs.Then(keys([&] { key(Qt::Key_Return); }));
    edit(OrderFormMode::Edit, [&](COrderFormDlg &form) {
        key(Qt::Key_Backtab), key(Qt::Key_Backtab), key(Qt::Key_Space);
        key(Qt::Key(u'П'), Qt::AltModifier), key(Qt::Key_Insert);
        Keyboard::Activate(form);
    });
    const Order o = *OrderStore(db()).Load(id);
    EXPECT_EQ(o.ZakazStatus, StatusFinished);
    EXPECT_EQ(o.ZakazEndOut, o.ZakazBeginIn.addSecs(2 * 3600));
    ASSERT_EQ(o.payments.size(), 1);
    EXPECT_EQ(o.payments[0].SummaPay, Rub(600));
    EXPECT_EQ(prompter.All().join(u'|'), QString());
    EXPECT_TRUE(dialogs.steps.empty() && dialogs.unscripted == 0);
    EXPECT_LE(key.strokes, 43);  // 15 of them the plate and the name, 2 to pass the bay going back
}
