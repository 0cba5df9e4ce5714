#include "Backup.h"

#include "Database.h"
#include "DbError.h"
#include "DriverTexts.h"
#include "PrivateFiles.h"
#include "Schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>

namespace {

QAtomicInt g_counter;

// A failure of the driver, with SQLite's result code ("26": not a database, "11": damaged).
class DriverError : public DbError {
public:
    explicit DriverError(const QSqlError &e) : DbError(e.text()), m_code(e.nativeErrorCode()) {}
    const QString &code() const { return m_code; }

private:
    QString m_code;
};

// A connection of its own to one file, closed and removed on every path out.
class FileConnection {
public:
    FileConnection(const QString &file, bool readOnly)
        : m_name(QStringLiteral("zv-backup-%1").arg(g_counter.fetchAndAddOrdered(1))) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) throw DriverError(db.lastError());
    }
    ~FileConnection() {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;

    QSqlQuery Run(const QString &sql, const QVariantList &binds = {}) const {
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        if (!q.prepare(sql)) throw DriverError(q.lastError());
        for (const QVariant &v : binds) q.addBindValue(v);
        if (!q.exec()) throw DriverError(q.lastError());
        return q;
    }
    QSqlDatabase Handle() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

const QString kPrefix = QStringLiteral("Quellmarod_");
const QString kDailyPrefix = QStringLiteral("Quellmarod_daily_");
// The files SQLite keeps beside a database while it is open.
const char *const kJournals[] = {"-wal", "-shm", "-journal"};

QString Shown(const QString &file) {
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

DbError WithDetails(const QString &text, const QString &details) {
    return DbError(details.trimmed().isEmpty() ? text : text + DriverTexts::kDetails.arg(details.trimmed()));
}

// The program's tables (and, once upgraded, their columns) that the database lacks, by name.
QStringList MissingTables(const QSqlDatabase &db, bool columns) {
    QStringList present = db.tables(QSql::Tables);
    for (QString &name : present) name = name.toLower();
    QStringList missing;
    for (const TableDef &t : Schema::Tables()) {
        const QString table = QString::fromLatin1(t.name);
        if (!columns && t.since > 1) continue;  // a file not yet upgraded lacks what an upgrade makes
        if (!present.contains(table.toLower())) {
            missing << table;
            continue;
        }
        if (!columns) continue;
        const QSqlRecord record = db.record(table);
        for (const ColumnDef &c : t.columns)
            if (!record.contains(QString::fromLatin1(c.name)))
                missing << table + u'.' + QLatin1StringView(c.name);
    }
    return missing;
}

// What a file must be before the program opens it as its database: a sound SQLite file holding every
// table of ours, at a version this program can bring up to its own. Returns that version. `shown` is the
// file as the user chose it (the one looked at may be a copy of it).
int Inspect(const QString &file, const QString &shown) {
    if (!QFileInfo(file).isFile() || QFileInfo(file).size() == 0)
        throw DbError(BackupTexts::kNotDatabase.arg(shown));
    try {
        FileConnection db(file, true);
        QSqlQuery check = db.Run(QStringLiteral("PRAGMA integrity_check"));
        QStringList problems;
        while (check.next()) problems << check.value(0).toString();
        if (problems != QStringList{QStringLiteral("ok")})
            throw WithDetails(BackupTexts::kDamaged.arg(shown), problems.mid(0, 5).join(u'\n'));
        const QStringList missing = MissingTables(db.Handle(), false);
        if (missing.size() == std::count_if(Schema::Tables().begin(), Schema::Tables().end(),
                                            [](const TableDef &t) { return t.since == 1; }))
            throw DbError(BackupTexts::kNotDatabase.arg(shown));
        if (!missing.isEmpty()) throw DbError(BackupTexts::kMissing.arg(shown, missing.join(u", ")));
        // A database made before versions were kept is version 1.
        if (!db.Handle().tables(QSql::Tables).contains(QStringLiteral("ZvSchema"), Qt::CaseInsensitive))
            return 1;
        QSqlQuery q = db.Run(QStringLiteral("SELECT Version FROM ZvSchema"));
        if (!q.next()) return 1;
        bool number = false;
        const int version = q.value(0).toInt(&number);
        if (!number || version < 1) throw DbError(BackupTexts::kBadVersion.arg(shown, q.value(0).toString()));
        if (version > Schema::kVersion)
            throw DbError(BackupTexts::kNewer.arg(shown).arg(version).arg(Schema::kVersion));
        return version;
    } catch (const DriverError &e) {
        // SQLite's words come only after the user's.
        const QString &text = e.code() == u"11"   ? BackupTexts::kDamaged
                              : e.code() == u"26" ? BackupTexts::kNotDatabase
                                                  : BackupTexts::kCannotRead;
        throw WithDetails(text.arg(shown), e.text());
    }
}

// A private file beside the database for the restore to work on; removed, with what SQLite made beside
// it, unless it was moved into place.
class RestoringCopy {
public:
    explicit RestoringCopy(const QString &database) {
        QTemporaryFile file(database + QStringLiteral(".restoring-XXXXXX"));  // made for its owner only
        file.setAutoRemove(false);
        if (!file.open()) throw DbError(BackupTexts::kCannotWrite.arg(Shown(database), file.errorString()));
        m_path = file.fileName();
    }
    ~RestoringCopy() {
        if (m_path.isEmpty()) return;
        QFile::remove(m_path);
        for (const char *suffix : kJournals) QFile::remove(m_path + QLatin1String(suffix));
    }
    RestoringCopy(const RestoringCopy &) = delete;
    RestoringCopy &operator=(const RestoringCopy &) = delete;

    const QString &path() const { return m_path; }
    void Fill(const QString &from) const {
        QFile in(from), out(m_path);
        if (!in.open(QIODevice::ReadOnly))
            throw WithDetails(BackupTexts::kCannotRead.arg(Shown(from)), in.errorString());
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw DbError(BackupTexts::kCannotWrite.arg(Shown(m_path), out.errorString()));
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
                throw WithDetails(BackupTexts::kCannotRead.arg(Shown(from)), in.errorString());
            if (out.write(chunk) != chunk.size())
                throw DbError(BackupTexts::kCannotWrite.arg(Shown(m_path), out.errorString()));
        }
        if (!out.flush()) throw DbError(BackupTexts::kCannotWrite.arg(Shown(m_path), out.errorString()));
    }
    // Moves the copy over `target` in one step: the target is never missing, not even for a moment.
    void MoveOnto(const QString &target) {
        MoveOver(m_path, target);
        m_path.clear();
    }
    static void MoveOver(const QString &from, const QString &target) {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                                std::filesystem::path(target.toStdU16String()), error);
        if (error)
            throw DbError(
                BackupTexts::kCannotWrite.arg(Shown(target), QString::fromLocal8Bit(error.message())));
    }

private:
    QString m_path;
};

}  // namespace

BackupStore::BackupStore(QString databaseFile) : m_file(std::move(databaseFile)) {}

QString BackupStore::Stamp(const QDateTime &when) {
    return when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

void BackupStore::CopyTo(const QString &target) const {
    const QString path = QFileInfo(target).absoluteFilePath();
    if (QFileInfo::exists(path)) throw DbError(BackupTexts::kExists.arg(QDir::toNativeSeparators(path)));
    if (!QFileInfo(m_file).isFile())
        throw DbError(BackupTexts::kNotDatabase.arg(QDir::toNativeSeparators(m_file)));
    try {
        FileConnection source(m_file, false);
        source.Run(QStringLiteral("VACUUM INTO ?"), {path});
        PrivateFiles::OwnerOnly(path);
    } catch (const DbError &e) {
        QFile::remove(path);  // a half-written copy is worse than none
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(path), e.text()));
    }
}

QString BackupStore::BackupInto(const QString &folder, const QDateTime &when) const {
    if (!PrivateFiles::MakeFolder(folder))
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(folder), QString()));
    QString path = QDir(folder).filePath(kPrefix + Stamp(when) + QStringLiteral(".db"));
    // Two copies within one second get a suffix rather than fail.
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = QDir(folder).filePath(kPrefix + Stamp(when) + QStringLiteral("_%1.db").arg(i));
    CopyTo(path);
    return path;
}

QStringList BackupStore::DailyCopies(const QString &folder) {
    static const QRegularExpression daily(
        QStringLiteral("^Quellmarod_daily_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.db$"));
    QStringList found;
    for (const QString &name : QDir(folder).entryList({kDailyPrefix + QStringLiteral("*.db")}, QDir::Files))
        if (daily.match(name).hasMatch()) found << QDir(folder).filePath(name);
    // The stamp sorts as the time it names.
    std::sort(found.begin(), found.end());
    return found;
}

QString BackupStore::DailyCopy(const QString &folder, const QDateTime &now, int keep) const {
    const QString today = kDailyPrefix + now.toString(QStringLiteral("yyyy-MM-dd_"));
    QStringList copies = DailyCopies(folder);
    for (const QString &path : copies)
        if (QFileInfo(path).fileName().startsWith(today)) return {};
    if (!PrivateFiles::MakeFolder(folder))
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(folder), QString()));
    const QString made = QDir(folder).filePath(kDailyPrefix + Stamp(now) + QStringLiteral(".db"));
    CopyTo(made);
    copies = DailyCopies(folder);
    // Only after today's copy exists is an old one let go.
    while (copies.size() > keep) QFile::remove(copies.takeFirst());
    return made;
}

int BackupStore::Check(const QString &file) {
    return Inspect(file, Shown(file));
}

QString BackupStore::Restore(const QString &backup, const QDateTime &when) const {
    const QFileInfo live(m_file);
    const QString shown = Shown(backup);
    // The last connection to close removes these; while they exist someone still has the database open
    // (or crashed with changes only in the journal), and moving the file away would lose them.
    for (const char *suffix : kJournals)
        if (QFileInfo::exists(m_file + QLatin1String(suffix)))
            throw DbError(BackupTexts::kInUse.arg(Shown(m_file)));
    if (!QFileInfo(backup).isFile() || QFileInfo(backup).size() == 0)
        throw DbError(BackupTexts::kNotDatabase.arg(shown));

    // What is checked and upgraded is the very copy that is put in place.
    RestoringCopy incoming(live.absoluteFilePath());
    incoming.Fill(backup);
    Inspect(incoming.path(), shown);
    {
        ConnectTarget target;
        target.file = incoming.path();
        std::unique_ptr<Database> db;
        try {
            db = Database::Open(target);
        } catch (const DbError &e) {
            throw WithDetails(BackupTexts::kNotUpgraded.arg(shown), e.text());
        }
        const QStringList missing = MissingTables(db->handle(), true);
        if (!missing.isEmpty()) throw DbError(BackupTexts::kMissing.arg(shown, missing.join(u", ")));
    }  // closed: the copy is one file again

    QString kept;
    if (live.exists()) {
        const QDir folder = live.absoluteDir();
        kept = folder.filePath(QStringLiteral("Quellmarod_replaced_") + Stamp(when) + QStringLiteral(".db"));
        for (int i = 2; QFileInfo::exists(kept); ++i)
            kept = folder.filePath(QStringLiteral("Quellmarod_replaced_") + Stamp(when) +
                                   QStringLiteral("_%1.db").arg(i));
        // A copy rather than a rename, so that there is a database in place at every moment.
        if (!QFile::copy(m_file, kept)) {
            QFile::remove(kept);
            throw DbError(BackupTexts::kCannotWrite.arg(Shown(kept), QString()));
        }
        PrivateFiles::OwnerOnly(kept);
    }
    try {
        incoming.MoveOnto(live.absoluteFilePath());
    } catch (const DbError &) {
        if (!kept.isEmpty()) QFile::remove(kept);
        throw;
    }
    return kept;
}

void BackupStore::PutBack(const QString &kept) const {
    // What the database that failed left beside it is no part of the one put back.
    for (const char *suffix : kJournals) QFile::remove(m_file + QLatin1String(suffix));
    RestoringCopy::MoveOver(kept, m_file);
}
