#pragma once

#include "CompanyStore.h"

#include <QDialog>
#include <QHash>
#include <optional>

class AppContext;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// "Общие сведения о компании": the shop's requisites (the SMain row). OK trims and saves every field.
class CCompanyDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCompanyDlg(AppContext &ctx, QWidget *parent = nullptr);

    // False when the row could not be read (the error has been shown); the dialog should not be run.
    bool IsLoaded() const { return m_loaded; }
    // The edit of a column (MainName, MainINN, ...); also reachable by that objectName.
    QLineEdit *Edit(const char *column) const;
    // "Часы работы:": when the shop opens and closes (the bay board spans them).
    QTimeEdit *OpensAt() const { return m_open; }
    QTimeEdit *ClosesAt() const { return m_close; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

public slots:
    void accept() override;

private:
    // Reads the row and shows it; false when it could not be read (the error has been shown).
    bool Load();

    AppContext &m_ctx;
    QHash<QString, QLineEdit *> m_edits;
    QTimeEdit *m_open = nullptr;
    QTimeEdit *m_close = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_loaded = false;
    std::optional<CompanyInfo> m_stored;  // the row as read (none when missing): the save checks it
};
