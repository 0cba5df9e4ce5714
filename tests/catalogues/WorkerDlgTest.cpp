#include "CWorkerDirDlg.h"
#include "CWorkerDlg.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class WorkerDlgTest : public ScreenTest {
protected:
    // Андреев (a, dismissed), Борисов (b) and Васильев (c), hired 10.01.2022.
    void SetUp() override {
        ScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        const QDateTime in = At(2022, 1, 10), out = At(2024, 2, 20);
        TestRows::Put(db(), TestRows::Worker{u"a"_s, u"Андреев А."_s, true, false, in, out});
        TestRows::Put(db(), TestRows::Worker{u"b"_s, u"Борисов Б."_s, false, false, in, out});
        TestRows::Put(db(), TestRows::Worker{u"c"_s, u"Васильев В."_s, false, false, in});
    }
    static QTreeWidgetItem *Row(QDialog &d, const QString &fio) { return FindRow(List(d), fio); }
    static QCheckBox *Out(QDialog &d) { return Child<QCheckBox>(d, "workOut"); }
    static QDateTimeEdit *Date(QDialog &d, const char *name) { return Child<QDateTimeEdit>(d, name); }
};
ZV_INSTANTIATE_SCREEN_TESTS(WorkerDlgTest);

TEST_P(WorkerDlgTest, ListShowsDismissalDatesAndThePickerHandsBackTickedRowsWritingNothing) {
    TestRows::Put(db(), TestRows::WorkerService{u"sw1"_s, u"s1"_s, u"c"_s});
    const QString before = DumpTables(db(), {u"SWork"_s, u"ServiceWork"_s, u"TWork"_s, u"TWorkPay"_s});
    CWorkerDirDlg dlg(*ctx);
    EXPECT_EQ(RowTexts(List(dlg)), (QStringList{"Андреев А.", "Борисов Б.", "Васильев В."}));
    // Борисов is not dismissed: no date of dismissal.
    EXPECT_EQ((QStringList{Row(dlg, u"Андреев А."_s)->text(4), Row(dlg, u"Андреев А."_s)->text(5),
                           Row(dlg, u"Борисов Б."_s)->text(5)}),
              (QStringList{"10.01.2022", "20.02.2024", ""}));
    dlg.SetPicked({{u"sw1"_s, u"c"_s, u"Васильев В."_s, false}, {u"sw2"_s, u"b"_s, u"Борисов Б."_s, true}});
    EXPECT_EQ(Row(dlg, u"Васильев В."_s)->checkState(0), Qt::Checked);
    EXPECT_EQ(Row(dlg, u"Борисов Б."_s)->checkState(0), Qt::Unchecked);  // marked deleted
    EXPECT_EQ(Row(dlg, u"Андреев А."_s)->checkState(0), Qt::Unchecked);

    Row(dlg, u"Андреев А."_s)->setCheckState(0, Qt::Checked);
    dlg.Refill();  // a refill keeps what the user ticked
    EXPECT_EQ(Row(dlg, u"Андреев А."_s)->checkState(0), Qt::Checked);
    Click(dlg, "ok");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const PickedWorkers picked = dlg.Picked();
    QStringList got;  // fresh picks: no link key, not deleted
    for (const PickedWorker &p : picked)
        got << p.iddWork + p.workFio + p.iddServiceWork + (p.deleted ? "!" : "");
    EXPECT_EQ(got, (QStringList{"aАндреев А.", "cВасильев В."}));
    EXPECT_EQ(DumpTables(db(), {u"SWork"_s, u"ServiceWork"_s, u"TWork"_s, u"TWorkPay"_s}), before);
}

TEST_P(WorkerDlgTest, CardChecksTheNameAndTheDismissalDateFollowsTheBox) {
    CWorkerDlg card(*ctx);
    EXPECT_FALSE(Out(card)->isChecked() || Date(card, "dataOut")->isEnabled());
    EXPECT_EQ(Date(card, "dataIn")->date(), QDate::currentDate());
    Out(card)->setChecked(true);
    EXPECT_TRUE(Date(card, "dataOut")->isEnabled());
    Out(card)->setChecked(false);
    EXPECT_FALSE(Date(card, "dataOut")->isEnabled());
    Edit(card, "fio")->setText(u"   "_s);
    Click(card, "ok");
    EXPECT_EQ(prompter.warnings, QStringList{u"Укажите Ф.И.О. сотрудника"_s});
    EXPECT_FALSE(card.Saved() || card.result() == QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT IddWork FROM SWork"_s), 3);

    // A dismissed worker opens with the stored dates and the date enabled; what is changed is saved.
    CWorkerDlg existing(*ctx, u"a"_s);
    EXPECT_TRUE(Out(existing)->isChecked() && Date(existing, "dataOut")->isEnabled());
    EXPECT_EQ((QList<QDate>{Date(existing, "dataIn")->date(), Date(existing, "dataOut")->date()}),
              (QList<QDate>{QDate(2022, 1, 10), QDate(2024, 2, 20)}));
    Date(existing, "dataOut")->setDate(QDate(2024, 5, 31));
    Click(existing, "ok");
    ASSERT_TRUE(existing.Saved());
    EXPECT_EQ(WorkerStore(db()).Load(u"a"_s)->workDataOut.date(), QDate(2024, 5, 31));
}
