#pragma once

#include "SelectedService.h"
#include "ServiceRecord.h"

#include <QDialog>

class AppContext;
class KeyedList;
class QTreeWidgetItem;

// "Справочник услуг": the catalogue of packages and services as a two-level tree with performer rows
// under the services. Rows carry check boxes; when the dialog closes (either way) the checked rows
// become the selected-services list, which the caller reads with Selected().
class CServiceDirDlg : public QDialog {
    Q_OBJECT
public:
    // Kinds of rows, kept in the name column under kKindRole.
    enum RowKind { PackageRow = 1, ServiceRow = 2, PerformerRow = 3 };
    static constexpr int kKeyRole = Qt::UserRole;      // IddService, or IddServiceWork of a performer row
    static constexpr int kTopRole = Qt::UserRole + 1;  // IddTop ("0" for a package)
    static constexpr int kKindRole = Qt::UserRole + 2;

    explicit CServiceDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    // The checked rows as of the last close: packages with all their services, services with the
    // performers ticked under them. Empty until the dialog has been closed.
    const SelectedServices &Selected() const { return m_selected; }

    // Reads the catalogue again (checks are cleared).
    void Reload();
    KeyedList *list() const { return m_list; }

    // The commands of the buttons, the keys and the pop-up menu.
    void AddService();
    void EditService();
    void DeleteService();

    void accept() override;
    void reject() override;

private:
    void Build();
    // Fills the list with the catalogue read.
    void Show(ServiceTree tree);
    // Reads the catalogue again for what was saved elsewhere, keeping the ticks, the unfolded packages and
    // the current row; throws DbError.
    void Refresh();
    QTreeWidgetItem *SelectedRow() const;
    void BuildSelection();

    AppContext &m_ctx;
    ServiceTree m_tree;
    SelectedServices m_selected;

    KeyedList *m_list = nullptr;
};
