#include "ServerRoles.h"

#include "Database.h"
#include "DbError.h"
#include "UserInfo.h"

#include <libpq-fe.h>
#include <QSet>
#include <QSqlDriver>

namespace {

// The group of each position of the rights string that changes data; reading is every user's.
constexpr const char *kGroupOf[Rights::kCount] = {
    nullptr,         "add_order",   "edit_order",   "delete_order",   "add_order_pay", "edit_order_pay",
    "del_order_pay", "mark_start",  "mark_end",     nullptr,          "add_cash",      "edit_cash",
    "delete_cash",   nullptr,       "add_salary",   "edit_salary",    "delete_salary", "company",
    "users",         "add_service", "edit_service", "delete_service", "add_worker",    "edit_worker",
    "delete_worker", nullptr,       nullptr,        "numbering",      nullptr,         nullptr,
    "tyre_in",       "tyre_out",    "tyre_delete"};
constexpr const char *kStaff = "staff";  // every program user
// TPay.TypePay of a salary payout and of an order's payment (the money records' own names sit above us).
constexpr int kSalaryPayoutKind = 1, kOrderPaymentKind = 0;

// What each group may do. Rows are only ever marked deleted, except orders, which the program removes
// with their lines: so no group may DELETE a payment or a payout, and marking one deleted is the
// [Delete] column's privilege alone.
struct Grant {
    const char *group;
    const char *privileges;
    const char *table;
    const char *needs = nullptr;  // a column a later version adds: granted once it is there
};
constexpr const char *kPayColumns =
    "IddPay, IddZakaz, TypePay, NaznPay, NomerPay, DataPay, SummaPay, DocPay, PrimPay";
const Grant kGrants[] = {
    {kStaff, "SELECT", "TZakaz"},
    {kStaff, "SELECT", "TService"},
    {kStaff, "SELECT", "TWork"},
    {kStaff, "SELECT", "TPay"},
    {kStaff, "SELECT", "TWorkPay"},
    {kStaff, "SELECT", "TWorkEarn"},
    {kStaff, "SELECT", "TWorkEarnDay"},
    {kStaff, "SELECT", "SService"},
    {kStaff, "SELECT", "ServiceWork"},
    {kStaff, "SELECT", "SWork"},
    {kStaff, "SELECT", "SMain"},
    {kStaff, "SELECT", "[Number]"},
    {kStaff, "SELECT", "ZvSchema"},
    {kStaff, "SELECT", "TClientDolg"},
    {kStaff, "SELECT", "TClientDolgD"},
    {kStaff, "SELECT (IddUser, Login, [Name], Prova, [Delete])", "SUser"},
    // The directories that need no right.
    {kStaff, "SELECT, INSERT, UPDATE, DELETE", "SClient"},
    {kStaff, "SELECT, INSERT, UPDATE, DELETE", "SAvto"},
    {kStaff, "SELECT, INSERT, UPDATE, DELETE", "AvtoVlad"},
    {kStaff, "SELECT, INSERT, UPDATE, DELETE", "SBox"},
    // Every document takes its number; only "numbering" may lower a counter or change the prefix.
    {kStaff, "INSERT, UPDATE (ZakazNomer, PayNomer, OutPayNomer, SalaryNomer)", "[Number]"},
    {kStaff, "SELECT", "SPlace"},
    {kStaff, "SELECT", "TTyre"},
    // Whoever takes sets in keeps the places they go to.
    {"tyre_in", "INSERT, UPDATE", "SPlace"},
    {"tyre_in", "INSERT", "TTyre"},
    {"tyre_in",
     "UPDATE (IddClient, IddAvto, Season, Maker, Model, Size, [Count], Rims, Tread, Damage, IddPlace, "
     "DateIn, "
     "PaidUntil, IddZakaz, Fee)",
     "TTyre"},
    {"tyre_out", "UPDATE (DateOut)", "TTyre"},
    {"tyre_delete", "UPDATE ([Delete])", "TTyre"},
    {"add_order", "INSERT", "TZakaz"},
    {"add_order", "UPDATE (ZakazNomer, ZakazSumma, ZakazSummaNDS)", "TZakaz"},
    {"add_order", "INSERT", "TService"},
    {"add_order", "INSERT", "TWork"},
    {"edit_order",
     "UPDATE (ZakazNomer, ZakazData, ZakazBegin, ZakazBeginIn, ZakazEndOut, IddAvto, IddVlad, ZakazStatus, "
     "ZakazSumma, ZakazSummaNDS)",
     "TZakaz"},
    {"edit_order", "UPDATE (IddBox, ZakazPlanEnd)", "TZakaz", "zakazplanend"},
    {"edit_order", "INSERT, UPDATE", "TService"},
    {"edit_order", "INSERT, UPDATE", "TWork"},
    {"delete_order", "DELETE", "TZakaz"},
    {"delete_order", "DELETE", "TService"},
    {"delete_order", "DELETE", "TWork"},
    {"add_order_pay", "INSERT", "TPay"},
    {"edit_order_pay", "UPDATE (%pay)", "TPay"},
    {"del_order_pay", "UPDATE ([Delete])", "TPay"},
    {"mark_start", "UPDATE (ZakazStatus, ZakazBeginIn)", "TZakaz"},
    {"mark_end", "UPDATE (ZakazStatus, ZakazEndOut)", "TZakaz"},
    {"add_cash", "INSERT", "TPay"},
    {"edit_cash", "UPDATE (%pay)", "TPay"},
    {"delete_cash", "UPDATE ([Delete])", "TPay"},
    {"add_salary", "INSERT", "TPay"},
    {"add_salary", "INSERT", "TWorkPay"},
    {"edit_salary", "UPDATE (%pay)", "TPay"},
    {"edit_salary", "INSERT, UPDATE (IddPay, IddWork, SummaWorkPay, DeleteWorkPay)", "TWorkPay"},
    {"delete_salary", "UPDATE ([Delete])", "TPay"},
    {"delete_salary", "UPDATE (DeleteWorkPay)", "TWorkPay"},
    {"company", "INSERT, UPDATE", "SMain"},
    {"users", "SELECT, INSERT, UPDATE", "SUser"},
    {"add_service", "INSERT", "SService"},
    {"add_service", "INSERT", "ServiceWork"},
    {"edit_service", "INSERT, UPDATE (IddService, IddTop, [Name], Price, PrNDS, Summa, [Time], PrJob, Job)",
     "SService"},
    {"edit_service", "INSERT, UPDATE", "ServiceWork"},
    {"delete_service", "UPDATE ([Delete])", "SService"},
    {"delete_service", "UPDATE ([Delete])", "ServiceWork"},
    {"add_worker", "INSERT", "SWork"},
    {"add_worker", "INSERT", "ServiceWork"},
    {"edit_worker",
     "UPDATE (IddWork, WorkFIO, WorkAdres, WorkTel, WorkDataIn, WorkOut, WorkDataOut, WorkSalary)", "SWork"},
    {"edit_worker", "INSERT, UPDATE", "ServiceWork"},
    // A worker's deletion marks his links, his works in orders and his payout lines too.
    {"delete_worker", "UPDATE ([Delete])", "SWork"},
    {"delete_worker", "UPDATE ([Delete])", "ServiceWork"},
    {"delete_worker", "UPDATE ([Delete])", "TWork"},
    {"delete_worker", "UPDATE (DeleteWorkPay)", "TWorkPay"},
    {"numbering", "INSERT, UPDATE", "[Number]"},
    // The change log is written by the database alone; the administrators of the users read it.
    {"users", "SELECT", "ZvLog"},
};

QString Latin(const char *text) {
    return QString::fromLatin1(text);
}

QString Ident(const QString &name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString Literal(const QString &text) {
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString Group(const QString &prefix, const char *name) {
    return prefix + u'_' + Latin(name);
}

QStringList AllGroups(const QString &prefix) {
    QStringList all{Group(prefix, kStaff)};
    for (const char *name : kGroupOf)
        if (name) all << Group(prefix, name);
    return all;
}

bool RoleExists(Database &db, const QString &role) {
    return db.Exec(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"), {role}).next();
}

// The groups the role is a member of.
QStringList Memberships(Database &db, const QString &role) {
    QSqlQuery q = db.Exec(QStringLiteral("SELECT g.rolname FROM pg_auth_members m JOIN pg_roles r ON r.oid = "
                                         "m.member JOIN pg_roles g ON g.oid = m.roleid WHERE r.rolname = ?"),
                          {role});
    QStringList groups;
    while (q.next()) groups << q.value(0).toString();
    return groups;
}

bool IsMember(Database &db, const QString &role, const QString &group) {
    return Memberships(db, role).contains(group);
}

// The password as the server keeps it (a SCRAM verifier), worked out here so that the password itself
// never travels to the server or into its statement log.
QString Verifier(Database &db, const QString &role, const QString &password) {
    const QVariant handle = db.handle().driver()->handle();
    PGconn *conn = handle.isValid() ? *static_cast<PGconn *const *>(handle.constData()) : nullptr;
    if (!conn) throw DbError(QStringLiteral("Нет соединения с сервером базы данных."));
    char *made = PQencryptPasswordConn(conn, password.toUtf8().constData(), role.toUtf8().constData(),
                                       "scram-sha-256");
    if (!made) throw DbError(QString::fromUtf8(PQerrorMessage(conn)).trimmed());
    const QString verifier = QString::fromLatin1(made);
    PQfreemem(made);
    return verifier;
}

// Lowering a counter (which would give documents numbers already used) is the numbering right's.
QString NumberGuard(const QString &prefix) {
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION zv_number_guard() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
               "IF (NEW.ZakazNomer < OLD.ZakazNomer OR NEW.PayNomer < OLD.PayNomer OR NEW.OutPayNomer < "
               "OLD.OutPayNomer OR NEW.SalaryNomer < OLD.SalaryNomer) AND NOT pg_has_role(%1, 'USAGE') THEN "
               "RAISE EXCEPTION 'counters may only grow' USING ERRCODE = '42501'; END IF; RETURN NEW; END $$")
        .arg(Literal(Group(prefix, "numbering")));
}

// Who may write a cash-desk row depends on its kind, as in the program: a payout is the salary rights',
// an order payment the order rights' or the cash desk's (its journal lists them too), the rest the cash
// desk's. Column privileges alone cannot tell the kinds apart.
QString PayGuard(const QString &prefix) {
    const auto may = [&](const char *group) {
        return QStringLiteral("pg_has_role(%1, 'USAGE')").arg(Literal(Group(prefix, group)));
    };
    const auto byKind = [&](const char *salary, const char *order, const char *cash) {
        return QStringLiteral("CASE kind WHEN %1 THEN %2 WHEN %3 THEN %4 OR %5 ELSE %5 END")
            .arg(QString::number(kSalaryPayoutKind), may(salary), QString::number(kOrderPaymentKind),
                 may(order), may(cash));
    };
    return QStringLiteral(
               "CREATE OR REPLACE FUNCTION zv_tpay_guard() RETURNS trigger LANGUAGE plpgsql AS $$ DECLARE "
               "kind "
               "BIGINT; allowed BOOLEAN; BEGIN "
               "IF TG_OP = 'INSERT' THEN kind := NEW.TypePay; allowed := %1; "
               "ELSE kind := OLD.TypePay; "
               "IF NEW.\"delete\" IS DISTINCT FROM OLD.\"delete\" THEN allowed := %2; ELSE allowed := %3; "
               "END IF; "
               "IF NEW.TypePay IS DISTINCT FROM OLD.TypePay THEN kind := NEW.TypePay; allowed := allowed AND "
               "%3; "
               "END IF; END IF; "
               "IF NOT COALESCE(allowed, FALSE) THEN RAISE EXCEPTION 'no right for this kind of payment' "
               "USING "
               "ERRCODE = '42501'; END IF; RETURN NEW; END $$")
        .arg(QStringLiteral("CASE kind WHEN %1 THEN %2 WHEN %3 THEN %4 ELSE %5 END")
                 .arg(QString::number(kSalaryPayoutKind), may("add_salary"),
                      QString::number(kOrderPaymentKind), may("add_order_pay"), may("add_cash")),
             byKind("delete_salary", "del_order_pay", "delete_cash"),
             byKind("edit_salary", "edit_order_pay", "edit_cash"));
}

QString MakePrefix(Database &db) {
    QSqlQuery q = db.Exec(QStringLiteral("SELECT current_database(), current_schema()"));
    q.next();
    QString name = QStringLiteral("zv_") + q.value(0).toString();
    if (q.value(1).toString() != u"public") name += u'_' + q.value(1).toString();
    name = name.toLower();
    for (QChar &c : name)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_')) c = u'_';
    // Room for the longest group name within the server's 63 characters.
    return name.left(44);
}

}  // namespace

namespace ServerRoles {

QString Prefix(Database &db) {
    if (db.dialect() != Dialect::Postgres) return {};
    const bool kept = db.Exec(QStringLiteral("SELECT 1 FROM information_schema.columns WHERE table_schema = "
                                             "current_schema() AND table_name = 'zvschema' AND column_name = "
                                             "'roleprefix'"))
                          .next();
    if (!kept) return {};
    QSqlQuery q = db.Exec(QStringLiteral("SELECT RolePrefix FROM ZvSchema"));
    return q.next() ? q.value(0).toString() : QString();
}

void TrustKeepers(Database &db) {
    // What was paid on an order is kept by the payment's trigger, which no clerk could write himself.
    // So is what each worker earned, by the triggers on orders, lines and their workers.
    for (const char *function : {"zv_tpay_paid", "zv_work_earn", "zv_work_earn_rows", "zv_work_earn_day"})
        if (db.Exec(QStringLiteral("SELECT 1 FROM pg_proc WHERE proname = ? AND pronamespace = "
                                   "current_schema()::regnamespace"),
                    {QString::fromLatin1(function)})
                .next())
            db.Exec(QStringLiteral("ALTER FUNCTION %1() SECURITY DEFINER SET search_path FROM CURRENT")
                        .arg(QLatin1StringView(function)));
}

bool InUse(Database &db) {
    return !Prefix(db).isEmpty();
}

QStringList Groups(const QString &prefix, const QString &rights) {
    QStringList groups{Group(prefix, kStaff)};
    for (int i = 0; i < Rights::kCount; ++i)
        if (kGroupOf[i] && i < rights.size() && rights[i] == u'1') groups << Group(prefix, kGroupOf[i]);
    return groups;
}

void Install(Database &db) {
    if (db.dialect() != Dialect::Postgres)
        throw DbError(QStringLiteral("Роли сервера есть только у базы данных PostgreSQL."));
    Transaction tx(db);
    QSqlQuery may =
        db.Exec(QStringLiteral("SELECT rolcreaterole OR rolsuper FROM pg_roles WHERE rolname = "
                               "current_user"));
    if (!may.next() || !may.value(0).toBool())
        throw DbError(QStringLiteral(
            "Роль, под которой открыта база данных, не может создавать роли сервера.\n"
            "Выполните на сервере ALTER ROLE <владелец базы> CREATEROLE и запустите программу снова."));
    may.finish();
    db.Exec(QStringLiteral("ALTER TABLE ZvSchema ADD COLUMN IF NOT EXISTS RolePrefix VARCHAR(63)"));
    QString prefix = Prefix(db);
    if (prefix.isEmpty()) {
        prefix = MakePrefix(db);
        db.Exec(QStringLiteral("UPDATE ZvSchema SET RolePrefix = ?"), {prefix});
    }
    const QStringList groups = AllGroups(prefix);
    for (const QString &g : groups)
        if (!RoleExists(db, g)) db.Exec(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(Ident(g)));
    QStringList quoted;
    for (const QString &g : groups) quoted << Ident(g);
    QSqlQuery schema = db.Exec(QStringLiteral("SELECT current_schema()"));
    schema.next();
    // From scratch each time, so that a grant no longer in the list does not linger; and nobody else keeps
    // one (the role all workstations shared before the users had roles of their own).
    QSqlQuery others =
        db.Exec(QStringLiteral(
                    "SELECT DISTINCT grantee FROM information_schema.table_privileges WHERE table_schema = "
                    "current_schema() AND grantee NOT IN (current_user, 'PUBLIC') AND grantee NOT LIKE ? AND "
                    "grantee NOT "
                    "IN (SELECT tableowner FROM pg_tables WHERE schemaname = current_schema())"),
                {prefix + QStringLiteral("\\_%")});
    while (others.next()) quoted << Ident(others.value(0).toString());
    db.Exec(QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA %1 FROM PUBLIC, %2")
                .arg(Ident(schema.value(0).toString()), quoted.join(u", ")));
    db.Exec(QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2")
                .arg(Ident(schema.value(0).toString()), Ident(Group(prefix, kStaff))));
    // An upgrade installs the roles before its later steps add their tables and functions: what is not
    // there yet is granted by the step that makes it.
    QSet<QString> present;
    QSqlQuery tables = db.Exec(QStringLiteral(
        "SELECT lower(table_name) FROM information_schema.tables WHERE table_schema = current_schema() UNION "
        "SELECT lower(proname) || '()' FROM pg_proc WHERE pronamespace = current_schema()::regnamespace"));
    while (tables.next()) present.insert(tables.value(0).toString());
    QSqlQuery columns = db.Exec(QStringLiteral(
        "SELECT lower(column_name) FROM information_schema.columns WHERE table_schema = current_schema()"));
    while (columns.next()) present.insert(columns.value(0).toString());
    for (const Grant &g : kGrants)
        if (present.contains(Latin(g.table).remove(u'[').remove(u']').toLower()) &&
            (!g.needs || present.contains(Latin(g.needs))))
            db.Exec(QStringLiteral("GRANT %1 ON %2 TO %3")
                        .arg(Latin(g.privileges).replace(QStringLiteral("%pay"), Latin(kPayColumns)),
                             Latin(g.table), Ident(Group(prefix, g.group))));
    if (present.contains(QStringLiteral("zv_log_archive()")))
        db.Exec(QStringLiteral("GRANT EXECUTE ON FUNCTION zv_log_archive(TIMESTAMP) TO %1")
                    .arg(Ident(Group(prefix, "users"))));
    TrustKeepers(db);
    db.Exec(NumberGuard(prefix));
    db.Exec(QStringLiteral(
        "CREATE OR REPLACE TRIGGER TR_Number_Guard BEFORE UPDATE ON [Number] FOR EACH ROW EXECUTE FUNCTION "
        "zv_number_guard()"));
    db.Exec(PayGuard(prefix));
    db.Exec(
        QStringLiteral("CREATE OR REPLACE TRIGGER TR_TPay_Guard BEFORE INSERT OR UPDATE ON TPay FOR EACH ROW "
                       "EXECUTE FUNCTION "
                       "zv_tpay_guard()"));
    tx.Commit();
}

void SaveUser(Database &db, const QString &oldLogin, const QString &login, const QString &password,
              const QString &rights) {
    const QString prefix = Prefix(db);
    if (prefix.isEmpty()) return;
    if (login.toUtf8().size() > 63)
        throw DbError(QStringLiteral("Логин слишком длинный для сервера базы данных.\nУкажите логин короче."),
                      QStringLiteral("SUser.Login"));
    const QString staff = Group(prefix, kStaff);
    Transaction tx(db);
    if (!oldLogin.isEmpty() && oldLogin != login && RoleExists(db, oldLogin) && IsMember(db, oldLogin, staff))
        db.Exec(QStringLiteral("ALTER ROLE %1 RENAME TO %2").arg(Ident(oldLogin), Ident(login)));
    const QString role = Ident(login);
    if (!RoleExists(db, login)) {
        if (password.isEmpty()) throw DbError(QStringLiteral("Укажите пароль пользователя!"));
        db.Exec(QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
    } else if (!IsMember(db, login, staff)) {
        throw DbError(
            QStringLiteral("Имя \"%1\" уже занято на сервере базы данных.\nУкажите другой логин.").arg(login),
            QStringLiteral("SUser.Login"));
    }
    if (!password.isEmpty())
        db.Exec(QStringLiteral("ALTER ROLE %1 LOGIN PASSWORD %2")
                    .arg(role, Literal(Verifier(db, login, password))));
    // An administrator of the users may create and change the others' roles.
    const bool admin =
        Rights::Position(Right::Users) < rights.size() && rights[Rights::Position(Right::Users)] == u'1';
    db.Exec(QStringLiteral("ALTER ROLE %1 %2")
                .arg(role, admin ? QStringLiteral("CREATEROLE") : QStringLiteral("NOCREATEROLE")));
    const QStringList wanted = Groups(prefix, rights), had = Memberships(db, login);
    for (const QString &g : AllGroups(prefix)) {
        const bool member = had.contains(g);
        if (!wanted.contains(g)) {
            if (member) db.Exec(QStringLiteral("REVOKE %1 FROM %2").arg(Ident(g), role));
        } else if (admin) {
            db.Exec(QStringLiteral("GRANT %1 TO %2 WITH ADMIN OPTION").arg(Ident(g), role));
        } else if (member) {
            db.Exec(QStringLiteral("REVOKE ADMIN OPTION FOR %1 FROM %2").arg(Ident(g), role));
        } else {
            db.Exec(QStringLiteral("GRANT %1 TO %2").arg(Ident(g), role));
        }
    }
    tx.Commit();
}

void DropUser(Database &db, const QString &login) {
    const QString prefix = Prefix(db);
    if (prefix.isEmpty() || !RoleExists(db, login) || !IsMember(db, login, Group(prefix, kStaff))) return;
    db.Exec(QStringLiteral("DROP ROLE %1").arg(Ident(login)));
}

}  // namespace ServerRoles
