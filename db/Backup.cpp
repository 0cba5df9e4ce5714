#include "Backup.h"

#include "DbError.h"
#include "Schema.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace {

QAtomicInt g_counter;

// A connection of its own to one file, closed and removed on every path out.
class FileConnection {
public:
    FileConnection(const QString &file, bool readOnly)
        : m_name(QStringLiteral("zv-backup-%1").arg(g_counter.fetchAndAddOrdered(1))) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000")
                                      : QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) throw DbError(db.lastError().text());
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
        if (!q.prepare(sql)) throw DbError(q.lastError().text());
        for (const QVariant &v : binds) q.addBindValue(v);
        if (!q.exec()) throw DbError(q.lastError().text());
        return q;
    }

private:
    QString m_name;
};

const QString kPrefix = QStringLiteral("Quellmarod_");
const QString kDailyPrefix = QStringLiteral("Quellmarod_daily_");

}  // namespace

BackupStore::BackupStore(QString databaseFile) : m_file(std::move(databaseFile)) {}

void BackupStore::OwnerOnly(const QString &file) {
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool BackupStore::MakeOwnerFolder(const QString &folder) {
    const bool made = !QFileInfo(folder).isDir();
    if (!QDir().mkpath(folder)) return false;
    if (made)
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

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
        OwnerOnly(path);
    } catch (const DbError &e) {
        QFile::remove(path);  // a half-written copy is worse than none
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(path), e.text()));
    }
}

QString BackupStore::BackupInto(const QString &folder, const QDateTime &when) const {
    if (!MakeOwnerFolder(folder))
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
    if (!MakeOwnerFolder(folder))
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(folder), QString()));
    const QString made = QDir(folder).filePath(kDailyPrefix + Stamp(now) + QStringLiteral(".db"));
    CopyTo(made);
    copies = DailyCopies(folder);
    // Only after today's copy exists is an old one let go.
    while (copies.size() > keep) QFile::remove(copies.takeFirst());
    return made;
}

int BackupStore::Check(const QString &file) {
    const QString shown = QDir::toNativeSeparators(file);
    if (!QFileInfo(file).isFile() || QFileInfo(file).size() == 0)
        throw DbError(BackupTexts::kNotDatabase.arg(shown));
    int version = 0;
    try {
        FileConnection db(file, true);
        QSqlQuery check = db.Run(QStringLiteral("PRAGMA integrity_check"));
        QStringList problems;
        while (check.next()) problems << check.value(0).toString();
        if (problems != QStringList{QStringLiteral("ok")})
            throw DbError(BackupTexts::kDamaged.arg(shown, problems.mid(0, 5).join(u'\n')));
        auto hasTable = [&db](const QString &name) {
            QSqlQuery q = db.Run(
                QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND lower(name) = lower(?)"),
                {name});
            return q.next();
        };
        if (!hasTable(QStringLiteral("TZakaz")) || !hasTable(QStringLiteral("SMain")))
            throw DbError(BackupTexts::kNotDatabase.arg(shown));
        // A database made before versions were kept is version 1.
        version = 1;
        if (hasTable(QStringLiteral("ZvSchema"))) {
            QSqlQuery q = db.Run(QStringLiteral("SELECT Version FROM ZvSchema"));
            if (q.next()) version = q.value(0).toInt();
        }
    } catch (const DbError &e) {
        // Our own refusals name the file; the driver's ("file is not a database") are said in the user's
        // words.
        if (e.text().contains(shown)) throw;
        throw DbError(BackupTexts::kNotDatabase.arg(shown));
    }
    if (version > Schema::kVersion)
        throw DbError(BackupTexts::kNewer.arg(shown).arg(version).arg(Schema::kVersion));
    return version;
}

QString BackupStore::Restore(const QString &backup, const QDateTime &when) const {
    Check(backup);
    const QFileInfo live(m_file);
    const QString shown = QDir::toNativeSeparators(live.absoluteFilePath());
    // The last connection to close removes these; while they exist someone still has the database open
    // (or crashed with changes only in the journal), and moving the file away would lose them.
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        if (QFileInfo::exists(m_file + QLatin1String(suffix))) throw DbError(BackupTexts::kInUse.arg(shown));

    const QDir folder = live.absoluteDir();
    const QString incoming = folder.filePath(live.fileName() + QStringLiteral(".restoring"));
    QFile::remove(incoming);
    if (!QFile::copy(backup, incoming)) {
        QFile::remove(incoming);
        throw DbError(BackupTexts::kCannotWrite.arg(QDir::toNativeSeparators(incoming), QString()));
    }
    QFile::setPermissions(incoming, QFile::permissions(incoming) | QFileDevice::WriteOwner);

    QString kept;
    if (live.exists()) {
        kept = folder.filePath(QStringLiteral("Quellmarod_replaced_") + Stamp(when) + QStringLiteral(".db"));
        for (int i = 2; QFileInfo::exists(kept); ++i)
            kept = folder.filePath(QStringLiteral("Quellmarod_replaced_") + Stamp(when) +
                                   QStringLiteral("_%1.db").arg(i));
        if (!QFile::rename(m_file, kept)) {
            QFile::remove(incoming);
            throw DbError(BackupTexts::kCannotWrite.arg(shown, QString()));
        }
    }
    if (!QFile::rename(incoming, m_file)) {
        if (!kept.isEmpty()) QFile::rename(kept, m_file);
        QFile::remove(incoming);
        throw DbError(BackupTexts::kCannotWrite.arg(shown, QString()));
    }
    return kept;
}
