#pragma once

#include "Order.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class Database;

// The journal's status filter; the codes are the ones its drop-down list carries.
enum class JournalStatus : int {
    All = 0,
    Active = 1,  // requested and started orders of the period, and every order in debt whatever its date
    Requested = 2,
    Started = 3,
    Unpaid = 4,  // started or finished orders of the period that are in debt
    Finished = 5,
};

// One search of the journal. Text filters match whole values (trimmed); an empty one matches everything.
struct JournalFilter {
    QDate from, to;  // both days taken whole
    JournalStatus status = JournalStatus::Active;
    QString number, plate, make, client;
};

// One live line as the journal shows it: its figures worked out once, its texts shared with the other
// lines that repeat them (a journal lists tens of thousands). A package carries its services and the sums
// of their figures.
struct JournalLine {
    QString name = {};
    QString performers = {};  // the line's workers, ", " between them
    double count = 1;
    double prNds = 0;  // VAT percent
    Money price{}, amount{}, vat{}, total{};
    bool package = false;
    QList<JournalLine> services = {};  // a package's
};

// One order as the journal lists it, with its live lines (packages with their services, then the
// standalone services).
struct JournalOrder {
    QString IddZakaz;
    QString ZakazNomer;
    QDateTime ZakazData, ZakazBegin, ZakazBeginIn, ZakazEndOut;
    int ZakazStatus = StatusStarted;
    QString AvtoNomer, AvtoMarka, AvtoColor;
    QString ClientName, ClientTel;
    Money total{};  // with VAT, as the order keeps it
    Money debt{};   // total with VAT less the live payments
    QList<JournalLine> lines;

    // What the journal and its report show: from the appointment of a request, else the start; to the
    // end once finished; the car as make and colour.
    QDateTime From() const { return ZakazStatus == StatusRequested ? ZakazBegin : ZakazBeginIn; }
    QDateTime To() const { return ZakazStatus == StatusFinished ? ZakazEndOut : QDateTime(); }
    QString Car() const;
};

// Rows written since a journal was read: orders (by their own, their lines' or their workers' writes), and
// clients and cars whose names and plates the journal shows.
struct JournalKeys {
    QSet<QString> orders, clients, cars;
};

// What the journal's finish command needs to know about an order right now.
struct JournalOrderState {
    bool found = false;
    int status = -1;
    Money debt{};
};

// Every SQL text of the order journal.
class OrderJournalStore {
public:
    explicit OrderJournalStore(Database &db) : m_db(db) {}

    // The first day of the month of `today` and its real last day.
    static void DefaultPeriod(const QDate &today, QDate *from, QDate *to);

    // The listed orders, newest appointment first, each with its lines and workers: one statement
    // whatever the number of orders, lines or workers. With `firstOrders` only the list's first so many
    // orders (whole), and `more` says whether others follow.
    QList<JournalOrder> Search(const JournalFilter &filter, int firstOrders = 0, bool *more = nullptr);
    // Those of the listed orders that are among the written rows, as Search reads them: an order written
    // but missing here no longer belongs to the list.
    QList<JournalOrder> Changed(const JournalFilter &filter, const JournalKeys &keys);
    // The shown list with the written orders read again: changed ones in place, new ones added, those that
    // left the list (deleted, paid off, moved out of the period) taken out; in the list's order.
    QList<JournalOrder> Refreshed(const QList<JournalOrder> &shown, const JournalFilter &filter,
                                  const JournalKeys &keys);

    // The order's status and debt as stored now; found is false for an order deleted meanwhile.
    JournalOrderState State(const QString &iddZakaz);

    // Distinct values for the four text filters, sorted, without empty ones.
    struct FilterLists {
        QStringList numbers, plates, makes, clients;
    };
    static FilterLists ListsOf(const QList<JournalOrder> &orders);

private:
    QList<JournalOrder> Read(const JournalFilter &filter, int firstOrders, bool *more,
                             const JournalKeys *keys);

    Database &m_db;
};
