#pragma once

#include "UserInfo.h"

#include <QString>

class Database;
class Prompter;
class DialogRunner;

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

    bool HasRight(Right right) const { return m_user.HasRight(right); }
    // Checks the right when a command runs; shows the refusal and returns false without it.
    bool CheckRight(Right right) const;

private:
    Database &m_db;
    UserInfo m_user;
    Prompter &m_prompter;
    DialogRunner &m_dialogs;
    QString m_workDir;
};
