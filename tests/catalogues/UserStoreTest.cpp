#include "DbError.h"
#include "Password.h"
#include "Schema.h"
#include "TestDb.h"
#include "UserStore.h"

using namespace Qt::StringLiterals;

class UserStoreTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(UserStoreTest);

TEST_P(UserStoreTest, PasswordsAreHashedAndKeptWhenLeftEmpty) {
    UserStore users(db());
    EXPECT_FALSE(users.HasAnyUser());
    const UserRecord first = users.CreateFirstUser(u"Иванова А.П."_s, u"anna"_s, u"секрет"_s);
    EXPECT_TRUE(users.HasAnyUser());
    EXPECT_EQ(first.prova, QString(28, u'1'));
    EXPECT_TRUE(Password::IsHash(first.pass) && Password::Matches(u"секрет"_s, first.pass));

    UserRecord edited = first;
    edited.name = u"Иванова Анна"_s;
    edited.prova = u"1"_s;
    users.Save(edited, QString());  // empty password field keeps the stored one
    const auto back = users.Load(first.iddUser);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name + back->pass, u"Иванова Анна"_s + first.pass);

    UserRecord second;
    second.iddUser = u"anna~2~"_s;
    second.login = u"oleg"_s;
    second.name = u"Олег"_s;
    EXPECT_THROW(users.Save(second, QString()), DbError);  // a new user needs a password
    EXPECT_FALSE(users.Load(second.iddUser));

    // The last live user cannot be deleted: the next start would let anyone create a first user.
    EXPECT_THROW(users.SoftDelete(first.iddUser), DbError);
    EXPECT_TRUE(users.HasAnyUser());
    users.Save(second, u"pw"_s);
    users.SoftDelete(first.iddUser);
    EXPECT_TRUE(users.ListActive().size() == 1 && users.ListActive()[0].login == u"oleg"_s);
    EXPECT_THROW(users.SoftDelete(second.iddUser), DbError);
}

TEST_P(UserStoreTest, TwoLiveUsersNeverShareALogin) {
    UserStore users(db());
    const UserRecord anna = users.CreateFirstUser(u"Иванова А.П."_s, u"anna"_s, u"pw"_s);
    UserRecord other;
    other.iddUser = u"anna~2~"_s;
    other.login = u"Anna"_s;  // letter case does not make it another login
    other.name = u"Анна"_s;
    try {
        users.Save(other, u"pw"_s);
        FAIL() << "the login is taken";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), u"Пользователь с логином \"Anna\" уже есть!\nУкажите другой логин."_s);
        EXPECT_EQ(e.field(), u"SUser.Login"_s);
    }
    EXPECT_FALSE(users.Load(other.iddUser));
    // Once its user is deleted the login is free again.
    other.login = u"oleg"_s;
    users.Save(other, u"pw"_s);
    users.SoftDelete(anna.iddUser);
    other.login = u"anna"_s;
    users.Save(other, QString());
    EXPECT_EQ(users.Load(other.iddUser)->login, u"anna"_s);
    // A login too long for the keys made from it is refused.
    other.login = QString(FieldMaxLength(u"SUser"_s, u"Login"_s) + 1, u'a');
    EXPECT_THROW(users.Save(other, QString()), DbError);
    EXPECT_EQ(users.Load(other.iddUser)->login, u"anna"_s);
}
