#pragma once

#include "BayPlan.h"
#include "CompanyStore.h"
#include "Money.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

class Database;

// The bays' load: the orders planned on the live bays over one day or a week, laid out as the board shows
// them (a column per day and bay, a row per slot of BayPlan::kSlotMinutes from the shop's opening to its
// closing), with what moves a planned order and what finds free time.
namespace BayBoard {

// How a block is coloured: by status as the order journal shows the order, and a finished order that still
// owes as a debt.
enum class Kind { Request, Accepted, Finished, Debt };

struct Bay {
    QString iddBox, name;
    bool operator==(const Bay &) const = default;
};

// One planned order.
struct Block {
    QString iddZakaz, number, plate, client, phone, services;
    QString iddBox;
    QDateTime start, end;
    int status = StatusRequested;
    Money owes;  // what the order still owes (0 or less: nothing)
    // Orders planned over one another on a bay share its column: this one's lane of `lanes`.
    int lane = 0, lanes = 1;

    Kind kind() const;
    bool operator==(const Block &) const = default;
};

// One day or several, as read.
class Board {
public:
    Board() = default;
    Board(const QDate &first, int days, const WorkingHours &hours, QList<Bay> bays, QList<Block> blocks);

    QDate first() const { return m_first; }
    int days() const { return m_days; }
    const WorkingHours &hours() const { return m_hours; }
    const QList<Bay> &bays() const { return m_bays; }
    const QList<Block> &blocks() const { return m_blocks; }

    int Rows() const;     // slots in a day
    int Columns() const;  // days x bays
    // The column of a day's bay (-1: not on the board), and the day and bay of a column.
    int Column(const QDate &day, const QString &iddBox) const;
    QDate DayOf(int column) const;
    const Bay &BayOf(int column) const;
    // The moment a slot starts.
    QDateTime SlotStart(int row, int column) const;
    // The slot a moment falls into, clamped to the day's rows.
    int Row(const QTime &at) const;

    // Where a block is drawn: one rectangle per day it spans, in slot units (rows may be fractional and are
    // clamped to the working hours; a block wholly outside them gets a sliver at the edge it is beyond).
    struct Place {
        int column = 0;
        double top = 0, bottom = 0;
    };
    QList<Place> Places(const Block &block) const;
    // The block drawn over a slot, -1 when the slot is free; of several planned over one another the one
    // that starts last.
    int BlockAt(int row, int column) const;

private:
    QDate m_first;
    int m_days = 1;
    WorkingHours m_hours;
    QList<Bay> m_bays;
    QList<Block> m_blocks;
};

// Shares each bay's column among orders planned over one another: every block gets the first lane free at
// its start, and each group that overlaps takes as many lanes as it needs.
void Layout(QList<Block> &blocks);

// A free time on a bay long enough for the work asked.
struct FreeSlot {
    Bay bay;
    QDateTime start, end;
    bool operator==(const FreeSlot &) const = default;
};

class Store {
public:
    explicit Store(Database &db) : m_db(db) {}

    // The live bays, by name.
    QList<Bay> Bays();
    // The board of `days` days from `first`. Throws DbError.
    Board Read(const QDate &first, int days, const WorkingHours &hours);

    // Moves the order the board showed as `shown` to the bay and start given, keeping its length. When the
    // order's plan is no longer as shown (moved, changed or deleted elsewhere) ChangedMeanwhile is thrown;
    // when the new time is taken on the bay, BayPlan::Overlap unless `agreed`. Nothing is written then.
    void Move(const Block &shown, const QString &toBay, const QDateTime &toStart, bool agreed = false);

    // The first free times on each live bay from `from` within the working hours, for work of
    // `durationSecs` (at least one slot), at slot boundaries: at least `count` in all when the next weeks
    // have them, earliest first.
    QList<FreeSlot> FreeSlots(const QDateTime &from, qint64 durationSecs, const WorkingHours &hours,
                              int count = 10);

private:
    Database &m_db;
};

}  // namespace BayBoard
