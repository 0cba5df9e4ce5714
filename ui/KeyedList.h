#pragma once

#include "ListHabits.h"
#include "Money.h"

#include <QTreeWidget>

class QMenu;

// The list of the journals, pickers and short directories, holding its own rows: the keyboard and looks of
// every list (ListHabits), its key in Qt::UserRole of column 0. Columns sort by the value a cell was given
// (numbers, dates) when sorting is switched on.
class KeyedList : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int kKeyRole = Qt::UserRole;
    // Far from the roles screens keep their own keys in (Qt::UserRole + n).
    static constexpr int kSortRole = Qt::UserRole + 64;

    explicit KeyedList(QWidget *parent = nullptr);
    KeyedList(const QStringList &headings, int stretchColumn, ListCommands commands,
              QWidget *parent = nullptr);

    // Headings in order, with the widths they start at and their alignments (left when a list is shorter).
    void SetColumns(const QStringList &headings, const QList<int> &widths = {},
                    const QList<Qt::Alignment> &alignments = {});
    // The widths the columns start at (and never shrink below when fitted to their texts).
    void SetWidths(const QList<int> &widths);
    // This column takes the room the others leave; -1 for none.
    void SetStretchColumn(int column);
    void SetCommands(ListCommands commands);
    // Captions of the right-click menu ("Добавить", "Изменить", "Удалить" unless set).
    void SetMenuTexts(const QString &add, const QString &open, const QString &remove);
    // Heading clicks sort; until one is clicked the rows stay in the order they were loaded.
    void SetSortable(bool on);

    // While a Batch lives, rows added at the top level are put into the list together when it ends: the
    // list then reports its new rows once rather than row by row, which takes about a third off filling a
    // list of tens of thousands of rows. Until then they are not in the list (nor counted by it).
    class Batch {
    public:
        explicit Batch(KeyedList &list);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        KeyedList &m_list;
        QList<QTreeWidgetItem *> m_rows;
        Batch *m_outer;
        friend class KeyedList;
    };

    // Adds a row under `parent` (top level when null) keyed `key`; cells take their heading's alignment.
    QTreeWidgetItem *AddRow(const QStringList &texts, const QString &key = {},
                            QTreeWidgetItem *parent = nullptr);
    // Makes a cell sort by a value (a number or a date) instead of its text.
    static void SetSortValue(QTreeWidgetItem *item, int column, const QVariant &value);
    static void SetSortValue(QTreeWidgetItem *item, int column, Money value) {
        SetSortValue(item, column, QVariant(qlonglong(value.kopecks())));
    }
    static QString Key(const QTreeWidgetItem *item);

    // The current row when it is also selected; null otherwise.
    QTreeWidgetItem *Selected() const;
    // The key of the selected row ("" when none); with `topLevel` the key of its top-level row.
    QString CurrentKey(bool topLevel = false) const;
    // Makes the row with this key current (top level first, then children); false when none has it.
    bool SelectKey(const QString &key);
    // Two-level lists keeping other keys in other roles of column 0: the top row whose `topRole` is
    // `topKey`, or its child whose `childRole` is `childKey` when that is given.
    bool SelectKey(int topRole, const QString &topKey, int childRole, const QString &childKey);

    // Widens the columns that cut their texts off (never narrower than they were set); run after a refill.
    void FitColumns();

    // A cell of the list is being edited in place.
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

    QMenu *ContextMenu() const { return m_habits->menu(); }

    // Wide enough to show every column without scrolling sideways.
    QSize sizeHint() const override;
    // Widens a window to its lists' wish (within the screen), after they were first filled.
    static void WidenToFit(QWidget *window);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    ListHabits *m_habits;
    Batch *m_batch = nullptr;
};
