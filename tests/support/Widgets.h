#pragma once

#include "TestDb.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>
#include <cstdio>
#include <cstdlib>

class Database;
class QLineEdit;
class QAbstractItemView;
class QModelIndex;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// What every screen test does with a dialog: find its widgets by object name, press its buttons and
// keys, read its lists.

// The child of this name; a missing one stops the test program (the test is wrong, not the screen).
template <class T>
T *Child(const QObject &parent, const char *name);

void Click(const QObject &dialog, const char *button);
QLineEdit *Edit(const QObject &dialog, const char *name);
QTreeWidget *List(const QObject &dialog, const char *name = "list");

// The first row, at any depth, whose text in `column` is `text`; null when none.
QTreeWidgetItem *FindRow(QTreeWidget *list, const QString &text, int column = 0);
// Makes that row current and selected as a click would; null (and a failure) when there is none.
QTreeWidgetItem *SelectRow(QTreeWidget *list, const QString &text, int column = 0);
// The top-level rows, each as its first `columns` texts joined by "/".
QStringList RowTexts(const QTreeView *list, int columns = 1);
// Any list, whether it holds its rows (KeyedList) or shows a model (KeyedView).
QTreeView *View(const QObject &dialog, const char *name = "list");
// The row, at any depth, whose text in `column` is `text`; invalid when none.
QModelIndex FindIndex(const QAbstractItemView *list, const QString &text, int column = 0);
// Makes that row current and selected as a click would; invalid (and a failure) when there is none.
QModelIndex SelectIndex(QAbstractItemView *list, const QString &text, int column = 0);
// The text in another column of the row, and the row's first child.
QString Cell(const QModelIndex &row, int column);
QModelIndex ChildOf(const QModelIndex &row);

// A key press as a user makes it, sent to the widget (and on to its parents when it ignores it).
void Press(QWidget *widget, Qt::Key key);
// Types the text key by key, as the field's validator sees it.
void Type(QWidget *widget, const QString &text);
// A double-click on a row.
void DoubleClick(QTreeWidget *list, QTreeWidgetItem *item);
void DoubleClick(QAbstractItemView *list, const QModelIndex &index);

// Keys where a user's keys go: to the focus of the active window, shortcuts included; counts them.
struct Keyboard {
    // Shows the window and makes it the active one, as the window manager does when it opens.
    static void Activate(QWidget &window);
    // One key (with its modifiers); each counts as a stroke.
    void operator()(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Text typed key by key; each character is a stroke.
    void operator()(const QString &text);
    int strokes = 0;
};

template <class T>
T *Child(const QObject &parent, const char *name) {
    T *w = parent.template findChild<T *>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no child named %s\n", name);
        std::abort();
    }
    return w;
}
