#include "CarStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Rows.h"
#include "SqlConditions.h"

#include <QHash>
#include <QSet>

namespace {

const QString kCars = QStringLiteral("SAvto");
const QString kLinks = QStringLiteral("AvtoVlad");
const QString kCarColumns = QStringLiteral(
    "SAvto.IddAvto, SAvto.AvtoNomer, SAvto.AvtoMarka, SAvto.AvtoVin, SAvto.AvtoDvig, SAvto.AvtoColor, "
    "SAvto.AvtoPrim");

CarRecord ReadCar(const CDynamicRecordset &rs) {
    CarRecord car;
    car.iddAvto = rs.Text(QStringLiteral("IddAvto"));
    car.avtoNomer = rs.Text(QStringLiteral("AvtoNomer"));
    car.avtoMarka = rs.Text(QStringLiteral("AvtoMarka"));
    car.avtoColor = rs.Text(QStringLiteral("AvtoColor"));
    car.avtoVin = rs.Text(QStringLiteral("AvtoVin"));
    car.avtoDvig = rs.Text(QStringLiteral("AvtoDvig"));
    car.avtoPrim = rs.Text(QStringLiteral("AvtoPrim"));
    return car;
}

// The live owner links of a card, as "link/owner" in order: what a save compares with the stored ones.
QStringList LiveLinks(const QList<CarOwner> &owners) {
    QStringList links;
    for (const CarOwner &o : owners)
        if (!o.deleted) links << o.iddAvtoVlad + u'/' + o.iddVlad;
    links.sort();
    return links;
}

// Distinct non-empty values of one column, sorted.
QStringList Distinct(Database &db, const QString &column, const QString &table) {
    QStringList values;
    CDynamicRecordset rs(db);
    rs.Open(QStringLiteral("SELECT DISTINCT %1 AS V FROM %2 WHERE %1 IS NOT NULL ORDER BY %1")
                .arg(column, table));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString v = rs.Text(QStringLiteral("V"));
        if (!v.trimmed().isEmpty()) values << v;
    }
    return values;
}

}  // namespace

CarFilter CarStore::Normalized(CarFilter filter) {
    filter.plate = filter.plate.trimmed().toUpper();
    filter.make = filter.make.trimmed().toUpper();
    filter.owner = filter.owner.trimmed();
    return filter;
}

CarRecord CarStore::Normalized(CarRecord car) {
    car.avtoNomer = car.avtoNomer.trimmed().toUpper();
    car.avtoMarka = car.avtoMarka.trimmed().toUpper();
    car.avtoColor = car.avtoColor.trimmed().toUpper();
    car.avtoVin = car.avtoVin.trimmed().toUpper();
    car.avtoDvig = car.avtoDvig.trimmed().toUpper();
    car.avtoPrim = car.avtoPrim.trimmed();
    return car;
}

QList<CarListRow> CarStore::Search(const CarFilter &filter, int firstRows, bool *more) {
    const CarFilter f = Normalized(filter);
    QStringList conditions;
    QVariantList binds;
    if (!f.plate.isEmpty()) {
        conditions << QStringLiteral("SAvto.AvtoNomer = ?");
        binds << f.plate;
    }
    if (!f.make.isEmpty()) {
        conditions << QStringLiteral("SAvto.AvtoMarka = ?");
        binds << f.make;
    }
    if (!f.owner.isEmpty()) {
        // Cars with a current owner of that name, listed with all their current owners.
        conditions << QStringLiteral(
            "SAvto.IddAvto IN (SELECT AvtoVlad.IddAvto FROM AvtoVlad INNER JOIN SClient ON AvtoVlad.IddVlad "
            "= "
            "SClient.IddClient WHERE AvtoVlad.[Delete] = FALSE AND SClient.ClientName = ?)");
        binds << f.owner;
    }
    const QString where = conditions.isEmpty()
                              ? QString()
                              : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));

    // The cars with their current owners in one statement: a car comes once per owner, its owners in a row.
    QList<CarListRow> rows;
    CDynamicRecordset rs(m_db);
    rs.OpenLong(
        QStringLiteral("SELECT %1, L.IddAvtoVlad, C.IddClient, C.ClientName, C.ClientContact, C.ClientTel, "
                       "C.ClientFaks FROM SAvto LEFT JOIN AvtoVlad L ON L.IddAvto = SAvto.IddAvto AND "
                       "L.[Delete] = FALSE LEFT JOIN SClient C ON C.IddClient = L.IddVlad%2 "
                       "ORDER BY SAvto.AvtoNomer, SAvto.IddAvto, C.ClientName, L.IddAvtoVlad%3")
            .arg(kCarColumns, where, firstRows > 0 ? QStringLiteral(" LIMIT ?") : QString()),
        firstRows > 0 ? binds + QVariantList{firstRows} : binds);
    int read = 0;
    Rows::SharedTexts shared;
    // Columns by place, in the order of the statement: the whole list is tens of thousands of rows.
    for (; !rs.IsEOF(); rs.MoveNext(), ++read) {
        const QString key = rs.TextAt(0);  // IddAvto
        if (rows.isEmpty() || rows.last().car.iddAvto != key) {
            CarListRow row;
            row.car.iddAvto = key;
            row.car.avtoNomer = rs.TextAt(1);
            row.car.avtoMarka = shared(rs.TextAt(2));
            row.car.avtoVin = rs.TextAt(3);
            row.car.avtoDvig = rs.TextAt(4);
            row.car.avtoColor = shared(rs.TextAt(5));
            row.car.avtoPrim = rs.TextAt(6);
            rows.append(std::move(row));
        }
        CarOwnerRow owner;
        owner.iddVlad = rs.TextAt(8);           // IddClient
        if (owner.iddVlad.isEmpty()) continue;  // no current owner (or a link to a client that is gone)
        owner.iddAvtoVlad = rs.TextAt(7);
        owner.clientName = rs.TextAt(9);
        owner.clientContact = rs.TextAt(10);
        owner.clientTel = rs.TextAt(11);
        owner.clientFaks = rs.TextAt(12);
        rows.last().owners.append(std::move(owner));
    }
    Rows::KeepWholeEntries(rows, firstRows, read, more);
    return rows;
}

QStringList CarStore::Makes() {
    return Distinct(m_db, QStringLiteral("SAvto.AvtoMarka"), kCars);
}

QStringList CarStore::OwnerNames() {
    return Distinct(m_db, QStringLiteral("SClient.ClientName"), QStringLiteral("SClient"));
}

QStringList CarStore::Colors() {
    return Distinct(m_db, QStringLiteral("SAvto.AvtoColor"), kCars);
}

QStringList CarStore::PlatesStartingWith(const QString &prefix, int limit) {
    QStringList plates;
    const QString p = prefix.trimmed().toUpper();
    if (p.isEmpty() || limit <= 0) return plates;
    SqlConditions where;
    where.StartsWith(QStringLiteral("SAvto.AvtoNomer"), p);
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT DISTINCT SAvto.AvtoNomer FROM SAvto WHERE %1 ORDER BY SAvto.AvtoNomer LIMIT ?")
            .arg(where.where()),
        where.binds() + QVariantList{limit});
    for (; !rs.IsEOF(); rs.MoveNext()) plates << rs.TextAt(0);
    return plates;
}

std::optional<CarRecord> CarStore::Load(const QString &iddAvto) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT %1 FROM SAvto WHERE SAvto.IddAvto = ?").arg(kCarColumns), {iddAvto});
    if (rs.IsEOF()) return std::nullopt;
    return ReadCar(rs);
}

QList<CarOwner> CarStore::LoadOwners(const QString &iddAvto) {
    QList<CarOwner> owners;
    CDynamicRecordset rs(m_db);
    // A link whose client row is gone still shows, with an empty name, so it can be removed.
    rs.Open(QStringLiteral("SELECT L.IddAvtoVlad, L.IddAvto, L.IddVlad, C.ClientName, C.ClientTel "
                           "FROM AvtoVlad L LEFT JOIN SClient C ON L.IddVlad = C.IddClient "
                           "WHERE L.IddAvto = ? AND L.[Delete] = FALSE ORDER BY C.ClientName, L.IddAvtoVlad"),
            {iddAvto});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CarOwner o;
        o.iddAvtoVlad = rs.Text(QStringLiteral("IddAvtoVlad"));
        o.iddAvto = rs.Text(QStringLiteral("IddAvto"));
        o.iddVlad = rs.Text(QStringLiteral("IddVlad"));
        o.clientName = rs.Text(QStringLiteral("ClientName"));
        o.clientTel = rs.Text(QStringLiteral("ClientTel"));
        owners << o;
    }
    return owners;
}

void CarStore::Save(const CarRecord &car, QList<CarOwner> &owners, const QString &login,
                    const std::optional<StoredCar> &loaded) {
    const CarRecord c = Normalized(car);
    if (c.iddAvto.isEmpty()) throw DbError(QStringLiteral("У автомобиля нет ключа."));
    if (c.avtoNomer.isEmpty()) throw DbError(QStringLiteral("Укажите гос. № автомобиля!"));

    // One live link per owner: the same owner twice on the card is refused before anything is written.
    QSet<QString> liveOwners;
    for (const CarOwner &o : owners) {
        if (o.deleted) continue;
        if (liveOwners.contains(o.iddVlad))
            throw DbError(QStringLiteral("Владелец «%1» указан у автомобиля дважды.")
                              .arg(o.clientName.isEmpty() ? o.iddVlad : o.clientName));
        liveOwners.insert(o.iddVlad);
    }

    QList<CarOwner> written = owners;
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, kCars, QStringLiteral("IddAvto"), c.iddAvto);
        const std::optional<CarRecord> stored = Load(c.iddAvto);
        ChangedMeanwhile::Expect(stored, loaded->car);
        if (LiveLinks(LoadOwners(c.iddAvto)) != LiveLinks(loaded->owners)) throw ChangedMeanwhile(false);
    }
    Rows::InsertOrUpdate(m_db, kCars, {{QStringLiteral("IddAvto"), c.iddAvto}},
                         {{QStringLiteral("AvtoNomer"), c.avtoNomer},
                          {QStringLiteral("AvtoMarka"), c.avtoMarka},
                          {QStringLiteral("AvtoColor"), c.avtoColor},
                          {QStringLiteral("AvtoVin"), c.avtoVin},
                          {QStringLiteral("AvtoDvig"), c.avtoDvig},
                          {QStringLiteral("AvtoPrim"), c.avtoPrim}});
    const auto liveLink = [&](const QString &iddVlad) -> QString {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral("SELECT L.IddAvtoVlad FROM AvtoVlad L WHERE L.IddAvto = ? AND L.IddVlad = ? "
                               "AND L.[Delete] = FALSE"),
                {c.iddAvto, iddVlad});
        return rs.IsEOF() ? QString() : rs.Text(QStringLiteral("IddAvtoVlad"));
    };
    QString base;
    // Removals first, so an owner taken off and put back on the card ends with one live link.
    for (const bool deletedPass : {true, false}) {
        for (qsizetype i = 0; i < written.size(); ++i) {
            CarOwner &o = written[i];
            if (o.deleted != deletedPass) continue;
            o.iddAvto = c.iddAvto;
            const Values rest = {{QStringLiteral("IddAvto"), o.iddAvto},
                                 {QStringLiteral("IddVlad"), o.iddVlad},
                                 {QStringLiteral("Delete"), o.deleted}};
            if (!o.iddAvtoVlad.isEmpty()) {
                if (!o.deleted) {
                    const QString other = liveLink(o.iddVlad);
                    if (!other.isEmpty() && other != o.iddAvtoVlad)
                        throw DbError(QStringLiteral("Владелец «%1» уже указан у этого автомобиля.\n"
                                                     "Возможно, его добавили на другом рабочем месте: "
                                                     "откройте карточку заново.")
                                          .arg(o.clientName.isEmpty() ? o.iddVlad : o.clientName));
                }
                Rows::Update(m_db, kLinks, {{QStringLiteral("IddAvtoVlad"), o.iddAvtoVlad}}, rest);
                continue;
            }
            if (base.isEmpty()) base = NewKey(login);
            o.iddAvtoVlad = base + QString::number(i);
            const Values row = Values{{QStringLiteral("IddAvtoVlad"), o.iddAvtoVlad}} + rest;
            if (o.deleted) {
                Rows::Insert(m_db, kLinks, row);  // added and removed again in one opening: kept, deleted
                continue;
            }
            // The link another workstation has just made for this owner is taken over rather than doubled.
            if (!Rows::InsertUnlessLive(m_db, kLinks, row,
                                        {QStringLiteral("IddAvto"), QStringLiteral("IddVlad")}))
                o.iddAvtoVlad = liveLink(o.iddVlad);
        }
    }
    tx.Commit();
    owners = written;
}

void CarStore::SaveFields(CarRecord &car, const QString &login) {
    car.avtoNomer = car.avtoNomer.toUpper();
    const Values fields = {
        {QStringLiteral("AvtoNomer"), car.avtoNomer}, {QStringLiteral("AvtoMarka"), car.avtoMarka},
        {QStringLiteral("AvtoColor"), car.avtoColor}, {QStringLiteral("AvtoDvig"), car.avtoDvig},
        {QStringLiteral("AvtoVin"), car.avtoVin},     {QStringLiteral("AvtoPrim"), car.avtoPrim}};
    Rows::Store(m_db, kCars, QStringLiteral("IddAvto"), car.iddAvto, fields, [&] { return NewKey(login); });
}

void CarStore::Delete(const QString &iddAvto) {
    Transaction tx(m_db);
    Rows::Delete(m_db, kCars, {{QStringLiteral("IddAvto"), iddAvto}});
    Rows::SoftDelete(m_db, kLinks, {{QStringLiteral("IddAvto"), iddAvto}});
    tx.Commit();
}
