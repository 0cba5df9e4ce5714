#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "Commands.h"
#include "JournalKinds.h"
#include "KeyedList.h"
#include "MainFrame.h"
#include "MoneyRows.h"
#include "OrderStore.h"
#include "Rows.h"
#include "SalaryRows.h"
#include "ScreenServices.h"
#include "ScreenTest.h"
#include "Scripted.h"
#include "Widgets.h"
#include "XlsxProbe.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QTreeWidget>
#include <functional>

// As the application wires them: the print commands of the journals, the worker reports, their dialogs
// and the clients directory write their reports, and the client card opens the order form.
class ReportWiringTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        Rows::Insert(db(), QStringLiteral("SClient"),
                     {{QStringLiteral("IddClient"), QStringLiteral("c1")},
                      {QStringLiteral("ClientName"), QStringLiteral("Ромашка")}});
        Order o;
        o.IddZakaz = QStringLiteral("z1");
        o.ZakazNomer = QStringLiteral("0042");
        o.ZakazData = o.ZakazBegin = o.ZakazBeginIn = QDateTime::currentDateTime();
        o.IddVlad = QStringLiteral("c1");
        o.ZakazStatus = StatusStarted;
        OrderStore(db()).InsertOrder(o);
        // A finished line of Иванов's, part of it paid out, and an income: something for every report.
        const QDateTime now = QDateTime::currentDateTime();
        SalaryRows::AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Иванов"));
        SalaryRows::AddOrder(db(), QStringLiteral("z2"), now);
        SalaryRows::AddLine(db(), QStringLiteral("z2"), QStringLiteral("s1"), 1, 1000, 0, true, 10);
        SalaryRows::Assign(db(), QStringLiteral("z2"), QStringLiteral("s1"), QStringLiteral("w1"),
                           QStringLiteral("Иванов"));
        MoneyRows::AddPay(db(), QStringLiteral("p1"), QStringLiteral("0"), SalaryPayout, -40, now,
                          QStringLiteral("Аванс"), QStringLiteral("7"));
        SalaryRows::AddPayoutLine(db(), QStringLiteral("wp1"), QStringLiteral("p1"), QStringLiteral("w1"),
                                  40);
        MoneyRows::AddPay(db(), QStringLiteral("p2"), QStringLiteral("z1"), OrderPayment, 300, now);
        services = std::make_unique<ScreenServices>(
            *ctx, ReportTarget{m_dir.filePath(QStringLiteral("reports")), [this](const QString &file) {
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
ZV_INSTANTIATE_DB_TESTS(ReportWiringTest);

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
             CClientDlg card(*ctx, QStringLiteral("c1"));
             dialogs.Then([](QDialog &d) {  // the order form, for the card's client
                 EXPECT_EQ(Child<QComboBox>(d, "client")->currentText(), QStringLiteral("Ромашка"));
                 return int(QDialog::Rejected);
             });
             card.ordersPage()->AddOrder();
         },
         {},
         {}},
        {"orders report",
         ChildKindId::kOrderJournal,
         [&] { frame->Action(Cmd::kPrint)->trigger(); },
         QStringLiteral("Заказы"),
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
         QStringLiteral("Карта клиента"),
         {}},
        {"cash report",
         ChildKindId::kCashJournal,
         [&] { Trigger(CKassaView::kPrint); },
         QStringLiteral("Операции по кассе"),
         {}},
        {"turnover",
         ChildKindId::kCashJournal,
         [&] { Trigger(CKassaView::kPrintTotals); },
         QStringLiteral("Оборотная ведомость"),
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
             EXPECT_TRUE(journal()->list()->SelectKey(QStringLiteral("p1")));
             Trigger(CJSalaryView::kStatement);
         },
         QStringLiteral("Ведомость"),
         {}},
        {"payouts",
         ChildKindId::kSalaryJournal,
         [&] { Trigger(CJSalaryView::kPrint); },
         QStringLiteral("Выплаты сотрудникам"),
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
         QStringLiteral("Ведомость"),
         {}},
        {"worker's works dialog",
         ChildKindId::kSalaryJournal,
         [&] {
             dialogs.Then([](QDialog &d) {
                 // Up to tomorrow: the period printed then starts with today's work, not with the day.
                 Child<QDateEdit>(d, "onDate")->setDate(QDate::currentDate().addDays(1));
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
         ChildKindId::kWorksReport,
         [&] { Trigger(Cmd::kPrint); },
         QStringLiteral("Выполненные работы"),
         {}},
        {"balances",
         ChildKindId::kBalanceReport,
         [&] { Trigger(Cmd::kPrint); },
         QStringLiteral("Задолженность сотрудникам"),
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
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    const QString tomorrow = QDate::currentDate().addDays(1).toString(QStringLiteral("dd.MM.yyyy"));
    const XlsxProbe works = XlsxProbe::Read(written.value(QStringLiteral("worker's works dialog")));
    EXPECT_EQ(works.cells.value(QStringLiteral("A1")).value,
              QStringLiteral("Отчет о выполненных работах с:") + today + QStringLiteral(" по:") + tomorrow +
                  QStringLiteral(" по исполнителю:Иванов."));
}
