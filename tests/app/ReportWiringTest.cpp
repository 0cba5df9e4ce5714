#include "AppContext.h"
#include "CClientDirDlg.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "CQuellmarodView.h"
#include "Commands.h"
#include "Database.h"
#include "JournalKinds.h"
#include "KeyedList.h"
#include "MainFrame.h"
#include "MoneyRows.h"
#include "OrderStore.h"
#include "Rows.h"
#include "SalaryRows.h"
#include "ScreenServices.h"
#include "Scripted.h"
#include "Widgets.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <functional>

// The print commands of the journals, the worker reports, their dialogs and the clients directory write
// their reports.
class ReportWiringTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = Database::Open(QStringLiteral("SQLITE;DATABASE=") +
                            dir.filePath(QStringLiteral("Quellmarod.db")));
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
        // A finished line of Иванов's, part of it paid out, and an income: something for every report.
        const QDateTime now = QDateTime::currentDateTime();
        SalaryRows::AddWorker(*db, QStringLiteral("w1"), QStringLiteral("Иванов"));
        SalaryRows::AddOrder(*db, QStringLiteral("z2"), now);
        SalaryRows::AddLine(*db, QStringLiteral("z2"), QStringLiteral("s1"), 1, 1000, 0, true, 10);
        SalaryRows::Assign(*db, QStringLiteral("z2"), QStringLiteral("s1"), QStringLiteral("w1"),
                           QStringLiteral("Иванов"));
        MoneyRows::AddPay(*db, QStringLiteral("p1"), QStringLiteral("0"), SalaryPayout, -40, now,
                          QStringLiteral("Аванс"), QStringLiteral("7"));
        SalaryRows::AddPayoutLine(*db, QStringLiteral("wp1"), QStringLiteral("p1"), QStringLiteral("w1"), 40);
        MoneyRows::AddPay(*db, QStringLiteral("p2"), QStringLiteral("z1"), OrderPayment, 300, now);
        ctx = std::make_unique<AppContext>(
            *db,
            UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), QString(30, u'1')},
            prompter, dialogs, dir.path());
        services = std::make_unique<ScreenServices>(
            *ctx, ReportTarget{dir.filePath(QStringLiteral("reports")), [this](const QString &file) {
                                   opened << file;
                                   return QString();
                               }});
        frame = std::make_unique<CMainFrame>(*ctx);
        RegisterJournalKinds(*frame, *ctx);
    }

    // The command as the menu or toolbar runs it: the frame's print, or the action the window's kind added.
    void Trigger(int id) {
        QAction *action = frame->Action(id);
        for (QAction *a : frame->findChildren<QAction *>())
            if (!action && a->data().toInt() == id) action = a;
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }

    QTemporaryDir dir;
    std::unique_ptr<Database> db;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<ScreenServices> services;
    std::unique_ptr<CMainFrame> frame;
    QStringList opened;
};

TEST_F(ReportWiringTest, JournalPrintWritesTheOrdersReportOfTheRowsShown) {
    QMdiSubWindow *w = frame->OpenChild(ChildKind::kOrderJournal);
    ASSERT_NE(w, nullptr);
    auto *journal = qobject_cast<CQuellmarodView *>(w->widget());
    ASSERT_NE(journal, nullptr);
    QStringList shown;
    for (const JournalOrder &o : journal->ShownOrders()) shown << o.ZakazNomer;
    shown.sort();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("0042"), QStringLiteral("1")}));
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

TEST_F(ReportWiringTest, EveryPrintCommandWritesItsReport) {
    QWidget *view = nullptr;  // the window of the case
    const auto journal = [&view] { return qobject_cast<CJSalaryView *>(view); };
    struct Case {
        const char *what;
        int kind;
        std::function<void()> run;
        QString report;  // how the workbook's name starts; empty when the message comes instead
        QString message;
    };
    const Case cases[] = {
        {"cash report",
         ChildKind::kCashJournal,
         [&] { Trigger(CKassaView::kPrint); },
         QStringLiteral("Операции по кассе"),
         {}},
        {"turnover",
         ChildKind::kCashJournal,
         [&] { Trigger(CKassaView::kPrintTotals); },
         QStringLiteral("Оборотная ведомость"),
         {}},
        {"stored statement, nothing chosen",
         ChildKind::kSalaryJournal,
         [&] {
             journal()->list()->setCurrentItem(nullptr);
             journal()->list()->clearSelection();
             Trigger(CJSalaryView::kStatement);
         },
         {},
         CJSalaryView::kSelectToPrint},
        {"stored statement",
         ChildKind::kSalaryJournal,
         [&] {
             EXPECT_TRUE(journal()->list()->SelectKey(QStringLiteral("p1")));
             Trigger(CJSalaryView::kStatement);
         },
         QStringLiteral("Ведомость"),
         {}},
        {"payouts",
         ChildKind::kSalaryJournal,
         [&] { Trigger(CJSalaryView::kPrint); },
         QStringLiteral("Выплаты сотрудникам"),
         {}},
        {"accrual dialog",
         ChildKind::kSalaryJournal,
         [&] {
             dialogs.Then([](QDialog &d) {
                 Click(d, "Print");
                 return int(QDialog::Rejected);
             });
             Trigger(CJSalaryView::kAdd);
         },
         QStringLiteral("Ведомость"),
         {}},
        {"worker's works dialog",
         ChildKind::kSalaryJournal,
         [&] {
             dialogs.Then([](QDialog &d) {
                 SelectRow(List(d), QStringLiteral("Иванов"));
                 Click(d, "Works");
                 return int(QDialog::Rejected);
             });
             dialogs.Then([](QDialog &d) {
                 Click(d, "Print");
                 return int(QDialog::Rejected);
             });
             Trigger(CJSalaryView::kAdd);
         },
         QStringLiteral("Выполненные работы"),
         {}},
        {"performed works",
         ChildKind::kWorksReport,
         [&] { Trigger(Cmd::kPrint); },
         QStringLiteral("Выполненные работы"),
         {}},
        {"balances",
         ChildKind::kBalanceReport,
         [&] { Trigger(Cmd::kPrint); },
         QStringLiteral("Задолженность сотрудникам"),
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        opened.clear();
        prompter.warnings.clear();
        QMdiSubWindow *w = frame->OpenChild(c.kind);
        ASSERT_NE(w, nullptr);
        view = w->widget();
        c.run();
        EXPECT_TRUE(dialogs.steps.empty());
        EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(u'\n').toStdString();
        EXPECT_EQ(prompter.warnings, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        ASSERT_EQ(opened.size(), c.report.isEmpty() ? 0 : 1);
        if (c.report.isEmpty()) continue;
        EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(c.report)) << opened[0].toStdString();
        EXPECT_GT(QFileInfo(opened[0]).size(), 0);
    }
}
