#include "CCarDlg.h"
#include "CClientDlg.h"
#include "CUserDlg.h"
#include "CWorkerDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "ScreenTest.h"
#include "UserStore.h"
#include "WorkerStore.h"

#include <functional>

class CardLoadTest : public ScreenTest {};
ZV_INSTANTIATE_DB_TESTS(CardLoadTest);

// A card opened on a stored record that is gone or cannot be read says so and does not open: saved
// empty, it would blank the stored details (or bring back a deleted record).
TEST_P(CardLoadTest, ACardWhoseRecordIsGoneOrUnreadableDoesNotOpen) {
    ClientRecord client;
    client.iddClient = QStringLiteral("k1");
    client.clientName = QStringLiteral("Ромашка");
    ClientStore(db()).Save(client);
    CarRecord car;
    car.iddAvto = QStringLiteral("a1");
    car.avtoNomer = QStringLiteral("А001АА");
    QList<CarOwner> owners;
    CarStore(db()).Save(car, owners, QStringLiteral("anna"));
    UserRecord user;
    user.iddUser = QStringLiteral("u2");
    user.login = QStringLiteral("boris");
    user.name = QStringLiteral("Борис");
    UserStore(db()).Save(user, QStringLiteral("secret"));
    UserRecord gone = user;
    gone.iddUser = QStringLiteral("u3");
    gone.login = QStringLiteral("vera");
    UserStore(db()).Save(gone, QStringLiteral("secret"));
    UserStore(db()).SoftDelete(gone.iddUser);
    WorkerRecord worker;
    worker.workFio = QStringLiteral("Иванов");
    const QString iddWork = WorkerStore(db()).Insert(worker, QStringLiteral("anna"));

    const struct {
        const char *table, *keyColumn, *nameColumn;
        QString key, goneKey;
        std::function<bool(const QString &key)> opens;
        QString goneMessage;
    } cards[] = {
        {"SClient", "IddClient", "ClientName", client.iddClient, QStringLiteral("k9"),
         [&](const QString &key) { return CClientDlg(*ctx, key).Loaded(); },
         QStringLiteral("Клиент не найден: он удален на другом рабочем месте.")},
        {"SAvto", "IddAvto", "AvtoNomer", car.iddAvto, QStringLiteral("a9"),
         [&](const QString &key) { return CCarDlg(*ctx, key).Loaded(); },
         QStringLiteral("Автомобиль не найден: он удален на другом рабочем месте.")},
        {"SUser", "IddUser", "Name", user.iddUser, gone.iddUser,  // deleted, not missing
         [&](const QString &key) { return CUserDlg(*ctx, key).Loaded(); },
         QStringLiteral("Пользователь не найден: он удален на другом рабочем месте.")},
        {"SWork", "IddWork", "WorkFIO", iddWork, QStringLiteral("w9"),
         [&](const QString &key) { return CWorkerDlg(*ctx, key).Loaded(); },
         QStringLiteral("Сотрудник не найден: он удален на другом рабочем месте.")},
    };
    for (const auto &c : cards) {
        SCOPED_TRACE(c.table);
        const QString table = QString::fromLatin1(c.table);
        const QString rowSql =
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                .arg(QString::fromLatin1(c.nameColumn), table, QString::fromLatin1(c.keyColumn));
        const QStringList stored = ColumnTexts(db(), rowSql, {c.key});
        const QStringList goneRow = ColumnTexts(db(), rowSql, {c.goneKey});
        EXPECT_TRUE(c.opens(c.key));
        EXPECT_TRUE(prompter.All().isEmpty()) << prompter.All().join(u'\n').toStdString();

        EXPECT_FALSE(c.opens(c.goneKey));
        EXPECT_EQ(prompter.warnings, QStringList{c.goneMessage});
        prompter.Clear();

        db().Exec(QStringLiteral("ALTER TABLE %1 RENAME TO Unreadable").arg(table));
        EXPECT_FALSE(c.opens(c.key));
        db().Exec(QStringLiteral("ALTER TABLE Unreadable RENAME TO %1").arg(table));
        EXPECT_EQ(prompter.errors.size(), 1);
        EXPECT_TRUE(prompter.warnings.isEmpty());
        prompter.Clear();

        EXPECT_EQ(ColumnTexts(db(), rowSql, {c.key}), stored);
        EXPECT_EQ(ColumnTexts(db(), rowSql, {c.goneKey}), goneRow);
    }
    EXPECT_TRUE(dialogs.opened.isEmpty());
}
