#pragma once

#include "UserStore.h"

#include <QDialog>

class Prompter;
class QLineEdit;
class QPushButton;

// Shown when the database has no user: creates the first one, with every right. There is no built-in
// account, so this is the only way into a new database.
class CFirstRunDlg : public QDialog {
    Q_OBJECT
public:
    CFirstRunDlg(UserStore &users, Prompter &prompter, QWidget *parent = nullptr);

    // The user created (valid after the dialog was accepted).
    const UserRecord &Created() const { return m_created; }

    QLineEdit *NameEdit() const { return m_name; }
    QLineEdit *LoginEdit() const { return m_login; }
    QLineEdit *PasswordEdit() const { return m_password; }
    QLineEdit *RepeatEdit() const { return m_repeat; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

public slots:
    void accept() override;

private:
    void Refuse(const QString &text, QLineEdit *focus);

    UserStore &m_store;
    Prompter &m_prompter;
    UserRecord m_created;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_login = nullptr;
    QLineEdit *m_password = nullptr;
    QLineEdit *m_repeat = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

namespace FirstRunTexts {
inline const QString kEmptyName = QStringLiteral("Укажите имя пользователя!");
inline const QString kEmptyLogin = QStringLiteral("Укажите логин пользователя!");
inline const QString kBadLogin = QStringLiteral("Логин не может содержать пробелы и символ \"~\"!");
inline const QString kEmptyPassword = QStringLiteral("Укажите пароль пользователя!");
inline const QString kMismatch = QStringLiteral("Пароли не совпадают!\nВведите пароль еще раз в оба поля!");
}  // namespace FirstRunTexts
