#pragma once

#include "Order.h"

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// Orders planned on the shop's bays: each from its planned start (TZakaz.ZakazBegin) to its planned end
// (ZakazPlanEnd) on one bay (IddBox). Two orders on one bay overlap when each starts before the other ends:
// one that ends when the next starts does not.
namespace BayPlan {

// The end an order's services take from `start`: each live line's duration (the catalogue's time) times its
// count, a package's services counted and its header not.
QDateTime PlannedEnd(const QDateTime &start, const QList<OrderLine> &lines);

struct Booking {
    QString iddZakaz, number;
    QDateTime start, end;
    bool operator==(const Booking &) const = default;
};

// The live orders planned on the bay that overlap [start, end), the order `except` left out (the one being
// planned), earliest first. Throws DbError.
QList<Booking> Overlapping(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
                           const QString &except = {});

}  // namespace BayPlan
