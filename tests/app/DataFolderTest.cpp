// Where the program works and where it finds the files it ships.
#include "DataFolder.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void Touch(const QString &path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
}

// Restores the working directory and XDG_DATA_HOME a test changes.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", m_dir.filePath("xdg").toLocal8Bit()); }
    void TearDown() override {
        QDir::setCurrent(m_oldCwd);
        m_oldXdg.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", m_oldXdg);
    }
    QString Path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    const QString m_oldCwd = QDir::currentPath();
    const QByteArray m_oldXdg = qgetenv("XDG_DATA_HOME");
};

TEST_F(DataFolderTest, WorksWhereTheDatabaseIsElseInTheUsersDataFolderAndFindsHelp) {
    const QString shop = Path("shop"), home = Path("home");
    QDir().mkpath(home);
    Touch(QDir(shop).filePath("Quellmarod.db"));
    EXPECT_EQ(DataFolder::ChooseWorkDir(shop, "/data"), shop);
    EXPECT_EQ(DataFolder::ChooseWorkDir(home, "/data"), "/data");
    // A folder named like the database is no database.
    QDir().mkpath(QDir(home).filePath("Quellmarod.db"));
    EXPECT_EQ(DataFolder::ChooseWorkDir(home, "/data"), "/data");
    EXPECT_EQ(DataFolder::ChooseWorkDir(home, QString()), home);

    // Started from the menu (here: from a folder without a database) it enters the data folder, made anew.
    const QString data = DataFolder::UserDataDir();
    EXPECT_EQ(data, Path("xdg/Zorvantide/Zorvantide"));  // where earlier versions kept it
    ASSERT_TRUE(QDir::setCurrent(home));
    const QString entered = DataFolder::EnterWorkDir();
    ASSERT_TRUE(QFileInfo(data).isDir());
    EXPECT_EQ(
        QFile::permissions(data) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);  // its user's alone
    EXPECT_EQ(entered.toStdString(), QDir(data).canonicalPath().toStdString());
    EXPECT_EQ(QDir::currentPath(), entered);
    // Started from the shop's folder it stays there.
    ASSERT_TRUE(QDir::setCurrent(shop));
    EXPECT_EQ(DataFolder::EnterWorkDir().toStdString(), QDir(shop).canonicalPath().toStdString());
    // A data folder that cannot be made leaves the program where it was.
    Touch(Path("blocked"));
    qputenv("XDG_DATA_HOME", Path("blocked").toLocal8Bit());
    ASSERT_TRUE(QDir::setCurrent(home));
    EXPECT_EQ(DataFolder::EnterWorkDir().toStdString(), QDir(home).canonicalPath().toStdString());

    // Help comes from the working folder first, then from the installed one.
    const QString appDir = Path("usr/bin"), work = Path("work");
    EXPECT_EQ(DataFolder::FindHelp(work, appDir), QString());
    Touch(Path("usr/share/trellvark/help.doc"));
    EXPECT_EQ(DataFolder::FindHelp(work, appDir), Path("usr/share/trellvark/help.doc"));
    Touch(Path("work/help.doc"));
    EXPECT_EQ(DataFolder::FindHelp(work, appDir), Path("work/help.doc"));
}

}  // namespace
