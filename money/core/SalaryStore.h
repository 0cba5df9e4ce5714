#pragma once

#include "PayRecord.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class Database;

// One worker with what he earned and was paid up to a day.
struct WorkerFigures {
    QString IddWork, WorkFIO;
    bool WorkOut = false;  // has left the shop (drawn blue)
    Money earned{};        // "Выполнено руб.:"
    Money paid{};          // "Всего выдано"
    Money Debt() const { return earned - paid; }
};

// One worker's line of a stored payout.
struct PayoutLine {
    QString IddWorkPay;  // empty for a line not stored yet
    QString IddWork, WorkFIO;
    Money SummaWorkPay{};
    bool DeleteWorkPay = false;  // the worker was not chosen for this payout
};

// A stored payout as a dialog read it: the row and its lines.
struct StoredPayout {
    PayRecord pay;
    QList<PayoutLine> lines;
};

// A payout as the salary journal lists it.
struct SalaryFilter {
    QDate from, to;   // both days taken whole
    QString number;   // "№:"
    QString purpose;  // "Назначение:"; empty for any
};

// One assignment of a worker to a finished service line, with the line's figures and his pay for it.
struct PerformedWork {
    QString IddZakaz, IddService, IddWork, IddVlad;
    QDateTime ZakazEndOut, ZakazData;
    QString ZakazNomer, Name, WorkFIO;  // WorkFIO empty for a removed assignment or a line without workers
    Money amount;                       // Count × Price ("Сумма")
    Money vat;                          // "НДС"
    Money pay;                          // "Начислено"
    Money Total() const { return amount + vat; }
};

struct PerformedWorks {
    QList<PerformedWork> rows;
    Money amount, vat, total, pay;  // "Выполнено:", "НДС:", "ИТОГО:", "Исполнителям:"
};

// Which finished orders the performed-works list takes: finished within [from, to] (from may be null:
// everything up to the end of `to`), and one worker's live assignments or, with an empty worker, every line.
struct WorksFilter {
    QDate from, to;
    QString iddWork;
};

// A worker as the reports' worker list offers him.
struct WorkerChoice {
    QString IddWork, WorkFIO;
    bool Delete = false;
};

// Workers' pay: what each earned on finished orders, what he was paid, the payouts and their lines.
// A line's pay (a percentage of its amount without VAT, or a fixed sum per line) is shared equally by its
// live workers. Every figure reads up to the end of the given day; a failed read throws DbError.
class SalaryStore {
public:
    explicit SalaryStore(Database &db) : m_db(db) {}

    // Every worker not deleted (also those who have left), by name, with both figures: three statements
    // whatever the number of workers and lines.
    QList<WorkerFigures> WorkerBalances(const QDate &day);

    // The payout's lines of the chosen workers, by name.
    QList<PayoutLine> LoadPayoutLines(const QString &iddPay);
    // Saves the payout (kind 1, IddZakaz "0") and one line per worker in one transaction; a new payout
    // takes its number from the salary counter. Keys of new lines are stored into `lines`. A dialog open on
    // a stored payout hands it as it loaded it: when the row or its lines are stored otherwise now (or the
    // payout is gone), ChangedMeanwhile is thrown and nothing written.
    QString SavePayout(PayRecord &pay, QList<PayoutLine> &lines, const QString &login,
                       const std::optional<StoredPayout> &loaded = std::nullopt);
    // Marks the payout and its lines deleted; false when it is gone.
    bool DeletePayout(const QString &iddPay);

    // Live payouts of the filter, oldest first.
    QList<PayRecord> SalaryJournal(const SalaryFilter &filter);
    // The performed works of the filter, every row, the totals summed from them.
    PerformedWorks FillPerformedWorks(const WorksFilter &filter);
    // The first screen of one worker's performed works: his first `firstOrders` orders (whole) in the
    // list's order, and the whole period's totals; `more` says whether the list goes on. Without a worker,
    // every row as FillPerformedWorks reads them.
    PerformedWorks FirstPerformedWorks(const WorksFilter &filter, int firstOrders, bool *more);
    // Every worker, deleted ones first, then by name.
    QList<WorkerChoice> AllWorkers();

private:
    QHash<QString, Money> Earned(const QDate &day);
    QHash<QString, Money> Paid(const QDate &day);

    Database &m_db;
};
