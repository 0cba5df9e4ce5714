#pragma once

#include "AppContext.h"
#include "UserStore.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class CMainFrame;
class Database;
class DialogRunner;
class Prompter;
class QThread;
class ScreenServices;

// The application object: owns for the whole run the connection, the logged-in user, the working folder
// and the main frame. Start-up is split into steps so each can be driven on its own.
class CQuellmarodApp {
public:
    CQuellmarodApp(Prompter &prompter, DialogRunner &dialogs);
    ~CQuellmarodApp();
    CQuellmarodApp(const CQuellmarodApp &) = delete;
    CQuellmarodApp &operator=(const CQuellmarodApp &) = delete;

    // The value of "--database CONNECT" (empty when not given); an unknown option is reported in `error`.
    static QString DatabaseOption(const QStringList &arguments, QString *error = nullptr);
    // The stored setting Database/Connect (organisation and application "Zorvantide").
    static QString DatabaseSetting();

    // Opens the database the command line, the setting, the registered data source or the embedded file
    // names, with the wait cursor, and captures the working folder. On failure the driver's text is shown
    // and false returned.
    bool Connect(const QString &commandLine, const QString &setting);
    enum class LoginResult { LoggedIn, Cancelled, Failed };
    // The first-run dialog when the database has no user, then the login. Where the PostgreSQL server
    // keeps the users as its roles, the login connects as the user's role: the connection opened before
    // (the owner's) gives way to his.
    LoginResult LogIn();
    // Creates the main frame (not shown).
    CMainFrame &CreateMainFrame();

    // Shows the main frame over the whole screen.
    void ShowMainFrame();
    // Closes every window and the connection, puts the backup in place of the embedded database, opens it
    // again and asks for the login; on a refused or failed restore the old database is opened again.
    // Returns true when the backup was restored. When the restored database cannot be opened, the
    // replaced one is put back and opened again. Ends the program when nothing can be opened or the
    // login is cancelled.
    bool RestoreAndReopen(const QString &backup);
    // Test seam: how RestoreAndReopen opens the database again.
    using Opener = std::function<std::unique_ptr<Database>(const QString &connect)>;
    void SetReopen(Opener open) { m_reopen = std::move(open); }
    // Waits for the daily copy started at start-up (none for a database that is not an SQLite file).
    void WaitForDailyCopy();

    // The whole start-up; returns the exit code to end with, or -1 when the main frame is up and the
    // event loop should run.
    int Start(const QStringList &arguments);

    Database *db() const { return m_db.get(); }
    AppContext *context() const { return m_ctx.get(); }
    CMainFrame *frame() const { return m_frame.get(); }
    const QString &workDir() const { return m_workDir; }
    const QString &connectString() const { return m_connect; }

private:
    // The user's own connection to a server that keeps the users as its roles; nothing when the password
    // is wrong or he is no live user of the database. Throws DbError when the server cannot be reached.
    std::optional<UserRecord> ConnectAs(const QString &login, const QString &password);

    Prompter &m_prompter;
    DialogRunner &m_dialogs;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<AppContext> m_ctx;
    std::unique_ptr<ScreenServices> m_services;  // what the context's screens reach above them
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QThread> m_dailyCopy;
    QString m_workDir;
    QString m_connect;
    Opener m_reopen;
};

namespace StartTexts {
// Followed by the driver's text.
inline const QString kCannotOpen = QStringLiteral("Не удается открыть базу данных!\n");
}  // namespace StartTexts
