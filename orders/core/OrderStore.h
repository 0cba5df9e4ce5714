#pragma once

#include "Order.h"

#include "Rows.h"

#include <optional>

class Database;

// Every SQL text about orders, their lines and their workers.
class CDynamicRecordset;

class OrderStore {
public:
    explicit OrderStore(Database &db) : m_db(db) {}

    // One stored line from the current row of a query over TService (its workers are not read).
    static OrderLine ReadLine(CDynamicRecordset &rs);

    // Packages (each with its services beneath it), then the standalone services, each group in the
    // order given.
    static QList<OrderLine> Arrange(const QList<OrderLine> &flat);

    // Saves the order as the editor finished it (status and moments set) with its client, car, lines,
    // workers and payments in one transaction; client and car go through their own stores. A new order
    // takes its key and the next number here, from the counter locked for the rest of the save, so two
    // workstations never number two orders alike; a stored order keeps the number it carries, refused
    // when another order has it. On any failure nothing is stored, the order in memory
    // is left as it was and DbError is thrown.
    // Payments new in the form are checked as a payment alone is (PaymentStore::SaveOrderPayment): when
    // another workstation took a payment meanwhile and the order would end paid beyond what the form shows
    // and beyond its total, DebtChanged is thrown with what it owed before the new payments, unless the
    // clerk has agreed to that debt (`debtAgreed`).
    // A form open on a stored order hands the order as it loaded it: when Load gives anything else now (its
    // head, car and client fields, lines, workers or payments changed elsewhere, or the order is gone),
    // ChangedMeanwhile is thrown and nothing written.
    // An order planned on a bay (new, or its plan changed since `loaded`) claims the bay's time in the save's
    // transaction: BayPlan::Overlap is thrown when other orders are planned there then, unless the clerk
    // agreed to plan over them (`overlapAgreed`).
    QString Save(Order &order, const QString &login, std::optional<Money> debtAgreed = std::nullopt,
                 const std::optional<Order> &loaded = std::nullopt, bool overlapAgreed = false);

    std::optional<Order> Load(const QString &iddZakaz);
    // Status 1 with the start moment / status 2 with the finish moment. False when the order is gone.
    bool MarkStarted(const QString &iddZakaz, const QDateTime &when);
    bool MarkFinished(const QString &iddZakaz, const QDateTime &when);
    // Removes the order with its lines and workers; its payments stay.
    void Delete(const QString &iddZakaz);

private:
    // Package headers, each followed by its services, then the standalone services; workers on each line.
    QList<OrderLine> LoadLines(const QString &iddZakaz);
    void InsertOrder(const Order &order);
    bool UpdateOrder(const Order &order);
    // A stored order's number typed anew must name no other order (DbError naming the field); the order
    // counter then rises to it.
    void CheckNewNumber(const Order &order);
    void SaveCarAndClient(Order &order, const QString &login);
    Values StatusDates(const Order &order) const;
    // Writes the lines with their workers and children: the order's stored rows are updated, new ones
    // inserted together. An order being created has nothing stored, so nothing is looked up.
    void WriteLines(const QString &iddZakaz, const QList<OrderLine> &lines, bool freshOrder);

    Database &m_db;
};
