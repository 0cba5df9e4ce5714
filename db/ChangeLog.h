#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

class Database;

// The change log: every insert, change and delete of the shop's records, written by the database itself
// (triggers on both databases, in the transaction of the write), so that no program and no path skips
// it. Each entry (ZvLog) says when, which user (the server's role on PostgreSQL; the program's login on
// SQLite), which workstation, the table and key, the action, and the fields changed with their old and new
// values as a JSON object {"Column": [old, new]}.
//
// On PostgreSQL the triggers run as the owner of the tables: clerks' roles cannot write the log themselves,
// change or delete its entries, or switch the triggers off; the administrators of the users may read it
// and archive its old entries (zv_log_archive), which is itself logged. On SQLite, where whoever holds the
// file holds everything, the log's own triggers refuse changes and deletions except by the archive
// command.
namespace ChangeLog {

// The logged tables, the key each entry names (an order's lines and workers by their order, a payout's
// lines by the payout, a car's owner links by the car), and what describes the row for the reader.
struct Logged {
    const char *table;
    const char *key;
    const char *order;           // the order the row belongs to (SQL over the row "%R"), or nullptr
    const char *label;           // what describes the row (SQL over the row "%R")
    const char *deleted;         // the column that marks the row deleted, or nullptr
    const char *secret;          // a column whose values are never written to the log, or nullptr
    const char *left = nullptr;  // a column the database keeps itself, left out of the log
};
const QList<Logged> &Tables();

// Actions as the log stores them.
inline constexpr char kInsert = 'I', kUpdate = 'U', kDelete = 'D', kMarkDeleted = 'X', kRestore = 'R',
                      kArchive = 'A';

// The schema's part: the log, its indexes and the triggers that write it. Repeating it is harmless.
void Create(Database &db);
// A bulk load (the reference database's generator) writes without logging, and logs again after.
void Stop(Database &db);
// On SQLite: who writes (the program's login, empty when nobody has logged in; the workstation's name),
// kept for the transaction in ZvWho, which the triggers read. On PostgreSQL the user is the role the
// connection logged in with, and the workstation is set once per connection.
QString Workstation();

// Moves every entry made before `before` into `archive` (an SQLite file, made when missing; entries
// already in it are not doubled) and deletes them from the log, leaving an entry that says who archived
// how many. Returns how many were moved. On PostgreSQL only the administrators of the users may. Throws
// DbError; the log is untouched unless the archive holds its entries.
qint64 Archive(Database &db, const QDateTime &before, const QString &archive);
// Opens an archive made by Archive to read its entries. Throws DbError, without touching the file, when it
// is missing or is no archive of the log.
std::unique_ptr<Database> OpenArchive(const QString &archive);

}  // namespace ChangeLog
