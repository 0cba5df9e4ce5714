#include "ConnectString.h"
#include "Database.h"
#include "DbError.h"
#include "ErrorText.h"
#include "LoginSteps.h"
#include "Password.h"
#include "QuellmarodApp.h"
#include "ServerRoles.h"
#include "TestDb.h"
#include "UserStore.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// README's PostgreSQL set-up, with the test cluster's address, port and superuser in place of the shop's
// and names of this process's own in place of "trellvark".
class Readme {
public:
    Readme(const ConnectTarget &server, QString suffix) : m_server(server), m_suffix(std::move(suffix)) {
        QFile file(QStringLiteral(ZV_SOURCE_DIR "/README.md"));
        if (file.open(QIODevice::ReadOnly)) m_text = QString::fromUtf8(file.readAll());
    }
    QString Name() const { return u"zvr%1"_s.arg(QCoreApplication::applicationPid()) + m_suffix; }
    // psql as the server's superuser, on the database given.
    QString Super(const QString &database = u"postgres"_s) const {
        return u"psql -q -h %1 -p %2 -U %3 -d %4 "_s.arg(m_server.host)
            .arg(m_server.port)
            .arg(m_server.user, database);
    }
    // Drops what a run of this process left: the databases first, then the roles their grants named.
    QString Clean(const QStringList &roles) const {
        QString drop =
            Super() +
            u"-c 'DROP DATABASE IF EXISTS %1' -c 'DROP DATABASE IF EXISTS %1_restored'"_s.arg(Name());
        for (const QString &r : roles) drop += u" -c 'DROP ROLE IF EXISTS %1'"_s.arg(r);
        return drop + u" && "_s + Super() +
               u"-At -c \"SELECT rolname FROM pg_roles WHERE rolname LIKE 'zv\\_%1\\_%%' OR rolname LIKE "
               u"'%1\\_%%'\" | "
               u"while read -r r; do "_s.arg(Name()) +
               Super() + u"-c \"DROP ROLE \\\"$r\\\"\"; done"_s;
    }
    // The fenced block after the comment that names it, as it would be typed at a shell.
    QString Block(const QString &name) const {
        const QRegularExpression block(
            u"<!-- ReadmeSetupTest: "_s + name + u" -->\\s*\\n( *)```sh\\n(.*?)\\n *```"_s,
            QRegularExpression::DotMatchesEverythingOption);
        const auto m = block.match(m_text);
        if (!m.hasMatch()) return {};
        QString text = m.captured(2);
        text.replace(QRegularExpression(u"^"_s + m.captured(1), QRegularExpression::MultilineOption),
                     QString());
        const QString to = u"-h %1 -p %2 -U %3"_s.arg(m_server.host).arg(m_server.port).arg(m_server.user);
        text.replace(QRegularExpression(u"sudo -u postgres psql"_s), u"psql "_s + to + u" -d postgres"_s);
        text.replace(QRegularExpression(u"sudo -u postgres (\\w+)"_s), u"\\1 "_s + to);
        return Local(text);
    }
    // The first match's first group, e.g. a connect string.
    QString Find(const QString &pattern) const {
        return Local(QRegularExpression(pattern).match(m_text).captured(1));
    }

private:
    QString Local(QString text) const {
        text.replace(u"host=192.168.1.10 port=5432"_s,
                     u"host=%1 port=%2"_s.arg(m_server.host).arg(m_server.port));
        text.replace(u"192.168.1.10"_s, u"%1 -p %2"_s.arg(m_server.host).arg(m_server.port));
        text.replace(QRegularExpression(u"\\btrellvark"_s), Name());
        return text;
    }
    ConnectTarget m_server;
    QString m_suffix, m_text;
};

// Runs shell commands in `dir`; the exit code (a failure of the test, with what they printed, when it is not
// 0 and they must succeed).
int Shell(const QString &commands, const QString &dir, const QString &password = {},
          bool mustSucceed = true) {
    QProcess bash;
    bash.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!password.isEmpty()) env.insert(u"PGPASSWORD"_s, password);
    bash.setProcessEnvironment(env);
    bash.setProcessChannelMode(QProcess::MergedChannels);
    bash.start(u"bash"_s, {u"-euo"_s, u"pipefail"_s, u"-c"_s, commands});
    bash.waitForFinished(120000);
    if (mustSucceed && bash.exitCode() != 0)
        ADD_FAILURE() << commands.toStdString() << "\n" << bash.readAll().toStdString();
    return bash.exitCode();
}

// Typing the login at a workstation: first a wrong password, then the right one.
ScriptedDialogs::Step TypeLogin(const QString &login, const QString &password) {
    return [=](QDialog &d) {
        auto &dlg = dynamic_cast<CLoginDlg &>(d);
        dlg.UserCombo()->setEditText(login);
        for (const QString &typed : {password + u"x"_s, password}) {  // the wrong one is told (see below)
            dlg.PasswordEdit()->setText(typed);
            dlg.OkButton()->click();
        }
        return dlg.result();
    };
}

QString CurrentUser(Database &db) {
    QSqlQuery q = db.Exec(u"SELECT current_user"_s);
    return q.next() ? q.value(0).toString() : QString();
}

}  // namespace

// The test cluster (ZV_TEST_PG); nothing when there is none, which fails the test where one is required.
std::optional<ConnectTarget> TestServer() {
    const QString pg = qEnvironmentVariable("ZV_TEST_PG");
    if (!pg.isEmpty()) return ParseConnectString(u"PGSQL;"_s + pg);
    if (!qEnvironmentVariableIsEmpty("ZV_REQUIRE_PG")) ADD_FAILURE() << "ZV_TEST_PG is not set";
    return std::nullopt;
}

TEST(ReadmeSetupTest, TheShopIsSetUpUsedAndBackedUpAsTheReadmeSays) {
    const std::optional<ConnectTarget> server = TestServer();
    if (!server) GTEST_SKIP() << "no PostgreSQL test server (ZV_TEST_PG)";
    const Readme readme(*server, {});
    const QString name = readme.Name(), admin = name + u"_anna"_s, clerk = name + u"_oleg"_s;
    QTemporaryDir dir;
    const QString clean = readme.Clean({admin, clerk});
    ASSERT_EQ(Shell(clean, dir.path()), 0);

    // 2: the owner role and the database.
    ASSERT_EQ(Shell(readme.Block(u"owner"_s), dir.path()), 0);

    // 3: the owner's first start creates the tables and the first administrator, who then logs in as himself.
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    const QString ownerConnect = readme.Find(uR"re(--database "([^"]+)")re"_s);
    qputenv("PGPASSWORD", "change-me-owner");
    {
        CQuellmarodApp owner(prompter, dialogs);
        ASSERT_TRUE(owner.Connect(ownerConnect, {})) << prompter.All().join(u'\n').toStdString();
        dialogs.Then(FillFirstRun(u"Анна"_s, admin, u"Админ-1"_s, u"Админ-1"_s));
        dialogs.Then(FillLogin(u"Анна"_s, u"Админ-1"_s));
        ASSERT_EQ(owner.LogIn(), CQuellmarodApp::LoginResult::LoggedIn)
            << prompter.All().join(u'\n').toStdString();
        EXPECT_EQ(CurrentUser(*owner.db()), admin);
        // 5: the administrator adds a clerk who may take orders and payments.
        UserStore(*owner.db()).Save({u"o1"_s, clerk, {}, u"Олег"_s, u"11001"_s, false}, u"Кассир-1"_s);
        owner.db()->Exec(
            u"INSERT INTO TPay (IddPay, IddZakaz, TypePay, SummaPay) VALUES ('p1', '0', 5, 10)"_s);
    }
    qunsetenv("PGPASSWORD");

    // 4: a workstation's connect string names nobody: the login connects as the user typed.
    const QString station = readme.Find(uR"re(Connect="([^"]+)")re"_s);
    ASSERT_FALSE(station.contains(u"user="_s)) << station.toStdString();
    const auto atCounter = [&](const QString &connect) {
        auto app = std::make_unique<CQuellmarodApp>(prompter, dialogs);
        EXPECT_TRUE(app->Connect(connect, {}));
        EXPECT_EQ(app->db(), nullptr);  // nothing is opened before the login
        dialogs.Then(TypeLogin(clerk, u"Кассир-1"_s));
        EXPECT_EQ(app->LogIn(), CQuellmarodApp::LoginResult::LoggedIn)
            << prompter.All().join(u'\n').toStdString();
        return app;
    };
    {
        const auto counter = atCounter(station);
        ASSERT_TRUE(counter->db());
        EXPECT_EQ(CurrentUser(*counter->db()), clerk);
        EXPECT_TRUE(counter->context()->HasRight(Right::AddOrder) &&
                    !counter->context()->HasRight(Right::DeleteCash));
        EXPECT_EQ(prompter.warnings.count(LoginTexts::kWrongPassword), 1);
        EXPECT_EQ(ErrorText([&] { counter->db()->Exec(u"UPDATE TPay SET [Delete] = TRUE"_s); }),
                  ServerRoles::kDenied);
    }

    // The backup and the restore into a new database, which the workstation then opens as before.
    ASSERT_EQ(Shell(readme.Block(u"backup"_s), dir.path(), u"change-me-owner"_s), 0);
    {
        const auto restored =
            atCounter(QString(station).replace(u"dbname="_s + name, u"dbname="_s + name + u"_restored"_s));
        ASSERT_TRUE(restored->db());
        QSqlQuery q = restored->db()->Exec(u"SELECT IddPay FROM TPay"_s);
        EXPECT_TRUE(q.next() && q.value(0).toString() == u"p1"_s);
    }
    Shell(clean, dir.path());
}

// A shop set up as earlier versions were (one shared clerk role with rights on every table, the users'
// passwords in the database) moves to the users' own roles as README says.
TEST(ReadmeSetupTest, AShopOfTheSharedClerkRoleMovesToTheUsersOwnRoles) {
    const std::optional<ConnectTarget> server = TestServer();
    if (!server) GTEST_SKIP() << "no PostgreSQL test server (ZV_TEST_PG)";
    const Readme readme(*server, u"m"_s);
    const QString name = readme.Name(), owner = name + u"_admin"_s, shared = name + u"_clerk"_s,
                  login = name + u"_ivan"_s;
    QTemporaryDir dir;
    const QString clean = readme.Clean({login, shared});
    ASSERT_EQ(Shell(clean, dir.path()), 0);
    ASSERT_EQ(Shell(readme.Super() +
                        u"-c \"CREATE ROLE %1 LOGIN PASSWORD 'change-me-admin'\" -c \"CREATE ROLE %2 LOGIN "
                        u"PASSWORD 'change-me-clerk'\" -c 'CREATE DATABASE %3 OWNER %1' && "_s.arg(
                            owner, shared, name) +
                        readme.Super(name) +
                        u"-c 'ALTER DEFAULT PRIVILEGES FOR ROLE %1 IN SCHEMA public GRANT SELECT, "
                        u"INSERT, UPDATE, DELETE ON TABLES TO %2'"_s.arg(owner, shared),
                    dir.path()),
              0);
    const auto as = [&](const QString &role, const QString &password) {
        ConnectTarget target = *server;
        target.dbname = name, target.user = role, target.password = password;
        return Database::Open(target);
    };
    {
        const auto old = as(owner, u"change-me-admin"_s);
        MakeVersion1(*old);
        old->Exec(
            u"INSERT INTO SUser (IddUser, Login, [Name], Pass, Prova, [Delete]) VALUES ('u1', ?, 'Иван', ?, ?, FALSE)"_s,
            {login, Password::Hash(u"старый"_s), QString(Rights::kCount, u'1')});
    }
    // Through psql, as the shared role's workstations could: it needs no program of this version.
    const QString sharedRead = u"psql -h %1 -p %2 -U %3 -d %4 -c 'SELECT * FROM TPay'"_s.arg(server->host)
                                   .arg(server->port)
                                   .arg(shared, name);
    const auto sharedReads = [&] { return Shell(sharedRead, dir.path(), u"change-me-clerk"_s, false) == 0; };
    EXPECT_TRUE(sharedReads());

    ASSERT_EQ(Shell(readme.Block(u"migrate"_s), dir.path()), 0);
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    qputenv("PGPASSWORD", "change-me-admin");
    {
        CQuellmarodApp app(prompter, dialogs);
        ASSERT_TRUE(app.Connect(readme.Find(uR"re(--database "([^"]+_admin)")re"_s), {}))
            << prompter.All().join(u'\n').toStdString();
        dialogs.Then(FillLogin(u"Иван"_s, u"старый"_s));
        ASSERT_EQ(app.LogIn(), CQuellmarodApp::LoginResult::LoggedIn)
            << prompter.All().join(u'\n').toStdString();
        EXPECT_EQ(CurrentUser(*app.db()), login);
        EXPECT_TRUE(UserStore(*as(owner, u"change-me-admin"_s)).Load(u"u1"_s)->pass.isEmpty());
    }
    qunsetenv("PGPASSWORD");
    EXPECT_FALSE(sharedReads());
    EXPECT_EQ(CurrentUser(*as(login, u"старый"_s)), login);

    ASSERT_EQ(Shell(readme.Block(u"drop-shared"_s), dir.path()), 0);
    EXPECT_FALSE(as(owner, u"change-me-admin"_s)
                     ->Exec(u"SELECT 1 FROM pg_roles WHERE rolname = ?"_s, {shared})
                     .next());
    Shell(clean, dir.path());
}
