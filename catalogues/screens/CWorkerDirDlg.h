#pragma once

#include "PickedWorker.h"

#include <QDialog>
#include <QList>
#include <QSet>

class AppContext;
struct WorkerRecord;
class KeyedList;

// "Справочник сотрудников": the workers directory, also the picker of workers for the service card and
// the order form. Each row has a tick box; OK hands back the ticked workers as a picked list.
class CWorkerDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWorkerDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    // Pre-ticks these workers (entries marked deleted are ignored).
    void SetPicked(const PickedWorkers &picked);
    // After OK: the ticked rows in list order (no IddServiceWork, not deleted).
    PickedWorkers Picked() const { return m_picked; }
    // Opened to pick workers: Enter and a double-click tick the row and close with the ticked workers.
    void SetPicking(bool on);

    // Reads the list again, keeping the ticks the user has made.
    void Refill();
    // Fills the list with what was read, keeping the current row.
    void Show(const QList<WorkerRecord> &workers);
    KeyedList *list() const { return m_list; }

    // The commands of the buttons, the keys and the pop-up menu.
    void AddWorker();
    void EditWorker();
    void DeleteWorker();

    void accept() override;

private:
    void Build();
    QSet<QString> TickedIds() const;

    AppContext &m_ctx;
    PickedWorkers m_picked;

    KeyedList *m_list = nullptr;
};
