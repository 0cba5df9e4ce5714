#include "PaymentStore.h"

#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "KeyGen.h"
#include "Rows.h"

const QString kPayColumns = QStringLiteral(
    "SELECT TPay.IddPay, TPay.IddZakaz, TPay.TypePay, TPay.NaznPay, TPay.NomerPay, TPay.DataPay, "
    "TPay.SummaPay, "
    "TPay.DocPay, TPay.PrimPay, TPay.[Delete] FROM TPay ");

PayRecord ReadPayRecord(const CDynamicRecordset &rs) {
    PayRecord p;
    p.IddPay = rs.Text(QStringLiteral("IddPay"));
    p.IddZakaz = rs.Text(QStringLiteral("IddZakaz"));
    p.TypePay = int(rs.Long(QStringLiteral("TypePay")));
    p.NaznPay = rs.Text(QStringLiteral("NaznPay"));
    p.NomerPay = rs.Text(QStringLiteral("NomerPay"));
    p.DataPay = rs.Date(QStringLiteral("DataPay"));
    p.SummaPay = rs.Amount(QStringLiteral("SummaPay"));
    p.DocPay = rs.Text(QStringLiteral("DocPay"));
    p.PrimPay = rs.Text(QStringLiteral("PrimPay"));
    p.Delete = rs.Bool(QStringLiteral("Delete")) ? 1 : 0;
    return p;
}

QList<PayRecord> PaymentStore::LoadOrderPayments(const QString &iddZakaz) {
    QList<PayRecord> list;
    CDynamicRecordset rs(m_db);
    rs.Open(kPayColumns + QStringLiteral(
                              "WHERE TPay.IddZakaz = ? AND TPay.[Delete] = FALSE ORDER BY TPay.DataPay DESC, "
                              "TPay.IddPay DESC"),
            {iddZakaz});
    for (; !rs.IsEOF(); rs.MoveNext()) list << ReadPayRecord(rs);
    return list;
}

std::optional<PayRecord> PaymentStore::LoadPayment(const QString &iddPay) {
    CDynamicRecordset rs(m_db);
    rs.Open(kPayColumns + QStringLiteral("WHERE TPay.IddPay = ?"), {iddPay});
    if (rs.IsEOF()) return std::nullopt;
    return ReadPayRecord(rs);
}

DocCounter PaymentStore::CounterFor(const PayRecord &pay) {
    if (pay.TypePay == SalaryPayout) return DocCounter::Salary;
    return pay.SummaPay < Money() ? DocCounter::OutPay : DocCounter::Pay;
}

QString PaymentStore::SavePayment(PayRecord &pay, const QString &iddZakaz, const QString &login,
                                  const QString &suffix) {
    PayRecord out = pay;
    Transaction tx(m_db);
    const bool found = !out.IddPay.isEmpty() && Rows::Exists(m_db, QStringLiteral("TPay"),
                                                             {{QStringLiteral("IddPay"), out.IddPay},
                                                              {QStringLiteral("IddZakaz"), iddZakaz}});
    if (!found) {
        CounterStore counters(m_db);
        const DocCounter counter = CounterFor(out);
        if (!out.ProposedNomer.isEmpty() && out.NomerPay.trimmed() == out.ProposedNomer.trimmed()) {
            out.NomerPay = QString::number(counters.Take(counter));
        } else if (const long typed = CounterStore::ParseNumber(out.NomerPay); typed > 0) {
            counters.Raise(counter, typed);
        }
        out.ProposedNomer.clear();
    }
    const Values values = {
        {QStringLiteral("IddZakaz"), iddZakaz},     {QStringLiteral("TypePay"), out.TypePay},
        {QStringLiteral("NaznPay"), out.NaznPay},   {QStringLiteral("NomerPay"), out.NomerPay},
        {QStringLiteral("DataPay"), out.DataPay},   {QStringLiteral("SummaPay"), out.SummaPay.ToDouble()},
        {QStringLiteral("DocPay"), out.DocPay},     {QStringLiteral("PrimPay"), out.PrimPay},
        {QStringLiteral("Delete"), out.Delete != 0}};
    if (found) {
        Rows::Update(m_db, QStringLiteral("TPay"), {{QStringLiteral("IddPay"), out.IddPay}}, values);
    } else {
        out.IddPay = NewKey(login) + suffix;
        Rows::Insert(m_db, QStringLiteral("TPay"), Values{{QStringLiteral("IddPay"), out.IddPay}} + values);
    }
    out.IddZakaz = iddZakaz;
    tx.Commit();
    pay = out;
    return pay.IddPay;
}
