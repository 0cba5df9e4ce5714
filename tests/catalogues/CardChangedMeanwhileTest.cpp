#include "CClientDlg.h"
#include "ChangedMeanwhile.h"
#include "Rows.h"
#include "ScreenTest.h"
#include "TestRows.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

class CardChangedMeanwhileTest : public ScreenTest {};

// Another workstation changed the client while its card was open: OK asks before anything is written; No
// keeps the clerk's edits unsaved, Yes shows the stored client.
TEST_P(CardChangedMeanwhileTest, OkAsksNoKeepsTheEditsUnsavedYesShowsTheStoredRecord) {
    TestRows::Put(db(), TestRows::Client{.key = u"c1"_s, .tel = u"111"_s});
    CClientDlg card(*ctx, u"c1"_s);
    QLineEdit *tel = card.field(u"ClientTel"_s), *fax = card.field(u"ClientFaks"_s);
    tel->setText(u"222"_s);
    Rows::Update(*OpenAgain(), u"SClient"_s, {{u"IddClient"_s, u"c1"_s}}, {{u"ClientFaks"_s, u"333"_s}});
    const QString stored = DumpTables(db(), {u"SClient"_s});
    for (const bool reload : {false, true}) {
        prompter.Answer(reload);
        card.accept();
        EXPECT_EQ(DumpTables(db(), {u"SClient"_s}), stored);
        EXPECT_EQ(tel->text() + u'|' + fax->text(), reload ? u"111|333"_s : u"222|"_s);
    }
    EXPECT_EQ(prompter.confirms, QStringList(2, ChangedMeanwhile::ReloadQuestion()));
}

ZV_INSTANTIATE_SCREEN_TESTS(CardChangedMeanwhileTest);

}  // namespace
