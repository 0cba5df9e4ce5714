#pragma once

#include "ListHabits.h"

#include <QTreeView>
#include <functional>

class QMenu;
class KeyedModel;

// A long list (a directory, a journal): a view over a model of the store's records (KeyedModel) with the
// keyboard and looks of every list (ListHabits). It can show the first screen of a list before the rest
// is read: the rest is asked for once that screen is painted, or at once when a command needs a row that
// may be further down (a search for a key, a sort by a heading). A refill keeps the clerk's row, the rows
// he unfolded and the scroll position.
class KeyedView : public QTreeView {
    Q_OBJECT
public:
    // How many rows a long list reads for its first screen: more than the tallest screen shows.
    static constexpr int kFirstScreen = 200;

    KeyedView(KeyedModel *model, int stretchColumn, ListCommands commands, QWidget *parent = nullptr);

    KeyedModel *rows() const { return m_rows; }
    // The widths the columns start at (and never shrink below when fitted to their texts).
    void SetWidths(const QList<int> &widths);
    void SetCommands(ListCommands commands);
    // Captions of the right-click menu ("Добавить", "Изменить", "Удалить" unless set).
    void SetMenuTexts(const QString &add, const QString &open, const QString &remove);
    // Heading clicks sort; until one is clicked the rows stay in the order they were read.
    void SetSortable(bool on);
    // Widens the columns that cut their texts off; run after a refill.
    void FitColumns();
    QMenu *ContextMenu() const { return m_habits->menu(); }

    // What reads the rest of the list after its first screen; empty when the list is whole.
    void SetRest(std::function<void()> rest);
    bool Whole() const { return !m_rest; }
    // Reads the rest now if it is still to come, keeping the current row and the scroll position.
    void ReadRest();

    // The current row when it is also selected; invalid otherwise.
    QModelIndex Selected() const { return m_habits->Selected(); }
    // A value of the selected row's column 0 ("" when no row is selected).
    QString SelectedValue(int role) const;
    // Makes the top row whose `topRole` is `topKey` current, or its child whose `childRole` is `childKey`
    // when that is given; the rest of the list is read first when the row is not among those shown.
    bool SelectKey(int topRole, const QString &topKey, int childRole = 0, const QString &childKey = {});

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    KeyedModel *m_rows;
    ListHabits *m_habits;
    std::function<void()> m_rest;
    bool m_restQueued = false;
    // A row across a refill: its top row's key and the rows down from there.
    struct Place {
        QString topKey;
        QList<int> path;
        bool operator==(const Place &) const = default;
    };
    static Place PlaceOf(const QModelIndex &index);
    QModelIndex IndexAt(const Place &place) const;
    // Before a refill: the current row, the unfolded rows and the scroll position; after it they are
    // found again by key, and what is not found (beyond a first screen) is kept for the next refill.
    void Remember();
    void Restore();
    struct Kept {
        Place current;
        bool selected = false;
        int scroll = 0;
        QList<Place> unfolded;
    };
    Kept m_kept;
};
