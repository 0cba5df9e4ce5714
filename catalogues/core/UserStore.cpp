#include "UserStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Password.h"
#include "Rows.h"
#include "ServerRoles.h"
#include "UserInfo.h"

namespace {

const QString kTable = QStringLiteral("SUser");

UserRecord Read(const CDynamicRecordset &rs) {
    UserRecord u;
    u.iddUser = rs.Text(QStringLiteral("IddUser"));
    u.login = rs.Text(QStringLiteral("Login"));
    u.pass = rs.Text(QStringLiteral("Pass"));
    u.name = rs.Text(QStringLiteral("Name"));
    u.prova = rs.Text(QStringLiteral("Prova"));
    u.deleted = rs.Bool(QStringLiteral("Delete"));
    return u;
}

}  // namespace

QList<UserRecord> UserStore::ListActive() {
    QList<UserRecord> users;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
        "SELECT SUser.IddUser, SUser.Login, SUser.[Name], SUser.Prova, SUser.[Delete] FROM SUser "
        "WHERE SUser.[Delete] = FALSE ORDER BY SUser.[Name], SUser.Login"));
    for (; !rs.IsEOF(); rs.MoveNext()) users << Read(rs);
    return users;
}

std::optional<UserRecord> UserStore::Load(const QString &iddUser) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SUser.* FROM SUser WHERE SUser.IddUser = ?"), {iddUser});
    if (rs.IsEOF()) return std::nullopt;
    return Read(rs);
}

std::optional<UserRecord> UserStore::FindLogin(const QString &login) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
                "SELECT SUser.IddUser, SUser.Login, SUser.[Name], SUser.Prova, SUser.[Delete] FROM SUser "
                "WHERE SUser.Login = ? AND SUser.[Delete] = FALSE"),
            {login});
    if (rs.IsEOF()) return std::nullopt;
    return Read(rs);
}

bool UserStore::HasAnyUser() {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SUser.IddUser FROM SUser WHERE SUser.[Delete] = FALSE"));
    return !rs.IsEOF();
}

void UserStore::Save(const UserRecord &user, const QString &newPassword,
                     const std::optional<UserRecord> &loaded) {
    if (user.iddUser.isEmpty()) throw DbError(QStringLiteral("У пользователя нет ключа."));
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, kTable, QStringLiteral("IddUser"), user.iddUser);
        ChangedMeanwhile::Expect(Load(user.iddUser), *loaded,
                                 [&](const UserRecord &u) { return u.deleted && !loaded->deleted; });
    }
    // On a server that keeps the users as its roles the password is the server's alone.
    const bool server = ServerRoles::InUse(m_db);
    Values rest = {{QStringLiteral("Login"), user.login},
                   {QStringLiteral("Name"), user.name},
                   {QStringLiteral("Prova"), user.prova},
                   {QStringLiteral("Delete"), user.deleted}};
    if (server)
        rest << ColumnValue{QStringLiteral("Pass"), QString()};
    else if (!newPassword.isEmpty())
        rest << ColumnValue{QStringLiteral("Pass"), Password::Hash(newPassword)};
    const Values key = {{QStringLiteral("IddUser"), user.iddUser}};
    Rows::Check(kTable, rest);
    // The login begins every key its user makes: two live users must not share one (in any letter case,
    // as the user card compares them). The database keeps the exact rule too.
    if (!user.deleted) {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral(
                    "SELECT SUser.Login FROM SUser WHERE SUser.[Delete] = FALSE AND SUser.IddUser <> ?"),
                {user.iddUser});
        for (; !rs.IsEOF(); rs.MoveNext())
            if (rs.Text(QStringLiteral("Login")).compare(user.login, Qt::CaseInsensitive) == 0)
                throw DbError(QStringLiteral("Пользователь с логином \"%1\" уже есть!\nУкажите другой логин.")
                                  .arg(user.login),
                              QStringLiteral("SUser.Login"));
    }
    const std::optional<UserRecord> before = Load(user.iddUser);
    if (!before) {
        if (newPassword.isEmpty()) throw DbError(QStringLiteral("Укажите пароль пользователя!"));
        Rows::Insert(m_db, kTable, key + rest);
    } else {
        const UserInfo after{user.iddUser, user.login, user.name, user.deleted ? QString() : user.prova};
        if (!after.HasRight(Right::Users)) KeepAnAdministrator(user.iddUser, kLastAdminRight);
        Rows::Update(m_db, kTable, key, rest);
    }
    if (server) {
        if (user.deleted)
            ServerRoles::DropUser(m_db, before ? before->login : user.login);
        else
            ServerRoles::SaveUser(m_db, before ? before->login : QString(), user.login, newPassword,
                                  user.prova);
    }
    tx.Commit();
}

void UserStore::KeepAnAdministrator(const QString &iddUser, const QString &refusal) {
    const std::optional<UserRecord> user = Load(iddUser);
    if (!user || user->deleted || !UserInfo{{}, {}, {}, user->prova}.HasRight(Right::Users)) return;
    for (const UserRecord &other : ListActive())
        if (other.iddUser != iddUser && UserInfo{{}, {}, {}, other.prova}.HasRight(Right::Users)) return;
    throw DbError(refusal);
}

void UserStore::SoftDelete(const QString &iddUser) {
    Transaction tx(m_db);
    // With no live user left the next start would offer anyone a first user with every right.
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
                "SELECT COUNT(*) AS dCount FROM SUser WHERE SUser.[Delete] = FALSE AND SUser.IddUser <> ?"),
            {iddUser});
    const bool othersLeft = !rs.IsEOF() && rs.Long(QStringLiteral("dCount")) > 0;
    rs.Close();
    if (!othersLeft)
        throw DbError(
            QStringLiteral("Нельзя удалить последнего пользователя программы!\n"
                           "Сначала добавьте другого пользователя."));
    KeepAnAdministrator(iddUser, kLastAdminDelete);
    Rows::SoftDelete(m_db, kTable, {{QStringLiteral("IddUser"), iddUser}});
    if (const std::optional<UserRecord> user = Load(iddUser)) ServerRoles::DropUser(m_db, user->login);
    tx.Commit();
}

UserRecord UserStore::CreateFirstUser(const QString &name, const QString &login, const QString &password) {
    UserRecord u;
    u.iddUser = NewKey(login);
    u.login = login;
    u.name = name;
    u.prova = QString(Rights::kCount, u'1');
    Transaction tx(m_db);
    // On PostgreSQL the shop's first user is also the first of the server's roles: the groups his rights
    // make him a member of are made now, by the owner of the tables.
    if (m_db.dialect() == Dialect::Postgres && !ServerRoles::InUse(m_db)) ServerRoles::Install(m_db);
    Save(u, password);
    tx.Commit();
    return *Load(u.iddUser);
}
