#pragma once

#include "CounterStore.h"
#include "DbError.h"
#include "PayRecord.h"

#include <QList>
#include <optional>

class CDynamicRecordset;
class Database;

// The TPay columns every payment query selects, in the record's order, ending with "FROM TPay ".
extern const QString kPayColumns;
// The record of the current row of a query that selected the TPay columns by their own names.
PayRecord ReadPayRecord(const CDynamicRecordset &rs);

// A new payment on an order would pay more than the order owes now, which is less than the clerk saw when
// he typed it: another workstation took a payment on it meanwhile. Nothing was stored.
class DebtChanged : public DbError {
public:
    DebtChanged(Money now, Money paying)
        : DbError(QStringLiteral("Долг по заказу изменился: %1.").arg(now.Text())),
          m_now(now),
          m_paying(paying) {}
    // What the order owes now, before the new payment; what the new payment (or payments) pay.
    Money now() const { return m_now; }
    Money paying() const { return m_paying; }

private:
    Money m_now, m_paying;
};

// Cash-desk rows (TPay) as the order screens use them.
class PaymentStore {
public:
    explicit PaymentStore(Database &db) : m_db(db) {}

    // The order's live payments, newest first.
    QList<PayRecord> LoadOrderPayments(const QString &iddZakaz);
    std::optional<PayRecord> LoadPayment(const QString &iddPay);
    // Finds the row by IddPay and the given IddZakaz; inserts it under a fresh key (login, then `suffix`)
    // when there is none, else updates it. Returns the row's IddPay and stores it in the record.
    // A new row is numbered in the same transaction: a number still as proposed (ProposedNomer) is
    // replaced by the next free one of its counter; a typed number raises the counter when higher. The
    // counter is SalaryNomer for a salary payout, OutPayNomer for money out, PayNomer otherwise.
    // A dialog open on a stored row hands the row as it loaded it: when the stored one is not that any more
    // (changed or deleted elsewhere), ChangedMeanwhile is thrown and nothing written.
    QString SavePayment(PayRecord &pay, const QString &iddZakaz, const QString &login,
                        const QString &suffix = {}, const std::optional<PayRecord> &loaded = std::nullopt);
    // Saves a new payment on an order as SavePayment does, having seen the order owe `debtSeen`. The debt is
    // read again in the save's own transaction, after the payment is written (on a server the write waits
    // for another workstation's payment on the same order to be committed first); if the order owed less
    // than that and the payment pays more than it owed, throws DebtChanged and stores nothing.
    QString SaveOrderPayment(PayRecord &pay, const QString &iddZakaz, const QString &login, Money debtSeen);
    static DocCounter CounterFor(const PayRecord &pay);

private:
    Database &m_db;
};
