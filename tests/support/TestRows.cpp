#include "TestRows.h"

#include "CounterStore.h"
#include "Formats.h"
#include "Rows.h"
#include "Schema.h"

#include <stdexcept>

namespace TestRows {

namespace {

// One row: the columns named in one text, their values in the same order.
void Insert(Database &db, const char *table, const char *columns, const QVariantList &values) {
    const QStringList names = QString::fromLatin1(columns).split(u' ');
    if (names.size() != values.size())
        throw std::logic_error(std::string("TestRows: columns and values of ") + table);
    Values row;
    for (qsizetype i = 0; i < names.size(); ++i) row << ColumnValue{names[i], values[i]};
    Rows::Insert(db, QString::fromLatin1(table), row);
}

}  // namespace

void Put(Database &db, const Client &c) {
    Insert(db, "SClient",
           "IddClient ClientName ClientTel ClientINN ClientAdres ClientFaks ClientBIK ClientContact",
           {c.key, c.name, c.tel, c.inn, c.address, c.fax, c.bik, c.contact});
}

void Put(Database &db, const Car &c) {
    Values car = {{QStringLiteral("IddAvto"), c.key},
                  {QStringLiteral("AvtoNomer"), c.plate},
                  {QStringLiteral("AvtoMarka"), c.make},
                  {QStringLiteral("AvtoColor"), c.color},
                  {QStringLiteral("AvtoPrim"), c.note}};
    if (!c.vin.isEmpty()) car << ColumnValue{QStringLiteral("AvtoVin"), c.vin};
    if (!c.engine.isEmpty()) car << ColumnValue{QStringLiteral("AvtoDvig"), c.engine};
    Rows::Insert(db, QStringLiteral("SAvto"), car);
    if (!c.owner.isEmpty())
        Put(db,
            CarLink{
                .key = c.key + u'-' + c.owner, .car = c.key, .client = c.owner, .deleted = c.ownerDeleted});
}

void Put(Database &db, const CarLink &l) {
    Insert(db, "AvtoVlad", "IddAvtoVlad IddAvto IddVlad Delete", {l.key, l.car, l.client, l.deleted});
}

void Put(Database &db, const Service &s) {
    Insert(db, "SService", "IddService IddTop Name Delete", {s.key, s.top, s.name, s.deleted});
}

void Put(Database &db, const Worker &w) {
    Insert(db, "SWork", "IddWork WorkFIO WorkOut Delete WorkDataIn WorkDataOut",
           {w.key, w.fio, w.workOut, w.deleted, w.hired, w.dismissed});
}

void Put(Database &db, const WorkerService &w) {
    Insert(db, "ServiceWork", "IddServiceWork IddService IddWork Delete",
           {w.key, w.service, w.worker, w.deleted});
}

void Put(Database &db, const User &u) {
    Insert(db, "SUser", "IddUser Login Name Pass Prova Delete",
           {u.key, u.login, u.name, u.pass, u.rights, u.deleted});
}

void Put(Database &db, const Bay &b) {
    Insert(db, "SBox", "IddBox NameBox Delete", {b.key, b.name, b.deleted});
}

void Put(Database &db, const Order &o) {
    const QDateTime begin = o.begin.isValid() ? o.begin : o.date;
    Insert(db, "TZakaz",
           "IddZakaz ZakazNomer ZakazData ZakazBegin ZakazBeginIn ZakazEndOut IddAvto IddVlad ZakazStatus "
           "Delete",
           {o.key, o.number, o.date, begin, begin, o.endOut.isValid() ? o.endOut : begin.addSecs(3600), o.car,
            o.client, o.status, o.deleted});
    if (!o.bay.isEmpty())
        Rows::Update(db, QStringLiteral("TZakaz"), {{QStringLiteral("IddZakaz"), o.key}},
                     {{QStringLiteral("IddBox"), o.bay}, {QStringLiteral("ZakazPlanEnd"), o.planEnd}});
    const QList<Line> lines = o.lines.isEmpty() && !o.noLines ? QList<Line>{Line{}} : o.lines;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        const QString key = l.key.isEmpty() ? QStringLiteral("%1-%2").arg(o.key).arg(i + 1) : l.key;
        Insert(db, "TService",
               "IddZakaz IddService IddTop Count Name Price PrNDS Summa Time PrJob Job Delete",
               {o.key, key, l.top, l.count, l.name, l.price, l.nds, l.price * (1 + l.nds / 100),
                Formats::TimeOfDay(l.time), l.prJob, l.job, l.deleted});
        for (const Work &w : l.workers)
            Insert(db, "TWork", "IddZakaz IddService IddWork WorkFIO Delete",
                   {o.key, key, w.worker, w.fio, w.deleted});
    }
    Schema::RefreshOrderTotals(db, o.key);
}

void Put(Database &db, const Pay &p) {
    Insert(db, "TPay", "IddPay IddZakaz TypePay NaznPay NomerPay DataPay SummaPay DocPay PrimPay Delete",
           {p.key, p.order, p.kind, p.purpose, p.number, p.when, p.sum, QString(), QString(), p.deleted});
}

void Put(Database &db, const Payout &p) {
    Insert(db, "TWorkPay", "IddWorkPay IddPay IddWork SummaWorkPay DeleteWorkPay",
           {p.key, p.pay, p.worker, p.sum, p.deleted});
}

void PutCounters(Database &db, long order, long pay, long outPay, long salary) {
    CounterStore(db).WriteAll({QString(), order, pay, outPay, salary});
}

}  // namespace TestRows
