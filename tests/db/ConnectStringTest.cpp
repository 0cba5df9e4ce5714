#include "ConnectString.h"
#include "DbError.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

TEST(ConnectString, ParsesEachForm) {
    const ConnectTarget odbc = ParseConnectString(QStringLiteral("ODBC;DSN=Zorvantide;"));
    EXPECT_EQ(odbc.dialect, Dialect::Odbc);
    EXPECT_EQ(odbc.odbcName, QStringLiteral("Zorvantide"));  // QODBC wants the bare name

    const ConnectTarget full = ParseConnectString(QStringLiteral("ODBC;DRIVER=SQLite3;Database=/tmp/x.db"));
    EXPECT_EQ(full.odbcName, QStringLiteral("DRIVER=SQLite3;Database=/tmp/x.db"));

    const ConnectTarget lite =
        ParseConnectString(QStringLiteral("SQLITE;DATABASE=/var/lib/shop/Quellmarod.db"));
    EXPECT_EQ(lite.dialect, Dialect::Sqlite);
    EXPECT_EQ(lite.file, QStringLiteral("/var/lib/shop/Quellmarod.db"));

    const ConnectTarget pg = ParseConnectString(QStringLiteral(
        "PGSQL;host=127.0.0.1 port=5433 dbname=shop user=clerk password='a b\\'c' sslmode=disable"));
    EXPECT_EQ(pg.dialect, Dialect::Postgres);
    EXPECT_EQ(pg.host, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(pg.port, 5433);
    EXPECT_EQ(pg.dbname, QStringLiteral("shop"));
    EXPECT_EQ(pg.user, QStringLiteral("clerk"));
    EXPECT_EQ(pg.password, QStringLiteral("a b'c"));
    EXPECT_EQ(pg.options, QStringLiteral("sslmode=disable"));

    EXPECT_EQ(ParseConnectString(QStringLiteral("/srv/shop/Quellmarod.db")).file,
              QStringLiteral("/srv/shop/Quellmarod.db"));
    EXPECT_THROW(ParseConnectString(QStringLiteral("MSACCESS;DBQ=x.mdb")), DbError);  // not taken for a file
    EXPECT_THROW(ParseConnectString(QStringLiteral("  ")), DbError);
    EXPECT_THROW(ParseConnectString(QStringLiteral("PGSQL;host")), DbError);
    EXPECT_THROW(ParseConnectString(QStringLiteral("PGSQL;password='open")), DbError);
}

TEST(ConnectString, ResolutionOrder) {
    const QString cmd = QStringLiteral("SQLITE;DATABASE=/a.db");
    const QString setting = QStringLiteral("PGSQL;dbname=x");
    EXPECT_EQ(ResolveConnectString(cmd, setting, true, QStringLiteral("/w")), cmd);
    EXPECT_EQ(ResolveConnectString(QString(), setting, true, QStringLiteral("/w")), setting);
    EXPECT_EQ(ResolveConnectString(QString(), QString(), true, QStringLiteral("/w")),
              QStringLiteral("ODBC;DSN=Zorvantide;"));
    EXPECT_EQ(ResolveConnectString(QString(), QString(), false, QStringLiteral("/w")),
              QStringLiteral("SQLITE;DATABASE=/w/Quellmarod.db"));
}

// The driver manager's own list: user and system data sources, names in any case.
TEST(ConnectString, FindsDsnWhereUnixOdbcDoes) {
    const QByteArray savedIni = qgetenv("ODBCINI"), savedSysIni = qgetenv("ODBCSYSINI");
    QTemporaryDir dir;
    auto write = [&](const char *name, const char *text) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    qputenv("ODBCINI", dir.filePath(QStringLiteral("user.ini")).toLocal8Bit());
    qputenv("ODBCSYSINI", dir.path().toLocal8Bit());
    write("user.ini", "[Other]\nDriver=SQLite3\n\n[ZorvantideOld]\nDriver=SQLite3\n");
    EXPECT_FALSE(IsDsnRegistered());
    write("odbc.ini", "[zorvantide]\nDriver=SQLite3\nDatabase=/tmp/Quellmarod.db\n");
    EXPECT_TRUE(IsDsnRegistered());
    write("odbc.ini", "");
    write("user.ini", "[Other]\nDriver=SQLite3\n\n[Zorvantide]\nDriver=SQLite3\n");
    EXPECT_TRUE(IsDsnRegistered());
    qputenv("ODBCINI", savedIni);
    qputenv("ODBCSYSINI", savedSysIni);
}
