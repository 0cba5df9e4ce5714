#include "ConnectString.h"
#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "TestDb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// A shop folder with Zorvantide registered for its Quellmarod.db by the real tool.
class OdbcSmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString ini = m_dir.filePath(QStringLiteral("odbc.ini"));
        qputenv("ODBCINI", ini.toLocal8Bit());  // this process and the tool share the user data sources
        ASSERT_FALSE(IsDsnRegistered());
        QProcess tool;
        tool.setWorkingDirectory(m_dir.path());
        tool.setStandardInputFile(QProcess::nullDevice());
        tool.start(QStringLiteral(DSNSETUP_EXE), {});
        ASSERT_TRUE(tool.waitForFinished(20000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
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
        qunsetenv("ODBCINI");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

}  // namespace

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

TEST_F(OdbcSmokeTest, OrderLifecycle) {
    Database &db = *m_db;
    CounterStore(db).WriteAll({QStringLiteral("Z-"), 0, 0, 0, 0});

    Order o;
    o.car.AvtoNomer = QStringLiteral("в777ор99");
    o.client.ClientName = QStringLiteral("O'Neil");
    OrderLine pkg;
    pkg.IddService = QStringLiteral("pkg");
    pkg.IddTop = Group::kPackage;
    pkg.Name = QStringLiteral("Шиномонтаж");
    OrderLine wheel;
    wheel.IddService = QStringLiteral("wheel");
    wheel.IddTop = QStringLiteral("pkg");
    wheel.Name = QStringLiteral("Снятие колеса");
    wheel.Count = 4;
    wheel.Price = 100;
    wheel.PrNDS = 18;
    wheel.Time = QTime(0, 15);
    wheel.workers = {LineWorker{QStringLiteral("w1"), QStringLiteral("Петров П.П."), 0}};
    pkg.children = {wheel};
    o.lines = {pkg};
    OrderFormInput form;
    form.orderDate = QDate(2024, 6, 10);
    form.acceptDate = QDate(2024, 6, 10);
    form.acceptTime = QTime(9, 15);
    form.finished = true;
    form.doneDate = QDate(2024, 6, 10);
    form.doneTime = QTime(10, 15);

    OrderStore store(db);
    const QString key = store.Save(o, form, QStringLiteral("anna"));
    EXPECT_EQ(o.ZakazNomer, QStringLiteral("Z-1"));

    auto back = store.Load(key);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->ZakazStatus, StatusFinished);
    EXPECT_EQ(back->ZakazEndOut, QDateTime(QDate(2024, 6, 10), QTime(10, 15)));
    EXPECT_EQ(back->car.AvtoNomer, QStringLiteral("В777ОР99"));
    EXPECT_EQ(back->client.ClientName, QStringLiteral("O'Neil"));
    ASSERT_EQ(back->lines.size(), 1);
    ASSERT_EQ(back->lines[0].children.size(), 1);
    EXPECT_EQ(back->lines[0].children[0].Time, QTime(0, 15));
    ASSERT_EQ(back->lines[0].children[0].workers.size(), 1);
    const double total = OrderMath::Compute(back->lines).total;
    EXPECT_NEAR(total, 472.0, 1e-9);

    PayRecord pay;
    pay.NaznPay = QStringLiteral("Оплата услуг");
    pay.DataPay = QDateTime(QDate(2024, 6, 10), QTime(10, 20));
    pay.SummaPay = 400;
    PaymentStore payments(db);
    payments.SavePayment(pay, key, QStringLiteral("anna"));
    EXPECT_DOUBLE_EQ(payments.SumOrderPayments(key), 400.0);
    EXPECT_TRUE(OrderMath::IsOutstanding(OrderMath::Debt(total, payments.SumOrderPayments(key))));
    QSqlQuery debt = db.Exec(QStringLiteral("SELECT SummD FROM TClientDolg WHERE IddZakaz = ?"), {key});
    ASSERT_TRUE(debt.next());
    EXPECT_NEAR(debt.value(0).toDouble(), 72.0, 1e-9);

    store.Delete(key);
    EXPECT_FALSE(store.Load(key));
    EXPECT_EQ(CountRows(db, QStringLiteral("SELECT * FROM TService")), 0);
    EXPECT_DOUBLE_EQ(payments.SumOrderPayments(key), 400.0);
}
