#pragma once

#include "BayStore.h"

#include <QDialog>
#include <functional>
#include <optional>

class AppContext;
class QLineEdit;
class QPushButton;

// "Бокс (мойка)": the card of one bay. The caller presets the name and note (empty for a new bay) and
// reads them back after OK. A caller may hand it the write to run on OK: a failed write is shown and
// the card stays open with what was typed. Opened on a stored bay, the card reads and writes it itself.
class CBayDlg : public QDialog {
    Q_OBJECT
public:
    using Saver = std::function<void(const QString &name, const QString &note)>;

    explicit CBayDlg(AppContext &ctx, QWidget *parent = nullptr);

    void SetName(const QString &name);
    void SetNote(const QString &note);
    QString Name() const;
    QString Note() const;
    // Runs on OK after the checks; may throw DbError.
    void SetSaver(Saver saver) { m_saver = std::move(saver); }
    // Shows the stored bay; OK then writes it, unless it was changed elsewhere meanwhile. False when it
    // could not be read or is gone (the message was shown): the card is not to be shown.
    bool Open(const QString &iddBox);

    void accept() override;

private:
    AppContext &m_ctx;
    Saver m_saver;
    std::optional<BayRecord> m_stored;  // the bay as read by Open
    QLineEdit *m_name = nullptr;
    QLineEdit *m_note = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
