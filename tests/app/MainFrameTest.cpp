#include "AboutDlg.h"
#include "Commands.h"
#include "MainFrame.h"
#include "ScreenTest.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

namespace {

// Rights with every position granted except `denied`.
QString AllBut(int denied) {
    QString r(Rights::kCount, u'1');
    r[denied] = u'0';
    return r;
}

// Every menu of the bar with its items: "Title: item, item, -, item" a menu a line.
QString Menus(const CMainFrame &frame) {
    QStringList menus;
    for (const QAction *m : frame.menuBar()->actions()) {
        QStringList items;
        for (const QAction *a : m->menu()->actions()) items << (a->isSeparator() ? QString("-") : a->text());
        menus << m->text() + ": " + items.join(", ");
    }
    return menus.join(u'\n');
}

void Flush() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// What the frame shows: the active kind, the windows, the edit menu (the second menu), the visible toolbars.
std::string State(CMainFrame &f) {
    QStringList bars;
    for (const QToolBar *b : f.findChildren<QToolBar *>())
        if (b->isVisible()) bars << b->windowTitle() + ':' + QString::number(b->actions().size());
    bars.sort();
    return QString("kind %1, %2 windows; %3; bars %4")
        .arg(f.ShownKind())
        .arg(f.Mdi()->subWindowList().size())
        .arg(Menus(f).section(u'\n', 1, 1), bars.join(u' '))
        .toStdString();
}

QMenu *Menu(CMainFrame &f, const QString &title) {
    for (QAction *a : f.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

}  // namespace

class MainFrameTest : public ScreenTest {
protected:
    std::unique_ptr<CMainFrame> Frame(const QString &rights = QString(Rights::kCount, u'1')) {
        LogIn(rights);
        return std::make_unique<CMainFrame>(*ctx);
    }
    // A kind of child window whose plain views record the commands they receive.
    static ChildKind Kind(const QString &name, QStringList *log, const QList<CommandItem> &menu,
                          const QList<int> &toolbar) {
        return {menu, toolbar, false,
                [name] {
                    auto *w = new QWidget;
                    w->setObjectName(name);
                    return w;
                },
                [log](QWidget *view, int id) { *log << view->objectName() + u':' + QString::number(id); }};
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(MainFrameTest);

TEST_P(MainFrameTest, MenusWithoutChildWindows) {
    auto frame = Frame();
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kNone);
    const QString idle = Menus(*frame);
    EXPECT_EQ(frame->MenuTitles(),
              QStringList({"&Файл", "Журналы", "Отчеты", "Справочники", "&Вид", "Сервис", "&?"}));
    EXPECT_TRUE(
        idle.contains("Сервис: Настройка нумерации, -, Резервная копия базы данных..., Восстановить"));
    EXPECT_EQ(frame->Action(Cmd::kPrint)->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_TRUE(frame->actions().contains(frame->Action(Cmd::kPrint)));  // Ctrl+P with any menu
    EXPECT_EQ(frame->MainToolBar()->actions(), QList<QAction *>{frame->Action(Cmd::kAbout)});

    // Nothing registered yet: the journal commands are greyed, pass the rights check and open nothing.
    const int journals[] = {Cmd::kOrderJournal, Cmd::kCashJournal, Cmd::kSalaryJournal, Cmd::kWorksReport,
                            Cmd::kBalanceReport};
    for (int id : journals) {
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
        frame->Action(id)->trigger();
    }
    EXPECT_TRUE(frame->Mdi()->subWindowList().isEmpty());
    EXPECT_TRUE(prompter.All().isEmpty());
    frame->RegisterChildKind(ChildKindId::kCashJournal, {{}, {}, false, [] { return new QWidget; }, {}});
    for (int id : journals) EXPECT_EQ(frame->Action(id)->isEnabled(), id == Cmd::kCashJournal) << id;
    EXPECT_TRUE(frame->Action(Cmd::kServices)->isEnabled());

    // Closing every window brings back this menu.
    QStringList log;
    frame->RegisterChildKind(ChildKindId::kCashJournal, Kind("cash", &log, {}, {}));
    frame->Action(Cmd::kCashJournal)->trigger();
    EXPECT_NE(Menus(*frame), idle);
    frame->Mdi()->closeAllSubWindows();
    Flush();
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kNone);
    EXPECT_EQ(Menus(*frame), idle);
    frame->Action(Cmd::kPrint)->trigger();  // no window: Ctrl+P does nothing
    EXPECT_TRUE(log.isEmpty());
}

TEST_P(MainFrameTest, EveryGuardedCommandChecksItsRightWhenItRuns) {
    const struct {
        int command, right;
    } guards[] = {{Cmd::kOrderJournal, 0}, {Cmd::kCashJournal, 9},    {Cmd::kSalaryJournal, 13},
                  {Cmd::kWorksReport, 25}, {Cmd::kBalanceReport, 26}, {Cmd::kCompany, 17},
                  {Cmd::kUsers, 18},       {Cmd::kNumbering, 27}};
    for (const auto &g : guards) {
        for (const QString &rights : {AllBut(g.right), QString(g.right, u'1'), QString()}) {
            prompter.Clear();
            dialogs.opened.clear();
            auto frame = Frame(rights);
            int opened = 0;
            for (int kind :
                 {ChildKindId::kOrderJournal, ChildKindId::kCashJournal, ChildKindId::kSalaryJournal,
                  ChildKindId::kWorksReport, ChildKindId::kBalanceReport})
                frame->RegisterChildKind(kind,
                                         {{}, {}, false, [&opened] { return ++opened, new QWidget; }, {}});
            frame->SetCatalogueOpener(Cmd::kUsers, [&opened] { ++opened; });
            frame->Action(g.command)->trigger();
            EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal}) << g.command << " " << rights.size();
            EXPECT_EQ(opened, 0) << g.command;
            EXPECT_TRUE(dialogs.opened.isEmpty()) << g.command;
            EXPECT_TRUE(frame->Mdi()->subWindowList().isEmpty()) << g.command;
        }
    }
}

TEST_P(MainFrameTest, CataloguesOpenTheirDirectoriesAndOnlyUsersNeedARight) {
    auto frame = Frame(AllBut(18));
    for (int id : {Cmd::kServices, Cmd::kWorkers, Cmd::kBays, Cmd::kCars, Cmd::kClients, Cmd::kUsers})
        frame->Action(id)->trigger();
    EXPECT_EQ(dialogs.opened,
              QStringList({"CServiceDirDlg", "CWorkerDirDlg", "CBayDirDlg", "CCarDirDlg", "CClientDirDlg"}));
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});

    dialogs.opened.clear();
    frame.reset();
    Frame("0000000000000000001")->Action(Cmd::kUsers)->trigger();  // only right 18
    EXPECT_EQ(dialogs.opened, QStringList{"CUserDirDlg"});
    EXPECT_EQ(prompter.warnings.size(), 1);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_P(MainFrameTest, MenusAndToolbarsFollowTheActiveChildKind) {
    auto frame = Frame();
    frame->show();
    QStringList log;
    frame->RegisterChildKind(
        ChildKindId::kCashJournal,
        Kind("cash", &log,
             {{32800, "Добавить"}, {32801, "Изменить"}, {}, {Cmd::kPrint, "&Печать...\tCtrl+P"}},
             {32800, 32801, Cmd::kPrint}));
    frame->RegisterChildKind(
        ChildKindId::kSalaryJournal,
        Kind("salary", &log, {{32796, "Добавить"}, {}, {32799, "Печать ведомости"}}, {32796, 32799}));
    // A report: no "&Правка", a toolbar with print only.
    frame->RegisterChildKind(ChildKindId::kWorksReport, Kind("works", &log, {}, {Cmd::kPrint}));

    frame->Action(Cmd::kCashJournal)->trigger();
    frame->Action(Cmd::kCashJournal)->trigger();  // two independent windows of one kind
    EXPECT_EQ(State(*frame),
              "kind 103, 2 windows; &Правка: Добавить, Изменить, -, &Печать...\tCtrl+P; bars Toolbar #1:3 "
              "Стандартная:1");
    EXPECT_EQ(Menus(*frame).section(u'\n', 0, 0), "&Файл: &Печать...\tCtrl+P, -, &Закрыть, В&ыход");
    EXPECT_EQ(frame->MenuTitles(), QStringList({"&Файл", "&Правка", "Журналы", "Отчеты", "Справочники",
                                                "&Вид", "&Окно", "Сервис", "&?"}));
    EXPECT_EQ(Menu(*frame, "&Вид")->actions().at(1)->text(), "Полоса &статуса");
    EXPECT_TRUE(Menus(*frame).contains("&Окно: &Новое, &Каскад, &Черепица, &Упорядочить Значки"));
    QToolBar *cashBar = frame->KindToolBar(ChildKindId::kCashJournal);
    EXPECT_EQ(frame->KindToolBar(ChildKindId::kSalaryJournal), nullptr);  // made when first needed

    // The kind's commands and Ctrl+P's print go to the active window's view.
    Menu(*frame, "&Правка")->actions().at(1)->trigger();
    frame->Action(Cmd::kPrint)->trigger();
    frame->Action(Cmd::kSalaryJournal)->trigger();
    EXPECT_EQ(State(*frame),
              "kind 109, 3 windows; &Правка: Добавить, -, Печать ведомости; bars Toolbar #2:2 Стандартная:1");
    Menu(*frame, "&Правка")->actions().at(0)->trigger();
    EXPECT_EQ(log, QStringList({"cash:32801", "cash:57607", "salary:32796"}));

    // Back to a cash window: its menu and its (same) toolbar return.
    frame->Mdi()->setActiveSubWindow(frame->Mdi()->subWindowList().at(0));
    EXPECT_EQ(State(*frame),
              "kind 103, 3 windows; &Правка: Добавить, Изменить, -, &Печать...\tCtrl+P; bars Toolbar #1:3 "
              "Стандартная:1");
    EXPECT_EQ(frame->KindToolBar(ChildKindId::kCashJournal), cashBar);

    // A report has no "&Правка" pop-up; "&Новое" opens another window of the active kind.
    frame->Action(Cmd::kWorksReport)->trigger();
    frame->Action(Cmd::kWindowNew)->trigger();
    EXPECT_EQ(State(*frame),
              "kind 105, 5 windows; Журналы: Журнал заказов, Журнал кассы, Журнал З/П; bars Toolbar #3:1 "
              "Стандартная:1");
    EXPECT_FALSE(frame->MenuTitles().contains("&Правка"));
    EXPECT_EQ(frame->Mdi()->activeSubWindow()->widget()->objectName(), "works");

    // Closing every window hides every kind's toolbar.
    frame->Mdi()->closeAllSubWindows();
    Flush();
    EXPECT_EQ(State(*frame),
              "kind 128, 0 windows; Журналы: Журнал заказов, Журнал кассы, Журнал З/П; bars Стандартная:1");
}

TEST_P(MainFrameTest, BarTogglesAndAboutBoxHelp) {
    auto frame = Frame();
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
        about.SetUrlOpener([&opened](const QUrl &url) { return opened << url, true; });
        about.HelpButton()->click();
        about.OkButton()->click();
        return about.result();
    };
    dialogs.Then(clickHelp);
    frame->Action(Cmd::kAbout)->trigger();
    EXPECT_TRUE(opened.isEmpty());  // no help.doc: nothing, and no message
    EXPECT_TRUE(prompter.All().isEmpty());

    QFile help(m_dir.filePath("help.doc"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    dialogs.Then(clickHelp);
    frame->Action(Cmd::kAbout)->trigger();
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(m_dir.filePath("help.doc"))});
    EXPECT_EQ(dialogs.opened, QStringList({"CAboutDlg", "CAboutDlg"}));
}
