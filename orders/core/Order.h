#pragma once

#include "PayRecord.h"
#include "ServiceRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

// Order statuses (TZakaz.ZakazStatus).
enum OrderStatus : int { StatusRequested = 0, StatusStarted = 1, StatusFinished = 2 };

// One service line of an order (one TService row). A package is a header line with group "0" whose
// children carry the package's service key as their group.
struct OrderLine {
    QString stored;  // non-empty when the line came from the database
    QString IddService;
    QString IddTop = Group::kStandalone;
    QString Name;
    double Count = 1.0;
    double Price = 0.0;  // without VAT
    double PrNDS = 0.0;  // VAT percent
    int PrJob = 0;       // 1: Job is a percentage of the line amount; 0: a fixed sum
    double Job = 0.0;
    QTime Time;  // planned duration per unit, as a time of day
    int Delete = 0;
    QList<OrderLine> children;
    PickedWorkers workers;

    bool IsNew() const { return stored.isEmpty(); }
    bool IsPackage() const { return IddTop == Group::kPackage; }
};

// The car and client fields an order carries on its form.
struct OrderCar {
    QString AvtoNomer, AvtoMarka, AvtoVin, AvtoDvig, AvtoColor, AvtoPrim;
};
struct OrderClient {
    QString ClientName, ClientAdres, ClientTel;
};

// A work order in memory: the form's working copy.
struct Order {
    QString IddZakaz;  // empty until first saved
    QString ZakazNomer;
    QDateTime ZakazData;
    QDateTime ZakazBegin;    // appointment
    QDateTime ZakazBeginIn;  // work started
    QDateTime ZakazEndOut;   // work finished
    int ZakazStatus = StatusStarted;
    QString IddAvto;
    QString IddVlad;
    int Delete = 0;
    OrderCar car;
    OrderClient client;
    QList<OrderLine> lines;     // top-level lines in display order
    QList<PayRecord> payments;  // the order's TPay rows

    bool IsNew() const { return IddZakaz.isEmpty(); }
};
