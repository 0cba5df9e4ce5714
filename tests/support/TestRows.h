#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// The one way tests put rows into a database: plain records with a default for every column a test does
// not care about, written straight into the tables (no store, no rule), so a test names only what it
// checks. Every field has a default (`= {}` at least, so none need be named). Fill them with designated
// initializers:
//     TestRows::Put(db, TestRows::Order{.key = "z1", .date = day, .status = 2, .lines = {{.price = 500}}});
namespace TestRows {

struct Client {
    QString key = {}, name = QStringLiteral("Иванов И.И."), tel = {}, inn = {}, address = {}, fax = {},
            bik = {}, contact = {};
};

// A car; with an owner (a client key) it also gets a live owner link.
struct Car {
    QString key = {}, plate = QStringLiteral("А001АА77"), make = QStringLiteral("ВАЗ"),
            color = QStringLiteral("белый"), owner = {};
    bool ownerDeleted = false;      // the owner link is a deleted one
    QString vin = {}, engine = {};  // written only when given
    QString note = {};              // AvtoPrim
};

struct Worker {
    QString key = {}, fio = {};
    bool workOut = false, deleted = false;
    QDateTime hired = {}, dismissed = {};
};

// A worker named as a service's usual worker (ServiceWork).
struct WorkerService {
    QString key = {}, service = {}, worker = {};
    bool deleted = false;
};

struct User {
    QString key = {}, login = {}, name = {}, pass = {}, rights = QStringLiteral("1111");
    bool deleted = false;
};

struct Bay {
    QString key = {}, name = {};
    bool deleted = false;
};

// A worker on an order line (TWork).
struct Work {
    QString worker = {}, fio = {};
    bool deleted = false;
};

// An order line (TService); its Summa is the price with VAT. The key defaults to "<order key>-<n>".
struct Line {
    QString key = {}, name = QStringLiteral("Мойка");
    double count = 1, price = 100, nds = 0;
    bool prJob = false;  // the workers' pay is `job` per cent of the line rather than a sum
    double job = 0;
    QString top = QStringLiteral("top");
    QList<Work> workers = {};
    bool deleted = false;
    QTime time = QTime(0, 30);
};

// An order (TZakaz) with its lines; the kept totals are worked out after the lines are written. The
// appointment and start default to `date`, the finish to an hour after the start. An order without
// lines gets one "Мойка" for 100.
struct Order {
    QString key = {}, number = QStringLiteral("1");
    QDateTime date = {}, begin = {}, endOut = {};
    int status = 1;
    QString car = {}, client = QStringLiteral("c1");
    bool deleted = false;
    QList<Line> lines = {};
    bool noLines = false;  // leaves the order without lines
    QString bay = {};      // planned on the bay from `begin` until `planEnd`
    QDateTime planEnd = {};
};

// A cash-desk row (TPay): into the cash desk positive, out negative.
struct Pay {
    QString key = {}, order = {};
    int kind = 0;
    double sum = 0;
    QDateTime when = {};
    QString purpose = QStringLiteral("Оплата услуг"), number = QStringLiteral("1");
    bool deleted = false;
};

// One worker's line of a salary payout (TWorkPay).
struct Payout {
    QString key = {}, pay = {}, worker = {};
    double sum = 0;
    bool deleted = false;
};

// A link of a car to a client (AvtoVlad), for links a Car's owner does not make: deleted ones, or
// several owners.
struct CarLink {
    QString key = {}, car = {}, client = {};
    bool deleted = false;
};

// A catalogue row (SService): a service filed under `top` ("top" for a standalone one, "0" for a package).
struct Service {
    QString key = {}, name = QStringLiteral("Мойка"), top = QStringLiteral("top");
    bool deleted = false;
};

void Put(Database &db, const Client &c);
void Put(Database &db, const CarLink &l);
void Put(Database &db, const Service &s);
void Put(Database &db, const Car &c);
void Put(Database &db, const Worker &w);
void Put(Database &db, const WorkerService &w);
void Put(Database &db, const User &u);
void Put(Database &db, const Bay &b);
void Put(Database &db, const Order &o);
void Put(Database &db, const Pay &p);
void Put(Database &db, const Payout &p);

// The counters of order, payment, outgoing payment and salary numbers.
void PutCounters(Database &db, long order, long pay, long outPay, long salary = 0);

}  // namespace TestRows
