#pragma once

#include "Order.h"
#include "Rub.h"

// Small builders for order tests.
namespace Fixture {

inline OrderLine Service(const QString &key, const QString &name, double count, double price, double nds,
                         const QString &top = Group::kStandalone) {
    OrderLine l;
    l.iddService = key;
    l.iddTop = top;
    l.name = name;
    l.count = count;
    l.price = Rub(price);
    l.prNds = nds;
    l.time = QTime(0, 30);
    return l;
}

inline OrderLine Package(const QString &key, const QString &name, QList<OrderLine> services) {
    OrderLine p = Service(key, name, 1, 0, 0, Group::kPackage);
    p.time = QTime(0, 0);
    for (OrderLine &s : services) s.iddTop = key;
    p.children = services;
    return p;
}

inline PickedWorker Worker(const QString &key, const QString &fio) {
    return PickedWorker{QString(), key, fio, false};
}

// A new order taken in on 10 June 2024 at 9:15.
inline Order NewOrder() {
    Order o;
    o.ZakazData = QDateTime(QDate(2024, 6, 10), QTime(0, 0));
    o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate(2024, 6, 10), QTime(9, 15));
    o.car.AvtoNomer = QStringLiteral("а123вс77");
    o.car.AvtoMarka = QStringLiteral("Лада Веста");
    o.client.ClientName = QStringLiteral("ООО 'Ромашка'");
    o.client.ClientTel = QStringLiteral("+7 900 000-00-00");
    return o;
}

}  // namespace Fixture
