#include "TestRows.h"

#include "CounterStore.h"
#include "Formats.h"
#include "Rows.h"
#include "Schema.h"

namespace TestRows {

void Put(Database &db, const Client &c) {
    Rows::Insert(db, QStringLiteral("SClient"),
                 {{QStringLiteral("IddClient"), c.key},
                  {QStringLiteral("ClientName"), c.name},
                  {QStringLiteral("ClientTel"), c.tel},
                  {QStringLiteral("ClientINN"), c.inn},
                  {QStringLiteral("ClientAdres"), c.address},
                  {QStringLiteral("ClientFaks"), c.fax},
                  {QStringLiteral("ClientBIK"), c.bik},
                  {QStringLiteral("ClientContact"), c.contact}});
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
    if (c.owner.isEmpty()) return;
    Rows::Insert(db, QStringLiteral("AvtoVlad"),
                 {{QStringLiteral("IddAvtoVlad"), c.key + QStringLiteral("-") + c.owner},
                  {QStringLiteral("IddAvto"), c.key},
                  {QStringLiteral("IddVlad"), c.owner},
                  {QStringLiteral("Delete"), c.ownerDeleted}});
}

void Put(Database &db, const CarLink &l) {
    Rows::Insert(db, QStringLiteral("AvtoVlad"),
                 {{QStringLiteral("IddAvtoVlad"), l.key},
                  {QStringLiteral("IddAvto"), l.car},
                  {QStringLiteral("IddVlad"), l.client},
                  {QStringLiteral("Delete"), l.deleted}});
}

void Put(Database &db, const Service &s) {
    Rows::Insert(db, QStringLiteral("SService"),
                 {{QStringLiteral("IddService"), s.key},
                  {QStringLiteral("IddTop"), s.top},
                  {QStringLiteral("Name"), s.name},
                  {QStringLiteral("Delete"), s.deleted}});
}

void Put(Database &db, const Worker &w) {
    Rows::Insert(db, QStringLiteral("SWork"),
                 {{QStringLiteral("IddWork"), w.key},
                  {QStringLiteral("WorkFIO"), w.fio},
                  {QStringLiteral("WorkOut"), w.workOut},
                  {QStringLiteral("Delete"), w.deleted},
                  {QStringLiteral("WorkDataIn"), w.hired},
                  {QStringLiteral("WorkDataOut"), w.dismissed}});
}

void Put(Database &db, const WorkerService &w) {
    Rows::Insert(db, QStringLiteral("ServiceWork"),
                 {{QStringLiteral("IddServiceWork"), w.key},
                  {QStringLiteral("IddService"), w.service},
                  {QStringLiteral("IddWork"), w.worker},
                  {QStringLiteral("Delete"), w.deleted}});
}

void Put(Database &db, const User &u) {
    Rows::Insert(db, QStringLiteral("SUser"),
                 {{QStringLiteral("IddUser"), u.key},
                  {QStringLiteral("Login"), u.login},
                  {QStringLiteral("Name"), u.name},
                  {QStringLiteral("Pass"), u.pass},
                  {QStringLiteral("Prova"), u.rights},
                  {QStringLiteral("Delete"), u.deleted}});
}

void Put(Database &db, const Bay &b) {
    Rows::Insert(db, QStringLiteral("SBox"),
                 {{QStringLiteral("IddBox"), b.key},
                  {QStringLiteral("NameBox"), b.name},
                  {QStringLiteral("Delete"), b.deleted}});
}

namespace {

void PutLine(Database &db, const QString &order, const QString &key, const Line &l) {
    Rows::Insert(db, QStringLiteral("TService"),
                 {{QStringLiteral("IddZakaz"), order},
                  {QStringLiteral("IddService"), key},
                  {QStringLiteral("IddTop"), l.top},
                  {QStringLiteral("Count"), l.count},
                  {QStringLiteral("Name"), l.name},
                  {QStringLiteral("Price"), l.price},
                  {QStringLiteral("PrNDS"), l.nds},
                  {QStringLiteral("Summa"), l.price * (1 + l.nds / 100)},
                  {QStringLiteral("Time"), Formats::TimeOfDay(l.time)},
                  {QStringLiteral("PrJob"), l.prJob},
                  {QStringLiteral("Job"), l.job},
                  {QStringLiteral("Delete"), l.deleted}});
    for (const Work &w : l.workers)
        Rows::Insert(db, QStringLiteral("TWork"),
                     {{QStringLiteral("IddZakaz"), order},
                      {QStringLiteral("IddService"), key},
                      {QStringLiteral("IddWork"), w.worker},
                      {QStringLiteral("WorkFIO"), w.fio},
                      {QStringLiteral("Delete"), w.deleted}});
}

}  // namespace

void Put(Database &db, const Order &o) {
    const QDateTime begin = o.begin.isValid() ? o.begin : o.date;
    Rows::Insert(db, QStringLiteral("TZakaz"),
                 {{QStringLiteral("IddZakaz"), o.key},
                  {QStringLiteral("ZakazNomer"), o.number},
                  {QStringLiteral("ZakazData"), o.date},
                  {QStringLiteral("ZakazBegin"), begin},
                  {QStringLiteral("ZakazBeginIn"), begin},
                  {QStringLiteral("ZakazEndOut"), o.endOut.isValid() ? o.endOut : begin.addSecs(3600)},
                  {QStringLiteral("IddAvto"), o.car},
                  {QStringLiteral("IddVlad"), o.client},
                  {QStringLiteral("ZakazStatus"), o.status},
                  {QStringLiteral("Delete"), o.deleted}});
    const QList<Line> lines = o.lines.isEmpty() && !o.noLines ? QList<Line>{Line{}} : o.lines;
    for (qsizetype i = 0; i < lines.size(); ++i)
        PutLine(db, o.key,
                lines[i].key.isEmpty() ? QStringLiteral("%1-%2").arg(o.key).arg(i + 1) : lines[i].key,
                lines[i]);
    Schema::RefreshOrderTotals(db, o.key);
}

void Put(Database &db, const Pay &p) {
    Rows::Insert(db, QStringLiteral("TPay"),
                 {{QStringLiteral("IddPay"), p.key},
                  {QStringLiteral("IddZakaz"), p.order},
                  {QStringLiteral("TypePay"), p.kind},
                  {QStringLiteral("NaznPay"), p.purpose},
                  {QStringLiteral("NomerPay"), p.number},
                  {QStringLiteral("DataPay"), p.when},
                  {QStringLiteral("SummaPay"), p.sum},
                  {QStringLiteral("DocPay"), QString()},
                  {QStringLiteral("PrimPay"), QString()},
                  {QStringLiteral("Delete"), p.deleted}});
}

void Put(Database &db, const Payout &p) {
    Rows::Insert(db, QStringLiteral("TWorkPay"),
                 {{QStringLiteral("IddWorkPay"), p.key},
                  {QStringLiteral("IddPay"), p.pay},
                  {QStringLiteral("IddWork"), p.worker},
                  {QStringLiteral("SummaWorkPay"), p.sum},
                  {QStringLiteral("DeleteWorkPay"), p.deleted}});
}

void PutCounters(Database &db, long order, long pay, long outPay, long salary) {
    CounterStore(db).WriteAll({QString(), order, pay, outPay, salary});
}

}  // namespace TestRows
