#pragma once

#include <QList>
#include <QString>
#include <optional>

class Database;

// One SBox row: a tyre bay or a wash bay where services are performed.
struct BayRecord {
    QString iddBox;
    QString nameBox;
    QString primBox;  // note
    bool deleted = false;

    bool operator==(const BayRecord &) const = default;
};

// Every SQL text about bays.
class BayStore {
public:
    explicit BayStore(Database &db) : m_db(db) {}

    // Bays not deleted, by name.
    QList<BayRecord> List();
    std::optional<BayRecord> Load(const QString &iddBox);
    // Adds a bay under a fresh key made from `login`; returns the key.
    QString Add(const QString &name, const QString &note, const QString &login);
    // Returns false when there is no such bay. A card hands the bay as it loaded it: when the stored one is
    // not that any more, ChangedMeanwhile is thrown and nothing written.
    bool Update(const QString &iddBox, const QString &name, const QString &note,
                const std::optional<BayRecord> &loaded = std::nullopt);
    bool Delete(const QString &iddBox);

private:
    Database &m_db;
};
