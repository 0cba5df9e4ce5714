#include "QuellmarodApp.h"

#include "ConnectString.h"
#include "Database.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "FirstRunDlg.h"
#include "JournalKinds.h"
#include "LoginDlg.h"
#include "MainFrame.h"
#include "Prompter.h"
#include "UserStore.h"
#include "WaitCursor.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

CQuellmarodApp::CQuellmarodApp(Prompter &prompter, DialogRunner &dialogs)
    : m_prompter(prompter), m_dialogs(dialogs) {}

// The frame's windows use the context and the connection: they go first.
CQuellmarodApp::~CQuellmarodApp() {
    m_frame.reset();
    m_ctx.reset();
    m_db.reset();
}

QString CQuellmarodApp::DatabaseOption(const QStringList &arguments, QString *error) {
    QCommandLineParser parser;
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Database connect string (SQLITE;DATABASE=..., PGSQL;..., "
                       "ODBC;DSN=...)."),
        QStringLiteral("CONNECT"));
    parser.addOption(database);
    if (!parser.parse(arguments)) {
        if (error) *error = parser.errorText();
        return {};
    }
    return parser.value(database);
}

QString CQuellmarodApp::DatabaseSetting() {
    return QSettings(QStringLiteral("Zorvantide"), QStringLiteral("Zorvantide"))
        .value(QStringLiteral("Database/Connect"))
        .toString();
}

bool CQuellmarodApp::Connect(const QString &commandLine, const QString &setting) {
    const QString here = QDir::currentPath();
    try {
        WaitCursor wait;
        // Only look for the data source when nothing more specific was asked for.
        const bool dsn = commandLine.trimmed().isEmpty() && setting.trimmed().isEmpty() && IsDsnRegistered();
        m_connect = ResolveConnectString(commandLine, setting, dsn, here);
        m_db = Database::Open(m_connect);
    } catch (const DbError &e) {
        m_prompter.Error(StartTexts::kCannotOpen + e.text());
        return false;
    }
    m_workDir = QDir::currentPath();
    return true;
}

CQuellmarodApp::LoginResult CQuellmarodApp::LogIn() {
    UserStore users(*m_db);
    bool anyUser = false;
    try {
        WaitCursor wait;
        anyUser = users.HasAnyUser();
    } catch (const DbError &e) {
        m_prompter.Error(e.text());
        return LoginResult::Failed;
    }
    if (!anyUser) {
        CFirstRunDlg first(users, m_prompter);
        if (m_dialogs.Run(first) != QDialog::Accepted) return LoginResult::Cancelled;
    }
    CLoginDlg login(users, m_prompter);
    if (m_dialogs.Run(login) != QDialog::Accepted) return LoginResult::Cancelled;
    const UserRecord &u = login.User();
    m_ctx = std::make_unique<AppContext>(*m_db, UserInfo{u.iddUser, u.login, u.name, u.prova}, m_prompter,
                                         m_dialogs, m_workDir);
    return LoginResult::LoggedIn;
}

CMainFrame &CQuellmarodApp::CreateMainFrame() {
    m_frame = std::make_unique<CMainFrame>(*m_ctx);
    RegisterJournalKinds(*m_frame, *m_ctx);
    return *m_frame;
}

int CQuellmarodApp::Start(const QStringList &arguments) {
    QString error;
    const QString option = DatabaseOption(arguments, &error);
    if (!error.isEmpty()) {
        m_prompter.Error(error);
        return 2;
    }
    if (!Connect(option, DatabaseSetting())) return 1;
    switch (LogIn()) {
        case LoginResult::Cancelled:
            return 0;
        case LoginResult::Failed:
            return 1;
        case LoginResult::LoggedIn:
            break;
    }
    CMainFrame &frame = CreateMainFrame();
    // Fill the screen even where no window manager acts on the maximise request.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    return -1;
}
