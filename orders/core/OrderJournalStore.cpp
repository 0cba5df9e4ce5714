#include "OrderJournalStore.h"

#include "Database.h"
#include "DynamicRecordset.h"
#include "OrderMath.h"
#include "OrderStore.h"
#include "Rows.h"
#include "SqlConditions.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

// The debt of the TZakaz row in scope, as the debts view defines it (its stored total less what was paid
// on it), read from the row itself.
const QString kDebt = QStringLiteral("(COALESCE(TZakaz.ZakazSumma, 0) - COALESCE(TZakaz.ZakazOplata, 0))");
// In debt from one kopeck (more than half a kopeck, see kHalfKopeck). Written out as the index of the
// debts is, with the figure in the text, so that the database finds them there instead of reading all
// orders.
const QString kInDebt = QStringLiteral("TZakaz.ZakazSumma - TZakaz.ZakazOplata > %1").arg(kHalfKopeck);

QString StatusCondition(JournalStatus status) {
    switch (status) {
        case JournalStatus::Active:
            return QStringLiteral(" AND TZakaz.ZakazStatus IN (0, 1)");
        case JournalStatus::Requested:
            return QStringLiteral(" AND TZakaz.ZakazStatus = 0");
        case JournalStatus::Started:
            return QStringLiteral(" AND TZakaz.ZakazStatus = 1");
        case JournalStatus::Unpaid:
            return QStringLiteral(" AND TZakaz.ZakazStatus IN (1, 2)");
        case JournalStatus::Finished:
            return QStringLiteral(" AND TZakaz.ZakazStatus = 2");
        case JournalStatus::All:
            break;
    }
    return {};
}

// Texts that repeat from row to row (service names, the same workers, a regular's name) are kept once.
JournalLine LineOf(const OrderLine &line, Rows::SharedTexts &pool) {
    JournalLine j;
    j.name = pool(line.name);
    QStringList names;
    for (const PickedWorker &w : line.workers) names << w.workFio;
    j.performers = pool(names.join(QStringLiteral(", ")));
    j.count = line.count;
    j.prNds = line.prNds;
    j.price = line.price;
    if (!line.IsPackage()) {
        j.amount = OrderMath::LineAmount(line);
        j.vat = OrderMath::LineVat(line);
        j.total = OrderMath::LineTotal(line);
        return j;
    }
    j.package = true;
    for (const OrderLine &service : line.children) {
        JournalLine s = LineOf(service, pool);
        j.amount += s.amount;
        j.vat += s.vat;
        j.total += s.total;
        j.services << std::move(s);
    }
    return j;
}

QStringList SortedDistinct(const QSet<QString> &values) {
    QStringList list(values.begin(), values.end());
    list.removeAll(QString());
    std::sort(list.begin(), list.end());
    return list;
}

}  // namespace

QString JournalOrder::Car() const {
    QStringList car;
    for (const QString &part : {AvtoMarka, AvtoColor})
        if (!part.trimmed().isEmpty()) car << part.trimmed();
    return car.join(u'-');
}

void OrderJournalStore::DefaultPeriod(const QDate &today, QDate *from, QDate *to) {
    *from = QDate(today.year(), today.month(), 1);
    *to = QDate(today.year(), today.month(), today.daysInMonth());
}

QList<JournalOrder> OrderJournalStore::Search(const JournalFilter &filter, int firstOrders, bool *more) {
    return Read(filter, firstOrders, more, nullptr);
}

QList<JournalOrder> OrderJournalStore::Changed(const JournalFilter &filter, const JournalKeys &keys) {
    return Read(filter, 0, nullptr, &keys);
}

QList<JournalOrder> OrderJournalStore::Refreshed(const QList<JournalOrder> &shown,
                                                 const JournalFilter &filter, const JournalKeys &keys) {
    QList<JournalOrder> fresh = Changed(filter, keys);
    QHash<QString, qsizetype> freshAt;
    for (qsizetype i = 0; i < fresh.size(); ++i) freshAt.insert(fresh[i].IddZakaz, i);
    QList<JournalOrder> list;
    list.reserve(shown.size() + fresh.size());
    for (const JournalOrder &order : shown) {
        const auto found = freshAt.constFind(order.IddZakaz);
        if (found != freshAt.constEnd()) {
            list << std::move(fresh[found.value()]);
            freshAt.erase(found);
        } else if (!keys.orders.contains(order.IddZakaz)) {
            list << order;
        }  // else written and no longer listed
    }
    for (const qsizetype at : std::as_const(freshAt)) list << std::move(fresh[at]);
    // In the list's order: newest appointment first, then by key; an order without an appointment where
    // each database sorts a missing value (last on SQLite, first on PostgreSQL).
    const bool missingFirst = m_db.PostgresStyle();
    std::stable_sort(list.begin(), list.end(), [missingFirst](const JournalOrder &a, const JournalOrder &b) {
        if (a.ZakazBegin.isValid() != b.ZakazBegin.isValid()) return a.ZakazBegin.isValid() != missingFirst;
        if (a.ZakazBegin != b.ZakazBegin) return a.ZakazBegin > b.ZakazBegin;
        return a.IddZakaz < b.IddZakaz;
    });
    return list;
}

QList<JournalOrder> OrderJournalStore::Read(const JournalFilter &filter, int firstOrders, bool *more,
                                            const JournalKeys *keys) {
    SqlConditions chosen;
    chosen.Period(QStringLiteral("TZakaz.ZakazData"), filter.from, filter.to)
        .Equals(QStringLiteral("TZakaz.ZakazNomer"), filter.number)
        .Equals(QStringLiteral("SAvto.AvtoNomer"), filter.plate)
        .Equals(QStringLiteral("SAvto.AvtoMarka"), filter.make)
        .Equals(QStringLiteral("SClient.ClientName"), filter.client);
    const QString period = chosen.where() + StatusCondition(filter.status);
    QVariantList binds = chosen.binds();

    QString where;
    if (filter.status == JournalStatus::Active)
        where = QStringLiteral("(") + period + QStringLiteral(") OR ") + kInDebt;
    else if (filter.status == JournalStatus::Unpaid)
        where = period + QStringLiteral(" AND ") + kInDebt;
    else
        where = period;
    if (keys) {
        QStringList any;
        const auto among = [&](const char *column, const QSet<QString> &values) {
            if (values.isEmpty()) return;
            QStringList marks;
            for (const QString &value : values) {
                marks << QStringLiteral("?");
                binds << value;
            }
            any << QStringLiteral("TZakaz.%1 IN (%2)").arg(QLatin1StringView(column), marks.join(u", "));
        };
        among("IddZakaz", keys->orders);
        among("IddVlad", keys->clients);
        among("IddAvto", keys->cars);
        where = QStringLiteral("(%1) AND (%2)")
                    .arg(where, any.isEmpty() ? QStringLiteral("1 = 0") : any.join(QStringLiteral(" OR ")));
    }

    // The orders are chosen once (with their debts) and then joined to their live lines and workers, so
    // the whole journal is one round trip however many orders it lists. The first orders only are the
    // list's beginning in the same order, one more than asked telling whether others follow.
    QString first;
    if (firstOrders > 0) {
        first = QStringLiteral(" ORDER BY TZakaz.ZakazBegin DESC, TZakaz.IddZakaz LIMIT ?");
        binds << firstOrders + 1;
    }
    const QString sql =
        QStringLiteral(
            "WITH o AS MATERIALIZED (SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.ZakazData, "
            "TZakaz.ZakazBegin, TZakaz.ZakazBeginIn, TZakaz.ZakazEndOut, TZakaz.ZakazStatus, "
            "SAvto.AvtoNomer, "
            "SAvto.AvtoMarka, SAvto.AvtoColor, SClient.ClientName, SClient.ClientTel, "
            "COALESCE(TZakaz.ZakazSumma, 0) AS ZakazSumma, ") +
        kDebt +
        QStringLiteral(
            " AS SummD FROM (TZakaz LEFT JOIN SAvto ON TZakaz.IddAvto = SAvto.IddAvto) LEFT JOIN SClient ON "
            "TZakaz.IddVlad = SClient.IddClient WHERE TZakaz.[Delete] = FALSE AND (") +
        where + QStringLiteral(")") + first +
        QStringLiteral(
            ") SELECT o.IddZakaz, o.ZakazNomer, o.ZakazData, o.ZakazBegin, o.ZakazBeginIn, o.ZakazEndOut, "
            "o.ZakazStatus, o.AvtoNomer, o.AvtoMarka, o.AvtoColor, o.ClientName, o.ClientTel, o.ZakazSumma, "
            "o.SummD, "
            "s.IddService, s.IddTop, s.[Count], s.[Name], s.Price, s.PrNDS, s.[Time], s.PrJob, s.Job, "
            "w.iddWork, w.workFio FROM (o LEFT JOIN TService s ON s.IddZakaz = o.IddZakaz AND s.[Delete] = "
            "FALSE) LEFT JOIN TWork w ON w.IddZakaz = s.IddZakaz AND w.IddService = s.IddService AND "
            "w.[Delete] = FALSE ORDER BY o.ZakazBegin DESC, o.IddZakaz, s.[Name], s.IddService, s.IddTop, "
            "w.workFio, w.iddWork");

    QList<JournalOrder> orders;
    QList<OrderLine> flat;  // the lines of the order being read, in the order the rows bring them
    Rows::SharedTexts pool;
    const auto finish = [&] {
        if (orders.isEmpty()) return;
        for (const OrderLine &line : OrderStore::Arrange(flat)) orders.last().lines << LineOf(line, pool);
        flat.clear();
    };

    // Read as the rows arrive; the keys each row is told apart by are read by place (see the SELECT above).
    CDynamicRecordset rs(m_db);
    rs.OpenLong(sql, binds);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString key = rs.TextAt(0);  // IddZakaz
        if (orders.isEmpty() || orders.last().IddZakaz != key) {
            finish();
            JournalOrder o;
            o.IddZakaz = key;
            o.ZakazNomer = rs.Text(QStringLiteral("ZakazNomer"));
            o.ZakazData = rs.Date(QStringLiteral("ZakazData"));
            o.ZakazBegin = rs.Date(QStringLiteral("ZakazBegin"));
            o.ZakazBeginIn = rs.Date(QStringLiteral("ZakazBeginIn"));
            o.ZakazEndOut = rs.Date(QStringLiteral("ZakazEndOut"));
            o.ZakazStatus = int(rs.Long(QStringLiteral("ZakazStatus")));
            o.AvtoNomer = rs.Text(QStringLiteral("AvtoNomer"));
            o.AvtoMarka = pool(rs.Text(QStringLiteral("AvtoMarka")));
            o.AvtoColor = pool(rs.Text(QStringLiteral("AvtoColor")));
            o.ClientName = pool(rs.Text(QStringLiteral("ClientName")));
            o.ClientTel = pool(rs.Text(QStringLiteral("ClientTel")));
            o.total = rs.Amount(QStringLiteral("ZakazSumma"));
            o.debt = rs.Amount(QStringLiteral("SummD"));
            orders << o;
        }
        const QString service = rs.TextAt(14);  // IddService
        if (service.isEmpty()) continue;        // an order without lines
        const QString top = rs.TextAt(15);      // IddTop
        if (flat.isEmpty() || flat.last().iddService != service || flat.last().iddTop != top) {
            flat << OrderStore::ReadLine(rs);
        }
        const QString worker = rs.TextAt(23);  // IddWork
        if (!worker.isEmpty()) flat.last().workers << PickedWorker{QString(), worker, rs.TextAt(24), false};
    }
    finish();
    const bool cut = firstOrders > 0 && orders.size() > firstOrders;
    if (cut) orders.removeLast();
    if (more) *more = cut;
    return orders;
}

JournalOrderState OrderJournalStore::State(const QString &iddZakaz) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT TZakaz.ZakazStatus, ") + kDebt +
                QStringLiteral(" AS SummD FROM TZakaz WHERE TZakaz.IddZakaz = ? AND TZakaz.[Delete] = FALSE"),
            {iddZakaz});
    JournalOrderState state;
    if (rs.IsEOF()) return state;
    state.found = true;
    state.status = int(rs.Long(QStringLiteral("ZakazStatus")));
    state.debt = rs.Amount(QStringLiteral("SummD"));
    return state;
}

OrderJournalStore::FilterLists OrderJournalStore::ListsOf(const QList<JournalOrder> &orders) {
    QSet<QString> numbers, plates, makes, clients;
    for (const JournalOrder &o : orders) {
        numbers << o.ZakazNomer.trimmed();
        plates << o.AvtoNomer.trimmed();
        makes << o.AvtoMarka.trimmed();
        clients << o.ClientName.trimmed();
    }
    return {SortedDistinct(numbers), SortedDistinct(plates), SortedDistinct(makes), SortedDistinct(clients)};
}
