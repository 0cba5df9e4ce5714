#pragma once

#include "PickedWorker.h"
#include "ServiceRecord.h"

#include <vector>

// One entry of the list the services directory hands to its caller when it closes: a checked
// top-level row, as the catalogue holds it. A package carries its services as children (price 0, the
// lines hold the money); a service carries the performers that were ticked under it. The order form
// turns each entry into an order line.
struct SelectedService {
    ServiceRecord service;
    std::vector<SelectedService> children;  // the package's services, in directory order
    PickedWorkers performers;               // ticked performers: iddServiceWork, iddWork, workFio

    bool IsPackage() const { return service.IsPackage(); }
};
using SelectedServices = std::vector<SelectedService>;
