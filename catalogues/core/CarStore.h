#pragma once

#include "CarRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// Cars and their owner links. Widget-free; every SQL text about cars lives here.
// Each call throws DbError with the driver's text.
class CarStore {
public:
    explicit CarStore(Database &db) : m_db(db) {}

    // The filters as the search uses them: plate and make trimmed and upper-cased, the owner trimmed.
    static CarFilter Normalized(CarFilter filter);
    // The car as it is stored: every field trimmed, all but the note upper-cased.
    static CarRecord Normalized(CarRecord car);

    // The cars directory: cars matching every filter given (whole values), each with its current owners.
    // Two queries whatever the number of rows. With `firstRows` only the beginning of the list, read from
    // at most that many car-and-owner rows, whole cars only: `more` is set when the list may go on.
    QList<CarListRow> Search(const CarFilter &filter, int firstRows = 0, bool *more = nullptr);
    // Distinct makes and distinct client names, for the filter lists.
    QStringList Makes();
    QStringList OwnerNames();
    // At most `limit` distinct plates beginning with the prefix (upper-cased, as plates are stored), in
    // order: what the order form offers while a plate is typed.
    QStringList PlatesStartingWith(const QString &prefix, int limit);
    // Distinct colours, offered by the car card.
    QStringList Colors();

    std::optional<CarRecord> Load(const QString &iddAvto);
    // The car's current owner links, with each owner's name and telephone.
    QList<CarOwner> LoadOwners(const QString &iddAvto);

    // Stores the car (inserted the first time, updated afterwards) and every owner entry, deleted ones
    // included, in one transaction. New links get keys (one generated key plus the entry's position),
    // written back into `owners` only when everything was stored. A card open on a stored car hands the car
    // and owners as it loaded them: when the car or its owner links are stored otherwise now,
    // ChangedMeanwhile is thrown and nothing written (the owners' names and telephones are the clients').
    void Save(const CarRecord &car, QList<CarOwner> &owners, const QString &login,
              const std::optional<StoredCar> &loaded = std::nullopt);
    // The car as an order carries it, without its owners: added under a new key (written back into `car`)
    // when it has none, updated otherwise. Only the plate is upper-cased, the rest is kept as typed.
    void SaveFields(CarRecord &car, const QString &login);
    // Removes the car and marks its links deleted for every owner, in one transaction.
    void Delete(const QString &iddAvto);

private:
    Database &m_db;
};
