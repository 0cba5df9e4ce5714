#include "Schema.h"

#include "ChangeFeed.h"
#include "ChangeLog.h"
#include "Database.h"
#include "DbError.h"
#include "Money.h"
#include "Password.h"
#include "ServerRoles.h"
#include "UserInfo.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

#include <cmath>

namespace {

using enum ColType;

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

std::vector<TableDef> MakeTables() {
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

struct IndexDef {
    const char *name;
    const char *table;
    const char *columns;
    bool unique;
    int since = 1;                  // the schema version that added it
    const char *where = nullptr;    // a partial index: only the rows this holds for
    const char *message = nullptr;  // what the user reads when a write breaks a unique rule
};

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

// An order's total with VAT and the VAT in it, over its live lines that are not package headers: each
// line's amount and VAT rounded to the kopeck, then summed. Kept in the order's row by whoever writes its
// lines, so that debts need not read every line.
QString OrderTotalsSet() {
    const QString lines = QStringLiteral(
        " FROM TService s WHERE s.IddZakaz = TZakaz.IddZakaz AND s.IddTop <> '0' AND s.[Delete] = FALSE), 0)"
        " / 100.0");
    const QString amount = MoneySql::LineAmount(QStringLiteral("s"));
    const QString vat = MoneySql::LineVat(QStringLiteral("s"));
    return QStringLiteral("ZakazSumma = COALESCE((SELECT SUM(%1 + %2)").arg(amount, vat) + lines +
           QStringLiteral(", ZakazSummaNDS = COALESCE((SELECT SUM(%1)").arg(vat) + lines;
}

// One row per order: its stored total, less its live payments (as stored beside it).
const char *kTClientDolg =
    "CREATE VIEW TClientDolg AS SELECT TZakaz.IddZakaz AS IddZakaz, TZakaz.IddVlad AS IddVlad, "
    "ROUND(CAST(COALESCE(TZakaz.ZakazSumma, 0) - COALESCE(TZakaz.ZakazOplata, 0) AS NUMERIC), 2) AS SummD "
    "FROM TZakaz";

// What was paid on an order: its live payments (rounded, as SQLite's sums of REAL amounts leave dust).
// Written as a SET clause for TZakaz rows.
const char *kOrderPaidSet =
    "ZakazOplata = ROUND(CAST(COALESCE((SELECT SUM(p.SummaPay) FROM TPay p WHERE p.IddZakaz = "
    "TZakaz.IddZakaz "
    "AND p.[Delete] = FALSE), 0) AS NUMERIC), 2)";

// The database keeps ZakazOplata whenever a payment is added, changed or removed, by this program or any
// other. On PostgreSQL the order's row is locked first, so that the sum, read by the next statement,
// sees a payment another workstation has just committed on the same order.
const char *const kSqlitePaidTriggers[] = {
    "CREATE TRIGGER TR_TPay_Paid_Insert AFTER INSERT ON TPay BEGIN UPDATE TZakaz SET %1 "
    "WHERE IddZakaz = NEW.IddZakaz; END",
    "CREATE TRIGGER TR_TPay_Paid_Update AFTER UPDATE OF IddZakaz, SummaPay, [Delete] ON TPay BEGIN "
    "UPDATE TZakaz SET %1 WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz); END",
    "CREATE TRIGGER TR_TPay_Paid_Delete AFTER DELETE ON TPay BEGIN UPDATE TZakaz SET %1 "
    "WHERE IddZakaz = OLD.IddZakaz; END"};
const char *const kPostgresPaidTriggers[] = {
    "CREATE OR REPLACE FUNCTION zv_tpay_paid() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
    "PERFORM 1 FROM TZakaz WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz) FOR UPDATE; "
    "UPDATE TZakaz SET %1 WHERE IddZakaz IN (OLD.IddZakaz, NEW.IddZakaz); RETURN NULL; END $$",
    "CREATE TRIGGER TR_TPay_Paid AFTER INSERT OR DELETE OR UPDATE OF IddZakaz, SummaPay, [Delete] ON TPay "
    "FOR EACH ROW EXECUTE FUNCTION zv_tpay_paid()"};

void CreatePaidTriggers(Database &db) {
    const auto run = [&](const char *sql) {
        const QString text = QString::fromLatin1(sql);
        db.Exec(text.contains(u"%1") ? text.arg(QString::fromLatin1(kOrderPaidSet)) : text);
    };
    if (db.PostgresStyle())
        for (const char *sql : kPostgresPaidTriggers) run(sql);
    else
        for (const char *sql : kSqlitePaidTriggers) run(sql);
}

// What each worker earned on each finished order, in kopecks, beside the order's finish: the order's live
// lines that are no package headers, each line's pay shared equally among its live workers and the first
// of them by key taking what the rounding leaves. The database keeps it as orders, lines and their workers
// change, by this program or any other, so that the salary figures add up these rows rather than every
// line of the shop's years. Beside the pay, the amount and VAT of the worker's lines (each line counted
// whole), which the totals of his performed works add up.
const char *kTWorkEarn =
    "CREATE TABLE TWorkEarn (IddZakaz VARCHAR(255) NOT NULL, IddWork VARCHAR(255) NOT NULL, EndOut "
    "TIMESTAMP, Kopecks BIGINT NOT NULL, Amount BIGINT NOT NULL DEFAULT 0, Vat BIGINT NOT NULL DEFAULT 0, "
    "PRIMARY KEY (IddZakaz, IddWork))";
// A worker's orders in the order of their finish, with the figures the totals add up: read from the index
// alone.
QString WorkEarnIndex(const Database &db) {
    return db.PostgresStyle() ? QStringLiteral(
                                    "CREATE INDEX IX_TWorkEarn_Work ON TWorkEarn (IddWork, EndOut, IddZakaz) "
                                    "INCLUDE (Kopecks, Amount, Vat)")
                              : QStringLiteral(
                                    "CREATE INDEX IX_TWorkEarn_Work ON TWorkEarn (IddWork, EndOut, IddZakaz, "
                                    "Kopecks, Amount, Vat)");
}
// The same per worker and day of finish, which a salary figure up to a day adds up: a few rows a day
// where TWorkEarn has one per order and worker. Kept from TWorkEarn by its own triggers.
const char *kTWorkEarnDay =
    "CREATE TABLE TWorkEarnDay (IddWork VARCHAR(255) NOT NULL, EndDay DATE NOT NULL, Kopecks BIGINT NOT "
    "NULL, PRIMARY KEY (IddWork, EndDay))";

// The rows of TWorkEarn for the orders the condition on TZakaz.IddZakaz picks (all when it is empty). Each
// line's workers are counted and its first found over one partition and no order; a line of an old
// database without its pay earns nothing.
QString EarnedRows(const QString &orders) {
    const QString line =
        QStringLiteral("PARTITION BY TService.IddZakaz, TService.IddService, TService.IddTop");
    return QStringLiteral(
               "INSERT INTO TWorkEarn (IddZakaz, IddWork, EndOut, Kopecks, Amount, Vat) SELECT x.IddZakaz, "
               "x.IddWork, MAX(x.EndOut), COALESCE(SUM(") +
           MoneySql::Share(QStringLiteral("x.Pay"), QStringLiteral("x.IddWork = x.FirstWork"),
                           QStringLiteral("x.Workers")) +
           QStringLiteral(
               "), 0), COALESCE(SUM(x.Amount), 0), COALESCE(SUM(x.Vat), 0) FROM (SELECT TZakaz.IddZakaz AS "
               "IddZakaz, TZakaz.ZakazEndOut AS EndOut, TWork.IddWork AS IddWork, ") +
           MoneySql::LinePay(QStringLiteral("TService")) + QStringLiteral(" AS Pay, ") +
           MoneySql::LineAmount(QStringLiteral("TService")) + QStringLiteral(" AS Amount, ") +
           MoneySql::LineVat(QStringLiteral("TService")) +
           QStringLiteral(
               " AS Vat, COUNT(*) OVER (%1) AS Workers, MIN(TWork.IddWork) OVER (%1) AS FirstWork "
               "FROM (TZakaz INNER JOIN TService ON TService.IddZakaz = TZakaz.IddZakaz) INNER JOIN "
               "TWork ON TWork.IddZakaz = TService.IddZakaz AND TWork.IddService = "
               "TService.IddService WHERE TWork.[Delete] = FALSE AND TZakaz.ZakazStatus = 2 AND "
               "TZakaz.[Delete] = FALSE AND TService.IddTop <> '0' AND TService.[Delete] = FALSE")
               .arg(line) +
           (orders.isEmpty() ? QString() : QStringLiteral(" AND TZakaz.IddZakaz ") + orders) +
           QStringLiteral(") x GROUP BY x.IddZakaz, x.IddWork");
}

// The day of a TWorkEarn row's finish (on SQLite written as the program writes a date, so that it compares
// with one).
QString EndDay(const Database &db, const char *row) {
    return db.PostgresStyle()
               ? QStringLiteral("%1.EndOut::date").arg(QLatin1StringView(row))
               : QStringLiteral("substr(%1.EndOut, 1, 10) || ' 00:00:00'").arg(QLatin1StringView(row));
}

// The day rows follow the order rows: a row in adds to its worker's day, a row out takes from it.
void CreateEarnDayTriggers(Database &db) {
    const QString add =
        QStringLiteral(
            "INSERT INTO TWorkEarnDay (IddWork, EndDay, Kopecks) VALUES (NEW.IddWork, %1, NEW.Kopecks) ON "
            "CONFLICT "
            "(IddWork, EndDay) DO UPDATE SET Kopecks = TWorkEarnDay.Kopecks + excluded.Kopecks")
            .arg(EndDay(db, "NEW"));
    const QString take = QStringLiteral(
                             "UPDATE TWorkEarnDay SET Kopecks = Kopecks - OLD.Kopecks WHERE IddWork = "
                             "OLD.IddWork AND EndDay = %1")
                             .arg(EndDay(db, "OLD"));
    if (db.PostgresStyle()) {
        db.Exec(QStringLiteral(
                    "CREATE OR REPLACE FUNCTION zv_work_earn_day() RETURNS trigger LANGUAGE plpgsql AS "
                    "$$ BEGIN IF TG_OP = 'DELETE' THEN IF OLD.EndOut IS NOT NULL THEN %1; END IF; "
                    "ELSIF NEW.EndOut IS NOT NULL THEN %2; END IF; RETURN NULL; END $$")
                    .arg(take, add));
        db.Exec(
            QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day AFTER INSERT OR DELETE ON TWorkEarn FOR EACH ROW "
                           "EXECUTE FUNCTION zv_work_earn_day()"));
        return;
    }
    db.Exec(
        QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day_Insert AFTER INSERT ON TWorkEarn WHEN NEW.EndOut IS "
                       "NOT NULL BEGIN %1; END")
            .arg(add));
    db.Exec(
        QStringLiteral("CREATE TRIGGER TR_TWorkEarn_Day_Delete AFTER DELETE ON TWorkEarn WHEN OLD.EndOut IS "
                       "NOT NULL BEGIN %1; END")
            .arg(take));
}

// The key of the shop's earnings lock on PostgreSQL (an advisory lock; any number the program uses only
// for this).
constexpr qint64 kEarnLock = 740'0001;

// The order's rows again whenever the order, one of its lines or one of their workers is written. An order
// is only looked at again when what it earns may have changed, not when a payment updates what was paid.
const char *const kEarnTables[] = {"TZakaz", "TService", "TWork"};
QString EarnTrigger(const QString &table) {
    return table == QStringLiteral("TZakaz")
               ? QStringLiteral("UPDATE OF IddZakaz, ZakazStatus, ZakazEndOut, [Delete]")
               : QStringLiteral("UPDATE");
}

// Whether the orders the condition on IddZakaz picks may earn anything or have earned before: only then is
// what they earn worked out again (a request or an order in work, the most written, is passed over).
QString MayEarn(const QString &orders) {
    return QStringLiteral(
               "(EXISTS (SELECT 1 FROM TZakaz WHERE IddZakaz %1 AND ZakazStatus = 2) OR "
               "EXISTS (SELECT 1 FROM TWorkEarn WHERE IddZakaz %1))")
        .arg(orders);
}

// The functions of the earnings triggers on PostgreSQL. The orders' rows are locked first (in the order of
// their keys), as for what was paid: two workstations saving one order write its rows one after the other.
// Only an order that may earn is worked out again; before its kept figures are touched, the shop's earnings
// lock is taken to the end of the transaction: a save writes its lines' workers one statement at a time, and
// two orders of the same workers finished on the same day, saved at once with the workers in opposite turns,
// would otherwise each hold one worker's day and wait for the other's.
void CreateEarnFunctions(Database &db) {
    const QString work =
        QStringLiteral(
            "PERFORM 1 FROM TZakaz WHERE IddZakaz = ANY (orders) ORDER BY IddZakaz FOR UPDATE; IF ") +
        MayEarn(QStringLiteral("= ANY (orders)")) +
        QStringLiteral(
            " THEN PERFORM pg_advisory_xact_lock(%1); DELETE FROM TWorkEarn WHERE IddZakaz = ANY "
            "(orders); ")
            .arg(kEarnLock) +
        EarnedRows(QStringLiteral("= ANY (orders)")) + QStringLiteral("; END IF; RETURN NULL; END $$");
    // A row of an order.
    db.Exec(
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_work_earn() RETURNS trigger LANGUAGE plpgsql AS $$ DECLARE "
            "orders VARCHAR[]; BEGIN IF TG_OP <> 'INSERT' THEN orders := orders || OLD.IddZakaz::VARCHAR; "
            "END IF; IF TG_OP <> 'DELETE' THEN orders := orders || NEW.IddZakaz::VARCHAR; END IF; ") +
        work);
    // The rows one statement wrote of lines or their workers (a save writes them many at a time): their
    // orders once each.
    db.Exec(
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION zv_work_earn_rows() RETURNS trigger LANGUAGE plpgsql AS $$ DECLARE "
            "orders VARCHAR[]; BEGIN IF TG_OP = 'INSERT' THEN SELECT array_agg(DISTINCT IddZakaz) INTO "
            "orders FROM zv_new; ELSIF TG_OP = 'DELETE' THEN SELECT array_agg(DISTINCT IddZakaz) INTO "
            "orders FROM zv_old; ELSE SELECT array_agg(DISTINCT IddZakaz) INTO orders FROM (SELECT "
            "IddZakaz FROM zv_new UNION SELECT IddZakaz FROM zv_old) x; END IF; IF orders IS NULL THEN "
            "RETURN NULL; END IF; ") +
        work);
    if (ServerRoles::InUse(db)) ServerRoles::TrustKeepers(db);
}

void CreateEarnTriggers(Database &db) {
    CreateEarnDayTriggers(db);
    if (db.PostgresStyle()) {
        CreateEarnFunctions(db);
        // The order's row by row, for what is written of it; lines and workers by statement.
        db.Exec(
            QStringLiteral("CREATE TRIGGER TR_TZakaz_Earn AFTER INSERT OR DELETE OR %1 ON TZakaz FOR EACH "
                           "ROW EXECUTE FUNCTION zv_work_earn()")
                .arg(EarnTrigger(QStringLiteral("TZakaz"))));
        for (const char *table : {"TService", "TWork"})
            for (const auto &[name, event] :
                 {std::pair{"Insert", "INSERT ON %1 REFERENCING NEW TABLE AS zv_new"},
                  std::pair{"Update", "UPDATE ON %1 REFERENCING OLD TABLE AS zv_old NEW TABLE AS zv_new"},
                  std::pair{"Delete", "DELETE ON %1 REFERENCING OLD TABLE AS zv_old"}})
                db.Exec(QStringLiteral("CREATE TRIGGER TR_%1_Earn_%2 AFTER %3 FOR EACH STATEMENT EXECUTE "
                                       "FUNCTION zv_work_earn_rows()")
                            .arg(QLatin1StringView(table), QLatin1StringView(name),
                                 QString::fromLatin1(event).arg(QLatin1StringView(table))));
        return;
    }
    for (const char *table : kEarnTables) {
        const struct {
            const char *name;
            QString event;
            const char *orders;
        } events[] = {{"Insert", QStringLiteral("INSERT"), "IN (NEW.IddZakaz)"},
                      {"Update", EarnTrigger(QLatin1StringView(table)), "IN (OLD.IddZakaz, NEW.IddZakaz)"},
                      {"Delete", QStringLiteral("DELETE"), "IN (OLD.IddZakaz)"}};
        for (const auto &e : events) {
            const QString orders = QString::fromLatin1(e.orders);
            db.Exec(QStringLiteral("CREATE TRIGGER TR_%1_Earn_%2 AFTER %3 ON %1 WHEN %4 BEGIN DELETE FROM "
                                   "TWorkEarn WHERE IddZakaz %5; %6; END")
                        .arg(QLatin1StringView(table), QLatin1StringView(e.name), e.event, MayEarn(orders),
                             orders, EarnedRows(orders)));
        }
    }
}

// The kept figures made, filled for the orders there are, and kept from then on.
void CreateWorkEarn(Database &db) {
    db.Exec(QString::fromLatin1(kTWorkEarn));
    db.Exec(WorkEarnIndex(db));
    db.Exec(QString::fromLatin1(kTWorkEarnDay));
    Schema::KeepWorkEarn(db);
}

// One row per client: the sum of its orders' outstanding amounts.
const char *kTClientDolgD =
    "CREATE VIEW TClientDolgD AS SELECT TClientDolg.IddVlad AS IddVlad, ROUND(CAST(SUM(TClientDolg.SummD) AS "
    "NUMERIC), 2) AS Sum_SummD FROM TClientDolg GROUP BY TClientDolg.IddVlad";

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

bool HasColumn(Database &db, const QString &table, const QString &column) {
    return db.PostgresStyle()
               ? db.Exec(QStringLiteral(
                             "SELECT 1 FROM information_schema.columns WHERE table_schema = "
                             "current_schema() AND table_name = lower(?) AND column_name = lower(?)"),
                         {table, column})
                     .next()
               : db.Exec(QStringLiteral("SELECT 1 FROM pragma_table_info(?) WHERE lower(name) = lower(?)"),
                         {table, column})
                     .next();
}

void CreateIndex(Database &db, const IndexDef &ix) {
    QString sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                      .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), QString::fromLatin1(ix.name),
                           QString::fromLatin1(ix.table), QString::fromLatin1(ix.columns));
    if (ix.where) sql += QStringLiteral(" WHERE ") + QString::fromLatin1(ix.where);
    db.Exec(sql);
}

void SetVersion(Database &db, int version) {
    if (!HasTable(db, QStringLiteral("ZvSchema"))) {
        db.Exec(QStringLiteral("CREATE TABLE ZvSchema (Version INTEGER NOT NULL)"));
        db.Exec(QStringLiteral("INSERT INTO ZvSchema (Version) VALUES (?)"), {version});
        return;
    }
    db.Exec(QStringLiteral("UPDATE ZvSchema SET Version = ?"), {version});
}

// Amounts a writer may leave out start at zero rather than NULL.
bool HasZeroDefault(const TableDef &t, const ColumnDef &c) {
    const QLatin1StringView table(t.name), column(c.name);
    return (table == QLatin1StringView("TService") && column == QLatin1StringView("Summa")) ||
           (table == QLatin1StringView("TZakaz") &&
            (column == QLatin1StringView("ZakazSumma") || column == QLatin1StringView("ZakazSummaNDS") ||
             column == QLatin1StringView("ZakazOplata")));
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

void Create(Database &db) {
    for (const TableDef &t : Schema::Tables()) CreateTable(db, t);
    for (const IndexDef &ix : kIndexes) CreateIndex(db, ix);
    CreatePaidTriggers(db);
    CreateWorkEarn(db);
    ChangeFeed::CreateTriggers(db);
    db.Exec(QString::fromLatin1(kTClientDolg));
    db.Exec(QString::fromLatin1(kTClientDolgD));

    db.Exec(QStringLiteral("INSERT INTO SMain (IddMain) VALUES (?)"), {QStringLiteral("1")});
    db.Exec(QStringLiteral(
                "INSERT INTO [Number] (iddnum, ZakazPr, ZakazNomer, PayNomer, OutPayNomer, SalaryNomer) "
                "VALUES (?, ?, 0, 0, 0, 0)"),
            {QStringLiteral("1"), QStringLiteral("")});
    ChangeLog::Create(db);
    SetVersion(db, Schema::kVersion);
}

// Version 1 -> 2.
void UpgradeTo2(Database &db) {
    if (db.PostgresStyle()) {
        // Version 1 kept long columns in 32 bits and every text in 255 characters.
        for (const TableDef &t : Schema::Tables())
            for (const ColumnDef &c : t.columns)
                if (t.since == 1 && (c.type == Long || (c.type == Text && c.maxLength > 255)))
                    db.Exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3")
                                .arg(Bracket(t.name), Bracket(c.name), TypeName(c, true)));
    }
    // A car linked twice to one owner keeps its oldest live link; the others are marked deleted, which is
    // what removing an owner does anyway.
    db.Exec(QStringLiteral(
                "UPDATE AvtoVlad SET [Delete] = ? WHERE [Delete] = ? AND EXISTS (SELECT 1 FROM AvtoVlad o "
                "WHERE o.IddAvto = AvtoVlad.IddAvto AND o.IddVlad = AvtoVlad.IddVlad AND o.[Delete] = ? "
                "AND o.IddAvtoVlad < AvtoVlad.IddAvtoVlad)"),
            {true, false, false});
    // Live users sharing a login are told apart by a number after it; they log in by name, so nobody is
    // locked out, and the keys they make from now on differ.
    QSet<QString> taken;
    QList<std::pair<QString, QString>> renames;
    {
        QSqlQuery q = db.Exec(QStringLiteral("SELECT IddUser, Login FROM SUser WHERE [Delete] = ? "
                                             "ORDER BY Login, IddUser"),
                              {false});
        QStringList logins;
        QList<QString> users;
        while (q.next()) {
            users << q.value(0).toString();
            logins << q.value(1).toString();
        }
        for (const QString &l : logins) taken.insert(l);
        QSet<QString> seen;
        for (qsizetype i = 0; i < users.size(); ++i) {
            if (!seen.contains(logins[i])) {
                seen.insert(logins[i]);
                continue;
            }
            QString fresh;
            for (int n = 2; fresh.isEmpty() || taken.contains(fresh); ++n)
                fresh = logins[i] + QString::number(n);
            taken.insert(fresh);
            renames << std::pair{users[i], fresh};
        }
    }
    for (const auto &[iddUser, login] : renames)
        db.Exec(QStringLiteral("UPDATE SUser SET Login = ? WHERE IddUser = ?"), {login, iddUser});
    for (const IndexDef &ix : kIndexes)
        if (ix.since == 2) CreateIndex(db, ix);
}

// Version 2 -> 3: orders keep their totals, and the debt views read them.
void UpgradeTo3(Database &db) {
    for (const char *column : {"ZakazSumma", "ZakazSummaNDS"})
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN %1 %2 DEFAULT 0")
                    .arg(Bracket(column), TypeName(ColumnDef{column, Double}, db.PostgresStyle())));
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderTotalsSet());
    // The debt views are made again by the next step, over the columns it adds.
    db.Exec(QStringLiteral("DROP VIEW TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW TClientDolg"));
}

// Version 3 -> 4: orders keep what was paid on them, and clients are found by INN through an index.
void UpgradeTo4(Database &db) {
    db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN ZakazOplata %1 DEFAULT 0")
                .arg(TypeName(ColumnDef{"ZakazOplata", Double}, db.PostgresStyle())));
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + QString::fromLatin1(kOrderPaidSet));
    CreatePaidTriggers(db);
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolg"));
    db.Exec(QString::fromLatin1(kTClientDolg));
    db.Exec(QString::fromLatin1(kTClientDolgD));
    for (const IndexDef &ix : kIndexes)
        if (ix.since == 4) CreateIndex(db, ix);
}

struct Step {
    int to;
    void (*run)(Database &);
};
// Version 4 -> 5: every amount to the kopeck and every quantity to three decimals, NUMERIC on PostgreSQL;
// order totals summed again from the rounded lines, and what was paid from the rounded payments.
void UpgradeTo5(Database &db) {
    // The views and the paid trigger name the columns whose type changes; they are made again after.
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolgD"));
    db.Exec(QStringLiteral("DROP VIEW IF EXISTS TClientDolg"));
    if (db.PostgresStyle())
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TPay_Paid ON TPay"));
    else
        for (const char *name : {"TR_TPay_Paid_Insert", "TR_TPay_Paid_Update", "TR_TPay_Paid_Delete"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1StringView(name)));
    for (const TableDef &t : Schema::Tables())
        for (const ColumnDef &c : t.columns) {
            if (t.since > 5 || c.type != Double || c.decimals == 0) continue;
            if (db.PostgresStyle())
                db.Exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE %3 USING ROUND(%2::numeric, %4)")
                            .arg(Bracket(t.name), Bracket(c.name), TypeName(c, true))
                            .arg(c.decimals));
            else
                db.Exec(QStringLiteral("UPDATE %1 SET %2 = ROUND(%2, %3) WHERE %2 IS NOT NULL")
                            .arg(Bracket(t.name), Bracket(c.name))
                            .arg(c.decimals));
        }
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderTotalsSet());
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + QString::fromLatin1(kOrderPaidSet));
    CreatePaidTriggers(db);
    db.Exec(QString::fromLatin1(kTClientDolg));
    db.Exec(QString::fromLatin1(kTClientDolgD));
}

// Version 5 -> 6: no password is kept as it was typed any more, and on PostgreSQL the users become the
// server's own roles (see ServerRoles; the users' roles are made as each logs in or is saved).
void UpgradeTo6(Database &db) {
    QList<std::pair<QString, QString>> plain;
    bool anyUser = false;
    QSqlQuery q = db.Exec(QStringLiteral("SELECT IddUser, Pass, [Delete] FROM SUser"));
    while (q.next()) {
        const QString pass = q.value(1).toString();
        if (!pass.isEmpty() && !Password::IsHash(pass)) plain.append({q.value(0).toString(), pass});
        anyUser = anyUser || !q.value(2).toBool();
    }
    q.finish();
    for (const auto &[id, pass] : plain)
        db.Exec(QStringLiteral("UPDATE SUser SET Pass = ? WHERE IddUser = ?"), {Password::Hash(pass), id});
    if (db.dialect() == Dialect::Postgres && anyUser) ServerRoles::Install(db);
}

// Version 6 -> 7: the database keeps what each worker earned on each finished order (TWorkEarn); on
// PostgreSQL the clerks' groups may read it and its trigger writes it for them.
void UpgradeTo7(Database &db) {
    CreateWorkEarn(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 7 -> 8: on PostgreSQL the earnings triggers take the shop's earnings lock before they touch the
// kept figures of finished orders (nothing changes on SQLite, whose writers take turns anyway).
void UpgradeTo8(Database &db) {
    if (db.PostgresStyle()) CreateEarnFunctions(db);
}

// Version 8 -> 9: the kept earnings carry the amount and VAT of each worker's lines, and a worker's orders
// are found in the order of their finish, so that his performed works show their totals and first screen
// without reading every line of his years; the earnings triggers pass over orders that cannot earn. (A
// database older than version 7 got all of it when it was upgraded to 7 by this program.)
void UpgradeTo9(Database &db) {
    if (HasColumn(db, QStringLiteral("TWorkEarn"), QStringLiteral("Amount"))) return;
    for (const char *column : {"Amount", "Vat"})
        db.Exec(QStringLiteral("ALTER TABLE TWorkEarn ADD COLUMN %1 BIGINT NOT NULL DEFAULT 0")
                    .arg(QLatin1StringView(column)));
    db.Exec(WorkEarnIndex(db));
    Schema::KeepWorkEarn(db);
}

// Version 9 -> 10: the database records every write to the tables the screens show, so that other windows
// and workstations show it too.
void UpgradeTo10(Database &db) {
    ChangeFeed::CreateTriggers(db);
}

// Version 10 -> 11: the database keeps a log of every change to the shop's records (see ChangeLog); on
// PostgreSQL the administrators of the users may read it.
void UpgradeTo11(Database &db) {
    ChangeLog::Create(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 11 -> 12: an order may be planned on a bay, until a planned end (its planned start is ZakazBegin).
// The log's triggers on SQLite list the orders' columns, so they are made again with the new ones.
void UpgradeTo12(Database &db) {
    // (A database made by a program that knew them may have them already.)
    if (!HasColumn(db, QStringLiteral("TZakaz"), QStringLiteral("IddBox"))) {
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN IddBox VARCHAR(255)"));
        db.Exec(QStringLiteral("ALTER TABLE TZakaz ADD COLUMN ZakazPlanEnd TIMESTAMP"));
        for (const IndexDef &ix : kIndexes)
            if (ix.since == 12) CreateIndex(db, ix);
    }
    if (!db.PostgresStyle()) {
        Schema::DropRowTriggers(db, QStringLiteral("ZvLog"), {QStringLiteral("TZakaz")});
        ChangeLog::Create(db);
    }
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

// Version 12 -> 13: the company details keep the shop's working hours, which the bay board spans; whoever
// may see the order journal may see the bays' load (a right appended after the others).
void UpgradeTo13(Database &db) {
    if (!HasColumn(db, QStringLiteral("SMain"), QStringLiteral("MainOpen"))) {
        db.Exec(QStringLiteral("ALTER TABLE SMain ADD COLUMN MainOpen VARCHAR(255)"));
        db.Exec(QStringLiteral("ALTER TABLE SMain ADD COLUMN MainClose VARCHAR(255)"));
    }
    QSqlQuery users = db.Exec(QStringLiteral("SELECT IddUser, Prova FROM SUser"));
    QList<std::pair<QString, QString>> granted;
    while (users.next()) {
        QString rights = users.value(1).toString();
        if (!rights.startsWith(u'1') || rights.size() > Rights::Position(Right::BayBoard)) continue;
        rights = rights.leftJustified(Rights::Position(Right::BayBoard), u'0') + u'1';
        granted.append({users.value(0).toString(), rights});
    }
    for (const auto &[user, rights] : granted)
        db.Exec(QStringLiteral("UPDATE SUser SET Prova = ? WHERE IddUser = ?"), {rights, user});
    if (!db.PostgresStyle()) {
        Schema::DropRowTriggers(db, QStringLiteral("ZvLog"), {QStringLiteral("SMain")});
        ChangeLog::Create(db);
    }
}

// Version 13 -> 14: seasonal tyre storage (its places and sets), with four rights appended after the
// others, granted to nobody until the administrator gives them.
void UpgradeTo14(Database &db) {
    if (!HasTable(db, QStringLiteral("TTyre"))) {
        for (const TableDef &t : Schema::Tables())
            if (t.since == 14) CreateTable(db, t);
        for (const IndexDef &ix : kIndexes)
            if (ix.since == 14) CreateIndex(db, ix);
    }
    ChangeFeed::CreateTriggers(db);
    ChangeLog::Create(db);
    if (db.dialect() == Dialect::Postgres && !ServerRoles::Prefix(db).isEmpty()) ServerRoles::Install(db);
}

const Step kSteps[] = {{2, UpgradeTo2},   {3, UpgradeTo3},   {4, UpgradeTo4},   {5, UpgradeTo5},
                       {6, UpgradeTo6},   {7, UpgradeTo7},   {8, UpgradeTo8},   {9, UpgradeTo9},
                       {10, UpgradeTo10}, {11, UpgradeTo11}, {12, UpgradeTo12}, {13, UpgradeTo13},
                       {14, UpgradeTo14}};

QString NewerText() {
    return QStringLiteral(
        "База данных создана более новой версией программы.\n"
        "Установите на этом рабочем месте ту же версию программы, что и на других.");
}

}  // namespace

int FieldMaxLength(const QString &table, const QString &field) {
    const ColumnDef *c = FindColumn(table, field);
    return c && c->type == Text ? c->maxLength : 0;
}

namespace Schema {

const std::vector<TableDef> &Tables() {
    static const std::vector<TableDef> tables = MakeTables();
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

int StoredVersion(Database &db) {
    if (!HasTable(db, QStringLiteral("TZakaz"))) return 0;
    if (!HasTable(db, QStringLiteral("ZvSchema"))) return 1;
    QSqlQuery q = db.Exec(QStringLiteral("SELECT Version FROM ZvSchema"));
    return q.next() ? q.value(0).toInt() : 1;
}

void Ensure(Database &db) {
    // The usual case, a database of this version, needs no lock.
    int version = StoredVersion(db);
    if (version == kVersion) return;
    if (version > kVersion) throw DbError(NewerText());

    Transaction tx(db);
    // Another program may be creating or upgrading the same database right now: wait for it, then look
    // again. SQLite's write lock is taken at Begin; PostgreSQL needs a lock of its own, as its tables
    // do not exist yet.
    if (db.PostgresStyle())
        db.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('zv-schema ' || current_schema()))"));
    version = StoredVersion(db);
    if (version > kVersion) throw DbError(NewerText());
    if (version == 0) {
        Create(db);
    } else {
        for (const Step &step : kSteps) {
            if (step.to <= version) continue;
            step.run(db);
            version = step.to;
        }
        SetVersion(db, version);
    }
    tx.Commit();
}

void RefreshOrderTotals(Database &db, const QString &iddZakaz) {
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + OrderTotalsSet() + QStringLiteral(" WHERE IddZakaz = ?"),
            {iddZakaz});
}

void RefreshAllOrdersPaid(Database &db) {
    db.Exec(QStringLiteral("UPDATE TZakaz SET ") + QString::fromLatin1(kOrderPaidSet));
}

void StopKeepingWorkEarn(Database &db) {
    if (db.PostgresStyle()) {
        // (Up to version 8 lines and workers had a trigger by row, as orders have.)
        for (const char *table : kEarnTables) {
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn ON %1").arg(QLatin1StringView(table)));
            for (const char *event : {"Insert", "Update", "Delete"})
                db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn_%2 ON %1")
                            .arg(QLatin1StringView(table), QLatin1StringView(event)));
        }
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TWorkEarn_Day ON TWorkEarn"));
        return;
    }
    for (const char *table : kEarnTables)
        for (const char *event : {"Insert", "Update", "Delete"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_%1_Earn_%2")
                        .arg(QLatin1StringView(table), QLatin1StringView(event)));
    for (const char *event : {"Insert", "Delete"})
        db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS TR_TWorkEarn_Day_%1").arg(QLatin1StringView(event)));
}

void KeepWorkEarn(Database &db) {
    // Filled in two statements with the triggers off, rather than row by row through them.
    Transaction tx(db);
    StopKeepingWorkEarn(db);
    db.Exec(QStringLiteral("DELETE FROM TWorkEarnDay"));
    db.Exec(QStringLiteral("DELETE FROM TWorkEarn"));
    db.Exec(EarnedRows({}));
    db.Exec(
        QStringLiteral("INSERT INTO TWorkEarnDay (IddWork, EndDay, Kopecks) SELECT IddWork, %1, SUM(Kopecks) "
                       "FROM TWorkEarn WHERE EndOut IS NOT NULL GROUP BY IddWork, %1")
            .arg(EndDay(db, "TWorkEarn")));
    CreateEarnTriggers(db);
    tx.Commit();
}

bool TableExists(Database &db, const QString &name) {
    return HasTable(db, name);
}

void DropRowTriggers(Database &db, const QString &prefix, const QStringList &tables) {
    for (const QString &table : tables) {
        if (db.PostgresStyle() && !HasTable(db, table)) continue;  // a table a later version adds
        const QString on = db.PostgresStyle() ? QStringLiteral(" ON [%1]").arg(table) : QString();
        if (db.PostgresStyle())
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1_%2").arg(prefix, table) + on);
        for (const char *event : {"INSERT", "UPDATE", "DELETE"})
            db.Exec(QStringLiteral("DROP TRIGGER IF EXISTS %1_%2_%3")
                        .arg(prefix, table, QLatin1StringView(event)) +
                    on);
    }
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
