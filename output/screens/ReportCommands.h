#pragma once

#include "DocumentPrinter.h"
#include "ExcelReports.h"
#include "ReportRows.h"

#include <functional>

class AppContext;
class QWidget;
struct TyreSet;

// What the windows' print commands call: each reads what the report still needs, builds it under a
// cancellable progress dialog and shows every failure to the user with its reason. The workbooks go
// where the context's report target says.
namespace ReportCommands {

// Each returns true when the workbook was written; one that could not be opened is named to the user.
bool Orders(AppContext &ctx, const QList<JournalOrder> &orders, const JournalFilter &filter, QWidget *parent);
// Refuses with the directory's message when no client is chosen.
bool ClientCard(AppContext &ctx, const QString &iddClient, QWidget *parent);
bool CashOperations(AppContext &ctx, const QList<CashOperationRow> &rows, QWidget *parent);
bool Turnover(AppContext &ctx, const QDate &from, const QDate &to, QWidget *parent);
bool PerformedWorks(AppContext &ctx, const QList<PerformedWorkRow> &rows, const QDate &from, const QDate &to,
                    const QString &worker, QWidget *parent);
bool PayoutSheet(AppContext &ctx, const QString &number, const QDateTime &date, const QString &title,
                 const QList<PayoutSheetRow> &rows, QWidget *parent);
bool PayoutSheetStored(AppContext &ctx, const QString &iddPay, const QString &number, const QDateTime &date,
                       const QString &title, QWidget *parent);
bool Payouts(AppContext &ctx, const QList<PayoutRow> &rows, const QDate &from, const QDate &to,
             QWidget *parent);
bool ChangeLog(AppContext &ctx, const QList<ChangeLogRow> &rows, const QString &title, QWidget *parent);
bool WorkerBalances(AppContext &ctx, const QList<WorkerBalanceRow> &rows, const QDate &date, QWidget *parent);
// The orders planned on the bays on the day, read afresh.
bool BayPlan(AppContext &ctx, const QDate &day, QWidget *parent);

// The sets kept in tyre storage today (or only the overdue ones), read afresh, in the order asked.
bool TyresInStorage(AppContext &ctx, TyreReportOrder order, QWidget *parent);

// The day's bay plan as the sheet for the workshop wall, read afresh, written under doc/ and shown by the
// opener (the desktop unless given). True when the sheet was written; a day with nothing planned is refused.
bool BayPlanSheet(AppContext &ctx, const QDate &day, const DocumentPrinter::Opener &opener = {});

// A stored set's receipt (the shop, the client's phone and the car's make read afresh; the user signs as
// the clerk) and its labels, a label per tyre; each written under doc/ and shown by the opener (the desktop
// unless given). True when the document was written; a set without a code (not taken in yet) is refused.
bool TyreReceipt(AppContext &ctx, const TyreSet &set, const DocumentPrinter::Opener &opener = {});
bool TyreLabels(AppContext &ctx, const TyreSet &set, const DocumentPrinter::Opener &opener = {});

}  // namespace ReportCommands
