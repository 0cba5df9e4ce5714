#include "AppContext.h"
#include "CClientDirDlg.h"
#include "CQuellmarodView.h"
#include "Commands.h"
#include "Database.h"
#include "JournalKinds.h"
#include "MainFrame.h"
#include "OrderStore.h"
#include "ReportCommands.h"
#include "Rows.h"
#include "Scripted.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

// The print commands of the order journal and the clients directory write their reports.
class ReportWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = Database::Open(QStringLiteral("SQLITE;DATABASE=") +
                            dir.filePath(QStringLiteral("Quellmarod.db")));
        saved = ReportCommands::CurrentTarget();
        ReportCommands::CurrentTarget() = {dir.filePath(QStringLiteral("reports")),
                                           [this](const QString &file) {
                                               opened << file;
                                               return QString();
                                           }};
        Rows::Insert(*db, QStringLiteral("SClient"),
                     {{QStringLiteral("IddClient"), QStringLiteral("c1")},
                      {QStringLiteral("ClientName"), QStringLiteral("Ромашка")}});
        Order o;
        o.IddZakaz = QStringLiteral("z1");
        o.ZakazNomer = QStringLiteral("0042");
        o.ZakazData = o.ZakazBegin = o.ZakazBeginIn = QDateTime::currentDateTime();
        o.IddVlad = QStringLiteral("c1");
        o.ZakazStatus = StatusStarted;
        OrderStore(*db).InsertOrder(o);
        ctx = std::make_unique<AppContext>(
            *db,
            UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), QString(19, u'1')},
            prompter, dialogs, dir.path());
        frame = std::make_unique<CMainFrame>(*ctx);
        RegisterJournalKinds(*frame, *ctx);
    }
    void TearDown() override { ReportCommands::CurrentTarget() = saved; }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<CMainFrame> frame;
    ReportCommands::Target saved;
    QStringList opened;
};

TEST_F(ReportWiringTest, JournalPrintWritesTheOrdersReportOfTheRowsShown) {
    QMdiSubWindow *w = frame->OpenChild(ChildKind::kOrderJournal);
    ASSERT_NE(w, nullptr);
    auto *journal = qobject_cast<CQuellmarodView *>(w->widget());
    ASSERT_NE(journal, nullptr);
    ASSERT_EQ(journal->ShownOrders().size(), 1);
    EXPECT_EQ(journal->ShownOrders()[0].ZakazNomer.toStdString(), "0042");
    frame->Action(Cmd::kPrint)->trigger();
    ASSERT_EQ(opened.size(), 1) << prompter.errors.join(u'\n').toStdString();
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(QStringLiteral("Заказы")));
    EXPECT_GT(QFileInfo(opened[0]).size(), 0);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(ReportWiringTest, ClientsDirectoryPrintsTheSelectedClientsCard) {
    dialogs.Then([](QDialog &d) {
        auto *print = d.findChild<QPushButton *>(QStringLiteral("print"));
        EXPECT_NE(print, nullptr);
        if (!print) return int(QDialog::Rejected);
        print->click();  // nothing chosen: the directory's message, no report
        auto *list = d.findChild<QTreeWidget *>(QStringLiteral("list"));
        list->setCurrentItem(list->topLevelItem(0));
        print->click();
        return int(QDialog::Rejected);
    });
    frame->Action(Cmd::kClients)->trigger();
    EXPECT_EQ(prompter.warnings,
              QStringList{
                  QStringLiteral("Выберите клиента из списка\nдля формирования на\nпечать сведений о нем!")});
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(QStringLiteral("Карта клиента")));
}
