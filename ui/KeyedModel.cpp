#include "KeyedModel.h"

#include <algorithm>
#include <numeric>

namespace {

// An index carries the id of the row it hangs under: 0 for a top row, the top record plus one for a child,
// and for a child's own rows the top record plus one in the high half and the child plus one in the low.
static_assert(sizeof(quintptr) == 8, "the model's row ids take 64 bits");
constexpr quintptr kRoot = 0;
constexpr int kHalf = 32;
constexpr quintptr kLow = (quintptr(1) << kHalf) - 1;

}  // namespace

KeyedModel::KeyedModel(const QStringList &headings, const QList<Qt::Alignment> &alignments, QObject *parent)
    : QAbstractItemModel(parent), m_headings(headings), m_alignments(alignments) {}

KeyedModel::Node KeyedModel::ParentOf(quintptr id) {
    if (id == kRoot) return {};
    if (id <= kLow) return {int(id - 1)};
    return {int((id >> kHalf) - 1), int((id & kLow) - 1)};
}

quintptr KeyedModel::IdOf(const Node &parent) {
    if (parent.top < 0) return kRoot;
    if (parent.child < 0) return quintptr(parent.top) + 1;
    return ((quintptr(parent.top) + 1) << kHalf) | (quintptr(parent.child) + 1);
}

KeyedModel::Node KeyedModel::NodeOf(const QModelIndex &index) const {
    if (!index.isValid()) return {};
    Node node = ParentOf(index.internalId());
    const int record = RecordAt(node, index.row());
    if (node.top < 0)
        node.top = record;
    else if (node.child < 0)
        node.child = record;
    else
        node.sub = record;
    return node;
}

QModelIndex KeyedModel::IndexOf(const Node &node, int column) const {
    if (node.top < 0) return {};
    Node parent = node;
    int record = 0;
    if (node.sub >= 0) {
        record = node.sub;
        parent.sub = -1;
    } else if (node.child >= 0) {
        record = node.child;
        parent.child = -1;
    } else {
        record = node.top;
        parent = {};
    }
    return createIndex(RowOf(parent, record), column, IdOf(parent));
}

int KeyedModel::CountUnder(const Node &parent) const {
    if (parent.top < 0) return TopCount();
    if (parent.child < 0) return ChildCount(parent.top);
    if (parent.sub < 0) return SubCount(parent.top, parent.child);
    return 0;
}

int KeyedModel::RecordAt(const Node &parent, int row) const {
    if (parent.top < 0) return m_order.empty() ? row : m_order[size_t(row)];
    const auto it = m_under.constFind(IdOf(parent));
    return it == m_under.cend() ? row : (*it)[size_t(row)];
}

int KeyedModel::RowOf(const Node &parent, int record) const {
    if (parent.top < 0) return m_rowOf.empty() ? record : m_rowOf[size_t(record)];
    const auto it = m_under.constFind(IdOf(parent));
    if (it == m_under.cend()) return record;
    return int(std::find(it->begin(), it->end(), record) - it->begin());
}

QModelIndex KeyedModel::index(int row, int column, const QModelIndex &parent) const {
    if (row < 0 || column < 0 || column >= columnCount()) return {};
    if (parent.isValid() && parent.column() != 0) return {};
    const Node under = NodeOf(parent);
    if (under.sub >= 0 || row >= CountUnder(under)) return {};
    return createIndex(row, column, IdOf(under));
}

QModelIndex KeyedModel::parent(const QModelIndex &child) const {
    if (!child.isValid()) return {};
    return IndexOf(ParentOf(child.internalId()), 0);
}

int KeyedModel::rowCount(const QModelIndex &parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return CountUnder(NodeOf(parent));
}

int KeyedModel::columnCount(const QModelIndex &) const {
    return int(m_headings.size());
}

QVariant KeyedModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid()) return {};
    const Node node = NodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
            return Text(node, index.column());
        case Qt::TextAlignmentRole: {
            const int c = index.column();
            return c < m_alignments.size() ? QVariant(int(m_alignments[c] | Qt::AlignVCenter)) : QVariant();
        }
        case Qt::ForegroundRole:
        case Qt::BackgroundRole:
        case Qt::ToolTipRole:
            return Look(node, index.column(), role);
        default:
            return role >= Qt::UserRole && index.column() == 0 ? Value(node, role) : QVariant();
    }
}

QVariant KeyedModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size()) return {};
    if (role == Qt::DisplayRole) return m_headings[section];
    if (role == Qt::TextAlignmentRole && section < m_alignments.size())
        return int(m_alignments[section] | Qt::AlignVCenter);
    return {};
}

int KeyedModel::SubCount(int, int) const {
    return 0;
}

QVariant KeyedModel::SortValue(const Node &, int) const {
    return {};
}

QVariant KeyedModel::Look(const Node &, int, int) const {
    return {};
}

bool KeyedModel::Less(const Node &a, const Node &b, int column) const {
    const QVariant va = SortValue(a, column), vb = SortValue(b, column);
    if (va.isValid() && vb.isValid()) return QVariant::compare(va, vb) == QPartialOrdering::Less;
    return m_collator.compare(Text(a, column), Text(b, column)) < 0;
}

void KeyedModel::sort(int column, Qt::SortOrder order) {
    m_sortColumn = column < columnCount() ? column : -1;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Where each persistent index points, by record, to find it again after the rows move.
    const QModelIndexList before = persistentIndexList();
    QList<std::pair<Node, int>> places;
    places.reserve(before.size());
    for (const QModelIndex &i : before) places.append({NodeOf(i), i.column()});
    Order();
    QModelIndexList after;
    after.reserve(places.size());
    for (const auto &[node, at] : places) after.append(IndexOf(node, at));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void KeyedModel::OrderUnder(const Node &parent) {
    const int count = CountUnder(parent);
    if (count < 2) return;
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    const auto nodeAt = [&parent](int record) {
        Node n = parent;
        if (n.child >= 0)
            n.sub = record;
        else
            n.child = record;
        return n;
    };
    const bool down = m_sortOrder == Qt::DescendingOrder;
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return down ? Less(nodeAt(b), nodeAt(a), m_sortColumn) : Less(nodeAt(a), nodeAt(b), m_sortColumn);
    });
    m_under.emplace(IdOf(parent), std::move(rows));
}

void KeyedModel::Order() {
    m_order.clear();
    m_rowOf.clear();
    m_under.clear();
    if (m_sortColumn < 0) return;  // as read
    const int column = m_sortColumn;
    const bool down = m_sortOrder == Qt::DescendingOrder;
    m_order.resize(size_t(TopCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return down ? Less(Node{b}, Node{a}, column) : Less(Node{a}, Node{b}, column);
    });
    m_rowOf.resize(m_order.size());
    for (size_t r = 0; r < m_order.size(); ++r) m_rowOf[size_t(m_order[r])] = int(r);
    for (int top = 0; top < TopCount(); ++top) {
        OrderUnder(Node{top});
        for (int child = 0; child < ChildCount(top); ++child) OrderUnder(Node{top, child});
    }
}

QModelIndex KeyedModel::Find(int topRole, const QString &topKey, int childRole,
                             const QString &childKey) const {
    for (int top = 0; top < TopCount(); ++top) {
        if (Value(Node{top}, topRole).toString() != topKey) continue;
        if (childKey.isEmpty()) return IndexOf(Node{top}, 0);
        for (int child = 0; child < ChildCount(top); ++child)
            if (Value(Node{top, child}, childRole).toString() == childKey)
                return IndexOf(Node{top, child}, 0);
        return {};
    }
    return {};
}

void KeyedModel::BeginReset() {
    beginResetModel();
}

void KeyedModel::EndReset() {
    Order();  // in the order the user chose last, if any
    endResetModel();
}
