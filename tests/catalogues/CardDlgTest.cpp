#include "BayStore.h"
#include "CBayDlg.h"
#include "CCarDlg.h"
#include "CClientDlg.h"
#include "CClientOrdersPage.h"
#include "CServiceDlg.h"
#include "CUserDlg.h"
#include "CWorkerDirDlg.h"
#include "CWorkerDlg.h"
#include "DbError.h"
#include "Password.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "UserStore.h"
#include "Widgets.h"
#include "WorkerStore.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QTreeWidget>
#include <stdexcept>

using namespace Qt::StringLiterals;

class CardLoadTest : public ScreenTest {};
ZV_INSTANTIATE_SCREEN_TESTS(CardLoadTest);

// A card opened on a stored record that is gone or cannot be read says so and does not open: saved
// empty, it would blank the stored details (or bring a deleted record back).
TEST_P(CardLoadTest, ACardWhoseRecordIsGoneOrUnreadableDoesNotOpen) {
    const QString name = u"Ромашка"_s;
    TestRows::Put(db(), TestRows::Client{.key = u"s1"_s, .name = name});
    TestRows::Put(db(), TestRows::Car{.key = u"s1"_s, .plate = name});
    TestRows::Put(db(), TestRows::User{.key = u"s1"_s, .login = u"s"_s, .name = name});
    TestRows::Put(db(), TestRows::User{.key = u"gone"_s, .login = u"g"_s, .deleted = true});
    TestRows::Put(db(), TestRows::Worker{.key = u"s1"_s, .fio = name});
    TestRows::Put(db(), TestRows::Service{.key = u"s1"_s, .name = name});
    const struct {
        const char *table;
        std::function<bool(const QString &key)> opens;
        QString goneKey, goneMessage;
    } cards[] = {
        {"SClient", [&](const QString &k) { return CClientDlg(*ctx, k).Loaded(); }, u"k9"_s,
         u"Клиент не найден: он удален на другом рабочем месте."_s},
        {"SAvto", [&](const QString &k) { return CCarDlg(*ctx, k).Loaded(); }, u"a9"_s,
         u"Автомобиль не найден: он удален на другом рабочем месте."_s},
        {"SUser", [&](const QString &k) { return CUserDlg(*ctx, k).Loaded(); },
         u"gone"_s,  // marked deleted, not missing
         u"Пользователь не найден: он удален на другом рабочем месте."_s},
        {"SWork", [&](const QString &k) { return CWorkerDlg(*ctx, k).Loaded(); }, u"w9"_s,
         u"Сотрудник не найден: он удален на другом рабочем месте."_s},
        {"SService",
         [&](const QString &k) { return CServiceDlg(*ctx, {.existing = true, .iddService = k}).Loaded(); },
         u"v9"_s, u"Внимание! Справочник услуг не найден!"_s},
    };
    for (const auto &c : cards) {
        SCOPED_TRACE(c.table);
        EXPECT_TRUE(c.opens(u"s1"_s));
        EXPECT_TRUE(prompter.All().isEmpty()) << prompter.All().join(u'\n').toStdString();
        EXPECT_FALSE(c.opens(c.goneKey));
        EXPECT_EQ(prompter.All(), QStringList{c.goneMessage});
        db().Exec(u"ALTER TABLE %1 RENAME TO Unreadable"_s.arg(QLatin1String(c.table)));
        EXPECT_FALSE(c.opens(u"s1"_s));
        db().Exec(u"ALTER TABLE Unreadable RENAME TO %1"_s.arg(QLatin1String(c.table)));
        EXPECT_EQ(prompter.All().size(), 2);  // the gone record's message, then the driver's
        prompter.Clear();
    }
}

// A screen reaches the layer above through its context; a wire that was never provided fails loudly and
// names itself, rather than leaving the command doing nothing.
TEST_P(CardLoadTest, ACommandWhoseWireUpwardsWasNeverProvidedFailsNamingIt) {
    TestRows::Put(db(), TestRows::Client{.key = u"c1"_s, .name = u"Ромашка"_s});
    CClientDlg card(*ctx, u"c1"_s);
    try {
        card.ordersPage()->AddOrder();
        ADD_FAILURE() << "the new order went nowhere";
    } catch (const std::logic_error &e) {
        EXPECT_STREQ(e.what(), "AppContext: no order forms were provided");
    }
}

// A write that fails is shown, and the card stays open with what was typed, so the next try stores it.
TEST_P(CardLoadTest, AFailedWriteKeepsTheCardOpenForTheNextTry) {
    CBayDlg bay(*ctx);
    bay.SetSaver(
        [this](const QString &name, const QString &note) { BayStore(db()).Add(name, note, u"anna"_s); });
    Edit(bay, "name")->setText(u"   "_s);
    Edit(bay, "note")->setText(u" у ворот "_s);
    Click(bay, "ok");
    EXPECT_EQ(
        prompter.warnings,
        QStringList{u"Укажите название, номер мойки или бокса,\nгде осуществляется оказание услуги!"_s});
    Edit(bay, "name")->setText(u" Бокс 1 "_s);
    CWorkerDlg worker(*ctx);
    Edit(worker, "fio")->setText(u"Новиков Н."_s);
    CServiceDlg service(*ctx, ServiceCardSetup{});
    Edit(service, "name")->setText(u"Мойка кузова"_s);
    const struct {
        const char *table;
        QDialog &card;
        QString error;
    } cards[] = {
        {"SBox", bay, u"нет связи с сервером"_s},
        {"SWork", worker, u"Таблица Сотрудников не открыта!"_s},
        {"SService", service, u"нет связи с сервером"_s},
    };
    for (const auto &c : cards) {
        SCOPED_TRACE(c.table);
        prompter.Clear();
        const QString rows = u"SELECT * FROM "_s + QLatin1String(c.table);
        db().SetWriteHook([](const QString &) { throw DbError(u"нет связи с сервером"_s); });
        Click(c.card, "ok");
        db().SetWriteHook({});
        EXPECT_EQ(prompter.All(), QStringList{c.error});
        EXPECT_NE(c.card.result(), QDialog::Accepted);
        EXPECT_EQ(CountRows(db(), rows), 0);
        Click(c.card, "ok");
        EXPECT_EQ(c.card.result(), QDialog::Accepted);
        EXPECT_EQ(CountRows(db(), rows), 1);
    }
    EXPECT_EQ(bay.Name() + u'|' + bay.Note(), u"Бокс 1|у ворот"_s);  // trimmed
}

// Пётр (petr, key "p") holds only rights 1, 2 and 9 and a stored password "hash".
class UserDlgTest : public ScreenTest {
protected:
    void Fill() override {
        ScreenTest::Fill();
        TestRows::Put(db(), TestRows::User{u"p"_s, u"petr"_s, u"Пётр"_s, u"hash"_s, u"0110000001"_s});
    }
    static void Fill(QDialog &card, const QString &name, const QString &login, const QString &password) {
        Edit(card, "name")->setText(name);
        Edit(card, "login")->setText(login);
        Edit(card, "password")->setText(password);
    }
    UserRecord Stored(const QString &key) { return *UserStore(db()).Load(key); }
};
ZV_INSTANTIATE_SCREEN_TESTS(UserDlgTest);

TEST_P(UserDlgTest, ANewUserIsSavedWithTheRightsOfTheBoxesAndTheJournalBoxClearsItsOwn) {
    CUserDlg card(*ctx);
    Fill(card, u" Орлова Ольга "_s, u" olga "_s, u"тайна"_s);
    for (int pos : {0, 2, 9, 13, 18, 22, 27}) card.RightBox(pos)->setChecked(true);
    const QString expected = u"101000000100010000100010000100000"_s;
    EXPECT_EQ(card.Prova(), expected);
    Click(card, "ok");
    ASSERT_TRUE(card.Saved());
    const UserRecord stored = Stored(card.IddUser());
    EXPECT_EQ((QStringList{stored.prova, stored.name, stored.login}),
              (QStringList{expected, "Орлова Ольга", "olga"}));
    EXPECT_TRUE(Password::IsHash(stored.pass) && Password::Matches(u"тайна"_s, stored.pass));

    // Unticking the order journal clears its eight rights.
    for (int pos = 0; pos <= 9; ++pos) card.RightBox(pos)->setChecked(true);
    card.RightBox(0)->setChecked(false);
    card.RightBox(0)->setChecked(true);                           // ticking it again brings none back
    EXPECT_EQ(card.Prova(), u"1000000001"_s + expected.mid(10));  // the cash journal is not one of them
}

TEST_P(UserDlgTest, StoredRightsAreShownAsTheyAreAndThePasswordNever) {
    CUserDlg card(*ctx, u"p"_s);
    EXPECT_TRUE(card.Existing());
    EXPECT_EQ(Edit(card, "name")->text() + Edit(card, "login")->text() + Edit(card, "password")->text(),
              u"Пётрpetr"_s);
    EXPECT_EQ(Edit(card, "password")->echoMode(), QLineEdit::Password);
    // Position 0 clear with 1 and 2 set: loading does not clear them; a short string grants nothing past its
    // end.
    EXPECT_EQ(card.Prova(), u"0110000001"_s + QString(Rights::kCount - 10, u'0'));
    Click(card, "ok");  // an empty password field keeps the stored password
    ASSERT_TRUE(card.Saved());
    EXPECT_EQ(Stored(u"p"_s).pass + Stored(u"p"_s).prova,
              u"hash0110000001"_s + QString(Rights::kCount - 10, u'0'));
}

TEST_P(UserDlgTest, RequiredFieldsAreAskedForInOrderAndALoginIsNotShared) {
    CUserDlg card(*ctx);
    Fill(card, u"  "_s, {}, {});
    Click(card, "ok");
    Fill(card, u"Орлова"_s, {}, {});
    Click(card, "ok");
    Fill(card, u"Орлова"_s, u"olga"_s, u"   "_s);
    Click(card, "ok");
    Fill(card, u"Другой Пётр"_s, u"PETR"_s, u"x"_s);  // letter case does not make another login
    Click(card, "ok");
    EXPECT_EQ(
        prompter.warnings,
        (QStringList{u"Укажите Ф.И.О. пользователя!"_s,
                     u"Укажите логин пользователя!\nОптимально латинскими бувами\nдлиной до 8 символов."_s,
                     u"Укажите пароль пользователя!"_s,
                     u"Пользователь с логином \"PETR\" уже есть!\nУкажите другой логин."_s}));
    EXPECT_FALSE(card.Saved() || card.result() == QDialog::Accepted);
    EXPECT_EQ(CountRows(db(), u"SELECT * FROM SUser"_s), 1);
}

class WorkerDlgTest : public ScreenTest {
protected:
    // Андреев (a, dismissed), Борисов (b) and Васильев (c), hired 10.01.2022.
    void Fill() override {
        ScreenTest::Fill();
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

TEST_P(WorkerDlgTest, ListShowsDismissalDatesAndThePickerHandsBackTickedRows) {
    TestRows::Put(db(), TestRows::WorkerService{u"sw1"_s, u"s1"_s, u"c"_s});
    CWorkerDirDlg dlg(*ctx);
    EXPECT_EQ(RowTexts(List(dlg)), (QStringList{"Андреев А.", "Борисов Б.", "Васильев В."}));
    // Борисов is not dismissed: no date of dismissal.
    EXPECT_EQ((QStringList{Row(dlg, u"Андреев А."_s)->text(4), Row(dlg, u"Андреев А."_s)->text(5),
                           Row(dlg, u"Борисов Б."_s)->text(5)}),
              (QStringList{"10.01.2022", "20.02.2024", ""}));
    dlg.SetPicked({{u"sw1"_s, u"c"_s, u"Васильев В."_s, false}, {u"sw2"_s, u"b"_s, u"Борисов Б."_s, true}});
    // Борисов's link is marked deleted: not ticked. A refill keeps what the user ticked.
    Row(dlg, u"Андреев А."_s)->setCheckState(0, Qt::Checked);
    dlg.Refill();
    Click(dlg, "ok");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    QStringList got;  // fresh picks: no link key, not deleted
    for (const PickedWorker &p : dlg.Picked())
        got << p.iddWork + p.workFio + p.iddServiceWork + (p.deleted ? "!" : "");
    EXPECT_EQ(got, (QStringList{"aАндреев А.", "cВасильев В."}));
}

TEST_P(WorkerDlgTest, CardChecksTheNameAndTheDismissalDateFollowsTheBox) {
    CWorkerDlg card(*ctx);
    EXPECT_FALSE(Out(card)->isChecked() || Date(card, "dataOut")->isEnabled());
    EXPECT_EQ(Date(card, "dataIn")->date(), QDate::currentDate());
    Out(card)->setChecked(true);
    EXPECT_TRUE(Date(card, "dataOut")->isEnabled());
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
