// The "Сервис" menu's backup and restore, and the daily copy at start-up.
#include "AppContext.h"
#include "Backup.h"
#include "BackupCommands.h"
#include "Commands.h"
#include "DbError.h"
#include "DriverTexts.h"
#include "LoginSteps.h"
#include "MainFrame.h"
#include "QuellmarodApp.h"
#include "Scripted.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QSettings>

namespace {

const QString kName = "Иванова Анна";
const QString kPass = "Пароль1";

// Every test starts with no remembered folder. The settings are the test program's own (see the
// shared main), so no other test program running beside this one can change them mid-test.
struct IsolatedSettings {
    IsolatedSettings() { QSettings("Zorvantide", "Zorvantide").remove(BackupCommands::kFolderKey); }
};

}  // namespace

// What the menu offers depends on the database: only the embedded one is copied by the program.
class BackupMenuTest : public DbTest {
protected:
    IsolatedSettings settings;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
};
ZV_INSTANTIATE_DB_TESTS(BackupMenuTest);

TEST_P(BackupMenuTest, CommandsOnlyForTheEmbeddedDatabase) {
    AppContext ctx(db(), UserInfo{"u1", "anna", kName, QString(Rights::kCount, u'1')}, prompter, dialogs,
                   m_dir.path());
    CMainFrame frame(ctx);
    QAction *backup = frame.Action(Cmd::kBackup), *restore = frame.Action(Cmd::kRestore);
    int picked = 0;
    const auto pick = [&picked](QWidget *, const QString &) { return ++picked, QString(); };
    frame.Backups().SetPickers(pick, pick);
    if (GetParam() == Backend::Sqlite) {
        EXPECT_TRUE(backup->isEnabled() && restore->isEnabled());
        backup->trigger();  // cancelled in the folder dialog: nothing happens, nothing is said
        EXPECT_EQ(picked, 1);
        // Restoring needs the administrator's right: refused before anything is asked.
        QString rights(Rights::kCount, u'1');
        rights[18] = u'0';
        AppContext clerk(db(), UserInfo{"u2", "clerk", kName, rights}, prompter, dialogs, m_dir.path());
        BackupCommands commands(clerk);
        commands.SetPickers({}, pick);
        EXPECT_TRUE(commands.ChooseRestore(nullptr).isEmpty() && picked == 1);
        EXPECT_EQ(prompter.warnings, QStringList{Rights::kRefusal});
    } else {
        EXPECT_FALSE(backup->isEnabled() || restore->isEnabled());
        // Even when reached some other way, nothing is asked and the reason is given.
        EXPECT_TRUE(frame.Backups().MakeBackup(nullptr).isEmpty() &&
                    frame.Backups().ChooseRestore(nullptr).isEmpty() && picked == 0);
        EXPECT_EQ(prompter.warnings, QStringList(2, BackupCommandTexts::kNotEmbedded));
        EXPECT_EQ(BackupCommands::StartDailyCopy(BackupCommands::DatabaseFile(db()), {}), nullptr);
    }
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST(BackupRestoreTest, BackUpThenRestoreFromTheMenuAndLogInAgain) {
    const IsolatedSettings settings;
    QTemporaryDir dir;
    QString pick;
    QStringList starts;
    ScriptedPrompter prompter;
    ScriptedDialogs dialogs;
    // Started on the file as a user does: first-run user, login, main frame.
    CQuellmarodApp app(prompter, dialogs);
    dialogs.Then(FillFirstRun(kName, "anna", kPass, kPass));
    dialogs.Then(FillLogin(kName, kPass));
    ASSERT_EQ(app.Start({"trellvark", "--database", "SQLITE;DATABASE=" + dir.filePath("Quellmarod.db")}), -1)
        << prompter.All().join(u'\n').toStdString();
    // The first start of the day left a copy in backup/ beside the database.
    app.WaitForDailyCopy();
    EXPECT_EQ(BackupStore::DailyCopies(dir.filePath("backup")).size(), 1);

    TestRows::Put(*app.db(), TestRows::Order{.key = "k1", .number = "1", .date = {}, .car = {}});
    app.frame()->Backups().SetPickers(
        [&](QWidget *, const QString &start) { return starts << start, dir.filePath("saved"); },
        [&](QWidget *, const QString &start) { return starts << start, pick; });
    QDir().mkpath(dir.filePath("saved"));
    app.frame()->Action(Cmd::kBackup)->trigger();
    const QStringList saved = QDir(dir.filePath("saved")).entryList({"Quellmarod_*.db"}, QDir::Files);
    ASSERT_EQ(saved.size(), 1) << prompter.All().join(u'\n').toStdString();
    pick = dir.filePath("saved/" + saved[0]);
    TestRows::Put(*app.db(), TestRows::Order{.key = "k2", .number = "2", .date = {}, .car = {}});

    // "No" to the question changes nothing. The folder of the backup was remembered for the restore.
    prompter.Answer(false);
    app.frame()->Action(Cmd::kRestore)->trigger();
    EXPECT_EQ(starts.last(), dir.filePath("saved"));
    ASSERT_EQ(prompter.questions.size(), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(ColumnTexts(*app.db(), "SELECT ZakazNomer FROM TZakaz ORDER BY ZakazNomer"),
              QStringList({"1", "2"}));

    // "Yes": every window closes, the copy is put in place and the user logs in again.
    // The new frame may be made where the old one was, so the wait is for the second login instead.
    const qsizetype logins = dialogs.opened.count("CLoginDlg");
    prompter.Answer(true);
    dialogs.Then(FillLogin(kName, kPass));
    app.frame()->Action(Cmd::kRestore)->trigger();
    const QDeadlineTimer deadline(10000);
    while (dialogs.opened.count("CLoginDlg") == logins && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QCoreApplication::processEvents();
    ASSERT_GT(dialogs.opened.count("CLoginDlg"), logins);
    ASSERT_TRUE(app.frame() && app.db());
    EXPECT_EQ(ColumnTexts(*app.db(), "SELECT ZakazNomer FROM TZakaz"), QStringList{"1"});
    EXPECT_TRUE(app.frame()->isVisible());

    const QStringList kept = QDir(dir.path()).entryList({"Quellmarod_replaced_*.db"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(prompter.infos.value(prompter.infos.size() - 1),  // news, not a warning
              BackupCommandTexts::kRestored.arg(QDir::toNativeSeparators(dir.filePath(kept[0]))));

    // When the restored database will not open after all, the replaced one goes back in its place by
    // itself and the program goes on with it.
    TestRows::Put(*app.db(), TestRows::Order{.key = "k3", .number = "3", .date = {}, .car = {}});
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    int opens = 0;
    app.SetReopen([&opens](const QString &connect) {
        if (opens++ == 0) throw DbError("disk I/O error");
        return Database::Open(connect);
    });
    dialogs.Then(FillLogin(kName, kPass));
    EXPECT_FALSE(app.RestoreAndReopen(pick));
    ASSERT_TRUE(app.frame() && app.db());
    EXPECT_EQ(ColumnTexts(*app.db(), "SELECT ZakazNomer FROM TZakaz ORDER BY ZakazNomer"),
              QStringList({"1", "3"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), files);
    EXPECT_EQ(prompter.errors.value(prompter.errors.size() - 1),
              BackupCommandTexts::kPutBack + DriverTexts::kDetails.arg("disk I/O error"));
}
