#pragma once

#include <QList>
#include <QString>
#include <optional>

class Database;

// One SUser row. `pass` is what is stored: an Argon2id hash, or an old plain-text password.
struct UserRecord {
    QString iddUser;
    QString login;
    QString pass;
    QString name;
    QString prova;  // rights, one "0"/"1" character per position
    bool deleted = false;
};

class UserStore {
public:
    explicit UserStore(Database &db) : m_db(db) {}

    // Users that are not deleted, by name.
    QList<UserRecord> ListActive();
    std::optional<UserRecord> Load(const QString &iddUser);
    bool HasAnyUser();

    // Inserts or updates the user by IddUser. A non-empty `newPassword` is stored hashed; an empty one
    // keeps the stored password (a new user must be given one: throws DbError otherwise).
    void Save(const UserRecord &user, const QString &newPassword);
    // Refuses (DbError) to delete the last live user.
    void SoftDelete(const QString &iddUser);
    // Re-stores a password (used when an old plain-text password logs in).
    void StorePassword(const QString &iddUser, const QString &plain);

    // The first user of an empty database, with every right. Returns the stored record.
    UserRecord CreateFirstUser(const QString &name, const QString &login, const QString &password);

private:
    Database &m_db;
};
