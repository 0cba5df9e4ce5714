#pragma once

#include "CarRecord.h"
#include "ClientRecord.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

// Clients, their debts and their car links. Widget-free; every SQL text about clients lives here.
// Each call throws DbError with the driver's text.
class ClientStore {
public:
    explicit ClientStore(Database &db) : m_db(db) {}

    // The filters as the search uses them: texts trimmed, the plate upper-cased.
    static ClientFilter Normalized(ClientFilter filter);

    // The clients directory: clients by name with their debts and, below each, its current cars.
    // Filters match whole values. Which filters count: a plate is used only together with an INN or
    // on its own (a name with a plate but no INN searches by the name alone); any filter drops the
    // link limit. At most three queries whatever the number of rows. With `firstRows` only the beginning
    // of the list, read from at most that many client-and-car rows, whole clients only: `more` is set when
    // the list may go on.
    QList<ClientListRow> Search(const ClientFilter &filter, int firstRows = 0, bool *more = nullptr);

    // At most `limit` clients whose names begin with the prefix (as typed), by name: what the order form
    // offers while a name is typed. Only the key, name, address and telephone are read.
    QList<ClientRecord> NamesStartingWith(const QString &prefix, int limit);

    std::optional<ClientRecord> Load(const QString &iddClient);
    // Inserts the client the first time, updates it afterwards. Returns true when it was inserted. A card
    // open on a stored client hands the client as it loaded it: when the stored one is not that any more,
    // ChangedMeanwhile is thrown and nothing written.
    bool Save(const ClientRecord &client, const std::optional<ClientRecord> &loaded = std::nullopt);
    // The name, address and telephone an order carries: a client without a key is added under a new one
    // (written back into `client`), a known one has only these three fields updated.
    void SaveContact(ClientRecord &client, const QString &login);
    // Removes the client and marks all of its car links deleted, in one transaction. Its cars stay.
    void Delete(const QString &iddClient);

    // The client's current cars (one row per car however many links), by plate.
    QList<CarRecord> CarsOf(const QString &iddClient);
    // Links the car to the client unless a current link exists; returns the link's key either way.
    QString LinkCar(const QString &iddClient, const QString &iddAvto, const QString &login);

private:
    // Every client, unfiltered: the clients, all debts and all current cars each read in one pass and put
    // together here. As one statement SQLite looks up each client's debt and cars one at a time, which
    // took twice as long over a busy shop's clients.
    QList<ClientListRow> WholeList();

    Database &m_db;
};
