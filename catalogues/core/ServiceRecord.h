#pragma once

#include "Money.h"
#include "PickedWorker.h"

#include <QList>
#include <QString>
#include <QTime>

// Grouping codes of IddTop, in the catalogue (SService) and on orders (TService), which copy them: a
// package's row has "0", a service outside any package "top", a service in a package the package's key.
namespace Group {
inline const QString kPackage = QStringLiteral("0");
inline const QString kStandalone = QStringLiteral("top");
}  // namespace Group

// One SService row: a package (IddTop "0") or a service.
struct ServiceRecord {
    QString iddService;
    QString iddTop;
    QString name;
    Money price;         // without VAT
    double prNds = 0;    // VAT percent
    Money summa;         // price with VAT, as the card showed it
    bool prJob = false;  // true: job is a percentage; false: a fixed sum in roubles
    double job = 0;
    QTime time{0, 0};  // duration
    bool deleted = false;

    bool operator==(const ServiceRecord &) const = default;
    bool IsPackage() const { return iddTop == Group::kPackage; }
    Money VatAmount() const { return price.Percent(prNds); }
    // The performer's share for one execution: a percentage of the price with VAT, or the fixed sum.
    Money PayAmount() const { return prJob ? summa.Percent(job) : Money::Roubles(job); }
};

// The price with VAT as the card shows it and Summa keeps: the price plus its VAT, each to the kopeck.
Money PriceWithVat(Money price, double prNds);

// A service of the directory tree with its performers (ServiceWork rows joined to SWork).
struct ServiceNode {
    ServiceRecord service;
    PickedWorkers performers;  // iddServiceWork, iddWork, workFio
};

// Figures of a package row: sums over its services. Durations add up as minutes, so a package longer
// than a day still shows its full length.
struct ServiceTotals {
    Money price;
    Money vat;
    Money summa;
    Money pay;
    int minutes = 0;

    void Add(const ServiceRecord &s);
    QString Duration() const;  // "%H:%M", hours not wrapped at 24
};

struct PackageNode {
    ServiceRecord package;
    QList<ServiceNode> services;
    ServiceTotals Totals() const;
};

// The whole catalogue as the directory shows it: packages by name, then standalone services by name.
struct ServiceTree {
    QList<PackageNode> packages;
    QList<ServiceNode> standalone;
};
