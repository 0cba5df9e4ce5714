#include "UserStore.h"

#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Password.h"
#include "Rows.h"
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

bool UserStore::HasAnyUser() {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SUser.IddUser FROM SUser WHERE SUser.[Delete] = FALSE"));
    return !rs.IsEOF();
}

void UserStore::Save(const UserRecord &user, const QString &newPassword) {
    if (user.iddUser.isEmpty()) throw DbError(QStringLiteral("У пользователя нет ключа."));
    Values rest = {{QStringLiteral("Login"), user.login},
                   {QStringLiteral("Name"), user.name},
                   {QStringLiteral("Prova"), user.prova},
                   {QStringLiteral("Delete"), user.deleted}};
    if (!newPassword.isEmpty()) rest << ColumnValue{QStringLiteral("Pass"), Password::Hash(newPassword)};
    const Values key = {{QStringLiteral("IddUser"), user.iddUser}};
    Rows::Check(kTable, rest);
    Transaction tx(m_db);
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
    if (!Rows::Exists(m_db, kTable, key)) {
        if (newPassword.isEmpty()) throw DbError(QStringLiteral("Укажите пароль пользователя!"));
        Rows::Insert(m_db, kTable, key + rest);
    } else {
        Rows::Update(m_db, kTable, key, rest);
    }
    tx.Commit();
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
    Rows::SoftDelete(m_db, kTable, {{QStringLiteral("IddUser"), iddUser}});
    tx.Commit();
}

void UserStore::StorePassword(const QString &iddUser, const QString &plain) {
    Rows::Update(m_db, kTable, {{QStringLiteral("IddUser"), iddUser}},
                 {{QStringLiteral("Pass"), Password::Hash(plain)}});
}

UserRecord UserStore::CreateFirstUser(const QString &name, const QString &login, const QString &password) {
    UserRecord u;
    u.iddUser = NewKey(login);
    u.login = login;
    u.name = name;
    u.prova = QString(Rights::kCount, u'1');
    Save(u, password);
    return *Load(u.iddUser);
}
