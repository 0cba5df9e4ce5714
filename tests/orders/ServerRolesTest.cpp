#include "BayBoard.h"
#include "CashStore.h"
#include "ChangeLog.h"
#include "CompanyStore.h"
#include "CounterStore.h"
#include "ErrorText.h"
#include "OrderFixtures.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "SalaryStore.h"
#include "Schema.h"
#include "ServerRoles.h"
#include "ServiceStore.h"
#include "TestDb.h"
#include "TyreStore.h"
#include "UserInfo.h"
#include "UserStore.h"
#include "WorkerStore.h"

#include <QThread>
#include <functional>

using namespace Fixture;

// On PostgreSQL each program user connects as his own role, and the server refuses what his rights do not
// cover: from the program and from psql alike. The database is set up by its owner (the test's own
// connection), who creates the first administrator.
// A command a right allows, run on a user's own connection.
struct RightCommand {
    Right right;
    std::function<void(Database &)> run;
};

class ServerRolesTest : public DbTest {
protected:
    void Fill() override {
        UserStore(db()).CreateFirstUser(u"Хозяин"_s, Login("boss"), u"Босс-1"_s);
        using namespace TestRows;
        Put(db(), TestRows::Worker{.key = u"w1"_s, .fio = u"Петров"_s});
        Put(db(), TestRows::Bay{.key = u"b1"_s, .name = u"Бокс 1"_s});
        for (const QString &key : {u"z1"_s, u"z2"_s})
            Put(db(), TestRows::Order{.key = key,
                                      .begin = kPlanned.addSecs(key == u"z1" ? 0 : 1800),
                                      .lines = {{.price = 100}},
                                      .bay = u"b1"_s,
                                      .planEnd = kPlanned.addSecs(key == u"z1" ? 1800 : 3600)});
        Put(db(), TestRows::Pay{u"p1"_s, u"z1"_s, OrderPayment, 10});
        Put(db(), TestRows::Pay{u"c1"_s, u"0"_s, CashOperation, 5});
        for (const QString &key : {u"s1"_s, u"s2"_s}) {
            Put(db(), TestRows::Pay{key, u"0"_s, SalaryPayout, -7});
            Put(db(), TestRows::Payout{u"l-"_s + key, key, u"w1"_s, 7});
        }
        Put(db(), TestRows::Service{.key = service, .name = u"Мойка"_s});
        // Tyre storage: two sets kept, and room for a third.
        Put(db(), TestRows::Client{.key = u"c1"_s});
        Put(db(), TestRows::Car{.key = u"a1"_s, .owner = u"c1"_s});
        TyreStore tyres(db());
        place = tyres.SavePlace({.rack = u"A"_s, .cell = u"1"_s, .capacity = 3}, u"boss"_s);
        for (QString *key : {&kept, &mistaken}) {
            TyreSet set = TyreIn();
            *key = tyres.TakeIn(set, u"boss"_s);
        }
    }
    TyreSet TyreIn() const {
        TyreSet set;
        set.iddClient = u"c1"_s, set.iddAvto = u"a1"_s, set.iddPlace = place;
        return set;
    }
    QString place, kept, mistaken;
    static inline const QDateTime kPlanned = QDateTime(QDate(2024, 6, 11), QTime(10, 0));
    // A user saved as the users directory saves one, connected as himself.
    std::unique_ptr<Database> Clerk(const QString &name, const QString &rights) {
        const QString login = Login(name.toLatin1().constData());
        UserStore(db()).Save({login + u"~"_s, login, {}, name, rights, false}, u"пароль "_s + login);
        return As(login, u"пароль "_s + login);
    }
    std::unique_ptr<Database> As(const QString &login, const QString &password) {
        ConnectTarget target = ParseConnectString(ConnectString());
        target.user = login, target.password = password;
        return Database::Open(target);
    }
    static QString With(std::initializer_list<Right> rights) {
        QString r(Rights::kCount, u'0');
        for (Right right : rights) r[Rights::Position(right)] = u'1';
        return r;
    }
    // Every row the commands may touch, as text.
    QString Snapshot() {
        return DumpTables(db(), {u"TZakaz"_s, u"TService"_s, u"TWork"_s, u"TPay"_s, u"TWorkPay"_s,
                                 u"SService"_s, u"SWork"_s, u"SMain"_s, u"[Number]"_s});
    }
    const QString service = u"svc"_s;
    std::vector<RightCommand> OrderCommands();
    std::vector<RightCommand> CatalogueCommands();
};
// The server's roles are PostgreSQL's.
INSTANTIATE_TEST_SUITE_P(Db, ServerRolesTest, ::testing::Values(Backend::Postgres), BackendName);

// The rights that each allow what a right's commands write: itself and the program's other paths to it.
QList<Right> Withheld(Right right) {
    switch (right) {
        case Right::EditOrderPayment:
            return {right, Right::EditCash};
        case Right::DeleteOrderPayment:
            return {right, Right::DeleteCash};
        case Right::MarkStart:
        case Right::MarkEnd:
            return {right, Right::EditOrder};
        case Right::AddService:  // editing a service may make the package typed on its card
            return {right, Right::EditService};
        default:
            return {right};
    }
}

// Changes a stored payment's amount as its dialog does.
void Resum(Database &d, const QString &key, double sum) {
    PayRecord p = PaymentStore(d).LoadPayment(key).value();
    p.SummaPay = Rub(sum);
    PaymentStore(d).SavePayment(p, p.IddZakaz, u"c"_s);
}

// The orders', payments', cash desk's and salary's commands.
std::vector<RightCommand> ServerRolesTest::OrderCommands() {
    const auto order = [](Database &d) { return OrderStore(d).Load(u"z1"_s).value(); };
    return {
        {Right::AddOrder,
         [](Database &d) {
             Order o = NewOrder();
             o.lines = {Service(u"svc"_s, u"Мойка"_s, 1, 400, 20)};
             o.lines[0].workers = {Worker(u"w1"_s, u"Петров"_s)};
             o.IddBox = u"b1"_s, o.ZakazPlanEnd = o.ZakazBegin.addSecs(3600);  // on a bay
             OrderStore(d).Save(o, u"c"_s);
         }},
        {Right::EditOrder,
         [&](Database &d) {
             Order o = order(d);
             o.ZakazNomer = u"77"_s;
             o.lines[0].count = 2;
             OrderStore(d).Save(o, u"c"_s);
             // and moved on the bay board, over z2 once agreed
             const BayBoard::Board board = BayBoard::Store(d).Read(kPlanned.date(), 1, WorkingHours());
             for (const BayBoard::Block &b : board.blocks())
                 if (b.iddZakaz == u"z1") BayBoard::Store(d).Move(b, u"b1"_s, kPlanned.addSecs(900), true);
         }},
        {Right::DeleteOrder, [](Database &d) { OrderStore(d).Delete(u"z2"_s); }},
        {Right::AddOrderPayment,
         [](Database &d) {
             PayRecord p{.NaznPay = u"Оплата"_s, .NomerPay = u"1"_s, .SummaPay = Rub(1)};
             PaymentStore(d).SavePayment(p, u"z1"_s, u"c"_s);
         }},
        {Right::EditOrderPayment, [](Database &d) { Resum(d, u"p1"_s, 11); }},
        {Right::DeleteOrderPayment,
         [&](Database &d) {
             Order o = order(d);
             o.payments[0].Delete = 1;
             OrderStore(d).Save(o, u"c"_s);
         }},
        {Right::MarkStart,
         [](Database &d) { OrderStore(d).MarkStarted(u"z1"_s, QDateTime::currentDateTime()); }},
        {Right::MarkEnd,
         [](Database &d) { OrderStore(d).MarkFinished(u"z1"_s, QDateTime::currentDateTime()); }},
        {Right::AddCash,
         [](Database &d) {
             PayRecord p{
                 .TypePay = CashOperation, .NaznPay = u"Аренда"_s, .NomerPay = u"1"_s, .SummaPay = Rub(3)};
             PaymentStore(d).SavePayment(p, u"0"_s, u"c"_s);
         }},
        {Right::EditCash, [](Database &d) { Resum(d, u"c1"_s, 6); }},
        {Right::DeleteCash, [](Database &d) { CashStore(d).DeletePayment(u"c1"_s); }},
        {Right::AddSalary,
         [](Database &d) {
             PayRecord p{.NaznPay = u"Зарплата"_s, .NomerPay = u"1"_s, .SummaPay = Rub(-2)};
             QList<PayoutLine> lines{{{}, u"w1"_s, {}, Rub(2), false}};
             SalaryStore(d).SavePayout(p, lines, u"c"_s);
         }},
        {Right::EditSalary,
         [](Database &d) {
             PayRecord p = PaymentStore(d).LoadPayment(u"s1"_s).value();
             QList<PayoutLine> lines = SalaryStore(d).LoadPayoutLines(u"s1"_s);
             lines[0].SummaWorkPay = Rub(8);
             p.SummaPay = Rub(-8);
             SalaryStore(d).SavePayout(p, lines, u"c"_s);
         }},
        {Right::DeleteSalary, [](Database &d) { SalaryStore(d).DeletePayout(u"s2"_s); }},
    };
}

// The company details', catalogue's, staff's, numbering's and tyre storage's commands.
std::vector<RightCommand> ServerRolesTest::CatalogueCommands() {
    return {
        {Right::CompanyDetails,
         [](Database &d) {
             CompanyInfo info;
             info.Field("MainName") = u"Шиномонтаж"_s;
             CompanyStore(d).Save(info);
         }},
        {Right::AddService,
         [](Database &d) {
             ServiceCard card{.name = u"Чернение"_s, .price = Rub(50)};
             ServiceStore(d).SaveCard(card, u"c"_s);
         }},
        {Right::EditService,
         [&](Database &d) {
             ServiceCard card{
                 .existing = true, .iddService = service, .name = u"Мойка кузова"_s, .price = Rub(120)};
             ServiceStore(d).SaveCard(card, u"c"_s);
         }},
        {Right::DeleteService, [&](Database &d) { ServiceStore(d).Delete(service); }},
        {Right::AddWorker,
         [](Database &d) {
             WorkerRecord w;
             w.workFio = u"Сидоров"_s;
             WorkerStore(d).Insert(w, u"c"_s);
         }},
        {Right::EditWorker,
         [](Database &d) {
             WorkerRecord w = WorkerStore(d).Load(u"w1"_s).value();
             w.workTel = u"222"_s;
             WorkerStore(d).Update(w);
         }},
        {Right::DeleteWorker, [](Database &d) { WorkerStore(d).Delete(u"w1"_s); }},
        {Right::Numbering, [](Database &d) { CounterStore(d).WriteAll({.zakazPr = u"Б-"_s}); }},
        {Right::TyreTakeIn,
         [&](Database &d) {
             TyreSet set = TyreIn();
             TyreStore(d).TakeIn(set, u"c"_s);
         }},
        {Right::TyreGiveOut, [&](Database &d) { TyreStore(d).GiveOut(kept, QDate::currentDate()); }},
        {Right::TyreDelete, [&](Database &d) { TyreStore(d).Delete(mistaken); }},
    };
}

// Each command, run by the program's stores on the user's own connection: with its right it succeeds
// (deleting a payment in the order form saves the order too); a user with every other right but the
// alternatives is refused by the server, and nothing changes.
TEST_P(ServerRolesTest, TheServerLetsEachUserDoWhatHisRightsAllowAndNothingMore) {
    std::vector<RightCommand> commands = OrderCommands();
    for (RightCommand &c : CatalogueCommands()) commands.push_back(std::move(c));
    for (const auto &c : commands) {
        const int position = Rights::Position(c.right);
        SCOPED_TRACE(position);
        QString denied(Rights::kCount, u'1'), granted(Rights::kCount, u'0');
        for (Right r : Withheld(c.right)) denied[Rights::Position(r)] = u'0';
        granted[position] = u'1';
        if (c.right == Right::DeleteOrderPayment) granted[Rights::Position(Right::EditOrder)] = u'1';
        const QString before = Snapshot();
        const auto refused = Clerk(QString::number(position) + u"n"_s, denied);
        EXPECT_EQ(ErrorText([&] { c.run(*refused); }).toStdString(), ServerRoles::kDenied.toStdString());
        EXPECT_EQ(Snapshot().toStdString(), before.toStdString());
        const auto allowed = Clerk(QString::number(position) + u"y"_s, granted);
        EXPECT_EQ(ErrorText([&] { c.run(*allowed); }).toStdString(), "no error");
    }
}

// What a clerk could try from psql with his own password: the users, the settings, the schema version and
// the counters are the administrators'; money records are never removed, and marked deleted only with the
// right to delete them.
TEST_P(ServerRolesTest, AClerkOutsideTheProgramChangesNoSettingAndDeletesOnlyWhatHisRightsAllow) {
    const auto clerk = Clerk(u"adder"_s, With({Right::AddOrder, Right::AddOrderPayment, Right::AddCash}));
    const auto refused = [&](Database &d, const char *sql) {
        return ErrorText([&] { d.Exec(QString::fromLatin1(sql)); });
    };
    for (const char *sql :
         {"UPDATE SUser SET Prova = '1111111111111111111111111111'", "UPDATE SUser SET Pass = 'x'",
          "SELECT Pass FROM SUser", "UPDATE SUser SET [Delete] = TRUE", "UPDATE SMain SET MainName = 'x'",
          "UPDATE ZvSchema SET Version = 99", "UPDATE [Number] SET ZakazPr = 'X'",
          "UPDATE [Number] SET PayNomer = PayNomer - 1", "DELETE FROM [Number]",
          "UPDATE TPay SET [Delete] = TRUE WHERE IddPay = 'p1'",
          "UPDATE TPay SET SummaPay = 0 WHERE IddPay = 'p1'", "DELETE FROM TPay",
          "UPDATE TWorkPay SET DeleteWorkPay = TRUE", "DELETE FROM TWorkPay", "DELETE FROM TZakaz",
          "UPDATE TZakaz SET ZakazOplata = 0",
          "INSERT INTO TPay (IddPay, IddZakaz, TypePay, SummaPay) VALUES ('x', '0', 1, -5)",
          "ALTER TABLE TPay DISABLE TRIGGER ALL", "DROP TRIGGER TR_TPay_Guard ON TPay"})
        EXPECT_NE(refused(*clerk, sql), u"no error"_s) << sql;
    // Counters only grow, which taking a number needs.
    EXPECT_EQ(refused(*clerk, "UPDATE [Number] SET PayNomer = PayNomer + 1"), u"no error"_s);

    // The earnings triggers made anew (as an upgrade makes them) still write what a clerk may not: deleting
    // a finished order works its earnings out again.
    Schema::KeepWorkEarn(db());
    db().Exec("UPDATE TZakaz SET ZakazStatus = 2 WHERE IddZakaz = 'z2'");
    const auto remover = Clerk(u"remover"_s, With({Right::DeleteOrder, Right::DeleteOrderPayment}));
    EXPECT_EQ(refused(*remover, "UPDATE TPay SET [Delete] = TRUE WHERE IddPay = 'p1'"), u"no error"_s);
    EXPECT_NE(refused(*remover, "UPDATE TPay SET [Delete] = TRUE WHERE IddPay = 's1'"),
              u"no error"_s);  // a payout
    EXPECT_NE(refused(*remover, "DELETE FROM TPay WHERE IddPay = 'p1'"), u"no error"_s);
    EXPECT_EQ(refused(*remover, "DELETE FROM TZakaz WHERE IddZakaz = 'z2'"), u"no error"_s);
}

// The users directory, run by an administrator on his own connection, creates, changes and drops the
// users' roles; a clerk cannot; the last administrator stays.
TEST_P(ServerRolesTest, TheUsersDirectoryKeepsTheServersRoles) {
    const auto boss = As(Login("boss"), u"Босс-1"_s);
    UserStore users(*boss);
    const QString login = Login("olga");
    UserRecord olga{login + u"~"_s, login, {}, u"Ольга"_s, With({Right::AddOrder}), false};
    users.Save(olga, u"первый"_s);
    EXPECT_EQ(As(login, u"первый"_s)->dialect(), Dialect::Postgres);
    const auto member = [&](const char *group) {
        return CountRows(
                   db(),
                   u"SELECT 1 FROM pg_auth_members m JOIN pg_roles r ON r.oid = m.member JOIN pg_roles g ON "
                   u"g.oid = m.roleid WHERE r.rolname = ? AND g.rolname = ?"_s,
                   {login, ServerRoles::Prefix(db()) + u'_' + QString::fromLatin1(group)}) == 1;
    };
    EXPECT_TRUE(member("add_order") && !member("delete_order"));

    olga.prova = With({Right::DeleteOrder});
    users.Save(olga, u"второй"_s);
    EXPECT_TRUE(!member("add_order") && member("delete_order"));
    EXPECT_NE(ErrorText([&] { As(login, u"первый"_s); }), u"no error"_s);  // the old password is gone
    const auto own = As(login, u"второй"_s);
    // A clerk cannot make himself an administrator, through the program's store or otherwise.
    UserRecord self = olga;
    self.prova = QString(Rights::kCount, u'1');
    EXPECT_NE(ErrorText([&] { UserStore(*own).Save(self, {}); }), u"no error"_s);
    EXPECT_NE(ErrorText([&] {
                  own->Exec(u"GRANT \"%1_users\" TO \"%2\""_s.arg(ServerRoles::Prefix(db()), login));
              }),
              u"no error"_s);

    users.SoftDelete(olga.iddUser);
    EXPECT_NE(ErrorText([&] { As(login, u"второй"_s); }), u"no error"_s);
    EXPECT_NE(ErrorText([&] { users.SoftDelete(users.FindLogin(Login("boss"))->iddUser); }), u"no error"_s);
    EXPECT_EQ(As(Login("boss"), u"Босс-1"_s)->dialect(), Dialect::Postgres);
}

TEST_P(ServerRolesTest, TheChangeLogNamesTheClerkAndNoClerkCanTouchIt) {
    const auto clerk = Clerk("logc", With({Right::OrderJournal, Right::DeleteOrderPayment}));
    clerk->Exec("UPDATE TPay SET [Delete] = TRUE WHERE IddPay = 'p1'");
    EXPECT_EQ(
        FirstValue(db(), "SELECT UserName || ' ' || Action FROM ZvLog WHERE Idd = 'p1' AND Action = 'X'"),
        Login("logc") + " X");
    // Whatever he tries from psql, the log stays as the database wrote it.
    for (const char *sql :
         {"SELECT COUNT(*) FROM ZvLog", "UPDATE ZvLog SET UserName = 'someone'", "DELETE FROM ZvLog",
          "TRUNCATE ZvLog", "INSERT INTO ZvLog (At, Tbl, Action) VALUES (LOCALTIMESTAMP, 'TPay', 'D')",
          "ALTER TABLE TPay DISABLE TRIGGER ZvLog_TPay", "ALTER TABLE TPay DISABLE TRIGGER ZvLog_TPay_UPDATE",
          "DROP TRIGGER ZvLog_TPay ON TPay", "SET session_replication_role = replica",
          "SELECT zv_log_archive(LOCALTIMESTAMP)"})
        EXPECT_THROW(clerk->Exec(sql), DbError) << sql;
    clerk->Exec("UPDATE TPay SET [Delete] = FALSE WHERE IddPay = 'p1'");
    EXPECT_EQ(
        FirstValue(db(), "SELECT COUNT(*) FROM ZvLog WHERE Idd = 'p1' AND UserName = ?", {Login("logc")})
            .toInt(),
        2);

    // An administrator of the users reads it and archives what is past, which is logged under his name.
    const auto admin = Clerk("loga", With({Right::Users}));
    EXPECT_GE(FirstValue(*admin, "SELECT COUNT(*) FROM ZvLog").toInt(), 2);
    QTemporaryDir dir;
    QThread::msleep(1100);  // the log keeps whole seconds
    EXPECT_GE(ChangeLog::Archive(*admin, QDateTime::currentDateTime(), dir.filePath("archive.db")), 2);
    EXPECT_EQ(FirstValue(db(), "SELECT UserName FROM ZvLog WHERE Action = 'A'"), Login("loga"));
}
