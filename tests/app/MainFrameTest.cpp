#include "AboutDlg.h"
#include "AppContext.h"
#include "Commands.h"
#include "Database.h"
#include "MainFrame.h"
#include "Scripted.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

// Rights with every position granted except `denied`.
QString AllBut(int denied) {
    QString r(Rights::kCount, u'1');
    r[denied] = u'0';
    return r;
}

QStringList Texts(const QMenu *menu) {
    QStringList texts;
    for (const QAction *a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void Flush() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

}  // namespace

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = Database::Open(QStringLiteral("SQLITE;DATABASE=") +
                            dir.filePath(QStringLiteral("Quellmarod.db")));
    }

    std::unique_ptr<CMainFrame> Frame(const QString &rights) {
        ctx = std::make_unique<AppContext>(
            *db, UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, dir.path());
        return std::make_unique<CMainFrame>(*ctx);
    }

    QMenu *Menu(CMainFrame &f, const QString &title) {
        for (QAction *a : f.menuBar()->actions())
            if (a->text() == title) return a->menu();
        return nullptr;
    }

    // A kind of child window for the tests: plain widgets that record the commands they receive.
    ChildKind Kind(const QString &viewName, QStringList *log) {
        ChildKind spec;
        spec.editMenu = {{32800, QStringLiteral("Добавить")},
                         {32801, QStringLiteral("Изменить")},
                         {},
                         {Cmd::kPrint, QStringLiteral("&Печать...\tCtrl+P")}};
        spec.toolbar = {32800, 32801, Cmd::kPrint};
        spec.open = [viewName] {
            auto *w = new QWidget;
            w->setObjectName(viewName);
            w->setWindowTitle(viewName);
            return w;
        };
        spec.command = [log](QWidget *view, int id) {
            *log << view->objectName() + u':' + QString::number(id);
        };
        return spec;
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
};

TEST_F(MainFrameTest, MenusWithoutChildWindows) {
    auto frame = Frame(QString(Rights::kCount, u'1'));
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kNone);
    EXPECT_EQ(frame->MenuTitles(),
              QStringList({"&Файл", "Журналы", "Отчеты", "Справочники", "&Вид", "Сервис", "&?"}));
    EXPECT_EQ(Texts(Menu(*frame, "&Файл")), QStringList({"В&ыход"}));
    EXPECT_EQ(Texts(Menu(*frame, "Журналы")), QStringList({"Журнал заказов", "Журнал кассы", "Журнал З/П"}));
    EXPECT_EQ(Texts(Menu(*frame, "Отчеты")),
              QStringList({"Отчет о выполненных работах", "Отчет о расчетах с сотрудниками"}));
    EXPECT_EQ(
        Texts(Menu(*frame, "Справочники")),
        QStringList({"Основные сведения", "Справочник услуг", "Справочник сотрудников", "Справочник боксов",
                     "Справочник автомобилей", "Справочник клиентов", "Справочник пользователей"}));
    EXPECT_EQ(Texts(Menu(*frame, "&Вид")), QStringList({"Панели &инструментов", "Строка &статуса"}));
    EXPECT_EQ(Texts(Menu(*frame, "Сервис")),
              QStringList({"Настройка нумерации", "-", "Резервная копия базы данных...",
                           "Восстановить из резервной копии..."}));
    EXPECT_EQ(Texts(Menu(*frame, "&?")), QStringList({"&О программе ..."}));
    EXPECT_EQ(frame->Action(Cmd::kBays)->text(), QStringLiteral("Справочник боксов"));
    EXPECT_EQ(frame->Action(Cmd::kWorksReport)->statusTip(),
              QStringLiteral("Отчет о выполненных работах сотрудниками"));
    EXPECT_EQ(frame->Action(Cmd::kPrint)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_TRUE(frame->actions().contains(frame->Action(Cmd::kPrint)));  // Ctrl+P with any menu

    // The status bar: the idle text and the three key panes.
    const auto *ready = frame->statusBar()->findChild<QLabel *>(QStringLiteral("readyPane"));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), QStringLiteral("Готов"));
    for (const char *pane : {"CAP", "NUM", "SCRL"})
        EXPECT_NE(frame->statusBar()->findChild<QLabel *>(QLatin1StringView(pane)), nullptr) << pane;
    EXPECT_EQ(frame->MainToolBar()->actions(), QList<QAction *>{frame->Action(Cmd::kAbout)});

    // Nothing registered yet: the journal commands pass the rights check and open nothing.
    for (int id :
         {Cmd::kOrderJournal, Cmd::kCashJournal, Cmd::kSalaryJournal, Cmd::kWorksReport, Cmd::kBalanceReport})
        frame->Action(id)->trigger();
    EXPECT_TRUE(frame->Mdi()->subWindowList().isEmpty());
    EXPECT_TRUE(prompter.All().isEmpty());
}

TEST_F(MainFrameTest, EveryGuardedCommandChecksItsRightWhenItRuns) {
    struct Guard {
        int command;
        int right;
    };
    const Guard guards[] = {{Cmd::kOrderJournal, 0}, {Cmd::kCashJournal, 9},    {Cmd::kSalaryJournal, 13},
                            {Cmd::kWorksReport, 25}, {Cmd::kBalanceReport, 26}, {Cmd::kCompany, 17},
                            {Cmd::kUsers, 18},       {Cmd::kNumbering, 27}};
    for (const Guard &g : guards) {
        for (const QString &rights : {AllBut(g.right), QString(g.right, u'1'), QString()}) {
            prompter.Clear();
            dialogs.opened.clear();
            auto frame = Frame(rights);
            int opened = 0;
            for (int kind :
                 {ChildKindId::kOrderJournal, ChildKindId::kCashJournal, ChildKindId::kSalaryJournal,
                  ChildKindId::kWorksReport, ChildKindId::kBalanceReport}) {
                ChildKind spec;
                spec.open = [&opened] {
                    ++opened;
                    return new QWidget;
                };
                frame->RegisterChildKind(kind, spec);
            }
            frame->SetCatalogueOpener(Cmd::kUsers, [&opened] { ++opened; });
            frame->Action(g.command)->trigger();
            EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal}) << g.command << " " << rights.size();
            EXPECT_EQ(opened, 0) << g.command;
            EXPECT_TRUE(dialogs.opened.isEmpty()) << g.command;
            EXPECT_TRUE(frame->Mdi()->subWindowList().isEmpty()) << g.command;
        }
    }
    EXPECT_EQ(Rights::kRefusal, QStringLiteral("Вы не имеете прав на данное действие!\nЕсли вам необходимо "
                                               "выполнять данную работу,\nизмените прова пользователя в "
                                               "справочнике пользователей!"));
}

TEST_F(MainFrameTest, CataloguesOpenTheirDirectoriesAndOnlyUsersNeedARight) {
    auto frame = Frame(AllBut(18));
    for (int id : {Cmd::kServices, Cmd::kWorkers, Cmd::kBays, Cmd::kCars, Cmd::kClients, Cmd::kUsers})
        frame->Action(id)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList({QStringLiteral("CServiceDirDlg"), QStringLiteral("CWorkerDirDlg"),
                                           QStringLiteral("CBayDirDlg"), QStringLiteral("CCarDirDlg"),
                                           QStringLiteral("CClientDirDlg")}));
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});

    dialogs.opened.clear();
    auto granted = Frame(QStringLiteral("0000000000000000001"));  // only right 18
    granted->Action(Cmd::kUsers)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CUserDirDlg")});
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(MainFrameTest, JournalAndReportItemsAreGreyedUntilTheirWindowsExist) {
    auto frame = Frame(QString(Rights::kCount, u'1'));
    const int journals[] = {Cmd::kOrderJournal, Cmd::kCashJournal, Cmd::kSalaryJournal, Cmd::kWorksReport,
                            Cmd::kBalanceReport};
    for (int id : journals) EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
    ChildKind cash;
    cash.open = [] { return new QWidget; };
    frame->RegisterChildKind(ChildKindId::kCashJournal, cash);
    for (int id : journals) EXPECT_EQ(frame->Action(id)->isEnabled(), id == Cmd::kCashJournal) << id;
    EXPECT_TRUE(frame->Action(Cmd::kServices)->isEnabled());
}

TEST_F(MainFrameTest, MenusAndToolbarsFollowTheActiveChildKind) {
    auto frame = Frame(QString(Rights::kCount, u'1'));
    frame->show();
    QStringList log;
    ChildKind cash = Kind(QStringLiteral("cash"), &log);
    frame->RegisterChildKind(ChildKindId::kCashJournal, cash);
    ChildKind salary = Kind(QStringLiteral("salary"), &log);
    salary.editMenu = {{32796, QStringLiteral("Добавить")}, {}, {32799, QStringLiteral("Печать ведомости")}};
    salary.toolbar = {32796, 32799};
    frame->RegisterChildKind(ChildKindId::kSalaryJournal, salary);
    ChildKind report;  // a report: no "&Правка", a toolbar with print only
    report.toolbar = {Cmd::kPrint};
    report.open = [] { return new QWidget; };
    frame->RegisterChildKind(ChildKindId::kWorksReport, report);

    frame->Action(Cmd::kCashJournal)->trigger();
    frame->Action(Cmd::kCashJournal)->trigger();  // two independent windows of one kind
    ASSERT_EQ(frame->Mdi()->subWindowList().size(), 2);
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kCashJournal);
    const QStringList childMenus = {"&Файл", "&Правка", "Журналы", "Отчеты", "Справочники",
                                    "&Вид",  "&Окно",   "Сервис",  "&?"};
    EXPECT_EQ(frame->MenuTitles(), childMenus);
    EXPECT_EQ(Texts(Menu(*frame, "&Файл")), QStringList({"&Печать...\tCtrl+P", "-", "&Закрыть", "В&ыход"}));
    EXPECT_EQ(Texts(Menu(*frame, "&Правка")),
              QStringList({"Добавить", "Изменить", "-", "&Печать...\tCtrl+P"}));
    EXPECT_EQ(Texts(Menu(*frame, "&Вид")), QStringList({"Панели &инструментов", "Полоса &статуса"}));
    EXPECT_EQ(Texts(Menu(*frame, "&Окно")).mid(0, 4),
              QStringList({"&Новое", "&Каскад", "&Черепица", "&Упорядочить Значки"}));
    QToolBar *cashBar = frame->KindToolBar(ChildKindId::kCashJournal);
    ASSERT_NE(cashBar, nullptr);
    EXPECT_EQ(cashBar->windowTitle(), QStringLiteral("Toolbar #1"));
    EXPECT_EQ(cashBar->actions().size(), 3);
    EXPECT_TRUE(cashBar->isVisible());
    EXPECT_EQ(frame->KindToolBar(ChildKindId::kSalaryJournal), nullptr);  // made when first needed

    // The kind's commands and Ctrl+P's print go to the active window's view.
    Menu(*frame, "&Правка")->actions().at(1)->trigger();
    frame->Action(Cmd::kPrint)->trigger();
    EXPECT_EQ(log, QStringList({"cash:32801", "cash:57607"}));

    frame->Action(Cmd::kSalaryJournal)->trigger();
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kSalaryJournal);
    EXPECT_EQ(Texts(Menu(*frame, "&Правка")), QStringList({"Добавить", "-", "Печать ведомости"}));
    QToolBar *salaryBar = frame->KindToolBar(ChildKindId::kSalaryJournal);
    ASSERT_NE(salaryBar, nullptr);
    EXPECT_EQ(salaryBar->windowTitle(), QStringLiteral("Toolbar #2"));
    EXPECT_TRUE(salaryBar->isVisible());
    EXPECT_FALSE(cashBar->isVisible());
    Menu(*frame, "&Правка")->actions().at(0)->trigger();
    EXPECT_EQ(log.last(), QStringLiteral("salary:32796"));

    // Back to a cash window: its menu and its (same) toolbar return.
    frame->Mdi()->setActiveSubWindow(frame->Mdi()->subWindowList().at(0));
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kCashJournal);
    EXPECT_EQ(frame->KindToolBar(ChildKindId::kCashJournal), cashBar);
    EXPECT_TRUE(cashBar->isVisible());
    EXPECT_FALSE(salaryBar->isVisible());
    EXPECT_EQ(Texts(Menu(*frame, "&Правка")).first(), QStringLiteral("Добавить"));
    EXPECT_EQ(Menu(*frame, "&Правка")->actions().size(), 4);

    // A report has no "&Правка" pop-up.
    frame->Action(Cmd::kWorksReport)->trigger();
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kWorksReport);
    EXPECT_FALSE(frame->MenuTitles().contains(QStringLiteral("&Правка")));
    EXPECT_FALSE(cashBar->isVisible());

    // "&Новое" opens another window of the active kind.
    frame->Action(Cmd::kWindowNew)->trigger();
    EXPECT_EQ(frame->Mdi()->subWindowList().size(), 5);

    // Closing every window brings back the frame's own menu and hides every kind's toolbar.
    frame->Mdi()->closeAllSubWindows();
    Flush();
    EXPECT_TRUE(frame->Mdi()->subWindowList().isEmpty());
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kNone);
    EXPECT_EQ(frame->MenuTitles(),
              QStringList({"&Файл", "Журналы", "Отчеты", "Справочники", "&Вид", "Сервис", "&?"}));
    for (int kind : {ChildKindId::kCashJournal, ChildKindId::kSalaryJournal, ChildKindId::kWorksReport})
        if (QToolBar *bar = frame->KindToolBar(kind)) {
            EXPECT_FALSE(bar->isVisible()) << kind;
        }
    EXPECT_TRUE(frame->MainToolBar()->isVisible());
    frame->Action(Cmd::kPrint)->trigger();  // no window: Ctrl+P does nothing
    EXPECT_EQ(log.size(), 3);
}

TEST_F(MainFrameTest, BarTogglesAndAboutBoxHelp) {
    auto frame = Frame(QString(Rights::kCount, u'1'));
    frame->show();
    frame->Action(Cmd::kToolbar)->trigger();
    EXPECT_FALSE(frame->MainToolBar()->isVisible());
    frame->Action(Cmd::kStatusBar)->trigger();
    EXPECT_FALSE(frame->statusBar()->isVisible());
    frame->Action(Cmd::kStatusBar)->trigger();
    EXPECT_TRUE(frame->statusBar()->isVisible());

    QList<QUrl> opened;
    auto clickHelp = [&opened](QDialog &d) {
        auto &about = dynamic_cast<CAboutDlg &>(d);
        EXPECT_EQ(about.windowTitle(), QStringLiteral("О программе"));
        EXPECT_EQ(about.HelpButton()->text(), QStringLiteral("Help"));
        about.SetUrlOpener([&opened](const QUrl &url) {
            opened << url;
            return true;
        });
        about.HelpButton()->click();
        about.OkButton()->click();
        return about.result();
    };
    dialogs.Then(clickHelp);
    frame->Action(Cmd::kAbout)->trigger();
    EXPECT_TRUE(opened.isEmpty());  // no help.doc: nothing, and no message
    EXPECT_TRUE(prompter.All().isEmpty());

    QFile help(dir.filePath(QStringLiteral("help.doc")));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    dialogs.Then(clickHelp);
    frame->Action(Cmd::kAbout)->trigger();
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(QStringLiteral("help.doc")))});
    EXPECT_EQ(dialogs.opened, QStringList({QStringLiteral("CAboutDlg"), QStringLiteral("CAboutDlg")}));
}
