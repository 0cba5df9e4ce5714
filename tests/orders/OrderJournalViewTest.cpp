#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CDateTimeDlg.h"
#include "COrderPaymentDlg.h"
#include "CQuellmarodView.h"
#include "CounterStore.h"
#include "JournalFixtures.h"
#include "OrderJournalKind.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "Scripted.h"
#include "StatusTreeList.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using JournalFixture::Put;

namespace {

QString AllRights() {
    return QString(Rights::kCount, u'1');
}

QString AllBut(int denied) {
    QString r = AllRights();
    r[denied] = u'0';
    return r;
}

QDateTime Today(int h = 0, int m = 0) {
    return QDateTime(QDate::currentDate(), QTime(h, m));
}

// A step for the date-time dialog: checks its title, sets the moment and presses OK.
ScriptedDialogs::Step Moment(const QString &title, const QDateTime &when) {
    return [title, when](QDialog &d) {
        auto &dlg = dynamic_cast<CDateTimeDlg &>(d);
        EXPECT_EQ(dlg.windowTitle(), title);
        dlg.SetDateTime(when);
        Click(dlg, "ok");
        return dlg.result();
    };
}

// A step for the payment dialog: checks the debt it shows, types the amount and presses OK.
ScriptedDialogs::Step Payment(const QString &debt, const QString &amount) {
    return [debt, amount](QDialog &d) {
        auto &dlg = dynamic_cast<COrderPaymentDlg &>(d);
        EXPECT_EQ(dlg.windowTitle(), COrderPaymentDlg::kNewTitle);
        EXPECT_EQ(Child<QLabel>(dlg, "debt")->text(), debt);
        EXPECT_EQ(Edit(dlg, "amount")->text(), debt);  // the whole debt is proposed
        Edit(dlg, "amount")->setText(amount);
        Click(dlg, "ok");
        return dlg.result();
    };
}

ScriptedDialogs::Step Cancel() {
    return [](QDialog &d) {
        Click(d, "cancel");
        return d.result();
    };
}

}  // namespace

class OrderJournalViewTest : public DbTest {
protected:
    // The form as the journal sees it: records each call and answers `formSaves`.
    struct FormCall {
        OrderFormMode mode;
        QString key;
    };

    std::unique_ptr<CQuellmarodView> View(const QString &rights = AllRights()) {
        view.reset();
        ctx = std::make_unique<AppContext>(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, QString());
        auto v = std::make_unique<CQuellmarodView>(*ctx, [this](OrderFormMode mode, QString &key) {
            calls.push_back({mode, key});
            if (onForm) onForm(mode, key);
            return formSaves;
        });
        return v;
    }

    int Status(const QString &key) { return OrderStore(db()).Status(key); }
    QDateTime Started(const QString &key) {
        return OrderStore(db()).Load(key).value_or(Order{}).ZakazBeginIn;
    }
    QDateTime Finished(const QString &key) {
        return OrderStore(db()).Load(key).value_or(Order{}).ZakazEndOut;
    }
    QString Dump() {
        return DumpTables(db(), {QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("TPay"),
                                 QStringLiteral("[Number]")});
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<CQuellmarodView> view;
    std::vector<FormCall> calls;
    bool formSaves = true;
    std::function<void(OrderFormMode, QString &)> onForm;
};
ZV_INSTANTIATE_DB_TESTS(OrderJournalViewTest);

TEST_P(OrderJournalViewTest, OpensOnThisMonthsOpenOrdersAndEveryDebtWithTheirLinesAndColours) {
    const QDate lastYear = QDate::currentDate().addYears(-1);
    Put(db(), {.key = "open",
               .number = "7",
               .date = Today(),
               .status = StatusStarted,
               .client = "Петров П.П.",
               .plate = "А777АА77",
               .make = "Kia",
               .count = 2,
               .price = 50,
               .payments = {100}});
    Put(db(), {.key = "old",
               .number = "3",
               .date = QDateTime(lastYear, QTime(0, 0)),
               .status = StatusFinished,
               .client = "O'Neil",
               .plate = "В333ВВ33",
               .payments = {40}});
    Put(db(), {.key = "closed",
               .number = "8",
               .date = Today(),
               .status = StatusFinished,
               .client = "Закрытый",
               .payments = {100}});
    auto v = View();

    auto *status = Child<QComboBox>(*v, "status");
    EXPECT_EQ(status->currentText(), QStringLiteral("Активные (заявленные+не готовые+не оплаченные)"));
    EXPECT_EQ(Child<QDateEdit>(*v, "from")->date(),
              QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1));
    EXPECT_EQ(Child<QDateEdit>(*v, "to")->date().day(), QDate::currentDate().daysInMonth());
    // Newest appointment first.
    EXPECT_EQ(RowTexts(v->list(), 2),
              (QStringList{QStringLiteral("Петров П.П./7"), QStringLiteral("O'Neil/3")}));

    QTreeWidgetItem *open = v->list()->topLevelItem(0);
    const QString start = Today(9).toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    EXPECT_EQ(open->text(2), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    EXPECT_EQ(open->text(3), start);
    EXPECT_EQ(open->text(4), QString());  // not finished
    EXPECT_EQ(open->text(5), QStringLiteral("А777АА77"));
    EXPECT_EQ(open->text(6), QStringLiteral("Kia-белый"));
    EXPECT_EQ(open->text(7), QStringLiteral("tel-open"));
    EXPECT_EQ(open->text(8), QStringLiteral("100.00"));
    EXPECT_EQ(open->text(9), QStringLiteral("0.00"));
    EXPECT_EQ(open->foreground(0).color(), QColor(10, 150, 10));
    EXPECT_EQ(open->background(0).style(), Qt::NoBrush);
    ASSERT_EQ(open->childCount(), 1);
    EXPECT_EQ(open->child(0)->text(0), QStringLiteral("Мойка"));
    EXPECT_EQ(open->child(0)->text(1), QStringLiteral("2.00"));
    EXPECT_EQ(open->child(0)->text(3), QStringLiteral("100.00"));

    QTreeWidgetItem *old = v->list()->topLevelItem(1);
    EXPECT_EQ(old->text(4), QDateTime(lastYear, QTime(18, 0)).toString(QStringLiteral("dd.MM.yyyy HH:mm")));
    EXPECT_EQ(old->text(9), QStringLiteral("60.00"));
    EXPECT_EQ(old->foreground(0).color(), QColor(200, 10, 10));
    EXPECT_EQ(old->background(0).color(), QColor(255, 240, 240));

    // The whole list, lines included, comes in one statement.
    int statements = 0;
    db().SetStatementHook([&](const QString &) { ++statements; });
    Click(*v, "find");
    db().SetStatementHook({});
    EXPECT_EQ(statements, 1);

    // The text filters offer what is listed; a search with one of them is exact.
    auto *client = Child<QComboBox>(*v, "client");
    EXPECT_EQ(client->count(), 2);
    status->setCurrentIndex(status->findData(int(JournalStatus::All)));
    client->setEditText(QStringLiteral("O'Neil"));
    Click(*v, "find");
    EXPECT_EQ(RowTexts(v->list()), QStringList{});  // last year's order is outside this month
    client->setEditText(QStringLiteral("Закрытый"));
    Click(*v, "find");
    EXPECT_EQ(RowTexts(v->list()), QStringList{QStringLiteral("Закрытый")});
    EXPECT_EQ(client->currentText(), QStringLiteral("Закрытый"));  // what was typed stays
}

TEST_P(OrderJournalViewTest, CommandsRefusedForWantOfARightOrOfAnOrderChangeNothing) {
    Put(db(), {.key = "o", .number = "1", .date = Today(), .status = StatusStarted});
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
        ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Иванов И.И.")));
        prompter.Clear();
        EXPECT_TRUE(view->RunCommand(c.id));
        EXPECT_EQ(prompter.All(), QStringList{Rights::kRefusal});
        EXPECT_EQ(view->SelectedOrder(), QStringLiteral("o"));  // the list is left as it was
        if (!c.unselected) continue;
        view = View();
        prompter.Clear();
        view->RunCommand(c.id);
        EXPECT_EQ(prompter.All(), QStringList{QString::fromUtf8(c.unselected)});
    }
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(view->RunCommand(57607));  // the frame's print is not the journal's

    // A service line belongs to its order: the command acts on that order.
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Мойка")));
    EXPECT_EQ(view->SelectedOrder(), QStringLiteral("o"));

    // Printing needs no right but an order, and is offered only once the journal has a printer.
    EXPECT_FALSE(view->RunCommand(V::kPrintDocs));
    QStringList printed;
    view->SetDocumentsPrinter([&printed](const QString &key) { printed << key; });
    EXPECT_EQ(view->list()->ContextMenu()->actions().last()->text(), QStringLiteral("Распечатать..."));
    view = View(QString(28, QLatin1Char('0')));
    view->SetDocumentsPrinter([&printed](const QString &key) { printed << key; });
    prompter.Clear();
    EXPECT_TRUE(view->RunCommand(V::kPrintDocs));
    EXPECT_EQ(prompter.All(),
              QStringList{QStringLiteral("Выберите заказ для печати\nнеобходимых документов!")});
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Иванов И.И.")));
    EXPECT_TRUE(view->RunCommand(V::kPrintDocs));
    EXPECT_EQ(printed, QStringList{QStringLiteral("o")});
}

TEST_P(OrderJournalViewTest, KeysAndDoubleClickRunTheFormAndDeleteWithItsQuestion) {
    Put(db(), {.key = "o", .number = "1", .date = Today(), .status = StatusStarted, .payments = {30}});
    Put(db(), {.key = "p", .number = "2", .date = Today(1), .status = StatusStarted, .client = "Второй"});
    view = View();
    view->show();
    // Edit: the form gets the order; after it saves, the list is searched again and the order stays selected.
    onForm = [this](OrderFormMode mode, QString &key) {
        if (mode == OrderFormMode::Edit)
            db().Exec(QStringLiteral("UPDATE SClient SET ClientName = ? WHERE IddClient = ?"),
                      {QStringLiteral("Переименован"), QStringLiteral("c-") + key});
    };
    DoubleClick(view->list(), FindRow(view->list(), QStringLiteral("Иванов И.И.")));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].mode, OrderFormMode::Edit);
    EXPECT_EQ(calls[0].key, QStringLiteral("o"));
    EXPECT_EQ(view->SelectedOrder(), QStringLiteral("o"));
    EXPECT_EQ(view->list()->currentItem()->text(0), QStringLiteral("Переименован"));

    Press(view->list(), Qt::Key_Return);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].mode, OrderFormMode::Edit);

    // Insert adds a new order; afterwards nothing is selected. The request comes from its menu command.
    Press(view->list(), Qt::Key_Insert);
    view->RunCommand(CQuellmarodView::kRequest);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].mode, OrderFormMode::New);
    EXPECT_EQ(calls[3].mode, OrderFormMode::Request);
    EXPECT_EQ(view->SelectedOrder(), QString());

    // A cancelled form changes nothing and keeps the selection.
    onForm = nullptr;
    formSaves = false;
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Второй")));
    view->RunCommand(CQuellmarodView::kEdit);
    EXPECT_EQ(view->SelectedOrder(), QStringLiteral("p"));

    // Delete asks; No keeps the order, Yes removes it with its lines, its payments stay.
    prompter.Answer(false);
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Переименован")));
    Press(view->list(), Qt::Key_Delete);
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить заказ?")});
    EXPECT_EQ(Status(QStringLiteral("o")), StatusStarted);
    prompter.Answer(true);
    Press(view->list(), Qt::Key_Delete);
    EXPECT_EQ(Status(QStringLiteral("o")), -1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TService WHERE IddZakaz = 'o'")), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay WHERE IddZakaz = 'o'")), 1);
    EXPECT_EQ(RowTexts(view->list()), QStringList{QStringLiteral("Второй")});

    // The right-click menu carries every command of the journal.
    QStringList menu;
    for (const QAction *a : view->list()->ContextMenu()->actions())
        if (!a->isSeparator()) menu << a->text();
    EXPECT_EQ(menu, (QStringList{QStringLiteral("Предварительная заявка"), QStringLiteral("Добавить заказ"),
                                 QStringLiteral("Изменить заказ"), QStringLiteral("Удалить заказ"),
                                 QStringLiteral("Добавить платеж"), QStringLiteral("Отметить начало работ"),
                                 QStringLiteral("Отметить исполнение работ")}));
    EXPECT_TRUE(prompter.warnings.isEmpty());
}

TEST_P(OrderJournalViewTest, MarkingTheFinishOfARequestGoesToTheStartFirst) {
    Put(db(), {.key = "r", .number = "1", .date = Today(), .status = StatusRequested});
    view = View();
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Иванов И.И.")));
    const QDateTime start(QDate::currentDate(), QTime(10, 20, 30));
    dialogs.Then(Moment(QStringLiteral("Начало работ:"), start));
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(
        prompter.warnings,
        QStringList{QStringLiteral("Работы над заказом не начаты\nОтметьте сначала время начала работ!\n")});
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CDateTimeDlg")});
    EXPECT_EQ(Status(QStringLiteral("r")), StatusStarted);
    EXPECT_EQ(Started(QStringLiteral("r")), start);
    EXPECT_EQ(view->SelectedOrder(), QStringLiteral("r"));
    EXPECT_EQ(view->list()->currentItem()->text(3), start.toString(QStringLiteral("dd.MM.yyyy HH:mm")));

    // Now started, it goes to the debt question; "Нет" and then a cancelled moment change nothing.
    prompter.Answer(false);
    dialogs.Then(Cancel());
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_EQ(Status(QStringLiteral("r")), StatusStarted);
    EXPECT_TRUE(dialogs.steps.empty());
}

TEST_P(OrderJournalViewTest, DebtQuestionComesBackUntilPaidThenTheFinishIsMarked) {
    CounterStore(db()).WriteAll({QString(), 0, 41, 0, 0});
    Put(db(), {.key = "d", .number = "1", .date = Today(), .status = StatusStarted, .payments = {20}});
    view = View();
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Иванов И.И.")));
    const QString question = QStringLiteral(
        "Есть задолженность по данному заказу: 80.00!\nПогасить задолженность и продолжить - ''Да''\n"
        "Отметить завершение  с задолженностью - ''Нет''");
    const QDateTime end(QDate::currentDate(), QTime(17, 45, 5));
    prompter.Answer(true);  // pay: the payment dialog is cancelled
    prompter.Answer(true);  // pay again: 50 of the 80
    prompter.Answer(true);  // and the remaining 30
    dialogs.Then(Cancel());
    dialogs.Then(Payment(QStringLiteral("80.00"), QStringLiteral("50")));
    dialogs.Then(Payment(QStringLiteral("30.00"), QStringLiteral("30,00")));
    dialogs.Then(Moment(QStringLiteral("Окончание работ:"), end));
    view->RunCommand(CQuellmarodView::kFinish);

    ASSERT_EQ(prompter.questions.size(), 3);
    EXPECT_EQ(prompter.questions[0], question);
    EXPECT_EQ(prompter.questions[1], question);  // brought up again after the cancelled payment
    EXPECT_TRUE(
        prompter.questions[2].startsWith(QStringLiteral("Есть задолженность по данному заказу: 30.00!")));
    EXPECT_EQ(dialogs.unscripted, 0);
    EXPECT_TRUE(dialogs.steps.empty());
    EXPECT_EQ(Status(QStringLiteral("d")), StatusFinished);
    EXPECT_EQ(Finished(QStringLiteral("d")), end);
    const QList<PayRecord> pays = PaymentStore(db()).LoadOrderPayments(QStringLiteral("d"));
    ASSERT_EQ(pays.size(), 3);
    QStringList numbers;
    for (const PayRecord &p : pays) numbers << p.NomerPay;
    numbers.sort();
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("1"), QStringLiteral("42"), QStringLiteral("43")}));
    EXPECT_EQ(CounterStore(db()).ReadAll()->payNomer, 43);
    // Finished and paid, it has left the active orders.
    EXPECT_EQ(RowTexts(view->list()), QStringList{});
    EXPECT_EQ(view->SelectedOrder(), QString());
    EXPECT_TRUE(prompter.warnings.isEmpty());

    // "Нет" finishes with the debt; a payment refused for want of the right ends the command.
    Put(db(), {.key = "e", .number = "2", .date = Today(1), .status = StatusStarted, .client = "Должник"});
    view = View();
    prompter.Clear();
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Должник")));
    prompter.Answer(false);
    dialogs.Then(Moment(QStringLiteral("Окончание работ:"), end));
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(Status(QStringLiteral("e")), StatusFinished);
    EXPECT_EQ(prompter.questions.size(), 1);

    db().Exec(QStringLiteral("UPDATE TZakaz SET ZakazStatus = 1 WHERE IddZakaz = 'e'"));
    view = View(AllBut(4));
    prompter.Clear();
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Должник")));
    prompter.Answer(true);
    view->RunCommand(CQuellmarodView::kFinish);
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
    EXPECT_EQ(Status(QStringLiteral("e")), StatusStarted);
}

TEST_P(OrderJournalViewTest, PaymentIsNumberedAtItsSaveAndTheOrderReselected) {
    CounterStore(db()).WriteAll({QString(), 0, 9, 0, 0});
    Put(db(), {.key = "a", .number = "1", .date = Today(), .status = StatusFinished, .client = "Первый"});
    Put(db(), {.key = "b",
               .number = "2",
               .date = Today(2),
               .status = StatusStarted,
               .client = "Второй",
               .payments = {100}});
    view = View();
    ASSERT_TRUE(SelectRow(view->list(), QStringLiteral("Первый")));
    dialogs.Then(Payment(QStringLiteral("100.00"), QStringLiteral("25.5")));
    view->RunCommand(CQuellmarodView::kPay);
    const QList<PayRecord> pays = PaymentStore(db()).LoadOrderPayments(QStringLiteral("a"));
    ASSERT_EQ(pays.size(), 1);
    EXPECT_EQ(pays[0].SummaPay, Rub(25.5));
    EXPECT_EQ(pays[0].NaznPay, QStringLiteral("Оплата услуг"));
    EXPECT_EQ(pays[0].TypePay, OrderPayment);
    EXPECT_EQ(pays[0].NomerPay, QStringLiteral("10"));
    EXPECT_EQ(CounterStore(db()).ReadAll()->payNomer, 10);
    EXPECT_EQ(view->SelectedOrder(), QStringLiteral("a"));
    EXPECT_EQ(view->list()->currentItem()->text(9), QStringLiteral("74.50"));

    // A cancelled payment stores nothing and leaves the counter alone.
    const QString before = Dump();
    dialogs.Then(Cancel());
    view->RunCommand(CQuellmarodView::kPay);
    EXPECT_EQ(Dump(), before);

    // An order deleted on another workstation is reported, not marked.
    db().Exec(QStringLiteral("DELETE FROM TZakaz WHERE IddZakaz = 'a'"));
    dialogs.Then(Moment(QStringLiteral("Начало работ:"), Today(8)));
    view->RunCommand(CQuellmarodView::kStart);
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_EQ(RowTexts(view->list()), QStringList{QStringLiteral("Второй")});
}

TEST_P(OrderJournalViewTest, PickersPutThePlateAndTheClientIntoTheirFilters) {
    Put(db(), {.key = "o",
               .number = "1",
               .date = Today(),
               .status = StatusStarted,
               .client = "O'Neil",
               .plate = "Х001ХХ99"});
    view = View();
    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CCarDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("a-o")));
        dir.reject();
        return dir.result();
    });
    Click(*view, "cars");
    EXPECT_EQ(Child<QComboBox>(*view, "plate")->currentText(), QStringLiteral("Х001ХХ99"));

    dialogs.Then([](QDialog &d) {
        auto &dir = dynamic_cast<CClientDirDlg &>(d);
        EXPECT_TRUE(dir.Select(QStringLiteral("c-o")));
        dir.reject();
        return dir.result();
    });
    Click(*view, "clients");
    EXPECT_EQ(Child<QComboBox>(*view, "client")->currentText(), QStringLiteral("O'Neil"));
}

TEST(OrderJournalKind, MenuAndToolbarCarryTheJournalsCommandsWithoutPrinting) {
    QStringList texts;
    for (const JournalMenuItem &item : OrderJournalMenu())
        texts << (item.id ? item.text : QStringLiteral("-"));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Предварительная заявка"), QStringLiteral("-"),
                                  QStringLiteral("Добавить заказ"), QStringLiteral("Изменить заказ"),
                                  QStringLiteral("Удалить заказ"), QStringLiteral("-"),
                                  QStringLiteral("Добавить платеж"), QStringLiteral("-"),
                                  QStringLiteral("Отметить начало работ"),
                                  QStringLiteral("Отметить исполнение работ")}));
    EXPECT_EQ(OrderJournalToolbar(), (QList<int>{32781, 32774, 32777, 32778, 32780, 32782, 32783}));
}
