#include "CounterStore.h"
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
    for (const char *zakaz : {"z1", "z2", "z3"}) Schema::RefreshOrderTotals(db(), QString::fromLatin1(zakaz));
    QSqlQuery t =
        db().Exec(QStringLiteral("SELECT ZakazSumma, ZakazSummaNDS FROM TZakaz WHERE IddZakaz = 'z1'"));
    ASSERT_TRUE(t.next());
    EXPECT_NEAR(t.value(0).toDouble(), 286.0, 1e-9);
    EXPECT_NEAR(t.value(1).toDouble(), 36.0, 1e-9);

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

namespace {

void AddLink(Database &db, const char *key, bool deleted) {
    Rows::Insert(db, QStringLiteral("AvtoVlad"),
                 {{QStringLiteral("IddAvtoVlad"), QString::fromLatin1(key)},
                  {QStringLiteral("IddAvto"), QStringLiteral("car")},
                  {QStringLiteral("IddVlad"), QStringLiteral("client")},
                  {QStringLiteral("Delete"), deleted}});
}

void AddUser(Database &db, const char *key, const char *login, bool deleted = false) {
    Rows::Insert(db, QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), QString::fromLatin1(key)},
                  {QStringLiteral("Login"), QString::fromLatin1(login)},
                  {QStringLiteral("Delete"), deleted}});
}

}  // namespace

TEST_P(SchemaTest, AVersionOneDatabaseIsUpgradedOnOpen) {
    MakeVersion1(db());
    AddLink(db(), "l1", false);
    AddLink(db(), "l2", false);  // the same car and owner twice
    AddLink(db(), "l0", true);
    AddUser(db(), "u1", "admin");
    AddUser(db(), "u2", "admin");
    AddUser(db(), "u3", "admin2");
    AddUser(db(), "u4", "admin", true);
    m_db.reset();
    m_db = OpenAgain();
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);

    EXPECT_EQ(ColumnTexts(db(), QStringLiteral("SELECT IddAvtoVlad FROM AvtoVlad WHERE [Delete] = FALSE")),
              QStringList{"l1"});
    EXPECT_EQ(
        ColumnTexts(db(), QStringLiteral("SELECT Login FROM SUser WHERE [Delete] = FALSE ORDER BY IddUser")),
        (QStringList{"admin", "admin3", "admin2"}));
    // The new rules hold from now on, in the database itself, ...
    // ... with the same Russian message on both databases.
    try {
        AddLink(db(), "l3", false);
        FAIL() << "a second live link should be refused";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().startsWith(u"Этот автомобиль уже связан с этим владельцем."))
            << e.text().toStdString();
    }
    try {
        AddUser(db(), "u5", "admin2");
        FAIL() << "a second live login should be refused";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().startsWith(u"Пользователь с таким логином уже есть!")) << e.text().toStdString();
    }
    AddUser(db(), "u6", "admin2", true);

    // Long columns take 64-bit values, notes their longer limit.
    CounterStore c(db());
    EXPECT_EQ(c.TakeOrderNumber(), QStringLiteral("A-2147483648"));
    EXPECT_EQ(c.ReadAll()->zakazNomer, 2147483648L);
    const QString note(FieldMaxLength(QStringLiteral("SAvto"), QStringLiteral("AvtoPrim")), u'п');
    Rows::Insert(db(), QStringLiteral("SAvto"),
                 {{QStringLiteral("IddAvto"), QStringLiteral("car")}, {QStringLiteral("AvtoPrim"), note}});
    EXPECT_EQ(ColumnTexts(db(), QStringLiteral("SELECT AvtoPrim FROM SAvto")), QStringList{note});
    // The views still work.
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM TClientDolgD")), 0);

    // Opening it again changes nothing more.
    m_db.reset();
    m_db = OpenAgain();
    EXPECT_EQ(Schema::StoredVersion(db()), Schema::kVersion);
}

TEST_P(SchemaTest, AnUpgradeFillsTheTotalsOfExistingOrdersFromTheirLiveLines) {
    MakeVersion1(db());
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
    for (const char *zakaz : {"z1", "z2", "z3"})
        Rows::Insert(db(), QStringLiteral("TZakaz"),
                     {{QStringLiteral("IddZakaz"), QString::fromLatin1(zakaz)},
                      {QStringLiteral("IddVlad"), QStringLiteral("c1")},
                      {QStringLiteral("Delete"), false}});
    line("z1", "pkg", "0", 1, 500, 20, false);   // a package header counts nothing, whatever it holds
    line("z1", "s1", "pkg", 3, 100, 20, false);  // 360, VAT 60
    line("z1", "s2", "top", 2, 25, 0, false);    // 50
    line("z1", "s3", "top", 1, 999, 10, true);   // deleted
    line("z2", "s1", "top", 1, 10.5, 10, false);
    Rows::Insert(db(), QStringLiteral("TPay"),
                 {{QStringLiteral("IddPay"), QStringLiteral("p1")},
                  {QStringLiteral("IddZakaz"), QStringLiteral("z1")},
                  {QStringLiteral("SummaPay"), 100.0},
                  {QStringLiteral("Delete"), false}});
    m_db.reset();
    m_db = OpenAgain();
    ASSERT_EQ(Schema::StoredVersion(db()), Schema::kVersion);

    QSqlQuery q = db().Exec(QStringLiteral(
        "SELECT z.IddZakaz, z.ZakazSumma, z.ZakazSummaNDS, d.SummD FROM TZakaz z INNER JOIN TClientDolg d "
        "ON d.IddZakaz = z.IddZakaz ORDER BY z.IddZakaz"));
    const double expected[][3] = {{410, 60, 310}, {11.55, 1.05, 11.55}, {0, 0, 0}};
    for (const auto &e : expected) {
        ASSERT_TRUE(q.next());
        EXPECT_NEAR(q.value(1).toDouble(), e[0], 1e-9) << q.value(0).toString().toStdString();
        EXPECT_NEAR(q.value(2).toDouble(), e[1], 1e-9) << q.value(0).toString().toStdString();
        EXPECT_NEAR(q.value(3).toDouble(), e[2], 1e-9) << q.value(0).toString().toStdString();
    }
    EXPECT_FALSE(q.next());
    QSqlQuery d = db().Exec(QStringLiteral("SELECT Sum_SummD FROM TClientDolgD WHERE IddVlad = 'c1'"));
    ASSERT_TRUE(d.next());
    EXPECT_NEAR(d.value(0).toDouble(), 321.55, 1e-9);
    // From now on the database keeps what was paid on each order, whoever writes the payment.
    db().Exec(QStringLiteral(
                  "INSERT INTO TPay (IddPay, IddZakaz, SummaPay, [Delete]) VALUES ('p2', 'z2', 11.55, ?)"),
              {false});
    db().Exec(QStringLiteral("UPDATE TPay SET [Delete] = ? WHERE IddPay = 'p1'"), {true});
    QSqlQuery paid = db().Exec(QStringLiteral("SELECT IddZakaz, ZakazOplata FROM TZakaz ORDER BY IddZakaz"));
    for (const double e : {0.0, 11.55, 0.0}) {
        ASSERT_TRUE(paid.next());
        EXPECT_NEAR(paid.value(1).toDouble(), e, 1e-9) << paid.value(0).toString().toStdString();
    }
}

TEST_P(SchemaTest, ADatabaseOfANewerProgramIsRefused) {
    db().Exec(QStringLiteral("UPDATE ZvSchema SET Version = ?"), {Schema::kVersion + 1});
    m_db.reset();
    try {
        m_db = OpenAgain();
        FAIL() << "a newer database should be refused";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().startsWith(u"База данных создана более новой версией программы"))
            << e.text().toStdString();
    }
}

TEST_P(SchemaTest, EveryTextFieldHasOneLimitOnBothDatabases) {
    // One character over the limit: refused before the database sees it, with one message everywhere.
    const int limit = FieldMaxLength(QStringLiteral("SBox"), QStringLiteral("NameBox"));
    ASSERT_EQ(limit, 255);
    try {
        Rows::Insert(db(), QStringLiteral("SBox"),
                     {{QStringLiteral("IddBox"), QStringLiteral("b1")},
                      {QStringLiteral("NameBox"), QString(limit + 1, u'я')}});
        FAIL() << "an over-long name should be refused";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(),
                  QStringLiteral("Поле «Название бокса» не может быть длиннее 255 символов (введено 256).\n"
                                 "Сократите текст: ничего не сохранено."));
        EXPECT_EQ(e.field(), QStringLiteral("SBox.NameBox"));
    }
    EXPECT_EQ(CountRows(db(), QStringLiteral("SELECT * FROM SBox")), 0);

    // At the limit every text field stores and reads back whole, in the table as created.
    for (const TableDef &t : Schema::Tables()) {
        const QString table = QString::fromLatin1(t.name);
        for (const ColumnDef &c : t.columns) {
            if (c.type != ColType::Text) continue;
            const QString column = QString::fromLatin1(c.name);
            const int max = FieldMaxLength(table, column);
            EXPECT_GE(max, 64) << t.name << '.' << c.name;
            EXPECT_NE(Schema::Caption(table, column), column) << t.name << '.' << c.name;
            const QString text(max, u'ж');
            Transaction tx(db());  // left uncommitted: each field is tried on the table as it was
            db().Exec(QStringLiteral("DELETE FROM [%1]").arg(table));
            Values row = {{column, text}};
            for (const QString &key : t.primaryKey)
                if (key != column) row << ColumnValue{key, QStringLiteral("k")};
            Rows::Insert(db(), table, row);
            EXPECT_EQ(ColumnTexts(db(), QStringLiteral("SELECT [%1] FROM [%2]").arg(column, table)),
                      QStringList{text})
                << t.name << '.' << c.name;
        }
    }
}
