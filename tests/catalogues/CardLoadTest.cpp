#include "CCarDlg.h"
#include "CClientDlg.h"
#include "CServiceDlg.h"
#include "CUserDlg.h"
#include "CWorkerDlg.h"
#include "Rows.h"
#include "ScreenTest.h"

#include <functional>

class CardLoadTest : public ScreenTest {};
ZV_INSTANTIATE_DB_TESTS(CardLoadTest);

// A card opened on a stored record that is gone or cannot be read says so and does not open: saved
// empty, it would blank the stored details (or bring a deleted record back).
TEST_P(CardLoadTest, ACardWhoseRecordIsGoneOrUnreadableDoesNotOpen) {
    Rows::Insert(db(), QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), QStringLiteral("gone")}, {QStringLiteral("Delete"), true}});
    const struct {
        const char *table, *key, *name;
        std::function<bool(const QString &key)> opens;
        QString goneKey, goneMessage;
    } cards[] = {
        {"SClient", "IddClient", "ClientName", [&](const QString &k) { return CClientDlg(*ctx, k).Loaded(); },
         QStringLiteral("k9"), QStringLiteral("Клиент не найден: он удален на другом рабочем месте.")},
        {"SAvto", "IddAvto", "AvtoNomer", [&](const QString &k) { return CCarDlg(*ctx, k).Loaded(); },
         QStringLiteral("a9"), QStringLiteral("Автомобиль не найден: он удален на другом рабочем месте.")},
        {"SUser", "IddUser", "Name", [&](const QString &k) { return CUserDlg(*ctx, k).Loaded(); },
         QStringLiteral("gone"),  // marked deleted, not missing
         QStringLiteral("Пользователь не найден: он удален на другом рабочем месте.")},
        {"SWork", "IddWork", "WorkFIO", [&](const QString &k) { return CWorkerDlg(*ctx, k).Loaded(); },
         QStringLiteral("w9"), QStringLiteral("Сотрудник не найден: он удален на другом рабочем месте.")},
        {"SService", "IddService", "Name",
         [&](const QString &k) {
             ServiceCardSetup setup;
             setup.existing = true;
             setup.iddService = k;
             return CServiceDlg(*ctx, setup).Loaded();
         },
         QStringLiteral("v9"), QStringLiteral("Внимание! Справочник услуг не найден!")},
    };
    for (const auto &c : cards) {
        SCOPED_TRACE(c.table);
        const QString table = QString::fromLatin1(c.table), name = QString::fromLatin1(c.name);
        Rows::Insert(db(), table,
                     {{QString::fromLatin1(c.key), QStringLiteral("s1")}, {name, QStringLiteral("Ромашка")}});
        const QString nameSql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(name, table, c.key);
        EXPECT_TRUE(c.opens(QStringLiteral("s1")));
        EXPECT_TRUE(prompter.All().isEmpty()) << prompter.All().join(u'\n').toStdString();

        EXPECT_FALSE(c.opens(c.goneKey));
        EXPECT_EQ(prompter.All(), QStringList{c.goneMessage});
        db().Exec(QStringLiteral("ALTER TABLE %1 RENAME TO Unreadable").arg(table));
        EXPECT_FALSE(c.opens(QStringLiteral("s1")));
        db().Exec(QStringLiteral("ALTER TABLE Unreadable RENAME TO %1").arg(table));
        EXPECT_EQ(prompter.All().size(), 2);  // the gone record's message, then the driver's
        prompter.Clear();
        EXPECT_EQ(ColumnTexts(db(), nameSql, {QStringLiteral("s1")}), QStringList{QStringLiteral("Ромашка")});
    }
}
