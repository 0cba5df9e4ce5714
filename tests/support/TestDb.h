#pragma once

#include "Database.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

// The databases every store test runs on.
enum class Backend { Sqlite, Postgres };

std::string BackendName(const ::testing::TestParamInfo<Backend> &info);

// A fresh, empty database with the schema for one test. SQLite: a file in a temporary folder.
// PostgreSQL: the database named by ZV_TEST_PG (libpq pairs), emptied first. Without ZV_TEST_PG the
// PostgreSQL tests skip, unless ZV_REQUIRE_PG is set (as in CI), where they fail instead.
class DbTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override;
    void TearDown() override;
    // What a fixture puts into the fresh database; runs only once it is open (not when skipped or failed).
    virtual void Fill() {}

    Database &db() { return *m_db; }
    // Opens a second connection to the same database (as a second workstation would).
    std::unique_ptr<Database> OpenAgain();
    QString ConnectString() const { return m_connect; }
    // A login for a user the test creates: on PostgreSQL users are the server's roles, which every test
    // program on the server shares, so there it is made this process's own.
    QString Login(const char *base) const;

    std::unique_ptr<Database> m_db;
    QTemporaryDir m_dir;
    QString m_connect;
};

// The two backends as a test parameter list: for stores and rules, whose SQL runs on both.
#define ZV_INSTANTIATE_DB_TESTS(Fixture) \
    INSTANTIATE_TEST_SUITE_P(Db, Fixture, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName)
// A screen holds no SQL: its tests run on the embedded database only, unless what the screen does
// depends on the database (then it uses ZV_INSTANTIATE_DB_TESTS and says why).
#define ZV_INSTANTIATE_SCREEN_TESTS(Fixture) \
    INSTANTIATE_TEST_SUITE_P(Db, Fixture, ::testing::Values(Backend::Sqlite), BackendName)

// Every row of these tables as text, to prove that a command wrote nothing.
QString DumpTables(Database &db, const QStringList &tables);
// Runs `action` while every write whose SQL holds `word` (in any case) fails as on a full disk; true when
// the action threw DbError.
bool FailsWhenWriting(Database &db, const QString &word, const std::function<void()> &action);
// Counts rows of a query (bound values allowed).
int CountRows(Database &db, const QString &sql, const QVariantList &binds = {});
// The first column of the first row; an invalid value when there is no row.
QVariant FirstValue(Database &db, const QString &sql, const QVariantList &binds = {});
// The first column of every row, as text.
QStringList ColumnTexts(Database &db, const QString &sql, const QVariantList &binds = {});

// Turns the test database into one the first version of the program made: 32-bit long columns, every
// text 255 characters, amounts as doubles, no rule about live links or logins, no kept totals. The next
// open upgrades it.
void MakeVersion1(Database &db);
