#include "BenchInputs.h"

#include "BenchPair.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "Database.h"
#include "DbError.h"
#include "ServiceRecord.h"

#include <QDateTime>
#include <QSqlQuery>
#include <map>

namespace {

// Of the last five weeks, the one with the most plans on the bays, and its busiest day.
void PickBusyDay(Database &db, Inputs &in) {
    // Counted here rather than grouped by day in SQL, which each database writes its own way.
    QSqlQuery q = db.Exec(
        QStringLiteral("SELECT ZakazBegin FROM TZakaz WHERE ZakazBegin >= ? AND ZakazBegin < ? "
                       "AND IddBox IS NOT NULL AND [Delete] = FALSE"),
        {QDateTime(in.lastDay.addDays(-35), QTime(0, 0)), QDateTime(in.lastDay.addDays(1), QTime(0, 0))});
    std::map<QDate, int> plans, weeks;
    while (q.next()) ++plans[QDate::fromString(q.value(0).toString().left(10), Qt::ISODate)];
    for (const auto &[planned, n] : plans) weeks[planned.addDays(1 - planned.dayOfWeek())] += n;
    // The week with the most plans, and its busiest day; of equals the latest.
    QDate monday;
    for (int most = 0; const auto &[first, n] : weeks)
        if (n >= most) {
            monday = first;
            most = n;
        }
    in.busyDay = in.lastDay;
    for (const auto &[planned, n] : plans)
        if (planned >= monday && planned < monday.addDays(7) && n >= in.busyPlans) {
            in.busyDay = planned;
            in.busyPlans = n;
        }
}

// Ten standalone lines with two workers each, for the first car with an owner.
Order NewOrder(Database &db) {
    Order o;
    QSqlQuery link = db.Exec(QStringLiteral(
        "SELECT l.IddAvto, l.IddVlad FROM AvtoVlad l INNER JOIN SClient c ON c.IddClient = l.IddVlad "
        "INNER JOIN SAvto a ON a.IddAvto = l.IddAvto WHERE l.[Delete] = FALSE ORDER BY l.IddAvtoVlad"));
    if (!link.next()) throw DbError(QStringLiteral("the reference database has no car with an owner"));
    o.IddAvto = link.value(0).toString();
    o.IddVlad = link.value(1).toString();
    const CarRecord car = *CarStore(db).Load(o.IddAvto);
    o.car = {car.avtoNomer, car.avtoMarka, car.avtoVin, car.avtoDvig, car.avtoColor, car.avtoPrim};
    const ClientRecord client = *ClientStore(db).Load(o.IddVlad);
    o.client = {client.clientName, client.clientAdres, client.clientTel};

    PickedWorkers workers;
    QSqlQuery w =
        db.Exec(QStringLiteral("SELECT IddWork, WorkFIO FROM SWork WHERE WorkOut = FALSE AND [Delete] = "
                               "FALSE ORDER BY WorkFIO, IddWork"));
    while (w.next()) workers << PickedWorker{QString(), w.value(0).toString(), w.value(1).toString(), false};
    if (workers.size() < 2) throw DbError(QStringLiteral("the reference database has too few workers"));
    QSqlQuery s = db.Exec(QStringLiteral("SELECT IddService, [Name], Price, PrNDS, PrJob, Job FROM SService "
                                         "WHERE IddTop = ? AND [Delete] = FALSE ORDER BY [Name], IddService"),
                          {QStringLiteral("top")});
    for (int i = 0; i < 10 && s.next(); ++i) {
        OrderLine line;
        line.iddService = s.value(0).toString();
        line.name = s.value(1).toString();
        line.price = Money::Roubles(s.value(2).toDouble());
        line.prNds = s.value(3).toDouble();
        line.prJob = s.value(4).toBool();
        line.job = s.value(5).toDouble();
        line.time = QTime(0, 30);
        line.workers << workers[(2 * i) % workers.size()] << workers[(2 * i + 1) % workers.size()];
        o.lines << line;
    }
    return o;
}

}  // namespace

Inputs PickInputs(Database &db) {
    Inputs in;
    in.threeName = One(db, QStringLiteral("SELECT ClientName FROM SClient GROUP BY ClientName "
                                          "ORDER BY ABS(COUNT(*) - 3), ClientName"));
    in.inn = One(db, QStringLiteral("SELECT MIN(ClientINN) FROM SClient WHERE ClientINN <> ''"));
    const int last = One(db, QStringLiteral("SELECT ZakazNomer FROM [Number]")).toInt();
    for (int number = last / 2; number < last / 2 + 200 && in.loadOrder.isEmpty(); ++number) {
        const QString key = One(db, QStringLiteral("SELECT IddZakaz FROM TZakaz WHERE ZakazNomer = ?"),
                                {QString::number(number)});
        const int lines =
            One(db, QStringLiteral("SELECT COUNT(*) FROM TService WHERE IddZakaz = ? AND [Delete] = FALSE"),
                {key})
                .toInt();
        if (lines >= 8) in.loadOrder = key;
    }
    if (in.loadOrder.isEmpty()) in.loadOrder = One(db, QStringLiteral("SELECT MIN(IddZakaz) FROM TZakaz"));
    // SQLite gives "yyyy-MM-dd hh:mm:ss", PostgreSQL a date-time: the day is the first ten characters of
    // both.
    const auto day = [&](const char *sql) {
        return QDate::fromString(One(db, QString::fromLatin1(sql)).left(10), Qt::ISODate);
    };
    in.firstDay = day("SELECT MIN(ZakazData) FROM TZakaz");
    in.lastDay = day("SELECT MAX(ZakazData) FROM TZakaz");
    in.number = One(db, QStringLiteral("SELECT ZakazNomer FROM TZakaz WHERE IddZakaz = ?"), {in.loadOrder});
    in.plate =
        One(db,
            QStringLiteral("SELECT a.AvtoNomer FROM TZakaz z INNER JOIN SAvto a ON a.IddAvto = z.IddAvto "
                           "WHERE z.IddZakaz = ?"),
            {in.loadOrder});
    {
        QSqlQuery q =
            db.Exec(QStringLiteral("SELECT IddVlad, COUNT(*) FROM TZakaz WHERE [Delete] = FALSE "
                                   "GROUP BY IddVlad ORDER BY COUNT(*) DESC, IddVlad"));
        if (q.next()) {
            in.fleetClient = q.value(0).toString();
            in.fleetOrders = q.value(1).toInt();
        }
    }

    PickBusyDay(db, in);

    in.tyrePlate =
        One(db, QStringLiteral("SELECT MIN(a.AvtoNomer) FROM TTyre t INNER JOIN SAvto a ON "
                               "a.IddAvto = t.IddAvto WHERE t.DateOut IS NULL AND t.[Delete] = FALSE"));
    in.tyresKept =
        One(db, QStringLiteral("SELECT COUNT(*) FROM TTyre WHERE DateOut IS NULL AND [Delete] = FALSE"))
            .toInt();

    in.newOrder = NewOrder(db);
    return in;
}
