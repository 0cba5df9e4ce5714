#pragma once

#include "RefDbSizes.h"
#include "RowSink.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Ten years of a car-service shop as rows of the program's own tables: workers (some dismissed), the
// service catalogue (packages and standalone services, a few deleted), clients, cars and their owner links
// (some deleted when a car changed hands), orders with package and standalone lines and one to three
// workers a line, each order planned on one of the five bays for as long as its services take, payments (a
// few per cent of orders part-paid), salary payouts and other cash operations; and seasonal tyre storage: a
// tenth of the cars leave a set at their spring and autumn orders, kept in the storage's cells (one set a
// cell) until it is fetched half a year later.
// The same scale and seed give the same rows, value for value.
//
// Every row is built here, by column name; a column the schema lacks fails loudly, and a schema column
// not named here is written as its default (false for flags, NULL otherwise).
class RefDbGenerator {
public:
    // `unpaid`: the share of finished orders left owing money, a sixth of them wholly unpaid.
    RefDbGenerator(double scale, std::uint64_t seed, double unpaid = 0.05);

    void Run(RowSink &sink);
    const RefDbCounts &counts() const { return m_counts; }

    // The period the orders span.
    static QDate FirstDay() { return QDate(2016, 12, 1); }
    static QDate LastDay() { return QDate(2026, 11, 30); }

private:
    // A line's amount with VAT, as the debt view sums it.
    static double LineAmount(double count, double price, double nds);

    struct Field {
        const char *column;
        QVariant value;
    };
    struct Worker {
        QString key, fio;
        QDate hired, left;  // left is null while the worker stays
    };
    struct Service {
        QString key, top, name;
        double price = 0, nds = 0, job = 0;
        bool prJob = false;
        int minutes = 0;
        bool wash = false;          // a wash's work, done on the wash bay
        QDate deletedOn;            // null while it is offered
        std::vector<int> children;  // a package's services
    };
    struct Car {
        QString key;
        int owner = -1, coOwner = -1, previousOwner = -1;
        QDate changedHands;  // the previous owner brought the car before this day
    };
    // What is left to make of the lines, line workers and order payments, and the package headers made.
    struct Budget {
        int linesLeft = 0, workersLeft = 0, payRowsLeft = 0, headers = 0;
    };
    // One order while its rows are made.
    struct OrderDraft {
        int index = 0, status = 2;
        double growth = 0;  // 0 at the first day, 1 at the last: prices rise with it
        QDate day;
        QDateTime begin, done;
        QString login, key;
        std::vector<int> active;  // the workers on the staff that day
        double headerShare = 0;   // of the lines made so far, the package headers
        double total = 0, vat = 0;
        int minutes = 0, washMinutes = 0;
    };
    // One plan on a bay, in seconds from the first day's midnight.
    struct Plan {
        qint64 start = 0, end = 0;
    };
    // A started or finished order in the months tyres are changed, where a set may be taken into storage.
    struct Visit {
        int car = 0, client = 0;
        QString order, login;
        QDateTime at;
    };

    // Deterministic on every platform, unlike the standard distributions.
    std::uint64_t Next();
    int Below(int n);             // 0 .. n-1
    int Between(int lo, int hi);  // lo .. hi
    double Unit();                // [0, 1)
    bool Chance(double p);
    template <typename T>
    const T &Pick(const std::vector<T> &v) {
        return v[size_t(Below(int(v.size())))];
    }
    QString Digits(int n);

    void Emit(const char *table, std::initializer_list<Field> fields);
    QString Key(const QString &login, const QDateTime &at, int suffix);
    QString Login();
    QDateTime DayTime(const QDate &day, int fromHour, int toHour);

    void MakeUsersAndBays();
    void MakeWorkers();
    void MakeServices();
    void MakeClients();
    void MakeCars();
    void MakeOrders();
    void EmitLines(OrderDraft &order, int ordersLeft);
    void EmitLine(OrderDraft &order, const Service &service, const QString &top);
    void EmitPayments(const OrderDraft &order, int ordersLeft);
    void MakeSalaryAndCash();
    // The storage's places and the sets taken in at the visits, drawn from a sequence of their own so that
    // every row before them stays as it was without them.
    void MakeTyreStorage();
    void EmitTyreSet(const Visit &visit, const QString &place, const QString &code, int index, int size,
                     const QDate &out, bool deleted);
    // The bay an order planned over [start, end) goes on: one free then (wash work on the wash bay first, the
    // rest on the others first), else the one it shares the least time on. Draws nothing.
    int PlanBay(const Plan &plan, bool wash, const QDate &today, int index);

    std::vector<int> ActiveWorkers(const QDate &day) const;
    int NewPayNumber() { return ++m_counts.lastPayNumber; }
    int NewOutPayNumber() { return ++m_counts.lastOutPayNumber; }

    RefDbSizes m_sizes;
    double m_unpaid;
    std::uint64_t m_state;
    std::uint64_t m_tyreState;  // the tyre storage's sequence
    RowSink *m_sink = nullptr;
    RefDbCounts m_counts;
    std::vector<Worker> m_workers;
    std::vector<Service> m_services;
    std::vector<int> m_packages, m_standalone;
    std::vector<QString> m_clients;
    std::vector<Car> m_cars;
    std::vector<QString> m_bays;             // the last one is the wash bay
    std::vector<std::vector<Plan>> m_plans;  // each bay's plans that may still meet an order to come
    std::vector<Visit> m_visits;
    int m_orderPayRowsTarget = 0;
    Budget m_budget;
};
