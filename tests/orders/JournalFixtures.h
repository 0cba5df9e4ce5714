#pragma once

#include "../support/Rub.h"
#include "Database.h"
#include "Order.h"
#include "OrderStore.h"
#include "PaymentStore.h"
#include "Rows.h"

// Orders for journal tests, written straight to the tables with the dates and statuses a test needs.
namespace JournalFixture {

struct Seed {
    QString key, number;
    QDateTime date;  // ZakazData; the appointment and start are 09:00 of that day, the finish 18:00
    int status = StatusStarted;
    QString client = QStringLiteral("Иванов И.И."), plate = QStringLiteral("А001АА77"),
            make = QStringLiteral("ВАЗ");
    double count = 1, price = 100;  // one standalone line without VAT
    QList<double> payments = {};
    QList<OrderLine> lines = {};  // replaces the single line when given
};

inline void Put(Database &db, const Seed &s) {
    Rows::Insert(db, QStringLiteral("SClient"),
                 {{QStringLiteral("IddClient"), QStringLiteral("c-") + s.key},
                  {QStringLiteral("ClientName"), s.client},
                  {QStringLiteral("ClientTel"), QStringLiteral("tel-") + s.key}});
    Rows::Insert(db, QStringLiteral("SAvto"),
                 {{QStringLiteral("IddAvto"), QStringLiteral("a-") + s.key},
                  {QStringLiteral("AvtoNomer"), s.plate},
                  {QStringLiteral("AvtoMarka"), s.make},
                  {QStringLiteral("AvtoColor"), QStringLiteral("белый")}});
    Order o;
    o.IddZakaz = s.key;
    o.ZakazNomer = s.number;
    o.ZakazData = s.date;
    o.ZakazBegin = QDateTime(s.date.date(), QTime(9, 0));
    o.ZakazBeginIn = o.ZakazBegin;
    o.ZakazEndOut = QDateTime(s.date.date(), QTime(18, 0));
    o.ZakazStatus = s.status;
    o.IddAvto = QStringLiteral("a-") + s.key;
    o.IddVlad = QStringLiteral("c-") + s.key;
    OrderStore orders(db);
    orders.InsertOrder(o);
    QList<OrderLine> lines = s.lines;
    if (lines.isEmpty()) {
        OrderLine line;
        line.iddService = QStringLiteral("svc-") + s.key;
        line.name = QStringLiteral("Мойка");
        line.count = s.count;
        line.price = Rub(s.price);
        lines << line;
    }
    for (const OrderLine &line : lines) orders.SaveLine(s.key, line);
    PaymentStore payments(db);
    for (double amount : s.payments) {
        PayRecord p;
        p.IddZakaz = s.key;
        p.NaznPay = QStringLiteral("Оплата услуг");
        p.NomerPay = QStringLiteral("1");
        p.DataPay = s.date;
        p.SummaPay = Rub(amount);
        payments.SavePayment(p, s.key, QStringLiteral("anna"));
    }
}

}  // namespace JournalFixture
