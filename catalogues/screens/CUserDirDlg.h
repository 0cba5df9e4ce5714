#pragma once

#include <QDialog>
#include <QList>

class AppContext;
struct UserRecord;
class KeyedList;

// "Справочник пользователей": the users of the program. Its caller checks the right to open it.
class CUserDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Refill();
    // Fills the list with what was read, keeping the current row.
    void Show(const QList<UserRecord> &users);
    KeyedList *list() const { return m_list; }

    // The commands of the buttons, the keys and the pop-up menu.
    void AddUser();
    void EditUser();
    void DeleteUser();

private:
    AppContext &m_ctx;
    KeyedList *m_list = nullptr;
};
