#pragma once

#include "PickedWorker.h"
#include "SelectedService.h"
#include "ServiceRecord.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QTime>
#include <optional>

class Database;

// What the service card saves: its fields, the chosen package and the performers.
struct ServiceCard {
    bool existing = false;  // the card was opened on a stored row
    QString iddService{};   // the row edited; receives the new key of a new service (or package)
    QString iddTop{};       // key of the package picked from the list ("0" for a package being edited);
                            // empty when none was picked; receives the key of a package created here
    QString packageText{};
    QString name{};
    Money price{};     // without VAT
    double prNds = 0;  // VAT percent
    double job = 0;
    bool prJob = false;
    QTime time{0, 0};
    PickedWorkers performers{};  // receive their IddServiceWork when stored
    // A card open on a stored row: the row and its performers as the card read them (Load, Performers).
    // When either is stored otherwise now, the save throws ChangedMeanwhile and writes nothing.
    std::optional<ServiceRecord> loaded{};
    PickedWorkers loadedPerformers{};
};

// Every SQL text of the service catalogue (SService, ServiceWork, and SWork names for performers).
// Throws DbError with the driver's text.
class ServiceStore {
public:
    explicit ServiceStore(Database &db) : m_db(db) {}

    // The directory's tree in three queries whatever its size: packages, services, performer links.
    ServiceTree LoadTree();
    // Packages offered by the card's package field, by name.
    QList<ServiceRecord> Packages();
    // A stored row, deleted or not.
    std::optional<ServiceRecord> Load(const QString &iddService);
    // The live performer links of a service, with the workers' names.
    PickedWorkers Performers(const QString &iddService);

    // Marks the row deleted together with every row filed under it (a package's services), in one
    // transaction. Performer links are kept. False when there is no such row.
    bool Delete(const QString &iddService);

    // Writes the package row (when a package text is given), the service row (when a name is given) and
    // the performer links, in one transaction. `card` receives the keys only when everything was stored.
    void SaveCard(ServiceCard &card, const QString &login);

    // The selected-services list from the checked rows of a loaded tree: checked top-level rows (by
    // IddService) in tree order; a package with all its services; every service with the performers whose
    // links (IddServiceWork) are checked.
    static SelectedServices Select(const ServiceTree &tree, const QSet<QString> &checkedRows,
                                   const QSet<QString> &checkedLinks);

private:
    std::optional<ServiceRecord> FindLive(const QString &iddService, bool packageOnly);
    Database &m_db;
};

// Appends workers picked in the workers directory to a performer list: a worker already listed is not
// listed twice (a removed entry for that worker is restored instead).
void MergePicked(PickedWorkers &list, const PickedWorkers &picked);
