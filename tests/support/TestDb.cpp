#include "TestDb.h"

#include "DbError.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

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
}

void DbTest::TearDown() {
    m_db.reset();
}

std::unique_ptr<Database> DbTest::OpenAgain() {
    return Database::Open(m_connect);
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
