#include "BayStore.h"
#include "DbError.h"
#include "ErrorText.h"
#include "Password.h"
#include "Rows.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"
#include "UserInfo.h"
#include "UserStore.h"
#include "WorkerStore.h"

#include <QStringList>

using namespace Qt::StringLiterals;

class StaffStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(StaffStoreTest);

// On PostgreSQL the password is the server role's (the role tests are the server's own file's).
TEST_P(StaffStoreTest, UserPasswordsAreHashedLoginsAreNotSharedAndTheLastAdministratorStays) {
    UserStore users(db());
    const bool server = GetParam() == Backend::Postgres;
    const QString anna = Login("anna"), oleg = Login("oleg");
    const UserRecord first = users.CreateFirstUser(u"Иванова А.П."_s, anna, u"секрет"_s);
    EXPECT_EQ(first.prova, QString(Rights::kCount, u'1'));
    EXPECT_TRUE(server ? first.pass.isEmpty()
                       : Password::IsHash(first.pass) && Password::Matches(u"секрет"_s, first.pass));

    // The last user with the right to the users keeps it and stays: nobody could give it back.
    UserRecord edited = first;
    edited.name = u"Иванова Анна"_s;
    edited.prova = u"1"_s;
    EXPECT_EQ(ErrorText([&] { users.Save(edited, QString()); }), UserStore::kLastAdminRight);
    edited.prova = first.prova;
    users.Save(edited, QString());  // empty password field keeps the stored one
    const auto back = users.Load(first.iddUser);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name + back->pass, u"Иванова Анна"_s + first.pass);

    // Letter case does not make "Anna" another login.
    UserRecord second{u"anna~2~"_s, Login("Anna"), {}, u"Олег"_s, u"1"_s, false};
    EXPECT_THROW(users.Save(second, u"pw"_s), DbError);
    second.login = oleg;
    EXPECT_THROW(users.Save(second, QString()), DbError);  // a new user needs a password
    EXPECT_FALSE(users.Load(second.iddUser));

    users.Save(second, u"pw"_s);
    EXPECT_EQ(ErrorText([&] { users.SoftDelete(first.iddUser); }), UserStore::kLastAdminDelete);
    second.prova = first.prova;
    users.Save(second, QString());
    users.SoftDelete(first.iddUser);
    EXPECT_TRUE(users.ListActive().size() == 1 && users.ListActive()[0].login == oleg);
    // The last live user cannot be deleted: the next start would let anyone create a first user.
    EXPECT_THROW(users.SoftDelete(second.iddUser), DbError);
    // Once its user is deleted the login is free again.
    second.login = anna;
    users.Save(second, server ? u"pw2"_s : QString());
    EXPECT_EQ(users.Load(second.iddUser)->login, anna);
}

class WorkerStoreTest : public DbTest {
protected:
    QString Add(const QString &fio, bool out = false) {
        return WorkerStore(db()).Insert({{}, fio, u"ул. Ленина, 1"_s, u"+7 900 000-00-00"_s, kIn, out, kOut},
                                        u"anna"_s);
    }
    const QDateTime kIn = QDateTime(QDate(2023, 3, 1), QTime(9, 30)),
                    kOut = QDateTime(QDate(2024, 6, 15), QTime(18, 0));
    // Service links (ServiceWork) of the worker, one per service named; "-" marks one deleted by hand.
    void Links(const QString &worker, const QStringList &services) {
        for (const QString &s : services)
            TestRows::Put(db(), TestRows::WorkerService{worker + s, s, worker, s.startsWith(u'-')});
    }
    int Count(const char *sql, const QString &worker, bool deleted) {
        return CountRows(db(), QString::fromLatin1(sql), {worker, deleted});
    }
    int LiveLinks(const QString &worker) {
        return Count("SELECT * FROM ServiceWork WHERE IddWork = ? AND [Delete] = ?", worker, false);
    }
};
ZV_INSTANTIATE_DB_TESTS(WorkerStoreTest);

// Also: dismissal takes the worker off every service and taking it back puts him on them all again.
TEST_P(WorkerStoreTest, InsertedWorkerReadsBackTheCardKeepsTheSalaryAndDismissalTogglesServiceLinks) {
    WorkerStore store(db());
    const QString id = Add(u"Петров Пётр"_s);
    EXPECT_TRUE(id.startsWith(u"anna~"_s));
    const auto back = store.Load(id);
    ASSERT_TRUE(back);
    EXPECT_EQ((QStringList{back->workFio, back->workAdres, back->workTel}),
              (QStringList{"Петров Пётр", "ул. Ленина, 1", "+7 900 000-00-00"}));
    EXPECT_EQ(back->workDataIn, kIn);

    // A salary set elsewhere survives the card's save.
    Rows::Update(db(), u"SWork"_s, {{u"IddWork"_s, id}}, {{u"WorkSalary"_s, 25000.0}});
    WorkerRecord edited = *back;
    edited.workSalary = Rub(0);
    edited.workTel = u"55-55-55"_s;
    store.Update(edited);
    EXPECT_EQ(store.Load(id)->workSalary.Text() + store.Load(id)->workTel, u"25000.0055-55-55"_s);

    // A worker who is not there is an error.
    WorkerRecord nobody = edited;
    nobody.iddWork = u"nobody~1~"_s;
    EXPECT_THROW(store.Update(nobody), DbError);

    Links(id, {u"s1"_s, u"s2"_s, u"-s3"_s});  // s3: removed from the service by hand

    edited.workOut = true;
    store.Update(edited);
    EXPECT_TRUE(store.Load(id)->workOut && store.Load(id)->workDataOut == kOut);
    EXPECT_EQ(LiveLinks(id), 0);

    // Taking the dismissal back restores every link, the one removed by hand included.
    edited.workOut = false;
    store.Update(edited);
    EXPECT_EQ(LiveLinks(id), 3);

    // A failed save leaves both the worker and the links as they were.
    edited.workOut = true;
    EXPECT_TRUE(FailsWhenWriting(db(), u"ServiceWork"_s, [&] { store.Update(edited); }));
    EXPECT_FALSE(store.Load(id)->workOut);
    EXPECT_EQ(LiveLinks(id), 3);
}

TEST_P(WorkerStoreTest, DeleteMarksLinksAssignmentsAndPayoutLinesAllOrNothing) {
    WorkerStore store(db());
    const QString id = Add(u"Сидоров"_s), other = Add(u"Козлов"_s, true);
    Links(id, {u"s1"_s, u"s2"_s});
    Links(other, {u"s1"_s});
    TestRows::Put(db(),
                  TestRows::Order{.key = u"z1"_s, .lines = {{.workers = {{id, u"x"_s}, {other, u"y"_s}}}}});
    for (const QString &w : {id, other})
        TestRows::Put(db(), TestRows::Payout{.key = "wp-"_L1 + w, .pay = u"p1"_s, .worker = w, .sum = 100});

    EXPECT_TRUE(FailsWhenWriting(db(), u"TWorkPay"_s, [&] { store.Delete(id); }));
    EXPECT_FALSE(store.Load(id)->deleted);
    EXPECT_EQ(LiveLinks(id), 2);

    ASSERT_TRUE(store.Delete(id));
    for (const auto &[worker, deleted] : {std::pair{id, true}, {other, false}}) {
        SCOPED_TRACE(worker.toStdString());
        EXPECT_EQ(store.Load(worker)->deleted, deleted);
        EXPECT_EQ(LiveLinks(worker), deleted ? 0 : 1);
        EXPECT_EQ(Count("SELECT * FROM TWork WHERE IddWork = ? AND [Delete] = ?", worker, deleted), 1);
        EXPECT_EQ(Count("SELECT * FROM TWorkPay WHERE IddWork = ? AND DeleteWorkPay = ?", worker, deleted),
                  1);
    }
    EXPECT_FALSE(store.Delete(u"nobody~1~"_s));
    // The list keeps the dismissed worker and leaves the deleted one out.
    EXPECT_TRUE(store.List().size() == 1 && store.List()[0].workFio == u"Козлов"_s);
}

TEST_P(StaffStoreTest, BaysAreAddedUpdatedAndHidden) {
    BayStore store(db());
    const QString wash = store.Add(u"Мойка 2"_s, u"тёплая"_s, u"anna"_s);
    const QString box = store.Add(u"Бокс 1"_s, QString(), u"anna"_s);
    EXPECT_TRUE(wash.startsWith(u"anna~"_s) && wash != box);
    const auto listed = [&store] {
        QStringList rows;  // by name
        for (const BayRecord &b : store.List()) rows << b.iddBox + u'|' + b.nameBox + u'|' + b.primBox;
        return rows;
    };
    EXPECT_EQ(listed(), (QStringList{box + u"|Бокс 1|"_s, wash + u"|Мойка 2|тёплая"_s}));

    EXPECT_TRUE(store.Update(wash, u"Мойка 3"_s, u""_s));
    EXPECT_FALSE(store.Update(u"nobody"_s, u"x"_s, QString()));
    EXPECT_EQ(listed(), (QStringList{box + u"|Бокс 1|"_s, wash + u"|Мойка 3|"_s}));

    EXPECT_TRUE(store.Delete(box));
    EXPECT_EQ(listed(), QStringList{wash + u"|Мойка 3|"_s});
    EXPECT_TRUE(store.Load(box));  // marked deleted: the row stays
}
