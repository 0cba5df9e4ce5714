#include "AppContext.h"
#include "CPrintDlg.h"
#include "DocumentFixture.h"
#include "Scripted.h"

#include <QCheckBox>
#include <QPushButton>

class CPrintDlgTest : public DocumentTest {
protected:
    AppContext Context() { return AppContext(db(), UserInfo{}, m_prompter, m_dialogs, m_work.path()); }
    ScriptedDialogs m_dialogs;
};
ZV_INSTANTIATE_DB_TESTS(CPrintDlgTest);

TEST_P(CPrintDlgTest, NothingTickedAsksAndStaysOpen) {
    const QString key = SaveOrder({Line(QStringLiteral("x"), QStringLiteral("Мойка"), 1, 100, 20)});
    const AppContext ctx = Context();
    QStringList opened;
    CPrintDlg dlg(ctx, key, nullptr, [&](const QString &p) { opened << p; });
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Распечатать"));
    for (OrderDocument doc : DocumentFiles::InPrintOrder()) EXPECT_FALSE(dlg.Box(doc)->isChecked());
    EXPECT_EQ(dlg.Box(OrderDocument::Request)->text(), QStringLiteral("Заявка"));
    EXPECT_EQ(dlg.Box(OrderDocument::WorkOrder)->text(), QStringLiteral("Заказ - наряд"));
    EXPECT_TRUE(
        dlg.Box(OrderDocument::TaxInvoice)->toolTip().contains(QStringLiteral("Печатать счет-фактуры")));
    dlg.show();
    dlg.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    EXPECT_EQ(m_prompter.warnings, QStringList{QStringLiteral("Выберите что печатать!")});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(opened.isEmpty());

    dlg.Box(OrderDocument::Act)->setChecked(true);
    dlg.Box(OrderDocument::Invoice)->setChecked(true);
    dlg.findChild<QPushButton *>(QStringLiteral("ok"))->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral("/doc/Chet") + m_number + QStringLiteral(".doc")));
    EXPECT_TRUE(opened[1].endsWith(QStringLiteral("/doc/Akt") + m_number + QStringLiteral(".doc")));
    EXPECT_EQ(m_prompter.All().size(), 1);
}
