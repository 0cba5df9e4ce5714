#pragma once

#include "ClientStore.h"

#include <QDialog>
#include <functional>

class AppContext;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class ClientListModel;
class KeyedView;

// The clients directory: clients with their debts and, under each, its cars. Also the picker of a
// client (and optionally one of its cars): the caller may preset the filters or limit the list to the
// client of one link, runs the dialog, and after it returns Accepted reads the selection.
class CClientDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CClientDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    // Caller's settings, applied at once (the list is searched again).
    void SetFilters(const QString &name, const QString &inn, const QString &plate, bool debtorsOnly = false);
    // The print command hands the selected client and the debtors' state here; without it there is no
    // print button.
    // Opened to pick a client: Enter and a double-click choose the row and close instead of editing it.
    void SetPicking(bool on);
    void SetPrintHandler(std::function<void(const QString &iddClient, bool debtorsOnly)> handler);

    // After closing: set when a row was selected at close.
    bool selected() const { return m_selected; }
    const QString &iddClient() const { return m_resultClient; }
    const QString &clientName() const { return m_resultName; }
    // The link and car of a selected car row; empty for a client row.
    const QString &iddAvtoVlad() const { return m_resultLink; }
    const QString &iddAvto() const { return m_resultCar; }

    // Searches with the filters as they stand (also on opening and after every command).
    void Refill();
    // Selects the row of a client, or of one of its car links when `iddAvtoVlad` is given.
    bool Select(const QString &iddClient, const QString &iddAvtoVlad = {});
    KeyedView *list() const { return m_list; }

    // The commands, as the buttons, the list's keys and its pop-up menu run them.
    void Add();
    void Edit();
    void Delete();
    void Print();

    // Close and Escape hand back the selected row.
    void reject() override;

private:
    void BuildUi();
    // The list for this search: its first screen now, the rest once that is shown.
    void Fill(const ClientFilter &filter, int firstRows);
    // Shows the rows of the shown search; with `more` the rest is read once they are painted.
    void Show(QList<ClientListRow> rows, bool more);

    AppContext &m_ctx;
    ClientFilter m_shown;
    ClientStore m_store;
    std::function<void(const QString &, bool)> m_print;

    QComboBox *m_name = nullptr;
    QLineEdit *m_inn = nullptr;
    QLineEdit *m_plate = nullptr;
    QCheckBox *m_debtors = nullptr;
    ClientListModel *m_rows = nullptr;
    KeyedView *m_list = nullptr;
    QPushButton *m_printButton = nullptr;

    bool m_selected = false;
    QString m_resultClient, m_resultName, m_resultLink, m_resultCar;
};
