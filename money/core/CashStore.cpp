#include "CashStore.h"

#include "Database.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "PaymentStore.h"
#include "Rows.h"
#include "SqlConditions.h"

namespace {

// The TZakaz row's total with VAT and its debt, as the debts view defines it for every screen: the total
// its lines leave stored in the order, less what was paid on it.
const QString kOrderTotal = QStringLiteral("COALESCE(TZakaz.ZakazSumma, 0)");
const QString kOrderDebt =
    QStringLiteral("(COALESCE(TZakaz.ZakazSumma, 0) - COALESCE(TZakaz.ZakazOplata, 0))");

QStringList Column(CDynamicRecordset &rs, const QString &sql, const QVariantList &binds = {}) {
    QStringList list;
    rs.Open(sql, binds);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const QString v = rs.Field(0).AsText();
        if (!v.trimmed().isEmpty()) list << v;
    }
    return list;
}

}  // namespace

QString CashRow::Who() const {
    QString who;
    if (!clientName.isEmpty()) who += clientName + u' ';
    if (!workFio.isEmpty()) who += workFio + u' ';
    if (!zakazNomer.isEmpty())
        who +=
            QStringLiteral("Заказ №") + zakazNomer + QStringLiteral(" от ") + Formats::Date(zakazData.date());
    return who.trimmed();
}

QStringList CashStore::FillArticleList(bool cashOnly) {
    CDynamicRecordset rs(m_db);
    // One entry per purpose: the same article used by two kinds is offered once.
    return Column(rs,
                  QStringLiteral("SELECT TPay.NaznPay FROM TPay ") +
                      (cashOnly ? QStringLiteral("WHERE TPay.TypePay = ? ") : QString()) +
                      QStringLiteral("GROUP BY TPay.NaznPay ORDER BY TPay.NaznPay"),
                  cashOnly ? QVariantList{int(CashOperation)} : QVariantList{});
}

QStringList CashStore::FillPayoutPurposeList() {
    CDynamicRecordset rs(m_db);
    return Column(
        rs, QStringLiteral("SELECT TPay.NaznPay FROM TPay WHERE TPay.IddZakaz = '0' GROUP BY TPay.NaznPay "
                           "ORDER BY TPay.NaznPay"));
}

CashJournal CashStore::FillCashJournal(const CashFilter &filter) {
    SqlConditions chosen;
    chosen.Period(QStringLiteral("TPay.DataPay"), filter.from, filter.to)
        .Equals(QStringLiteral("TPay.NaznPay"), filter.purpose)
        .Equals(QStringLiteral("TPay.NomerPay"), filter.number)
        .Equals(QStringLiteral("SClient.ClientName"), filter.client);
    const QString &where = chosen.where();
    const QVariantList &binds = chosen.binds();

    CashJournal journal;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral(
            "SELECT TPay.IddPay, TPay.IddZakaz, TPay.TypePay, TPay.NaznPay, TPay.NomerPay, TPay.DataPay, "
            "TPay.SummaPay, TPay.DocPay, TPay.PrimPay, TPay.[Delete], SClient.IddClient, SClient.ClientName, "
            "SWork.IddWork, SWork.WorkFIO, TZakaz.ZakazNomer, TZakaz.ZakazData FROM ((TPay LEFT JOIN TZakaz "
            "ON TPay.IddZakaz = TZakaz.IddZakaz) LEFT JOIN SClient ON TPay.IddZakaz = SClient.IddClient) "
            "LEFT JOIN SWork ON TPay.IddZakaz = SWork.IddWork WHERE ") +
            where + QStringLiteral(" AND TPay.[Delete] = FALSE ORDER BY TPay.DataPay, TPay.IddPay"),
        binds);
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CashRow row;
        row.pay = ReadPayRecord(rs);
        row.iddClient = rs.Text(QStringLiteral("IddClient"));
        row.clientName = rs.Text(QStringLiteral("ClientName"));
        row.iddWork = rs.Text(QStringLiteral("IddWork"));
        row.workFio = rs.Text(QStringLiteral("WorkFIO"));
        row.zakazNomer = rs.Text(QStringLiteral("ZakazNomer"));
        row.zakazData = rs.Date(QStringLiteral("ZakazData"));
        const Money sum = row.pay.SummaPay;
        (sum < Money() ? journal.expense : journal.income) += sum;
        journal.total += sum;
        journal.rows << row;
    }
    return journal;
}

QStringList CashStore::ClientNames() {
    CDynamicRecordset rs(m_db);
    return Column(
        rs, QStringLiteral("SELECT SClient.ClientName FROM SClient GROUP BY SClient.ClientName ORDER BY "
                           "SClient.ClientName"));
}

bool CashStore::DeletePayment(const QString &iddPay) {
    Transaction tx(m_db);
    const auto pay = PaymentStore(m_db).LoadPayment(iddPay);
    if (!pay) return false;
    Rows::SoftDelete(m_db, QStringLiteral("TPay"), {{QStringLiteral("IddPay"), iddPay}});
    // A payout's lines go with it, or the workers' balances would still count the money as paid.
    if (pay->TypePay == SalaryPayout)
        Rows::SoftDelete(m_db, QStringLiteral("TWorkPay"), {{QStringLiteral("IddPay"), iddPay}},
                         QStringLiteral("DeleteWorkPay"));
    tx.Commit();
    return true;
}

QList<UnpaidOrder> CashStore::UnpaidOrders(const QString &iddClient) {
    QList<UnpaidOrder> list;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.ZakazData, ") + kOrderDebt +
            QStringLiteral(" AS SummD FROM TZakaz WHERE TZakaz.IddVlad = ? AND TZakaz.[Delete] = FALSE ORDER "
                           "BY TZakaz.ZakazData, TZakaz.IddZakaz"),
        {iddClient});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        UnpaidOrder o;
        o.debt = rs.Amount(QStringLiteral("SummD"));
        if (!o.debt.IsOutstanding()) continue;
        o.IddZakaz = rs.Text(QStringLiteral("IddZakaz"));
        o.ZakazNomer = rs.Text(QStringLiteral("ZakazNomer"));
        o.ZakazData = rs.Date(QStringLiteral("ZakazData"));
        list << o;
    }
    return list;
}

Money CashStore::OrderDebt(const QString &iddZakaz) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT ") + kOrderDebt +
                QStringLiteral(" AS SummD FROM TZakaz WHERE TZakaz.IddZakaz = ?"),
            {iddZakaz});
    return rs.IsEOF() ? Money() : rs.Amount(QStringLiteral("SummD"));
}

QList<PayRecord> CashStore::ClientAccount(const QString &iddClient) {
    QList<PayRecord> list;
    CDynamicRecordset rs(m_db);
    // Two reads along the indexes (the client's live orders and their payments; the rows keyed by the
    // client) instead of one OR over the join, which the databases answer by reading every payment.
    // The first leaves out rows keyed by the client, which the second takes, so no row comes twice even
    // if an order's key ever equalled the client's. A deleted row stays out either way.
    const QString columns = QStringLiteral(
        "SELECT p.IddPay, p.IddZakaz, p.TypePay, p.NaznPay, p.NomerPay, p.DataPay, p.SummaPay, p.DocPay, "
        "p.PrimPay, p.[Delete] FROM TPay p ");
    rs.Open(
        columns +
            QStringLiteral("INNER JOIN TZakaz z ON z.IddZakaz = p.IddZakaz WHERE z.IddVlad = ? AND "
                           "z.[Delete] = FALSE AND p.[Delete] = FALSE AND p.IddZakaz <> ? UNION ALL ") +
            columns +
            QStringLiteral("WHERE p.IddZakaz = ? AND p.[Delete] = FALSE ORDER BY DataPay DESC, IddPay DESC"),
        {iddClient, iddClient, iddClient});
    for (; !rs.IsEOF(); rs.MoveNext()) list << ReadPayRecord(rs);
    return list;
}

QList<ClientOrderRow> CashStore::ClientOrders(const QString &iddClient) {
    QList<ClientOrderRow> list;
    CDynamicRecordset rs(m_db);
    rs.Open(
        QStringLiteral("SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.ZakazData, TZakaz.ZakazBegin, "
                       "TZakaz.ZakazBeginIn, TZakaz.ZakazEndOut, SAvto.AvtoNomer, SAvto.AvtoMarka, "
                       "SAvto.AvtoColor, SClient.ClientName, SClient.ClientTel, TZakaz.ZakazStatus, ") +
            kOrderTotal + QStringLiteral(" AS ZakazSumma, ") + kOrderDebt +
            QStringLiteral(" AS SummD FROM (TZakaz LEFT JOIN SAvto ON TZakaz.IddAvto = SAvto.IddAvto) LEFT "
                           "JOIN SClient ON TZakaz.IddVlad = SClient.IddClient WHERE TZakaz.IddVlad = ? AND "
                           "TZakaz.[Delete] = FALSE ORDER BY TZakaz.ZakazBegin DESC, TZakaz.IddZakaz"),
        {iddClient});
    for (; !rs.IsEOF(); rs.MoveNext()) {
        ClientOrderRow o;
        o.IddZakaz = rs.Text(QStringLiteral("IddZakaz"));
        o.ZakazNomer = rs.Text(QStringLiteral("ZakazNomer"));
        o.ZakazData = rs.Date(QStringLiteral("ZakazData"));
        o.ZakazBegin = rs.Date(QStringLiteral("ZakazBegin"));
        o.ZakazBeginIn = rs.Date(QStringLiteral("ZakazBeginIn"));
        o.ZakazEndOut = rs.Date(QStringLiteral("ZakazEndOut"));
        o.AvtoNomer = rs.Text(QStringLiteral("AvtoNomer"));
        o.AvtoMarka = rs.Text(QStringLiteral("AvtoMarka"));
        o.AvtoColor = rs.Text(QStringLiteral("AvtoColor"));
        o.ClientName = rs.Text(QStringLiteral("ClientName"));
        o.ClientTel = rs.Text(QStringLiteral("ClientTel"));
        o.ZakazStatus = int(rs.Long(QStringLiteral("ZakazStatus")));
        o.total = rs.Amount(QStringLiteral("ZakazSumma"));
        o.debt = rs.Amount(QStringLiteral("SummD"));
        list << o;
    }
    return list;
}
