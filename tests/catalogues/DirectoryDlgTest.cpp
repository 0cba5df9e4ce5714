// What all six directories share: the keyboard, the double-click, the selection and the rights.
#include "CBayDirDlg.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CServiceDirDlg.h"
#include "CUserDirDlg.h"
#include "CWorkerDirDlg.h"
#include "DirectoryModels.h"
#include "KeyedList.h"
#include "KeyedModel.h"
#include "KeyedView.h"
#include "Rub.h"
#include "ScreenTest.h"
#include "ServiceStore.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The list's object name, the seeded row (its text in `column`), the card its commands open, its buttons
// and what the directory says when Edit or Delete finds no row; the rights of its commands, if any.
struct Directory {
    const char *name;
    std::function<std::unique_ptr<QDialog>(AppContext &)> make;
    const char *list;
    QString row;
    int column;
    const char *card;
    QList<const char *> fields;  // the card's inputs a new row needs; the first one is listed
    const char *add, *edit, *del;
    QStringList noSelection;  // the warnings of Edit then Delete
    QString question;         // Delete's question on the seeded row
    std::optional<std::array<Right, 3>> rights = {};
};

template <class Dlg>
std::function<std::unique_ptr<QDialog>(AppContext &)> Make() {
    return [](AppContext &ctx) { return std::make_unique<Dlg>(ctx); };
}

const QList<Directory> &Directories() {
    // clang-format off
    static const QList<Directory> dirs = {
        {"services", Make<CServiceDirDlg>(), "services", u"Мойка кузова"_s, 0, "CServiceDlg", {"name"}, "Add", "Edit", "Del",
         {u"Выберите! Выберите услугу или пакет услуг,\nдля его изменения!"_s,
          u"Выберите! Выберите услугу или пакет услуг,\nдля его удаления!"_s},
         u"Удалить услугу (пакет услуг и все услуги в пакете)?"_s,
         std::array{Right::AddService, Right::EditService, Right::DeleteService}},
        {"workers", Make<CWorkerDirDlg>(), "list", u"Петров П."_s, 0, "CWorkerDlg", {"fio"}, "Add", "Edit", "Del",
         {u"Выберите! Выберите сотрудника из списка,\nдля его изменения!"_s,
          u"Выберите! Выберите сотрудника из списка,\nдля его удаления!"_s},
         u"Удалить сотрудника?"_s, std::array{Right::AddWorker, Right::EditWorker, Right::DeleteWorker}},
        {"bays", Make<CBayDirDlg>(), "list", u"Бокс 1"_s, 0, "CBayDlg", {"name"}, "Add", "Edit", "Del",
         {u"Выберите место оказания услуги (бокс или мойку),\nдля его изменения!"_s,
          u"Выберите место оказания услуги (бокс или мойку),\nдля его удаления!"_s}, u"Удалить бокс (мойку)?"_s},
        {"users", Make<CUserDirDlg>(), "list", u"petr"_s, 0, "CUserDlg", {"login", "name", "password"}, "add", "Edit", "Del",
         {u"Выберите пользователя,\nдля его редактирования!"_s, u"Выберите пользователя,\nдля его удаления!"_s},
         u"Удалить пользователя?"_s},
        {"clients", Make<CClientDirDlg>(), "list", u"Иванов И."_s, 1, "CClientDlg", {"ClientName"}, "add", "edit", "DEL",
         {u"Выберите клиента из списка\nдля его изменения!"_s, u"Выберите клиента из списка\nдля его удаления!"_s},
         u"Удалить выбранного клиента: Иванов И.?"_s},
        // Edit without a car does nothing.
        {"cars", Make<CCarDirDlg>(), "list", u"А123АА"_s, 0, "CCarDlg", {"plate"}, "add", "edit", "DEL",
         {u"Выберите автомобиль из списка\nдля его удаления!"_s}, u"Удалить выбранный автомобиль: А123АА?"_s},
    };
    // clang-format on
    return dirs;
}

}  // namespace

class DirectoryDlgTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        ServiceCard service{.name = u"Мойка кузова"_s, .price = Rub(300), .time = QTime(0, 30)};
        ServiceStore(db()).SaveCard(service, u"anna"_s);
        TestRows::Put(db(), TestRows::Worker{u"w1"_s, u"Петров П."_s});
        TestRows::Put(db(), TestRows::Bay{u"b1"_s, u"Бокс 1"_s});
        TestRows::Put(db(), TestRows::User{u"u2"_s, u"petr"_s, u"Петров Пётр"_s, u"x"_s});
        TestRows::Put(db(), TestRows::User{u"u3"_s, u"olga"_s, u"Орлова"_s, u"x"_s});
        TestRows::Put(db(), TestRows::Client{u"c1"_s, u"Иванов И."_s});
        TestRows::Put(db(), TestRows::Car{.key = u"a1"_s, .plate = u"А123АА"_s});
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(DirectoryDlgTest);

TEST_P(DirectoryDlgTest, KeysAndDoubleClickRunTheButtonsCommands) {
    for (const Directory &d : Directories()) {
        SCOPED_TRACE(d.name);
        std::unique_ptr<QDialog> dlg = d.make(*ctx);
        dlg->show();
        QTreeView *list = View(*dlg, d.list);
        list->setFocus();
        ASSERT_TRUE(SelectIndex(list, d.row, d.column).isValid());

        dialogs.opened.clear();
        Press(list, Qt::Key_Return);
        DoubleClick(list, FindIndex(list, d.row, d.column));
        // Insert opens a new card; what is typed there and saved with Enter shows in the list.
        dialogs.Then([&d](QDialog &c) {
            c.show();
            for (const char *field : d.fields) Edit(c, field)->setText(u"НОВЫЙ 1"_s);
            Press(Edit(c, d.fields[0]), Qt::Key_Return);
            return int(QDialog::Accepted);
        });
        Press(list, Qt::Key_Insert);
        EXPECT_EQ(dialogs.opened,
                  QStringList(3, QString::fromLatin1(d.card)));  // edit, edit (neither saved), add
        EXPECT_TRUE(FindIndex(list, u"НОВЫЙ 1"_s, d.column).isValid());

        // Delete asks, by name where the question has one; No keeps the row, Yes removes it.
        prompter.Clear();
        prompter.Answer(false);
        SelectIndex(list, d.row, d.column);
        Press(list, Qt::Key_Delete);
        EXPECT_EQ(prompter.confirms, QStringList{d.question});
        EXPECT_TRUE(FindIndex(list, d.row, d.column).isValid());
        SelectIndex(list, d.row, d.column);
        Press(list, Qt::Key_Delete);
        EXPECT_FALSE(FindIndex(list, d.row, d.column).isValid());
        EXPECT_TRUE(prompter.warnings.isEmpty() && prompter.errors.isEmpty())
            << prompter.All().join(u'|').toStdString();

        Press(list, Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible());
    }
}

TEST_P(DirectoryDlgTest, EditAndDeleteNeedARowAndEachCommandItsOwnRight) {
    for (const Directory &d : Directories()) {
        SCOPED_TRACE(d.name);
        prompter.Clear();
        std::unique_ptr<QDialog> dlg = d.make(*ctx);
        Click(*dlg, d.edit);
        Click(*dlg, d.del);
        EXPECT_EQ(prompter.All(), d.noSelection);
        EXPECT_TRUE(dialogs.opened.isEmpty());
        if (!d.rights) continue;
        // One right taken away at a time: only its own command is refused.
        const char *buttons[] = {d.add, d.edit, d.del};
        for (int denied = 0; denied < 3; ++denied) {
            QString rights(Rights::kCount, u'1');
            rights[Rights::Position((*d.rights)[denied])] = u'0';
            LogIn(rights);
            dlg = d.make(*ctx);
            for (int command = 0; command < 3; ++command) {
                SelectIndex(View(*dlg, d.list), d.row, d.column);
                prompter.Clear();
                prompter.Answer(false);  // an allowed delete stops at its question
                dialogs.opened.clear();
                Click(*dlg, buttons[command]);
                EXPECT_EQ(prompter.warnings == QStringList{Rights::kRefusal}, command == denied)
                    << "denied " << denied << ", command " << command;
                EXPECT_EQ(prompter.questions.isEmpty() && dialogs.opened.isEmpty(), command == denied);
            }
        }
        // A rights string too short for the positions grants nothing past its end; the menu checks too.
        LogIn(u"1111"_s);
        dlg = d.make(*ctx);
        prompter.Clear();
        for (const char *action : {"menuAdd", "menuEdit", "menuDelete"})
            Child<QAction>(*dlg, action)->trigger();
        EXPECT_EQ(prompter.warnings, QStringList(3, Rights::kRefusal));
        LogIn(QString(Rights::kCount, u'1'));
    }
}

TEST_P(DirectoryDlgTest, PickerChoosesTheRowOnDoubleClickWithoutOpeningACard) {
    CWorkerDirDlg workers(*ctx);
    workers.SetPicking(true);
    workers.show();
    DoubleClick(workers.list(), FindRow(workers.list(), u"Петров П."_s));
    EXPECT_TRUE(workers.Picked().size() == 1 && workers.Picked()[0].workFio == u"Петров П."_s);
    EXPECT_TRUE(dialogs.opened.isEmpty());  // no card was opened
}

// A directory opens on its first row, selected; an empty one in its search field.
TEST_P(DirectoryDlgTest, ADirectoryOpensOnItsFirstRowOrItsSearch) {
    CCarDirDlg cars(*ctx);
    Keyboard::Activate(cars);
    EXPECT_EQ(cars.list()->SelectedValue(KeyedModel::kKeyRole), u"a1"_s);
    db().Exec(u"DELETE FROM SClient"_s);
    CClientDirDlg clients(*ctx);
    Keyboard::Activate(clients);
    EXPECT_TRUE(Child<QWidget>(clients, "name")->isAncestorOf(QApplication::focusWidget()));
}

// A directory longer than a screen shows its first screen, then the rest once that is painted; the clerk
// keeps his row, and a row further down is found at once when asked for.
TEST_P(DirectoryDlgTest, ALongDirectoryShowsItsFirstScreenThenTheRestKeepingTheRow) {
    const int total = KeyedView::kFirstScreen + 10;
    for (int i = 0; i < total; ++i) {
        TestRows::Put(db(), TestRows::Car{.key = u"t%1"_s.arg(i),
                                          .plate = u"Т%1"_s.arg(i, 3, 10, QChar(u'0')),
                                          .owner = i == 7 ? u"c1"_s : QString()});
    }
    const auto plate = [](const QModelIndex &index) { return index.data().toString(); };
    {
        CCarDirDlg cars(*ctx);
        EXPECT_FALSE(cars.list()->Whole());
        EXPECT_LT(cars.list()->model()->rowCount(), KeyedView::kFirstScreen);
        ASSERT_TRUE(SelectIndex(cars.list(), u"Т005"_s).isValid());
        cars.list()->expand(FindIndex(cars.list(), u"Т007"_s));
        Keyboard::Activate(cars);  // painted: the rest follows
        QApplication::processEvents();
        EXPECT_TRUE(cars.list()->Whole());
        EXPECT_EQ(cars.list()->model()->rowCount(), total + 1);  // and the car of the fixture
        EXPECT_EQ(plate(cars.list()->Selected()), u"Т005"_s);
        EXPECT_TRUE(cars.list()->isExpanded(FindIndex(cars.list(), u"Т007"_s)));  // still unfolded
        EXPECT_FALSE(cars.list()->isExpanded(FindIndex(cars.list(), u"Т006"_s)));
    }
    {
        // Searched again before the rest came, as the order form's picker does: the filter lists still come.
        CCarDirDlg cars(*ctx);
        EXPECT_EQ(Child<QComboBox>(cars, "make")->count(), 0);
        cars.SetFilters(u"Т005"_s, {}, {});
        EXPECT_TRUE(cars.list()->Whole());
        EXPECT_EQ(Child<QComboBox>(cars, "make")->count(), 1);
    }
    {
        CCarDirDlg cars(*ctx);
        ASSERT_TRUE(cars.Select(u"t209"_s));
        EXPECT_TRUE(cars.list()->Whole());
        EXPECT_EQ(plate(cars.list()->currentIndex()), u"Т209"_s);
    }
    {
        // A heading's sort orders every row, not only the first screen's.
        CCarDirDlg cars(*ctx);
        cars.list()->header()->setSortIndicator(0, Qt::DescendingOrder);
        EXPECT_TRUE(cars.list()->Whole());
        EXPECT_EQ(plate(cars.list()->model()->index(0, 0)), u"Т209"_s);
        EXPECT_EQ(plate(cars.list()->model()->index(total, 0)), u"А123АА"_s);
    }
}

// The clients' debts sort as money (text would put 1000.00 before 200.00); each client keeps its cars and
// the current row stays on its client; a refill keeps the order chosen.
TEST(DirectoryModelTest, ClientsSortByDebtAsMoneyKeepingTheirCarsAndTheCurrentRow) {
    QList<ClientListRow> rows;
    for (const auto &[id, debt] : {std::pair{"k1", 100000}, {"k2", 20000}, {"k3", -5000}, {"k4", 0}}) {
        ClientListRow row;
        row.client.iddClient = row.client.clientName = QString::fromLatin1(id);
        row.debt = Money::Kopecks(debt);
        ClientCarRow car;
        car.iddAvtoVlad = u"l-"_s + id;
        car.avtoNomer = u"P-"_s + id;
        row.cars = {car};
        rows << row;
    }
    ClientListModel model;
    model.Set(rows);
    const auto column = [&model](int c) {
        QStringList texts;
        for (int r = 0; r < model.rowCount(); ++r) texts << model.index(r, c).data().toString();
        return texts.join(u' ');
    };
    const QPersistentModelIndex current = model.index(1, 0);
    const QPersistentModelIndex car = model.index(0, 0, model.index(0, 0));
    model.sort(ClientListModel::ColDebt, Qt::AscendingOrder);
    EXPECT_EQ(column(ClientListModel::ColDebt), u"-50.00 0.00 200.00 1000.00"_s);
    EXPECT_EQ(current.data(KeyedModel::kKeyRole).toString() + u' ' + QString::number(current.row()),
              u"k2 2"_s);
    EXPECT_EQ(car.data().toString() + u' ' + car.parent().data(ClientListModel::kNameRole).toString(),
              u"P-k1 k1"_s);
    EXPECT_EQ(model.index(0, 0, model.index(3, 0)).data(ClientListModel::kLinkRole).toString(), u"l-k1"_s);
    model.sort(ClientListModel::ColDebt, Qt::DescendingOrder);
    model.Set(rows);
    EXPECT_EQ(column(ClientListModel::ColDebt), u"1000.00 200.00 0.00 -50.00"_s);
    EXPECT_EQ(column(ClientListModel::ColName), u"k1 k2 k4 k3"_s);
    // Sorted by text where no value is given: names as a Russian reads them.
    model.sort(ClientListModel::ColName, Qt::DescendingOrder);
    EXPECT_EQ(column(ClientListModel::ColName), u"k4 k3 k2 k1"_s);
}
