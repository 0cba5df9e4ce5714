#pragma once

#include "Order.h"

#include "Rows.h"

#include <QDate>
#include <optional>

class Database;

// What the order form hands to the save: its three ticks, the mode it was opened in and its date and
// time pickers.
struct OrderFormInput {
    int openMode = StatusStarted;  // a new order: 1 from "Добавить заказ", 0 from "Предварительная заявка"
    bool preliminary = false;  // "Предварительный заказ:"
    bool accepted = false;     // "Принят к исполнению:"
    bool finished = false;     // "Исполнен:"
    QDate orderDate;
    QDate acceptDate;
    QTime acceptTime;
    QDate prelimDate;
    QTime prelimTime;
    QDate doneDate;
    QTime doneTime;
    // When set, the appointment kept instead of the acceptance moment (an edited order's stored one);
    // a ticked "preliminary" still takes the preliminary pickers.
    QDateTime appointment;
};

// Every SQL text about orders, their lines and their workers.
class CDynamicRecordset;

class OrderStore {
public:
    explicit OrderStore(Database &db) : m_db(db) {}

    // One stored line from the current row of a query over TService (its workers are not read).
    static OrderLine ReadLine(CDynamicRecordset &rs);

    // The status the save will give the order.
    static int DeriveStatus(const Order &order, const OrderFormInput &form);

    // Saves the order with its client, car, lines, workers and payments in one transaction. A new order
    // takes its key and the next number here, from the counter locked for the rest of the save, so two
    // workstations never number two orders alike. On any failure nothing is stored, the order in memory
    // is left as it was and DbError is thrown.
    QString Save(Order &order, const OrderFormInput &form, const QString &login);

    std::optional<Order> Load(const QString &iddZakaz);
    // Package headers, each followed by its services, then the standalone services; workers on each line.
    QList<OrderLine> LoadLines(const QString &iddZakaz);
    // -1 when the order is not found.
    int Status(const QString &iddZakaz);
    void MarkStarted(const QString &iddZakaz, const QDateTime &when);
    void MarkFinished(const QString &iddZakaz, const QDateTime &when);
    // Removes the order with its lines and workers; its payments stay.
    void Delete(const QString &iddZakaz);

    // The single steps of a save, public for the journal and the tests.
    void InsertOrder(const Order &order);
    bool UpdateOrder(const Order &order);
    // Adds an AvtoVlad link unless a live one exists; returns the key added (empty when one existed).
    QString LinkCarAndClient(const QString &iddAvto, const QString &iddVlad, const QString &login);
    // Writes the line with its workers and children, and brings the order's stored totals up to date.
    void SaveLine(const QString &iddZakaz, const OrderLine &line);
    void SaveLineWorker(const QString &iddZakaz, const QString &iddService, const LineWorker &worker);

private:
    void SaveClient(Order &order, const QString &login);
    void SaveCar(Order &order, const QString &login);
    Values StatusDates(const Order &order) const;
    // Writes the lines with their workers and children: the order's stored rows are updated, new ones
    // inserted together. An order being created has nothing stored, so nothing is looked up.
    void WriteLines(const QString &iddZakaz, const QList<OrderLine> &lines, bool freshOrder);

    Database &m_db;
};
