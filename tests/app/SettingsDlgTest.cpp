#include "Commands.h"
#include "CompanyDlg.h"
#include "CompanyStore.h"
#include "CounterStore.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "MainFrame.h"
#include "NumberingDlg.h"
#include "ScreenTest.h"
#include "TestDb.h"
#include "Widgets.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

class SettingsDlgTest : public ScreenTest {
protected:
    CounterValues Counters() { return CounterStore(db()).ReadAll().value(); }
};
ZV_INSTANTIATE_DB_TESTS(SettingsDlgTest);

TEST_P(SettingsDlgTest, CompanyDetailsAreTrimmedSavedAndShownAgain) {
    CMainFrame frame(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CCompanyDlg &>(d);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Общие сведения о компании"));
        for (int i = 0; i < CompanyInfo::kFieldCount; ++i) {
            QLineEdit *edit = dlg.Edit(CompanyInfo::kFields[size_t(i)]);
            EXPECT_TRUE(edit->text().isEmpty());
            EXPECT_TRUE(edit->toolTip().startsWith(QStringLiteral("<center><h2>")));
            edit->setText(QStringLiteral("  значение %1 ").arg(i));
        }
        dlg.Edit("MainName")->setText(QStringLiteral("\tООО \"Шиномонтаж\"  "));
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kCompany)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CCompanyDlg")});
    EXPECT_TRUE(prompter.All().isEmpty());

    const auto info = CompanyStore(db()).Read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Field("MainName"), QStringLiteral("ООО \"Шиномонтаж\""));
    for (int i = 1; i < CompanyInfo::kFieldCount; ++i)
        EXPECT_EQ((*info)[i], QStringLiteral("значение %1").arg(i)) << CompanyInfo::kFields[size_t(i)];
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddMain FROM SMain")), 1);

    // Opening again shows what was stored; Cancel writes nothing.
    CCompanyDlg again(*ctx);
    EXPECT_EQ(again.Edit("MainBIK")->text(), info->Field("MainBIK"));
    again.Edit("MainBIK")->setText(QStringLiteral("044525225"));
    again.CancelButton()->click();
    EXPECT_EQ(CompanyStore(db()).Read()->Field("MainBIK"), info->Field("MainBIK"));
}

TEST_P(SettingsDlgTest, MissingCompanyRowIsRecreatedAndFailedSaveKeepsTheDialogOpen) {
    db().Exec(QStringLiteral("DELETE FROM SMain"));
    CCompanyDlg dlg(*ctx);
    ASSERT_TRUE(dlg.IsLoaded());
    dlg.Edit("MainName")->setText(QStringLiteral("Автомойка"));
    dlg.Edit("MainPrim")->setText(QStringLiteral(" круглосуточно "));

    db().SetWriteHook([](const QString &) { throw DbError(QStringLiteral("disk full")); });
    dlg.OkButton()->click();
    db().SetWriteHook({});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("disk full")});
    EXPECT_FALSE(CompanyStore(db()).Read());
    EXPECT_EQ(dlg.Edit("MainName")->text(), QStringLiteral("Автомойка"));  // the typing is still there

    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const auto info = CompanyStore(db()).Read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Field("MainName"), QStringLiteral("Автомойка"));
    EXPECT_EQ(info->Field("MainPrim"), QStringLiteral("круглосуточно"));
    EXPECT_EQ(info->Field("MainINN"), QString());
}

TEST_P(SettingsDlgTest, NumberingStoresPrefixAsTypedAndCountersAsNumbers) {
    CounterStore(db()).WriteAll({QStringLiteral("A-"), 41, 7, 3, 12});
    CMainFrame frame(*ctx);
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CNumberingDlg &>(d);
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Настройка нумерации"));
        EXPECT_EQ(dlg.PrefixEdit()->text(), QStringLiteral("A-"));
        EXPECT_EQ(dlg.OrderEdit()->text(), QStringLiteral("41"));
        EXPECT_EQ(dlg.PayEdit()->text(), QStringLiteral("7"));
        EXPECT_EQ(dlg.OutPayEdit()->text(), QStringLiteral("3"));
        EXPECT_EQ(dlg.SalaryEdit()->text(), QStringLiteral("12"));
        dlg.PrefixEdit()->setText(QStringLiteral(" З-2024 "));
        dlg.OrderEdit()->setText(QString());  // emptied: 0
        dlg.PayEdit()->setText(QStringLiteral(" 150 "));
        // Counters take digits only: letters typed never reach the field.
        dlg.OutPayEdit()->clear();
        Type(dlg.OutPayEdit(), QStringLiteral("abc"));
        EXPECT_EQ(dlg.OutPayEdit()->text(), QString());  // blank: 0
        dlg.SalaryEdit()->clear();
        Type(dlg.SalaryEdit(), QStringLiteral("25x"));
        EXPECT_EQ(dlg.SalaryEdit()->text(), QStringLiteral("25"));
        dlg.OkButton()->click();
        return dlg.result();
    });
    frame.Action(Cmd::kNumbering)->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("CNumberingDlg")});
    const CounterValues v = Counters();
    EXPECT_EQ(v.zakazPr, QStringLiteral(" З-2024 "));
    EXPECT_EQ(v.zakazNomer, 0);
    EXPECT_EQ(v.payNomer, 150);
    EXPECT_EQ(v.outPayNomer, 0);
    EXPECT_EQ(v.salaryNomer, 25);
    EXPECT_EQ(CounterStore(db()).NextOrderNumber(), QStringLiteral(" З-2024 1"));
}

TEST_P(SettingsDlgTest, NumberingCancelRefusalsAndMissingRow) {
    CounterStore(db()).WriteAll({QStringLiteral("N"), 5, 6, 7, 8});
    {
        CNumberingDlg dlg(*ctx);
        dlg.PrefixEdit()->setText(QStringLiteral("X"));
        dlg.OrderEdit()->setText(QStringLiteral("999"));
        dlg.CancelButton()->click();
    }
    {
        // Numbers the counters cannot hold are refused with a message; nothing is written.
        CNumberingDlg dlg(*ctx);
        dlg.PrefixEdit()->setText(QStringLiteral("X"));
        for (const QString &bad : {QStringLiteral("-3"), QStringLiteral("99999999999")}) {
            prompter.Clear();
            dlg.SalaryEdit()->setText(bad);
            dlg.OkButton()->click();
            EXPECT_NE(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(prompter.warnings.size(), 1) << bad.toStdString();
        }
    }
    CounterValues v = Counters();
    EXPECT_EQ(v.zakazPr, QStringLiteral("N"));
    EXPECT_EQ(v.zakazNomer, 5);
    EXPECT_EQ(v.salaryNomer, 8);

    // A lost counter row: the dialog shows zeros and saving brings the row back.
    db().Exec(QStringLiteral("DELETE FROM [Number]"));
    CNumberingDlg dlg(*ctx);
    EXPECT_EQ(dlg.OrderEdit()->text(), QStringLiteral("0"));
    dlg.OrderEdit()->setText(QStringLiteral("100"));
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    v = Counters();
    EXPECT_EQ(v.zakazNomer, 100);
    EXPECT_EQ(v.zakazPr, QString());
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT iddnum FROM [Number]")), 1);
}
