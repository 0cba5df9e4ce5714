#include "ConnectString.h"
#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "Formats.h"
#include "OrderFixtures.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "Rub.h"
#include "TestDb.h"

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// The driver entry Debian's libsqliteodbc registers, in folder/odbcinst.ini.
void WriteDriverEntry(const QString &folder) {
    QFile file(QDir(folder).filePath(QStringLiteral("odbcinst.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=libsqlite3odbc.so\n");
}

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
        qputenv("ODBCINI", m_dir.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());
        qputenv("ODBCSYSINI", m_dir.path().toLocal8Bit());
        WriteDriverEntry(m_dir.path());
        ASSERT_FALSE(IsDsnRegistered());
        ASSERT_EQ(RunIn(m_dir.path(), QStringLiteral(DSNSETUP_EXE), QProcessEnvironment::systemEnvironment()),
                  0);
        ASSERT_TRUE(IsDsnRegistered());
        const QString connect = ResolveConnectString(QString(), QString(), IsDsnRegistered(), m_dir.path());
        ASSERT_EQ(connect, QStringLiteral("ODBC;DSN=Zorvantide;"));
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
    WriteDriverEntry(dir.path());
    QFile stale(root.filePath(QStringLiteral("home/.odbc.ini")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("[Zorvantide]\nDriver=SQLite3\nDatabase=/nowhere/Quellmarod.db\n");
    stale.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ODBCINI"));
    env.insert(QStringLiteral("ODBCSYSINI"), dir.path());
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("ZV_TEST_PASSWD_HOME"), root.filePath(QStringLiteral("passwd-home")));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAKE_PASSWD_HOME));
    // A sanitizer build insists on coming first; the preloaded helper does not need it.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));

    const QString shop = root.filePath(QStringLiteral("shop"));
    EXPECT_EQ(RunIn(shop, QStringLiteral(DSN_PROBE_EXE), env), 1) << "took an entry unixODBC does not read";
    ASSERT_EQ(RunIn(shop, QStringLiteral(DSNSETUP_EXE), env), 0);
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("passwd-home/.odbc.ini"))));
    EXPECT_EQ(RunIn(shop, QStringLiteral(DSN_PROBE_EXE), env), 0);
    EXPECT_TRUE(QFile::exists(root.filePath(QStringLiteral("shop/Quellmarod.db"))));
}

TEST_F(OdbcSmokeTest, SchemaIsCreatedInTheRegisteredFile) {
    EXPECT_EQ(m_db->dialect(), Dialect::Odbc);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("Quellmarod.db"))));
    EXPECT_EQ(
        CountRows(*m_db, QStringLiteral("SELECT * FROM [Number] WHERE iddnum = ?"), {QStringLiteral("1")}),
        1);
    // The same file opened embedded sees what the data source wrote.
    Rows::Insert(*m_db, QStringLiteral("SBox"),
                 {{QStringLiteral("IddBox"), QStringLiteral("b1")},
                  {QStringLiteral("NameBox"), QStringLiteral("Мойка №1")}});
    m_db.reset();
    auto embedded =
        Database::Open(QStringLiteral("SQLITE;DATABASE=") + m_dir.filePath(QStringLiteral("Quellmarod.db")));
    EXPECT_EQ(CountRows(*embedded, QStringLiteral("SELECT * FROM SBox WHERE NameBox = ?"),
                        {QStringLiteral("Мойка №1")}),
              1);
}

// A save through the data source takes the file's write lock as it begins, as the embedded connection does:
// another program's write waits for it, rather than both going ahead and one failing half-way.
TEST_F(OdbcSmokeTest, TransactionTakesTheWriteLockAsItBegins) {
    auto embedded =
        Database::Open(QStringLiteral("SQLITE;DATABASE=") + m_dir.filePath(QStringLiteral("Quellmarod.db")));
    embedded->SetLockWait(100);
    const auto box = [](const char *key) {
        return Values{{QStringLiteral("IddBox"), QString::fromLatin1(key)},
                      {QStringLiteral("NameBox"), QString::fromLatin1(key)}};
    };
    {
        Transaction t(*m_db);
        try {
            Rows::Insert(*embedded, QStringLiteral("SBox"), box("other"));
            ADD_FAILURE() << "the other program wrote while the data source's transaction was open";
        } catch (const DbError &e) {
            EXPECT_EQ(e.text(), Database::BusyText());
        }
        Rows::Insert(*m_db, QStringLiteral("SBox"), box("mine"));
        t.Commit();
    }
    EXPECT_EQ(CountRows(*embedded, QStringLiteral("SELECT * FROM SBox")), 1);
    Rows::Insert(*embedded, QStringLiteral("SBox"), box("other"));
    EXPECT_EQ(CountRows(*m_db, QStringLiteral("SELECT * FROM SBox")), 2);
}

TEST_F(OdbcSmokeTest, OrderLifecycle) {
    Database &db = *m_db;
    CounterStore(db).WriteAll({QStringLiteral("Z-"), 0, 0, 0, 0});

    Order o = Fixture::NewOrder();
    o.client.ClientName = QStringLiteral("O'Neil");
    OrderLine wheel = Fixture::Service("wheel", "Снятие колеса", 4, 100, 18);
    wheel.workers = {Fixture::Worker("w1", "Петров П.П.")};
    o.lines = {Fixture::Package("pkg", "Шиномонтаж", {wheel})};
    o.ZakazStatus = StatusFinished;
    o.ZakazEndOut = QDateTime(QDate(2024, 6, 10), QTime(10, 15));

    OrderStore store(db);
    const QString key = store.Save(o, QStringLiteral("anna"));
    auto back = store.Load(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(Fixture::Head(*back),
              "Z-1|2|10.06.24 00:00:00|10.06.24 09:15:00|10.06.24 09:15:00|10.06.24 10:15:00|А123ВС77|Лада "
              "Веста|O'Neil|+7 900 000-00-00");
    EXPECT_EQ(Fixture::Text(back->lines),
              "pkg Шиномонтаж 1x0.00 00:00 [wheel Снятие колеса 4x100.00 +18% 00:30 {w1}]");
    const Money total = OrderMath::Compute(back->lines).total;
    EXPECT_EQ(total, Rub(472.0));

    PayRecord pay;
    pay.NaznPay = QStringLiteral("Оплата услуг");
    pay.DataPay = QDateTime(QDate(2024, 6, 10), QTime(10, 20));
    pay.SummaPay = Rub(400);
    PaymentStore payments(db);
    payments.SavePayment(pay, key, QStringLiteral("anna"));
    const Money paid = OrderMath::Paid(store.Load(key)->payments);
    EXPECT_EQ(paid, Rub(400.0));
    EXPECT_TRUE(OrderMath::Debt(total, paid).IsOutstanding());
    QSqlQuery debt = db.Exec(QStringLiteral("SELECT SummD FROM TClientDolg WHERE IddZakaz = ?"), {key});
    ASSERT_TRUE(debt.next());
    EXPECT_NEAR(debt.value(0).toDouble(), 72.0, 1e-9);

    store.Delete(key);
    EXPECT_FALSE(store.Load(key));
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM TService")), 0);
    QSqlQuery kept = db.Exec(QStringLiteral("SELECT SummaPay FROM TPay WHERE IddZakaz = ?"), {key});
    ASSERT_TRUE(kept.next());
    EXPECT_NEAR(kept.value(0).toDouble(), 400.0, 1e-9);
}
