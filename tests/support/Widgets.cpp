#include "Widgets.h"

#include "Database.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

void Click(const QObject &dialog, const char *button) {
    Child<QPushButton>(dialog, button)->click();
}

QLineEdit *Edit(const QObject &dialog, const char *name) {
    return Child<QLineEdit>(dialog, name);
}

QTreeWidget *List(const QObject &dialog, const char *name) {
    return Child<QTreeWidget>(dialog, name);
}

QTreeWidgetItem *FindRow(QTreeWidget *list, const QString &text, int column) {
    const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchRecursive, column);
    return found.isEmpty() ? nullptr : found.first();
}

QTreeWidgetItem *SelectRow(QTreeWidget *list, const QString &text, int column) {
    QTreeWidgetItem *item = FindRow(list, text, column);
    EXPECT_NE(item, nullptr) << text.toStdString();
    if (item) {
        list->setCurrentItem(item);
        item->setSelected(true);
    }
    return item;
}

QStringList RowTexts(const QTreeView *list, int columns) {
    QStringList rows;
    const QAbstractItemModel *model = list->model();
    for (int i = 0; i < model->rowCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < columns; ++c) cells << model->index(i, c).data().toString();
        rows << cells.join(u'/');
    }
    return rows;
}

QTreeView *View(const QObject &dialog, const char *name) {
    return Child<QTreeView>(dialog, name);
}

QModelIndex FindIndex(const QAbstractItemView *list, const QString &text, int column) {
    const QAbstractItemModel *model = list->model();
    if (model->rowCount() == 0) return {};
    const QModelIndexList found = model->match(model->index(0, column), Qt::DisplayRole, text, 1,
                                               Qt::MatchExactly | Qt::MatchRecursive | Qt::MatchWrap);
    return found.isEmpty() ? QModelIndex() : found.first();
}

QModelIndex SelectIndex(QAbstractItemView *list, const QString &text, int column) {
    const QModelIndex index = FindIndex(list, text, column);
    EXPECT_TRUE(index.isValid()) << text.toStdString();
    if (index.isValid()) {
        list->setCurrentIndex(index);
        list->selectionModel()->select(index,
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    return index;
}

QString Cell(const QModelIndex &row, int column) {
    return row.siblingAtColumn(column).data().toString();
}

QModelIndex ChildOf(const QModelIndex &row) {
    return row.model()->index(0, 0, row.siblingAtColumn(0));
}

void Press(QWidget *widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void Type(QWidget *widget, const QString &text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

namespace {

void DoubleClickAt(QWidget *viewport, const QPointF &at) {
    const QPointF global = viewport->mapToGlobal(at);
    const struct {
        QEvent::Type type;
        Qt::MouseButtons buttons;
    } steps[] = {{QEvent::MouseButtonPress, Qt::LeftButton},
                 {QEvent::MouseButtonRelease, Qt::NoButton},
                 {QEvent::MouseButtonDblClick, Qt::LeftButton},
                 {QEvent::MouseButtonRelease, Qt::NoButton}};
    for (const auto &step : steps) {
        QMouseEvent e(step.type, at, global, Qt::LeftButton, step.buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &e);
    }
}

}  // namespace

void DoubleClick(QTreeWidget *list, QTreeWidgetItem *item) {
    list->scrollToItem(item);
    DoubleClickAt(list->viewport(), list->visualItemRect(item).center());
}

void DoubleClick(QAbstractItemView *list, const QModelIndex &index) {
    list->scrollTo(index);
    DoubleClickAt(list->viewport(), list->visualRect(index).center());
}

void Keyboard::Activate(QWidget &window) {
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &window) << window.metaObject()->className();
}

void Keyboard::operator()(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    ++strokes;
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no focus for key " << key;
    if (key < 0x100 || key >= Qt::Key_Escape) return QTest::keyClick(focus, key, modifiers);
    // A Russian letter: QTest spells only Latin ones.
    const QString text = QString(QChar(char16_t(key))).toLower();
    QTest::sendKeyEvent(QTest::Press, focus, key, text, modifiers);
    QTest::sendKeyEvent(QTest::Release, focus, key, text, modifiers);
}

void Keyboard::operator()(const QString &text) {
    strokes += int(text.size());
    QWidget *focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no focus for " << text.toStdString();
    for (const QChar c : text) {  // QTest spells only Latin letters
        const auto code = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, focus, code, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, focus, code, QString(c), Qt::NoModifier);
    }
}
