#include "ListHabits.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTreeView>
#include <algorithm>

namespace {

// The widest a stretched name column grows to fit its texts before the list scrolls sideways.
constexpr int kMaxFittedName = 480;

// QTreeView keeps its override protected; the base class offers it.
int TextWidth(const QTreeView *view, int column) {
    return static_cast<const QAbstractItemView *>(view)->sizeHintForColumn(column);
}

}  // namespace

ListHabits::ListHabits(QTreeView *view) : QObject(view), m_view(view) {
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAllColumnsShowFocus(true);
    view->setUniformRowHeights(true);
    view->header()->setStretchLastSection(false);
    // The selection keeps its colours while a message box or another window is in front, so the clerk
    // still sees which row a command acts on.
    QPalette p = view->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    view->setPalette(p);
    m_menuTexts = {QStringLiteral("Добавить"), QStringLiteral("Изменить"), QStringLiteral("Удалить")};
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && m_commands.open) {
            m_view->setCurrentIndex(index);
            m_commands.open();
        }
    });
    connect(view->header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column != m_stretch) AdjustStretch();
    });
    if (view->model()) Watch(view->model());
    BuildMenu();
}

void ListHabits::Watch(QAbstractItemModel *model) {
    const auto select = [this] {
        if (m_view->hasFocus()) SelectFocused();
    };
    connect(model, &QAbstractItemModel::rowsInserted, this, select);
    connect(model, &QAbstractItemModel::modelReset, this, select);
}

void ListHabits::SetCommands(ListCommands commands) {
    m_commands = std::move(commands);
    // A double-click opens the row rather than folding it.
    m_view->setExpandsOnDoubleClick(!m_commands.open);
    BuildMenu();
}

void ListHabits::SetMenuTexts(const QString &add, const QString &open, const QString &remove) {
    m_menuTexts = {add, open, remove};
    BuildMenu();
}

void ListHabits::BuildMenu() {
    if (!m_menu) m_menu = new QMenu(m_view);
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

int ListHabits::ColumnCount() const {
    return m_view->header()->count();
}

void ListHabits::StartWidths(const QList<int> &widths) {
    m_minWidths.clear();
    for (int i = 0; i < ColumnCount(); ++i) {
        // Never narrower than its heading (a cut "№ платеж" tells the clerk nothing); a width of 0 or 1
        // keeps a column out of sight.
        int width = i < widths.size() ? widths[i] : 0;
        if (i >= widths.size() || width > 1) width = std::max(width, m_view->header()->sectionSizeHint(i));
        m_view->setColumnWidth(i, width);
        m_minWidths << width;
    }
}

void ListHabits::SetWidths(const QList<int> &widths) {
    for (int i = 0; i < widths.size() && i < ColumnCount(); ++i) {
        m_view->setColumnWidth(i, widths[i]);
        if (i < m_minWidths.size()) m_minWidths[i] = widths[i];
    }
    FitColumns();
}

void ListHabits::SetStretchColumn(int column) {
    m_stretch = column;
    FitColumns();
}

void ListHabits::FitColumns() {
    {
        const QSignalBlocker block(m_view->header());
        for (int c = 0; c < ColumnCount(); ++c) {
            const int set = c < m_minWidths.size() ? m_minWidths[c] : 0;
            // Hidden columns and key columns kept out of sight stay as they are.
            if (m_view->isColumnHidden(c) || c == m_stretch || set <= 1) continue;
            const int want = std::max({set, TextWidth(m_view, c), m_view->header()->sectionSizeHint(c)});
            if (m_view->columnWidth(c) < want) m_view->setColumnWidth(c, want);
        }
    }
    AdjustStretch();
}

void ListHabits::AdjustStretch() {
    if (m_stretch < 0 || m_stretch >= ColumnCount()) return;
    const QSignalBlocker block(m_view->header());
    int others = 0;
    for (int c = 0; c < ColumnCount(); ++c)
        if (!m_view->isColumnHidden(c) && c != m_stretch) others += m_view->columnWidth(c);
    m_view->setColumnWidth(m_stretch, StretchWidth(m_view->viewport()->width() - others));
}

int ListHabits::StretchWidth(int available) const {
    const int set = m_stretch < m_minWidths.size() ? m_minWidths[m_stretch] : 0;
    const int fitted = std::min(TextWidth(m_view, m_stretch), kMaxFittedName);
    return std::max({set, fitted, available});
}

int ListHabits::WidthHint() const {
    int width = 2 * m_view->frameWidth() + m_view->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < ColumnCount(); ++c)
        if (!m_view->isColumnHidden(c)) width += c == m_stretch ? StretchWidth(0) : m_view->columnWidth(c);
    return width;
}

QModelIndex ListHabits::Selected() const {
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() && m_view->selectionModel()->isSelected(current) ? current : QModelIndex();
}

void ListHabits::SelectFocused() {
    QModelIndex index = m_view->currentIndex();
    if (!index.isValid() && m_view->model()) index = m_view->model()->index(0, 0);
    if (!index.isValid() || m_view->selectionModel()->isSelected(index)) return;
    m_view->setCurrentIndex(index);
    m_view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListHabits::FocusIn(QFocusEvent *event) {
    // A click selects the row it lands on itself.
    if (event->reason() != Qt::MouseFocusReason) SelectFocused();
}

bool ListHabits::Key(QKeyEvent *event, bool editing) {
    // Enter in a cell being edited commits it (the cell's editor passes the key on): it opens nothing.
    if (editing) return false;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    const std::function<void()> *command = nullptr;
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
            return true;
        default:
            return false;
    }
    if (!*command) return false;
    (*command)();
    event->accept();
    return true;
}

void ListHabits::ContextMenu(QContextMenuEvent *event) {
    if (m_menu->isEmpty()) return;
    // The row under the cursor is the one the command acts on.
    // (The event comes through the viewport, in its coordinates.)
    const QModelIndex index = m_view->indexAt(event->pos());
    if (index.isValid()) m_view->setCurrentIndex(index);
    m_menu->popup(event->globalPos());
}
