#include "AppContext.h"
#include "CPrintDlg.h"
#include "DocumentFixture.h"
#include "Scripted.h"

#include <QCheckBox>
#include <QPushButton>

class CPrintDlgTest : public DocumentTest {};
ZV_INSTANTIATE_SCREEN_TESTS(CPrintDlgTest);

TEST_P(CPrintDlgTest, NothingTickedAsksAndStaysOpenThenPrintsTheTickedInOrder) {
    const QString key = SaveOrder({Line("x", "Мойка", 1, 100, 20)});
    ScriptedDialogs dialogs;
    const AppContext ctx(db(), UserInfo{}, m_prompter, dialogs, m_work.path());
    QStringList opened;
    CPrintDlg dlg(ctx, key, nullptr, [&](const QString &p) { opened << p; });
    dlg.show();
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(m_prompter.warnings, QStringList{"Выберите что печатать!"});
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(opened.isEmpty());

    dlg.Box(OrderDocument::Act)->setChecked(true);
    dlg.Box(OrderDocument::Invoice)->setChecked(true);
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const QString doc = m_work.path() + "/doc/";
    EXPECT_EQ(opened, QStringList({doc + "Chet" + m_number + ".doc", doc + "Akt" + m_number + ".doc"}));
    EXPECT_EQ(m_prompter.All().size(), 1);
}
