#include "CSalaryAccrualDlg.h"
#include "CWorkerWorksDlg.h"
#include "CounterStore.h"
#include "DbError.h"
#include "KeyedList.h"
#include "MoneyRows.h"
#include "PaymentStore.h"
#include "PerformedWorksList.h"
#include "SalaryRows.h"
#include "SalaryStore.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

using namespace SalaryRows;

// Two workers who each earned 90 two days ago; Иванов was paid 30 of it yesterday.
class SalaryAccrualDlgTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDateTime done(QDate::currentDate().addDays(-2), QTime(12, 0));
        AddWorker(db(), QStringLiteral("w1"), QStringLiteral("Иванов"));
        AddWorker(db(), QStringLiteral("w2"), QStringLiteral("Петров"), true);
        AddOrder(db(), QStringLiteral("z1"), done);
        AddLine(db(), QStringLiteral("z1"), QStringLiteral("pct"), 2, 500, 0, true, 10);
        AddLine(db(), QStringLiteral("z1"), QStringLiteral("fix"), 1, 300, 0, false, 80);
        for (const char *s : {"pct", "fix"}) {
            Assign(db(), QStringLiteral("z1"), QString::fromLatin1(s), QStringLiteral("w1"),
                   QStringLiteral("Иванов"));
            Assign(db(), QStringLiteral("z1"), QString::fromLatin1(s), QStringLiteral("w2"),
                   QStringLiteral("Петров"));
        }
        MoneyRows::AddPay(db(), QStringLiteral("old"), QStringLiteral("0"), SalaryPayout, -30,
                          done.addDays(1), QStringLiteral("Аванс"), QStringLiteral("4"));
        AddPayoutLine(db(), QStringLiteral("l0"), QStringLiteral("old"), QStringLiteral("w1"), 30);
        CounterStore(db()).WriteAll({QString(), 0, 0, 0, 4});
    }
    static QStringList Rows(const CSalaryAccrualDlg &dlg) { return RowTexts(dlg.list(), 5); }
    static QString Figure(const QWidget &w, const char *name) { return Edit(w, name)->text(); }
};
ZV_INSTANTIATE_DB_TESTS(SalaryAccrualDlgTest);

TEST_P(SalaryAccrualDlgTest, NewPayoutProposesTheDebtsAndRecountsOnEveryTrigger) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Начисление зарплаты"));
    EXPECT_EQ(Edit(dlg, "number")->text(), QStringLiteral("5"));
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("Иванов/60.00/60.00/90.00/30.00"),
                                      QStringLiteral("Петров/90.00/90.00/90.00/0.00")}));
    EXPECT_EQ(dlg.list()->topLevelItem(1)->foreground(0).color(), QColor(10, 10, 200));  // has left

    // Percent: 50 halves every payout and drops what was typed.
    QTreeWidgetItem *ivanov = dlg.list()->topLevelItem(0);
    ivanov->setText(CSalaryAccrualDlg::kPayout, QStringLiteral("7"));
    Edit(dlg, "percent")->setText(QStringLiteral("50"));
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("Иванов/30.00/60.00/90.00/30.00"),
                                      QStringLiteral("Петров/45.00/90.00/90.00/0.00")}));

    // The button.
    dlg.list()->topLevelItem(0)->setText(CSalaryAccrualDlg::kPayout, QStringLiteral("7"));
    Click(dlg, "Recount");
    EXPECT_EQ(dlg.list()->topLevelItem(0)->text(CSalaryAccrualDlg::kPayout), QStringLiteral("30.00"));

    // The day: before the work was finished nobody earned anything, and the payout after it is not counted.
    Child<QDateEdit>(dlg, "onDate")->setDate(QDate::currentDate().addDays(-3));
    EXPECT_EQ(Rows(dlg), (QStringList{QStringLiteral("Иванов/0.00/0.00/0.00/0.00"),
                                      QStringLiteral("Петров/0.00/0.00/0.00/0.00")}));
}

TEST_P(SalaryAccrualDlgTest, TotalsFollowTheTicksAndTheTypedAmounts) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("150.00"));
    EXPECT_EQ(Figure(dlg, "totalDebt"), QStringLiteral("150.00"));
    EXPECT_EQ(Figure(dlg, "totalEarned"), QStringLiteral("180.00"));
    EXPECT_EQ(Figure(dlg, "totalPaid"), QStringLiteral("30.00"));

    dlg.list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("60.00"));
    EXPECT_EQ(Figure(dlg, "totalEarned"), QStringLiteral("90.00"));

    // A typed amount is read with its comma, and stored in the cell as a number.
    dlg.list()->topLevelItem(0)->setText(CSalaryAccrualDlg::kPayout, QStringLiteral(" 12,5 "));
    EXPECT_EQ(dlg.list()->topLevelItem(0)->text(CSalaryAccrualDlg::kPayout), QStringLiteral("12.5"));
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("12.50"));

    // Enter types into the row's "Выдать руб.:" cell, which takes amounts only (negative ones too).
    dlg.show();
    SelectRow(dlg.list(), QStringLiteral("Петров"));
    Press(dlg.list(), Qt::Key_Return);
    auto *editor = dlg.list()->findChild<QLineEdit *>(QStringLiteral("payoutEditor"));
    ASSERT_NE(editor, nullptr);
    editor->clear();
    Type(editor, QStringLiteral("-5x,5"));
    Press(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the view takes the typed value on its next turn
    EXPECT_EQ(dlg.list()->topLevelItem(1)->text(CSalaryAccrualDlg::kPayout), QStringLiteral("-5.5"));
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("12.50"));  // Петров is not chosen
    dlg.list()->topLevelItem(1)->setText(CSalaryAccrualDlg::kPayout, QStringLiteral("90"));

    Click(dlg, "UnSel");
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("0.00"));
    EXPECT_EQ(Figure(dlg, "totalPaid"), QStringLiteral("0.00"));
    Click(dlg, "Sel");
    EXPECT_EQ(Figure(dlg, "totalPayout"), QStringLiteral("102.50"));
    EXPECT_EQ(Figure(dlg, "totalDebt"), QStringLiteral("150.00"));
}

TEST_P(SalaryAccrualDlgTest, SavesThePayoutWithALinePerWorkerAndReopensIt) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    Edit(dlg, "number")->setText(QStringLiteral("  "));
    dlg.accept();
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите номер платежа!")});
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);

    Edit(dlg, "number")->setText(QStringLiteral("5"));
    Child<QComboBox>(dlg, "purpose")->setCurrentText(QStringLiteral("Аванс"));
    dlg.list()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    const PayRecord saved = dlg.saved();
    const auto pay = PaymentStore(db()).LoadPayment(saved.IddPay);
    ASSERT_TRUE(pay);
    EXPECT_EQ(pay->TypePay, int(SalaryPayout));
    EXPECT_EQ(pay->IddZakaz, QStringLiteral("0"));
    EXPECT_EQ(pay->NaznPay, QStringLiteral("Аванс"));
    EXPECT_DOUBLE_EQ(pay->SummaPay, -60);
    EXPECT_EQ(pay->DataPay.date(), QDate::currentDate());
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 6);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay WHERE IddPay = ? AND DeleteWorkPay = ?"),
                        {saved.IddPay, true}),
              1);

    // Reopened: only the chosen worker, nothing counted again.
    CSalaryAccrualDlg edit(*ctx, saved.IddPay);
    ASSERT_TRUE(edit.Loaded());
    EXPECT_EQ(edit.windowTitle(), QStringLiteral("Изменение начисленной з/п"));
    EXPECT_EQ(Rows(edit), QStringList{QStringLiteral("Иванов/60.00///")});
    EXPECT_FALSE(Edit(edit, "percent")->isEnabled());
    EXPECT_FALSE(Child<QDateEdit>(edit, "onDate")->isEnabled());
    EXPECT_FALSE(Child<QWidget>(edit, "Recount")->isEnabled());
    EXPECT_EQ(Child<QComboBox>(edit, "purpose")->currentText(), QStringLiteral("Аванс"));
    edit.list()->topLevelItem(0)->setText(CSalaryAccrualDlg::kPayout, QStringLiteral("50"));
    edit.accept();
    EXPECT_DOUBLE_EQ(PaymentStore(db()).LoadPayment(saved.IddPay)->SummaPay, -50);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 2);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TWorkPay")), 3);
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 6);  // an edit takes no number
}

TEST_P(SalaryAccrualDlgTest, WorksNeedsAWorkerAndShowsHisLines) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    Click(dlg, "Works");
    EXPECT_EQ(
        prompter.warnings,
        QStringList{QStringLiteral("Выберите сотрудника, для просмотра\nинформации о выполненных работах!")});
    EXPECT_TRUE(dialogs.opened.isEmpty());

    SelectRow(dlg.list(), QStringLiteral("Петров"));
    QStringList heading, rows;
    dialogs.Then([&](QDialog &d) {
        auto &works = static_cast<CWorkerWorksDlg &>(d);
        heading << works.Heading();
        rows = RowTexts(works.works()->list(), 9);
        return int(QDialog::Rejected);
    });
    Click(dlg, "Works");
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CWorkerWorksDlg")});
    EXPECT_EQ(heading, QStringList{QStringLiteral("Сведения о выполненных работах сотрудником:Петров до:") +
                                   QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral("/Петров/40.00")) ||
                rows[1].endsWith(QStringLiteral("/Петров/40.00")))
        << rows.join(u'|').toStdString();
}

TEST_P(SalaryAccrualDlgTest, FiguresThatFailToReadAreNotOfferedForSaving) {
    db().SetStatementHook([](const QString &sql) {
        if (sql.contains(QStringLiteral("TWorkPay"), Qt::CaseInsensitive))
            throw DbError(QStringLiteral("нет связи"));
    });
    CSalaryAccrualDlg dlg(*ctx, QString());
    db().SetStatementHook({});
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("нет связи")});
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 0);
    EXPECT_FALSE(Child<QWidget>(dlg, "ok")->isEnabled());
    dlg.accept();
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TPay")), 1);

    // Counting again once the database answers offers the list.
    Click(dlg, "Recount");
    EXPECT_EQ(dlg.list()->topLevelItemCount(), 2);
    EXPECT_TRUE(Child<QWidget>(dlg, "ok")->isEnabled());
}

TEST_P(SalaryAccrualDlgTest, ANumberTakenElsewhereMeanwhileIsNotRepeated) {
    CSalaryAccrualDlg dlg(*ctx, QString());
    ASSERT_EQ(Edit(dlg, "number")->text(), QStringLiteral("5"));
    // Another workstation saves its payout under 5 while this dialog is open.
    CounterStore(*OpenAgain()).Take(DocCounter::Salary);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.saved().NomerPay, QStringLiteral("6"));
    EXPECT_EQ(CounterStore(db()).NextSalaryNumber(), 7);
}
