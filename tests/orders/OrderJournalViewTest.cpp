#include "CDateTimeDlg.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "COtWorkView.h"
#include "CQuellmarodView.h"
#include "DateRange.h"
#include "KeyedView.h"
#include "OrderFormFixture.h"
#include "OrderJournalModel.h"
#include "OrderJournalStore.h"
#include "PayRecord.h"
#include "Rub.h"

#include <QColor>
#include <QScrollBar>
#include <QTest>

namespace {

QDateTime Today(int h = 0, int m = 0) {
    return QDateTime(QDate::currentDate(), QTime(h, m));
}

// A step for the date-time dialog: checks its title, sets the moment and presses OK.
ScriptedDialogs::Step Moment(const char *title, const QDateTime &when) {
    return [title, when](QDialog &d) {
        auto &dlg = dynamic_cast<CDateTimeDlg &>(d);
        EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(title));
        dlg.SetDateTime(when);
        return Click(dlg, "ok"), dlg.result();
    };
}

// A step for the payment dialog: checks that it proposes the debt and pays the amount.
ScriptedDialogs::Step Payment(const char *debt, const char *amount) {
    return [debt, amount](QDialog &d) {
        EXPECT_EQ(Edit(d, "amount")->text(), QString::fromUtf8(debt));
        return Pay(QString::fromUtf8(amount))(d);
    };
}

int Cancel(QDialog &d) {
    return d.reject(), d.result();
}

}  // namespace

class OrderJournalViewTest : public Fixture::WithOrders<ScreenTest> {
protected:
    // A journal whose order form records each call as "mode key" and saves.
    std::unique_ptr<CQuellmarodView> View(const QString &rights = QString(Rights::kCount, u'1')) {
        view.reset();
        LogIn(rights);
        return std::make_unique<CQuellmarodView>(*ctx, [this](OrderFormMode mode, QString &key) {
            calls << QStringList{u"new"_s, u"request"_s, u"edit"_s}.value(int(mode)) + u' ' + key;
            if (onForm) onForm(mode, key);
            return true;
        });
    }

    int Status(const char *key) {
        const JournalOrderState s = OrderJournalStore(db()).State(QString::fromLatin1(key));
        return s.found ? s.status : -1;
    }
    QString Dump() { return DumpTables(db(), {u"TZakaz"_s, u"TService"_s, u"TPay"_s, u"[Number]"_s}); }

    std::unique_ptr<CQuellmarodView> view;
    QStringList calls;
    std::function<void(OrderFormMode, QString &)> onForm;
};
ZV_INSTANTIATE_SCREEN_TESTS(OrderJournalViewTest);

TEST_P(OrderJournalViewTest, OpensOnThisMonthsOpenOrdersAndEveryDebtWithTheirLinesAndColours) {
    const QDate today = QDate::currentDate(), lastYear = today.addYears(-1);
    Put({.key = "open", .number = "7", .date = Today(), .lines = {{.key = "l", .count = 2, .price = 50}}},
        {100}, "Петров П.П.", "А777АА77", "Kia");
    Put({.key = "old", .number = "3", .date = QDateTime(lastYear, QTime(0, 0)), .status = StatusFinished},
        {40}, "O'Neil", "В333ВВ33");
    auto v = View();

    auto *status = Child<QComboBox>(*v, "status");
    EXPECT_EQ(status->currentData().toInt(), int(JournalStatus::Active));
    EXPECT_EQ(Child<QDateEdit>(*v, "from")->date(), QDate(today.year(), today.month(), 1));
    EXPECT_EQ(Child<QDateEdit>(*v, "to")->date().day(), today.daysInMonth());
    // Newest appointment first; date, start, finish (none yet), plate, make and colour, phone, total, debt.
    EXPECT_EQ(RowTexts(v->list(), 10),
              (QStringList{u"Петров П.П./7/%1/%2//А777АА77/Kia-белый/tel-open/100.00/0.00"_s.arg(
                               today.toString(u"dd.MM.yyyy"_s), Today(9).toString(u"dd.MM.yyyy HH:mm"_s)),
                           u"O'Neil/3/%1/%2/%3/В333ВВ33/ВАЗ-белый/tel-old/100.00/60.00"_s.arg(
                               lastYear.toString(u"dd.MM.yyyy"_s),
                               QDateTime(lastYear, QTime(9, 0)).toString(u"dd.MM.yyyy HH:mm"_s),
                               QDateTime(lastYear, QTime(18, 0)).toString(u"dd.MM.yyyy HH:mm"_s))}));
    const QAbstractItemModel *rows = v->list()->model();
    const QModelIndex open = rows->index(0, 0), old = rows->index(1, 0);
    ASSERT_EQ(rows->rowCount(open), 1);
    QStringList line;
    for (int c = 0; c < 4; ++c) line << Cell(ChildOf(open), c);
    EXPECT_EQ(line.join(u'|'), u"Мойка|2.00|50.00|100.00"_s);
    // Open orders green, finished ones in debt red on pink, in every column; lines as the list's own.
    const auto colour = [](const QModelIndex &i, int role) { return i.data(role).value<QColor>(); };
    EXPECT_EQ(colour(open.siblingAtColumn(9), Qt::ForegroundRole), QColor(10, 150, 10));
    EXPECT_FALSE(open.data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(colour(old, Qt::ForegroundRole), QColor(200, 10, 10));
    EXPECT_EQ(colour(old.siblingAtColumn(5), Qt::BackgroundRole), QColor(255, 240, 240));
    EXPECT_FALSE(ChildOf(open).data(Qt::ForegroundRole).isValid());
    // The client filter offers the clients listed.
    EXPECT_EQ(Child<QComboBox>(*v, "client")->count(), 2);
}

TEST_P(OrderJournalViewTest, CommandsRefusedForWantOfARightOrOfAnOrderChangeNothing) {
    Put({.key = "o", .date = Today()});
    using V = CQuellmarodView;
    const struct {
        int id, right;
        const char *unselected;
    } commands[] = {{V::kRequest, 1, nullptr},
                    {V::kAdd, 1, nullptr},
                    {V::kEdit, 2, "Выберите заказ для его редактирования!"},
                    {V::kDelete, 3, "Выберите заказ для его удаления!"},
                    {V::kPay, 4, "Выберите заказ для его оплаты!"},
                    {V::kStart, 7, "Выберите заказ для отметки\nвремени начала работ по заказу!"},
                    {V::kFinish, 8, "Выберите заказ для отметки\nвремени окончания работ по заказу!"}};
    const QString before = Dump();
    for (const auto &c : commands) {
        SCOPED_TRACE(c.id);
        // The right is checked first, with the order selected.
        view = View(AllBut(c.right));
        ASSERT_TRUE(SelectIndex(view->list(), u"Иванов И.И."_s).isValid());
        prompter.Clear();
        EXPECT_TRUE(view->RunCommand(c.id));
        EXPECT_EQ(prompter.All(), QStringList{Rights::kRefusal});
        EXPECT_EQ(view->SelectedOrder(), u"o"_s);  // the list is left as it was
        if (!c.unselected) continue;
        view = View();
        prompter.Clear();
        view->RunCommand(c.id);
        EXPECT_EQ(prompter.All(), QStringList{QString::fromUtf8(c.unselected)});
    }
    EXPECT_TRUE(dialogs.opened.isEmpty() && calls.isEmpty());
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(view->RunCommand(57607));  // the frame's print is not the journal's

    // A service line belongs to its order: the command acts on that order.
    ASSERT_TRUE(SelectIndex(view->list(), u"Мойка"_s).isValid());
    EXPECT_EQ(view->SelectedOrder(), u"o"_s);

    // Printing needs no right but an order, and is offered only once the journal has a printer.
    EXPECT_FALSE(view->RunCommand(V::kPrintDocs));
    QStringList printed;
    view = View(QString(Rights::kCount, u'0'));
    view->SetDocumentsPrinter([&printed](const QString &key) { printed << key; });
    EXPECT_EQ(view->list()->ContextMenu()->actions().last()->text(), u"Распечатать..."_s);
    prompter.Clear();
    EXPECT_TRUE(view->RunCommand(V::kPrintDocs));
    EXPECT_EQ(prompter.All(), QStringList{u"Выберите заказ для печати\nнеобходимых документов!"_s});
    ASSERT_TRUE(SelectIndex(view->list(), u"Иванов И.И."_s).isValid());
    EXPECT_TRUE(view->RunCommand(V::kPrintDocs));
    EXPECT_EQ(printed, QStringList{u"o"_s});
}

TEST_P(OrderJournalViewTest, KeysAndDoubleClickRunTheFormAndDeleteWithItsQuestion) {
    Put({.key = "o", .date = Today()}, {30});
    Put({.key = "p", .date = Today(1)}, {}, "Второй");
    view = View();
    view->show();
    // Edit: the form gets the order; after it saves, the list is searched again and the order stays selected.
    onForm = [this](OrderFormMode, QString &key) {
        db().Exec(u"UPDATE SClient SET ClientName = ? WHERE IddClient = ?"_s,
                  {u"Переименован"_s, u"c-"_s + key});
    };
    DoubleClick(view->list(), FindIndex(view->list(), u"Иванов И.И."_s));
    EXPECT_EQ(Cell(view->list()->currentIndex(), 0), u"Переименован"_s);
    onForm = nullptr;
    Press(view->list(), Qt::Key_Return);
    // Insert adds a new order; afterwards the clerk is still on his row. The request comes from its menu
    // command.
    Press(view->list(), Qt::Key_Insert);
    view->RunCommand(CQuellmarodView::kRequest);
    EXPECT_EQ(calls.join(u','), u"edit o,edit o,new ,request "_s);
    EXPECT_EQ(view->SelectedOrder(), u"o"_s);

    // Delete asks; No keeps the order, Yes removes it.
    prompter.Answer(false);
    ASSERT_TRUE(SelectIndex(view->list(), u"Переименован"_s).isValid());
    Press(view->list(), Qt::Key_Delete);
    EXPECT_EQ(prompter.confirms, QStringList{u"Удалить заказ?"_s});
    EXPECT_EQ(Status("o"), StatusStarted);
    prompter.Answer(true);
    Press(view->list(), Qt::Key_Delete);
    EXPECT_EQ(Status("o"), -1);
    EXPECT_EQ(RowTexts(view->list()), QStringList{u"Второй"_s});
}

TEST_P(OrderJournalViewTest, DebtQuestionComesBackUntilPaidThenTheFinishIsMarked) {
    Put({.key = "d", .date = Today()}, {20});
    Put({.key = "r", .date = Today(1), .status = StatusRequested}, {}, "Должник");
    view = View();
    ASSERT_TRUE(SelectIndex(view->list(), u"Иванов И.И."_s).isValid());
    const QString question = QStringLiteral(
        "Есть задолженность по данному заказу: %1!\nПогасить задолженность и продолжить - ''Да''\n"
        "Отметить завершение  с задолженностью - ''Нет''");
    const QDateTime end(QDate::currentDate(), QTime(17, 45, 5));
    for (int i = 0; i < 3; ++i) prompter.Answer(true);  // pay: cancelled, then 50 of the 80, then the rest
    dialogs.Then(Cancel);
    dialogs.Then(Payment("80.00", "50"));
    dialogs.Then(Payment("30.00", "30,00"));
    dialogs.Then(Moment("Окончание работ:", end));
    view->RunCommand(CQuellmarodView::kFinish);

    // Brought up again after the cancelled payment, and with what is left after a part payment.
    EXPECT_EQ(prompter.questions,
              (QStringList{question.arg(u"80.00"_s), question.arg(u"80.00"_s), question.arg(u"30.00"_s)}));
    EXPECT_EQ(dialogs.unscripted, 0);
    EXPECT_EQ(Status("d"), StatusFinished);
    EXPECT_EQ(OrderStore(db()).Load(u"d"_s)->ZakazEndOut, end);
    EXPECT_EQ(PaymentStore(db()).LoadOrderPayments(u"d"_s).size(), 3);
    // Finished and paid, it has left the active orders.
    EXPECT_EQ(RowTexts(view->list()), QStringList{u"Должник"_s});
    EXPECT_TRUE(prompter.warnings.isEmpty());

    // A request's finish goes to its start first.
    ASSERT_TRUE(SelectIndex(view->list(), u"Должник"_s).isValid());
    prompter.Clear();
    dialogs.opened.clear();
    const QDateTime start(QDate::currentDate(), QTime(10, 20, 30));
    dialogs.Then(Moment("Начало работ:", start));
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(prompter.warnings,
              QStringList{u"Работы над заказом не начаты\nОтметьте сначала время начала работ!\n"_s});
    EXPECT_EQ(dialogs.opened, QStringList{u"CDateTimeDlg"_s});
    EXPECT_EQ(Status("r"), StatusStarted);
    EXPECT_EQ(Cell(view->list()->currentIndex(), 3), start.toString(u"dd.MM.yyyy HH:mm"_s));
    // Now started, it goes to the debt question: "Нет" and then a cancelled moment change nothing; "Нет" and
    // a moment finish it with the debt.
    prompter.Answer(false);
    dialogs.Then(Cancel);
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(Status("r"), StatusStarted);
    prompter.Answer(false);
    dialogs.Then(Moment("Окончание работ:", end));
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(Status("r"), StatusFinished);
    EXPECT_EQ(prompter.questions.size(), 2);

    // A payment refused for want of the right ends the command.
    db().Exec(u"UPDATE TZakaz SET ZakazStatus = 1 WHERE IddZakaz = 'r'"_s);
    view = View(AllBut(4));
    prompter.Clear();
    ASSERT_TRUE(SelectIndex(view->list(), u"Должник"_s).isValid());
    prompter.Answer(true);
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
    EXPECT_EQ(Status("r"), StatusStarted);
}

// A payment is the order's, the order stays selected with its new debt; a cancelled one stores nothing.
TEST_P(OrderJournalViewTest, PaymentIsStoredForTheOrderAndTheOrderReselected) {
    Put({.key = "a", .date = Today(), .status = StatusFinished}, {}, "Первый");
    Put({.key = "b", .date = Today(2)}, {100}, "Второй");
    view = View();
    ASSERT_TRUE(SelectIndex(view->list(), u"Первый"_s).isValid());
    dialogs.Then(Payment("100.00", "25.5"));
    view->RunCommand(CQuellmarodView::kPay);
    const QList<PayRecord> pays = PaymentStore(db()).LoadOrderPayments(u"a"_s);
    ASSERT_EQ(pays.size(), 1);
    EXPECT_EQ(u"%1|%2|%3"_s.arg(pays[0].SummaPay.Text(), pays[0].NaznPay).arg(pays[0].TypePay),
              u"25.50|Оплата услуг|%1"_s.arg(OrderPayment));
    EXPECT_EQ(view->SelectedOrder(), u"a"_s);
    EXPECT_EQ(Cell(view->list()->currentIndex(), 9), u"74.50"_s);
    // An order deleted on another workstation is reported, not marked.
    db().Exec(u"DELETE FROM TZakaz WHERE IddZakaz = 'a'"_s);
    dialogs.Then(Moment("Начало работ:", Today(8)));
    view->RunCommand(CQuellmarodView::kStart);
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_EQ(RowTexts(view->list()), QStringList{u"Второй"_s});
}

// Every journal's pickers stop at 31.12.2099; a reversed period is refused with the message and the list
// keeps what it showed.
TEST_P(OrderJournalViewTest, JournalsHoldTheirPeriodToTheRangeAndRefuseItReversed) {
    Put({.key = "o", .date = Today(), .status = StatusFinished, .lines = {{.workers = {{.worker = "w"}}}}});
    TestRows::Put(db(), TestRows::Pay{"p", "0", SalaryPayout, -5, Today(10)});
    TestRows::Put(db(), TestRows::Payout{"l", "p", "w", 5});
    for (QWidget *made : std::initializer_list<QWidget *>{View().release(), new CKassaView(*ctx),
                                                          new CJSalaryView(*ctx), new COtWorkView(*ctx)}) {
        const std::unique_ptr<QWidget> journal(made);
        SCOPED_TRACE(journal->metaObject()->className());
        auto *from = Child<QDateEdit>(*journal, "from");
        from->setDate(QDate(9999, 12, 31));  // held to the last day, after the period's end
        EXPECT_EQ(from->date(), QDate(2099, 12, 31));
        prompter.Clear();
        Click(*journal, "find");
        EXPECT_EQ(prompter.All(), QStringList{DateRange::kReversed});
        EXPECT_EQ(RowTexts(::View(*journal)).size(), 1);  // the row found on opening is still there
    }
}

// A long journal shows its first orders at once and the rest once they are painted (or when a command needs
// them); a refill keeps the clerk's order, the orders and packages he unfolded, also beyond the first screen.
TEST_P(OrderJournalViewTest, ALongJournalShowsItsFirstOrdersThenTheRestKeepingTheRowAndTheUnfolded) {
    const int n = CQuellmarodView::kFirstScreen + 3;
    const QList<TestRows::Line> package = {{.key = "pkg", .name = "Шиномонтаж", .price = 0, .top = "0"},
                                           {.key = "bal", .name = "Балансировка", .top = "pkg"}};
    for (int i = 0; i < n; ++i)
        Put({.key = u"m%1"_s.arg(i, 3, 10, QChar(u'0')),
             .number = QString::number(1000 + i),
             .date = Today(),
             .lines = package});
    view = View();
    view->resize(800, 400);
    view->show();  // laid out as on the screen (no event is handled here: the rest is read when asked)
    KeyedView *list = view->list();
    const auto number = Child<QComboBox>(*view, "number");
    EXPECT_EQ(list->model()->rowCount(), CQuellmarodView::kFirstScreen);
    EXPECT_EQ(number->count(), 0);  // the filters' lists wait for the whole list

    // The clerk unfolds an order and its package near the top and stands on another order.
    QModelIndex top = FindIndex(list, u"1001"_s, 1).siblingAtColumn(0);
    list->expand(top);
    list->expand(ChildOf(top));
    ASSERT_TRUE(SelectIndex(list, u"1010"_s, 1).isValid());
    list->ReadRest();
    EXPECT_EQ(list->model()->rowCount(), n);
    EXPECT_EQ(number->count(), n);
    EXPECT_EQ(view->SelectedOrder(), u"m010"_s);
    top = FindIndex(list, u"1001"_s, 1).siblingAtColumn(0);
    EXPECT_TRUE(list->isExpanded(top) && list->isExpanded(ChildOf(top)));
    EXPECT_FALSE(list->isExpanded(FindIndex(list, u"1002"_s, 1).siblingAtColumn(0)));

    // Beyond the first screen: the order he stands on and has unfolded is not among the first orders of a
    // new search, and is his again once the rest is read (here by the report's command).
    list->expand(SelectIndex(list, u"1202"_s, 1).siblingAtColumn(0));
    list->verticalScrollBar()->setValue(40);
    Click(*view, "find");
    EXPECT_EQ(list->model()->rowCount(), CQuellmarodView::kFirstScreen);
    EXPECT_EQ(view->SelectedOrder(), QString());
    EXPECT_EQ(view->ShownOrders().size(), n);
    EXPECT_EQ(view->SelectedOrder(), u"m202"_s);
    EXPECT_EQ(list->verticalScrollBar()->value(), 40);  // the rows he saw, though his row is further down
    EXPECT_TRUE(list->isExpanded(FindIndex(list, u"1202"_s, 1).siblingAtColumn(0)));
    top = FindIndex(list, u"1001"_s, 1).siblingAtColumn(0);
    EXPECT_TRUE(list->isExpanded(top) && list->isExpanded(ChildOf(top)));

    // Editing an order past the first screen selects it again after the refill.
    ASSERT_TRUE(SelectIndex(list, u"1201"_s, 1).isValid());
    view->RunCommand(CQuellmarodView::kEdit);
    EXPECT_EQ(calls.last(), u"edit m201"_s);
    EXPECT_EQ(view->SelectedOrder(), u"m201"_s);

    // On the screen nobody asks: the rest comes by itself once the first orders are painted.
    ASSERT_TRUE(SelectIndex(list, u"1000"_s, 1).isValid());
    Click(*view, "find");
    EXPECT_EQ(list->model()->rowCount(), CQuellmarodView::kFirstScreen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount() == n; }, 5000));
    EXPECT_EQ(number->count(), n);
    EXPECT_EQ(view->SelectedOrder(), u"m000"_s);
}

// Orders, their lines and a package's services in three levels; texts, colours and sort values from the
// records; money sorts as money, and a row followed across a sort.
TEST(OrderJournalModelTest, ShowsThreeLevelsAndSortsByValue) {
    // A line of `count` at `price` roubles with its VAT percent.
    const auto priced = [](const QString &name, double count, int price, double prNds = 0) {
        JournalLine l;
        l.name = name, l.count = count, l.prNds = prNds, l.price = Rub(price), l.amount = Rub(count * price);
        l.vat = l.amount.Percent(prNds), l.total = l.amount + l.vat;
        return l;
    };
    JournalLine rm = priced(u"Снятие колеса"_s, 4, 100, 18);
    rm.performers = u"Петров П.П., Сидоров С.С."_s;
    JournalLine pkg{
        .name = u"Шиномонтаж"_s, .amount = Rub(600), .vat = Rub(72), .total = Rub(672), .package = true};
    pkg.services = {priced(u"Балансировка"_s, 4, 50), rm};
    JournalOrder a;
    a.IddZakaz = u"a"_s, a.ClientName = u"Антонов"_s, a.ZakazStatus = StatusFinished, a.total = Rub(1000);
    a.lines = {pkg, priced(u"Мойка"_s, 1, 328)};
    JournalOrder b;
    b.IddZakaz = u"b"_s, b.ClientName = u"Борисов"_s, b.ZakazStatus = StatusRequested, b.total = Rub(200);
    b.debt = Rub(50);
    OrderJournalModel model;
    model.Set({a, b});

    const QModelIndex first = model.index(0, 0), package = model.index(0, 0, first);
    const QModelIndex service = model.index(1, 0, package);
    const auto texts = [&](const QModelIndex &row, int columns) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) cells << model.index(row.row(), c, row.parent()).data().toString();
        return cells.join(u'|');
    };
    EXPECT_EQ(texts(package, 8), u"Шиномонтаж|1.00||600.00||72.00|672.00|"_s);
    EXPECT_EQ(texts(service, 8),
              u"Снятие колеса|4.00|100.00|400.00|18.00|72.00|472.00|Петров П.П., Сидоров С.С."_s);
    EXPECT_EQ(model.rowCount(first), 2);
    EXPECT_EQ(model.rowCount(package), 2);
    EXPECT_EQ(model.rowCount(service), 0);
    EXPECT_EQ(model.parent(service), package);
    EXPECT_EQ(model.parent(package), first);
    EXPECT_FALSE(model.parent(first).isValid());
    EXPECT_EQ(first.data(KeyedModel::kKeyRole).toString(), u"a"_s);
    EXPECT_EQ(package.data(KeyedModel::kKeyRole).toString(), QString());  // a line acts on its order
    // A request blue and tinted for its debt; a paid finished order red on the list's own background.
    EXPECT_EQ(model.index(1, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(10, 10, 180));
    EXPECT_EQ(model.index(1, 3).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 240, 240));
    EXPECT_EQ(first.data(Qt::ForegroundRole).value<QColor>(), QColor(200, 10, 10));
    EXPECT_FALSE(first.data(Qt::BackgroundRole).isValid());

    // By the column where the lines show their amount: the standalone wash (328.00) before the package
    // (600.00); a row followed across the sort.
    const QPersistentModelIndex kept(service);
    model.sort(OrderJournalModel::ColFrom, Qt::AscendingOrder);
    EXPECT_EQ(model.index(0, 0, first).data().toString(), u"Мойка"_s);
    EXPECT_EQ(kept.data().toString(), u"Снятие колеса"_s);
    EXPECT_EQ(kept.parent().row(), 1);
    // By the total rising: 200.00 before 1000.00 (as text "1000.00" would come first).
    model.sort(OrderJournalModel::ColTotal, Qt::AscendingOrder);
    EXPECT_EQ(model.index(0, 0).data(KeyedModel::kKeyRole).toString(), u"b"_s);
    EXPECT_EQ(kept.parent().parent(), model.index(1, 0));
    model.sort(OrderJournalModel::ColTotal, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, 0).data(KeyedModel::kKeyRole).toString(), u"a"_s);
}
