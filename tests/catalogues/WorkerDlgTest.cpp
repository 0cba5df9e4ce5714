#include "AppContext.h"
#include "CWorkerDirDlg.h"
#include "CWorkerDlg.h"
#include "DbError.h"
#include "Rows.h"
#include "Scripted.h"
#include "TestDb.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTreeWidget>

namespace {

const QString kNoSelectionEdit =
    QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его изменения!");
const QString kNoSelectionDelete =
    QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его удаления!");

QTreeWidgetItem *Row(QDialog &d, const QString &fio) {
    return FindRow(List(d), fio);
}

QStringList Shown(QDialog &d) {
    return RowTexts(List(d));
}

// Every row of the worker tables as text, to prove a command wrote nothing.
QString Dump(Database &db) {
    return DumpTables(db, {QStringLiteral("SWork"), QStringLiteral("ServiceWork"), QStringLiteral("TWork"),
                           QStringLiteral("TWorkPay")});
}

}  // namespace

class WorkerDlgTest : public DbTest {
protected:
    AppContext Ctx(const QString &rights = QString(Rights::kCount, u'1')) {
        return AppContext(
            db(), UserInfo{QStringLiteral("u1"), QStringLiteral("anna"), QStringLiteral("Анна"), rights},
            prompter, dialogs, m_dir.path());
    }
    QString AddWorker(const QString &fio, bool out = false) {
        WorkerRecord w;
        w.workFio = fio;
        w.workDataIn = QDateTime(QDate(2022, 1, 10), QTime(8, 0));
        w.workOut = out;
        w.workDataOut = QDateTime(QDate(2024, 2, 20), QTime(8, 0));
        return WorkerStore(db()).Insert(w, QStringLiteral("anna"));
    }
    void AddLink(const QString &id, const QString &work, bool deleted) {
        Rows::Insert(db(), QStringLiteral("ServiceWork"),
                     {{QStringLiteral("IddServiceWork"), id},
                      {QStringLiteral("IddService"), QStringLiteral("s1")},
                      {QStringLiteral("IddWork"), work},
                      {QStringLiteral("Delete"), deleted}});
    }
    int LiveLinks(const QString &work) {
        return CountRows(
            db(), QStringLiteral("SELECT IddServiceWork FROM ServiceWork WHERE IddWork = ? AND [Delete] = ?"),
            {work, false});
    }

    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(WorkerDlgTest);

TEST_P(WorkerDlgTest, ListShowsWorkersWithDatesAndFollowsTheFlags) {
    AddWorker(QStringLiteral("Борисов Б."));
    AddWorker(QStringLiteral("Андреев А."), true);
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Справочник сотрудников"));
    QTreeWidget *list = List(dlg);
    ASSERT_TRUE(list);
    QStringList headings;
    for (int i = 0; i < list->columnCount(); ++i) headings << list->headerItem()->text(i);
    EXPECT_EQ(headings,
              (QStringList{QStringLiteral("Ф.И.О.:"), QStringLiteral("Адрес:"), QStringLiteral("Телефон:"),
                           QStringLiteral("Оклад:"), QStringLiteral("Принят:"), QStringLiteral("Уволен:")}));
    EXPECT_EQ(Shown(dlg), (QStringList{QStringLiteral("Андреев А."), QStringLiteral("Борисов Б.")}));
    EXPECT_EQ(Row(dlg, QStringLiteral("Андреев А."))->text(4), QStringLiteral("10.01.2022"));
    EXPECT_EQ(Row(dlg, QStringLiteral("Андреев А."))->text(5), QStringLiteral("20.02.2024"));
    EXPECT_EQ(Row(dlg, QStringLiteral("Борисов Б."))->text(5), QString());  // not dismissed: no date

    dlg.SetAllWorkers(false);
    EXPECT_EQ(Shown(dlg), QStringList{QStringLiteral("Борисов Б.")});
    EXPECT_TRUE(prompter.All().isEmpty());
}

TEST_P(WorkerDlgTest, EachCommandNeedsItsOwnRight) {
    AddWorker(QStringLiteral("Борисов Б."));
    const struct {
        int right;
        const char *button;
    } guards[] = {{22, "Add"}, {23, "Edit"}, {24, "Del"}};
    // One right taken away at a time: only its own command is refused, so two swapped rights show.
    for (const auto &denied : guards) {
        QString rights(Rights::kCount, u'1');
        rights[denied.right] = u'0';
        AppContext ctx = Ctx(rights);
        CWorkerDirDlg dlg(ctx);
        SelectRow(List(dlg), QStringLiteral("Борисов Б."));
        for (const auto &g : guards) {
            prompter.Clear();
            prompter.Answer(false);  // an allowed delete stops at its question
            dialogs.opened.clear();
            Click(dlg, g.button);
            const bool refused = prompter.warnings == QStringList{Rights::kRefusal};
            EXPECT_EQ(refused, g.right == denied.right) << "right " << denied.right << ", " << g.button;
            if (g.right == denied.right) {
                EXPECT_TRUE(prompter.questions.isEmpty());
                EXPECT_TRUE(dialogs.opened.isEmpty());
            }
        }
    }
    EXPECT_FALSE(WorkerStore(db()).List(true, false).isEmpty());

    // A rights string too short to hold the positions refuses as well.
    prompter.Clear();
    AppContext shortCtx = Ctx(QStringLiteral("1111"));
    CWorkerDirDlg shortDlg(shortCtx);
    Click(shortDlg, "Add");
    EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

TEST_P(WorkerDlgTest, EditAndDeleteNeedASelectedWorker) {
    const QString id = AddWorker(QStringLiteral("Борисов Б."));
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    Click(dlg, "Edit");
    Click(dlg, "Del");
    EXPECT_EQ(prompter.warnings, (QStringList{kNoSelectionEdit, kNoSelectionDelete}));
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(dialogs.opened.isEmpty());
    EXPECT_FALSE(WorkerStore(db()).Load(id)->deleted);
}

TEST_P(WorkerDlgTest, PickerPreTicksAndHandsBackTickedRowsInListOrder) {
    const QString a = AddWorker(QStringLiteral("Андреев А."));
    const QString b = AddWorker(QStringLiteral("Борисов Б."));
    const QString c = AddWorker(QStringLiteral("Васильев В."));
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    dlg.SetPicked({PickedWorker{QStringLiteral("sw1"), c, QStringLiteral("Васильев В."), false},
                   PickedWorker{QStringLiteral("sw2"), b, QStringLiteral("Борисов Б."), true}});
    EXPECT_EQ(Row(dlg, QStringLiteral("Васильев В."))->checkState(0), Qt::Checked);
    EXPECT_EQ(Row(dlg, QStringLiteral("Борисов Б."))->checkState(0), Qt::Unchecked);  // marked deleted
    EXPECT_EQ(Row(dlg, QStringLiteral("Андреев А."))->checkState(0), Qt::Unchecked);

    Row(dlg, QStringLiteral("Андреев А."))->setCheckState(0, Qt::Checked);
    dlg.Refill();  // a refill keeps what the user ticked
    EXPECT_EQ(Row(dlg, QStringLiteral("Андреев А."))->checkState(0), Qt::Checked);

    Click(dlg, "ok");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const PickedWorkers picked = dlg.Picked();
    ASSERT_EQ(picked.size(), 2);
    EXPECT_EQ(picked[0].iddWork, a);
    EXPECT_EQ(picked[0].workFio, QStringLiteral("Андреев А."));
    EXPECT_EQ(picked[1].iddWork, c);
    for (const PickedWorker &p : picked) {
        EXPECT_TRUE(p.iddServiceWork.isEmpty());
        EXPECT_FALSE(p.deleted);
    }
}

TEST_P(WorkerDlgTest, PickerRunThroughTheDialogSeam) {
    const QString a = AddWorker(QStringLiteral("Андреев А."));
    AddWorker(QStringLiteral("Борисов Б."));
    AppContext ctx = Ctx();
    dialogs.Then([](QDialog &d) {
        auto &dlg = dynamic_cast<CWorkerDirDlg &>(d);
        Row(dlg, QStringLiteral("Андреев А."))->setCheckState(0, Qt::Checked);
        dlg.accept();
        return dlg.result();
    });
    CWorkerDirDlg picker(ctx);
    ASSERT_EQ(ctx.dialogs().Run(picker), QDialog::Accepted);
    ASSERT_EQ(picker.Picked().size(), 1);
    EXPECT_EQ(picker.Picked()[0].iddWork, a);
}

TEST_P(WorkerDlgTest, OkFromTheMenuWritesNothing) {
    const QString a = AddWorker(QStringLiteral("Андреев А."));
    AddLink(QStringLiteral("sw1"), a, false);
    const QString before = Dump(db());
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    Row(dlg, QStringLiteral("Андреев А."))->setCheckState(0, Qt::Checked);
    Click(dlg, "ok");
    EXPECT_EQ(dlg.Picked().size(), 1);
    EXPECT_EQ(Dump(db()), before);
}

TEST_P(WorkerDlgTest, DeleteAsksAndCascades) {
    const QString a = AddWorker(QStringLiteral("Андреев А."));
    AddLink(QStringLiteral("sw1"), a, false);
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    List(dlg)->setCurrentItem(Row(dlg, QStringLiteral("Андреев А.")));

    prompter.Answer(false);
    Click(dlg, "Del");
    EXPECT_EQ(prompter.questions, QStringList{QStringLiteral("Удалить сотрудника?")});
    EXPECT_FALSE(WorkerStore(db()).Load(a)->deleted);
    ASSERT_TRUE(Row(dlg, QStringLiteral("Андреев А.")));

    prompter.Answer(true);
    Click(dlg, "Del");
    EXPECT_TRUE(WorkerStore(db()).Load(a)->deleted);
    EXPECT_EQ(LiveLinks(a), 0);
    EXPECT_TRUE(Shown(dlg).isEmpty());
    EXPECT_TRUE(prompter.warnings.isEmpty());
}

TEST_P(WorkerDlgTest, AddAndEditGoThroughTheCard) {
    AppContext ctx = Ctx();
    CWorkerDirDlg dlg(ctx);
    dialogs.Then([](QDialog &d) {
        auto &card = dynamic_cast<CWorkerDlg &>(d);
        EXPECT_FALSE(card.Existing());
        card.findChild<QLineEdit *>(QStringLiteral("fio"))->setText(QStringLiteral("  Новиков Н.  "));
        card.findChild<QLineEdit *>(QStringLiteral("tel"))->setText(QStringLiteral("12-34"));
        card.accept();
        return card.result();
    });
    Click(dlg, "Add");
    ASSERT_EQ(Shown(dlg), QStringList{QStringLiteral("Новиков Н.")});
    EXPECT_EQ(Row(dlg, QStringLiteral("Новиков Н."))->text(2), QStringLiteral("12-34"));

    QString openedOn;
    dialogs.Then([&openedOn](QDialog &d) {
        auto &card = dynamic_cast<CWorkerDlg &>(d);
        openedOn = card.IddWork();
        EXPECT_EQ(card.findChild<QLineEdit *>(QStringLiteral("fio"))->text(), QStringLiteral("Новиков Н."));
        card.findChild<QLineEdit *>(QStringLiteral("fio"))->setText(QStringLiteral("Новиков Николай"));
        card.accept();
        return card.result();
    });
    List(dlg)->setCurrentItem(Row(dlg, QStringLiteral("Новиков Н.")));
    Click(dlg, "Edit");
    EXPECT_EQ(Shown(dlg), QStringList{QStringLiteral("Новиков Николай")});
    EXPECT_EQ(WorkerStore(db()).Load(openedOn)->workFio, QStringLiteral("Новиков Николай"));
    EXPECT_TRUE(prompter.All().isEmpty());
}

TEST_P(WorkerDlgTest, CardChecksTheNameAndEnablesTheDismissalDateOnlyWhenTicked) {
    AppContext ctx = Ctx();
    CWorkerDlg card(ctx);
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Сотрудник"));
    auto *out = card.findChild<QCheckBox *>(QStringLiteral("workOut"));
    auto *dataOut = card.findChild<QDateTimeEdit *>(QStringLiteral("dataOut"));
    auto *dataIn = card.findChild<QDateTimeEdit *>(QStringLiteral("dataIn"));
    ASSERT_TRUE(out && dataOut && dataIn);
    EXPECT_EQ(out->text(), QStringLiteral("Уволен:"));
    EXPECT_FALSE(out->isChecked());
    EXPECT_FALSE(dataOut->isEnabled());
    EXPECT_EQ(dataIn->date(), QDate::currentDate());
    out->setChecked(true);
    EXPECT_TRUE(dataOut->isEnabled());
    out->setChecked(false);
    EXPECT_FALSE(dataOut->isEnabled());

    card.findChild<QLineEdit *>(QStringLiteral("fio"))->setText(QStringLiteral("   "));
    Click(card, "ok");
    EXPECT_EQ(prompter.warnings, QStringList{QStringLiteral("Укажите Ф.И.О. сотрудника")});
    EXPECT_FALSE(card.Saved());
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddWork FROM SWork")), 0);

    // A dismissed worker opens with the date picker enabled and the stored date.
    const QString id = AddWorker(QStringLiteral("Андреев А."), true);
    CWorkerDlg existing(ctx, id);
    EXPECT_TRUE(existing.findChild<QCheckBox *>(QStringLiteral("workOut"))->isChecked());
    EXPECT_TRUE(existing.findChild<QDateTimeEdit *>(QStringLiteral("dataOut"))->isEnabled());
    EXPECT_EQ(existing.findChild<QDateTimeEdit *>(QStringLiteral("dataOut"))->date(), QDate(2024, 2, 20));
    EXPECT_EQ(existing.findChild<QDateTimeEdit *>(QStringLiteral("dataIn"))->date(), QDate(2022, 1, 10));
}

TEST_P(WorkerDlgTest, FailedInsertKeepsTheCardOpen) {
    AppContext ctx = Ctx();
    CWorkerDlg card(ctx);
    card.findChild<QLineEdit *>(QStringLiteral("fio"))->setText(QStringLiteral("Новиков Н."));
    db().SetWriteHook([](const QString &sql) {
        if (sql.startsWith(QStringLiteral("INSERT"))) throw DbError(QStringLiteral("no table"));
    });
    Click(card, "ok");
    db().SetWriteHook({});
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("Таблица Сотрудников не открыта!")});
    EXPECT_FALSE(card.Saved());
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT IddWork FROM SWork")), 0);
    EXPECT_EQ(card.findChild<QLineEdit *>(QStringLiteral("fio"))->text(), QStringLiteral("Новиков Н."));

    Click(card, "ok");  // the next try goes through
    EXPECT_TRUE(card.Saved());
    EXPECT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(WorkerStore(db()).Load(card.IddWork())->workFio, QStringLiteral("Новиков Н."));
}

TEST_P(WorkerDlgTest, DismissingInTheCardHidesAndRestoresServiceLinks) {
    const QString id = AddWorker(QStringLiteral("Андреев А."));
    AddLink(QStringLiteral("sw1"), id, false);
    AddLink(QStringLiteral("sw2"), id, true);  // removed from its service by hand
    AppContext ctx = Ctx();
    {
        CWorkerDlg card(ctx, id);
        card.findChild<QCheckBox *>(QStringLiteral("workOut"))->setChecked(true);
        card.findChild<QDateTimeEdit *>(QStringLiteral("dataOut"))->setDate(QDate(2024, 5, 31));
        Click(card, "ok");
        ASSERT_TRUE(card.Saved());
    }
    EXPECT_EQ(LiveLinks(id), 0);
    EXPECT_TRUE(WorkerStore(db()).Load(id)->workOut);
    EXPECT_EQ(WorkerStore(db()).Load(id)->workDataOut.date(), QDate(2024, 5, 31));
    {
        CWorkerDlg card(ctx, id);
        card.findChild<QCheckBox *>(QStringLiteral("workOut"))->setChecked(false);
        Click(card, "ok");
        ASSERT_TRUE(card.Saved());
    }
    EXPECT_EQ(LiveLinks(id), 2);
    EXPECT_TRUE(prompter.All().isEmpty());
}
