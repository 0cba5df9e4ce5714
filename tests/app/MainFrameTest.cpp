#include "Commands.h"
#include "MainFrame.h"
#include "ScreenTest.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

class MainFrameTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(MainFrameTest);

TEST_P(MainFrameTest, EveryGuardedCommandChecksItsRightWhenItRunsAndCataloguesOpen) {
    const struct {
        int command, right;
    } guards[] = {{Cmd::kOrderJournal, 0}, {Cmd::kCashJournal, 9},    {Cmd::kSalaryJournal, 13},
                  {Cmd::kWorksReport, 25}, {Cmd::kBalanceReport, 26}, {Cmd::kCompany, 17},
                  {Cmd::kUsers, 18},       {Cmd::kNumbering, 27},     {Cmd::kBayBoard, 28},
                  {Cmd::kTyreJournal, 29}};
    for (const auto &g : guards) {
        QString allBut(Rights::kCount, u'1');  // every right but the command's
        allBut[g.right] = u'0';
        for (const QString &rights : {allBut, QString(g.right, u'1'), QString()}) {
            prompter.Clear();
            dialogs.opened.clear();
            LogIn(rights);
            CMainFrame frame(*ctx);
            int opened = 0;
            for (int kind : {ChildKindId::kOrderJournal, ChildKindId::kCashJournal,
                             ChildKindId::kSalaryJournal, ChildKindId::kWorksReport,
                             ChildKindId::kBalanceReport, ChildKindId::kBayBoard, ChildKindId::kTyreJournal})
                frame.RegisterChildKind(kind,
                                        {{}, {}, false, [&opened] { return ++opened, new QWidget; }, {}});
            frame.SetCatalogueOpener(Cmd::kUsers, [&opened] { ++opened; });
            frame.Action(g.command)->trigger();
            EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal}) << g.command << " " << rights.size();
            EXPECT_TRUE(opened == 0 && dialogs.opened.isEmpty()) << g.command;
        }
    }
    // The other catalogues open their directories without a right of their own.
    prompter.Clear();
    LogIn(QString(18, u'0') + u'1');  // only the users right
    CMainFrame frame(*ctx);
    for (int id : {Cmd::kServices, Cmd::kWorkers, Cmd::kBays, Cmd::kCars, Cmd::kClients, Cmd::kUsers})
        frame.Action(id)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList({"CServiceDirDlg", "CWorkerDirDlg", "CBayDirDlg", "CCarDirDlg",
                                           "CClientDirDlg", "CUserDirDlg"}));
    EXPECT_TRUE(prompter.All().isEmpty());
}

// The frame names a maximised window once (not "Trellvark - Касса - [Касса]"); no English in its bars.
TEST_P(MainFrameTest, TheTitleNamesTheActiveWindowOnceAndTheBarsSpeakRussian) {
    CMainFrame frame(*ctx);
    const auto view = [] {
        auto *v = new QWidget;
        v->setWindowTitle("Касса");
        return v;
    };
    for (int kind : {ChildKindId::kSalaryJournal, ChildKindId::kCashJournal})
        frame.RegisterChildKind(kind, {{}, {Cmd::kPrint}, kind == ChildKindId::kCashJournal, view, {}});
    frame.show();
    for (int id : {Cmd::kSalaryJournal, Cmd::kCashJournal}) frame.Action(id)->trigger();
    EXPECT_EQ(frame.windowTitle(), "Trellvark - [Касса]");
    for (const QToolBar *bar : frame.findChildren<QToolBar *>())
        EXPECT_FALSE(bar->windowTitle().contains("Tool"));
    EXPECT_EQ(frame.statusBar()->findChildren<QLabel *>().size(), 1);
}
