#include "DbError.h"
#include "Password.h"
#include "Schema.h"
#include "TestDb.h"
#include "UserStore.h"

class UserStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(UserStoreTest);

TEST_P(UserStoreTest, PasswordsAreHashedAndKeptWhenLeftEmpty) {
    UserStore users(db());
    EXPECT_FALSE(users.HasAnyUser());
    const UserRecord first = users.CreateFirstUser(QStringLiteral("Иванова А.П."), QStringLiteral("anna"),
                                                   QStringLiteral("секрет"));
    EXPECT_TRUE(users.HasAnyUser());
    EXPECT_EQ(first.prova, QString(28, u'1'));
    EXPECT_TRUE(Password::IsHash(first.pass));
    EXPECT_TRUE(Password::Matches(QStringLiteral("секрет"), first.pass));

    UserRecord edited = first;
    edited.name = QStringLiteral("Иванова Анна");
    edited.prova = QStringLiteral("1");
    users.Save(edited, QString());  // empty password field keeps the stored one
    const auto back = users.Load(first.iddUser);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, QStringLiteral("Иванова Анна"));
    EXPECT_EQ(back->pass, first.pass);

    UserRecord fresh;
    fresh.iddUser = QStringLiteral("anna~1~");
    fresh.login = QStringLiteral("oleg");
    EXPECT_THROW(users.Save(fresh, QString()), DbError);  // a new user needs a password
    EXPECT_FALSE(users.Load(fresh.iddUser));

    // The last live user cannot be deleted: the next start would let anyone create a first user.
    EXPECT_THROW(users.SoftDelete(first.iddUser), DbError);
    EXPECT_TRUE(users.HasAnyUser());
    UserRecord second;
    second.iddUser = QStringLiteral("anna~2~");
    second.login = QStringLiteral("oleg");
    second.name = QStringLiteral("Олег");
    users.Save(second, QStringLiteral("pw"));
    users.SoftDelete(first.iddUser);
    ASSERT_EQ(users.ListActive().size(), 1);
    EXPECT_EQ(users.ListActive()[0].login, QStringLiteral("oleg"));
    EXPECT_THROW(users.SoftDelete(second.iddUser), DbError);
}

TEST_P(UserStoreTest, TwoLiveUsersNeverShareALogin) {
    UserStore users(db());
    const UserRecord anna =
        users.CreateFirstUser(QStringLiteral("Иванова А.П."), QStringLiteral("anna"), QStringLiteral("pw"));
    UserRecord other;
    other.iddUser = QStringLiteral("anna~2~");
    other.login = QStringLiteral("Anna");  // letter case does not make it another login
    other.name = QStringLiteral("Анна");
    try {
        users.Save(other, QStringLiteral("pw"));
        FAIL() << "the login is taken";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(),
                  QStringLiteral("Пользователь с логином \"Anna\" уже есть!\nУкажите другой логин."));
        EXPECT_EQ(e.field(), QStringLiteral("SUser.Login"));
    }
    EXPECT_FALSE(users.Load(other.iddUser));
    // Once its user is deleted the login is free again.
    other.login = QStringLiteral("oleg");
    users.Save(other, QStringLiteral("pw"));
    users.SoftDelete(anna.iddUser);
    other.login = QStringLiteral("anna");
    users.Save(other, QString());
    EXPECT_EQ(users.Load(other.iddUser)->login, QStringLiteral("anna"));
    // A login too long for the keys made from it is refused.
    other.login = QString(FieldMaxLength(QStringLiteral("SUser"), QStringLiteral("Login")) + 1, u'a');
    EXPECT_THROW(users.Save(other, QString()), DbError);
    EXPECT_EQ(users.Load(other.iddUser)->login, QStringLiteral("anna"));
}
