#pragma once

#include "KeyedModel.h"

#include <functional>

// A column of a FlatModel: its heading, its text from a record and, where that is not what it sorts by,
// its sort value.
template <class Record>
struct FlatColumn {
    using Text = std::function<QString(const Record &)>;
    using Sort = std::function<QVariant(const Record &)>;
    FlatColumn(QString heading_, Text text_, Sort sortValue_ = nullptr,
               Qt::Alignment alignment_ = Qt::AlignLeft)
        : heading(std::move(heading_)),
          text(std::move(text_)),
          sortValue(std::move(sortValue_)),
          alignment(alignment_) {}

    QString heading;
    Text text;
    Sort sortValue;  // none: the text
    Qt::Alignment alignment;
};

// A list of a store's records one row each (a journal of payments): each column's text and, where that is
// not what it sorts by, its sort value come from the record when painted; column 0 carries the record's
// key (kKeyRole).
template <class Record>
class FlatModel : public KeyedModel {
public:
    using Column = FlatColumn<Record>;

    FlatModel(const QList<Column> &columns, std::function<QString(const Record &)> key,
              QObject *parent = nullptr)
        : KeyedModel(Headings(columns), Alignments(columns), parent),
          m_columns(columns),
          m_key(std::move(key)) {}

    void Set(QList<Record> rows) {
        BeginReset();
        m_rows = std::move(rows);
        EndReset();
    }
    const QList<Record> &Rows() const { return m_rows; }

protected:
    int TopCount() const override { return int(m_rows.size()); }
    int ChildCount(int) const override { return 0; }
    QString Text(const Node &node, int column) const override {
        return m_columns[column].text(m_rows[node.top]);
    }
    QVariant Value(const Node &node, int role) const override {
        return role == kKeyRole ? QVariant(m_key(m_rows[node.top])) : QVariant();
    }
    QVariant SortValue(const Node &node, int column) const override {
        const Column &c = m_columns[column];
        return c.sortValue ? c.sortValue(m_rows[node.top]) : QVariant();
    }

private:
    static QStringList Headings(const QList<Column> &columns) {
        QStringList headings;
        for (const Column &c : columns) headings << c.heading;
        return headings;
    }
    static QList<Qt::Alignment> Alignments(const QList<Column> &columns) {
        QList<Qt::Alignment> alignments;
        for (const Column &c : columns) alignments << c.alignment;
        return alignments;
    }

    QList<Column> m_columns;
    std::function<QString(const Record &)> m_key;
    QList<Record> m_rows;
};
