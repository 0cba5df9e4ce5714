#include "BayStore.h"
#include "CBayDirDlg.h"
#include "CBayDlg.h"
#include "ScreenTest.h"
#include "Widgets.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

class BayDlgTest : public ScreenTest {
protected:
    QStringList Shown(QDialog &d) { return RowTexts(List(d), 2); }
};
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

TEST_P(BayDlgTest, DirectoryAddsAndEditsThroughTheCard) {
    CBayDirDlg dir(*ctx);
    auto fill = [](const QString &name, const QString &note, bool save) {
        return [=](QDialog &d) {
            Edit(d, "name")->setText(name);
            Edit(d, "note")->setText(note);
            if (save) d.accept();
            return save ? d.result() : int(QDialog::Rejected);
        };
    };
    dialogs.Then(fill(u"Бокс 1"_s, u"шиномонтаж"_s, true));
    Click(dir, "Add");
    dialogs.Then(fill(u"Бокс 9"_s, {}, false));  // Cancel writes nothing
    Click(dir, "Add");
    EXPECT_EQ(Shown(dir), QStringList{u"Бокс 1/шиномонтаж"_s});

    dialogs.Then([](QDialog &d) {
        EXPECT_EQ(Edit(d, "note")->text(), u"шиномонтаж"_s);  // opened on the row
        Edit(d, "name")->setText(u"Бокс 2"_s);
        d.accept();
        return d.result();
    });
    SelectRow(List(dir), u"Бокс 1"_s);
    Click(dir, "Edit");
    EXPECT_EQ(Shown(dir), QStringList{u"Бокс 2/шиномонтаж"_s});
    EXPECT_EQ(BayStore(db()).List().size(), 1);
    EXPECT_TRUE(prompter.All().isEmpty());
}
