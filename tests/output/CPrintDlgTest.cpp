#include "AppContext.h"
#include "CPrintDlg.h"
#include "DocumentFixture.h"
#include "Scripted.h"

#include <QCheckBox>
#include <QPushButton>

class CPrintDlgTest : public DocumentTest {
protected:
    ScriptedDialogs m_dialogs;
};
ZV_INSTANTIATE_SCREEN_TESTS(CPrintDlgTest);

TEST_P(CPrintDlgTest, NothingTickedAsksAndStaysOpenThenPrintsTheTickedInOrder) {
    const QString key = SaveOrder({Line("x", "Мойка", 1, 100, 20)});
    const AppContext ctx(db(), UserInfo{}, m_prompter, m_dialogs, m_work.path());
    QStringList opened;
    CPrintDlg dlg(ctx, key, nullptr, [&](const QString &p) { opened << p; });
    for (OrderDocument doc : DocumentFiles::InPrintOrder()) EXPECT_FALSE(dlg.Box(doc)->isChecked());
    dlg.show();
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(m_prompter.warnings, QStringList{"Выберите что печатать!"});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(opened.isEmpty());

    dlg.Box(OrderDocument::Act)->setChecked(true);
    dlg.Box(OrderDocument::Invoice)->setChecked(true);
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].endsWith("/doc/Chet" + m_number + ".doc")) << S(opened[0]);
    EXPECT_TRUE(opened[1].endsWith("/doc/Akt" + m_number + ".doc")) << S(opened[1]);
    EXPECT_EQ(m_prompter.All().size(), 1);
}
