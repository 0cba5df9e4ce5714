#pragma once

#include <QAbstractItemModel>
#include <QCollator>
#include <QHash>
#include <QStringList>
#include <vector>

// A long list of a store's records as a view shows it: rows at the top and up to two levels under them (a
// car and its owners; an order, its lines and a package's services), made into text, colours and tooltips
// only for what is painted. The records stay as the store read them; sorting by a column orders the rows
// by the value the subclass gives for it (money as money, text as a Russian reads it), the rows under a row
// by the same column.
class KeyedModel : public QAbstractItemModel {
public:
    // The key of a row in column 0, as KeyedList keeps it.
    static constexpr int kKeyRole = Qt::UserRole;

    // A record: a top row, one of its children (child >= 0) or one of a child's own (sub >= 0).
    struct Node {
        int top = -1;
        int child = -1;
        int sub = -1;
        bool operator==(const Node &) const = default;
    };

    KeyedModel(const QStringList &headings, const QList<Qt::Alignment> &alignments, QObject *parent);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The top row whose `topRole` is `topKey`, or its child whose `childRole` is `childKey` when that is
    // given; invalid when there is none.
    QModelIndex Find(int topRole, const QString &topKey, int childRole = 0,
                     const QString &childKey = {}) const;

protected:
    // Records in the order the store read them.
    virtual int TopCount() const = 0;
    virtual int ChildCount(int top) const = 0;
    virtual int SubCount(int top, int child) const;
    virtual QString Text(const Node &node, int column) const = 0;
    // The keys and names kept in other roles of column 0.
    virtual QVariant Value(const Node &node, int role) const = 0;
    // What a column sorts by when it is not its text (a number, a date); invalid for the text.
    virtual QVariant SortValue(const Node &node, int column) const;
    // The text colour, background and tooltip of a cell (Qt::ForegroundRole, BackgroundRole, ToolTipRole);
    // invalid for the list's own.
    virtual QVariant Look(const Node &node, int column, int role) const;

    // Around a change of the records: the rows go back to the store's order.
    void BeginReset();
    void EndReset();

private:
    // The node an index shows, the node its rows hang under, and back.
    Node NodeOf(const QModelIndex &index) const;
    static Node ParentOf(quintptr id);
    static quintptr IdOf(const Node &parent);
    QModelIndex IndexOf(const Node &node, int column) const;
    int CountUnder(const Node &parent) const;
    // Shown row ↔ record under a parent.
    int RecordAt(const Node &parent, int row) const;
    int RowOf(const Node &parent, int record) const;
    bool Less(const Node &a, const Node &b, int column) const;
    // Orders the rows by the column chosen last (as read when none).
    void Order();
    void OrderUnder(const Node &parent);

    QStringList m_headings;
    QList<Qt::Alignment> m_alignments;
    // The shown order of the top records when sorted (empty: as read) and its inverse; the shown order of
    // the rows under each row, by the row's id.
    std::vector<int> m_order, m_rowOf;
    QHash<quintptr, std::vector<int>> m_under;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QCollator m_collator;
};
