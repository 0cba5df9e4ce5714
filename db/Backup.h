#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Copies and restores the embedded SQLite database by its file. Every copy is taken through a connection
// of its own with VACUUM INTO, so it is consistent while the program (or another one) keeps writing, and
// the copy can be made on any thread. Widget-free; failures throw DbError with a Russian text.
class BackupStore {
public:
    explicit BackupStore(QString databaseFile);

    const QString &databaseFile() const { return m_file; }

    // A consistent copy of the database in a new file; an existing target is never overwritten.
    void CopyTo(const QString &target) const;
    // A copy named with the date and time ("Quellmarod_2026-12-07_09-30-00.db") in the folder, created
    // when missing; returns its path.
    QString BackupInto(const QString &folder, const QDateTime &when) const;

    // The first copy of the day in the folder ("Quellmarod_daily_<date>_<time>.db"), then only the newest
    // `keep` daily copies are kept. Returns the new copy's path, empty when today's copy already exists.
    QString DailyCopy(const QString &folder, const QDateTime &now, int keep = kDailyKept) const;
    static constexpr int kDailyKept = 14;
    // The daily copies in the folder, oldest first.
    static QStringList DailyCopies(const QString &folder);

    // The schema version of a Trellvark database file after a full integrity check; throws DbError, in
    // Russian, when the file is no database, is damaged, lacks tables the program needs, or holds a version
    // this program cannot bring up to its own (a wrong one, or a newer one).
    static int Check(const QString &file);

    // Puts the backup in place of the database, whose connections must all be closed. A private copy of
    // the backup is made beside the database, checked, opened and upgraded as the program opens its
    // database, and only a copy that then has everything the program needs replaces the database, in one
    // rename. The replaced database is kept beside it as "Quellmarod_replaced_<date>_<time>.db", whose
    // path is returned. On any failure the database file stays exactly as it was and no copy is left.
    QString Restore(const QString &backup, const QDateTime &when) const;
    // Puts the database kept by Restore back in place of the restored one, when that cannot be opened
    // after all. Throws DbError when the file cannot be moved.
    void PutBack(const QString &kept) const;

    static QString Stamp(const QDateTime &when);

private:
    QString m_file;
};

namespace BackupTexts {
inline const QString kNotDatabase = QStringLiteral("Файл %1 не является базой данных Trellvark!");
inline const QString kDamaged = QStringLiteral("Файл %1 поврежден: проверка целостности не пройдена!");
inline const QString kCannotRead = QStringLiteral("Не удается прочитать файл %1!");
inline const QString kMissing =
    QStringLiteral("В резервной копии %1 нет таблиц или полей, без которых программа не работает:\n%2");
inline const QString kBadVersion =
    QStringLiteral("Резервная копия %1 хранит неверный номер версии базы данных (%2).");
inline const QString kNotUpgraded =
    QStringLiteral("Резервную копию %1 не удается перевести на версию базы данных этой программы!");
inline const QString kNewer = QStringLiteral(
    "Резервная копия %1 сделана более новой версией программы (версия базы %2, программа знает версию %3).\n"
    "Обновите программу, чтобы восстановить эту копию.");
inline const QString kInUse = QStringLiteral(
    "База данных %1 открыта другой программой.\nЗакройте Trellvark на других рабочих местах и повторите.");
inline const QString kExists = QStringLiteral("Файл %1 уже существует!");
inline const QString kCannotWrite = QStringLiteral("Не удается записать файл %1!\n%2");
}  // namespace BackupTexts
