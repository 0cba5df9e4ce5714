#pragma once

#include "UserStore.h"

#include <QDialog>
#include <functional>
#include <optional>

class Prompter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Вход в программу": the user picks his name and types his password. Cancel ends the program.
class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    // Checks a password: the user when it is right, nothing when it is not; DbError when it cannot tell.
    using Check = std::function<std::optional<UserRecord>(const QString &key, const QString &password)>;
    struct Offered {
        QString text, key;
    };

    // The users of the database, by name; the password is checked against the stored hash.
    CLoginDlg(UserStore &users, Prompter &prompter, QWidget *parent = nullptr);
    // The users offered (key: what `check` is given); with `typed` the user may type his login instead
    // (the server's users are not known before one of them has connected).
    CLoginDlg(const QList<Offered> &offered, bool typed, Check check, Prompter &prompter,
              QWidget *parent = nullptr);

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
    void Build(const QList<Offered> &offered);
    void Refuse(const QString &text);

    Check m_check;
    Prompter &m_prompter;
    UserRecord m_user;
    QLabel *m_userLabel = nullptr;
    QComboBox *m_users = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

namespace LoginTexts {
inline const QString kEmptyPassword = QStringLiteral("Укажите пароль пользователя!");
inline const QString kWrongPassword = QStringLiteral("Пароль не верен!\nУкажите верный пароль пользователя!");
}  // namespace LoginTexts
