#include "ReportRows.h"

#include "Formats.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>

namespace ReportRows {

QList<OrderReportRow> OrderRows(const QList<JournalOrder> &orders) {
    QList<OrderReportRow> rows;
    rows.reserve(orders.size());
    for (const JournalOrder &o : orders) {
        OrderReportRow r;
        r.client = o.ClientName;
        r.tel = o.ClientTel;
        r.number = o.ZakazNomer;
        r.date = o.ZakazData;
        // As the journal shows them.
        r.start = o.From();
        r.end = o.To();
        r.plate = o.AvtoNomer;
        r.make = o.Car();
        r.total = o.total;
        r.debt = o.debt;
        rows << r;
    }
    return rows;
}

CashOperationRow CashRowOf(const PayRecord &pay, const QString &clientName, const QString &workFio,
                           const QString &zakazNomer, const QDateTime &zakazData) {
    CashOperationRow r;
    r.NomerPay = pay.NomerPay;
    r.DataPay = pay.DataPay;
    r.SummaPay = pay.SummaPay;
    r.NaznPay = pay.NaznPay;
    r.DocPay = pay.DocPay;
    r.PrimPay = pay.PrimPay;
    r.ClientName = clientName;
    r.WorkFIO = workFio;
    r.ZakazNomer = zakazNomer;
    r.ZakazData = zakazData;
    return r;
}

QList<CashOperationRow> CashRows(const QList<CashRow> &journal) {
    QList<CashOperationRow> rows;
    rows.reserve(journal.size());
    for (const CashRow &c : journal)
        rows << CashRowOf(c.pay, c.clientName, c.workFio, c.zakazNomer, c.zakazData);
    return rows;
}

QList<PayoutRow> PayoutRows(const QList<PayRecord> &payouts) {
    QList<PayoutRow> rows;
    rows.reserve(payouts.size());
    // Payouts leave the cash desk as negative sums; the journal and its report show them positive.
    for (const PayRecord &p : payouts) rows << PayoutRow{p.NomerPay, p.DataPay, p.NaznPay, -p.SummaPay};
    return rows;
}

QList<PerformedWorkRow> PerformedRows(const PerformedWorks &works) {
    QList<PerformedWorkRow> rows;
    rows.reserve(works.rows.size());
    for (const PerformedWork &w : works.rows)
        rows << PerformedWorkRow{w.ZakazEndOut, w.ZakazNomer, w.ZakazData, w.Name, w.amount,
                                 w.vat,         w.Total(),    w.WorkFIO,   w.pay};
    return rows;
}

QString PlanTime(const QDateTime &start, const QDateTime &end, const QDate &day) {
    const auto side = [&day](const QDateTime &at, bool isEnd) {
        if (at.date() == day) return Formats::Time(at);
        if (isEnd && at == QDateTime(day.addDays(1), QTime(0, 0))) return QStringLiteral("24:00");
        return at.toString(QStringLiteral("dd.MM HH:mm"));
    };
    return side(start, false) + u'\u2013' + side(end, true);
}

QList<BayPlanDay::Bay> PlanBays(const BayBoard::Board &board, const QDate &day) {
    QList<BayPlanDay::Bay> bays;
    QHash<QString, qsizetype> index;
    for (const BayBoard::Bay &b : board.bays()) {
        index.insert(b.iddBox, bays.size());
        bays.append({b.name, {}});
    }
    QList<BayBoard::Block> blocks = board.blocks();
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const BayBoard::Block &a, const BayBoard::Block &b) { return a.start < b.start; });
    for (const BayBoard::Block &b : std::as_const(blocks)) {
        const auto at = index.constFind(b.iddBox);
        if (at == index.constEnd()) continue;
        bays[*at].rows.append(
            {PlanTime(b.start, b.end, day), b.number, b.client, b.plate, b.services, b.phone});
    }
    return bays;
}

QList<TyreReportRow> TyreRows(QList<TyreSet> sets, const QList<StoragePlace> &places, TyreReportOrder order,
                              const QDate &day) {
    // Names in the Russian alphabet's order whatever the workstation's language, numbers by their value.
    QCollator collator{QLocale(QLocale::Russian, QLocale::Russia)};
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<StoragePlace> ordered = places;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const StoragePlace &a, const StoragePlace &b) {
        for (const auto &[x, y] : {std::pair{&a.rack, &b.rack}, {&a.shelf, &b.shelf}, {&a.cell, &b.cell}})
            if (const int c = collator.compare(*x, *y)) return c < 0;
        return false;
    });
    QHash<QString, qsizetype> rank;
    for (qsizetype i = 0; i < ordered.size(); ++i) rank.insert(ordered[i].iddPlace, i);
    const auto byPlace = [&](const TyreSet &a, const TyreSet &b) {
        const qsizetype ra = rank.value(a.iddPlace, ordered.size()),
                        rb = rank.value(b.iddPlace, ordered.size());
        if (ra != rb) return ra < rb ? -1 : 1;
        if (const int c = collator.compare(a.placeText, b.placeText)) return c;
        if (a.dateIn != b.dateIn) return a.dateIn < b.dateIn ? -1 : 1;
        return collator.compare(a.code, b.code);
    };
    const auto less = [&](const TyreSet &a, const TyreSet &b) {
        switch (order) {
            case TyreReportOrder::ByPlace:
                break;
            case TyreReportOrder::ByClient:
                if (const int c = collator.compare(a.clientName, b.clientName)) return c < 0;
                if (const int c = collator.compare(a.plate, b.plate)) return c < 0;
                break;
            case TyreReportOrder::Overdue:
                if (a.paidUntil != b.paidUntil) return a.paidUntil < b.paidUntil;
                break;
        }
        return byPlace(a, b) < 0;
    };
    if (order == TyreReportOrder::Overdue) sets.removeIf([&](const TyreSet &s) { return !s.Overdue(day); });
    std::stable_sort(sets.begin(), sets.end(), less);
    QList<TyreReportRow> rows;
    rows.reserve(sets.size());
    for (const TyreSet &s : std::as_const(sets))
        rows.append({s.placeText, s.clientName, s.plate, s.Description(), s.code, s.dateIn, s.paidUntil,
                     SeasonsOverdue(s.paidUntil, day)});
    return rows;
}

QString KindWord(JournalStatus status) {
    switch (status) {
        case JournalStatus::All:
            return QStringLiteral("всех");
        case JournalStatus::Active:
            return QStringLiteral("текущих");
        case JournalStatus::Requested:
            return QStringLiteral("предварительных");
        case JournalStatus::Started:
            return QStringLiteral("начатых");
        case JournalStatus::Unpaid:
            return QStringLiteral("неоплаченных");
        case JournalStatus::Finished:
            return QStringLiteral("выполненных");
    }
    return QStringLiteral("всех");
}

}  // namespace ReportRows
