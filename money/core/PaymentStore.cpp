#include "PaymentStore.h"

#include "CashStore.h"

#include "ChangedMeanwhile.h"
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

QString PaymentStore::SaveOrderPayment(PayRecord &pay, const QString &iddZakaz, const QString &login,
                                       Money debtSeen) {
    PayRecord out = pay;
    Transaction tx(m_db);
    SavePayment(out, iddZakaz, login);
    const Money owed = CashStore(m_db).OrderDebt(iddZakaz) + out.SummaPay;
    if (owed < debtSeen && out.SummaPay > owed) throw DebtChanged(owed, out.SummaPay);
    tx.Commit();
    pay = out;
    return pay.IddPay;
}

DocCounter PaymentStore::CounterFor(const PayRecord &pay) {
    if (pay.TypePay == SalaryPayout) return DocCounter::Salary;
    return pay.SummaPay < Money() ? DocCounter::OutPay : DocCounter::Pay;
}

QString PaymentStore::SavePayment(PayRecord &pay, const QString &iddZakaz, const QString &login,
                                  const QString &suffix, const std::optional<PayRecord> &loaded) {
    PayRecord out = pay;
    Transaction tx(m_db);
    if (loaded) {
        ChangedMeanwhile::LockRow(m_db, QStringLiteral("TPay"), QStringLiteral("IddPay"), loaded->IddPay);
        ChangedMeanwhile::Expect(LoadPayment(loaded->IddPay), *loaded,
                                 [&](const PayRecord &p) { return p.Delete && !loaded->Delete; });
    }
    const std::optional<PayRecord> stored = out.IddPay.isEmpty() ? std::nullopt : LoadPayment(out.IddPay);
    const bool found = stored && stored->IddZakaz == iddZakaz;
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
        {QStringLiteral("IddZakaz"), iddZakaz},   {QStringLiteral("TypePay"), out.TypePay},
        {QStringLiteral("NaznPay"), out.NaznPay}, {QStringLiteral("NomerPay"), out.NomerPay},
        {QStringLiteral("DataPay"), out.DataPay}, {QStringLiteral("SummaPay"), out.SummaPay.ToDouble()},
        {QStringLiteral("DocPay"), out.DocPay},   {QStringLiteral("PrimPay"), out.PrimPay}};
    const Values key = {{QStringLiteral("IddPay"), out.IddPay}};
    // Deleting a payment only marks it, and changing one never touches the mark: on a server that checks
    // rights by column (see ServerRoles) each is its own right.
    if (found && out.Delete) {
        Rows::SoftDelete(m_db, QStringLiteral("TPay"), key);
    } else if (found) {
        // An order's form saves its payments with it: one it did not change is not written (changing a
        // payment is a right apart from changing the order).
        const bool same = stored->TypePay == out.TypePay && stored->NaznPay == out.NaznPay &&
                          stored->NomerPay == out.NomerPay && stored->DataPay == out.DataPay &&
                          stored->SummaPay == out.SummaPay && stored->DocPay == out.DocPay &&
                          stored->PrimPay == out.PrimPay;
        if (!same) Rows::Update(m_db, QStringLiteral("TPay"), key, values);
    } else {
        out.IddPay = NewKey(login) + suffix;
        Rows::Insert(m_db, QStringLiteral("TPay"),
                     Values{{QStringLiteral("IddPay"), out.IddPay}} + values +
                         Values{{QStringLiteral("Delete"), out.Delete != 0}});
    }
    out.IddZakaz = iddZakaz;
    tx.Commit();
    pay = out;
    return pay.IddPay;
}
