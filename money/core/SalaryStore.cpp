#include "SalaryStore.h"

#include "CashStore.h"
#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "SqlConditions.h"
#include "WorkPay.h"

#include <cmath>

#include <QSet>

namespace {

QDateTime EndOf(const QDate &day) {
    return SqlConditions::EndOf(day);
}

// The live workers of the TService row in scope: its pay is split equally among them.
const QString kLiveWorkers = QStringLiteral(
    "(SELECT COUNT(*) FROM TWork c WHERE c.IddZakaz = TService.IddZakaz AND c.IddService = "
    "TService.IddService AND c.[Delete] = FALSE)");
// Whether the TWork row in scope is its line's first live worker by key.
const QString kFirst = QStringLiteral(
    "NOT EXISTS (SELECT 1 FROM TWork c WHERE c.IddZakaz = TWork.IddZakaz AND c.IddService = "
    "TWork.IddService AND c.[Delete] = FALSE AND c.IddWork < TWork.IddWork)");
// Finished, live orders' live lines that are not package headers.
const QString kFinishedLines = QStringLiteral(
    "TZakaz.ZakazStatus = 2 AND TZakaz.[Delete] = FALSE AND TService.IddTop <> '0' AND TService.[Delete] = "
    "FALSE");

// A sum of whole kopecks as SQL returns it (PostgreSQL sums integers as numeric).
Money SumOfKopecks(const CDynamicField &field) {
    return Money::Kopecks(std::llround(field.AsDouble()));
}

// A payout's live lines as "line/worker/kopecks", in order: what a save compares with the stored ones (the
// workers' names are theirs, not the payout's).
QStringList StoredLines(const QList<PayoutLine> &lines) {
    QStringList keys;
    for (const PayoutLine &l : lines)
        if (!l.DeleteWorkPay)
            keys << QStringLiteral("%1/%2/%3").arg(l.IddWorkPay, l.IddWork).arg(l.SummaWorkPay.kopecks());
    keys.sort();
    return keys;
}

}  // namespace

QHash<QString, Money> SalaryStore::Earned(const QDate &day) {
    // The database keeps each worker's earnings per day of finish (TWorkEarnDay): the figure is their sum.
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT IddWork, SUM(Kopecks) AS Earned FROM TWorkEarnDay WHERE EndDay < ? GROUP BY "
                       "IddWork"),
        {EndOf(day).date()});
    QHash<QString, Money> earned;
    for (; !rs.IsEOF(); rs.MoveNext())
        earned.insert(rs.Text(QStringLiteral("IddWork")), SumOfKopecks(rs.Field(QStringLiteral("Earned"))));
    return earned;
}

QHash<QString, Money> SalaryStore::Paid(const QDate &day) {
    CDynamicRecordset rs(m_db);
    // A deleted payout counts nothing even if its lines were left live.
    rs.Open(
        QStringLiteral("SELECT TWorkPay.IddWork, SUM(TWorkPay.SummaWorkPay) AS Paid FROM TWorkPay INNER JOIN "
                       "TPay ON TWorkPay.IddPay = TPay.IddPay WHERE TPay.DataPay < ? AND "
                       "TWorkPay.DeleteWorkPay = FALSE AND TPay.[Delete] = FALSE GROUP BY TWorkPay.IddWork"),
        {EndOf(day)});
    QHash<QString, Money> paid;
    for (; !rs.IsEOF(); rs.MoveNext())
        paid.insert(rs.Text(QStringLiteral("IddWork")), rs.Amount(QStringLiteral("Paid")));
    return paid;
}

QList<WorkerFigures> SalaryStore::WorkerBalances(const QDate &day) {
    QList<WorkerFigures> list;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT SWork.IddWork, SWork.WorkFIO, SWork.WorkOut FROM SWork WHERE SWork.[Delete] = "
                       "FALSE ORDER BY SWork.WorkFIO, SWork.IddWork"));
    for (; !rs.IsEOF(); rs.MoveNext())
        list << WorkerFigures{rs.Text(QStringLiteral("IddWork")), rs.Text(QStringLiteral("WorkFIO")),
                              rs.Bool(QStringLiteral("WorkOut"))};
    const QHash<QString, Money> earned = Earned(day);
    const QHash<QString, Money> paid = Paid(day);
    for (WorkerFigures &w : list) {
        w.earned = earned.value(w.IddWork);
        w.paid = paid.value(w.IddWork);
    }
    return list;
}

QList<PayoutLine> SalaryStore::LoadPayoutLines(const QString &iddPay) {
    QList<PayoutLine> lines;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT TWorkPay.IddWorkPay, TWorkPay.IddWork, SWork.WorkFIO, TWorkPay.SummaWorkPay, "
                       "TWorkPay.DeleteWorkPay FROM TWorkPay INNER JOIN SWork ON TWorkPay.IddWork = "
                       "SWork.IddWork WHERE TWorkPay.IddPay = ? AND TWorkPay.DeleteWorkPay = FALSE ORDER BY "
                       "SWork.WorkFIO, TWorkPay.IddWorkPay"),
        {iddPay});
    for (; !rs.IsEOF(); rs.MoveNext())
        lines << PayoutLine{rs.Text(QStringLiteral("IddWorkPay")), rs.Text(QStringLiteral("IddWork")),
                            rs.Text(QStringLiteral("WorkFIO")), rs.Amount(QStringLiteral("SummaWorkPay")),
                            false};
    return lines;
}

QString SalaryStore::SavePayout(PayRecord &pay, QList<PayoutLine> &lines, const QString &login,
                                const std::optional<StoredPayout> &loaded) {
    PayRecord out = pay;
    QList<PayoutLine> saved = lines;
    out.TypePay = SalaryPayout;
    out.IddZakaz = QStringLiteral("0");
    Transaction tx(m_db);
    if (loaded) {
        // The row first (locked and compared), then its lines, which only a save of the payout writes.
        PaymentStore(m_db).SavePayment(out, QStringLiteral("0"), login, {}, loaded->pay);
        if (StoredLines(LoadPayoutLines(loaded->pay.IddPay)) != StoredLines(loaded->lines))
            throw ChangedMeanwhile(false);
    } else {
        PaymentStore(m_db).SavePayment(out, QStringLiteral("0"), login);
    }
    for (PayoutLine &line : saved) {
        const Values values = {{QStringLiteral("IddPay"), out.IddPay},
                               {QStringLiteral("IddWork"), line.IddWork},
                               {QStringLiteral("SummaWorkPay"), line.SummaWorkPay.ToDouble()},
                               {QStringLiteral("DeleteWorkPay"), line.DeleteWorkPay}};
        // A new line is only inserted: adding a payout is a right apart from changing one.
        if (!line.IddWorkPay.isEmpty() &&
            Rows::Update(m_db, QStringLiteral("TWorkPay"), {{QStringLiteral("IddWorkPay"), line.IddWorkPay}},
                         values) > 0)
            continue;
        if (line.IddWorkPay.isEmpty()) line.IddWorkPay = NewKey(login);
        Rows::Insert(m_db, QStringLiteral("TWorkPay"),
                     Values{{QStringLiteral("IddWorkPay"), line.IddWorkPay}} + values);
    }
    tx.Commit();
    // Only a committed save changes the caller's copies: a failed one can be retried as it was.
    pay = out;
    lines = saved;
    return pay.IddPay;
}

bool SalaryStore::DeletePayout(const QString &iddPay) {
    return CashStore(m_db).DeletePayment(iddPay);
}

QList<PayRecord> SalaryStore::SalaryJournal(const SalaryFilter &filter) {
    SqlConditions chosen;
    chosen.And(QStringLiteral("TPay.IddZakaz = '0' AND TPay.TypePay = ?"), {int(SalaryPayout)})
        .Period(QStringLiteral("TPay.DataPay"), filter.from, filter.to)
        .Equals(QStringLiteral("TPay.NomerPay"), filter.number)
        .Equals(QStringLiteral("TPay.NaznPay"), filter.purpose);
    const QString where = QStringLiteral("WHERE ") + chosen.where();
    const QVariantList &binds = chosen.binds();
    CDynamicRecordset rs(m_db);
    rs.Open(
        kPayColumns + where + QStringLiteral(" AND TPay.[Delete] = FALSE ORDER BY TPay.DataPay, TPay.IddPay"),
        binds);
    QList<PayRecord> list;
    for (; !rs.IsEOF(); rs.MoveNext()) list << ReadPayRecord(rs);
    return list;
}

namespace {

// What the performed-works list reads of each line and worker, over TZakaz, TService and TWork.
QString WorksColumns() {
    return QStringLiteral(
               "SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.ZakazData, TZakaz.ZakazEndOut, "
               "TZakaz.IddVlad, TService.IddService, TService.IddTop, TService.Name, TService.[Count], "
               "TService.Price, TService.PrNDS, TService.PrJob, TService.Job, TWork.IddWork, "
               "TWork.WorkFIO, TWork.[Delete] AS WDelete, ") +
           kLiveWorkers + QStringLiteral(" AS Workers, CASE WHEN ") + kFirst +
           QStringLiteral(" THEN 1 ELSE 0 END AS First ");
}

const QString kWorksOrder = QStringLiteral(
    " ORDER BY TZakaz.ZakazEndOut, TZakaz.IddZakaz, TService.Name, TService.IddService, TWork.WorkFIO");

// The filter's period on a column of the finish.
QString FinishedWithin(const WorksFilter &filter, const QString &column, QVariantList &binds) {
    QString where = column + QStringLiteral(" < ?");
    binds << EndOf(filter.to);
    if (filter.from.isValid()) {
        where += QStringLiteral(" AND ") + column + QStringLiteral(" >= ?");
        binds << SqlConditions::StartOf(filter.from);
    }
    return where;
}

// The rows of the list in their order, each line's pay shared among its live workers, and their totals.
PerformedWorks ReadWorks(CDynamicRecordset &rs) {
    // Columns by position: the list may run to thousands of rows.
    const auto column = [&](const char *name) { return rs.FieldIndex(QLatin1String(name)); };
    const int cWorkers = column("Workers"), cIddWork = column("IddWork"), cWDelete = column("WDelete"),
              cIddZakaz = column("IddZakaz"), cIddService = column("IddService"), cIddTop = column("IddTop"),
              cIddVlad = column("IddVlad"), cEndOut = column("ZakazEndOut"), cData = column("ZakazData"),
              cNomer = column("ZakazNomer"), cName = column("Name"), cCount = column("Count"),
              cPrice = column("Price"), cPrNDS = column("PrNDS"), cWorkFIO = column("WorkFIO"),
              cPrJob = column("PrJob"), cJob = column("Job"), cFirst = column("First");
    PerformedWorks works;
    QSet<QString> unassigned;  // lines already listed once without a worker
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const long workers = rs.Field(cWorkers).AsLong();
        const QString iddWork = rs.Field(cIddWork).AsText();
        const bool live = !iddWork.isEmpty() && !rs.Field(cWDelete).AsBool();
        PerformedWork w;
        w.IddZakaz = rs.Field(cIddZakaz).AsText();
        w.IddService = rs.Field(cIddService).AsText();
        if (!live) {
            // A removed assignment beside live ones would count the line twice; a line left without
            // workers is listed once, with nobody and nothing paid.
            if (workers > 0) continue;
            const QString line = w.IddZakaz + u'\n' + w.IddService + u'\n' + rs.Field(cIddTop).AsText();
            if (unassigned.contains(line)) continue;
            unassigned.insert(line);
        }
        w.IddVlad = rs.Field(cIddVlad).AsText();
        w.ZakazEndOut = rs.Field(cEndOut).AsDateTime();
        w.ZakazData = rs.Field(cData).AsDateTime();
        w.ZakazNomer = rs.Field(cNomer).AsText();
        w.Name = rs.Field(cName).AsText();
        const double count = rs.Field(cCount).AsDouble();
        const Money price = rs.Field(cPrice).AsMoney();
        w.amount = WorkPay::LineAmount(count, price);
        w.vat = w.amount.Percent(rs.Field(cPrNDS).AsDouble());
        if (live) {
            w.IddWork = iddWork;
            w.WorkFIO = rs.Field(cWorkFIO).AsText();
            w.pay = WorkPay::Share(
                WorkPay::LinePay(count, price, rs.Field(cPrJob).AsBool(), rs.Field(cJob).AsDouble()),
                int(workers), rs.Field(cFirst).AsLong() == 1);
        }
        works.amount += w.amount;
        works.vat += w.vat;
        works.total += w.Total();
        works.pay += w.pay;
        works.rows << w;
    }
    return works;
}

}  // namespace

PerformedWorks SalaryStore::FillPerformedWorks(const WorksFilter &filter) {
    QVariantList binds;
    QString where = FinishedWithin(filter, QStringLiteral("TZakaz.ZakazEndOut"), binds);
    if (!filter.iddWork.isEmpty()) {
        where += QStringLiteral(" AND TWork.IddWork = ? AND TWork.[Delete] = FALSE");
        binds << filter.iddWork;
    }
    CDynamicRecordset rs(m_db);
    rs.Open(
        WorksColumns() +
            QStringLiteral("FROM (TZakaz INNER JOIN TService ON TZakaz.IddZakaz = TService.IddZakaz) LEFT "
                           "JOIN TWork ON TService.IddService = TWork.IddService AND TService.IddZakaz = "
                           "TWork.IddZakaz WHERE ") +
            where + QStringLiteral(" AND ") + kFinishedLines + kWorksOrder,
        binds);
    return ReadWorks(rs);
}

PerformedWorks SalaryStore::FirstPerformedWorks(const WorksFilter &filter, int firstOrders, bool *more) {
    if (more) *more = false;
    if (filter.iddWork.isEmpty()) return FillPerformedWorks(filter);
    // The worker's first orders by their finish come from the kept earnings, which hold a row for each
    // finished order he has a live line on; one more than asked for tells whether the list goes on.
    QVariantList binds = {filter.iddWork};
    const QString within = FinishedWithin(filter, QStringLiteral("EndOut"), binds);
    binds << firstOrders + 1 << filter.iddWork;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("WITH o AS (SELECT IddZakaz FROM TWorkEarn WHERE IddWork = ? AND ") + within +
            QStringLiteral(" ORDER BY EndOut, IddZakaz LIMIT ?) ") + WorksColumns() +
            QStringLiteral("FROM ((o INNER JOIN TZakaz ON TZakaz.IddZakaz = o.IddZakaz) INNER JOIN TService "
                           "ON TService.IddZakaz = TZakaz.IddZakaz) INNER JOIN TWork ON TWork.IddZakaz = "
                           "TService.IddZakaz AND TWork.IddService = TService.IddService WHERE "
                           "TWork.IddWork = ? AND TWork.[Delete] = FALSE AND ") +
            kFinishedLines + kWorksOrder,
        binds);
    PerformedWorks works = ReadWorks(rs);
    QSet<QString> orders;
    for (const PerformedWork &w : works.rows) orders.insert(w.IddZakaz);
    if (orders.size() > firstOrders) {
        const QString last = works.rows.last().IddZakaz;
        while (!works.rows.isEmpty() && works.rows.last().IddZakaz == last) works.rows.removeLast();
        if (more) *more = true;
    }
    // The totals are the whole period's, from what the database keeps of the same lines.
    QVariantList totalBinds = {filter.iddWork};
    const QString period = FinishedWithin(filter, QStringLiteral("EndOut"), totalBinds);
    CDynamicRecordset totals(m_db);
    totals.Open(QStringLiteral("SELECT SUM(Amount) AS Amount, SUM(Vat) AS Vat, SUM(Kopecks) AS Pay FROM "
                               "TWorkEarn WHERE IddWork = ? AND ") +
                    period,
                totalBinds);
    works.amount = SumOfKopecks(totals.Field(QStringLiteral("Amount")));
    works.vat = SumOfKopecks(totals.Field(QStringLiteral("Vat")));
    works.total = works.amount + works.vat;
    works.pay = SumOfKopecks(totals.Field(QStringLiteral("Pay")));
    return works;
}

QList<WorkerChoice> SalaryStore::AllWorkers() {
    QList<WorkerChoice> list;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
        "SELECT SWork.IddWork, SWork.[Delete], SWork.WorkFIO FROM SWork ORDER BY SWork.[Delete] "
        "DESC, SWork.WorkFIO, SWork.IddWork"));
    for (; !rs.IsEOF(); rs.MoveNext())
        list << WorkerChoice{rs.Text(QStringLiteral("IddWork")), rs.Text(QStringLiteral("WorkFIO")),
                             rs.Bool(QStringLiteral("Delete"))};
    return list;
}
