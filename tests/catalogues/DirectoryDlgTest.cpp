// What all six directories share: the keyboard, the double-click, a selection the clerk can see and
// Russian captions.
#include "AppContext.h"
#include "BayStore.h"
#include "CBayDirDlg.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CServiceDirDlg.h"
#include "CUserDirDlg.h"
#include "CWorkerDirDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "KeyedList.h"
#include "Rub.h"
#include "Scripted.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "UserStore.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <algorithm>
#include <functional>
#include <memory>

namespace {

struct Directory {
    const char *name;
    std::function<std::unique_ptr<QDialog>(AppContext &)> make;
    const char *list;  // the list's object name
    QString row;       // the text of the seeded row in column `column`
    int column;
    const char *card;  // what Enter, a double-click and Insert open
};

template <class Dlg>
std::function<std::unique_ptr<QDialog>(AppContext &)> Make() {
    return [](AppContext &ctx) { return std::make_unique<Dlg>(ctx); };
}

const QList<Directory> &Directories() {
    static const QList<Directory> dirs = {
        {"services", Make<CServiceDirDlg>(), "services", QStringLiteral("Мойка кузова"), 0, "CServiceDlg"},
        {"workers", Make<CWorkerDirDlg>(), "list", QStringLiteral("Петров П."), 0, "CWorkerDlg"},
        {"bays", Make<CBayDirDlg>(), "list", QStringLiteral("Бокс 1"), 0, "CBayDlg"},
        {"users", Make<CUserDirDlg>(), "list", QStringLiteral("petr"), 0, "CUserDlg"},
        {"clients", Make<CClientDirDlg>(), "list", QStringLiteral("Иванов И."), 1, "CClientDlg"},
        {"cars", Make<CCarDirDlg>(), "list", QStringLiteral("А123АА"), 0, "CCarDlg"},
    };
    return dirs;
}

// The colour most pixels of a rectangle have.
QRgb Dominant(const QImage &image, const QRect &rect) {
    QHash<QRgb, int> colours;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) ++colours[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = colours.cbegin(); it != colours.cend(); ++it)
        if (it.value() > most) std::tie(best, most) = std::pair(it.key(), it.value());
    return best;
}

int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

}  // namespace

class DirectoryDlgTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QString login = QStringLiteral("anna");
        ServiceCard service;
        service.name = QStringLiteral("Мойка кузова");
        service.price = Rub(300);
        service.time = QTime(0, 30);
        ServiceStore(db()).SaveCard(service, login);
        WorkerRecord worker;
        worker.workFio = QStringLiteral("Петров П.");
        worker.workTel = QStringLiteral("+7 (912) 345-67-89");
        worker.workDataIn = QDateTime(QDate(2022, 1, 10), QTime(9, 0));
        WorkerStore(db()).Insert(worker, login);
        BayStore(db()).Add(QStringLiteral("Бокс 1"), QStringLiteral("у ворот"), login);
        UserStore(db()).Save(UserRecord{QStringLiteral("u2"), QStringLiteral("petr"), QString(),
                                        QStringLiteral("Петров Пётр"), QString(28, u'1'), false},
                             QStringLiteral("secret"));
        ClientRecord client;
        client.iddClient = QStringLiteral("c1");
        client.clientName = QStringLiteral("Иванов И.");
        ClientStore(db()).Save(client);
        CarRecord car;
        car.iddAvto = QStringLiteral("a1");
        car.avtoNomer = QStringLiteral("А123АА");
        QList<CarOwner> owners;
        CarStore(db()).Save(car, owners, login);
    }

    AppContext Ctx() {
        return AppContext(
            db(),
            UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), QString(28, u'1')},
            prompter, dialogs, m_dir.path());
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(DirectoryDlgTest);

TEST_P(DirectoryDlgTest, KeysAndDoubleClickRunTheButtonsCommands) {
    AppContext ctx = Ctx();
    for (const Directory &d : Directories()) {
        SCOPED_TRACE(d.name);
        std::unique_ptr<QDialog> dlg = d.make(ctx);
        dlg->show();
        QTreeWidget *list = List(*dlg, d.list);
        list->setFocus();
        QTreeWidgetItem *row = SelectRow(list, d.row, d.column);
        ASSERT_NE(row, nullptr);
        const QString card = QString::fromLatin1(d.card);

        dialogs.opened.clear();
        Press(list, Qt::Key_Return);
        DoubleClick(list, FindRow(list, d.row, d.column));
        // The new card speaks Russian too, and Enter in it goes to its saving button.
        dialogs.Then([](QDialog &c) {
            for (const QPushButton *b : c.findChildren<QPushButton *>()) {
                EXPECT_FALSE(b->text().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                    << b->text().toStdString();
                if (b->isDefault()) {
                    EXPECT_TRUE(b->text() == QStringLiteral("ОК") ||
                                b->text() == QStringLiteral("Сохранить"));
                }
            }
            const QList<QPushButton *> buttons = c.findChildren<QPushButton *>();
            EXPECT_EQ(std::count_if(buttons.begin(), buttons.end(),
                                    [](const QPushButton *b) { return b->isDefault(); }),
                      1);
            return int(QDialog::Rejected);
        });
        Press(list, Qt::Key_Insert);
        EXPECT_EQ(dialogs.opened, QStringList(3, card));  // edit, edit, add; none of them saved

        prompter.Clear();
        prompter.Answer(false);
        SelectRow(list, d.row, d.column);
        Press(list, Qt::Key_Delete);
        EXPECT_EQ(prompter.questions.size(), 1);
        EXPECT_TRUE(prompter.warnings.isEmpty()) << prompter.warnings.join(u'|').toStdString();
        EXPECT_NE(FindRow(list, d.row, d.column), nullptr);  // answered No: still there

        // The right-click menu offers the same three commands.
        EXPECT_EQ(Child<QMenu>(*list, "")->actions().size(), 3);

        // Only Russian on the buttons; the resource names stay behind them.
        for (const QPushButton *b : dlg->findChildren<QPushButton *>())
            EXPECT_FALSE(b->text().contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                << b->text().toStdString();

        Press(list, Qt::Key_Escape);
        EXPECT_FALSE(dlg->isVisible());
    }
}

TEST_P(DirectoryDlgTest, PickersChooseTheRowOnEnterAndDoubleClick) {
    AppContext ctx = Ctx();
    CClientDirDlg clients(ctx);
    clients.SetPicking(true);
    clients.show();
    SelectRow(clients.list(), QStringLiteral("Иванов И."), 1);
    Press(clients.list(), Qt::Key_Return);
    EXPECT_FALSE(clients.isVisible());
    EXPECT_EQ(clients.result(), QDialog::Accepted);
    EXPECT_EQ(clients.iddClient(), QStringLiteral("c1"));

    CCarDirDlg cars(ctx);
    cars.SetPicking(true);
    cars.show();
    DoubleClick(cars.list(), FindRow(cars.list(), QStringLiteral("А123АА")));
    EXPECT_EQ(cars.iddAvto(), QStringLiteral("a1"));
    EXPECT_FALSE(cars.isVisible());

    CWorkerDirDlg workers(ctx);
    workers.SetPicking(true);
    workers.show();
    DoubleClick(workers.list(), FindRow(workers.list(), QStringLiteral("Петров П.")));
    ASSERT_EQ(workers.Picked().size(), 1);
    EXPECT_EQ(workers.Picked()[0].workFio, QStringLiteral("Петров П."));
    EXPECT_EQ(workers.result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.opened.isEmpty());  // no card was opened
}

TEST_P(DirectoryDlgTest, SelectedRowIsDrawnAndNamesAreNotCutOff) {
    AppContext ctx = Ctx();
    for (const Directory &d : Directories()) {
        SCOPED_TRACE(d.name);
        std::unique_ptr<QDialog> dlg = d.make(ctx);
        dlg->show();
        QTreeWidget *list = List(*dlg, d.list);
        QTreeWidgetItem *row = SelectRow(list, d.row, d.column);
        ASSERT_NE(row, nullptr);
        dlg->activateWindow();
        list->setFocus();

        const QImage image = list->viewport()->grab().toImage();
        const QRect selected = list->visualItemRect(row).intersected(image.rect());
        ASSERT_FALSE(selected.isEmpty());
        // Below the rows the list shows its plain background.
        const int last = list->visualItemRect(list->topLevelItem(list->topLevelItemCount() - 1)).bottom();
        const QRect empty(0, last + 4, image.width(), 8);
        ASSERT_LT(empty.bottom(), image.height());
        const QRgb rowColour = Dominant(image, selected);
        EXPECT_GT(Distance(rowColour, Dominant(image, empty)), 60) << "selection not highlighted";
        // The row's text stands out from the highlight.
        int text = 0;
        for (int y = selected.top(); y <= selected.bottom(); ++y)
            for (int x = selected.left(); x <= selected.right(); ++x)
                if (Distance(image.pixel(x, y), rowColour) > 150) ++text;
        EXPECT_GT(text, 20) << "selected row's text is not visible";

        // The window opens wide enough to show every column without scrolling sideways.
        EXPECT_LE(list->header()->length(), list->viewport()->width());
        // Every column is wide enough for its heading and its widest text, the name column included.
        const QAbstractItemView *view = list;
        for (int c = 0; c < list->columnCount(); ++c) {
            if (list->isColumnHidden(c) || list->columnWidth(c) <= 1) continue;
            EXPECT_GE(list->columnWidth(c),
                      std::max(view->sizeHintForColumn(c), list->header()->sectionSizeHint(c)))
                << c;
        }
        dlg->close();
    }
}
