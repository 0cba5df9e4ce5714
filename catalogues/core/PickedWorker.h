#pragma once

#include <QList>
#include <QString>

// One entry of a picked-workers list: the performers of a catalogue service (ServiceWork rows) or the
// workers ticked in the workers directory used as a picker.
struct PickedWorker {
    QString iddServiceWork;  // empty for a worker picked in the directory
    QString iddWork;
    QString workFio;
    bool deleted = false;
};
using PickedWorkers = QList<PickedWorker>;
