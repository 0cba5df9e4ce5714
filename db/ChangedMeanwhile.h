#pragma once

#include "Database.h"
#include "DbError.h"

#include <optional>

// A card's save found its record changed, or deleted, on another workstation since the card read it.
// Nothing was written: the save's transaction rolled back.
class ChangedMeanwhile : public DbError {
public:
    static inline const QString kChanged =
        QStringLiteral("Эту запись изменили на другом рабочем месте, пока карточка была открыта.");
    static inline const QString kReload =
        QStringLiteral("Загрузить сохранённые данные? Ваши правки в карточке будут потеряны.");
    static inline const QString kDeleted = QStringLiteral(
        "Эту запись удалили на другом рабочем месте, пока карточка была открыта.\n"
        "Ничего не сохранено.");

    explicit ChangedMeanwhile(bool deleted)
        : DbError(deleted ? kDeleted : kChanged + QStringLiteral("\nНичего не сохранено.")),
          m_deleted(deleted) {}
    bool deleted() const { return m_deleted; }
    // What the card asks when it can show the stored record instead.
    static QString ReloadQuestion() { return kChanged + u'\n' + kReload; }

    // Called in the save's transaction before the stored record is read again. On a server the row stays
    // locked until the commit, so of two saves of one card the second waits and then sees the first one's
    // change; on an SQLite file the transaction's Begin has taken the write lock already.
    static void LockRow(Database &db, const QString &table, const QString &keyColumn, const QString &key) {
        if (db.PostgresStyle())
            db.Exec(QStringLiteral("SELECT %2 FROM %1 WHERE %2 = ? FOR UPDATE").arg(table, keyColumn), {key});
    }

    // Throws unless the record as stored now is the one the card loaded. `gone` tells a stored record that
    // counts as deleted (marked so since the card read it).
    template <class Record, class Gone>
    static void Expect(const std::optional<Record> &stored, const Record &loaded, Gone gone) {
        if (!stored || gone(*stored)) throw ChangedMeanwhile(true);
        if (!(*stored == loaded)) throw ChangedMeanwhile(false);
    }
    template <class Record>
    static void Expect(const std::optional<Record> &stored, const Record &loaded) {
        Expect(stored, loaded, [](const Record &) { return false; });
    }

private:
    bool m_deleted;
};
