#include "TwoLevelModel.h"

#include <algorithm>
#include <numeric>

namespace {

// A top row's index carries 0; a child's carries its top row's record plus one.
constexpr quintptr kTop = 0;

}  // namespace

TwoLevelModel::TwoLevelModel(const QStringList &headings, const QList<Qt::Alignment> &alignments,
                             QObject *parent)
    : QAbstractItemModel(parent), m_headings(headings), m_alignments(alignments) {}

int TwoLevelModel::Record(int row) const {
    return m_order.empty() ? row : m_order[size_t(row)];
}

int TwoLevelModel::ChildRecord(int top, int row) const {
    return size_t(top) < m_childOrder.size() ? m_childOrder[size_t(top)][size_t(row)] : row;
}

QModelIndex TwoLevelModel::index(int row, int column, const QModelIndex &parent) const {
    if (row < 0 || column < 0 || column >= columnCount()) return {};
    if (!parent.isValid()) return row < TopCount() ? createIndex(row, column, kTop) : QModelIndex();
    if (parent.internalId() != kTop) return {};  // two levels only
    const int top = Record(parent.row());
    return row < ChildCount(top) ? createIndex(row, column, quintptr(top) + 1) : QModelIndex();
}

QModelIndex TwoLevelModel::parent(const QModelIndex &child) const {
    if (!child.isValid() || child.internalId() == kTop) return {};
    return createIndex(Row(int(child.internalId() - 1)), 0, kTop);
}

int TwoLevelModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid()) return TopCount();
    if (parent.internalId() != kTop || parent.column() != 0) return 0;
    return ChildCount(Record(parent.row()));
}

int TwoLevelModel::columnCount(const QModelIndex &) const {
    return int(m_headings.size());
}

QVariant TwoLevelModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid()) return {};
    const bool isTop = index.internalId() == kTop;
    const int top = isTop ? Record(index.row()) : int(index.internalId() - 1);
    const int child = isTop ? -1 : ChildRecord(top, index.row());
    switch (role) {
        case Qt::DisplayRole:
            return Text(top, child, index.column());
        case Qt::TextAlignmentRole: {
            const int c = index.column();
            return c < m_alignments.size() ? QVariant(int(m_alignments[c] | Qt::AlignVCenter)) : QVariant();
        }
        default:
            return role >= Qt::UserRole && index.column() == 0 ? Value(top, child, role) : QVariant();
    }
}

QVariant TwoLevelModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size()) return {};
    if (role == Qt::DisplayRole) return m_headings[section];
    if (role == Qt::TextAlignmentRole && section < m_alignments.size())
        return int(m_alignments[section] | Qt::AlignVCenter);
    return {};
}

QVariant TwoLevelModel::SortValue(int, int, int) const {
    return {};
}

bool TwoLevelModel::Less(int topA, int childA, int topB, int childB, int column) const {
    const QVariant va = SortValue(topA, childA, column), vb = SortValue(topB, childB, column);
    if (va.isValid() && vb.isValid()) return QVariant::compare(va, vb) == QPartialOrdering::Less;
    return m_collator.compare(Text(topA, childA, column), Text(topB, childB, column)) < 0;
}

void TwoLevelModel::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column < columnCount() ? column : -1;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Where each persistent index points, by record, to find it again after the rows move.
    struct Place {
        int top, child, column;
    };
    QList<Place> places;
    places.reserve(before.size());
    for (const QModelIndex &i : before) {
        const bool isTop = i.internalId() == kTop;
        const int top = isTop ? Record(i.row()) : int(i.internalId() - 1);
        places.append({top, isTop ? -1 : ChildRecord(top, i.row()), i.column()});
    }
    Order();
    QModelIndexList after;
    after.reserve(places.size());
    for (const Place &p : places)
        after.append(p.child < 0 ? createIndex(Row(p.top), p.column, kTop)
                                 : createIndex(ChildRow(p.top, p.child), p.column, quintptr(p.top) + 1));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TwoLevelModel::Order() {
    m_order.clear();
    m_rowOf.clear();
    m_childOrder.clear();
    if (m_sortColumn < 0) return;  // as read
    const int column = m_sortColumn;
    const bool down = m_sortOrder == Qt::DescendingOrder;
    m_order.resize(size_t(TopCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return down ? Less(b, -1, a, -1, column) : Less(a, -1, b, -1, column);
    });
    m_rowOf.resize(m_order.size());
    for (size_t r = 0; r < m_order.size(); ++r) m_rowOf[size_t(m_order[r])] = int(r);
    m_childOrder.resize(m_order.size());
    for (size_t t = 0; t < m_order.size(); ++t) {
        const int top = int(t);
        std::vector<int> &kids = m_childOrder[t];
        kids.resize(size_t(ChildCount(top)));
        std::iota(kids.begin(), kids.end(), 0);
        std::stable_sort(kids.begin(), kids.end(), [&](int a, int b) {
            return down ? Less(top, b, top, a, column) : Less(top, a, top, b, column);
        });
    }
}

int TwoLevelModel::Row(int top) const {
    return m_rowOf.empty() ? top : m_rowOf[size_t(top)];
}

int TwoLevelModel::ChildRow(int top, int child) const {
    if (size_t(top) >= m_childOrder.size()) return child;
    const std::vector<int> &kids = m_childOrder[size_t(top)];
    return int(std::find(kids.begin(), kids.end(), child) - kids.begin());
}

QModelIndex TwoLevelModel::Find(int topRole, const QString &topKey, int childRole,
                                const QString &childKey) const {
    for (int r = 0; r < TopCount(); ++r) {
        const int top = Record(r);
        if (Value(top, -1, topRole).toString() != topKey) continue;
        if (childKey.isEmpty()) return createIndex(r, 0, kTop);
        for (int c = 0; c < ChildCount(top); ++c)
            if (Value(top, ChildRecord(top, c), childRole).toString() == childKey)
                return createIndex(c, 0, quintptr(top) + 1);
        return {};
    }
    return {};
}

void TwoLevelModel::BeginReset() {
    beginResetModel();
}

void TwoLevelModel::EndReset() {
    Order();  // in the order the user chose last, if any
    endResetModel();
}
