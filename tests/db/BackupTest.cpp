// Backups of the embedded database: consistent while another connection writes, restore refusing what
// is not a usable Trellvark database, and the daily copies.
#include "Backup.h"
#include "ErrorText.h"
#include "Schema.h"
#include "TestDb.h"
#include "TestRows.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

std::unique_ptr<Database> Open(const QString &file) {
    return Database::Open("SQLITE;DATABASE=" + file);
}

// Order n, keyed so that the keys sort as the numbers do.
void AddOrder(Database &db, int n) {
    TestRows::Put(db, TestRows::Order{.key = QStringLiteral("k%1").arg(n, 6, 10, QChar(u'0')),
                                      .number = QString::number(n)});
}

// The order numbers a database file holds, in order.
QStringList OrderNumbers(const QString &file) {
    return ColumnTexts(*Open(file), "SELECT ZakazNomer FROM TZakaz ORDER BY IddZakaz");
}

const QFileDevice::Permissions kNotOwner = QFileDevice::Permissions::fromInt(0x77);  // the group's, others'

QByteArray Bytes(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_file = Path("Quellmarod.db");
        Open(m_file);  // creates the schema and closes
    }
    QString Path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_file;
};

TEST_F(BackupTest, CopyWhileAnotherConnectionWritesHoldsEveryCommittedOrder) {
    QAtomicInt committed = 0, stop = 0;
    QString writerError;
    // The writer has a connection of its own on its own thread, as another workstation would.
    const std::unique_ptr<QThread> writer(QThread::create([&] {
        writerError = ErrorText([&] {
            auto db = Open(m_file);
            for (int n = 1; !stop.loadAcquire() && n <= 20000; ++n) {
                AddOrder(*db, n);
                committed.storeRelease(n);
            }
        });
    }));
    writer->start();
    while (committed.loadAcquire() < 20 && writer->isRunning()) QThread::msleep(1);

    const BackupStore store(m_file);
    QStringList copies;
    QList<int> before;
    for (int i = 0; i < 4; ++i) {
        before << committed.loadAcquire();
        copies << Path(QStringLiteral("copy%1.db").arg(i));
        store.CopyTo(copies.last());
    }
    stop.storeRelease(1);
    writer->wait();
    ASSERT_EQ(writerError, "no error");

    for (int i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(BackupStore::Check(copies[i]), Schema::kVersion);
        const QStringList numbers = OrderNumbers(copies[i]);
        // A snapshot: every order committed before the copy began, and no gap after them.
        ASSERT_GE(numbers.size(), before[i]) << "copy " << i;
        for (int k = 0; k < numbers.size(); ++k)
            ASSERT_EQ(numbers[k], QString::number(k + 1)) << "copy " << i;
    }
    EXPECT_THROW(store.CopyTo(copies[0]), DbError);  // the copy refuses to overwrite an existing file
}

// A restore refuses, in Russian, what is no usable database and changes nothing beside it; what it restores
// is first upgraded as a copy, then takes the database's place, and the replaced one is kept beside it.
TEST_F(BackupTest, RestoreRefusesWhatIsNoUsableDatabaseAndKeepsTheReplacedOne) {
    const BackupStore store(m_file);
    AddOrder(*Open(m_file), 1);
    const QByteArray original = Bytes(m_file);
    ASSERT_FALSE(original.isEmpty());
    {
        const auto other = Open(Path("tables.db"));  // only TZakaz and SMain left
        other->Exec("DROP VIEW TClientDolgD");
        other->Exec("DROP VIEW TClientDolg");
        for (const TableDef &t : Schema::Tables())
            if (QString(t.name) != "TZakaz" && QString(t.name) != "SMain")
                other->Exec(QString("DROP TABLE [%1]").arg(t.name));
    }
    Open(Path("newer.db"))->Exec("UPDATE ZvSchema SET Version = ?", {Schema::kVersion + 1});
    Open(Path("negative.db"))->Exec("UPDATE ZvSchema SET Version = -5");
    {
        // (The change log's triggers name every column, so they go first.)
        const auto columns = Open(Path("columns.db"));
        for (const char *event : {"INSERT", "UPDATE", "DELETE"})
            columns->Exec(QString("DROP TRIGGER ZvLog_SUser_%1").arg(event));
        columns->Exec("ALTER TABLE SUser DROP COLUMN Prova");
    }
    // Copies whose bytes are then overwritten: in the middle, at the start, or cut off half-way.
    for (const auto &[name, at, bytes] :
         {std::tuple{"text.db", -1, QByteArray("just some text, not a database\n").repeated(200)},
          std::tuple{"empty.db", -1, QByteArray()}, std::tuple{"broken.db", 2, QByteArray(4096, '\x5a')},
          std::tuple{"header.db", 0, QByteArray(100, '\x5a')}, std::tuple{"cut.db", 2, QByteArray()}}) {
        QFile f(Path(name));
        if (at >= 0) store.CopyTo(f.fileName());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at > 0 ? f.size() / at : 0);
        f.write(bytes);
        if (QString(name) == "cut.db") f.resize(f.size() / 2);
    }
    const struct {
        const char *name;
        QString message;        // with %1 for the file; from the first further %n on not compared
        const char *also = "";  // what else the message names
    } refused[] = {{"text.db", BackupTexts::kNotDatabase},
                   {"empty.db", BackupTexts::kNotDatabase},
                   {"missing.db", BackupTexts::kNotDatabase},
                   {"header.db", BackupTexts::kNotDatabase},
                   {"broken.db", BackupTexts::kDamaged},
                   {"cut.db", BackupTexts::kDamaged},
                   {"newer.db", BackupTexts::kNewer},
                   {"negative.db", BackupTexts::kBadVersion, "(-5)"},
                   {"tables.db", BackupTexts::kMissing, "AvtoVlad, SUser"},
                   {"columns.db", BackupTexts::kMissing, "SUser.Prova"}};
    const QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
    for (const auto &c : refused) {
        const QString path = Path(c.name);
        const QString error = ErrorText([&] { store.Restore(path, QDateTime::currentDateTime()); });
        // Russian first; SQLite's own words only as details on a later line.
        EXPECT_TRUE(error.startsWith(QString(c.message).replace("%1", path).section(u'%', 0, 0)) &&
                    error.contains(c.also) && !error.section(u'\n', 0, 0).contains("database"))
            << c.name << ": " << error.toStdString();
        EXPECT_TRUE(Bytes(m_file) == original) << c.name;
        // Nothing was left beside the database.
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), files) << c.name;
    }

    // A copy of the first version is upgraded before it takes the database's place.
    {
        const auto old = Open(Path("old.db"));
        MakeVersion1(*old);
        old->Exec("INSERT INTO TZakaz (IddZakaz, ZakazNomer, [Delete]) VALUES ('z7', '7', FALSE)");
    }
    AddOrder(*Open(m_file), 2);
    // The database is still open here: restoring now would lose what only its journal holds.
    {
        auto open = Open(m_file);
        EXPECT_THROW(store.Restore(Path("old.db"), QDateTime::currentDateTime()), DbError);
    }
    const QString kept = store.Restore(Path("old.db"), QDateTime({2026, 12, 7}, {10, 0}));
    EXPECT_EQ(QFileInfo(kept).fileName(), "Quellmarod_replaced_2026-12-07_10-00-00.db");
    EXPECT_EQ(QFileInfo(kept).absolutePath(), QFileInfo(m_file).absolutePath());
    EXPECT_EQ(BackupStore::Check(m_file), Schema::kVersion);  // upgraded in the file itself
    EXPECT_EQ(OrderNumbers(kept), (QStringList{"1", "2"}));
    // The kept database (a live one, in WAL mode) can itself be restored later.
    EXPECT_EQ(BackupStore::Check(kept), Schema::kVersion);
    // The restored database works as before: written to, backed up again.
    AddOrder(*Open(m_file), 3);
    const QString copy = store.BackupInto(Path("saved"), QDateTime({2026, 12, 7}, {9, 30, 5}));
    EXPECT_EQ(QFileInfo(copy).fileName(), "Quellmarod_2026-12-07_09-30-05.db");
    EXPECT_EQ(OrderNumbers(copy), (QStringList{"3", "7"}));
    EXPECT_EQ(QFile::permissions(m_file) & kNotOwner, QFileDevice::Permissions());
}

TEST_F(BackupTest, DailyCopyOncePerDayKeepingTheLastFourteen) {
    const BackupStore store(m_file);
    const QString folder = Path("backup");  // made by the first copy
    // Backups the user made by hand into the same folder are not the daily ones and are never removed.
    const QString manual = store.BackupInto(folder, QDateTime({2026, 1, 1}, {8, 0}));
    const QDateTime first({2026, 11, 1}, {9, 0});
    for (int day = 0; day < 20; ++day) {
        EXPECT_FALSE(store.DailyCopy(folder, first.addDays(day)).isEmpty()) << day;
        // Later starts the same day make no further copy.
        EXPECT_TRUE(store.DailyCopy(folder, first.addDays(day).addSecs(3 * 3600)).isEmpty()) << day;
    }
    const QStringList copies = BackupStore::DailyCopies(folder);
    ASSERT_EQ(copies.size(), 14);
    EXPECT_EQ(QFileInfo(copies.first()).fileName(), "Quellmarod_daily_2026-11-07_09-00-00.db");
    EXPECT_EQ(QFileInfo(copies.last()).fileName(), "Quellmarod_daily_2026-11-20_09-00-00.db");
    EXPECT_TRUE(QFileInfo::exists(manual));
    EXPECT_EQ(BackupStore::Check(copies.last()), Schema::kVersion);
    // The database, its copies and their folder are their user's alone.
    for (const QString &f : {m_file, manual, copies.last(), folder})
        EXPECT_EQ(QFile::permissions(f) & kNotOwner, QFileDevice::Permissions()) << f.toStdString();
}

}  // namespace
