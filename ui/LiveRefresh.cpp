#include "LiveRefresh.h"

#include "Database.h"
#include "DbError.h"

#include <QEvent>
#include <QWidget>

LiveRefresh::LiveRefresh(QWidget *screen, Database &db, QStringList tables, Refresh refresh)
    : QObject(screen), m_screen(screen), m_tables(std::move(tables)), m_refresh(std::move(refresh)) {
    connect(&db.Changes(), &ChangeFeed::Changed, this, &LiveRefresh::Take);
    screen->installEventFilter(this);
}

void LiveRefresh::Take(const DataChanges &changes) {
    if (!changes.TouchesAny(m_tables)) return;
    m_pending.Add(changes.Of(m_tables));
    Flush();
}

void LiveRefresh::Flush() {
    // A refresh that reaches the event loop (a message, a dialog) gets the next writes after it.
    if (m_running || m_pending.Empty() || !m_screen || !m_screen->isVisible()) return;
    m_running = true;
    const DataChanges changes = std::move(m_pending);
    m_pending = DataChanges();
    try {
        m_refresh(changes);
    } catch (const DbError &) {
        // Nobody asked for this refresh, so nothing is shown: the changes wait for the next one.
        m_pending.Add(changes);
    }
    m_running = false;
}

bool LiveRefresh::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_screen && event->type() == QEvent::Show) Flush();
    return QObject::eventFilter(watched, event);
}
