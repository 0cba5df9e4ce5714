#include "Commands.h"
#include "MainFrame.h"
#include "ScreenTest.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// Rights with every position granted except `denied`.
QString AllBut(int denied) {
    QString r(Rights::kCount, u'1');
    r[denied] = u'0';
    return r;
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
    // A kind of child window whose views, labels with its name, record the commands they receive.
    static ChildKind Kind(const QString &name, QStringList *log, const QList<CommandItem> &menu) {
        return {menu,
                {},
                false,
                [name] { return new QLabel(name); },
                [log](QWidget *view, int id) {
                    *log << qobject_cast<QLabel *>(view)->text() + u':' + QString::number(id);
                }};
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(MainFrameTest);

// A kind's commands and Ctrl+P reach the active window's view; a journal nobody registered stays greyed.
TEST_P(MainFrameTest, CommandsGoToTheActiveWindowsView) {
    auto frame = Frame();
    frame->show();
    QStringList log;
    frame->RegisterChildKind(
        ChildKindId::kCashJournal,
        Kind("cash", &log, {{32800, "Добавить"}, {32801, "Изменить"}, {Cmd::kPrint, "Печать"}}));
    frame->RegisterChildKind(ChildKindId::kSalaryJournal, Kind("salary", &log, {{32796, "Добавить"}}));
    EXPECT_TRUE(frame->Action(Cmd::kCashJournal)->isEnabled());
    EXPECT_FALSE(frame->Action(Cmd::kOrderJournal)->isEnabled());

    frame->Action(Cmd::kCashJournal)->trigger();
    Menu(*frame, "&Правка")->actions().at(1)->trigger();
    frame->Action(Cmd::kPrint)->trigger();
    frame->Action(Cmd::kSalaryJournal)->trigger();
    Menu(*frame, "&Правка")->actions().at(0)->trigger();
    frame->Mdi()->setActiveSubWindow(frame->Mdi()->subWindowList().at(0));
    Menu(*frame, "&Правка")->actions().at(0)->trigger();
    EXPECT_EQ(log, QStringList({"cash:32801", "cash:57607", "salary:32796", "cash:32800"}));

    // With every window closed, Ctrl+P reaches nobody.
    frame->Mdi()->closeAllSubWindows();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(frame->ShownKind(), ChildKindId::kNone);
    frame->Action(Cmd::kPrint)->trigger();
    EXPECT_EQ(log.size(), 4);
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

    frame.reset();
    Frame(QString(18, u'0') + u'1')->Action(Cmd::kUsers)->trigger();  // only right 18
    EXPECT_EQ(dialogs.opened.value(5), "CUserDirDlg");
    EXPECT_EQ(prompter.All().size(), 1);
}
