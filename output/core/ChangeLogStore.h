#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// What the change log's window asks for. A history (an order's or a payment's) takes every entry of its
// record, whatever the period.
struct ChangeLogFilter {
    QDate from = {}, to = {};  // both days whole
    QString user = {};         // the user as the log names him; "" for anyone
    QString kind = {};         // one of ChangeLogStore::Kinds(); "" for every kind
    QString action = {};       // one of ChangeLogStore::Actions(); "" for every action
    // Found in the record's description, its order's number, the client, the user, the workstation or the
    // values, in any case; "" for all.
    QString text = {};
    QString iddZakaz = {};  // the history of this order: its own rows, its lines, workers and payments
    QString iddPay = {};    // the history of this payment or payout, with a payout's lines
};

// One entry of the log.
struct ChangeLogEntry {
    qint64 serial = 0;
    QDateTime at;
    QString user, host;
    QString table, key, iddZakaz, orderNumber;
    char action = 0;
    QString label;    // what describes the row (an order's number, a client's name, a payment's number...)
    QString changes;  // the changed fields as the log keeps them: {"Column": [old, new]}
    QString client;   // the client of the entry's order, when it has one
};

// A changed field as the reader sees it.
struct FieldChange {
    QString field;  // its name in Russian
    QString before, after;
};

// Reads the change log (which the database writes itself; see ChangeLog) for its window and report.
class ChangeLogStore {
public:
    explicit ChangeLogStore(Database &db) : m_db(db) {}

    // More entries than anyone reads through: a list stops at the newest so many, and says so.
    static constexpr int kMostShown = 10000;

    // The newest first, at most `most` of them; `more` says whether others matched. Throws DbError.
    QList<ChangeLogEntry> Search(const ChangeLogFilter &filter, int most = kMostShown, bool *more = nullptr);
    // The program's users, by login, for the user filter.
    QStringList Users();

    // The kinds of record the filter offers ("Заказы", "Платежи"...), and the kind of a table's entry.
    static QStringList Kinds();
    static QString KindOf(const QString &table);
    // The actions the filter offers ("добавление", "изменение", "удаление", "восстановление"); deleting
    // covers both a row removed and a row marked deleted.
    static QStringList Actions();
    static QString ActionText(char action);
    // The changed fields with Russian names and values as the screens show them; the rows' keys among them
    // only when asked for.
    static QList<FieldChange> Fields(const ChangeLogEntry &entry, bool keys = true);
    // "Сумма: 500.00 → 300.00; Удалено: нет → да"; an added or deleted row's without its keys.
    static QString Describe(const ChangeLogEntry &entry);

private:
    Database &m_db;
};
