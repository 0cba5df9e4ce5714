#pragma once

#include <QDialog>
#include <array>

#include "AppContext.h"
#include "UserStore.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

// "Пользователь": the card of one user of the program — name, login, password and one check box per
// right. The stored password is never shown: the field starts empty, and for an existing user an empty
// field keeps the stored password. A new user's key is made when the card is created.
class CUserDlg : public QDialog {
    Q_OBJECT
public:
    explicit CUserDlg(AppContext &ctx, const QString &iddUser = QString(), QWidget *parent = nullptr);

    // False when the stored user could not be read or is gone (the message was shown): the card is not
    // to be opened.
    bool Loaded() const { return m_loaded; }
    const QString &IddUser() const { return m_iddUser; }
    bool Existing() const { return m_existing; }
    bool Saved() const { return m_saved; }
    // The rights string the boxes give: one "1"/"0" per position, in position order.
    QString Prova() const;
    // The check box of a right position (0 to 27).
    QCheckBox *RightBox(int position) const { return m_rights.at(std::size_t(position)); }

    void accept() override;

private:
    void Build();
    void Load(bool stored);

    AppContext &m_ctx;
    QString m_iddUser;
    bool m_loaded = false;
    bool m_existing = false;
    bool m_saved = false;
    std::optional<UserRecord> m_stored;  // as read on opening: the save checks it is still so

    QLineEdit *m_name = nullptr;
    QLineEdit *m_login = nullptr;
    QLineEdit *m_password = nullptr;
    std::array<QCheckBox *, Rights::kCount> m_rights{};
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
