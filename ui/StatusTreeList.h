#pragma once

#include <QColor>
#include <QTreeWidget>

// The tree list of the journals and the client card's orders: one row per order (lines beneath it),
// the text coloured by the order's status and the background tinted while the order is in debt.
// Keys live in Qt::UserRole of column 0; columns sort by the value each cell was given, not its text.
class StatusTreeList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kKeyRole = Qt::UserRole;
    static constexpr int kSortRole = Qt::UserRole + 1;

    explicit StatusTreeList(QWidget *parent = nullptr);

    // Headings in order, with widths and alignments (left when a list is shorter).
    void SetColumns(const QStringList &headings, const QList<int> &widths = {},
                    const QList<Qt::Alignment> &alignments = {});

    // Text colour of a status: 0 requested, 1 work started, 2 work finished; black otherwise.
    static QColor StatusColor(int status);
    static QColor DebtBackground() { return QColor(255, 240, 240); }
    // A debt counts from one kopeck.
    static bool InDebt(double debt) { return debt > 0.009; }

    // Adds a row under `parent` (top level when null) keyed `key`.
    QTreeWidgetItem *AddRow(const QStringList &texts, const QString &key, QTreeWidgetItem *parent = nullptr);
    // Colours a row (not its children) for a status and a debt.
    static void Paint(QTreeWidgetItem *item, int status, double debt);
    // Makes a cell sort by a value (a number or a date) instead of its text.
    static void SetSortValue(QTreeWidgetItem *item, int column, const QVariant &value);

    static QString Key(const QTreeWidgetItem *item);
    // The key of the current row; with `topLevel` the key of the top-level row it belongs to.
    QString CurrentKey(bool topLevel = false) const;
    // Makes the row with this key current (top level first, then children); false when none has it.
    bool SelectKey(const QString &key);
};
