#pragma once

#include <QDialog>

class AppContext;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Справочник боксов (моек)": the bays where services are performed.
class CBayDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBayDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Refill();

    // The commands of the buttons and the pop-up menu.
    void AddBay();
    void EditBay();
    void DeleteBay();

private:
    QTreeWidgetItem *Selected() const;

    AppContext &m_ctx;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_del = nullptr;
    QPushButton *m_ok = nullptr;
};
