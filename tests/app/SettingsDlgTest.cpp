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

TEST_P(SettingsDlgTest, CompanyDetailsAreTrimmedSavedAndShownAgain) {
    CMainFrame frame(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CCompanyDlg &>(d);
        for (int i = 0; i < CompanyInfo::kFieldCount; ++i) {
            EXPECT_TRUE(dlg.Edit(CompanyInfo::kFields[size_t(i)])->text().isEmpty());
            dlg.Edit(CompanyInfo::kFields[size_t(i)])->setText(QString("  значение %1 ").arg(i));
        }
        dlg.Edit("MainName")->setText("\tООО \"Шиномонтаж\"  ");
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kCompany)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{"CCompanyDlg"});
    EXPECT_TRUE(prompter.All().isEmpty());
    const auto info = CompanyStore(db()).Read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Field("MainName"), "ООО \"Шиномонтаж\"");
    for (int i = 1; i < CompanyInfo::kFieldCount; ++i)
        EXPECT_EQ((*info)[i], QString("значение %1").arg(i)) << CompanyInfo::kFields[size_t(i)];
    EXPECT_EQ(CountRows(db(), "SELECT IddMain FROM SMain"), 1);

    // Opening again shows what was stored; Cancel writes nothing.
    CCompanyDlg again(*ctx);
    EXPECT_EQ(again.Edit("MainBIK")->text(), info->Field("MainBIK"));
    again.Edit("MainBIK")->setText("044525225");
    again.CancelButton()->click();
    EXPECT_EQ(CompanyStore(db()).Read()->Field("MainBIK"), info->Field("MainBIK"));
}

TEST_P(SettingsDlgTest, MissingCompanyRowIsRecreatedAndFailedSaveKeepsTheDialogOpen) {
    db().Exec("DELETE FROM SMain");
    CCompanyDlg dlg(*ctx);
    ASSERT_TRUE(dlg.IsLoaded());
    dlg.Edit("MainName")->setText("Автомойка");
    dlg.Edit("MainPrim")->setText(" круглосуточно ");
    db().SetWriteHook([](const QString &) { throw DbError("disk full"); });
    dlg.OkButton()->click();
    db().SetWriteHook({});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.errors, QStringList{"disk full"});
    EXPECT_FALSE(CompanyStore(db()).Read());
    EXPECT_EQ(dlg.Edit("MainName")->text(), "Автомойка");  // the typing is still there

    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const auto info = CompanyStore(db()).Read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Field("MainName") + '|' + info->Field("MainPrim") + '|' + info->Field("MainINN"),
              "Автомойка|круглосуточно|");
}

TEST_P(SettingsDlgTest, NumberingStoresPrefixAsTypedAndCountersAsNumbers) {
    CounterStore(db()).WriteAll({"A-", 41, 7, 3, 12});
    CMainFrame frame(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CNumberingDlg &>(d);
        for (const auto &[edit, text] : {std::pair{dlg.PrefixEdit(), "A-"},
                                         {dlg.OrderEdit(), "41"},
                                         {dlg.PayEdit(), "7"},
                                         {dlg.OutPayEdit(), "3"},
                                         {dlg.SalaryEdit(), "12"}})
            EXPECT_EQ(edit->text(), text);
        dlg.PrefixEdit()->setText(" З-2024 ");
        dlg.OrderEdit()->setText(QString());  // emptied: 0
        dlg.PayEdit()->setText(" 150 ");
        // Counters take digits only: letters typed never reach the field.
        dlg.OutPayEdit()->clear();
        Type(dlg.OutPayEdit(), "abc");
        EXPECT_EQ(dlg.OutPayEdit()->text(), QString());  // blank: 0
        dlg.SalaryEdit()->clear();
        Type(dlg.SalaryEdit(), "25x");
        EXPECT_EQ(dlg.SalaryEdit()->text(), "25");
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kNumbering)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{"CNumberingDlg"});
    EXPECT_EQ(Counters(), " З-2024 |0|150|0|25");
    EXPECT_EQ(CounterStore(db()).NextOrderNumber(), " З-2024 1");
}

TEST_P(SettingsDlgTest, NumberingCancelRefusalsAndMissingRow) {
    CounterStore(db()).WriteAll({"N", 5, 6, 7, 8});
    {
        CNumberingDlg dlg(*ctx);
        dlg.PrefixEdit()->setText("X");
        dlg.OrderEdit()->setText("999");
        dlg.CancelButton()->click();
    }
    {
        // Numbers the counters cannot hold are refused with a message; nothing is written.
        CNumberingDlg dlg(*ctx);
        dlg.PrefixEdit()->setText("X");
        for (const char *bad : {"-3", "99999999999"}) {
            prompter.Clear();
            dlg.SalaryEdit()->setText(bad);
            dlg.OkButton()->click();
            EXPECT_NE(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(prompter.warnings.size(), 1) << bad;
        }
    }
    EXPECT_EQ(Counters(), "N|5|6|7|8");

    // A lost counter row: the dialog shows zeros and saving brings the row back.
    db().Exec("DELETE FROM [Number]");
    CNumberingDlg dlg(*ctx);
    EXPECT_EQ(dlg.OrderEdit()->text(), "0");
    dlg.OrderEdit()->setText("100");
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(Counters(), "|100|0|0|0");
    EXPECT_EQ(CountRows(db(), "SELECT iddnum FROM [Number]"), 1);
}
