#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "Commands.h"
#include "JournalKinds.h"
#include "KeyedList.h"
#include "MainFrame.h"
#include "Order.h"
#include "PayRecord.h"
#include "ScreenServices.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"
#include "XlsxProbe.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QTreeWidget>

// As the application wires them: the print commands of the journals, the worker reports, their dialogs
// and the clients directory write their reports, and the client card opens the order form.
class ReportWiringTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // An order of today, a finished line of Иванов's, part of it paid out, and an income: something
        // for every report.
        const QDateTime now = QDateTime::currentDateTime();
        TestRows::Put(db(), TestRows::Client{"c1", "Ромашка", {}, {}, {}});
        TestRows::Put(db(), TestRows::Order{.key = "z1", .number = "0042", .date = now, .car = {}});
        TestRows::Put(db(), TestRows::Worker{.key = "w1", .fio = "Иванов"});
        TestRows::Put(
            db(),
            TestRows::Order{
                .key = "z2",
                .date = now.addDays(-1),
                .endOut = now,
                .status = StatusFinished,
                .car = {},
                .lines = {
                    {.key = "s1", .price = 1000, .prJob = true, .job = 10, .workers = {{"w1", "Иванов"}}}}});
        TestRows::Put(db(), TestRows::Pay{.key = "p1",
                                          .order = "0",
                                          .kind = SalaryPayout,
                                          .sum = -40,
                                          .when = now,
                                          .purpose = "Аванс",
                                          .number = "7"});
        TestRows::Put(db(), TestRows::Payout{.key = "wp1", .pay = "p1", .worker = "w1", .sum = 40});
        TestRows::Put(db(), TestRows::Pay{.key = "p2", .order = "z1", .sum = 300, .when = now});
        services = std::make_unique<ScreenServices>(
            *ctx, ReportTarget{m_dir.filePath("reports"), [this](const QString &file) {
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

    std::unique_ptr<ScreenServices> services;
    std::unique_ptr<CMainFrame> frame;
    QStringList opened;
};
ZV_INSTANTIATE_SCREEN_TESTS(ReportWiringTest);

TEST_P(ReportWiringTest, EveryCommandReachesTheScreenAboveIt) {
    QWidget *view = nullptr;  // the window of the case
    const auto journal = [&view] { return qobject_cast<CJSalaryView *>(view); };
    struct Case {
        const char *what;
        int kind;
        std::function<void()> run;
        QString report;  // how the workbook's name starts; empty when none is written
        QString message;
    };
    const Case cases[] = {
        {"client card's new order",
         0,
         [&] {
             CClientDlg card(*ctx, QString("c1"));
             dialogs.Then([](QDialog &d) {  // the order form, for the card's client
                 EXPECT_EQ(Child<QComboBox>(d, "client")->currentText(), QString("Ромашка"));
                 return int(QDialog::Rejected);
             });
             card.ordersPage()->AddOrder();
         },
         {},
         {}},
        {"orders report",
         ChildKindId::kOrderJournal,
         [&] { frame->Action(Cmd::kPrint)->trigger(); },
         QString("Заказы"),
         {}},
        {"clients directory's card",
         0,  // a dialog, not a window
         [&] {
             dialogs.Then([](QDialog &d) {
                 List(d)->setCurrentItem(List(d)->topLevelItem(0));
                 Click(d, "print");
                 return int(QDialog::Rejected);
             });
             frame->Action(Cmd::kClients)->trigger();
         },
         QString("Карта клиента"),
         {}},
        {"cash report",
         ChildKindId::kCashJournal,
         [&] { Trigger(CKassaView::kPrint); },
         QString("Операции по кассе"),
         {}},
        {"turnover",
         ChildKindId::kCashJournal,
         [&] { Trigger(CKassaView::kPrintTotals); },
         QString("Оборотная ведомость"),
         {}},
        {"stored statement, nothing chosen",
         ChildKindId::kSalaryJournal,
         [&] {
             journal()->list()->setCurrentItem(nullptr);
             journal()->list()->clearSelection();
             Trigger(CJSalaryView::kStatement);
         },
         {},
         CJSalaryView::kSelectToPrint},
        {"stored statement",
         ChildKindId::kSalaryJournal,
         [&] {
             EXPECT_TRUE(journal()->list()->SelectKey(QString("p1")));
             Trigger(CJSalaryView::kStatement);
         },
         QString("Ведомость"),
         {}},
        {"payouts",
         ChildKindId::kSalaryJournal,
         [&] { Trigger(CJSalaryView::kPrint); },
         QString("Выплаты сотрудникам"),
         {}},
        {"accrual dialog",
         ChildKindId::kSalaryJournal,
         [&] {
             dialogs.Then([](QDialog &d) {
                 Click(d, "Print");
                 return int(QDialog::Rejected);
             });
             Trigger(CJSalaryView::kAdd);
         },
         QString("Ведомость"),
         {}},
        {"worker's works dialog",
         ChildKindId::kSalaryJournal,
         [&] {
             dialogs.Then([](QDialog &d) {
                 // Up to tomorrow: the period printed then starts with today's work, not with the day.
                 Child<QDateEdit>(d, "onDate")->setDate(QDate::currentDate().addDays(1));
                 SelectRow(List(d), QString("Иванов"));
                 Click(d, "Works");
                 return int(QDialog::Rejected);
             });
             dialogs.Then([](QDialog &d) {
                 Click(d, "Print");
                 return int(QDialog::Rejected);
             });
             Trigger(CJSalaryView::kAdd);
         },
         QString("Выполненные работы"),
         {}},
        {"performed works",
         ChildKindId::kWorksReport,
         [&] { Trigger(Cmd::kPrint); },
         QString("Выполненные работы"),
         {}},
        {"balances",
         ChildKindId::kBalanceReport,
         [&] { Trigger(Cmd::kPrint); },
         QString("Задолженность сотрудникам"),
         {}},
    };
    QMap<QString, QString> written;  // the workbook of each case that writes one
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        opened.clear();
        prompter.warnings.clear();
        if (c.kind) {
            QMdiSubWindow *w = frame->OpenChild(c.kind);
            ASSERT_NE(w, nullptr);
            view = w->widget();
        }
        c.run();
        EXPECT_TRUE(dialogs.steps.empty());
        EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(u'\n').toStdString();
        EXPECT_EQ(prompter.warnings, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        ASSERT_EQ(opened.size(), c.report.isEmpty() ? 0 : 1);
        if (c.report.isEmpty()) continue;
        EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(c.report)) << opened[0].toStdString();
        EXPECT_GT(QFileInfo(opened[0]).size(), 0);
        written[QString::fromLatin1(c.what)] = opened[0];
    }
    const QString today = QDate::currentDate().toString(QString("dd.MM.yyyy"));
    const QString tomorrow = QDate::currentDate().addDays(1).toString(QString("dd.MM.yyyy"));
    const XlsxProbe works = XlsxProbe::Read(written.value(QString("worker's works dialog")));
    EXPECT_EQ(works.cells.value(QString("A1")).value, QString("Отчет о выполненных работах с:") + today +
                                                          QString(" по:") + tomorrow +
                                                          QString(" по исполнителю:Иванов."));
}
