#pragma once

#include <QList>
#include <QString>

// A worker on a service: a performer of a catalogue service (a ServiceWork row), a worker ticked in the
// workers directory used as a picker, or a worker performing an order line (a TWork row).
struct PickedWorker {
    QString iddServiceWork;  // the ServiceWork row; empty for a worker picked or on an order line
    QString iddWork;
    QString workFio;
    bool deleted = false;

    bool operator==(const PickedWorker &) const = default;
};
using PickedWorkers = QList<PickedWorker>;
