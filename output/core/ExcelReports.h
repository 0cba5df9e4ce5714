#pragma once

#include "ExcelSession.h"
#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>

class Prompter;

// Plain rows the reports are built from. Callers fill them from what their windows show or through
// ReportStore; the reports never touch widgets or the database.

// A cash payment with what it belongs to (each counterpart part empty when absent).
struct CashOperationRow {
    QString NomerPay;
    QDateTime DataPay;
    Money SummaPay{};
    QString NaznPay, DocPay, PrimPay;
    QString ClientName, WorkFIO;
    QString ZakazNomer;  // empty when the payment belongs to no order
    QDateTime ZakazData;
};

// The turnover of a period: the balance before it and the period's net sum per article.
struct TurnoverData {
    Money opening{};
    QList<std::pair<QString, Money>> articles;  // NaznPay, its net sum; sorted by article
};

// A service performed by a worker, as the performed-works view and the worker's works dialog show it.
struct PerformedWorkRow {
    QDateTime done;  // when the order was finished
    QString orderNumber;
    QDateTime orderDate;
    QString service;
    Money summa{}, nds{}, total{};
    QString worker;
    Money accrued{};
};

struct PayoutSheetRow {
    QString worker;
    Money amount{};
};

// A salary payout as the salary journal lists it.
struct PayoutRow {
    QString number;
    QDateTime date;
    QString purpose;
    Money amount{};
};

// An entry of the change log as its window shows it.
struct ChangeLogRow {
    QDateTime at;
    QString user, host, action, kind, record, order, client, changes;
};

struct WorkerBalanceRow {
    QString worker;
    Money earned{}, paid{}, balance{};
};

struct OrderReportRow {
    QString client, tel, number;
    QDateTime date, start, end;  // start / end invalid when not known
    QString plate, make;
    Money total{}, debt{};
};

struct ClientCardData {
    // SClient fields by column name (ClientName, ClientINN, ...).
    QMap<QString, QString> client;
    struct Car {
        QString plate, make, colour;
    };
    struct Order {
        QString number;
        QDateTime date, start, end;
        Money total{}, debt{};
    };
    struct Payment {
        QString number;
        QDateTime date;
        Money amount{};
        QString purpose, document, note;
    };
    QList<Car> cars;
    QList<Order> orders;      // oldest first
    QList<Payment> payments;  // newest first
};

// An order planned on a bay, as the day's bay plan prints it.
struct BayPlanRow {
    QString time = {};  // "10:00–11:30"; a side on another day with its date
    QString number = {}, client = {}, plate = {}, services = {}, phone = {};
};

// The day's plan of the shop's live bays: each bay in the board's order with its orders by start.
struct BayPlanDay {
    struct Bay {
        QString name = {};
        QList<BayPlanRow> rows = {};
    };
    QDate day = {};
    QString company = {};  // the shop's name
    QList<Bay> bays = {};

    int Orders() const;
};

// Which of the sets kept in tyre storage the report lists, and in what order: all of them by rack, shelf
// and cell, or by client; or only those kept beyond the day they were paid until, longest overdue first.
enum class TyreReportOrder { ByPlace, ByClient, Overdue };

// A set kept in storage, as the tyre storage report prints it.
struct TyreReportRow {
    QString place = {}, client = {}, plate = {}, set = {}, code = {};
    QDate dateIn = {}, paidUntil = {};
    int seasonsOverdue = 0;  // the seasons begun since it was paid until, by the report's day
};

// The sets kept in the shop's tyre storage on a day, ordered as asked.
struct TyreStorageReport {
    QDate day = {};
    QString company = {};  // the shop's name
    TyreReportOrder order = TyreReportOrder::ByPlace;
    QList<TyreReportRow> rows = {};
};

// Builds the management reports into an ExcelSession. Each operation starts the session, fills the
// sheet, sets it to print on A4 one page wide and, unless `show` was turned off, writes and opens the
// workbook. Errors of the session (ExcelError) pass through; RunReport shows them.
class ExcelReports {
public:
    // Called with rows done and rows in all; false cancels the report (nothing is written).
    using Progress = std::function<bool(int done, int total)>;

    explicit ExcelReports(ExcelSession &session, Progress progress = {}, bool show = true)
        : m_s(session), m_progress(std::move(progress)), m_show(show) {}

    // Each returns false when the user cancelled it through the progress callback.
    bool CashOperations(const QList<CashOperationRow> &rows);
    bool Turnover(const QDate &from, const QDate &to, const TurnoverData &data);
    bool PerformedWorks(const QList<PerformedWorkRow> &rows, const QDate &from, const QDate &to,
                        const QString &worker);
    // The new statement (accrual dialog) and the stored one (rows read by ReportStore::PayoutSheet).
    bool PayoutSheet(const QString &number, const QDateTime &date, const QString &title,
                     const QList<PayoutSheetRow> &rows, const QString &director, const QString &accountant);
    bool PayoutSheetStored(const QString &number, const QDateTime &date, const QString &title,
                           const QList<PayoutSheetRow> &rows, const QString &director,
                           const QString &accountant) {
        return PayoutSheet(number, date, title, rows, director, accountant);
    }
    bool Payouts(const QList<PayoutRow> &rows, const QDate &from, const QDate &to);
    // `title` says which entries: a period's, or one record's history.
    bool ChangeLog(const QList<ChangeLogRow> &rows, const QString &title);
    bool WorkerBalances(const QList<WorkerBalanceRow> &rows, const QDate &date);
    bool Orders(const QList<OrderReportRow> &rows, const QDate &from, const QDate &to, const QString &kind);
    bool ClientCard(const ClientCardData &card);
    // A row per planned order, bay by bay; bays with nothing planned are left out.
    bool BayPlan(const BayPlanDay &plan);
    // A row per kept set in the report's order, with its total; the overdue list adds the seasons overdue.
    bool TyresInStorage(const TyreStorageReport &report);

    // The counterpart text of a cash payment: client, worker, order, each only when present.
    static QString Counterpart(const CashOperationRow &row);

private:
    void Title(const QString &range, const QString &text);
    void Heading(const QString &cell, const QString &text);
    void Data(const QString &cell, const QString &text, bool asText);
    void Total(const QString &labelRange, const QString &label);
    void Amount(const QString &cell, Money value, bool bold = false);
    bool Step(int done, int total);
    bool Finish();
    // The client card's parts, top to bottom; each returns the first row after it.
    void Caption(int row, const QString &text);
    void ClientDetails(const ClientCardData &card);
    int ClientCars(const ClientCardData &card);
    int ClientOrders(const ClientCardData &card, int row);
    void ClientPayments(const ClientCardData &card, int row);

    ExcelSession &m_s;
    Progress m_progress;
    bool m_show;
};

// Runs one report command: shows the reason to the user when the report cannot be read or written,
// so no report fails silently. Returns true when the report was produced.
bool RunReport(Prompter &prompter, const std::function<void()> &report);
