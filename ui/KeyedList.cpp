#include "KeyedList.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

namespace {

// Sorts by the value stored for sorting where both rows have one, else by text as a Russian reads it.
class SortableItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, KeyedList::kSortRole);
        const QVariant b = other.data(column, KeyedList::kSortRole);
        if (a.isValid() && b.isValid()) return QVariant::compare(a, b) == QPartialOrdering::Less;
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

// The widest a stretched name column grows to fit its texts before the list scrolls sideways.
constexpr int kMaxFittedName = 480;

}  // namespace

KeyedList::KeyedList(QWidget *parent) : QTreeWidget(parent) {
    Init();
}

KeyedList::KeyedList(const QStringList &headings, int stretchColumn, ListCommands commands, QWidget *parent)
    : QTreeWidget(parent) {
    Init();
    SetColumns(headings);
    SetStretchColumn(stretchColumn);
    SetCommands(std::move(commands));
}

void KeyedList::Init() {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    header()->setStretchLastSection(false);
    // The selection keeps its colours while a message box or another window is in front, so the clerk
    // still sees which row a command acts on.
    QPalette p = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    setPalette(p);
    m_menuTexts = {QStringLiteral("Добавить"), QStringLiteral("Изменить"), QStringLiteral("Удалить")};
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (item && m_commands.open) {
            setCurrentItem(item);
            m_commands.open();
        }
    });
    // Rows put into a list that has the focus (a refill after a command) leave one of them selected.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (hasFocus()) SelectFocused();
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != m_stretch) AdjustStretch();
    });
    BuildMenu();
}

void KeyedList::SetColumns(const QStringList &headings, const QList<int> &widths,
                           const QList<Qt::Alignment> &alignments) {
    setColumnCount(int(headings.size()));
    setHeaderLabels(headings);
    m_minWidths.clear();
    for (int i = 0; i < headings.size(); ++i) {
        // Never narrower than its heading (a cut "№ платеж" tells the clerk nothing); a width of 0 or 1
        // keeps a column out of sight.
        int width = i < widths.size() ? widths[i] : 0;
        if (i >= widths.size() || width > 1) width = std::max(width, header()->sectionSizeHint(i));
        setColumnWidth(i, width);
        m_minWidths << width;
        if (i < alignments.size()) headerItem()->setTextAlignment(i, alignments[i] | Qt::AlignVCenter);
    }
}

void KeyedList::SetWidths(const QList<int> &widths) {
    for (int i = 0; i < widths.size() && i < columnCount(); ++i) {
        setColumnWidth(i, widths[i]);
        if (i < m_minWidths.size()) m_minWidths[i] = widths[i];
    }
    FitColumns();
}

void KeyedList::SetStretchColumn(int column) {
    m_stretch = column;
    FitColumns();
}

void KeyedList::SetCommands(ListCommands commands) {
    m_commands = std::move(commands);
    // A double-click opens the row rather than folding it.
    setExpandsOnDoubleClick(!m_commands.open);
    BuildMenu();
}

void KeyedList::SetMenuTexts(const QString &add, const QString &open, const QString &remove) {
    m_menuTexts = {add, open, remove};
    BuildMenu();
}

void KeyedList::SetSortable(bool on) {
    setSortingEnabled(on);
    sortByColumn(-1, Qt::AscendingOrder);
}

void KeyedList::BuildMenu() {
    if (!m_menu) m_menu = new QMenu(this);
    m_menu->clear();
    const struct {
        const char *name;
        const char *icon;
        std::function<void()> *command;
    } entries[] = {{"menuAdd", "list-add", &m_commands.add},
                   {"menuEdit", "document-edit", &m_commands.open},
                   {"menuDelete", "list-remove", &m_commands.remove}};
    for (int i = 0; i < 3; ++i) {
        if (!*entries[i].command) continue;
        QAction *a = m_menu->addAction(QIcon::fromTheme(QLatin1StringView(entries[i].icon)), m_menuTexts[i]);
        a->setObjectName(QLatin1StringView(entries[i].name));
        connect(a, &QAction::triggered, this, [command = entries[i].command] {
            if (*command) (*command)();
        });
    }
}

KeyedList::Batch::Batch(KeyedList &list) : m_list(list), m_outer(list.m_batch) {
    list.m_batch = this;
}

KeyedList::Batch::~Batch() {
    m_list.m_batch = m_outer;
    if (m_outer) {
        m_outer->m_rows += m_rows;
        return;
    }
    // A sorted list would take the rows one at a time, each at the same place; they go in as loaded and
    // the list is sorted again by the column the user chose, if any.
    const bool sorted = m_list.isSortingEnabled();
    if (sorted) m_list.setSortingEnabled(false);
    m_list.addTopLevelItems(m_rows);
    if (sorted) m_list.setSortingEnabled(true);
}

QTreeWidgetItem *KeyedList::AddRow(const QStringList &texts, const QString &key, QTreeWidgetItem *parent) {
    QTreeWidgetItem *item = nullptr;
    if (parent) {
        item = new SortableItem(parent, texts);
    } else if (m_batch) {
        item = new SortableItem(texts);
        m_batch->m_rows.append(item);
    } else {
        item = new SortableItem(this, texts);
    }
    if (!key.isNull()) item->setData(0, kKeyRole, key);
    for (int i = 0; i < texts.size() && i < columnCount(); ++i) {
        const Qt::Alignment a = Qt::Alignment(headerItem()->textAlignment(i)) & Qt::AlignHorizontal_Mask;
        if (a) item->setTextAlignment(i, a | Qt::AlignVCenter);
    }
    return item;
}

void KeyedList::SetSortValue(QTreeWidgetItem *item, int column, const QVariant &value) {
    item->setData(column, kSortRole, value);
}

QString KeyedList::Key(const QTreeWidgetItem *item) {
    return item ? item->data(0, kKeyRole).toString() : QString();
}

QTreeWidgetItem *KeyedList::Selected() const {
    QTreeWidgetItem *item = currentItem();
    return item && item->isSelected() ? item : nullptr;
}

QString KeyedList::CurrentKey(bool topLevel) const {
    const QTreeWidgetItem *item = Selected();
    if (topLevel)
        while (item && item->parent()) item = item->parent();
    return Key(item);
}

bool KeyedList::SelectKey(const QString &key) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if (Key(*it) == key) {
            setCurrentItem(*it);
            scrollToItem(*it);
            return true;
        }
    }
    return false;
}

bool KeyedList::SelectKey(int topRole, const QString &topKey, int childRole, const QString &childKey) {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = topLevelItem(i);
        if (item->data(0, topRole).toString() != topKey) continue;
        if (!childKey.isEmpty()) {
            item = nullptr;
            for (int j = 0; j < topLevelItem(i)->childCount() && !item; ++j)
                if (topLevelItem(i)->child(j)->data(0, childRole).toString() == childKey)
                    item = topLevelItem(i)->child(j);
        }
        if (!item) return false;
        setCurrentItem(item);
        scrollToItem(item);
        return true;
    }
    return false;
}

void KeyedList::FitColumns() {
    {
        const QSignalBlocker block(header());
        for (int c = 0; c < columnCount(); ++c) {
            const int set = c < m_minWidths.size() ? m_minWidths[c] : 0;
            // Hidden columns and key columns kept out of sight stay as they are.
            if (isColumnHidden(c) || c == m_stretch || set <= 1) continue;
            const int want = std::max({set, sizeHintForColumn(c), header()->sectionSizeHint(c)});
            if (columnWidth(c) < want) setColumnWidth(c, want);
        }
    }
    AdjustStretch();
}

void KeyedList::AdjustStretch() {
    if (m_stretch < 0 || m_stretch >= columnCount()) return;
    const QSignalBlocker block(header());
    int others = 0;
    for (int c = 0; c < columnCount(); ++c)
        if (!isColumnHidden(c) && c != m_stretch) others += columnWidth(c);
    setColumnWidth(m_stretch, StretchWidth(viewport()->width() - others));
}

int KeyedList::StretchWidth(int available) const {
    const int set = m_stretch < m_minWidths.size() ? m_minWidths[m_stretch] : 0;
    const int fitted = std::min(sizeHintForColumn(m_stretch), kMaxFittedName);
    return std::max({set, fitted, available});
}

QSize KeyedList::sizeHint() const {
    QSize size = QTreeWidget::sizeHint();
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columnCount(); ++c)
        if (!isColumnHidden(c)) width += c == m_stretch ? StretchWidth(0) : columnWidth(c);
    size.setWidth(std::max(size.width(), width));
    return size;
}

void KeyedList::WidenToFit(QWidget *window) {
    int width = std::max(window->width(), window->sizeHint().width());
    if (const QScreen *screen = window->screen())
        width = std::min(width, screen->availableGeometry().width());
    window->resize(width, window->height());
}

void KeyedList::resizeEvent(QResizeEvent *event) {
    QTreeWidget::resizeEvent(event);
    AdjustStretch();
}

void KeyedList::focusInEvent(QFocusEvent *event) {
    QTreeWidget::focusInEvent(event);
    // A click selects the row it lands on itself.
    if (event->reason() != Qt::MouseFocusReason) SelectFocused();
}

void KeyedList::SelectFocused() {
    QTreeWidgetItem *item = currentItem() ? currentItem() : topLevelItem(0);
    if (!item || item->isSelected()) return;
    setCurrentItem(item);
    item->setSelected(true);
}

void KeyedList::keyPressEvent(QKeyEvent *event) {
    // Enter in a cell being edited commits it (the cell's editor passes the key on): it opens nothing.
    if (Editing()) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const std::function<void()> *command = nullptr;
    if (plain) {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                command = &m_commands.open;
                break;
            case Qt::Key_Insert:
                command = &m_commands.add;
                break;
            case Qt::Key_Delete:
                command = &m_commands.remove;
                break;
            case Qt::Key_Escape:
                event->ignore();  // the dialog closes
                return;
            default:
                break;
        }
    }
    if (command && *command) {
        (*command)();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void KeyedList::contextMenuEvent(QContextMenuEvent *event) {
    if (m_menu->isEmpty()) return;
    // The row under the cursor is the one the command acts on.
    // (The event comes through the viewport, in its coordinates.)
    if (QTreeWidgetItem *item = itemAt(event->pos())) setCurrentItem(item);
    m_menu->popup(event->globalPos());
}
