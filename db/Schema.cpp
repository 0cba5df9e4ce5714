#include "Schema.h"

#include "Database.h"
#include "DbError.h"

#include <QHash>
#include <QSqlQuery>

namespace {

using enum ColType;

std::vector<TableDef> MakeTables() {
    return {
        {"TZakaz",
         {{"IddZakaz", Text},
          {"ZakazNomer", Text},
          {"ZakazData", DateTime},
          {"ZakazBegin", DateTime},
          {"ZakazBeginIn", DateTime},
          {"ZakazEndOut", DateTime},
          {"IddAvto", Text},
          {"IddVlad", Text},
          {"ZakazStatus", Long},
          {"Delete", Bool}},
         {"IddZakaz"}},
        {"TService",
         {{"IddZakaz", Text},
          {"IddService", Text},
          {"IddTop", Text},
          {"Count", Double},
          {"Name", Text},
          {"Price", Double},
          {"PrNDS", Double},
          {"Summa", Double},
          {"Time", DateTime},
          {"PrJob", Bool},
          {"Job", Double},
          {"Delete", Bool}},
         {}},
        {"TWork",
         {{"IddZakaz", Text}, {"IddService", Text}, {"IddWork", Text}, {"WorkFIO", Text}, {"Delete", Bool}},
         {}},
        {"TPay",
         {{"IddPay", Text},
          {"IddZakaz", Text},
          {"TypePay", Long},
          {"NaznPay", Text},
          {"NomerPay", Text},
          {"DataPay", DateTime},
          {"SummaPay", Double},
          {"DocPay", Text},
          {"PrimPay", Text},
          {"Delete", Bool}},
         {"IddPay"}},
        {"TWorkPay",
         {{"IddWorkPay", Text},
          {"IddPay", Text},
          {"IddWork", Text},
          {"SummaWorkPay", Double},
          {"DeleteWorkPay", Bool}},
         {"IddWorkPay"}},
        {"SService",
         {{"IddService", Text},
          {"IddTop", Text},
          {"Name", Text},
          {"Price", Double},
          {"PrNDS", Double},
          {"Summa", Double},
          {"Time", DateTime},
          {"PrJob", Bool},
          {"Job", Double},
          {"Delete", Bool}},
         {"IddService"}},
        {"ServiceWork",
         {{"IddServiceWork", Text}, {"IddService", Text}, {"IddWork", Text}, {"Delete", Bool}},
         {"IddServiceWork"}},
        {"SWork",
         {{"IddWork", Text},
          {"WorkFIO", Text},
          {"WorkAdres", Text},
          {"WorkTel", Text},
          {"WorkDataIn", DateTime},
          {"WorkOut", Bool},
          {"WorkDataOut", DateTime},
          {"WorkSalary", Double},
          {"Delete", Bool}},
         {"IddWork"}},
        {"SBox", {{"IddBox", Text}, {"NameBox", Text}, {"PrimBox", Text}, {"Delete", Bool}}, {"IddBox"}},
        {"SAvto",
         {{"IddAvto", Text},
          {"AvtoNomer", Text},
          {"AvtoMarka", Text},
          {"AvtoVin", Text},
          {"AvtoDvig", Text},
          {"AvtoColor", Text},
          {"AvtoPrim", Text}},
         {"IddAvto"}},
        {"SClient",
         {{"IddClient", Text},
          {"ClientName", Text},
          {"ClientFullName", Text},
          {"ClientINN", Text},
          {"ClientAdres", Text},
          {"ClientAdresF", Text},
          {"ClientTel", Text},
          {"ClientFaks", Text},
          {"ClientEmail", Text},
          {"ClientOKHX", Text},
          {"ClientOKPO", Text},
          {"ClientBank", Text},
          {"ClientChet", Text},
          {"ClientKorChet", Text},
          {"ClientBIK", Text},
          {"ClientDirector", Text},
          {"ClientByx", Text},
          {"ClientContact", Text},
          {"ClientPrim", Text}},
         {"IddClient"}},
        {"AvtoVlad",
         {{"IddAvtoVlad", Text}, {"IddAvto", Text}, {"IddVlad", Text}, {"Delete", Bool}},
         {"IddAvtoVlad"}},
        {"SUser",
         {{"IddUser", Text},
          {"Login", Text},
          {"Name", Text},
          {"Pass", Text},
          {"Prova", Text},
          {"Delete", Bool}},
         {"IddUser"}},
        {"SMain",
         {{"IddMain", Text},
          {"MainName", Text},
          {"MainFullName", Text},
          {"MainINN", Text},
          {"MainAdres", Text},
          {"MainAdresF", Text},
          {"MainTel", Text},
          {"MainFaks", Text},
          {"MainEmail", Text},
          {"MainOKHX", Text},
          {"MainOKPO", Text},
          {"MainBank", Text},
          {"MainChet", Text},
          {"MainKorChet", Text},
          {"MainBIK", Text},
          {"MainDirector", Text},
          {"MainByx", Text},
          {"MainContact", Text},
          {"MainPrim", Text}},
         {"IddMain"}},
        {"Number",
         {{"iddnum", Text},
          {"ZakazPr", Text},
          {"ZakazNomer", Long},
          {"PayNomer", Long},
          {"OutPayNomer", Long},
          {"SalaryNomer", Long}},
         {"iddnum"}},
    };
}

struct IndexDef {
    const char *name;
    const char *table;
    const char *columns;
    bool unique;
};

// Identifying fields are unique so that a duplicate fails loudly; join and filter columns are indexed.
const IndexDef kIndexes[] = {
    {"UX_TService_Line", "TService", "IddZakaz, IddService, IddTop", true},
    {"UX_TWork_Line", "TWork", "IddZakaz, IddService, IddWork", true},
    {"IX_TZakaz_IddAvto", "TZakaz", "IddAvto", false},
    {"IX_TZakaz_IddVlad", "TZakaz", "IddVlad", false},
    {"IX_TZakaz_ZakazData", "TZakaz", "ZakazData", false},
    {"IX_TZakaz_ZakazBegin", "TZakaz", "ZakazBegin", false},
    {"IX_TZakaz_ZakazEndOut", "TZakaz", "ZakazEndOut", false},
    {"IX_TZakaz_ZakazNomer", "TZakaz", "ZakazNomer", false},
    {"IX_TZakaz_ZakazStatus", "TZakaz", "ZakazStatus", false},
    {"IX_TService_IddService", "TService", "IddService", false},
    {"IX_TWork_IddWork", "TWork", "IddWork", false},
    {"IX_TPay_IddZakaz", "TPay", "IddZakaz", false},
    {"IX_TPay_DataPay", "TPay", "DataPay", false},
    {"IX_TPay_TypePay", "TPay", "TypePay", false},
    {"IX_TWorkPay_IddPay", "TWorkPay", "IddPay", false},
    {"IX_TWorkPay_IddWork", "TWorkPay", "IddWork", false},
    {"IX_SService_IddTop", "SService", "IddTop", false},
    {"IX_ServiceWork_IddService", "ServiceWork", "IddService", false},
    {"IX_ServiceWork_IddWork", "ServiceWork", "IddWork", false},
    {"IX_AvtoVlad_IddAvto", "AvtoVlad", "IddAvto", false},
    {"IX_AvtoVlad_IddVlad", "AvtoVlad", "IddVlad", false},
    {"IX_SAvto_AvtoNomer", "SAvto", "AvtoNomer", false},
    {"IX_SClient_ClientName", "SClient", "ClientName", false},
    {"IX_SUser_Login", "SUser", "Login", false},
};

// One row per order: its total with VAT over the live non-package lines, less its live payments.
const char *kTClientDolg =
    "CREATE VIEW TClientDolg AS SELECT TZakaz.IddZakaz AS IddZakaz, TZakaz.IddVlad AS IddVlad, "
    "COALESCE((SELECT SUM(s.[Count]*s.Price + s.[Count]*s.Price*s.PrNDS/100) FROM TService s "
    "WHERE s.IddZakaz = TZakaz.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = FALSE), 0) - "
    "COALESCE((SELECT SUM(p.SummaPay) FROM TPay p WHERE p.IddZakaz = TZakaz.IddZakaz AND p.[Delete] = "
    "FALSE), 0) "
    "AS SummD FROM TZakaz";

// One row per client: the sum of its orders' outstanding amounts.
const char *kTClientDolgD =
    "CREATE VIEW TClientDolgD AS SELECT TClientDolg.IddVlad AS IddVlad, SUM(TClientDolg.SummD) AS Sum_SummD "
    "FROM TClientDolg GROUP BY TClientDolg.IddVlad";

QString TypeName(ColType type, bool postgres) {
    switch (type) {
        case Text:
            return QStringLiteral("VARCHAR(255)");
        case Long:
            return QStringLiteral("INTEGER");
        case Double:
            return postgres ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("DOUBLE");
        case Bool:
            return QStringLiteral("BOOLEAN");
        case DateTime:
            return QStringLiteral("TIMESTAMP");
    }
    return {};
}

QString Bracket(const char *name) {
    return u'[' + QString::fromLatin1(name) + u']';
}

// Looks only at the schema the connection works in (PostgreSQL may hold other schemas beside it).
bool HasTable(Database &db, const QString &name) {
    const QString sql = db.PostgresStyle()
                            ? QStringLiteral(
                                  "SELECT 1 FROM information_schema.tables WHERE table_schema = "
                                  "current_schema() AND lower(table_name) = lower(?)")
                            : QStringLiteral(
                                  "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND "
                                  "lower(name) = lower(?)");
    return db.Exec(sql, {name}).next();
}

}  // namespace

namespace Schema {

const std::vector<TableDef> &Tables() {
    static const std::vector<TableDef> tables = MakeTables();
    return tables;
}

bool ColumnType(const QString &table, const QString &column, ColType *type) {
    static const QHash<QString, ColType> map = [] {
        QHash<QString, ColType> m;
        for (const TableDef &t : Tables())
            for (const ColumnDef &c : t.columns)
                m.insert(QString::fromLatin1(t.name).toUpper() + u'.' + QString::fromLatin1(c.name).toUpper(),
                         c.type);
        return m;
    }();
    const auto it = map.constFind(table.toUpper() + u'.' + column.toUpper());
    if (it == map.constEnd()) return false;
    if (type) *type = *it;
    return true;
}

int StoredVersion(Database &db) {
    if (!HasTable(db, QStringLiteral("ZvSchema"))) return 0;
    QSqlQuery q = db.Exec(QStringLiteral("SELECT Version FROM ZvSchema"));
    return q.next() ? q.value(0).toInt() : 0;
}

void Ensure(Database &db) {
    if (HasTable(db, QStringLiteral("TZakaz"))) return;  // an existing database is opened as it is

    const bool pg = db.PostgresStyle();
    Transaction tx(db);
    for (const TableDef &t : Tables()) {
        QStringList cols;
        for (const ColumnDef &c : t.columns) {
            QString def = Bracket(c.name) + u' ' + TypeName(c.type, pg);
            if (c.type == Bool) def += QStringLiteral(" DEFAULT FALSE");
            if (QLatin1StringView(t.name) == QLatin1StringView("TService") &&
                QLatin1StringView(c.name) == QLatin1StringView("Summa"))
                def += QStringLiteral(" DEFAULT 0");
            cols << def;
        }
        if (!t.primaryKey.isEmpty()) cols << QStringLiteral("PRIMARY KEY (%1)").arg(t.primaryKey.join(u", "));
        db.Exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(Bracket(t.name), cols.join(u", ")));
    }
    for (const IndexDef &ix : kIndexes)
        db.Exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                    .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), QString::fromLatin1(ix.name),
                         QString::fromLatin1(ix.table), QString::fromLatin1(ix.columns)));
    db.Exec(QString::fromLatin1(kTClientDolg));
    db.Exec(QString::fromLatin1(kTClientDolgD));

    db.Exec(QStringLiteral("INSERT INTO SMain (IddMain) VALUES (?)"), {QStringLiteral("1")});
    db.Exec(QStringLiteral(
                "INSERT INTO [Number] (iddnum, ZakazPr, ZakazNomer, PayNomer, OutPayNomer, SalaryNomer) "
                "VALUES (?, ?, 0, 0, 0, 0)"),
            {QStringLiteral("1"), QStringLiteral("")});

    db.Exec(QStringLiteral("CREATE TABLE ZvSchema (Version INTEGER NOT NULL)"));
    db.Exec(QStringLiteral("INSERT INTO ZvSchema (Version) VALUES (?)"), {kVersion});
    tx.Commit();
}

}  // namespace Schema
