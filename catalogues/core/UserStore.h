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

    bool operator==(const UserRecord &) const = default;
};

class UserStore {
public:
    explicit UserStore(Database &db) : m_db(db) {}

    // Users that are not deleted, by name.
    QList<UserRecord> ListActive();
    std::optional<UserRecord> Load(const QString &iddUser);
    // The live user with exactly this login, without his password (all a user may read of himself where
    // the server keeps the users as its roles).
    std::optional<UserRecord> FindLogin(const QString &login);
    bool HasAnyUser();

    // Inserts or updates the user by IddUser. A non-empty `newPassword` is stored hashed; an empty one
    // keeps the stored password (a new user must be given one: throws DbError otherwise). Where the
    // server keeps the users as its roles (ServerRoles), the role is created, changed or dropped with the
    // row and the password is the role's. Refuses to take the right to the users from the last live user
    // who has it. A card hands the user as it loaded him: when the stored one is not that any more,
    // ChangedMeanwhile is thrown and nothing written.
    void Save(const UserRecord &user, const QString &newPassword,
              const std::optional<UserRecord> &loaded = std::nullopt);
    // Refuses (DbError) to delete the last live user, or the last one with the right to the users.
    void SoftDelete(const QString &iddUser);

    // The first user of an empty database, with every right. Returns the stored record.
    UserRecord CreateFirstUser(const QString &name, const QString &login, const QString &password);

    static inline const QString kLastAdminRight = QStringLiteral(
        "Нельзя снять право \"Справочник пользователей\" с последнего пользователя, у которого оно есть!\n"
        "Сначала дайте это право другому пользователю.");
    static inline const QString kLastAdminDelete = QStringLiteral(
        "Нельзя удалить последнего пользователя с правом \"Справочник пользователей\"!\n"
        "Сначала дайте это право другому пользователю.");

private:
    // Throws `refusal` when the user is the only live one with the right to the users.
    void KeepAnAdministrator(const QString &iddUser, const QString &refusal);

    Database &m_db;
};
