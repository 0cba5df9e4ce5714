#pragma once

#include <QDialog>

class AppContext;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Справочник пользователей": the users of the program. Its caller checks the right to open it.
class CUserDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Refill();

    // The commands of the buttons and the pop-up menu.
    void AddUser();
    void EditUser();
    void DeleteUser();

private:
    QTreeWidgetItem *Selected() const;

    AppContext &m_ctx;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_del = nullptr;
    QPushButton *m_close = nullptr;
};
