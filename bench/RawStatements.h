#pragma once

// The raw statements the benchmarks time the program's calls beside: each returns the rows a screen shows,
// in plain SQL through a bare QSqlQuery prepared once.
#include "BayPlan.h"
#include "BenchPair.h"
#include "ServiceRecord.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// How the raw clients statement finds debts: every client's at once (the whole list, the debtors), or
// only the listed clients' own (a search by name or INN).
enum class Debts { All, Debtors, Own };

// Every client's debt in one pass over the orders' stored totals and what was paid on them.
inline constexpr const char *kDebtsRaw =
    "SELECT z.IddVlad, SUM(COALESCE(z.ZakazSumma, 0) - COALESCE(z.ZakazOplata, 0)) AS Sum_SummD FROM TZakaz "
    "z "
    "GROUP BY z.IddVlad";

// The columns and rows of the clients directory in one statement: each client (the columns its list shows)
// with its debt and its current cars.
inline QString ClientsRaw(const QString &where, Debts debts) {
    const QString all = QString::fromLatin1(kDebtsRaw);
    QString debt, from;
    switch (debts) {
        case Debts::All:
            debt = QStringLiteral("d.Sum_SummD");
            from = QStringLiteral("SClient c LEFT JOIN (") + all +
                   QStringLiteral(") d ON d.IddVlad = c.IddClient");
            break;
        case Debts::Debtors:
            debt = QStringLiteral("d.Sum_SummD");
            from = QStringLiteral("SClient c INNER JOIN (") + all +
                   QStringLiteral(
                       " HAVING SUM(COALESCE(z.ZakazSumma, 0) - COALESCE(z.ZakazOplata, 0)) > ?) d "
                       "ON d.IddVlad = c.IddClient");
            break;
        case Debts::Own:
            debt = QStringLiteral("(SELECT SUM(g.SummD) FROM TClientDolg g WHERE g.IddVlad = c.IddClient)");
            from = QStringLiteral("SClient c");
            break;
    }
    return QStringLiteral(
               "SELECT c.IddClient, c.ClientName, c.ClientINN, c.ClientAdres, c.ClientTel, c.ClientFaks, "
               "c.ClientContact, ") +
           debt +
           QStringLiteral(
               " AS Sum_SummD, l.IddAvtoVlad, a.IddAvto, a.AvtoNomer, a.AvtoMarka, a.AvtoColor FROM ") +
           from +
           QStringLiteral(
               " LEFT JOIN AvtoVlad l ON l.IddVlad = c.IddClient AND l.[Delete] = FALSE "
               "LEFT JOIN SAvto a ON a.IddAvto = l.IddAvto") +
           where + QStringLiteral(" ORDER BY c.ClientName, c.IddClient, a.AvtoNomer");
}

inline constexpr const char *kCarsRaw =
    "SELECT a.IddAvto, a.AvtoNomer, a.AvtoMarka, a.AvtoVin, a.AvtoDvig, a.AvtoColor, a.AvtoPrim, "
    "l.IddAvtoVlad, l.IddVlad, c.ClientName, c.ClientContact, c.ClientTel, c.ClientFaks FROM SAvto a "
    "LEFT JOIN AvtoVlad l ON l.IddAvto = a.IddAvto AND l.[Delete] = FALSE "
    "LEFT JOIN SClient c ON c.IddClient = l.IddVlad ORDER BY a.AvtoNomer, a.IddAvto, c.ClientName";

inline constexpr const char *kServicesRaw =
    "SELECT s.IddService, s.IddTop, s.[Name], s.Price, s.PrNDS, s.Summa, s.PrJob, s.Job, s.[Time], "
    "s.[Delete], "
    "w.IddServiceWork, w.iddWork, k.WorkFIO FROM SService s "
    "LEFT JOIN ServiceWork w ON w.IddService = s.IddService AND w.[Delete] = FALSE "
    "LEFT JOIN SWork k ON k.IddWork = w.iddWork WHERE s.[Delete] = FALSE "
    "ORDER BY s.IddTop, s.[Name], s.IddService, k.WorkFIO";

// What the order load reads, one statement per kind of row.
inline constexpr const char *kLoadRaw[] = {
    "SELECT z.IddZakaz, z.ZakazNomer, z.ZakazData, z.ZakazBegin, z.ZakazBeginIn, z.ZakazEndOut, z.IddAvto, "
    "z.IddVlad, z.ZakazStatus, z.IddBox, z.ZakazPlanEnd, a.AvtoNomer, a.AvtoMarka, a.AvtoVin, a.AvtoDvig, "
    "a.AvtoColor, a.AvtoPrim, c.ClientName, c.ClientAdres, c.ClientTel FROM TZakaz z LEFT JOIN SAvto a ON "
    "z.IddAvto = a.IddAvto LEFT JOIN SClient c ON z.IddVlad = c.IddClient WHERE z.IddZakaz = ? AND "
    "z.[Delete] = FALSE",
    "SELECT IddService, IddWork, WorkFIO FROM TWork WHERE IddZakaz = ? AND [Delete] = FALSE "
    "ORDER BY WorkFIO, IddWork",
    "SELECT IddService, IddTop, [Count], [Name], Price, PrNDS, [Time], PrJob, Job FROM TService "
    "WHERE IddZakaz = ? AND [Delete] = FALSE ORDER BY [Name], IddService",
    "SELECT IddPay, IddZakaz, TypePay, NaznPay, NomerPay, DataPay, SummaPay, DocPay, PrimPay, [Delete] FROM "
    "TPay "
    "WHERE IddZakaz = ? AND [Delete] = FALSE ORDER BY DataPay DESC, IddPay DESC"};

// The order journal's raw limit: the listed orders with their debts (stored total less what was paid),
// joined to their live lines and workers, in the journal's order. `where` is over z (TZakaz), a (SAvto) and
// c (SClient). The default search ("Активные") also lists every order in debt.
inline QString JournalRaw(const QString &where, bool everyDebt) {
    const QString orders =
        QStringLiteral(
            "SELECT z.IddZakaz, z.ZakazNomer, z.ZakazData, z.ZakazBegin, z.ZakazBeginIn, z.ZakazEndOut, "
            "z.ZakazStatus, a.AvtoNomer, a.AvtoMarka, a.AvtoColor, c.ClientName, c.ClientTel, "
            "COALESCE(z.ZakazSumma, 0) - COALESCE(z.ZakazOplata, 0) AS SummD FROM TZakaz z "
            "LEFT JOIN SAvto a ON a.IddAvto = z.IddAvto LEFT JOIN SClient c ON c.IddClient = z.IddVlad "
            "WHERE z.[Delete] = FALSE AND ") +
        (everyDebt
             ? QStringLiteral("((") + where + QStringLiteral(") OR z.ZakazSumma - z.ZakazOplata > 0.009)")
             : where);
    return QStringLiteral("WITH o AS (") + orders +
           QStringLiteral(
               ") SELECT o.*, s.IddService, s.IddTop, s.[Count], s.[Name], s.Price, s.PrNDS, s.[Time], "
               "s.PrJob, s.Job, w.iddWork, w.workFio FROM o LEFT JOIN TService s ON s.IddZakaz = o.IddZakaz "
               "AND s.[Delete] = FALSE LEFT JOIN TWork w ON w.IddZakaz = s.IddZakaz AND w.IddService = "
               "s.IddService AND w.[Delete] = FALSE ORDER BY o.ZakazBegin DESC, o.IddZakaz, s.[Name], "
               "s.IddService, s.IddTop, w.workFio, w.iddWork");
}

// The cash journal's raw limit: the month's live rows with what each IddZakaz points at, oldest first
// (the three totals are summed from the rows read, as the program does).
inline constexpr const char *kCashRaw =
    "SELECT p.IddPay, p.IddZakaz, p.TypePay, p.NaznPay, p.NomerPay, p.DataPay, p.SummaPay, p.DocPay, "
    "p.PrimPay, p.[Delete], c.IddClient, c.ClientName, k.IddWork, k.WorkFIO, z.ZakazNomer, z.ZakazData "
    "FROM TPay p LEFT JOIN TZakaz z ON z.IddZakaz = p.IddZakaz LEFT JOIN SClient c ON c.IddClient = "
    "p.IddZakaz LEFT JOIN SWork k ON k.IddWork = p.IddZakaz WHERE p.DataPay >= ? AND p.DataPay < ? AND "
    "p.[Delete] = FALSE ORDER BY p.DataPay, p.IddPay";

// The change log's entries of a period, as its store reads them.
inline constexpr const char *kChangeLogRaw =
    "SELECT l.Serial, l.At, l.UserName, l.Host, l.Tbl, l.Idd, l.IddZakaz, l.Nomer, l.Action, l.Label, "
    "l.Changes, "
    "(SELECT c.ClientName FROM TZakaz z JOIN SClient c ON c.IddClient = z.IddVlad WHERE z.IddZakaz = "
    "l.IddZakaz) FROM ZvLog l WHERE l.At >= ? AND l.At < ? ORDER BY l.At DESC, l.Serial DESC LIMIT 10001";

// The salary journal's payouts of a period, as its store reads them.
inline constexpr const char *kSalaryJournalRaw =
    "SELECT p.IddPay, p.IddZakaz, p.TypePay, p.NaznPay, p.NomerPay, p.DataPay, p.SummaPay, p.DocPay, "
    "p.PrimPay, p.[Delete] FROM TPay p WHERE p.IddZakaz = '0' AND p.TypePay = 1 AND p.DataPay >= ? AND "
    "p.DataPay < ? AND p.[Delete] = FALSE ORDER BY p.DataPay, p.IddPay";

// The client card's two pages: the client's orders with totals and debts, and the client's account.
inline constexpr const char *kClientOrdersRaw =
    "SELECT z.IddZakaz, z.ZakazNomer, z.ZakazData, z.ZakazBegin, z.ZakazBeginIn, z.ZakazEndOut, "
    "a.AvtoNomer, a.AvtoMarka, a.AvtoColor, c.ClientName, c.ClientTel, z.ZakazStatus, z.ZakazSumma, "
    "COALESCE(z.ZakazSumma, 0) - COALESCE(z.ZakazOplata, 0) AS SummD FROM TZakaz z "
    "LEFT JOIN SAvto a ON a.IddAvto = z.IddAvto LEFT JOIN SClient c ON c.IddClient = z.IddVlad "
    "WHERE z.IddVlad = ? AND z.[Delete] = FALSE ORDER BY z.ZakazBegin DESC, z.IddZakaz";
inline constexpr const char *kClientAccountRaw =
    "SELECT p.IddPay, p.IddZakaz, p.TypePay, p.NaznPay, p.NomerPay, p.DataPay, p.SummaPay, p.DocPay, "
    "p.PrimPay, p.[Delete] FROM TPay p INNER JOIN TZakaz z ON z.IddZakaz = p.IddZakaz WHERE z.IddVlad = ? "
    "AND "
    "z.[Delete] = FALSE AND p.[Delete] = FALSE UNION ALL SELECT p.IddPay, p.IddZakaz, p.TypePay, p.NaznPay, "
    "p.NomerPay, p.DataPay, p.SummaPay, p.DocPay, p.PrimPay, p.[Delete] FROM TPay p WHERE p.IddZakaz = ? AND "
    "p.[Delete] = FALSE ORDER BY 6 DESC, 1 DESC";

// The bay board's statements, as its store runs them: the live bays; the orders planned on them in a
// period, with their cars and clients, and the services on those orders' top level; and one bay's bookings
// over the weeks a search for free time looks at.
inline constexpr const char *kBaysRaw =
    "SELECT SBox.IddBox, SBox.NameBox, SBox.PrimBox, SBox.[Delete] FROM SBox WHERE SBox.[Delete] = ? "
    "ORDER BY SBox.NameBox, SBox.IddBox";
// The orders planned on live bays that are in the bays at some time of a period.
inline constexpr const char *kPlannedInRaw =
    "TZakaz.IddBox IN (SELECT SBox.IddBox FROM SBox WHERE SBox.[Delete] = FALSE) AND TZakaz.ZakazBegin >= ? "
    "AND TZakaz.ZakazBegin < ? AND TZakaz.ZakazPlanEnd > ? AND TZakaz.[Delete] = FALSE";
inline QString BoardBlocksRaw() {
    return QStringLiteral(
               "SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.IddBox, TZakaz.ZakazBegin, "
               "TZakaz.ZakazPlanEnd, TZakaz.ZakazStatus, COALESCE(TZakaz.ZakazSumma, 0) - "
               "COALESCE(TZakaz.ZakazOplata, 0) AS Owes, SAvto.AvtoNomer, SClient.ClientName, "
               "SClient.ClientTel FROM (TZakaz LEFT JOIN SAvto ON TZakaz.IddAvto = SAvto.IddAvto) "
               "LEFT JOIN SClient ON TZakaz.IddVlad = SClient.IddClient WHERE ") +
           QLatin1StringView(kPlannedInRaw) + QStringLiteral(" ORDER BY TZakaz.ZakazBegin, TZakaz.IddZakaz");
}
inline QString BoardServicesRaw() {
    return QStringLiteral(
               "SELECT TService.IddZakaz, TService.[Name] FROM TService JOIN TZakaz ON "
               "TService.IddZakaz = TZakaz.IddZakaz WHERE ") +
           QLatin1StringView(kPlannedInRaw) +
           QStringLiteral(
               " AND TService.[Delete] = FALSE AND TService.IddTop IN (?, ?) ORDER BY "
               "TService.IddZakaz, TService.IddTop, TService.[Name]");
}
inline constexpr const char *kBayBookingsRaw =
    "SELECT ZakazBegin, ZakazPlanEnd FROM TZakaz WHERE IddBox = ? AND ZakazBegin >= ? AND ZakazBegin < ? AND "
    "ZakazPlanEnd > ? AND [Delete] = FALSE ORDER BY ZakazBegin";

// What the board's store reads for the days it shows, raw: the orders planned in them, their services and
// the live bays.
class BoardRaw {
public:
    explicit BoardRaw(Database &db)
        : m_blocks(db, BoardBlocksRaw()),
          m_services(db, BoardServicesRaw()),
          m_bays(db, QString::fromLatin1(kBaysRaw)) {}
    size_t Run(const QDate &first, int days) {
        const QDateTime from(first, QTime(0, 0));
        const QVariantList period = {from.addDays(-BayPlan::kLongestDays), from.addDays(days), from};
        return m_blocks.Run(period) +
               m_services.Run(period + QVariantList{Group::kPackage, Group::kStandalone}) +
               m_bays.Run({false});
    }

private:
    RawQuery m_blocks, m_services, m_bays;
};

// The tyre storage's sets kept now, as its store reads them for the journal (with the client, the car's
// plate and the place); the store's order follows.
inline constexpr const char *kTyresKeptRaw =
    "SELECT t.IddTyre, t.IddClient, t.IddAvto, t.Season, t.Maker, t.Model, t.Size, t.[Count], t.Rims, "
    "t.Tread, t.Damage, t.IddPlace, t.DateIn, t.PaidUntil, t.DateOut, t.IddZakaz, t.Fee, t.Code, "
    "c.ClientName, a.AvtoNomer, p.Rack, p.Shelf, p.Cell FROM ((TTyre t LEFT JOIN SClient c ON "
    "c.IddClient = t.IddClient) LEFT JOIN SAvto a ON a.IddAvto = t.IddAvto) LEFT JOIN SPlace p ON "
    "p.IddPlace = t.IddPlace WHERE t.[Delete] = FALSE AND t.DateOut IS NULL";
inline constexpr const char *kTyresOrder = " ORDER BY t.DateIn DESC, t.Code DESC";
