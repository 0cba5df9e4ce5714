#include "QuellmarodApp.h"

#include "Backup.h"
#include "BackupCommands.h"
#include "ConnectString.h"
#include "Database.h"
#include "DbAction.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "DriverTexts.h"
#include "FirstRunDlg.h"
#include "InfoOptions.h"
#include "JournalKinds.h"
#include "LoginDlg.h"
#include "MainFrame.h"
#include "Password.h"
#include "Prompter.h"
#include "ScreenServices.h"
#include "ServerRoles.h"
#include "UserStore.h"
#include "WaitCursor.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QThread>
#include <QTimer>

CQuellmarodApp::CQuellmarodApp(Prompter &prompter, DialogRunner &dialogs)
    : m_prompter(prompter),
      m_dialogs(dialogs),
      m_reopen([](const QString &connect) { return Database::Open(connect); }) {}

// The frame's windows use the context and the connection: they go first.
CQuellmarodApp::~CQuellmarodApp() {
    WaitForDailyCopy();
    m_frame.reset();
    m_services.reset();
    m_ctx.reset();
    m_db.reset();
}

QString CQuellmarodApp::DatabaseOption(const QStringList &arguments, QString *error) {
    QCommandLineParser parser;
    InfoOptions::Declare(parser);
    if (!parser.parse(arguments)) {
        if (error)
            *error =
                parser.errorText() + QStringLiteral("\nПараметры программы описывает «trellvark --help».");
        return {};
    }
    return parser.value(QStringLiteral("database"));
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
        // A PostgreSQL connect string that names no user leaves the connection to the login: each user
        // connects as himself.
        const ConnectTarget target = ParseConnectString(m_connect);
        if (target.dialect != Dialect::Postgres || !target.user.isEmpty()) m_db = Database::Open(m_connect);
    } catch (const DbError &e) {  // the driver's text follows the start-up's own "cannot open"
        m_prompter.Error(StartTexts::kCannotOpen + e.text());
        return false;
    }
    m_workDir = QDir::currentPath();
    return true;
}

namespace {

const QString kRecentLogins = QStringLiteral("Login/Recent");

// The server refused the login itself (rather than being out of reach), in its words or libpq's, in
// English or Russian.
bool RefusedLogin(const QString &text) {
    for (const char *word : {"password", "authentication", "парол", "подлинност"})
        if (text.contains(QString::fromUtf8(word), Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace

std::optional<UserRecord> CQuellmarodApp::ConnectAs(const QString &login, const QString &password) {
    if (login.isEmpty()) return std::nullopt;
    if (m_db) {
        // A user kept from before the server's roles proves his old password once, on the owner's
        // connection, and it becomes his role's.
        UserStore users(*m_db);
        const std::optional<UserRecord> known = users.FindLogin(login);
        if (!known) return std::nullopt;
        const std::optional<UserRecord> stored = users.Load(known->iddUser);
        if (stored && !stored->pass.isEmpty()) {
            if (!Password::Matches(password, stored->pass)) return std::nullopt;
            users.Save(*stored, password);
        }
    }
    ConnectTarget target = ParseConnectString(m_connect);
    target.user = login;
    target.password = password;
    std::unique_ptr<Database> db;
    try {
        WaitCursor wait;
        db = Database::Open(target);
    } catch (const DbError &e) {
        // A refused password is an answer, not a failure; anything else is the start-up's "cannot open".
        if (RefusedLogin(e.text())) return std::nullopt;
        throw DbError(StartTexts::kCannotOpen + e.text());
    }
    std::optional<UserRecord> user = UserStore(*db).FindLogin(login);
    if (user) m_db = std::move(db);
    return user;
}

CQuellmarodApp::LoginResult CQuellmarodApp::LogIn() {
    bool server = !m_db;
    if (m_db) {
        UserStore users(*m_db);
        bool anyUser = false;
        if (!TryDb(m_prompter, [&] { anyUser = users.HasAnyUser(); })) return LoginResult::Failed;
        if (!anyUser) {
            CFirstRunDlg first(users, m_prompter);
            if (m_dialogs.Run(first) != QDialog::Accepted) return LoginResult::Cancelled;
        }
        if (!TryDb(m_prompter, [&] { server = ServerRoles::InUse(*m_db); })) return LoginResult::Failed;
    }
    QSettings settings(QStringLiteral("Zorvantide"), QStringLiteral("Zorvantide"));
    std::unique_ptr<CLoginDlg> login;
    std::unique_ptr<UserStore> users;
    if (!server) {
        users = std::make_unique<UserStore>(*m_db);
        login = std::make_unique<CLoginDlg>(*users, m_prompter);
    } else {
        // The owner's connection lists the users; a workstation offers the logins used on it before.
        QList<CLoginDlg::Offered> offered;
        if (m_db) {
            QList<UserRecord> active;
            if (!TryDb(m_prompter, [&] { active = UserStore(*m_db).ListActive(); }))
                return LoginResult::Failed;
            for (const UserRecord &u : active) offered.append({u.name, u.login});
        } else {
            for (const QString &l : settings.value(kRecentLogins).toStringList()) offered.append({l, l});
        }
        login = std::make_unique<CLoginDlg>(
            offered, !m_db,
            [this](const QString &key, const QString &typed) { return ConnectAs(key, typed); }, m_prompter);
    }
    if (m_dialogs.Run(*login) != QDialog::Accepted) return LoginResult::Cancelled;
    const UserRecord u = login->User();
    if (server) {
        QStringList recent = settings.value(kRecentLogins).toStringList();
        recent.removeAll(u.login);
        recent.prepend(u.login);
        settings.setValue(kRecentLogins, recent.mid(0, 10));
    }
    m_services.reset();
    // The change log names him with every write of this connection.
    m_db->SetLogin(u.login);
    m_ctx = std::make_unique<AppContext>(*m_db, UserInfo{u.iddUser, u.login, u.name, u.prova}, m_prompter,
                                         m_dialogs, m_workDir);
    m_services = std::make_unique<ScreenServices>(*m_ctx);
    return LoginResult::LoggedIn;
}

CMainFrame &CQuellmarodApp::CreateMainFrame() {
    m_frame = std::make_unique<CMainFrame>(*m_ctx);
    RegisterJournalKinds(*m_frame, *m_ctx);
    // Later, from the event loop: the frame that asks is deleted by the restore.
    m_frame->SetRestoreHandler([this](const QString &backup) {
        QTimer::singleShot(0, QCoreApplication::instance(), [this, backup] { RestoreAndReopen(backup); });
    });
    return *m_frame;
}

void CQuellmarodApp::ShowMainFrame() {
    CMainFrame &frame = m_frame ? *m_frame : CreateMainFrame();
    // Fill the screen even where no window manager acts on the maximise request.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
}

void CQuellmarodApp::WaitForDailyCopy() {
    if (m_dailyCopy) m_dailyCopy->wait();
    m_dailyCopy.reset();
}

bool CQuellmarodApp::RestoreAndReopen(const QString &backup) {
    const QString file = m_db ? BackupCommands::DatabaseFile(*m_db) : QString();
    // Every connection to the file is closed before it is replaced, the daily copy's too.
    WaitForDailyCopy();
    m_frame.reset();
    m_services.reset();
    m_ctx.reset();
    m_db.reset();
    QString kept, error;  // a failed restore is told once the database is open again
    try {
        WaitCursor wait;
        kept = BackupStore(file).Restore(backup, QDateTime::currentDateTime());
    } catch (const DbError &e) {
        error = e.text();
    }
    try {
        WaitCursor wait;
        m_db = m_reopen(m_connect);
    } catch (const DbError &e) {
        // The copy opened when it was tried, yet the database does not: the replaced one goes back in
        // its place rather than leave the program with nothing to run on.
        QString failure = StartTexts::kCannotOpen + e.text();
        if (!kept.isEmpty()) {
            try {
                WaitCursor wait;
                BackupStore(file).PutBack(kept);
                m_db = m_reopen(m_connect);
            } catch (const DbError &back) {
                failure +=
                    u'\n' + BackupCommandTexts::kNotPutBack.arg(QDir::toNativeSeparators(kept), back.text());
            }
        }
        if (!m_db) {
            m_prompter.Error(failure);
            QCoreApplication::exit(1);
            return false;
        }
        error = BackupCommandTexts::kPutBack + DriverTexts::kDetails.arg(e.text());
    }
    if (!error.isEmpty())
        m_prompter.Error(error);
    else
        m_prompter.Information(BackupCommandTexts::kRestored.arg(QDir::toNativeSeparators(kept)));
    // The restored database has its own users.
    switch (LogIn()) {
        case LoginResult::Cancelled:
            QCoreApplication::exit(0);
            return false;
        case LoginResult::Failed:
            QCoreApplication::exit(1);
            return false;
        case LoginResult::LoggedIn:
            break;
    }
    ShowMainFrame();
    return error.isEmpty();
}

int CQuellmarodApp::Start(const QStringList &arguments) {
    QString error;
    const QString option = DatabaseOption(arguments, &error);
    if (!error.isEmpty()) {
        m_prompter.Error(error);
        return 2;
    }
    if (!Connect(option, DatabaseSetting())) return 1;
    // The first start of the day copies the embedded database while the user logs in.
    if (m_db)
        m_dailyCopy.reset(BackupCommands::StartDailyCopy(
            BackupCommands::DatabaseFile(*m_db), [this](const QString &text) { m_prompter.Warning(text); }));
    switch (LogIn()) {
        case LoginResult::Cancelled:
            return 0;
        case LoginResult::Failed:
            return 1;
        case LoginResult::LoggedIn:
            break;
    }
    ShowMainFrame();
    return -1;
}
