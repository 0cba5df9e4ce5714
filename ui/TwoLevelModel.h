#pragma once

#include <QAbstractItemModel>
#include <QCollator>
#include <QStringList>
#include <vector>

// A long list of a store's records as a view shows it: rows at the top and rows under each of them (a car
// and its owners, a client and its cars), made into text only for what is painted. The records stay as the
// store read them; sorting by a column orders the rows by the value the subclass gives for it (money as
// money, text as a Russian reads it), children under their row by the same column.
class TwoLevelModel : public QAbstractItemModel {
public:
    // The key of a row in column 0, as KeyedList keeps it.
    static constexpr int kKeyRole = Qt::UserRole;

    TwoLevelModel(const QStringList &headings, const QList<Qt::Alignment> &alignments, QObject *parent);

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
    // Records in the order the store read them; `child` is -1 for a top row.
    virtual int TopCount() const = 0;
    virtual int ChildCount(int top) const = 0;
    virtual QString Text(int top, int child, int column) const = 0;
    // The keys and names kept in other roles of column 0.
    virtual QVariant Value(int top, int child, int role) const = 0;
    // What a column sorts by when it is not its text (a number, a date); invalid for the text.
    virtual QVariant SortValue(int top, int child, int column) const;

    // Around a change of the records: the rows go back to the store's order.
    void BeginReset();
    void EndReset();

private:
    // Shown row ↔ record, for the top rows and for the children of one record.
    int Record(int row) const;
    int Row(int top) const;
    int ChildRecord(int top, int row) const;
    int ChildRow(int top, int child) const;
    bool Less(int topA, int childA, int topB, int childB, int column) const;
    // Orders the rows by the column chosen last (as read when none).
    void Order();

    QStringList m_headings;
    QList<Qt::Alignment> m_alignments;
    // The shown order of the records when sorted (empty: as read), and of each row's children.
    std::vector<int> m_order, m_rowOf;
    std::vector<std::vector<int>> m_childOrder;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QCollator m_collator;
};
