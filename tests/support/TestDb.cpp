#include "TestDb.h"

#include "Database.h"
#include "DbError.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

std::string BackendName(const ::testing::TestParamInfo<Backend> &info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

namespace {

// Each test process works in a schema of its own, so test programs may run side by side on one server.
QString TestSchema() {
    return QStringLiteral("zv_t%1").arg(QCoreApplication::applicationPid());
}

// Empties this process's schema through a plain connection of its own.
void ResetPostgres(const QString &connect) {
    const ConnectTarget target = ParseConnectString(connect);
    const QString name = QStringLiteral("zv-reset");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(target.host);
        if (target.port > 0) db.setPort(target.port);
        db.setDatabaseName(target.dbname);
        db.setUserName(target.user);
        db.setPassword(target.password);
        if (!db.open()) throw DbError(db.lastError().text());
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET client_min_messages TO WARNING"));
        if (!q.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(TestSchema())) ||
            !q.exec(QStringLiteral("CREATE SCHEMA %1").arg(TestSchema())))
            throw DbError(q.lastError().text());
        // The server roles a test of this process made: its users, then their groups.
        const QString groups = QStringLiteral("zv_%1_%2\\_%%").arg(target.dbname, TestSchema());
        if (!q.exec(QStringLiteral(
                        "DO $$ DECLARE r record; BEGIN FOR r IN SELECT m.rolname, 0 FROM pg_roles m JOIN "
                        "pg_auth_members a ON a.member = m.oid JOIN pg_roles g ON g.oid = a.roleid WHERE "
                        "g.rolname LIKE '%1' UNION SELECT rolname, 1 FROM pg_roles WHERE rolname LIKE '%1' "
                        "ORDER BY 2 LOOP EXECUTE format('DROP ROLE %I', r.rolname); END LOOP; END $$")
                        .arg(groups)))
            throw DbError(q.lastError().text());
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

}  // namespace

void DbTest::SetUp() {
    if (GetParam() == Backend::Sqlite) {
        ASSERT_TRUE(m_dir.isValid());
        m_connect = QStringLiteral("SQLITE;DATABASE=") + m_dir.filePath(QStringLiteral("Quellmarod.db"));
    } else {
        const QString pg = qEnvironmentVariable("ZV_TEST_PG");
        if (pg.isEmpty()) {
            if (!qEnvironmentVariableIsEmpty("ZV_REQUIRE_PG")) FAIL() << "ZV_TEST_PG is not set";
            GTEST_SKIP() << "no PostgreSQL test database (ZV_TEST_PG)";
        }
        m_connect = (pg.startsWith(u"PGSQL;") ? pg : QStringLiteral("PGSQL;") + pg) +
                    QStringLiteral(" options=-csearch_path=") + TestSchema();
        ResetPostgres(m_connect);
    }
    try {
        m_db = Database::Open(m_connect);
    } catch (const DbError &e) {
        FAIL() << "cannot open test database: " << e.text().toStdString();
    }
    Fill();
}

void DbTest::TearDown() {
    m_db.reset();
}

QString DbTest::Login(const char *base) const {
    const QString login = QString::fromUtf8(base);
    return GetParam() == Backend::Postgres
               ? login + u'_' + QString::number(QCoreApplication::applicationPid())
               : login;
}

std::unique_ptr<Database> DbTest::OpenAgain() {
    return Database::Open(m_connect);
}

bool FailsWhenWriting(Database &db, const QString &word, const std::function<void()> &action) {
    db.SetWriteHook([word](const QString &sql) {
        if (sql.contains(word, Qt::CaseInsensitive)) throw DbError(QStringLiteral("disk full"));
    });
    bool failed = false;
    try {
        action();
    } catch (const DbError &) {
        failed = true;
    }
    db.SetWriteHook({});
    return failed;
}

QString DumpTables(Database &db, const QStringList &tables) {
    QString out;
    for (const QString &table : tables) {
        QSqlQuery q = db.Exec(QStringLiteral("SELECT * FROM %1").arg(table));
        while (q.next()) {
            for (int i = 0; i < q.record().count(); ++i) out += q.value(i).toString() + u'|';
            out += u'\n';
        }
    }
    return out;
}

int CountRows(Database &db, const QString &sql, const QVariantList &binds) {
    QSqlQuery q = db.Exec(sql, binds);
    int n = 0;
    while (q.next()) ++n;
    return n;
}

QVariant FirstValue(Database &db, const QString &sql, const QVariantList &binds) {
    QSqlQuery q = db.Exec(sql, binds);
    return q.next() ? q.value(0) : QVariant();
}

QStringList ColumnTexts(Database &db, const QString &sql, const QVariantList &binds) {
    QStringList values;
    QSqlQuery q = db.Exec(sql, binds);
    while (q.next()) values << q.value(0).toString();
    return values;
}

// The layout the first version of the program made: 32-bit long columns, every text 255 characters,
// no rule about live links or logins.
void MakeVersion1(Database &db) {
    db.Exec(QStringLiteral("DROP VIEW TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW TClientDolg"));
    for (const TableDef &t : Schema::Tables())
        db.Exec(QStringLiteral("DROP TABLE [%1]").arg(QLatin1StringView(t.name)));
    db.Exec(QStringLiteral("DROP TABLE ZvSchema"));
    for (const char *kept : {"TWorkEarn", "TWorkEarnDay"})  // version 7
        db.Exec(QStringLiteral("DROP TABLE %1").arg(QLatin1StringView(kept)));
    db.Exec(QStringLiteral("DROP TABLE ZvLog"));  // version 11
    if (db.PostgresStyle())
        db.Exec(QStringLiteral(
            "DROP FUNCTION zv_tpay_paid(), zv_work_earn(), zv_work_earn_day(), zv_tell_change(), "
            "zv_log_archive(TIMESTAMP)"));
    else
        for (const char *kept : {"ZvChange", "ZvWho"})  // versions 10 and 11
            db.Exec(QStringLiteral("DROP TABLE %1").arg(QLatin1StringView(kept)));
    db.FindChangeLog();
    for (const TableDef &t : Schema::Tables()) {
        if (t.since > 1) continue;
        QStringList cols;
        for (const ColumnDef &c : t.columns) {
            const QLatin1StringView name(c.name);
            const bool plan =
                (qstrcmp(t.name, "TZakaz") == 0 &&
                 (name == QLatin1StringView("IddBox") || name == QLatin1StringView("ZakazPlanEnd"))) ||
                (qstrcmp(t.name, "SMain") == 0 && name.startsWith(QLatin1StringView("MainOpen"))) ||
                (qstrcmp(t.name, "SMain") == 0 && name == QLatin1StringView("MainClose"));
            if (name.startsWith(QLatin1StringView("ZakazSumma")) ||
                name == QLatin1StringView("ZakazOplata") || plan)
                continue;  // versions 3, 4, 12 and 13
            const char *type = c.type == ColType::Text   ? "VARCHAR(255)"
                               : c.type == ColType::Long ? "INTEGER"
                               : c.type == ColType::Double
                                   ? (db.PostgresStyle() ? "DOUBLE PRECISION" : "DOUBLE")
                               : c.type == ColType::Bool ? "BOOLEAN DEFAULT FALSE"
                                                         : "TIMESTAMP";
            cols << QStringLiteral("[%1] %2").arg(QLatin1StringView(c.name), QLatin1StringView(type));
        }
        if (!t.primaryKey.isEmpty()) cols << QStringLiteral("PRIMARY KEY (%1)").arg(t.primaryKey.join(u", "));
        db.Exec(QStringLiteral("CREATE TABLE [%1] (%2)").arg(QLatin1StringView(t.name), cols.join(u", ")));
    }
    db.Exec(QStringLiteral("CREATE INDEX IX_SUser_Login ON SUser (Login)"));
    db.Exec(QStringLiteral(
        "CREATE VIEW TClientDolg AS SELECT TZakaz.IddZakaz AS IddZakaz, TZakaz.IddVlad AS IddVlad, "
        "COALESCE((SELECT SUM(s.[Count]*s.Price + s.[Count]*s.Price*s.PrNDS/100) FROM TService s "
        "WHERE s.IddZakaz = TZakaz.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = FALSE), 0) - "
        "COALESCE((SELECT SUM(p.SummaPay) FROM TPay p WHERE p.IddZakaz = TZakaz.IddZakaz AND p.[Delete] = "
        "FALSE), 0) AS SummD FROM TZakaz"));
    db.Exec(
        QStringLiteral("CREATE VIEW TClientDolgD AS SELECT TClientDolg.IddVlad AS IddVlad, "
                       "SUM(TClientDolg.SummD) AS Sum_SummD FROM TClientDolg GROUP BY TClientDolg.IddVlad"));
    db.Exec(QStringLiteral("INSERT INTO SMain (IddMain) VALUES ('1')"));
    db.Exec(QStringLiteral(
        "INSERT INTO [Number] (iddnum, ZakazPr, ZakazNomer, PayNomer, OutPayNomer, SalaryNomer) "
        "VALUES ('1', 'A-', 2147483647, 5, 0, 0)"));
    db.Exec(QStringLiteral("CREATE TABLE ZvSchema (Version INTEGER NOT NULL)"));
    db.Exec(QStringLiteral("INSERT INTO ZvSchema (Version) VALUES (1)"));
}
