#pragma once

#include "Order.h"
#include "OrderStore.h"

// Small builders for order tests.
namespace Fixture {

inline OrderLine Service(const QString &key, const QString &name, double count, double price, double nds,
                         const QString &top = Group::kStandalone) {
    OrderLine l;
    l.IddService = key;
    l.IddTop = top;
    l.Name = name;
    l.Count = count;
    l.Price = price;
    l.PrNDS = nds;
    l.Time = QTime(0, 30);
    return l;
}

inline OrderLine Package(const QString &key, const QString &name, QList<OrderLine> services) {
    OrderLine p = Service(key, name, 1, 0, 0, Group::kPackage);
    p.Time = QTime(0, 0);
    for (OrderLine &s : services) s.IddTop = key;
    p.children = services;
    return p;
}

inline LineWorker Worker(const QString &key, const QString &fio) {
    return LineWorker{key, fio, 0};
}

inline OrderFormInput Form(int mode = StatusStarted) {
    OrderFormInput f;
    f.openMode = mode;
    f.orderDate = QDate(2024, 6, 10);
    f.acceptDate = QDate(2024, 6, 10);
    f.acceptTime = QTime(9, 15);
    f.prelimDate = QDate(2024, 6, 12);
    f.prelimTime = QTime(14, 0);
    f.doneDate = QDate(2024, 6, 10);
    f.doneTime = QTime(11, 45);
    return f;
}

inline Order NewOrder() {
    Order o;
    o.car.AvtoNomer = QStringLiteral("а123вс77");
    o.car.AvtoMarka = QStringLiteral("Лада Веста");
    o.client.ClientName = QStringLiteral("ООО 'Ромашка'");
    o.client.ClientTel = QStringLiteral("+7 900 000-00-00");
    return o;
}

}  // namespace Fixture
