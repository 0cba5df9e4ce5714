#pragma once

#include "ChangeFeed.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class Database;
class QWidget;

// Keeps a screen in step with what is written to the database, here or at another workstation
// (ChangeFeed): the writes to the tables it shows are gathered and handed to `refresh` once the screen is
// visible, so a hidden window catches up when it is shown again. The refresh reads again what is shown
// (the shown filter, not what is half-typed in the filter fields) and keeps the clerk's row; one that
// fails (the server is away) leaves the screen as it was, and is tried again with the next write told.
class LiveRefresh : public QObject {
public:
    using Refresh = std::function<void(const DataChanges &changes)>;
    // The refresh may throw DbError; it is never shown to the clerk, who did not ask for it.
    LiveRefresh(QWidget *screen, Database &db, QStringList tables, Refresh refresh);

    // Runs what is waiting now rather than when the event loop comes to it.
    void Flush();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Take(const DataChanges &changes);

    QPointer<QWidget> m_screen;
    QStringList m_tables;
    Refresh m_refresh;
    DataChanges m_pending;
    bool m_running = false;
};
