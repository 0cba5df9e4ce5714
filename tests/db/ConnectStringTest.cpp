#include "ConnectString.h"
#include "DbError.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

// Each form as "dialect|odbc name|file|host|port|dbname|user|password|options".
TEST(ConnectString, ParsesEachForm) {
    const struct {
        const char *connect, *parsed;
    } cases[] = {
        {"ODBC;DSN=Zorvantide;", "odbc|Zorvantide|||-1||||"},  // QODBC wants the bare name
        {"ODBC;DRIVER=SQLite3;Database=/tmp/x.db", "odbc|DRIVER=SQLite3;Database=/tmp/x.db|||-1||||"},
        {"SQLITE;DATABASE=/var/lib/shop/Quellmarod.db", "sqlite||/var/lib/shop/Quellmarod.db||-1||||"},
        {"/srv/shop/Quellmarod.db", "sqlite||/srv/shop/Quellmarod.db||-1||||"},
        {"PGSQL;host=127.0.0.1 port=5433 dbname=shop user=clerk password='a b\\'c' sslmode=disable",
         "pg|||127.0.0.1|5433|shop|clerk|a b'c|sslmode=disable"}};
    for (const auto &c : cases) {
        const ConnectTarget t = ParseConnectString(QString::fromLatin1(c.connect));
        EXPECT_EQ(QStringList({QStringList{"sqlite", "pg", "odbc"}[int(t.dialect)], t.odbcName, t.file,
                               t.host, QString::number(t.port), t.dbname, t.user, t.password, t.options})
                      .join(u'|')
                      .toStdString(),
                  c.parsed);
    }
    for (const char *refused : {"MSACCESS;DBQ=x.mdb", "  ", "PGSQL;host", "PGSQL;password='open"})
        EXPECT_THROW(ParseConnectString(QString::fromLatin1(refused)), DbError)
            << refused;  // not taken for a file
}

TEST(ConnectString, ResolutionOrder) {
    const QString cmd = "SQLITE;DATABASE=/a.db", setting = "PGSQL;dbname=x";
    EXPECT_EQ(ResolveConnectString(cmd, setting, true, "/w"), cmd);
    EXPECT_EQ(ResolveConnectString(QString(), setting, true, "/w"), setting);
    EXPECT_EQ(ResolveConnectString(QString(), QString(), true, "/w"), "ODBC;DSN=Zorvantide;");
    EXPECT_EQ(ResolveConnectString(QString(), QString(), false, "/w"), "SQLITE;DATABASE=/w/Quellmarod.db");
}

// The driver manager's own list: user and system data sources, names in any case.
TEST(ConnectString, FindsDsnWhereUnixOdbcDoes) {
    const QByteArray savedIni = qgetenv("ODBCINI"), savedSysIni = qgetenv("ODBCSYSINI");
    QTemporaryDir dir;
    qputenv("ODBCINI", dir.filePath("user.ini").toLocal8Bit());
    qputenv("ODBCSYSINI", dir.path().toLocal8Bit());
    for (const auto &[user, system, found] :
         {std::tuple{"[Other]\nDriver=SQLite3\n\n[ZorvantideOld]\nDriver=SQLite3\n", "", false},
          {"", "[zorvantide]\nDriver=SQLite3\nDatabase=/tmp/Quellmarod.db\n", true},
          {"[Other]\nDriver=SQLite3\n\n[Zorvantide]\nDriver=SQLite3\n", "", true}}) {
        for (const auto &[name, text] : {std::pair{"user.ini", user}, {"odbc.ini", system}}) {
            QFile f(dir.filePath(QLatin1String(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        EXPECT_EQ(IsDsnRegistered(), found) << user << system;
    }
    qputenv("ODBCINI", savedIni);
    qputenv("ODBCSYSINI", savedSysIni);
}
