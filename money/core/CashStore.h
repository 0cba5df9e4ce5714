#pragma once

#include "PayRecord.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// One search of the cash journal. Text filters match whole values (trimmed); an empty one matches all.
struct CashFilter {
    QDate from, to;   // both days taken whole
    QString number;   // "№ пл.:"
    QString purpose;  // "Назначение:"; empty for "Все"
    QString client;   // "Клиент:", a client's name
};

// One journal row: the payment and what its IddZakaz points at (an order, a client or a worker).
struct CashRow {
    PayRecord pay;
    QString iddClient, iddWork;
    QString clientName, workFio, zakazNomer;
    QDateTime zakazData;
    // The "Клиент" column: client, worker and order, each only when present.
    QString Who() const;
};

struct CashJournal {
    QList<CashRow> rows;  // oldest first
    Money income;         // "Приход:", the non-negative amounts
    Money expense;        // "Расход:", the negative amounts (negative)
    Money total;          // "Всего:"
};

// An order of a client that is still owed, as the client payment dialog offers it.
struct UnpaidOrder {
    QString IddZakaz, ZakazNomer;
    QDateTime ZakazData;
    Money debt;
};

// An order as the client card's orders page lists it.
struct ClientOrderRow {
    QString IddZakaz, ZakazNomer;
    QDateTime ZakazData, ZakazBegin, ZakazBeginIn, ZakazEndOut;
    QString AvtoNomer, AvtoMarka, AvtoColor, ClientName, ClientTel;
    int ZakazStatus = 0;
    Money total;  // with VAT
    Money debt;   // total less the live payments
};

// The cash desk's reading and writing beyond single payments (PaymentStore): lists, journal, totals,
// deletion, and the figures of the client card.
class CashStore {
public:
    explicit CashStore(Database &db) : m_db(db) {}

    // Purposes already stored, each once, sorted; only cash operations' articles when `cashOnly`.
    QStringList FillArticleList(bool cashOnly);
    // Purposes of the rows not tied to an order or client (salary payouts and cash operations).
    QStringList FillPayoutPurposeList();
    // The journal of the filter with its three totals, in one statement.
    CashJournal FillCashJournal(const CashFilter &filter);
    // Client names for the journal's client filter, each once, sorted.
    QStringList ClientNames();

    // Marks the payment deleted; a salary payout takes its payout lines with it. False when the row is gone.
    bool DeletePayment(const QString &iddPay);

    // The client's live orders still owed more than a kopeck, oldest first.
    QList<UnpaidOrder> UnpaidOrders(const QString &iddClient);
    // The order's debt now (total with VAT less its live payments); 0 for an unknown order.
    Money OrderDebt(const QString &iddZakaz);
    // The client's account: payments of the client's live orders and the client's own rows, newest first.
    QList<PayRecord> ClientAccount(const QString &iddClient);
    // The client's live orders with totals and debts, latest appointment first.
    QList<ClientOrderRow> ClientOrders(const QString &iddClient);

private:
    Database &m_db;
};
