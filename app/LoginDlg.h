#pragma once

#include "UserStore.h"

#include <QDialog>

class Prompter;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Вход в программу": the user picks his name and types his password. Cancel ends the program.
class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    CLoginDlg(UserStore &users, Prompter &prompter, QWidget *parent = nullptr);

    // The user who logged in (valid after the dialog was accepted).
    const UserRecord &User() const { return m_user; }

    QComboBox *UserCombo() const { return m_users; }
    QLineEdit *PasswordEdit() const { return m_password; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }
    // Selects the user with this key in the combo box; false when he is not offered.
    bool SelectUser(const QString &iddUser);

public slots:
    void accept() override;

private:
    void Refuse(const QString &text);

    UserStore &m_store;
    Prompter &m_prompter;
    UserRecord m_user;
    QComboBox *m_users = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

namespace LoginTexts {
inline const QString kEmptyPassword = QStringLiteral("Укажите пароль пользователя!");
inline const QString kWrongPassword = QStringLiteral("Пароль не верен!\nУкажите верный пароль пользователя!");
}  // namespace LoginTexts
