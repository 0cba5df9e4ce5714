#pragma once

#include <QDateTime>
#include <QString>

class Database;

// Rows for tests of payments and the client card, written straight into the tables.
namespace MoneyRows {

// A live order of the client with one standalone line worth `total` (no VAT); status 1 unless given.
void AddOrder(Database &db, const QString &iddZakaz, const QString &iddClient, const QString &nomer,
              const QDateTime &when, double total, int status = 1);
// A live TPay row.
void AddPay(Database &db, const QString &iddPay, const QString &iddZakaz, int kind, double sum,
            const QDateTime &when, const QString &purpose = QStringLiteral("Оплата услуг"),
            const QString &nomer = QStringLiteral("1"));
void AddClient(Database &db, const QString &iddClient, const QString &name);
// Counters: last PayNomer and OutPayNomer.
void SetCounters(Database &db, long pay, long outPay);

}  // namespace MoneyRows
