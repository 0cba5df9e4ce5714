#pragma once

#include <QString>
#include <QStringList>

class Database;

// On a PostgreSQL server every program user is a login role of the server, and what he may change is
// decided by the server: each right that writes data is a group role granted exactly the tables and
// columns its commands write, and a user's role is a member of the groups of his rights. So a clerk who
// connects from psql with his own password can do no more than the program lets him.
//
// The group roles are named after a prefix kept in the database (ZvSchema.RolePrefix), made from the
// database's (and schema's) name when they are installed, so that several shops' databases on one
// server keep apart. A user's role is named by his login.
namespace ServerRoles {

// The text shown when the server refuses a statement for want of a privilege.
inline const QString kDenied = QStringLiteral(
    "Сервер базы данных не разрешает вам это действие!\nЕсли вам необходимо выполнять данную работу,\n"
    "измените прова пользователя в справочнике пользователей!");

// True when program users are the server's login roles: PostgreSQL through its own driver, with the
// group roles installed.
bool InUse(Database &db);
// Creates the group roles (or brings them up to date) and grants each what its commands write; makes the
// database's own triggers run with their owner's privileges. Run by the role that owns the tables, which
// needs CREATEROLE; repeating it is harmless. Throws DbError.
void Install(Database &db);
// Makes the database's own trigger functions, which keep figures no clerk may write himself, run with their
// owner's privileges; needed again whenever such a function is made anew.
void TrustKeepers(Database &db);
// The group roles of a rights string, the group every user belongs to first.
QStringList Groups(const QString &prefix, const QString &rights);
QString Prefix(Database &db);

// Creates or changes the login role of a program user in the current transaction: renamed from
// `oldLogin` when that differs, given `password` when it is not empty (a new role must get one), made a
// member of exactly the groups of `rights`. Refuses a name taken by a role that is not a program user's.
void SaveUser(Database &db, const QString &oldLogin, const QString &login, const QString &password,
              const QString &rights);
// Drops the user's role: he can no longer connect.
void DropUser(Database &db, const QString &login);

}  // namespace ServerRoles
