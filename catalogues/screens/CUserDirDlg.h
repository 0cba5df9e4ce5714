#pragma once

#include <QDialog>

class AppContext;
class KeyedList;

// "Справочник пользователей": the users of the program. Its caller checks the right to open it.
class CUserDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Refill();
    KeyedList *list() const { return m_list; }

    // The commands of the buttons, the keys and the pop-up menu.
    void AddUser();
    void EditUser();
    void DeleteUser();

private:
    AppContext &m_ctx;
    KeyedList *m_list = nullptr;
};
