#pragma once

#include <QString>

class Database;
class Prompter;
class DialogRunner;

// The logged-in user, fixed for the run.
struct UserInfo {
    QString iddUser;
    QString login;  // also the prefix of every key this user creates
    QString name;
    QString rights;  // one character per right, "1" = granted

    // The character at the position is "1"; a string too short for it grants nothing.
    bool HasRight(int position) const;
};

// What every screen is handed: the connection, the user, the message and dialog seams and the
// working directory. Nothing global is reached from screens.
class AppContext {
public:
    AppContext(Database &db, UserInfo user, Prompter &prompter, DialogRunner &dialogs, QString workDir)
        : m_db(db),
          m_user(std::move(user)),
          m_prompter(prompter),
          m_dialogs(dialogs),
          m_workDir(std::move(workDir)) {}

    Database &db() const { return m_db; }
    const UserInfo &user() const { return m_user; }
    const QString &login() const { return m_user.login; }
    Prompter &prompter() const { return m_prompter; }
    DialogRunner &dialogs() const { return m_dialogs; }
    const QString &workDir() const { return m_workDir; }

    bool HasRight(int position) const { return m_user.HasRight(position); }
    // Checks the right when a command runs; shows the refusal and returns false without it.
    bool CheckRight(int position) const;

private:
    Database &m_db;
    UserInfo m_user;
    Prompter &m_prompter;
    DialogRunner &m_dialogs;
    QString m_workDir;
};

namespace Rights {
inline const QString kRefusal = QStringLiteral(
    "Вы не имеете прав на данное действие!\nЕсли вам необходимо выполнять данную работу,\n"
    "измените прова пользователя в справочнике пользователей!");
inline constexpr int kCount = 28;  // positions 0 to 27
}  // namespace Rights
