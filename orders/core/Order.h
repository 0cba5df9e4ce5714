#pragma once

#include "PayRecord.h"
#include "ServiceRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <algorithm>

// Order statuses (TZakaz.ZakazStatus).
enum OrderStatus : int { StatusRequested = 0, StatusStarted = 1, StatusFinished = 2 };

// One service line of an order (one TService row): the catalogue's record of the service as the order
// copied it (name, price, VAT, the performer's share and the duration may since have changed in the
// catalogue), with the quantity, the package's services and the line's workers. A package is a header line
// with group "0" whose children carry the package's service key as their group.
struct OrderLine : ServiceRecord {
    OrderLine() { iddTop = Group::kStandalone; }

    QString stored;  // non-empty when the line came from the database
    double count = 1.0;
    QList<OrderLine> children;
    PickedWorkers workers;

    bool IsNew() const { return stored.isEmpty(); }
    // Written out: a list of the type itself cannot be compared by a defaulted operator.
    bool operator==(const OrderLine &o) const {
        return static_cast<const ServiceRecord &>(*this) == o && stored == o.stored && count == o.count &&
               workers == o.workers &&
               std::equal(children.begin(), children.end(), o.children.begin(), o.children.end());
    }
};

// The car and client fields an order carries on its form.
struct OrderCar {
    QString AvtoNomer, AvtoMarka, AvtoVin, AvtoDvig, AvtoColor, AvtoPrim;
    bool operator==(const OrderCar &) const = default;
};
struct OrderClient {
    QString ClientName, ClientAdres, ClientTel;
    bool operator==(const OrderClient &) const = default;
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
    // Planned on a bay (empty: none) from ZakazBegin until ZakazPlanEnd.
    QString IddBox;
    QDateTime ZakazPlanEnd;
    int Delete = 0;
    OrderCar car;
    OrderClient client;
    QList<OrderLine> lines;     // top-level lines in display order
    QList<PayRecord> payments;  // the order's TPay rows

    bool IsNew() const { return IddZakaz.isEmpty(); }
    bool operator==(const Order &) const = default;
};
