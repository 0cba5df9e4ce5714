#include "ConnectString.h"
#include "Database.h"
#include "DbError.h"
#include "LoginSteps.h"
#include "QuellmarodApp.h"
#include "ServerRoles.h"
#include "UserStore.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// README's PostgreSQL set-up, with the test cluster's address, port and superuser in place of the shop's
// and names of this process's own in place of "trellvark".
class Readme {
public:
    explicit Readme(const ConnectTarget &server) : m_server(server) {
        QFile file(QStringLiteral(ZV_SOURCE_DIR "/README.md"));
        if (file.open(QIODevice::ReadOnly)) m_text = QString::fromUtf8(file.readAll());
    }
    QString Name() const { return u"zvr%1"_s.arg(QCoreApplication::applicationPid()); }
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
    QString m_text;
};

// Runs shell commands in `dir`; the exit code, with what they printed when it is not 0.
int Shell(const QString &commands, const QString &dir, const QString &password = {}) {
    QProcess bash;
    bash.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!password.isEmpty()) env.insert(u"PGPASSWORD"_s, password);
    bash.setProcessEnvironment(env);
    bash.setProcessChannelMode(QProcess::MergedChannels);
    bash.start(u"bash"_s, {u"-euo"_s, u"pipefail"_s, u"-c"_s, commands});
    bash.waitForFinished(120000);
    if (bash.exitCode() != 0) ADD_FAILURE() << commands.toStdString() << "\n" << bash.readAll().toStdString();
    return bash.exitCode();
}

// Typing the login at a workstation: first a wrong password, then the right one.
ScriptedDialogs::Step TypeLogin(const QString &login, const QString &password) {
    return [=](QDialog &d) {
        auto &dlg = dynamic_cast<CLoginDlg &>(d);
        dlg.UserCombo()->setEditText(login);
        dlg.PasswordEdit()->setText(password + u"x"_s);
        dlg.OkButton()->click();
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        dlg.PasswordEdit()->setText(password);
        dlg.OkButton()->click();
        return dlg.result();
    };
}

QString CurrentUser(Database &db) {
    QSqlQuery q = db.Exec(u"SELECT current_user"_s);
    return q.next() ? q.value(0).toString() : QString();
}

}  // namespace

TEST(ReadmeSetupTest, TheShopIsSetUpUsedAndBackedUpAsTheReadmeSays) {
    const QString pg = qEnvironmentVariable("ZV_TEST_PG");
    if (pg.isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("ZV_REQUIRE_PG")) FAIL() << "ZV_TEST_PG is not set";
        GTEST_SKIP() << "no PostgreSQL test server (ZV_TEST_PG)";
    }
    const ConnectTarget server = ParseConnectString(u"PGSQL;"_s + pg);
    const Readme readme(server);
    const QString name = readme.Name(), admin = name + u"_anna"_s, clerk = name + u"_oleg"_s;
    QTemporaryDir dir;
    const QString super =
        u"psql -q -h %1 -p %2 -U %3 -d postgres "_s.arg(server.host).arg(server.port).arg(server.user);
    // What an earlier run of this process left: the databases first, then the roles their grants named.
    const QString clean =
        super +
        u"-c 'DROP DATABASE IF EXISTS %1' -c 'DROP DATABASE IF EXISTS %1_restored' "
        u"-c 'DROP ROLE IF EXISTS %2' -c 'DROP ROLE IF EXISTS %3' && "_s.arg(name, admin, clerk) +
        super +
        u"-At -c \"SELECT rolname FROM pg_roles WHERE rolname LIKE 'zv\\_%1\\_%%' OR rolname = "
        u"'%1_owner'\" | while read -r r; do "_s.arg(name) +
        super + u"-c \"DROP ROLE \\\"$r\\\"\"; done"_s;
    ASSERT_EQ(Shell(clean, dir.path()), 0);

    // 2: the owner role and the database.
    const QString ownerBlock = readme.Block(u"owner"_s);
    ASSERT_TRUE(ownerBlock.contains(name + u"_owner"_s)) << ownerBlock.toStdString();
    ASSERT_EQ(Shell(ownerBlock, dir.path()), 0);

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
        QString rights(Rights::kCount, u'0');
        for (Right r : {Right::OrderJournal, Right::AddOrder, Right::AddOrderPayment})
            rights[Rights::Position(r)] = u'1';
        UserStore(*owner.db()).Save({u"o1"_s, clerk, {}, u"Олег"_s, rights, false}, u"Кассир-1"_s);
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
        try {
            counter->db()->Exec(u"UPDATE TPay SET [Delete] = TRUE"_s);
            ADD_FAILURE() << "a clerk without the right marked a payment deleted";
        } catch (const DbError &e) {
            EXPECT_EQ(e.text(), ServerRoles::kDenied);
        }
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
