#pragma once

#include "DbError.h"
#include "Order.h"

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// Orders planned on the shop's bays: each from its planned start (TZakaz.ZakazBegin) to its planned end
// (ZakazPlanEnd) on one bay (IddBox). Two orders on one bay overlap when each starts before the other ends:
// one that ends when the next starts does not.
namespace BayPlan {

// The board's rows; a plan takes at least one.
inline constexpr int kSlotMinutes = 15;
// The longest plan: orders are looked for this far back from a moment.
inline constexpr int kLongestDays = 31;

// The end an order's services take from `start`: each live line's duration (the catalogue's time) times its
// count, a package's services counted and its header not.
QDateTime PlannedEnd(const QDateTime &start, const QList<OrderLine> &lines);
// The end proposed for a plan: PlannedEnd, at least one slot after the start.
QDateTime ProposedEnd(const QDateTime &start, const QList<OrderLine> &lines);
// What is wrong with a plan from `start` to `end` (empty: nothing).
QString CheckSpan(const QDateTime &start, const QDateTime &end);

struct Booking {
    QString iddZakaz, number;
    QDateTime start, end;
    bool operator==(const Booking &) const = default;
};

// The live orders planned on the bay that overlap [start, end), the order `except` left out (the one being
// planned), earliest first. Throws DbError.
QList<Booking> Overlapping(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
                           const QString &except = {});

// The plan would share its bay with other orders' plans at the same time.
class Overlap : public DbError {
public:
    explicit Overlap(QList<Booking> found);
    const QList<Booking> &found() const { return m_found; }
    // What the clerk is asked before the orders are planned one over the other.
    QString Question() const;

private:
    QList<Booking> m_found;
};

// Called inside a save's transaction before the plan is written: on a server the bay is locked until the
// commit, so that of two workstations planning into one slot the second waits and then sees the first
// one's plan (an SQLite writer holds the whole file already). Throws Overlap unless the clerk `agreed` to
// plan over what is there.
void Claim(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
           const QString &except, bool agreed);

}  // namespace BayPlan
