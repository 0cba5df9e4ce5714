// One workstation of the two-process stress test: opens the database named on the command line (creating
// its schema if nobody has yet) and saves a number of orders or cars as fast as it can. Every failed save
// is printed; the exit code is the number of failures (capped), so 0 means every save went through.
#include "../support/Rub.h"
#include "CarStore.h"
#include "CashStore.h"
#include "ClientStore.h"
#include "Database.h"
#include "DbError.h"
#include "Formats.h"
#include "KeyGen.h"
#include "OrderStore.h"
#include "PaymentStore.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <memory>

namespace {

void SaveOrder(Database &db, int i, const QString &login, const QString &who, bool paid) {
    Order o;
    o.car.AvtoNomer = QStringLiteral("а%1вс77").arg(i, 3, 10, QLatin1Char('0'));
    o.car.AvtoMarka = QStringLiteral("Лада");
    o.client.ClientName = QStringLiteral("Клиент %1 %2").arg(who).arg(i);
    OrderLine wash;
    wash.iddService = QStringLiteral("svc-wash");
    wash.name = QStringLiteral("Мойка");
    wash.price = Rub(400);
    wash.workers = {PickedWorker{QString(), QStringLiteral("w1"), QStringLiteral("Петров П.П."), false}};
    o.lines = {wash};
    PayRecord pay;
    pay.NaznPay = QStringLiteral("Оплата услуг");
    pay.ProposedNomer = pay.NomerPay = QStringLiteral("1");  // as proposed: the save takes a free number
    pay.DataPay = QDateTime::currentDateTime();
    pay.SummaPay = Rub(400);
    if (paid) o.payments = {pay};
    o.ZakazData = QDateTime(QDate::currentDate(), QTime(0, 0));
    o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate::currentDate(), QTime(9, 0));
    OrderStore(db).Save(o, login);
}

void SaveCar(Database &db, int i, const QString &login, const QString &who) {
    ClientRecord client;
    client.iddClient = NewKey(login);
    client.clientName = QStringLiteral("Владелец %1 %2").arg(who).arg(i);
    ClientStore(db).Save(client);
    CarRecord car;
    car.iddAvto = NewKey(login);
    car.avtoNomer = QStringLiteral("х%1ух").arg(i, 3, 10, QLatin1Char('0'));
    QList<CarOwner> owners(1);
    owners[0].iddVlad = client.iddClient;
    CarStore(db).Save(car, owners, login);
    // The client's card links the same car again: one live link stays.
    ClientStore(db).LinkCar(client.iddClient, car.iddAvto, login);
}

// Pays the whole debt of every order that owes, as its clerk saw it; the other workstation pays the same
// orders at the same moment. A payment refused because the debt fell meanwhile is what the clerk is asked
// about, not a failure.
void PayOrders(Database &db, const QString &login) {
    QStringList orders;
    for (QSqlQuery q = db.Exec(QStringLiteral("SELECT IddZakaz FROM TZakaz ORDER BY IddZakaz")); q.next();)
        orders << q.value(0).toString();
    for (const QString &key : orders) {
        const Money seen = CashStore(db).OrderDebt(key);
        if (!seen.IsOutstanding()) continue;
        PayRecord pay{.NomerPay = "1", .DataPay = QDateTime::currentDateTime(), .SummaPay = seen};
        pay.ProposedNomer = pay.NomerPay;
        try {
            PaymentStore(db).SaveOrderPayment(pay, key, login, seen);
        } catch (const DebtChanged &) {
        }
    }
}

}  // namespace

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 6) {
        QTextStream(stderr) << "usage: zv_stress_worker CONNECT orders|cars COUNT LOGIN NAME\n";
        return 100;
    }
    const QString &mode = args[2], &login = args[4], &who = args[5];
    QTextStream err(stderr);
    std::unique_ptr<Database> db;
    try {
        db = Database::Open(args[1]);
    } catch (const DbError &e) {
        err << "open: " << e.text() << '\n';
        return 101;
    }
    int failures = 0;
    for (int i = 0; i < args[3].toInt(); ++i) {
        try {
            if (mode == u"cars")
                SaveCar(*db, i, login, who);
            else if (mode != u"payments")
                SaveOrder(*db, i, login, who, mode == u"orders");
            else if (i == 0)
                PayOrders(*db, login);
        } catch (const DbError &e) {
            ++failures;
            err << "save " << i << ": " << e.text() << '\n';
        }
    }
    return std::min(failures, 99);
}
