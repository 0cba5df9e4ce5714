#include "ConnectString.h"
#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "OrderFixtures.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rub.h"
#include "TestDb.h"
#include "TestRows.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

void WriteFile(const QString &path, const QByteArray &text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The driver entry Debian's libsqliteodbc registers, for odbcinst.ini.
const QByteArray kDriverEntry = "[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=libsqlite3odbc.so\n";

// Runs a program in folder with env, returning its exit code (-1 when it did not finish).
int RunIn(const QString &folder, const QString &program, const QProcessEnvironment &env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, {});
    if (!process.waitForFinished(20000)) return -1;
    if (process.exitCode() != 0) std::fprintf(stderr, "%s", process.readAllStandardError().constData());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A shop folder with Zorvantide registered for its Quellmarod.db by the real tool, in ODBC files of its own.
class OdbcSmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // This process and the tool share the data sources and the driver list.
        qputenv("ODBCINI", m_dir.filePath("odbc.ini").toLocal8Bit());
        qputenv("ODBCSYSINI", m_dir.path().toLocal8Bit());
        WriteFile(m_dir.filePath("odbcinst.ini"), kDriverEntry);
        ASSERT_FALSE(IsDsnRegistered());
        ASSERT_EQ(RunIn(m_dir.path(), DSNSETUP_EXE, QProcessEnvironment::systemEnvironment()), 0);
        ASSERT_TRUE(IsDsnRegistered());
        const QString connect = ResolveConnectString(QString(), QString(), IsDsnRegistered(), m_dir.path());
        ASSERT_EQ(connect, "ODBC;DSN=Zorvantide;");
        try {
            m_db = Database::Open(connect);
        } catch (const DbError &e) {
            FAIL() << "cannot open the data source: " << e.text().toStdString();
        }
    }
    void TearDown() override {
        m_db.reset();
        qputenv("ODBCINI", m_savedIni);
        qputenv("ODBCSYSINI", m_savedSysIni);
    }

    const QByteArray m_savedIni = qgetenv("ODBCINI");
    const QByteArray m_savedSysIni = qgetenv("ODBCSYSINI");
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

}  // namespace

// unixODBC reads the user's odbc.ini from the home folder in the password file, not from HOME: the program
// must find the data source exactly where dsnsetup put it, and not take an entry unixODBC never reads.
TEST(OdbcHome, ProgramAndToolAgreeWhenHomeIsNotThePasswordHome) {
    QTemporaryDir dir;
    const QDir root(dir.path());
    for (const char *folder : {"shop", "home", "passwd-home"})
        ASSERT_TRUE(root.mkpath(QLatin1String(folder)));
    WriteFile(root.filePath("odbcinst.ini"), kDriverEntry);
    WriteFile(root.filePath("home/.odbc.ini"),
              "[Zorvantide]\nDriver=SQLite3\nDatabase=/nowhere/Quellmarod.db\n");

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("ODBCINI");
    env.insert("ODBCSYSINI", dir.path());
    env.insert("HOME", root.filePath("home"));
    env.insert("ZV_TEST_PASSWD_HOME", root.filePath("passwd-home"));
    env.insert("LD_PRELOAD", FAKE_PASSWD_HOME);
    // A sanitizer build insists on coming first; the preloaded helper does not need it.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");

    const QString shop = root.filePath("shop");
    EXPECT_EQ(RunIn(shop, DSN_PROBE_EXE, env), 1) << "took an entry unixODBC does not read";
    ASSERT_EQ(RunIn(shop, DSNSETUP_EXE, env), 0);
    EXPECT_TRUE(QFile::exists(root.filePath("passwd-home/.odbc.ini")));
    EXPECT_EQ(RunIn(shop, DSN_PROBE_EXE, env), 0);
    EXPECT_TRUE(QFile::exists(root.filePath("shop/Quellmarod.db")));
}

// The schema is created in the registered file, which the same file opened embedded shares. A save through
// the data source takes the file's write lock as it begins, as the embedded connection does: another
// program's write waits for it, rather than both going ahead and one failing half-way.
TEST_F(OdbcSmokeTest, SchemaIsCreatedInTheRegisteredFileAndTransactionsTakeItsWriteLock) {
    EXPECT_EQ(m_db->dialect(), Dialect::Odbc);
    EXPECT_TRUE(QFile::exists(m_dir.filePath("Quellmarod.db")));
    EXPECT_EQ(CountRows(*m_db, "SELECT * FROM [Number] WHERE iddnum = ?", {"1"}), 1);
    auto embedded = Database::Open("SQLITE;DATABASE=" + m_dir.filePath("Quellmarod.db"));
    embedded->SetLockWait(100);
    {
        Transaction t(*m_db);
        try {
            TestRows::Put(*embedded, TestRows::Bay{.key = "other"});
            ADD_FAILURE() << "the other program wrote while the data source's transaction was open";
        } catch (const DbError &e) {
            EXPECT_EQ(e.text(), Database::BusyText());
        }
        TestRows::Put(*m_db, TestRows::Bay{.key = "b1", .name = "Мойка №1"});
        t.Commit();
    }
    EXPECT_EQ(ColumnTexts(*embedded, "SELECT NameBox FROM SBox"), QStringList{"Мойка №1"});
    TestRows::Put(*embedded, TestRows::Bay{.key = "other"});
    EXPECT_EQ(CountRows(*m_db, "SELECT * FROM SBox"), 2);
}

TEST_F(OdbcSmokeTest, OrderLifecycle) {
    Database &db = *m_db;
    CounterStore(db).WriteAll({"Z-", 0, 0, 0, 0});

    Order o = Fixture::NewOrder();
    o.client.ClientName = "O'Neil";
    OrderLine wheel = Fixture::Service("wheel", "Снятие колеса", 4, 100, 18);
    wheel.workers = {Fixture::Worker("w1", "Петров П.П.")};
    o.lines = {Fixture::Package("pkg", "Шиномонтаж", {wheel})};
    o.ZakazStatus = StatusFinished;
    o.ZakazEndOut = QDateTime(QDate(2024, 6, 10), QTime(10, 15));

    OrderStore store(db);
    const QString key = store.Save(o, "anna");
    auto back = store.Load(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(Fixture::Head(*back),
              "Z-1|2|10.06.24 00:00:00|10.06.24 09:15:00|10.06.24 09:15:00|10.06.24 10:15:00|А123ВС77|Лада "
              "Веста|O'Neil|+7 900 000-00-00");
    EXPECT_EQ(Fixture::Text(back->lines),
              "pkg Шиномонтаж 1x0.00 00:00 [wheel Снятие колеса 4x100.00 +18% 00:30 {w1}]");
    const Money total = OrderMath::Compute(back->lines).total;
    EXPECT_EQ(total, Rub(472.0));

    PayRecord pay{.NaznPay = "Оплата услуг",
                  .DataPay = QDateTime(QDate(2024, 6, 10), QTime(10, 20)),
                  .SummaPay = Rub(400)};
    PaymentStore(db).SavePayment(pay, key, "anna");
    const Money paid = OrderMath::Paid(store.Load(key)->payments);
    EXPECT_EQ(paid, Rub(400.0));
    EXPECT_TRUE(OrderMath::Debt(total, paid).IsOutstanding());
    EXPECT_NEAR(FirstValue(db, "SELECT SummD FROM TClientDolg WHERE IddZakaz = ?", {key}).toDouble(), 72,
                1e-9);

    store.Delete(key);
    EXPECT_FALSE(store.Load(key));
    EXPECT_EQ(CountRows(db, "SELECT * FROM TService"), 0);
    EXPECT_NEAR(FirstValue(db, "SELECT SummaPay FROM TPay WHERE IddZakaz = ?", {key}).toDouble(), 400, 1e-9);
}
