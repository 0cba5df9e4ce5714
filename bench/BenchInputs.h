#pragma once

#include "Order.h"

#include <QDate>
#include <QString>

class Database;

// Everything the benchmarks work on, picked once from the reference database.
struct Inputs {
    QString threeName;  // a client name shared by about three clients
    QString inn;
    QString loadOrder;        // an ordinary order with a good number of lines
    Order newOrder;           // ten standalone lines with two workers each, for an existing client and car
    QDate firstDay, lastDay;  // of the orders
    QString number, plate;    // the loaded order's number and its car's plate
    QString fleetClient;      // the client with the most orders
    int fleetOrders = 0;
    QDate busyDay;  // of the last weeks' the one with the most plans on the bays, its busiest day
    int busyPlans = 0;
    QString tyrePlate;  // the plate of a car whose tyres are kept in storage
    int tyresKept = 0;
};

// Throws DbError when the reference database lacks what the benchmarks need (a car with an owner, workers).
Inputs PickInputs(Database &db);
