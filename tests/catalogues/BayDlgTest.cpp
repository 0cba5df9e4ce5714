#include "CBayDlg.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

class BayDlgTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(BayDlgTest);

TEST_P(BayDlgTest, CardRefusesAnEmptyNameAndTrimsWhatItHandsBack) {
    CBayDlg card(*ctx);
    Edit(card, "name")->setText(u"   "_s);
    Edit(card, "note")->setText(u" у ворот "_s);
    Click(card, "ok");
    EXPECT_EQ(
        prompter.warnings,
        QStringList{u"Укажите название, номер мойки или бокса,\nгде осуществляется оказание услуги!"_s});
    EXPECT_NE(card.result(), QDialog::Accepted);
    Edit(card, "name")->setText(u" Бокс 1 "_s);
    Click(card, "ok");
    EXPECT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(card.Name(), u"Бокс 1"_s);
    EXPECT_EQ(card.Note(), u"у ворот"_s);
}
