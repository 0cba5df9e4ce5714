#pragma once

#include "WorkerStore.h"

#include <QDialog>
#include <QString>
#include <optional>

class AppContext;
class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;

// "Сотрудник": the card of one worker. Opened on an IddWork for an existing worker, or without one
// for a new worker. It writes the worker itself on OK; the caller reads Saved() and refills its list.
class CWorkerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWorkerDlg(AppContext &ctx, const QString &iddWork = QString(), QWidget *parent = nullptr);

    // False when the stored worker could not be read or is gone (the message was shown): the card is
    // not to be opened, since saving its empty fields would blank the stored worker.
    bool Loaded() const { return m_loaded; }
    bool Existing() const { return m_existing; }
    bool Saved() const { return m_saved; }
    // The worker's key (a new worker's after the save) and the name as saved.
    const QString &IddWork() const { return m_iddWork; }
    QString WorkFio() const;

    void accept() override;

private:
    void Build();
    void Load();
    void UpdateDismissalPicker();

    AppContext &m_ctx;
    QString m_iddWork;
    bool m_loaded = false;
    bool m_existing = false;
    bool m_saved = false;
    std::optional<WorkerRecord> m_stored;  // as read on opening: the save checks it is still so

    QLineEdit *m_fio = nullptr;
    QLineEdit *m_adres = nullptr;
    QLineEdit *m_tel = nullptr;
    QDateTimeEdit *m_dataIn = nullptr;
    QCheckBox *m_workOut = nullptr;
    QDateTimeEdit *m_dataOut = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
