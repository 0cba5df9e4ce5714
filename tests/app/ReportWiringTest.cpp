#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "Commands.h"
#include "JournalKinds.h"
#include "KeyedModel.h"
#include "KeyedView.h"
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
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>

// As the application wires them: the print commands of the journals, the worker reports, their dialogs
// and the clients directory write their reports, and the client card opens the order form.
class ReportWiringTest : public ScreenTest {
protected:
    // A finished line of Иванов's, part of it paid out; the other reports may be empty.
    void PutIvanovsPaidLine() {
        const QDateTime now = QDateTime::currentDateTime();
        TestRows::Put(db(), TestRows::Client{"c1", "Ромашка", {}, {}, {}});
        TestRows::Put(db(), TestRows::Worker{.key = "w1", .fio = "Иванов"});
        const TestRows::Line line{
            .key = "s1", .price = 1000, .prJob = true, .job = 10, .workers = {{"w1", "Иванов"}}};
        TestRows::Order order{.key = "z2", .date = now.addDays(-1), .car = {}, .lines = {line}};
        order.endOut = now, order.status = StatusFinished;
        TestRows::Put(db(), order);
        TestRows::Put(
            db(), TestRows::Pay{.key = "p1", .order = "0", .kind = SalaryPayout, .sum = -40, .when = now});
        TestRows::Put(db(), TestRows::Payout{.key = "wp1", .pay = "p1", .worker = "w1", .sum = 40});
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(ReportWiringTest);

TEST_P(ReportWiringTest, EveryCommandReachesTheScreenAboveIt) {
    PutIvanovsPaidLine();
    QStringList opened;
    QString refuse;  // what the opener answers
    ScreenServices services(
        *ctx, ReportTarget{m_dir.filePath("reports"), [&](const QString &f) { return opened << f, refuse; }});
    CMainFrame frame(*ctx);
    RegisterJournalKinds(frame, *ctx);
    // The command as the menu or toolbar runs it: the frame's print, or the action the window's kind added.
    const auto trigger = [&frame](int id) {
        QAction *action = frame.Action(id);
        for (QAction *a : frame.findChildren<QAction *>())
            if (!action && a->data().toInt() == id) action = a;
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    };
    const auto command = [&trigger](int id) { return [&trigger, id] { trigger(id); }; };
    QWidget *view = nullptr;  // the window of the case
    // Runs the command in a new window of the kind (none for 0); the workbook's name starts with `report`
    // (none is written when it is empty), `message` is the one warning shown, and `cells` what some
    // of the workbook's cells hold.
    const auto check = [&](const char *what, int kind, const QString &report, const QString &message,
                           const std::function<void()> &run, const QMap<QString, QString> &cells = {}) {
        SCOPED_TRACE(what);
        opened.clear();
        prompter.Clear();
        if (kind) view = frame.OpenChild(kind)->widget();
        run();
        EXPECT_TRUE(dialogs.steps.empty());
        EXPECT_EQ(prompter.All(), message.isEmpty() ? QStringList() : QStringList{message});
        ASSERT_EQ(opened.size(), report.isEmpty() ? 0 : 1);
        if (report.isEmpty()) return;
        EXPECT_TRUE(QFileInfo(opened[0]).fileName().startsWith(report)) << opened[0].toStdString();
        const XlsxProbe book = XlsxProbe::Read(opened[0]);
        // On A4, one page wide; upright only the reports narrow enough for it.
        const bool upright =
            QStringList{"Оборотная ведомость", "Ведомость", "Карта клиента"}.contains(report);
        EXPECT_EQ(book.page.join(' '), "fitToPage=1 paperSize=9 fitToHeight=0 orientation=" +
                                           QString(upright ? "portrait" : "landscape"));
        for (auto c = cells.begin(); c != cells.end(); ++c)
            EXPECT_EQ(book.cells.value(c.key()).value, c.value()) << c.key().toStdString();
    };
    const auto journal = [&view] { return qobject_cast<CJSalaryView *>(view); };
    const auto reject = [](const std::function<void(QDialog &)> &step) {
        return [step](QDialog &d) { return step(d), int(QDialog::Rejected); };
    };
    check("client card's new order", 0, {}, {}, [&] {
        CClientDlg card(*ctx, "c1");
        dialogs.Then(reject([](QDialog &d) {  // the order form, for the card's client
            EXPECT_EQ(Child<QComboBox>(d, "client")->currentText(), "Ромашка");
        }));
        card.ordersPage()->AddOrder();
    });
    check("orders report", ChildKindId::kOrderJournal, "Заказы", {}, command(Cmd::kPrint));
    check("clients directory's card", 0, "Карта клиента", {}, [&] {
        dialogs.Then(reject([](QDialog &d) {
            View(d)->setCurrentIndex(View(d)->model()->index(0, 0));
            Click(d, "print");
        }));
        frame.Action(Cmd::kClients)->trigger();
    });
    check("cash report", ChildKindId::kCashJournal, "Операции по кассе", {}, command(CKassaView::kPrint));
    // The journal's period, as its filter shows it: this month.
    const QDate today = QDate::currentDate(), first(today.year(), today.month(), 1);
    check("turnover", ChildKindId::kCashJournal, "Оборотная ведомость", {}, command(CKassaView::kPrintTotals),
          {{"A1", "Оборотная ведомость с:" + first.toString("dd.MM.yyyy") +
                      " по:" + first.addMonths(1).addDays(-1).toString("dd.MM.yyyy")}});
    check("stored statement, nothing chosen", ChildKindId::kSalaryJournal, {}, CJSalaryView::kSelectToPrint,
          [&] {
              journal()->list()->setCurrentIndex({});
              journal()->list()->clearSelection();
              trigger(CJSalaryView::kStatement);
          });
    check("stored statement", ChildKindId::kSalaryJournal, "Ведомость", {}, [&] {
        EXPECT_TRUE(journal()->list()->SelectKey(KeyedModel::kKeyRole, "p1"));
        trigger(CJSalaryView::kStatement);
    });
    check("payouts", ChildKindId::kSalaryJournal, "Выплаты сотрудникам", {}, command(CJSalaryView::kPrint));
    check("accrual dialog", ChildKindId::kSalaryJournal, "Ведомость", {}, [&] {
        dialogs.Then(reject([](QDialog &d) { Click(d, "Print"); }));
        trigger(CJSalaryView::kAdd);
    });
    check("worker's works dialog", ChildKindId::kSalaryJournal, "Выполненные работы", {}, [&] {
        dialogs.Then(reject([](QDialog &d) {
            // Up to tomorrow: the period printed then starts with today's work, not with the day.
            Child<QDateEdit>(d, "onDate")->setDate(QDate::currentDate().addDays(1));
            SelectRow(List(d), "Иванов");
            Click(d, "Works");
        }));
        dialogs.Then(reject([](QDialog &d) { Click(d, "Print"); }));
        trigger(CJSalaryView::kAdd);
    });
    check("performed works", ChildKindId::kWorksReport, "Выполненные работы", {}, command(Cmd::kPrint));
    check("balances", ChildKindId::kBalanceReport, "Задолженность сотрудникам", {}, command(Cmd::kPrint),
          {{"A4", "Иванов"}, {"B4", "100"}, {"C4", "40"}, {"D4", "60"}});
    refuse = "нет программы", opened.clear(), prompter.Clear();
    trigger(Cmd::kPrint);  // with nothing to open it, the report is still made and the warning names it
    EXPECT_TRUE(opened.size() == 1 && prompter.errors.isEmpty() &&
                prompter.warnings.value(0).contains(opened[0]));
}

TEST_P(ReportWiringTest, TheJournalsAndReportsPrintFromTheirToolbarsToo) {
    ScreenServices services(
        *ctx, ReportTarget{m_dir.filePath("reports"), [](const QString &) { return QString(); }});
    CMainFrame frame(*ctx);
    RegisterJournalKinds(frame, *ctx);
    const auto printing = [](auto *a) { return a->text().contains("ечат") && a->text().contains("..."); };
    for (int kind : {ChildKindId::kOrderJournal, ChildKindId::kCashJournal, ChildKindId::kWorksReport,
                     ChildKindId::kBalanceReport}) {
        frame.OpenChild(kind);
        const auto *bar = frame.findChild<QToolBar *>(QStringLiteral("toolbar%1").arg(kind));
        EXPECT_TRUE(bar && std::ranges::any_of(bar->actions(), printing)) << kind;
    }
}
