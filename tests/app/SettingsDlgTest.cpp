#include "Commands.h"
#include "CompanyDlg.h"
#include "CompanyStore.h"
#include "CounterStore.h"
#include "DbError.h"
#include "MainFrame.h"
#include "NumberingDlg.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

class SettingsDlgTest : public ScreenTest {
protected:
    // The counters as "prefix|order|pay|out pay|salary".
    QString Counters() {
        const CounterValues v = CounterStore(db()).ReadAll().value();
        return QStringList{v.zakazPr, QString::number(v.zakazNomer), QString::number(v.payNomer),
                           QString::number(v.outPayNomer), QString::number(v.salaryNomer)}
            .join(u'|');
    }
};
ZV_INSTANTIATE_SCREEN_TESTS(SettingsDlgTest);

// The company's details are trimmed, saved and shown again; a lost company row comes back with the next
// save, and a failed save keeps the dialog and the typing. The numbering stores the prefix as typed and the
// counters as numbers; Cancel and numbers the counters cannot hold write nothing.
TEST_P(SettingsDlgTest, CompanyDetailsAndNumberingAreSavedAsTyped) {
    CMainFrame frame(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CCompanyDlg &>(d);
        for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
            dlg.Edit(CompanyInfo::kFields[size_t(i)])->setText(QString("\t значение %1 ").arg(i));
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kCompany)->trigger();
    const auto info = CompanyStore(db()).Read();
    ASSERT_TRUE(info);
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        EXPECT_EQ((*info)[i], QString("значение %1").arg(i)) << CompanyInfo::kFields[size_t(i)];
    EXPECT_EQ(CompanyStore(db()).Hours(), WorkingHours()) << "from 8 to 20 unless set";
    {
        // The working hours: a day that does not end after it begins is refused at the closing time.
        CCompanyDlg hours(*ctx);
        Keyboard::Activate(hours);
        hours.OpensAt()->setTime(QTime(9, 0));
        hours.ClosesAt()->setTime(QTime(9, 0));
        hours.OkButton()->click();
        EXPECT_NE(hours.result(), QDialog::Accepted);
        EXPECT_TRUE(
            prompter.errors.value(0).startsWith("Окончание рабочего дня должно быть позже его начала."));
        EXPECT_TRUE(hours.ClosesAt()->hasFocus());
        hours.ClosesAt()->setTime(QTime(21, 30));
        hours.OkButton()->click();
        EXPECT_EQ(CompanyStore(db()).Hours(), (WorkingHours{QTime(9, 0), QTime(21, 30)}));
        prompter.Clear();
    }
    CCompanyDlg again(*ctx);
    EXPECT_EQ(again.Edit("MainBIK")->text(), info->Field("MainBIK"));
    again.Edit("MainBIK")->setText("044525225");
    again.CancelButton()->click();
    EXPECT_EQ(CompanyStore(db()).Read()->Field("MainBIK"), info->Field("MainBIK"));

    db().Exec("DELETE FROM SMain");
    CCompanyDlg company(*ctx);
    company.Edit("MainName")->setText("Автомойка");
    db().SetWriteHook([](const QString &) { throw DbError("disk full"); });
    company.OkButton()->click();
    db().SetWriteHook({});
    EXPECT_TRUE(company.result() != QDialog::Accepted && prompter.errors == QStringList{"disk full"});
    EXPECT_FALSE(CompanyStore(db()).Read());
    company.OkButton()->click();
    EXPECT_EQ(company.result(), QDialog::Accepted);
    EXPECT_EQ(CompanyStore(db()).Read()->Field("MainName"), "Автомойка");
    EXPECT_EQ(CountRows(db(), "SELECT IddMain FROM SMain"), 1);

    CounterStore(db()).WriteAll({"A-", 41, 7, 3, 12});
    prompter.Clear();
    {
        CNumberingDlg numbering(*ctx);
        numbering.PrefixEdit()->setText("X");
        numbering.CancelButton()->click();
        CNumberingDlg refused(*ctx);
        for (const char *bad : {"-3", "99999999999"}) {
            refused.SalaryEdit()->setText(bad);
            refused.OkButton()->click();
            EXPECT_NE(refused.result(), QDialog::Accepted);
        }
        EXPECT_EQ(prompter.warnings.size(), 2);
    }
    EXPECT_EQ(Counters(), "A-|41|7|3|12");
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CNumberingDlg &>(d);
        EXPECT_EQ(QStringList({dlg.PrefixEdit()->text(), dlg.OrderEdit()->text(), dlg.PayEdit()->text(),
                               dlg.OutPayEdit()->text(), dlg.SalaryEdit()->text()}),
                  QStringList({"A-", "41", "7", "3", "12"}));
        dlg.PrefixEdit()->setText(" З-2024 ");
        dlg.OrderEdit()->setText(QString());  // emptied: 0
        dlg.PayEdit()->setText(" 150 ");
        // Counters take digits only: letters typed never reach the field.
        dlg.SalaryEdit()->clear();
        Type(dlg.SalaryEdit(), "25x");
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kNumbering)->trigger();
    EXPECT_EQ(Counters(), " З-2024 |0|150|3|25");
    EXPECT_EQ(CounterStore(db()).TakeOrderNumber(), " З-2024 1");
}
