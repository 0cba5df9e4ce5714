#pragma once

#include "CarStore.h"

#include <QDialog>

class AppContext;
class QComboBox;
class QLineEdit;
class CarListModel;
class KeyedView;

// The cars directory: cars with their owners below them, searched by plate, make and owner. Also the
// picker of a car: after it returns Accepted the caller reads the selected car (and, for an owner row,
// the link).
class CCarDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CCarDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    // The client the directory was opened for (the client card's cars page); it does not limit the list,
    // since the point is to pick any car for that client.
    void SetClient(const QString &iddClient) { m_iddClient = iddClient; }
    const QString &client() const { return m_iddClient; }
    // Caller's filters, applied at once (the list is searched again).
    // Opened to pick a car: Enter and a double-click choose the row and close instead of editing it.
    void SetPicking(bool on);
    void SetFilters(const QString &plate, const QString &make, const QString &owner);

    // After closing: the selected row's car, and its link when an owner row was selected.
    bool selected() const { return m_selected; }
    const QString &iddAvto() const { return m_resultCar; }
    const QString &iddAvtoVlad() const { return m_resultLink; }

    // Searches with the filters as they stand (also on opening and after every command).
    void Refill();
    // Reloads the make and owner lists, keeping what is typed.
    void RefillLists();
    // Selects a car row, or one of its owner rows when `iddAvtoVlad` is given.
    bool Select(const QString &iddAvto, const QString &iddAvtoVlad = {});
    KeyedView *list() const { return m_list; }

    // The commands, as the buttons, the list's keys and its pop-up menu run them.
    void Add();
    void Edit();
    void Delete();

    // Close and Escape hand back the selected row.
    void reject() override;

private:
    void BuildUi();
    // The list for these filters: its first screen now, the rest once that is shown.
    void Fill(const CarFilter &filter, int firstRows);
    // Shows the rows of the shown search; with `more` the rest is read once they are painted.
    void Show(QList<CarListRow> rows, bool more);

    AppContext &m_ctx;
    CarStore m_store;
    CarFilter m_shown;
    QString m_iddClient;

    QLineEdit *m_plate = nullptr;
    QComboBox *m_make = nullptr;
    QComboBox *m_owner = nullptr;
    CarListModel *m_rows = nullptr;
    KeyedView *m_list = nullptr;

    bool m_listsLater = false;  // the filter lists are read with the rest of the list
    bool m_selected = false;
    QString m_resultCar, m_resultLink;
};
