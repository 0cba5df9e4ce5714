#pragma once

#include "BayBoard.h"
#include "CashStore.h"
#include "ExcelReports.h"
#include "OrderJournalStore.h"
#include "PayRecord.h"
#include "SalaryStore.h"
#include "TyreStore.h"

// The windows' rows as the reports print them.
namespace ReportRows {

// The rows of the order journal as the orders report prints them.
QList<OrderReportRow> OrderRows(const QList<JournalOrder> &orders);
// A cash journal row as the cash report prints it (counterpart parts empty when absent).
CashOperationRow CashRowOf(const PayRecord &pay, const QString &clientName, const QString &workFio,
                           const QString &zakazNomer, const QDateTime &zakazData);
// The cash journal's rows as the cash report prints them.
QList<CashOperationRow> CashRows(const QList<CashRow> &journal);
// Salary payouts as the salary journal and the payouts report show them: the amounts handed out, positive.
QList<PayoutRow> PayoutRows(const QList<PayRecord> &payouts);
// The works of the works report and the worker's works dialog as the performed-works report prints them.
QList<PerformedWorkRow> PerformedRows(const PerformedWorks &works);
// When an order is planned on the day, as the bay plan prints it: "10:00–11:30"; a side on another day
// with its date ("01.03 23:00–01:30"), an end at the midnight closing the day as "24:00".
QString PlanTime(const QDateTime &start, const QDateTime &end, const QDate &day);
// The board's bays, each with its planned orders by start, as the bay plan prints them. An order on a bay
// the board does not show is left out.
QList<BayPlanDay::Bay> PlanBays(const BayBoard::Board &board, const QDate &day);
// The kept sets as the tyre storage report prints them, in its order: by place (rack, shelf and cell, their
// numbers by value: cell 2 before cell 10), then by the day taken in; by the client's name, then the plate
// and the place; or, when overdue, only those paid until before `day`, the longest overdue first. `places`
// give the parts of the places; a set in a place not among them comes after the others, by its text.
QList<TyreReportRow> TyreRows(QList<TyreSet> sets, const QList<StoragePlace> &places, TyreReportOrder order,
                              const QDate &day);
// The word of the report title naming the kind of orders a status filter lists.
QString KindWord(JournalStatus status);

}  // namespace ReportRows
