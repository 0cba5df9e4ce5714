#pragma once

#include "Money.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class Database;

// One SWork row.
struct WorkerRecord {
    QString iddWork;
    QString workFio;
    QString workAdres;
    QString workTel;
    QDateTime workDataIn;
    bool workOut = false;   // dismissed
    QDateTime workDataOut;  // meaningful only while workOut is set
    Money workSalary{};     // read for the list; the card never writes it
    bool deleted = false;

    bool operator==(const WorkerRecord &) const = default;
};

// Every SQL text about workers: the directory's lists, the card's read and save, and the deletion that
// carries the mark on to the worker's performer links, order assignments and payout lines.
class WorkerStore {
public:
    explicit WorkerStore(Database &db) : m_db(db) {}

    // The directory's list: every worker not deleted, dismissed ones included.
    QList<WorkerRecord> List();
    std::optional<WorkerRecord> Load(const QString &iddWork);

    // Adds a new worker under a fresh key made from `login`; returns the key.
    QString Insert(const WorkerRecord &worker, const QString &login);
    // Writes the card's fields of an existing worker (not WorkSalary, not the deletion mark). When the
    // dismissal mark changes, every ServiceWork link of the worker takes it as its Delete mark in the same
    // transaction: dismissing hides the worker from every service's performers, taking it back restores them
    // all. Throws DbError when the worker is not there. A card hands the worker as it loaded him: when the
    // stored one is not that any more, ChangedMeanwhile is thrown and nothing written.
    void Update(const WorkerRecord &worker, const std::optional<WorkerRecord> &loaded = std::nullopt);
    // Marks the worker deleted together with its ServiceWork, TWork and TWorkPay rows, in one
    // transaction. Returns false (and changes nothing) when there is no such worker.
    bool Delete(const QString &iddWork);

private:
    Database &m_db;
};
