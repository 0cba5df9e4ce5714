#pragma once

#include "CounterStore.h"
#include "PayRecord.h"

#include <QList>
#include <optional>

class CDynamicRecordset;
class Database;

// The TPay columns every payment query selects, in the record's order, ending with "FROM TPay ".
extern const QString kPayColumns;
// The record of the current row of a query that selected the TPay columns by their own names.
PayRecord ReadPayRecord(const CDynamicRecordset &rs);

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
    QString SavePayment(PayRecord &pay, const QString &iddZakaz, const QString &login,
                        const QString &suffix = {});
    static DocCounter CounterFor(const PayRecord &pay);

private:
    Database &m_db;
};
