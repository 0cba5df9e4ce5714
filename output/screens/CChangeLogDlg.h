#pragma once

#include "ChangeLogStore.h"

#include <QDialog>
#include <memory>

class AppContext;
class Database;
class KeyedView;
class QComboBox;
class QDateEdit;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
template <class Record>
class FlatModel;

// "Журнал изменений": who added, changed or deleted which record, when, from which workstation, and what
// each field was before and after. Filters by period, user, kind of record, action and text; the list's
// spreadsheet report; old entries moved to an archive file and archives opened to read. Opened as a
// history it shows one order's or payment's entries, whatever their dates.
class CChangeLogDlg : public QDialog {
    Q_OBJECT
public:
    // The whole log, last month's entries first shown.
    explicit CChangeLogDlg(AppContext &ctx, QWidget *parent = nullptr);
    // One record's history (the filter's iddZakaz or iddPay).
    CChangeLogDlg(AppContext &ctx, const ChangeLogFilter &history, QWidget *parent = nullptr);
    ~CChangeLogDlg() override;

    // Reads the entries the filters choose; false when the period is reversed or the read failed (shown).
    bool Find();
    // Shows an archive file's entries (read only) in place of the database's, with the same filters.
    bool ShowArchive(const QString &file);
    // Moves the entries before the period's first day into `file` after asking.
    bool ArchiveBefore(const QString &file);
    bool Report();
    // The selected entry in full, in a message.
    void ShowEntry();

    const QList<ChangeLogEntry> &Entries() const;
    QDateEdit *FromEdit() const { return m_from; }
    QDateEdit *ToEdit() const { return m_to; }
    QComboBox *UserBox() const { return m_user; }
    QComboBox *KindBox() const { return m_kind; }
    QComboBox *ActionBox() const { return m_action; }
    QLineEdit *TextEdit() const { return m_text; }
    KeyedView *list() const { return m_list; }

private:
    void Build(bool history);
    QHBoxLayout *BuildButtons(bool history);
    ChangeLogFilter Filter() const;
    void Show(QList<ChangeLogEntry> entries, bool more);
    Database &Source() const;

    AppContext &m_ctx;
    ChangeLogFilter m_history;
    std::unique_ptr<Database> m_archive;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QComboBox *m_user = nullptr;
    QComboBox *m_kind = nullptr;
    QComboBox *m_action = nullptr;
    QLineEdit *m_text = nullptr;
    QLabel *m_count = nullptr;
    KeyedView *m_list = nullptr;
    FlatModel<ChangeLogEntry> *m_rows = nullptr;
};
