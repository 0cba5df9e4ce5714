#pragma once

#include "Order.h"
#include "Rub.h"
#include "TestRows.h"

#include <QStringList>

using namespace Qt::StringLiterals;

// Small builders for order tests.
namespace Fixture {

inline OrderLine Service(const QString &key, const QString &name, double count, double price, double nds,
                         const QString &top = Group::kStandalone) {
    OrderLine l;
    l.iddService = key, l.iddTop = top, l.name = name, l.count = count, l.price = Rub(price), l.prNds = nds;
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

// The lines in one text, so that one comparison names everything a line carries:
// "key name count x price +VAT% time [job% | job] {worker keys}" with a package's services in [ ];
// a removed line or worker is marked with "-".
inline QString Text(const QList<OrderLine> &lines) {
    QStringList out;
    for (const OrderLine &l : lines) {
        QStringList workers;
        for (const PickedWorker &w : l.workers) workers << (w.deleted ? u"-"_s : QString()) + w.iddWork;
        QString s = u"%1%2 %3 %4x%5"_s.arg(l.deleted ? u"-"_s : QString(), l.iddService, l.name,
                                           QString::number(l.count), l.price.Text());
        if (l.prNds != 0) s += u" +%1%"_s.arg(l.prNds);
        s += u' ' + l.time.toString(u"HH:mm"_s);
        if (l.job != 0) s += u" job%1%2"_s.arg(l.job).arg(l.prJob ? u"%"_s : QString());
        if (!workers.isEmpty()) s += u" {%1}"_s.arg(workers.join(u','));
        if (!l.children.isEmpty()) s += u" [%1]"_s.arg(Text(l.children));
        out << s;
    }
    return out.join(u"; "_s);
}

// The order's head in one text: number, status, then the date, appointment, start and finish to the second
// ("-" for none), plate, make, client and phone, "|" between them.
inline QString Head(const Order &o) {
    QStringList t = {o.ZakazNomer, QString::number(o.ZakazStatus)};
    for (const QDateTime &d : {o.ZakazData, o.ZakazBegin, o.ZakazBeginIn, o.ZakazEndOut})
        t << (d.isValid() ? d.toString(QStringLiteral("dd.MM.yy HH:mm:ss")) : QStringLiteral("-"));
    t << o.car.AvtoNomer << o.car.AvtoMarka << o.client.ClientName << o.client.ClientTel;
    return t.join(u'|');
}

// A database test that puts orders started at 09:00 and finished at 18:00 of their day, each with its own
// client "c-<key>" (phone "tel-<key>") and car "a-<key>", and the payments given.
template <class Base>
class WithOrders : public Base {
protected:
    void Put(TestRows::Order o, const QList<double> &paid = {}, const char *client = "Иванов И.И.",
             const char *plate = "А001АА77", const char *make = "ВАЗ") {
        Database &db = this->db();
        o.client = u"c-"_s + o.key, o.car = u"a-"_s + o.key;
        o.begin = QDateTime(o.date.date(), QTime(9, 0)), o.endOut = QDateTime(o.date.date(), QTime(18, 0));
        const auto text = [](const char *utf8) { return QString::fromUtf8(utf8); };
        TestRows::Put(db, TestRows::Client{.key = o.client, .name = text(client), .tel = u"tel-"_s + o.key});
        TestRows::Put(db, TestRows::Car{.key = o.car, .plate = text(plate), .make = text(make)});
        TestRows::Put(db, o);
        for (qsizetype i = 0; i < paid.size(); ++i)
            TestRows::Put(
                db, TestRows::Pay{.key = u"%1-p%2"_s.arg(o.key).arg(i), .order = o.key, .sum = paid[i]});
    }
};

// A new order taken in on 10 June 2024 at 9:15.
inline Order NewOrder() {
    Order o;
    o.ZakazData = QDateTime(QDate(2024, 6, 10), QTime(0, 0));
    o.ZakazBegin = o.ZakazBeginIn = QDateTime(QDate(2024, 6, 10), QTime(9, 15));
    o.car.AvtoNomer = u"а123вс77"_s, o.car.AvtoMarka = u"Лада Веста"_s;
    o.client.ClientName = u"ООО 'Ромашка'"_s, o.client.ClientTel = u"+7 900 000-00-00"_s;
    return o;
}

}  // namespace Fixture
