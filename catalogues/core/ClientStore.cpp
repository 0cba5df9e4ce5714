#include "ClientStore.h"

#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "KeyGen.h"
#include "Rows.h"
#include "SqlConditions.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <unordered_map>

const QList<std::pair<QString, ClientRecord::Member>> &ClientRecord::Columns() {
    static const QList<std::pair<QString, Member>> columns = {
        {QStringLiteral("IddClient"), &ClientRecord::iddClient},
        {QStringLiteral("ClientName"), &ClientRecord::clientName},
        {QStringLiteral("ClientFullName"), &ClientRecord::clientFullName},
        {QStringLiteral("ClientINN"), &ClientRecord::clientINN},
        {QStringLiteral("ClientAdres"), &ClientRecord::clientAdres},
        {QStringLiteral("ClientAdresF"), &ClientRecord::clientAdresF},
        {QStringLiteral("ClientTel"), &ClientRecord::clientTel},
        {QStringLiteral("ClientFaks"), &ClientRecord::clientFaks},
        {QStringLiteral("ClientEmail"), &ClientRecord::clientEmail},
        {QStringLiteral("ClientOKHX"), &ClientRecord::clientOKHX},
        {QStringLiteral("ClientOKPO"), &ClientRecord::clientOKPO},
        {QStringLiteral("ClientBank"), &ClientRecord::clientBank},
        {QStringLiteral("ClientChet"), &ClientRecord::clientChet},
        {QStringLiteral("ClientKorChet"), &ClientRecord::clientKorChet},
        {QStringLiteral("ClientBIK"), &ClientRecord::clientBIK},
        {QStringLiteral("ClientDirector"), &ClientRecord::clientDirector},
        {QStringLiteral("ClientByx"), &ClientRecord::clientByx},
        {QStringLiteral("ClientContact"), &ClientRecord::clientContact},
        {QStringLiteral("ClientPrim"), &ClientRecord::clientPrim},
    };
    return columns;
}

namespace {

const QString kClients = QStringLiteral("SClient");
const QString kLinks = QStringLiteral("AvtoVlad");

// The debt of the SClient row in scope: what TClientDolgD holds for it, worked out for the listed clients
// only (from their orders' stored totals and payments) rather than for every client before filtering.
const QString kDebt = QStringLiteral(
    "(SELECT SUM(TClientDolg.SummD) FROM TClientDolg WHERE TClientDolg.IddVlad = SClient.IddClient)");

QString ClientColumns() {
    QStringList cols;
    for (const auto &c : ClientRecord::Columns()) cols << QStringLiteral("SClient.") + c.first;
    return cols.join(QStringLiteral(", "));
}

// What the directory's list shows of a client: the rest of a long list's columns would only be read and
// thrown away.
const QString kListColumns = QStringLiteral(
    "SClient.IddClient, SClient.ClientName, SClient.ClientINN, SClient.ClientAdres, SClient.ClientTel, "
    "SClient.ClientFaks, SClient.ClientContact");

// A row of a statement that begins with kListColumns, read by place: lists read tens of thousands.
ClientRecord ReadListClient(const CDynamicRecordset &rs) {
    ClientRecord c;
    c.iddClient = rs.TextAt(0);
    c.clientName = rs.TextAt(1);
    c.clientINN = rs.TextAt(2);
    c.clientAdres = rs.TextAt(3);
    c.clientTel = rs.TextAt(4);
    c.clientFaks = rs.TextAt(5);
    c.clientContact = rs.TextAt(6);
    return c;
}

ClientRecord ReadClient(const CDynamicRecordset &rs) {
    ClientRecord c;
    for (const auto &[column, member] : ClientRecord::Columns()) c.*member = rs.Text(column);
    return c;
}

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

struct KeyHash {
    size_t operator()(const QString &key) const { return qHash(key); }
};

// Every client's debt, one row per client with orders: one pass over the orders' stored totals. They are
// kept to the kopeck, so the sum of their differences is TClientDolg's sum of rounded differences (but for
// float dust far below the half kopeck every use compares with); rounding each of a busy shop's 150 000
// orders again took more than half of the statement's time.
const QString kAllDebtSum =
    QStringLiteral("SUM(COALESCE(TZakaz.ZakazSumma, 0) - COALESCE(TZakaz.ZakazOplata, 0))");
const QString kAllDebts = QStringLiteral("SELECT TZakaz.IddVlad AS IddVlad, ") + kAllDebtSum +
                          QStringLiteral(" AS Sum_SummD FROM TZakaz GROUP BY TZakaz.IddVlad");

// The FROM and WHERE of one search.
struct SearchSource {
    QString from = QStringLiteral("SClient");
    QStringList conditions;
    QVariantList binds;
    QString debt = kDebt;  // the listed client's debt

    QString Where() const {
        return conditions.isEmpty() ? QString()
                                    : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }
};

SearchSource SourceFor(const ClientFilter &f) {
    SearchSource s;
    const bool name = !f.name.isEmpty();
    const bool inn = !f.inn.isEmpty();
    // The plate joins the cars only beside an INN or alone; with a name but no INN it is ignored.
    const bool plate = !f.plate.isEmpty() && (inn || !name);

    if (!name && !inn && !plate && f.debtorsOnly) {
        // Every debtor: the debts of all clients are worked out together rather than one client at a time,
        // and the debtors chosen there (as a condition outside, SQLite took four times as long).
        s.debt = QStringLiteral("D.Sum_SummD");
        s.from += QStringLiteral(" INNER JOIN (") + kAllDebts + QStringLiteral(" HAVING ") + kAllDebtSum +
                  QStringLiteral(" > ?) D ON D.IddVlad = SClient.IddClient");
        s.binds << kHalfKopeck;
        return s;
    }
    if (name) {
        s.conditions << QStringLiteral("SClient.ClientName = ?");
        s.binds << f.name;
    }
    if (inn) {
        s.conditions << QStringLiteral("SClient.ClientINN = ?");
        s.binds << f.inn;
    }
    // A plate chooses the clients; each is still listed with all of its current cars.
    if (plate) {
        s.conditions << QStringLiteral(
            "SClient.IddClient IN (SELECT AvtoVlad.IddVlad FROM AvtoVlad INNER JOIN SAvto ON "
            "AvtoVlad.IddAvto "
            "= SAvto.IddAvto WHERE AvtoVlad.[Delete] = FALSE AND SAvto.AvtoNomer = ?)");
        s.binds << f.plate;
    }
    if (f.debtorsOnly) {
        s.conditions << s.debt + QStringLiteral(" > ?");
        s.binds << kHalfKopeck;
    }
    return s;
}

}  // namespace

ClientFilter ClientStore::Normalized(ClientFilter filter) {
    filter.name = filter.name.trimmed();
    filter.inn = filter.inn.trimmed();
    filter.plate = filter.plate.trimmed().toUpper();
    return filter;
}

QList<ClientListRow> ClientStore::Search(const ClientFilter &filter, int firstRows, bool *more) {
    const ClientFilter f = Normalized(filter);
    if (more) *more = false;
    if (firstRows <= 0 && f.name.isEmpty() && f.inn.isEmpty() && f.plate.isEmpty() && !f.debtorsOnly)
        return WholeList();
    const SearchSource src = SourceFor(f);
    // The clients with their current cars in one statement: a client comes once per car, its cars in a row
    // by plate.
    CDynamicRecordset rs(m_db);
    rs.OpenLong(
        QStringLiteral("SELECT %1, %2 AS Sum_SummD, L.IddAvtoVlad, A.IddAvto, A.AvtoNomer, A.AvtoMarka, "
                       "A.AvtoColor FROM %3 LEFT JOIN AvtoVlad L ON L.IddVlad = SClient.IddClient AND "
                       "L.[Delete] = FALSE LEFT JOIN SAvto A ON A.IddAvto = L.IddAvto%4 ORDER BY "
                       "SClient.ClientName, SClient.IddClient, A.AvtoNomer, L.IddAvtoVlad%5")
            .arg(kListColumns, src.debt, src.from, src.Where(),
                 firstRows > 0 ? QStringLiteral(" LIMIT ?") : QString()),
        firstRows > 0 ? src.binds + QVariantList{firstRows} : src.binds);
    QList<ClientListRow> rows;
    int read = 0;
    Rows::SharedTexts shared;
    for (; !rs.IsEOF(); rs.MoveNext(), ++read) {
        // Columns by place, in the order of the statement: the debtors are thousands of rows.
        const QString key = rs.TextAt(0);  // IddClient
        if (rows.isEmpty() || rows.last().client.iddClient != key) {
            ClientListRow row;
            row.client = ReadListClient(rs);
            row.debt = rs.Field(7).AsMoney();  // Sum_SummD
            rows.append(std::move(row));
        }
        ClientCarRow car;
        car.iddAvto = rs.TextAt(9);
        if (car.iddAvto.isEmpty()) continue;  // no current car (or a link to a car that is gone)
        car.iddAvtoVlad = rs.TextAt(8);
        car.iddVlad = key;
        car.avtoNomer = rs.TextAt(10);
        car.avtoMarka = shared(rs.TextAt(11));
        car.avtoColor = shared(rs.TextAt(12));
        rows.last().cars.append(std::move(car));
    }
    Rows::KeepWholeEntries(rows, firstRows, read, more);
    return rows;
}

QList<ClientListRow> ClientStore::WholeList() {
    QList<ClientListRow> rows;
    CDynamicRecordset rs(m_db);
    rs.OpenLong(QStringLiteral("SELECT %1 FROM SClient ORDER BY SClient.ClientName, SClient.IddClient")
                    .arg(kListColumns));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ClientListRow row;
        row.client = ReadListClient(rs);
        rows.append(std::move(row));
    }
    // A client's place in the list by its key. The keys share long beginnings, so the map keeps each key's
    // hash beside it (its hasher is not noexcept) and compares a key only when the hashes match.
    std::unordered_map<QString, qsizetype, KeyHash> at;
    at.reserve(size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) at.emplace(rows[i].client.iddClient, i);

    // Columns are read by place: these statements are read row by row tens of thousands of times.
    // Only the debts that are not nil: the rest show as 0 anyway, and most clients owe nothing.
    rs.OpenLong(kAllDebts + QStringLiteral(" HAVING ABS(") + kAllDebtSum + QStringLiteral(") > ?"),
                {kHalfKopeck});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const auto it = at.find(rs.TextAt(0));                              // IddVlad
        if (it != at.end()) rows[it->second].debt = rs.Field(1).AsMoney();  // Sum_SummD
    }

    // Cars by plate, so each client's come in that order.
    Rows::SharedTexts shared;
    rs.OpenLong(QStringLiteral(
        "SELECT L.IddVlad, L.IddAvtoVlad, A.IddAvto, A.AvtoNomer, A.AvtoMarka, A.AvtoColor FROM AvtoVlad L "
        "INNER JOIN SAvto A ON A.IddAvto = L.IddAvto WHERE L.[Delete] = FALSE ORDER BY A.AvtoNomer, "
        "L.IddAvtoVlad"));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ClientCarRow car;
        car.iddVlad = rs.TextAt(0);
        const auto it = at.find(car.iddVlad);
        if (it == at.end()) continue;  // a link to a client that is gone
        car.iddAvtoVlad = rs.TextAt(1);
        car.iddAvto = rs.TextAt(2);
        car.avtoNomer = rs.TextAt(3);
        car.avtoMarka = shared(rs.TextAt(4));
        car.avtoColor = shared(rs.TextAt(5));
        rows[it->second].cars.append(std::move(car));
    }
    return rows;
}

QList<ClientRecord> ClientStore::NamesStartingWith(const QString &prefix, int limit) {
    QList<ClientRecord> names;
    if (prefix.isEmpty() || limit <= 0) return names;
    SqlConditions where;
    where.StartsWith(QStringLiteral("SClient.ClientName"), prefix);
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT SClient.IddClient, SClient.ClientName, SClient.ClientAdres, SClient.ClientTel "
                       "FROM SClient WHERE %1 ORDER BY SClient.ClientName, SClient.IddClient LIMIT ?")
            .arg(where.where()),
        where.binds() + QVariantList{limit});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ClientRecord c;
        c.iddClient = rs.TextAt(0);
        c.clientName = rs.TextAt(1);
        c.clientAdres = rs.TextAt(2);
        c.clientTel = rs.TextAt(3);
        names << c;
    }
    return names;
}

std::optional<ClientRecord> ClientStore::Load(const QString &iddClient) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT %1 FROM SClient WHERE SClient.IddClient = ?").arg(ClientColumns()),
            {iddClient});
    if (rs.IsEOF()) return std::nullopt;
    return ReadClient(rs);
}

bool ClientStore::Save(const ClientRecord &client, const std::optional<ClientRecord> &loaded) {
    if (client.iddClient.isEmpty()) throw DbError(QStringLiteral("У клиента нет ключа."));
    if (client.clientName.trimmed().isEmpty()) throw DbError(QStringLiteral("Укажите название клиента!"));
    Values rest;
    for (const auto &[column, member] : ClientRecord::Columns()) {
        if (member != &ClientRecord::iddClient) rest << ColumnValue{column, client.*member};
    }
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, kClients, QStringLiteral("IddClient"), client.iddClient);
        ChangedMeanwhile::Expect(Load(client.iddClient), *loaded);
    }
    const bool inserted =
        Rows::InsertOrUpdate(m_db, kClients, {{QStringLiteral("IddClient"), client.iddClient}}, rest);
    tx.Commit();
    return inserted;
}

void ClientStore::SaveContact(ClientRecord &client, const QString &login) {
    const Values fields = {{QStringLiteral("ClientName"), client.clientName},
                           {QStringLiteral("ClientAdres"), client.clientAdres},
                           {QStringLiteral("ClientTel"), client.clientTel}};
    Rows::Store(m_db, kClients, QStringLiteral("IddClient"), client.iddClient, fields,
                [&] { return NewKey(login); });
}

void ClientStore::Delete(const QString &iddClient) {
    Transaction tx(m_db);
    Rows::Delete(m_db, kClients, {{QStringLiteral("IddClient"), iddClient}});
    Rows::SoftDelete(m_db, kLinks, {{QStringLiteral("IddVlad"), iddClient}});
    tx.Commit();
}

QList<CarRecord> ClientStore::CarsOf(const QString &iddClient) {
    QList<CarRecord> cars;
    QSet<QString> seen;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT A.IddAvto, A.AvtoNomer, A.AvtoMarka, A.AvtoVin, A.AvtoDvig, A.AvtoColor, "
                           "A.AvtoPrim FROM AvtoVlad L INNER JOIN SAvto A ON L.IddAvto = A.IddAvto "
                           "WHERE L.IddVlad = ? AND L.[Delete] = FALSE ORDER BY A.AvtoNomer, A.IddAvto"),
            {iddClient});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CarRecord car = ReadCar(rs);
        if (seen.contains(car.iddAvto)) continue;
        seen.insert(car.iddAvto);
        cars << car;
    }
    return cars;
}

QString ClientStore::LinkCar(const QString &iddClient, const QString &iddAvto, const QString &login) {
    if (iddClient.isEmpty() || iddAvto.isEmpty())
        throw DbError(QStringLiteral("Не указан клиент или автомобиль."));
    const auto live = [&]() -> QString {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral("SELECT AvtoVlad.IddAvtoVlad FROM AvtoVlad WHERE AvtoVlad.IddAvto = ? AND "
                               "AvtoVlad.IddVlad = ? AND AvtoVlad.[Delete] = FALSE"),
                {iddAvto, iddClient});
        return rs.IsEOF() ? QString() : rs.Text(QStringLiteral("IddAvtoVlad"));
    };
    Transaction tx(m_db);
    QString key = live();
    if (key.isEmpty()) {
        key = NewKey(login);
        // A link made by another workstation at this very moment stands; its key is returned instead.
        if (!Rows::InsertUnlessLive(m_db, kLinks,
                                    {{QStringLiteral("IddAvtoVlad"), key},
                                     {QStringLiteral("IddAvto"), iddAvto},
                                     {QStringLiteral("IddVlad"), iddClient},
                                     {QStringLiteral("Delete"), false}},
                                    {QStringLiteral("IddAvto"), QStringLiteral("IddVlad")}))
            key = live();
    }
    tx.Commit();  // also when nothing was written: an uncommitted end would doom a caller's transaction
    return key;
}
