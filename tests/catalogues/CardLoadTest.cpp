#include "BayStore.h"
#include "CBayDlg.h"
#include "CCarDlg.h"
#include "CClientDlg.h"
#include "CServiceDlg.h"
#include "CUserDlg.h"
#include "CWorkerDlg.h"
#include "DbError.h"
#include "ScreenTest.h"
#include "TestRows.h"
#include "Widgets.h"

#include <QLineEdit>
#include <functional>

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
