#pragma once

#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QStringList>
#include <functional>

class QAbstractItemModel;
class QContextMenuEvent;
class QFocusEvent;
class QKeyEvent;
class QMenu;
class QTreeView;

// The commands a list runs from its keys, its double-click and its right-click menu: the same handlers the
// dialog's buttons run, so rights checks and messages live in one place. An empty one leaves its key
// alone and its menu entry out.
struct ListCommands {
    std::function<void()> add, open, remove;
};

// What every list of the program does the same way, whether it holds its own rows (KeyedList) or shows a
// model over a store's records (KeyedView): one selected row drawn in the selection colours across all
// columns; Enter or double-click opens the row, Insert adds, Delete removes, Escape is left to the dialog;
// the row with the focus is always the selected one; columns start at set widths, widen to their texts and
// one of them stretches. The view hands its key, focus, menu and resize events here.
class ListHabits : public QObject {
public:
    explicit ListHabits(QTreeView *view);

    void SetCommands(ListCommands commands);
    // Captions of the right-click menu ("Добавить", "Изменить", "Удалить" unless set).
    void SetMenuTexts(const QString &add, const QString &open, const QString &remove);
    QMenu *menu() const { return m_menu; }

    // The widths the columns start at, never narrower than their headings; a width of 0 or 1 keeps a column
    // out of sight. Columns past the list take their heading's width.
    void StartWidths(const QList<int> &widths);
    // The widths the columns start at (and never shrink below when fitted to their texts).
    void SetWidths(const QList<int> &widths);
    // This column takes the room the others leave; -1 for none.
    void SetStretchColumn(int column);
    // Widens the columns that cut their texts off (never narrower than they were set).
    void FitColumns();
    // Keeps the stretched column filling the room the others leave.
    void AdjustStretch();
    // The width that shows every column without scrolling sideways.
    int WidthHint() const;

    // Rows put into the model while the list has the focus leave one of them selected.
    void Watch(QAbstractItemModel *model);
    // The current row when it is also selected; invalid otherwise.
    QModelIndex Selected() const;
    // Selects the current row, or the first when none is current.
    void SelectFocused();

    // True when the key ran a command (or was left to the dialog); `editing` while a cell is edited in place.
    bool Key(QKeyEvent *event, bool editing);
    void FocusIn(QFocusEvent *event);
    void ContextMenu(QContextMenuEvent *event);

private:
    void BuildMenu();
    int StretchWidth(int available) const;
    int ColumnCount() const;

    QTreeView *m_view;
    ListCommands m_commands;
    QStringList m_menuTexts;
    QMenu *m_menu = nullptr;
    QList<int> m_minWidths;
    int m_stretch = -1;
};
