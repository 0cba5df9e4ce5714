#include "CChangeLogDlg.h"
#include "Commands.h"
#include "JournalKinds.h"
#include "KeyedModel.h"
#include "KeyedView.h"
#include "MainFrame.h"
#include "PayRecord.h"
#include "ScreenServices.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"
#include "XlsxProbe.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTest>

// The owner's question, as the application wires it: who deleted which payment of which order, and for how
// much; then the order's history from its journal row.
class ChangeLogWindowTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        db().SetLogin("anna");
        TestRows::Put(db(), TestRows::Client{.key = "c1", .name = "Ромашка"});
        TestRows::Put(db(),
                      TestRows::Order{.key = "z1", .number = "77", .date = QDateTime::currentDateTime()});
        TestRows::Put(db(),
                      TestRows::Order{.key = "z2", .number = "78", .date = QDateTime::currentDateTime()});
        TestRows::Put(db(), TestRows::Pay{.key = "p1", .order = "z1", .sum = 500, .number = "12"});
        db().Exec("UPDATE TPay SET SummaPay = 300 WHERE IddPay = 'p1'");
        db().Exec("UPDATE TPay SET [Delete] = TRUE WHERE IddPay = 'p1'");
    }
    static QAction *Command(QObject &owner, const QString &name) { return owner.findChild<QAction *>(name); }
    static QAction *Command(CMainFrame &frame, int id) {
        for (QAction *a : frame.findChildren<QAction *>())
            if (a->data().toInt() == id) return a;
        return nullptr;
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(ChangeLogWindowTest);

TEST_P(ChangeLogWindowTest, TheOwnerFindsWhoDeletedWhichPaymentAndAnOrdersHistory) {
    // The owner's screens go with this block, before the clerk logs in on a new context.
    {
        QStringList opened;
        ScreenServices services(*ctx, ReportTarget{m_dir.filePath("reports"),
                                                   [&](const QString &f) { return opened << f, QString(); }});
        CMainFrame frame(*ctx);
        RegisterJournalKinds(frame, *ctx);

        dialogs.Then([&](QDialog &d) {
            auto &log = dynamic_cast<CChangeLogDlg &>(d);
            EXPECT_EQ(d.windowTitle(), "Журнал изменений");
            log.KindBox()->setCurrentText("Платежи");
            log.ActionBox()->setCurrentText("удаление");
            log.TextEdit()->setText("77");
            d.show();
            QTest::keyClick(log.TextEdit(), Qt::Key_Return);  // Enter in a filter searches
            [&] {
                ASSERT_EQ(log.Entries().size(), 1);
                const ChangeLogEntry &e = log.Entries()[0];
                EXPECT_EQ(e.user, "anna");
                EXPECT_EQ(e.label, "12");
                EXPECT_EQ(e.orderNumber, "77");
            }();
            // Enter on the entry tells it in full, the amount it had among it.
            log.list()->setCurrentIndex(log.list()->model()->index(0, 0));
            QTest::keyClick(log.list(), Qt::Key_Return);
            EXPECT_TRUE(prompter.infos.value(0).contains("Пользователь: anna"))
                << prompter.infos.value(0).toStdString();
            EXPECT_TRUE(prompter.infos.value(0).contains("Удалено: нет → да"));
            Click(d, "report");
            return int(QDialog::Rejected);
        });
        Command(frame, Cmd::kChangeLog)->trigger();
        EXPECT_TRUE(dialogs.steps.empty());
        ASSERT_EQ(opened.size(), 1);
        const XlsxProbe book = XlsxProbe::Read(opened[0]);
        EXPECT_EQ(book.cells.value("D4").value, "удаление (пометка)");
        EXPECT_EQ(book.cells.value("G4").value, "77");

        // "История" on the order journal's row: that order's entries alone, its payment's among them.
        QWidget *journal = frame.OpenChild(ChildKindId::kOrderJournal)->widget();
        auto *list = journal->findChild<KeyedView *>("list");
        ASSERT_TRUE(list->SelectKey(KeyedModel::kKeyRole, "z1"));
        dialogs.Then([&](QDialog &d) {
            auto &log = dynamic_cast<CChangeLogDlg &>(d);
            EXPECT_EQ(d.windowTitle(), "История заказа №77");
            QSet<QString> tables;
            for (const ChangeLogEntry &e : log.Entries()) {
                EXPECT_EQ(e.iddZakaz, "z1");
                tables.insert(e.table);
            }
            EXPECT_TRUE(tables.contains("TZakaz") && tables.contains("TPay"));
            return int(QDialog::Rejected);
        });
        Command(*journal, "menuHistory")->trigger();
        EXPECT_TRUE(dialogs.steps.empty());
    }

    // Without the right to the users directory neither opens.
    LogIn(QString(Rights::kCount, u'1').replace(Rights::Position(Right::Users), 1, u'0'));
    ScreenServices clerks(*ctx);
    CMainFrame clerkFrame(*ctx);
    prompter.Clear();
    Command(clerkFrame, Cmd::kChangeLog)->trigger();
    clerks.Order("z1", nullptr);
    EXPECT_EQ(prompter.warnings, QStringList(2, Rights::kRefusal));
}
