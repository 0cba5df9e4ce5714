#include "BayPlan.h"

#include "Database.h"
#include "DynamicRecordset.h"

#include <QStringList>
#include <algorithm>
#include <utility>

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

QDateTime ProposedEnd(const QDateTime &start, const QList<OrderLine> &lines) {
    if (!start.isValid()) return {};
    return std::max(PlannedEnd(start, lines), start.addSecs(kSlotMinutes * 60));
}

QString CheckSpan(const QDateTime &start, const QDateTime &end) {
    if (!start.isValid() || !end.isValid())
        return QStringLiteral("Укажите начало и окончание работ в боксе.");
    if (end <= start) return QStringLiteral("Окончание работ в боксе должно быть позже их начала.");
    if (start.daysTo(end) > kLongestDays || (start.daysTo(end) == kLongestDays && end.time() > start.time()))
        return QStringLiteral("Заказ нельзя запланировать в боксе больше чем на %1 день.").arg(kLongestDays);
    return {};
}

QList<Booking> Overlapping(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
                           const QString &except) {
    // No plan is longer than kLongestDays: the bay's index is read from that far back only.
    QVariantList binds = {iddBox, start.addDays(-kLongestDays), end, start};
    if (!except.isEmpty()) binds << except;
    CDynamicRecordset rs(db);
    rs.Open(
        QStringLiteral("SELECT IddZakaz, ZakazNomer, ZakazBegin, ZakazPlanEnd FROM TZakaz WHERE IddBox = ? "
                       "AND ZakazBegin >= ? AND ZakazBegin < ? AND ZakazPlanEnd > ? AND [Delete] = FALSE") +
            (except.isEmpty() ? QString() : QStringLiteral(" AND IddZakaz <> ?")) +
            QStringLiteral(" ORDER BY ZakazBegin, IddZakaz"),
        binds);
    QList<Booking> found;
    for (; !rs.IsEOF(); rs.MoveNext())
        found.append(
            {rs.Field(0).AsText(), rs.Field(1).AsText(), rs.Field(2).AsDateTime(), rs.Field(3).AsDateTime()});
    return found;
}

namespace {

QString Found(const QList<Booking> &found) {
    QStringList lines;
    for (const Booking &b : found)
        lines << QStringLiteral("заказ № %1: %2 – %3")
                     .arg(
                         b.number, b.start.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                         b.end.toString(b.end.date() == b.start.date() ? QStringLiteral("HH:mm")
                                                                       : QStringLiteral("dd.MM.yyyy HH:mm")));
    return lines.join(u'\n');
}

}  // namespace

Overlap::Overlap(QList<Booking> found)
    : DbError(QStringLiteral("В боксе на это время уже запланирован другой заказ:\n") + Found(found) +
              QStringLiteral("\nНичего не сохранено.")),
      m_found(std::move(found)) {}

QString Overlap::Question() const {
    return QStringLiteral("В боксе на это время уже запланирован другой заказ:\n") + Found(m_found) +
           QStringLiteral("\n\nЗапланировать заказы в боксе одновременно?");
}

void Claim(Database &db, const QString &iddBox, const QDateTime &start, const QDateTime &end,
           const QString &except, bool agreed) {
    if (db.dialect() == Dialect::Postgres)
        db.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"),
                {QStringLiteral("zv-bay ") + iddBox});
    if (agreed) return;
    QList<Booking> found = Overlapping(db, iddBox, start, end, except);
    if (!found.isEmpty()) throw Overlap(std::move(found));
}

}  // namespace BayPlan
