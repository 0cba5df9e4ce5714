#include "BayBoard.h"

#include "BayStore.h"
#include "ChangedMeanwhile.h"
#include "Database.h"
#include "DynamicRecordset.h"
#include "Rows.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace BayBoard {

namespace {

constexpr qint64 kSlotSecs = BayPlan::kSlotMinutes * 60;

// The orders planned on live bays that are in the bays at some time of [from, to): their plans start no
// earlier than the longest plan before it.
const QString kPlannedIn = QStringLiteral(
    "TZakaz.IddBox IN (SELECT SBox.IddBox FROM SBox WHERE SBox.[Delete] = FALSE) AND TZakaz.ZakazBegin >= ? "
    "AND TZakaz.ZakazBegin < ? AND TZakaz.ZakazPlanEnd > ? AND TZakaz.[Delete] = FALSE");

QVariantList PlannedInBinds(const QDateTime &from, const QDateTime &to) {
    return {from.addDays(-BayPlan::kLongestDays), to, from};
}

// The first slot boundary at or after the moment.
QDateTime SlotCeil(const QDateTime &at) {
    const QDateTime day(at.date(), QTime(0, 0));
    const qint64 secs = day.secsTo(at);
    return day.addSecs((secs + kSlotSecs - 1) / kSlotSecs * kSlotSecs);
}

}  // namespace

Kind Block::kind() const {
    // Work in hand is paid for when it is done: only a finished order still owing is a debt.
    if (status == StatusFinished && owes.IsOutstanding()) return Kind::Debt;
    switch (status) {
        case StatusRequested:
            return Kind::Request;
        case StatusFinished:
            return Kind::Finished;
        default:
            return Kind::Accepted;
    }
}

Board::Board(const QDate &first, int days, const WorkingHours &hours, QList<Bay> bays, QList<Block> blocks)
    : m_first(first),
      m_days(std::max(1, days)),
      m_hours(hours),
      m_bays(std::move(bays)),
      m_blocks(std::move(blocks)) {}

int Board::Rows() const {
    return std::max(1, int(m_hours.open.secsTo(m_hours.close) / kSlotSecs));
}

int Board::Columns() const {
    return int(m_days * m_bays.size());
}

int Board::Column(const QDate &day, const QString &iddBox) const {
    const qint64 d = m_first.daysTo(day);
    if (d < 0 || d >= m_days) return -1;
    for (int b = 0; b < m_bays.size(); ++b)
        if (m_bays[b].iddBox == iddBox) return int(d) * int(m_bays.size()) + b;
    return -1;
}

QDate Board::DayOf(int column) const {
    return m_bays.isEmpty() ? m_first : m_first.addDays(column / m_bays.size());
}

const Bay &Board::BayOf(int column) const {
    return m_bays[column % m_bays.size()];
}

QDateTime Board::SlotStart(int row, int column) const {
    return QDateTime(DayOf(column), m_hours.open).addSecs(row * kSlotSecs);
}

int Board::Row(const QTime &at) const {
    return std::clamp(int(m_hours.open.secsTo(at) / kSlotSecs), 0, Rows() - 1);
}

QList<Board::Place> Board::Places(const Block &block) const {
    QList<Place> places;
    const double rows = Rows();
    const double sliver = 0.25;
    for (int d = 0; d < m_days; ++d) {
        const QDate day = m_first.addDays(d);
        const QDateTime midnight(day, QTime(0, 0));
        if (block.end <= midnight || block.start >= midnight.addDays(1)) continue;
        const int column = Column(day, block.iddBox);
        if (column < 0) continue;
        const QDateTime open(day, m_hours.open);
        const double top = std::clamp(double(open.secsTo(block.start)) / kSlotSecs, 0.0, rows);
        const double bottom = std::clamp(double(open.secsTo(block.end)) / kSlotSecs, 0.0, rows);
        // Work wholly before opening or after closing still shows, at the edge.
        if (bottom <= 0)
            places.append({column, 0, sliver});
        else if (top >= rows)
            places.append({column, rows - sliver, rows});
        else
            places.append({column, top, bottom});
    }
    return places;
}

int Board::BlockAt(int row, int column) const {
    if (column < 0 || column >= Columns() || row < 0 || row >= Rows()) return -1;
    QDateTime from = SlotStart(row, column), to = from.addSecs(kSlotSecs);
    // The first and last slots take in what lies before opening and after closing.
    if (row == 0) from = QDateTime(from.date(), QTime(0, 0));
    if (row == Rows() - 1) to = QDateTime(to.date().addDays(to.time() == QTime(0, 0) ? 0 : 1), QTime(0, 0));
    const QString &bay = BayOf(column).iddBox;
    int found = -1;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const Block &b = m_blocks[i];
        if (b.iddBox != bay || b.start >= to || b.end <= from) continue;
        if (found < 0 || b.start >= m_blocks[found].start) found = i;
    }
    return found;
}

void Layout(QList<Block> &blocks) {
    QList<int> order(blocks.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const Block &x = blocks[a], &y = blocks[b];
        return std::tie(x.iddBox, x.start, x.end, x.iddZakaz) <
               std::tie(y.iddBox, y.start, y.end, y.iddZakaz);
    });
    QList<int> group;           // the blocks of the overlapping group being laid out
    QList<QDateTime> laneEnds;  // when each of its lanes is free again
    QDateTime groupEnd;
    const auto close = [&] {
        for (int i : std::as_const(group)) blocks[i].lanes = int(laneEnds.size());
        group.clear();
        laneEnds.clear();
    };
    for (const int index : std::as_const(order)) {
        Block &b = blocks[index];
        if (!group.isEmpty() && (b.iddBox != blocks[group.first()].iddBox || b.start >= groupEnd)) close();
        if (group.isEmpty()) groupEnd = b.end;
        int lane = 0;
        while (lane < laneEnds.size() && laneEnds[lane] > b.start) ++lane;
        if (lane == laneEnds.size())
            laneEnds.append(b.end);
        else
            laneEnds[lane] = b.end;
        b.lane = lane;
        groupEnd = std::max(groupEnd, b.end);
        group.append(index);
    }
    close();
}

QList<Bay> Store::Bays() {
    QList<Bay> bays;
    for (const BayRecord &r : BayStore(m_db).List()) bays.append({r.iddBox, r.nameBox});
    return bays;
}

Board Store::Read(const QDate &first, int days, const WorkingHours &hours) {
    const QDateTime from(first, QTime(0, 0)), to = from.addDays(std::max(1, days));
    const QVariantList binds = PlannedInBinds(from, to);
    QList<Block> blocks;
    QHash<QString, int> byKey;
    {
        CDynamicRecordset rs(m_db);
        rs.Open(
            QStringLiteral(
                "SELECT TZakaz.IddZakaz, TZakaz.ZakazNomer, TZakaz.IddBox, TZakaz.ZakazBegin, "
                "TZakaz.ZakazPlanEnd, TZakaz.ZakazStatus, COALESCE(TZakaz.ZakazSumma, 0) - "
                "COALESCE(TZakaz.ZakazOplata, 0) AS Owes, SAvto.AvtoNomer, SClient.ClientName, "
                "SClient.ClientTel FROM (TZakaz LEFT JOIN SAvto ON TZakaz.IddAvto = SAvto.IddAvto) LEFT JOIN "
                "SClient ON TZakaz.IddVlad = SClient.IddClient WHERE ") +
                kPlannedIn + QStringLiteral(" ORDER BY TZakaz.ZakazBegin, TZakaz.IddZakaz"),
            binds);
        for (; !rs.IsEOF(); rs.MoveNext()) {
            Block b;
            b.iddZakaz = rs.Field(0).AsText();
            b.number = rs.Field(1).AsText();
            b.iddBox = rs.Field(2).AsText();
            b.start = rs.Field(3).AsDateTime();
            b.end = rs.Field(4).AsDateTime();
            b.status = int(rs.Field(5).AsLong());
            b.owes = rs.Field(6).AsMoney();
            b.plate = rs.Field(7).AsText();
            b.client = rs.Field(8).AsText();
            b.phone = rs.Field(9).AsText();
            byKey.insert(b.iddZakaz, int(blocks.size()));
            blocks.append(b);
        }
    }
    if (!blocks.isEmpty()) {
        // The services on the order's top level: packages by their own name, without their contents.
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral("SELECT TService.IddZakaz, TService.[Name] FROM TService JOIN TZakaz ON "
                               "TService.IddZakaz = TZakaz.IddZakaz WHERE ") +
                    kPlannedIn +
                    QStringLiteral(" AND TService.[Delete] = FALSE AND TService.IddTop IN (?, ?) ORDER BY "
                                   "TService.IddZakaz, TService.IddTop, TService.[Name]"),
                binds + QVariantList{Group::kPackage, Group::kStandalone});
        for (; !rs.IsEOF(); rs.MoveNext()) {
            const auto it = byKey.constFind(rs.Field(0).AsText());
            if (it == byKey.constEnd()) continue;
            QString &services = blocks[*it].services;
            if (!services.isEmpty()) services += QStringLiteral(", ");
            services += rs.Field(1).AsText();
        }
    }
    Layout(blocks);
    return Board(first, days, hours, Bays(), blocks);
}

void Store::Move(const Block &shown, const QString &toBay, const QDateTime &toStart, bool agreed) {
    const QString key = QStringLiteral("IddZakaz"), table = QStringLiteral("TZakaz");
    Transaction tx(m_db);
    ChangedMeanwhile::LockRow(m_db, table, key, shown.iddZakaz);
    {
        CDynamicRecordset rs(m_db);
        rs.Open(QStringLiteral(
                    "SELECT IddBox, ZakazBegin, ZakazPlanEnd, [Delete] FROM TZakaz WHERE IddZakaz = ?"),
                {shown.iddZakaz});
        if (rs.IsEOF() || rs.Field(3).AsBool()) throw ChangedMeanwhile(true);
        if (rs.Field(0).AsText() != shown.iddBox || rs.Field(1).AsDateTime() != shown.start ||
            rs.Field(2).AsDateTime() != shown.end)
            throw ChangedMeanwhile(false);
    }
    const QDateTime toEnd = toStart.addSecs(shown.start.secsTo(shown.end));
    BayPlan::Claim(m_db, toBay, toStart, toEnd, shown.iddZakaz, agreed);
    Rows::Update(m_db, table, {{key, shown.iddZakaz}},
                 {{QStringLiteral("IddBox"), toBay},
                  {QStringLiteral("ZakazBegin"), toStart},
                  {QStringLiteral("ZakazPlanEnd"), toEnd}});
    tx.Commit();
}

QList<FreeSlot> Store::FreeSlots(const QDateTime &from, qint64 durationSecs, const WorkingHours &hours,
                                 int count) {
    const qint64 length = std::max(durationSecs, kSlotSecs);
    const qint64 dayLength = hours.open.secsTo(hours.close);
    if (dayLength <= 0) return {};
    const QDateTime start = SlotCeil(from), horizon = start.addDays(28);
    const QList<Bay> bays = Bays();
    if (bays.isEmpty()) return {};
    const int perBay = std::max(3, int(std::ceil(double(count) / double(bays.size()))));

    // The first moment from `t` at which work of this length may start within the working hours: work longer
    // than a working day starts at the opening and runs on.
    const auto opening = [&](QDateTime t) {
        for (;;) {
            const QDateTime open(t.date(), hours.open), close(t.date(), hours.close);
            if (t < open) t = open;
            const bool fits = length > dayLength ? t == open : t.addSecs(length) <= close;
            if (fits) return t;
            t = QDateTime(t.date().addDays(1), hours.open);
        }
    };

    QList<FreeSlot> found;
    for (const Bay &bay : bays) {
        QList<BayPlan::Booking> booked;
        {
            CDynamicRecordset rs(m_db);
            rs.Open(QStringLiteral(
                        "SELECT ZakazBegin, ZakazPlanEnd FROM TZakaz WHERE IddBox = ? AND ZakazBegin >= ? "
                        "AND ZakazBegin < ? AND ZakazPlanEnd > ? AND [Delete] = FALSE ORDER BY "
                        "ZakazBegin"),
                    QVariantList{bay.iddBox} + PlannedInBinds(start, horizon));
            for (; !rs.IsEOF(); rs.MoveNext())
                booked.append({{}, {}, rs.Field(0).AsDateTime(), rs.Field(1).AsDateTime()});
        }
        QDateTime t = opening(start);
        int taken = 0;
        while (taken < perBay && t < horizon) {
            const QDateTime end = t.addSecs(length);
            const auto clash = std::find_if(booked.cbegin(), booked.cend(), [&](const BayPlan::Booking &b) {
                return b.start < end && b.end > t;
            });
            if (clash != booked.cend()) {
                t = opening(SlotCeil(clash->end));
                continue;
            }
            found.append({bay, t, end});
            ++taken;
            // The next free time is after the next order of the day, or the next day.
            const auto next = std::find_if(booked.cbegin(), booked.cend(),
                                           [&](const BayPlan::Booking &b) { return b.start >= end; });
            t = opening(next != booked.cend() && next->start.date() == t.date()
                            ? SlotCeil(next->end)
                            : QDateTime(t.date().addDays(1), hours.open));
        }
    }
    std::sort(found.begin(), found.end(), [](const FreeSlot &a, const FreeSlot &b) {
        return std::tie(a.start, a.bay.name, a.bay.iddBox) < std::tie(b.start, b.bay.name, b.bay.iddBox);
    });
    return found;
}

}  // namespace BayBoard
