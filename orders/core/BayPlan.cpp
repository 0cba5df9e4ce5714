#include "BayPlan.h"

#include "Database.h"
#include "DynamicRecordset.h"

namespace BayPlan {

namespace {

qint64 Seconds(const QList<OrderLine> &lines) {
    qint64 total = 0;
    for (const OrderLine &l : lines) {
        if (l.deleted) continue;
        if (!l.IsPackage()) total += qRound64(QTime(0, 0).secsTo(l.time) * l.count);
        total += Seconds(l.children);
    }
    return total;
}

}  // namespace

QDateTime PlannedEnd(const QDateTime &start, const QList<OrderLine> &lines) {
    return start.isValid() ? start.addSecs(Seconds(lines)) : QDateTime();
}

QList<Booking> Overlapping(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
                           const QString &except) {
    QVariantList binds = {iddBox, end, start};
    if (!except.isEmpty()) binds << except;
    CDynamicRecordset rs(db);
    rs.Open(QStringLiteral(
                "SELECT IddZakaz, ZakazNomer, ZakazBegin, ZakazPlanEnd FROM TZakaz WHERE IddBox = ? AND "
                "[Delete] = FALSE AND ZakazBegin < ? AND ZakazPlanEnd > ?") +
                (except.isEmpty() ? QString() : QStringLiteral(" AND IddZakaz <> ?")) +
                QStringLiteral(" ORDER BY ZakazBegin, IddZakaz"),
            binds);
    QList<Booking> found;
    for (; !rs.IsEOF(); rs.MoveNext())
        found.append(
            {rs.Field(0).AsText(), rs.Field(1).AsText(), rs.Field(2).AsDateTime(), rs.Field(3).AsDateTime()});
    return found;
}

}  // namespace BayPlan
