#pragma once

#include "PickedWorker.h"
#include "ServiceRecord.h"

#include <QList>
#include <QString>
#include <QTime>
#include <vector>

// One entry of the list the services directory hands to its caller when it closes: a checked
// top-level row. A package carries its services as children (price 0, the lines hold the money);
// a service carries the performers that were ticked under it. The order form turns each entry into
// an order line (group IddTop: "0" package, "top" standalone, or the package's IddService).
struct SelectedService {
    QString iddService;
    QString iddTop;
    QString name;
    double price = 0;
    double prNds = 0;
    bool prJob = false;
    double job = 0;
    QTime time{0, 0};
    std::vector<SelectedService> children;  // the package's services, in directory order
    PickedWorkers performers;               // ticked performers: iddServiceWork, iddWork, workFio

    bool IsPackage() const { return iddTop == Group::kPackage; }
};
using SelectedServices = std::vector<SelectedService>;
