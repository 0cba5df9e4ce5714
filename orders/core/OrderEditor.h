#pragma once

#include "Order.h"
#include "OrderMath.h"
#include "SelectedService.h"
#include "ServiceRecord.h"

#include <QDate>
#include <QDateTime>

// An order while the form edits it: the rules of its status, its moments, its lines and its payments,
// without a widget. The form shows what it holds and hands it every input; Result() is the order the
// store writes.
class OrderEditor {
public:
    // A line of the order: top-level index, and the index of a package's service (-1 for the top line).
    struct LinePos {
        int top = -1;
        int child = -1;
    };
    // The three ticks of the form.
    struct Ticks {
        bool preliminary = false;  // "Предварительный заказ:"
        bool accepted = false;     // "Принят к исполнению:"
        bool finished = false;     // "Исполнен:"
    };
    // The field a refused OK names.
    enum class Field { None, Plate, Client, Lines, Number, Done, PlanEnd };
    struct Refusal {
        Field field = Field::None;
        QString message;
    };

    // A new order opened as a request (StatusRequested) or as work taken in (StatusStarted); its moments
    // start at `now`.
    OrderEditor(int openStatus, const QDateTime &now);
    // A stored order as loaded.
    OrderEditor(const Order &stored, const QDateTime &now);

    const Order &order() const { return m_order; }
    bool IsNew() const { return m_order.IsNew(); }

    // Ticks, and which moments may be picked: a new order follows its ticks, a stored one keeps what it
    // opened with.
    const Ticks &ticks() const { return m_ticks; }
    void SetTicks(const Ticks &ticks);
    Ticks Pickable() const { return IsNew() ? m_ticks : m_openTicks; }
    int Status() const;

    // The moments the pickers show. Setting one means the clerk picked it: it is then taken to the minute
    // instead of the stored one.
    QDate OrderDate() const { return m_orderDate; }
    QDateTime AppointmentShown() const { return m_prelimAt; }
    QDateTime AcceptShown() const { return m_acceptAt; }
    QDateTime DoneShown() const { return m_doneAt; }
    void SetOrderDate(const QDate &date) { m_orderDate = date; }
    void PickAppointment(const QDateTime &at);
    void PickAccept(const QDateTime &at);  // also moves a proposed completion
    void PickDone(const QDateTime &at);

    // The bay the order is planned on (empty: none), from its planned start (the appointment, or the
    // acceptance of an order taken without one) until the planned end. The end follows the start and the
    // lines (their durations; a stored plan keeps its length) until the clerk picks one.
    void SetBay(const QString &iddBox) { m_order.IddBox = iddBox; }
    QDateTime PlanStart() const;
    QDateTime PlanEndShown() const;
    void PickPlanEnd(const QDateTime &at);

    // A stored order's number as typed (trimmed); a new one is numbered when it is saved.
    void SetNumber(const QString &number);

    // The car and the client, as typed (trimmed; the plate in upper case) and by key (empty: a new one).
    void SetCar(const QString &iddAvto, const OrderCar &car);
    void SetClient(const QString &iddVlad, const OrderClient &client);

    // Lines. Services added again merge into the line already there (quantities add up, workers join).
    void AddServices(const SelectedServices &services);
    const OrderLine *Line(LinePos pos) const;
    // A package goes with its services.
    void RemoveLine(LinePos pos);
    // 0 or less is refused (false) and changes nothing.
    bool SetQuantity(LinePos pos, double count);
    // The line's workers become those picked; a worker dropped is marked removed so its row is kept.
    void SetWorkers(LinePos pos, const PickedWorkers &picked);
    // What the service card changed on a line: name (unless left empty), prices, pay and duration.
    void ChangeLine(LinePos pos, const ServiceRecord &changed);

    // Payments: indexes into order().payments, which keeps removed ones until the save.
    void AddPayment(const PayRecord &pay);
    void ReplacePayment(int index, const PayRecord &pay);
    void RemovePayment(int index);
    // The live payments' indexes, newest first.
    QList<int> ShownPayments() const;

    OrderMath::Totals Totals() const { return OrderMath::Compute(m_order.lines); }
    Money Paid() const { return OrderMath::Paid(m_order.payments); }
    Money Debt() const { return OrderMath::Debt(Totals().total, Paid()); }

    // The checks of OK that need no database, in the order the form makes them.
    Refusal Check() const;
    // The order to store: status and moments worked out from the ticks and pickers.
    Order Result() const;
    // After a save: the order as stored, which the editor now holds.
    void Saved(const Order &stored) { m_order = stored; }

private:
    OrderLine *LineAt(LinePos pos);
    void ProposeDone();
    QDateTime PlanEndFrom(const QDateTime &start) const;

    Order m_order;
    int m_openStatus = StatusStarted;
    Ticks m_ticks, m_openTicks;
    QDate m_orderDate;
    QDateTime m_prelimAt, m_acceptAt, m_doneAt;
    // Moments read from the stored order; kept on saving while their pickers are left alone.
    QDateTime m_storedAppointment, m_storedStart, m_storedEnd;
    bool m_prelimPicked = false, m_acceptPicked = false, m_donePicked = false;
    QDateTime m_planEnd, m_storedPlanStart, m_storedPlanEnd;
    bool m_planEndPicked = false;
};
