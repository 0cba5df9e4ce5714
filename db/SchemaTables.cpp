// What the tables are: their columns and indexes, the limits each field keeps, and the statements that
// make them.
#include "Schema.h"
#include "SchemaParts.h"

#include "Database.h"
#include "DbError.h"
#include "Money.h"

#include <QHash>

#include <cmath>

namespace {

using enum ColType;
using SchemaParts::IndexDef;

// Notes and addresses hold more than a line; everything else fits the usual 255.
constexpr int kNote = 2000;
constexpr int kAddress = 500;

ColumnDef T(const char *name, const char *caption, int maxLength = 255) {
    return {name, Text, caption, maxLength};
}
ColumnDef C(const char *name, ColType type) {
    return {name, type, nullptr, 0};
}
// An amount, kept to the kopeck.
ColumnDef A(const char *name, const char *caption) {
    return {name, Double, caption, 0, 2};
}
// A quantity, kept to three decimals.
ColumnDef Q(const char *name, const char *caption) {
    return {name, Double, caption, 0, 3};
}
// The orders and what hangs on them: lines, workers, payments, payouts; the catalogue, staff, bays and
// tyre storage.
std::vector<TableDef> WorkTables() {
    return {
        {"TZakaz",
         {T("IddZakaz", "Ключ заказа"), T("ZakazNomer", "Номер заказа"), C("ZakazData", DateTime),
          C("ZakazBegin", DateTime), C("ZakazBeginIn", DateTime), C("ZakazEndOut", DateTime),
          T("IddAvto", "Ключ автомобиля"), T("IddVlad", "Ключ клиента"), C("ZakazStatus", Long),
          C("Delete", Bool), A("ZakazSumma", "Сумма заказа"), A("ZakazSummaNDS", "НДС заказа"),
          A("ZakazOplata", "Оплачено по заказу"), T("IddBox", "Бокс"), C("ZakazPlanEnd", DateTime)},
         {"IddZakaz"}},
        {"TService",
         {T("IddZakaz", "Ключ заказа"), T("IddService", "Ключ услуги"), T("IddTop", "Ключ пакета"),
          Q("Count", "Количество"), T("Name", "Наименование услуги"), A("Price", "Цена"),
          A("PrNDS", "НДС, %"), A("Summa", "Цена с НДС"), C("Time", DateTime), C("PrJob", Bool),
          A("Job", "Оплата исполнителям"), C("Delete", Bool)},
         {}},
        {"TWork",
         {T("IddZakaz", "Ключ заказа"), T("IddService", "Ключ услуги"), T("IddWork", "Ключ сотрудника"),
          T("WorkFIO", "Ф.И.О. исполнителя"), C("Delete", Bool)},
         {}},
        {"TPay",
         {T("IddPay", "Ключ платежа"), T("IddZakaz", "Ключ заказа"), C("TypePay", Long),
          T("NaznPay", "Назначение"), T("NomerPay", "Номер"), C("DataPay", DateTime), A("SummaPay", "Сумма"),
          T("DocPay", "Первичный документ"), T("PrimPay", "Примечание", kNote), C("Delete", Bool)},
         {"IddPay"}},
        {"TWorkPay",
         {T("IddWorkPay", "Ключ строки выплаты"), T("IddPay", "Ключ платежа"),
          T("IddWork", "Ключ сотрудника"), A("SummaWorkPay", "Сумма выплаты"), C("DeleteWorkPay", Bool)},
         {"IddWorkPay"}},
        {"SService",
         {T("IddService", "Ключ услуги"), T("IddTop", "Ключ пакета"), T("Name", "Наименование"),
          A("Price", "Цена"), A("PrNDS", "НДС, %"), A("Summa", "Цена с НДС"), C("Time", DateTime),
          C("PrJob", Bool), A("Job", "Оплата исполнителям"), C("Delete", Bool)},
         {"IddService"}},
        {"ServiceWork",
         {T("IddServiceWork", "Ключ исполнителя услуги"), T("IddService", "Ключ услуги"),
          T("IddWork", "Ключ сотрудника"), C("Delete", Bool)},
         {"IddServiceWork"}},
        {"SWork",
         {T("IddWork", "Ключ сотрудника"), T("WorkFIO", "Ф.И.О."), T("WorkAdres", "Адрес", kAddress),
          T("WorkTel", "Телефон"), C("WorkDataIn", DateTime), C("WorkOut", Bool), C("WorkDataOut", DateTime),
          A("WorkSalary", "Оклад"), C("Delete", Bool)},
         {"IddWork"}},
        {"SBox",
         {T("IddBox", "Ключ бокса"), T("NameBox", "Название бокса"), T("PrimBox", "Примечание", kNote),
          C("Delete", Bool)},
         {"IddBox"}},
        // Tyre storage: the shop's storage places and the sets kept in them.
        {"SPlace",
         {T("IddPlace", "Ключ места хранения"), T("Rack", "Стеллаж", 64), T("Shelf", "Полка", 64),
          T("Cell", "Ячейка", 64), C("Capacity", Long), T("PrimPlace", "Примечание", kNote),
          C("Delete", Bool)},
         {"IddPlace"}},
        {"TTyre",
         {T("IddTyre", "Ключ комплекта шин"), T("IddClient", "Ключ клиента"), T("IddAvto", "Ключ автомобиля"),
          C("Season", Long), T("Maker", "Производитель", 64), T("Model", "Модель шин", 64),
          T("Size", "Размер", 64), C("Count", Long), C("Rims", Bool), T("Tread", "Глубина протектора"),
          T("Damage", "Повреждения", kNote), T("IddPlace", "Место хранения"), C("DateIn", DateTime),
          C("PaidUntil", DateTime), C("DateOut", DateTime), T("IddZakaz", "Ключ заказа"),
          A("Fee", "Плата за сезон"), T("Code", "Код", 64), C("Delete", Bool)},
         {"IddTyre"},
         14},
    };
}

// The directories of cars and clients, the users, the company details and the numbering.
std::vector<TableDef> DirectoryTables() {
    return {
        {"SAvto",
         {T("IddAvto", "Ключ автомобиля"), T("AvtoNomer", "Гос. номер"), T("AvtoMarka", "Модель"),
          T("AvtoVin", "VIN"), T("AvtoDvig", "Номер двигателя"), T("AvtoColor", "Цвет"),
          T("AvtoPrim", "Примечание", kNote)},
         {"IddAvto"}},
        {"SClient",
         {T("IddClient", "Ключ клиента"), T("ClientName", "Наименование клиента"),
          T("ClientFullName", "Полное наименование", kAddress), T("ClientINN", "ИНН/КПП"),
          T("ClientAdres", "Адрес", kAddress), T("ClientAdresF", "Фактический адрес", kAddress),
          T("ClientTel", "Телефон"), T("ClientFaks", "Факс"), T("ClientEmail", "E-mail"),
          T("ClientOKHX", "ОКОНХ"), T("ClientOKPO", "ОКПО"), T("ClientBank", "Банк"),
          T("ClientChet", "Расчётный счёт"), T("ClientKorChet", "Корр. счёт"), T("ClientBIK", "БИК"),
          T("ClientDirector", "Руководитель"), T("ClientByx", "Главный бухгалтер"),
          T("ClientContact", "Контактное лицо"), T("ClientPrim", "Примечание", kNote)},
         {"IddClient"}},
        {"AvtoVlad",
         {T("IddAvtoVlad", "Ключ владельца автомобиля"), T("IddAvto", "Ключ автомобиля"),
          T("IddVlad", "Ключ клиента"), C("Delete", Bool)},
         {"IddAvtoVlad"}},
        // The login begins every key its user makes, so it is kept short enough for the key to fit.
        {"SUser",
         {T("IddUser", "Ключ пользователя"), T("Login", "Логин", 64), T("Name", "Ф.И.О. пользователя"),
          T("Pass", "Пароль"), T("Prova", "Права"), C("Delete", Bool)},
         {"IddUser"}},
        {"SMain",
         {T("IddMain", "Ключ реквизитов"),
          T("MainName", "Наименование организации"),
          T("MainFullName", "Полное наименование", kAddress),
          T("MainINN", "ИНН/КПП"),
          T("MainAdres", "Адрес", kAddress),
          T("MainAdresF", "Фактический адрес", kAddress),
          T("MainTel", "Телефон"),
          T("MainFaks", "Факс"),
          T("MainEmail", "E-mail"),
          T("MainOKHX", "ОКОНХ"),
          T("MainOKPO", "ОКПО"),
          T("MainBank", "Банк"),
          T("MainChet", "Расчётный счёт"),
          T("MainKorChet", "Корр. счёт"),
          T("MainBIK", "БИК"),
          T("MainDirector", "Руководитель"),
          T("MainByx", "Главный бухгалтер"),
          T("MainContact", "Контактное лицо"),
          T("MainPrim", "Примечание", kNote),
          T("MainOpen", "Начало рабочего дня"),
          T("MainClose", "Окончание рабочего дня")},
         {"IddMain"}},
        {"Number",
         {T("iddnum", "Ключ счётчиков"), T("ZakazPr", "Префикс номера заказа"), C("ZakazNomer", Long),
          C("PayNomer", Long), C("OutPayNomer", Long), C("SalaryNomer", Long)},
         {"iddnum"}},
    };
}

const char *kLiveLinkMessage =
    "Этот автомобиль уже связан с этим владельцем.\n"
    "Возможно, связь только что добавлена на другом рабочем месте: обновите список.";
const char *kLiveLoginMessage = "Пользователь с таким логином уже есть!\nУкажите другой логин.";

// Identifying fields are unique so that a duplicate fails loudly; join and filter columns are indexed.
// Both databases accept partial indexes, so "one live row" rules are kept by the database itself.
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
    {"IX_SClient_ClientINN", "SClient", "ClientINN", false, 4},
    // The orders planned on a bay, in the order of their planned start.
    {"IX_TZakaz_Box", "TZakaz", "IddBox, ZakazBegin", false, 12},
    // Every client's debt read from the index alone, without visiting the orders.
    {"IX_TZakaz_Debts", "TZakaz", "IddVlad, ZakazSumma, ZakazOplata", false, 4},
    // The orders in debt, which the order journal lists whatever the period: a handful among many. An
    // index on the debt itself, so that PostgreSQL also keeps statistics of it and knows they are few.
    {"IX_TZakaz_Debt", "TZakaz", "(ZakazSumma - ZakazOplata)", false, 4},
    // What a place holds now, a car's and a client's sets, the sets kept now (the journal's default).
    {"IX_TTyre_Place", "TTyre", "IddPlace, DateOut", false, 14},
    {"IX_TTyre_IddAvto", "TTyre", "IddAvto", false, 14},
    {"IX_TTyre_IddClient", "TTyre", "IddClient", false, 14},
    {"IX_TTyre_Kept", "TTyre", "DateOut, DateIn", false, 14},
    {"UX_TTyre_Code", "TTyre", "Code", true, 14},
    {"UX_AvtoVlad_Live", "AvtoVlad", "IddAvto, IddVlad", true, 2, "[Delete] = FALSE", kLiveLinkMessage},
    {"UX_SUser_Login", "SUser", "Login", true, 2, "[Delete] = FALSE", kLiveLoginMessage},
};

QString Key(const QString &table, const QString &column) {
    return table.toUpper() + u'.' + column.toUpper();
}

const QHash<QString, const ColumnDef *> &ColumnMap() {
    static const QHash<QString, const ColumnDef *> map = [] {
        QHash<QString, const ColumnDef *> m;
        for (const TableDef &t : Schema::Tables())
            for (const ColumnDef &c : t.columns)
                m.insert(Key(QString::fromLatin1(t.name), QString::fromLatin1(c.name)), &c);
        return m;
    }();
    return map;
}

const ColumnDef *FindColumn(const QString &table, const QString &column) {
    return ColumnMap().value(Key(table, column), nullptr);
}

// Amounts a writer may leave out start at zero rather than NULL.
bool HasZeroDefault(const TableDef &t, const ColumnDef &c) {
    const QLatin1StringView table(t.name), column(c.name);
    return (table == QLatin1StringView("TService") && column == QLatin1StringView("Summa")) ||
           (table == QLatin1StringView("TZakaz") &&
            (column == QLatin1StringView("ZakazSumma") || column == QLatin1StringView("ZakazSummaNDS") ||
             column == QLatin1StringView("ZakazOplata")));
}

}  // namespace

namespace SchemaParts {

std::span<const IndexDef> Indexes() {
    return kIndexes;
}

QString TypeName(const ColumnDef &c, bool postgres) {
    switch (c.type) {
        case Text:
            return QStringLiteral("VARCHAR(%1)").arg(c.maxLength);
        case Long:
            return QStringLiteral("BIGINT");  // SQLite keeps every INTEGER in 64 bits anyway
        case Double:
            // SQLite has no exact decimal: there an amount is a REAL rounded to the kopeck before it is
            // written, which reads back as the same figure.
            if (postgres && c.decimals > 0) return QStringLiteral("NUMERIC(15,%1)").arg(c.decimals);
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

void CreateIndex(Database &db, const IndexDef &ix) {
    QString sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                      .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), QString::fromLatin1(ix.name),
                           QString::fromLatin1(ix.table), QString::fromLatin1(ix.columns));
    if (ix.where) sql += QStringLiteral(" WHERE ") + QString::fromLatin1(ix.where);
    db.Exec(sql);
}

void CreateTable(Database &db, const TableDef &t) {
    QStringList cols;
    for (const ColumnDef &c : t.columns) {
        QString def = Bracket(c.name) + u' ' + TypeName(c, db.PostgresStyle());
        if (c.type == Bool) def += QStringLiteral(" DEFAULT FALSE");
        if (HasZeroDefault(t, c)) def += QStringLiteral(" DEFAULT 0");
        cols << def;
    }
    if (!t.primaryKey.isEmpty()) cols << QStringLiteral("PRIMARY KEY (%1)").arg(t.primaryKey.join(u", "));
    db.Exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(Bracket(t.name), cols.join(u", ")));
}

}  // namespace SchemaParts

int FieldMaxLength(const QString &table, const QString &field) {
    const ColumnDef *c = FindColumn(table, field);
    return c && c->type == Text ? c->maxLength : 0;
}

namespace Schema {

const std::vector<TableDef> &Tables() {
    static const std::vector<TableDef> tables = [] {
        std::vector<TableDef> all = WorkTables();
        std::vector<TableDef> directories = DirectoryTables();
        all.insert(all.end(), std::make_move_iterator(directories.begin()),
                   std::make_move_iterator(directories.end()));
        return all;
    }();
    return tables;
}

bool ColumnType(const QString &table, const QString &column, ColType *type) {
    const ColumnDef *c = FindColumn(table, column);
    if (!c) return false;
    if (type) *type = c->type;
    return true;
}

QString Caption(const QString &table, const QString &column) {
    const ColumnDef *c = FindColumn(table, column);
    return c && c->caption ? QString::fromUtf8(c->caption) : column;
}

void CheckLength(const QString &table, const QString &column, const QString &value) {
    const int limit = FieldMaxLength(table, column);
    if (limit <= 0 || value.size() <= limit) return;
    throw DbError(QStringLiteral("Поле «%1» не может быть длиннее %2 символов (введено %3).\n"
                                 "Сократите текст: ничего не сохранено.")
                      .arg(Caption(table, column))
                      .arg(limit)
                      .arg(value.size()),
                  table + u'.' + column);
}

double FitNumber(const QString &table, const QString &column, double value) {
    const ColumnDef *c = FindColumn(table, column);
    if (!c || c->type != Double || c->decimals == 0) return value;
    const auto refuse = [&](const QString &what) {
        throw DbError(QStringLiteral("Поле «%1» %2.\nИсправьте значение: ничего не сохранено.")
                          .arg(Caption(table, column), what),
                      table + u'.' + column);
    };
    if (!std::isfinite(value)) refuse(QStringLiteral("должно быть числом"));
    if (c->decimals == 3) {
        if (!QuantityWithinLimit(value))
            refuse(QStringLiteral("не может быть больше %1 по модулю").arg(QStringLiteral("99 999")));
        return RoundQuantity(value);
    }
    const Money amount = Money::Roubles(value);
    if (!amount.WithinLimit())
        refuse(QStringLiteral("не может быть больше %1 по модулю").arg(MoneyLimitText()));
    return amount.ToDouble();
}

QString ConstraintText(const QString &driverText) {
    for (const IndexDef &ix : kIndexes) {
        if (!ix.message) continue;
        // PostgreSQL names the index; SQLite names the table and its columns.
        QString columns = QString::fromLatin1(ix.columns);
        columns.replace(QStringLiteral(", "), QStringLiteral(", %1.").arg(QLatin1StringView(ix.table)));
        columns.prepend(QString::fromLatin1(ix.table) + u'.');
        if (driverText.contains(QLatin1StringView(ix.name), Qt::CaseInsensitive) ||
            driverText.contains(QStringLiteral("UNIQUE constraint failed: ") + columns, Qt::CaseInsensitive))
            return QString::fromUtf8(ix.message);
    }
    return {};
}

}  // namespace Schema
