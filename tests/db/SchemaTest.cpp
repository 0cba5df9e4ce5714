#include "Database.h"
#include "DbError.h"
#include "Rows.h"
#include "Schema.h"
#include "TestDb.h"

#include <QSqlQuery>

class SchemaTest : public DbTest {};
ZV_INSTANTIATE_DB_TESTS(SchemaTest);

TEST_P(SchemaTest, NewDatabaseHasEveryTableAndTheSingleRows) {
    for (const TableDef &t : Schema::Tables()) {
        QStringList cols;
        for (const ColumnDef &c : t.columns) cols << u'[' + QString::fromLatin1(c.name) + u']';
        // Selecting every column by name proves the names (and their case rules) work on this database.
        EXPECT_NO_THROW(
            db().Exec(QStringLiteral("SELECT %1 FROM %2").arg(cols.join(u", "), QString::fromLatin1(t.name))))
            << t.name;
    }
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SMain WHERE IddMain = '1'")), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM [Number] WHERE iddnum = '1'")), 1);
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
}

TEST_P(SchemaTest, ExistingDatabaseIsOpenedAsItIs) {
    Rows::Insert(db(), QStringLiteral("SBox"),
                 {{QStringLiteral("IddBox"), QStringLiteral("b1")},
                  {QStringLiteral("NameBox"), QStringLiteral("Бокс 1")}});
    m_db.reset();
    m_db = OpenAgain();
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 1);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SMain")), 1);
}

TEST_P(SchemaTest, DebtViewsFollowTotalsAndLivePayments) {
    auto line = [&](const char *zakaz, const char *service, const char *top, double count, double price,
                    double nds, bool deleted) {
        Rows::Insert(db(), QStringLiteral("TService"),
                     {{QStringLiteral("IddZakaz"), QString::fromLatin1(zakaz)},
                      {QStringLiteral("IddService"), QString::fromLatin1(service)},
                      {QStringLiteral("IddTop"), QString::fromLatin1(top)},
                      {QStringLiteral("Count"), count},
                      {QStringLiteral("Price"), price},
                      {QStringLiteral("PrNDS"), nds},
                      {QStringLiteral("Delete"), deleted}});
    };
    auto order = [&](const char *zakaz, const char *client) {
        Rows::Insert(db(), QStringLiteral("TZakaz"),
                     {{QStringLiteral("IddZakaz"), QString::fromLatin1(zakaz)},
                      {QStringLiteral("IddVlad"), QString::fromLatin1(client)},
                      {QStringLiteral("Delete"), false}});
    };
    auto pay = [&](const char *id, const char *zakaz, double sum, bool deleted) {
        Rows::Insert(db(), QStringLiteral("TPay"),
                     {{QStringLiteral("IddPay"), QString::fromLatin1(id)},
                      {QStringLiteral("IddZakaz"), QString::fromLatin1(zakaz)},
                      {QStringLiteral("SummaPay"), sum},
                      {QStringLiteral("Delete"), deleted}});
    };
    order("z1", "c1");
    line("z1", "pkg", "0", 1, 0, 0, false);
    line("z1", "s1", "pkg", 2, 100, 18, false);  // 236
    line("z1", "s2", "top", 1, 50, 0, false);    // 50
    line("z1", "s3", "top", 1, 999, 0, true);    // deleted, not counted
    pay("p1", "z1", 100, false);
    pay("p2", "z1", 1000, true);
    order("z2", "c1");
    line("z2", "s2", "top", 1, 10, 0, false);
    order("z3", "c2");

    QSqlQuery q =
        db().Exec(QStringLiteral("SELECT IddZakaz, IddVlad, SummD FROM TClientDolg ORDER BY IddZakaz"));
    ASSERT_TRUE(q.next());
    EXPECT_NEAR(q.value(2).toDouble(), 186.0, 1e-9);
    ASSERT_TRUE(q.next());
    EXPECT_NEAR(q.value(2).toDouble(), 10.0, 1e-9);
    ASSERT_TRUE(q.next());
    EXPECT_NEAR(q.value(2).toDouble(), 0.0, 1e-9);

    QSqlQuery d = db().Exec(QStringLiteral("SELECT IddVlad, Sum_SummD FROM TClientDolgD WHERE IddVlad = ?"),
                            {QStringLiteral("c1")});
    ASSERT_TRUE(d.next());
    EXPECT_NEAR(d.value(1).toDouble(), 196.0, 1e-9);
}

TEST_P(SchemaTest, TransactionRollsBackEverything) {
    try {
        Transaction tx(db());
        Rows::Insert(db(), QStringLiteral("SBox"), {{QStringLiteral("IddBox"), QStringLiteral("b1")}});
        {
            Transaction inner(db());
            Rows::Insert(db(), QStringLiteral("SBox"), {{QStringLiteral("IddBox"), QStringLiteral("b2")}});
            inner.Commit();
        }
        Rows::Insert(db(), QStringLiteral("SBox"),
                     {{QStringLiteral("IddBox"), QStringLiteral("b1")}});  // duplicate
        tx.Commit();
        FAIL() << "expected the duplicate to fail";
    } catch (const DbError &) {
    }
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 0);
    // The connection is usable afterwards.
    Rows::Insert(db(), QStringLiteral("SBox"), {{QStringLiteral("IddBox"), QStringLiteral("b3")}});
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 1);
}

TEST(Database, UnopenableDatabaseReportsTheDriversText) {
    try {
        Database::Open(QStringLiteral("SQLITE;DATABASE=/nonexistent-folder/sub/Quellmarod.db"));
        FAIL() << "expected failure";
    } catch (const DbError &e) {
        EXPECT_FALSE(e.text().isEmpty());
    }
    EXPECT_THROW(Database::Open(QStringLiteral("PGSQL;host=127.0.0.1 port=1 dbname=none connect_timeout=2")),
                 DbError);
    EXPECT_THROW(Database::Open(QStringLiteral("ODBC;DSN=NoSuchDataSource;")), DbError);
}
