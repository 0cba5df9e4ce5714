#pragma once

#include <QList>
#include <QString>
#include <QTypeInfo>

// One SAvto row. Cars have no deletion flag and are removed physically.
struct CarRecord {
    QString iddAvto;
    QString avtoNomer;  // registration plate
    QString avtoMarka;  // make and model
    QString avtoColor;
    QString avtoVin;
    QString avtoDvig;  // engine number
    QString avtoPrim;  // note

    bool operator==(const CarRecord &) const = default;
};

// An owner entry of the car card: one AvtoVlad link, with the owner's name and telephone for the list.
struct CarOwner {
    QString iddAvtoVlad;  // empty until the link is first stored
    QString iddAvto;
    QString iddVlad;
    bool deleted = false;
    QString clientName;
    QString clientTel;
};

// A car card's car and owners as it read them (CarStore::Load, LoadOwners).
struct StoredCar {
    CarRecord car;
    QList<CarOwner> owners;
};

// An owner as the cars directory shows it under the car.
struct CarOwnerRow {
    QString iddAvtoVlad;
    QString iddVlad;
    QString clientName;
    QString clientContact;
    QString clientTel;
    QString clientFaks;
};

// A row of the cars directory: the car and its current owners.
struct CarListRow {
    CarRecord car;
    QList<CarOwnerRow> owners;
};

// Made only of Qt's strings and lists, which may be moved in memory as bytes: a list of tens of thousands
// grows in place instead of moving every row one by one.
Q_DECLARE_TYPEINFO(CarRecord, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(CarOwnerRow, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(CarListRow, Q_RELOCATABLE_TYPE);

// What the cars directory searches by. Empty texts are filters not given; all match whole values.
struct CarFilter {
    QString plate;
    QString make;
    QString owner;
};
