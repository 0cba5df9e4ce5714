#include "ReportStore.h"

#include "BayBoard.h"
#include "CompanyStore.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "ReportRows.h"
#include "SqlConditions.h"
#include "TyreStore.h"

#include <cmath>

namespace {

// A live order's total with VAT and what was paid on it, as the order keeps them.
const QString kOrderTotal = QStringLiteral("COALESCE(TZakaz.ZakazSumma, 0)");
const QString kOrderPaid = QStringLiteral("COALESCE(TZakaz.ZakazOplata, 0)");

}  // namespace

ClientCardData ReportStore::ClientCard(const QString &iddClient) {
    ClientCardData card;
    static const char *const names[] = {"IddClient",   "ClientName",    "ClientFullName", "ClientINN",
                                        "ClientAdres", "ClientAdresF",  "ClientTel",      "ClientFaks",
                                        "ClientEmail", "ClientOKHX",    "ClientOKPO",     "ClientBank",
                                        "ClientChet",  "ClientKorChet", "ClientBIK",      "ClientDirector",
                                        "ClientByx",   "ClientContact", "ClientPrim"};
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT * FROM SClient WHERE IddClient = ?"), {iddClient});
    if (!rs.IsEOF())
        for (const char *name : names)
            card.client.insert(QString::fromLatin1(name), rs.Text(QString::fromLatin1(name)));

    rs.Open(
        QStringLiteral("SELECT SAvto.AvtoNomer, SAvto.AvtoMarka, SAvto.AvtoColor FROM AvtoVlad INNER JOIN "
                       "SAvto ON AvtoVlad.IddAvto = SAvto.IddAvto WHERE AvtoVlad.IddVlad = ? AND "
                       "AvtoVlad.[Delete] = FALSE ORDER BY SAvto.AvtoNomer"),
        {iddClient});
    for (; !rs.IsEOF(); rs.MoveNext())
        card.cars << ClientCardData::Car{rs.Text(QStringLiteral("AvtoNomer")),
                                         rs.Text(QStringLiteral("AvtoMarka")),
                                         rs.Text(QStringLiteral("AvtoColor"))};

    rs.Open(QStringLiteral(
                "SELECT TZakaz.ZakazNomer, TZakaz.ZakazData, TZakaz.ZakazBeginIn, TZakaz.ZakazEndOut, ") +
                kOrderTotal + QStringLiteral(" AS Total, ") + kOrderPaid +
                QStringLiteral(" AS Paid FROM TZakaz WHERE TZakaz.IddVlad = ? AND TZakaz.[Delete] = FALSE "
                               "ORDER BY TZakaz.ZakazData, TZakaz.IddZakaz"),
            {iddClient});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ClientCardData::Order o;
        o.number = rs.Text(QStringLiteral("ZakazNomer"));
        o.date = rs.Date(QStringLiteral("ZakazData"));
        o.start = rs.Date(QStringLiteral("ZakazBeginIn"));
        o.end = rs.Date(QStringLiteral("ZakazEndOut"));
        o.total = rs.Amount(QStringLiteral("Total"));
        o.debt = o.total - rs.Amount(QStringLiteral("Paid"));
        card.orders << o;
    }

    // Deleted payments stay out on both branches: a cancelled payment is no payment of the client.
    rs.Open(
        QStringLiteral("SELECT TPay.NomerPay, TPay.DataPay, TPay.SummaPay, TPay.NaznPay, TPay.DocPay, "
                       "TPay.PrimPay FROM TPay LEFT JOIN TZakaz ON TPay.IddZakaz = TZakaz.IddZakaz "
                       "WHERE TPay.[Delete] = FALSE AND ((TZakaz.IddVlad = ? AND TZakaz.[Delete] = FALSE) "
                       "OR TPay.IddZakaz = ?) ORDER BY TPay.DataPay DESC, TPay.IddPay DESC"),
        {iddClient, iddClient});
    for (; !rs.IsEOF(); rs.MoveNext())
        card.payments << ClientCardData::Payment{
            rs.Text(QStringLiteral("NomerPay")),   rs.Date(QStringLiteral("DataPay")),
            rs.Amount(QStringLiteral("SummaPay")), rs.Text(QStringLiteral("NaznPay")),
            rs.Text(QStringLiteral("DocPay")),     rs.Text(QStringLiteral("PrimPay"))};
    return card;
}

TurnoverData ReportStore::Turnover(const QDate &from, const QDate &to) {
    TurnoverData data;
    const QDateTime start = SqlConditions::StartOf(from), end = SqlConditions::EndOf(to);
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT SUM(SummaPay) AS Opening FROM TPay WHERE [Delete] = FALSE AND DataPay < ?"),
        {start});
    if (!rs.IsEOF()) data.opening = rs.Amount(QStringLiteral("Opening"));
    rs.Open(
        QStringLiteral("SELECT NaznPay, SUM(SummaPay) AS Sum_SummaPay FROM TPay WHERE [Delete] = FALSE AND "
                       "DataPay >= ? AND DataPay < ? GROUP BY NaznPay ORDER BY NaznPay"),
        {start, end});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        data.articles << std::pair{rs.Text(QStringLiteral("NaznPay")),
                                   rs.Amount(QStringLiteral("Sum_SummaPay"))};
    }
    return data;
}

QList<PayoutSheetRow> ReportStore::PayoutSheet(const QString &iddPay) {
    QList<PayoutSheetRow> rows;
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT SWork.WorkFIO, TWorkPay.SummaWorkPay FROM TWorkPay INNER JOIN SWork ON "
                           "TWorkPay.IddWork = SWork.IddWork WHERE TWorkPay.IddPay = ? AND "
                           "TWorkPay.DeleteWorkPay = FALSE ORDER BY SWork.WorkFIO, TWorkPay.IddWorkPay"),
            {iddPay});
    for (; !rs.IsEOF(); rs.MoveNext())
        rows << PayoutSheetRow{rs.Text(QStringLiteral("WorkFIO")), rs.Amount(QStringLiteral("SummaWorkPay"))};
    return rows;
}

BayPlanDay ReportStore::BayPlan(const QDate &day) {
    const std::optional<CompanyInfo> company = CompanyStore(m_db).Read();
    const BayBoard::Board board =
        BayBoard::Store(m_db).Read(day, 1, company ? company->hours : WorkingHours());
    return {day, company ? company->Field("MainName") : QString(), ReportRows::PlanBays(board, day)};
}

TyreStorageReport ReportStore::TyresInStorage(TyreReportOrder order, const QDate &day) {
    const std::optional<CompanyInfo> company = CompanyStore(m_db).Read();
    TyreStore store(m_db);
    TyreFilter filter;
    filter.state = order == TyreReportOrder::Overdue ? TyreFilter::State::Overdue : TyreFilter::State::Kept;
    filter.today = day;
    return {day, company ? company->Field("MainName") : QString(), order,
            ReportRows::TyreRows(store.Search(filter), store.Places(), order, day)};
}

void ReportStore::Signatories(QString *director, QString *accountant) {
    const std::optional<CompanyInfo> company = CompanyStore(m_db).Read();
    *director = company ? company->Field("MainDirector") : QString();
    *accountant = company ? company->Field("MainByx") : QString();
}
