#include "AppContext.h"
#include "CPrintDlg.h"
#include "DateRange.h"
#include "DocumentFixture.h"
#include "ReportCommands.h"
#include "Scripted.h"

#include <QCheckBox>
#include <QPushButton>

class CPrintDlgTest : public DocumentTest {};
ZV_INSTANTIATE_SCREEN_TESTS(CPrintDlgTest);

// The print dialog asks for a choice and stays open, then prints what was ticked; the client card command
// refuses a client deleted elsewhere, the turnover sheet a reversed period.
TEST_P(CPrintDlgTest, NothingTickedAsksAndStaysOpenThenPrintsTheTicked) {
    const QString key = SaveOrder({Line("x", "Мойка", 1, 100, 20)});
    ScriptedDialogs dialogs;
    AppContext ctx(db(), UserInfo{}, m_prompter, dialogs, m_work.path());
    QStringList opened;
    CPrintDlg dlg(ctx, key, nullptr, [&](const QString &p) { return opened << p, true; });
    dlg.show();
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(m_prompter.warnings, QStringList{"Выберите что печатать!"});
    EXPECT_TRUE(dlg.isVisible() && opened.isEmpty());

    dlg.Box(OrderDocument::Act)->setChecked(true);
    dlg.Box(OrderDocument::Invoice)->setChecked(true);
    dlg.findChild<QPushButton *>("ok")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const QString doc = m_work.path() + "/doc/";
    EXPECT_EQ(opened, QStringList({doc + "Chet" + m_number + ".doc", doc + "Akt" + m_number + ".doc"}));

    // No report target is given: going on to write the card would throw.
    EXPECT_FALSE(ReportCommands::ClientCard(ctx, QStringLiteral("gone"), nullptr));
    EXPECT_FALSE(ReportCommands::Turnover(ctx, QDate(2024, 6, 2), QDate(2024, 6, 1), nullptr));
    EXPECT_EQ(m_prompter.warnings.mid(1),
              QStringList({QStringLiteral("Клиент не найден: он удален на другом рабочем месте."),
                           DateRange::kReversed}));
}
