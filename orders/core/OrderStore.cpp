#include "OrderStore.h"

#include "BayPlan.h"
#include "CashStore.h"

#include "CarStore.h"
#include "ChangedMeanwhile.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "Database.h"
#include "DbError.h"
#include "DynamicRecordset.h"
#include "Formats.h"
#include "KeyGen.h"
#include "OrderMath.h"
#include "PaymentStore.h"
#include "Schema.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <functional>
#include <utility>

namespace {

const QString kOrders = QStringLiteral("TZakaz");
const QString kLines = QStringLiteral("TService");
const QString kWorkers = QStringLiteral("TWork");

// The bay and the planned end; an order on no bay keeps neither.
Values PlanValues(const Order &order) {
    const bool planned = !order.IddBox.isEmpty();
    return {{QStringLiteral("IddBox"),
             planned ? QVariant(order.IddBox) : QVariant(QMetaType::fromType<QString>())},
            {QStringLiteral("ZakazPlanEnd"),
             planned ? QVariant(order.ZakazPlanEnd) : QVariant(QMetaType::fromType<QDateTime>())}};
}

// The plan was made or changed since the order was loaded.
bool PlanChanged(const Order &order, const std::optional<Order> &loaded) {
    return !loaded || order.IddBox != loaded->IddBox || order.ZakazBegin != loaded->ZakazBegin ||
           order.ZakazPlanEnd != loaded->ZakazPlanEnd;
}

void MarkStored(QList<OrderLine> &lines) {
    for (OrderLine &line : lines) {
        line.stored = QStringLiteral("1");
        MarkStored(line.children);
    }
}

}  // namespace

OrderLine OrderStore::ReadLine(CDynamicRecordset &rs) {
    OrderLine line;
    line.stored = QStringLiteral("1");
    line.iddService = rs.Text(QStringLiteral("IddService"));
    line.iddTop = rs.Text(QStringLiteral("IddTop"));
    line.count = rs.Double(QStringLiteral("Count"));
    line.name = rs.Text(QStringLiteral("Name"));
    line.price = rs.Amount(QStringLiteral("Price"));
    line.prNds = rs.Double(QStringLiteral("PrNDS"));
    const QDateTime t = rs.Date(QStringLiteral("Time"));
    line.time = t.isValid() ? t.time() : QTime(0, 0);
    line.prJob = rs.Bool(QStringLiteral("PrJob"));
    line.job = rs.Double(QStringLiteral("Job"));
    return line;
}

QString OrderStore::Save(Order &order, const QString &login, std::optional<Money> debtAgreed,
                         const std::optional<Order> &loaded, bool overlapAgreed) {
    Order work = order;  // the caller's copy changes only when everything is stored
    const bool isNew = work.IsNew();
    // The stored total must fit an amount, like every figure it is summed from.
    if (!OrderMath::Compute(work.lines).total.WithinLimit())
        throw DbError(QStringLiteral("Сумма заказа не может быть больше %1.\nУменьшите количество или цену: "
                                     "ничего не сохранено.")
                          .arg(MoneyLimitText()));
    if (!work.IddBox.isEmpty())
        if (const QString wrong = BayPlan::CheckSpan(work.ZakazBegin, work.ZakazPlanEnd); !wrong.isEmpty())
            throw DbError(wrong + QStringLiteral("\nНичего не сохранено."),
                          QStringLiteral("TZakaz.ZakazPlanEnd"));

    Transaction tx(m_db);
    if (!isNew && loaded) {
        // The order's row is locked first: every save of the order, and every payment on it (whose trigger
        // writes the order's paid sum), waits for this one.
        ChangedMeanwhile::LockRow(m_db, kOrders, QStringLiteral("IddZakaz"), work.IddZakaz);
        std::optional<Order> stored = Load(work.IddZakaz);
        // A payment taken elsewhere meanwhile is no part of what the form writes over: it stays, and the
        // debt check below answers for it. The payments the form loaded must be as they were.
        if (stored) {
            stored->payments.removeIf([&](const PayRecord &p) {
                return std::none_of(loaded->payments.begin(), loaded->payments.end(),
                                    [&](const PayRecord &mine) { return mine.IddPay == p.IddPay; });
            });
            // The client's and the car's fields belong to their cards as well: those the clerk left as the
            // form loaded them take what is stored now, so that a phone or a colour changed elsewhere
            // meanwhile neither stops the save nor is written over.
            if (work.IddVlad == loaded->IddVlad && work.client == loaded->client)
                work.client = std::exchange(stored->client, loaded->client);
            if (work.IddAvto == loaded->IddAvto && work.car == loaded->car)
                work.car = std::exchange(stored->car, loaded->car);
        }
        ChangedMeanwhile::Expect(stored, *loaded);
    }
    // A plan kept as it was loaded is not asked about again.
    if (!work.IddBox.isEmpty() && PlanChanged(work, isNew ? std::nullopt : loaded))
        BayPlan::Claim(m_db, work.IddBox, work.ZakazBegin, work.ZakazPlanEnd, work.IddZakaz, overlapAgreed);
    SaveCarAndClient(work, login);
    if (isNew) {
        work.IddZakaz = NewKey(login);
        work.ZakazNomer.clear();  // numbered at the end of the save
        InsertOrder(work);
    } else {
        CheckNewNumber(work);
        if (!UpdateOrder(work))
            throw DbError(QStringLiteral(
                "Заказ не найден в базе данных: возможно, он удалён на другом рабочем месте."));
    }
    ClientStore(m_db).LinkCar(work.IddVlad, work.IddAvto, login);

    // A line added and removed again before saving never reaches the database.
    QList<OrderLine> kept;
    for (const OrderLine &line : std::as_const(work.lines))
        if (!(line.IsNew() && line.deleted)) kept << line;
    WriteLines(work.IddZakaz, kept, isNew);
    work.lines = kept;
    Schema::RefreshOrderTotals(m_db, work.IddZakaz);

    PaymentStore payments(m_db);
    QList<PayRecord> keptPayments;
    Money paid, paidNow;  // live payments as the form shows them; those of them new in this save
    for (int i = 0; i < work.payments.size(); ++i) {
        PayRecord &pay = work.payments[i];
        if (pay.IddPay.isEmpty() && pay.Delete) continue;
        if (!pay.Delete) (pay.IddPay.isEmpty() ? paidNow : paid) += pay.SummaPay;
        payments.SavePayment(pay, work.IddZakaz, login, QString::number(i));
        keptPayments << pay;
    }
    work.payments = keptPayments;
    if (!isNew && paidNow.IsOutstanding()) {
        // Read after the payments are written: on a server their writes waited for another workstation's
        // payment on the order to be committed.
        const Money owes = CashStore(m_db).OrderDebt(work.IddZakaz);
        const Money shown = OrderMath::Debt(OrderMath::Compute(work.lines).total, paid + paidNow);
        if (owes < shown && owes < Money() && !(debtAgreed && owes + paidNow >= *debtAgreed))
            throw DebtChanged(owes + paidNow, paidNow);
    }

    if (isNew) {
        // Taken last, inside the save, with the counter row locked until the commit: another workstation
        // saving now waits only for these last statements and then gets the next number.
        work.ZakazNomer = CounterStore(m_db).TakeOrderNumber();
        Rows::Update(m_db, kOrders, {{QStringLiteral("IddZakaz"), work.IddZakaz}},
                     {{QStringLiteral("ZakazNomer"), work.ZakazNomer}});
    }
    tx.Commit();

    MarkStored(work.lines);
    order = work;
    return order.IddZakaz;
}

void OrderStore::SaveCarAndClient(Order &order, const QString &login) {
    ClientRecord client;
    client.iddClient = order.IddVlad;
    client.clientName = order.client.ClientName;
    client.clientAdres = order.client.ClientAdres;
    client.clientTel = order.client.ClientTel;
    ClientStore(m_db).SaveContact(client, login);
    order.IddVlad = client.iddClient;
    const OrderCar &c = order.car;
    CarRecord car{order.IddAvto, c.AvtoNomer, c.AvtoMarka, c.AvtoColor, c.AvtoVin, c.AvtoDvig, c.AvtoPrim};
    CarStore(m_db).SaveFields(car, login);
    order.IddAvto = car.iddAvto;
    order.car.AvtoNomer = car.avtoNomer;
}

Values OrderStore::StatusDates(const Order &order) const {
    switch (order.ZakazStatus) {
        case StatusRequested:
            return {{QStringLiteral("ZakazBegin"), order.ZakazBegin}};
        case StatusStarted:
            return {{QStringLiteral("ZakazBeginIn"), order.ZakazBeginIn}};
        case StatusFinished:
            return {{QStringLiteral("ZakazBeginIn"), order.ZakazBeginIn},
                    {QStringLiteral("ZakazEndOut"), order.ZakazEndOut}};
        default:
            return {};
    }
}

void OrderStore::InsertOrder(const Order &order) {
    Values v = {{QStringLiteral("IddZakaz"), order.IddZakaz},
                {QStringLiteral("ZakazNomer"), order.ZakazNomer},
                {QStringLiteral("ZakazData"), order.ZakazData},
                {QStringLiteral("ZakazBegin"), order.ZakazBegin},
                {QStringLiteral("ZakazStatus"), order.ZakazStatus}};
    for (const ColumnValue &d : StatusDates(order))
        if (d.column != u"ZakazBegin") v << d;
    v << ColumnValue{QStringLiteral("IddAvto"), order.IddAvto}
      << ColumnValue{QStringLiteral("IddVlad"), order.IddVlad} << ColumnValue{QStringLiteral("Delete"), false}
      << PlanValues(order);
    Rows::Insert(m_db, kOrders, v);
}

bool OrderStore::UpdateOrder(const Order &order) {
    // The started moment is written in every status; an order without one gets the zero date-time.
    Values v = {{QStringLiteral("ZakazNomer"), order.ZakazNomer},
                {QStringLiteral("ZakazData"), order.ZakazData},
                {QStringLiteral("ZakazBegin"), order.ZakazBegin},
                {QStringLiteral("ZakazStatus"), order.ZakazStatus},
                {QStringLiteral("ZakazBeginIn"),
                 order.ZakazBeginIn.isValid() ? order.ZakazBeginIn : Formats::ZeroDateTime()}};
    for (const ColumnValue &d : StatusDates(order))
        if (d.column == u"ZakazEndOut") v << d;
    // The order is live (a removed one is gone with its lines), so its deletion mark is left alone.
    v << ColumnValue{QStringLiteral("IddAvto"), order.IddAvto}
      << ColumnValue{QStringLiteral("IddVlad"), order.IddVlad} << PlanValues(order);
    return Rows::Update(m_db, kOrders, {{QStringLiteral("IddZakaz"), order.IddZakaz}}, v) > 0;
}

void OrderStore::CheckNewNumber(const Order &order) {
    const QString field = QStringLiteral("TZakaz.ZakazNomer");
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral("SELECT TZakaz.ZakazNomer FROM TZakaz WHERE TZakaz.IddZakaz = ?"),
            {order.IddZakaz});
    // A number left as it was is not checked again: an order numbered alike long ago must stay editable.
    if (rs.IsEOF() || rs.Field(0).AsText().trimmed() == order.ZakazNomer.trimmed()) return;
    if (order.ZakazNomer.trimmed().isEmpty()) throw DbError(QStringLiteral("Укажите номер заказа!"), field);
    rs.Open(
        QStringLiteral("SELECT TZakaz.IddZakaz FROM TZakaz WHERE TZakaz.ZakazNomer = ? AND TZakaz.IddZakaz "
                       "<> ? AND TZakaz.[Delete] = FALSE"),
        {order.ZakazNomer, order.IddZakaz});
    if (!rs.IsEOF())
        throw DbError(QStringLiteral("Номер заказа %1 уже есть у другого заказа.\nУкажите другой номер.")
                          .arg(order.ZakazNomer),
                      field);
    rs.Close();
    CounterStore(m_db).RaiseOrderNumber(order.ZakazNomer);
}

namespace {

QString RowKey(const QString &a, const QString &b) {
    return a + QChar(0x1f) + b;
}

// Rows to write to one table: those already stored are updated at once, new ones are gathered and
// inserted together; a key met twice keeps its last values, as writing the rows one by one would.
class RowBatch {
public:
    RowBatch(Database &db, const QString &table) : m_db(db), m_table(table) {}
    QSet<QString> stored;

    void Write(const QString &key, const Values &keys, const Values &rest) {
        if (stored.contains(key)) {
            Rows::Update(m_db, m_table, keys, rest);
        } else if (const auto it = m_pending.constFind(key); it != m_pending.cend()) {
            m_rows[*it] = keys + rest;
        } else {
            m_pending.insert(key, m_rows.size());
            m_rows << keys + rest;
        }
    }
    void Flush() { Rows::InsertMany(m_db, m_table, m_rows); }

private:
    Database &m_db;
    QString m_table;
    QHash<QString, qsizetype> m_pending;
    QList<Values> m_rows;
};

}  // namespace

void OrderStore::WriteLines(const QString &iddZakaz, const QList<OrderLine> &lines, bool freshOrder) {
    RowBatch lineRows(m_db, kLines), workerRows(m_db, kWorkers);
    if (!freshOrder) {
        // What the order has stored already, deleted rows included: those rows are updated in place.
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral(
                    "SELECT 0 AS RowKind, IddService, IddTop AS Other FROM TService WHERE IddZakaz = ? "
                    "UNION ALL SELECT 1, IddService, IddWork FROM TWork WHERE IddZakaz = ?"),
                {iddZakaz, iddZakaz});
        for (; !rs.IsEOF(); rs.MoveNext())
            (rs.Long(QStringLiteral("RowKind")) == 0 ? lineRows : workerRows)
                .stored.insert(
                    RowKey(rs.Text(QStringLiteral("IddService")), rs.Text(QStringLiteral("Other"))));
    }
    const std::function<void(const OrderLine &)> write = [&](const OrderLine &line) {
        lineRows.Write(RowKey(line.iddService, line.iddTop),
                       {{QStringLiteral("IddZakaz"), iddZakaz},
                        {QStringLiteral("IddService"), line.iddService},
                        {QStringLiteral("IddTop"), line.iddTop}},
                       {{QStringLiteral("Count"), line.count},
                        {QStringLiteral("Name"), line.name},
                        {QStringLiteral("Price"), line.price.ToDouble()},
                        {QStringLiteral("PrNDS"), line.prNds},
                        {QStringLiteral("Time"), Formats::TimeOfDay(line.time)},
                        {QStringLiteral("PrJob"), line.prJob},
                        {QStringLiteral("Job"), line.job},
                        {QStringLiteral("Delete"), line.deleted}});
        for (const PickedWorker &w : line.workers)
            workerRows.Write(RowKey(line.iddService, w.iddWork),
                             {{QStringLiteral("IddZakaz"), iddZakaz},
                              {QStringLiteral("IddService"), line.iddService},
                              {QStringLiteral("IddWork"), w.iddWork}},
                             {{QStringLiteral("WorkFIO"), w.workFio}, {QStringLiteral("Delete"), w.deleted}});
        for (const OrderLine &child : line.children) write(child);
    };
    for (const OrderLine &line : lines) write(line);
    lineRows.Flush();
    workerRows.Flush();
}

std::optional<Order> OrderStore::Load(const QString &iddZakaz) {
    CDynamicRecordset rs(m_db);
    rs.Open(QStringLiteral(
                "SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.ZakazData, TZakaz.ZakazBegin, "
                "TZakaz.ZakazBeginIn, "
                "TZakaz.ZakazEndOut, TZakaz.IddAvto, TZakaz.IddVlad, TZakaz.ZakazStatus, TZakaz.IddBox, "
                "TZakaz.ZakazPlanEnd, SAvto.AvtoNomer, "
                "SAvto.AvtoMarka, SAvto.AvtoVin, SAvto.AvtoDvig, SAvto.AvtoColor, SAvto.AvtoPrim, "
                "SClient.ClientName, "
                "SClient.ClientAdres, SClient.ClientTel FROM (TZakaz LEFT JOIN SAvto ON TZakaz.IddAvto = "
                "SAvto.IddAvto) LEFT JOIN SClient ON TZakaz.IddVlad = SClient.IddClient "
                "WHERE TZakaz.IddZakaz = ? AND TZakaz.[Delete] = FALSE"),
            {iddZakaz});
    if (rs.IsEOF()) return std::nullopt;
    Order o;
    o.IddZakaz = rs.Text(QStringLiteral("IddZakaz"));
    o.ZakazNomer = rs.Text(QStringLiteral("ZakazNomer"));
    o.ZakazData = rs.Date(QStringLiteral("ZakazData"));
    o.ZakazBegin = rs.Date(QStringLiteral("ZakazBegin"));
    o.ZakazBeginIn = rs.Date(QStringLiteral("ZakazBeginIn"));
    o.ZakazEndOut = rs.Date(QStringLiteral("ZakazEndOut"));
    o.IddAvto = rs.Text(QStringLiteral("IddAvto"));
    o.IddVlad = rs.Text(QStringLiteral("IddVlad"));
    o.ZakazStatus = int(rs.Long(QStringLiteral("ZakazStatus")));
    o.IddBox = rs.Text(QStringLiteral("IddBox"));
    if (!o.IddBox.isEmpty()) o.ZakazPlanEnd = rs.Date(QStringLiteral("ZakazPlanEnd"));
    o.car.AvtoNomer = rs.Text(QStringLiteral("AvtoNomer"));
    o.car.AvtoMarka = rs.Text(QStringLiteral("AvtoMarka"));
    o.car.AvtoVin = rs.Text(QStringLiteral("AvtoVin"));
    o.car.AvtoDvig = rs.Text(QStringLiteral("AvtoDvig"));
    o.car.AvtoColor = rs.Text(QStringLiteral("AvtoColor"));
    o.car.AvtoPrim = rs.Text(QStringLiteral("AvtoPrim"));
    o.client.ClientName = rs.Text(QStringLiteral("ClientName"));
    o.client.ClientAdres = rs.Text(QStringLiteral("ClientAdres"));
    o.client.ClientTel = rs.Text(QStringLiteral("ClientTel"));
    rs.Close();
    o.lines = LoadLines(iddZakaz);
    o.payments = PaymentStore(m_db).LoadOrderPayments(iddZakaz);
    return o;
}

QList<OrderLine> OrderStore::LoadLines(const QString &iddZakaz) {
    // Two queries whatever the size of the order: the live workers, then the live lines.
    QHash<QString, PickedWorkers> workers;
    {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral(
                    "SELECT TWork.IddService, TWork.IddWork, TWork.WorkFIO FROM TWork WHERE "
                    "TWork.IddZakaz = ? AND TWork.[Delete] = FALSE ORDER BY TWork.WorkFIO, TWork.IddWork"),
                {iddZakaz});
        for (; !rs.IsEOF(); rs.MoveNext())
            workers[rs.Text(QStringLiteral("IddService"))] << PickedWorker{
                QString(), rs.Text(QStringLiteral("IddWork")), rs.Text(QStringLiteral("WorkFIO")), false};
    }
    QList<OrderLine> flat;
    {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral(
                    "SELECT TService.IddService, TService.IddTop, TService.[Count], TService.[Name], "
                    "TService.Price, TService.PrNDS, TService.[Time], TService.PrJob, TService.Job FROM "
                    "TService WHERE TService.IddZakaz = ? AND TService.[Delete] = FALSE ORDER BY "
                    "TService.[Name], TService.IddService"),
                {iddZakaz});
        for (; !rs.IsEOF(); rs.MoveNext()) {
            OrderLine line = ReadLine(rs);
            line.workers = workers.value(line.iddService);
            flat << line;
        }
    }
    return Arrange(flat);
}

QList<OrderLine> OrderStore::Arrange(const QList<OrderLine> &flat) {
    QList<OrderLine> packages, standalone, inPackages;
    for (const OrderLine &line : flat) {
        if (line.IsPackage())
            packages << line;
        else if (line.iddTop == Group::kStandalone)
            standalone << line;
        else
            inPackages << line;
    }
    for (OrderLine &pkg : packages)
        for (const OrderLine &child : std::as_const(inPackages))
            if (child.iddTop == pkg.iddService) pkg.children << child;
    return packages + standalone;
}

bool OrderStore::MarkStarted(const QString &iddZakaz, const QDateTime &when) {
    return Rows::Update(m_db, kOrders, {{QStringLiteral("IddZakaz"), iddZakaz}},
                        {{QStringLiteral("ZakazStatus"), int(StatusStarted)},
                         {QStringLiteral("ZakazBeginIn"), when}}) > 0;
}

bool OrderStore::MarkFinished(const QString &iddZakaz, const QDateTime &when) {
    return Rows::Update(m_db, kOrders, {{QStringLiteral("IddZakaz"), iddZakaz}},
                        {{QStringLiteral("ZakazStatus"), int(StatusFinished)},
                         {QStringLiteral("ZakazEndOut"), when}}) > 0;
}

void OrderStore::Delete(const QString &iddZakaz) {
    const Values key = {{QStringLiteral("IddZakaz"), iddZakaz}};
    Transaction tx(m_db);
    Rows::Delete(m_db, kWorkers, key);
    Rows::Delete(m_db, kLines, key);
    Rows::Delete(m_db, kOrders, key);
    tx.Commit();
}
