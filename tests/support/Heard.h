#pragma once

#include "ChangeFeed.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

// What a feed told, gathered while the event loop runs.
class Heard {
public:
    explicit Heard(ChangeFeed &feed) {
        QObject::connect(&feed, &ChangeFeed::Changed, &m_context,
                         [this](const DataChanges &c) { m_all.Add(c); });
    }
    // Runs the event loop until the condition holds or two seconds (the promise to the clerk) have passed.
    bool WaitFor(const std::function<bool(const DataChanges &)> &done, int milliseconds = 2000) {
        const QDeadlineTimer deadline(milliseconds);
        while (!done(m_all) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done(m_all);
    }
    bool WaitForKey(const QString &table, const QString &key) {
        return WaitFor([&](const DataChanges &c) { return c.keys.value(table).contains(key); });
    }
    const DataChanges &all() const { return m_all; }
    void Clear() { m_all = DataChanges(); }

private:
    QObject m_context;
    DataChanges m_all;
};
