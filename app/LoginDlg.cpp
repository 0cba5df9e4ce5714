#include "LoginDlg.h"

#include "DbAction.h"
#include "DbError.h"
#include "Password.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(UserStore &users, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_store(users), m_prompter(prompter) {
    setWindowTitle(QStringLiteral("Вход в программу"));

    m_users = new QComboBox;
    m_users->setObjectName(QStringLiteral("user"));
    m_users->setMinimumWidth(300);
    Tooltip::Set(m_users, QStringLiteral("Логин пользователя"),
                 QStringLiteral("Выберите свое имя из списка пользователей программы"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    Tooltip::Set(m_password, QStringLiteral("Пароль пользователя"), QStringLiteral("Введите свой пароль"));

    m_ok = new QPushButton(QStringLiteral("ОК"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    Tooltip::Set(m_ok, QStringLiteral("Вход"),
                 QStringLiteral("Войти в программу под выбранным пользователем"));
    m_cancel = new QPushButton(QStringLiteral("Отмена"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    Tooltip::Set(m_cancel, QStringLiteral("Закрыть"), QStringLiteral("Закрыть программу без входа"));
    connect(m_ok, &QPushButton::clicked, this, &CLoginDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CLoginDlg::reject);

    auto *top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Имя пользователя:")));
    top->addWidget(m_users);
    top->addWidget(new QLabel(QStringLiteral("Пароль пользователя:")));
    top->addWidget(m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    top->addLayout(buttons);

    QList<UserRecord> active;
    TryDb(m_prompter, [&] { active = m_store.ListActive(); });
    for (const UserRecord &u : active) m_users->addItem(u.name, u.iddUser);
    m_password->setFocus();
}

bool CLoginDlg::SelectUser(const QString &iddUser) {
    const int i = m_users->findData(iddUser);
    m_users->setCurrentIndex(i);
    return i >= 0;
}

void CLoginDlg::Refuse(const QString &text) {
    m_prompter.Warning(text);
    m_password->setFocus();
    m_password->selectAll();
}

void CLoginDlg::accept() {
    const QString typed = m_password->text().trimmed();
    const QString id = m_users->currentIndex() >= 0 ? m_users->currentData().toString() : QString();
    if (typed.isEmpty()) return Refuse(LoginTexts::kEmptyPassword);

    std::optional<UserRecord> user;
    if (!TryDb(m_prompter, [&] {
            if (!id.isEmpty()) user = m_store.Load(id);
        }))
        return;
    // A user deleted after the list was filled may not log in either.
    if (!user || user->deleted || !Password::Matches(typed, user->pass))
        return Refuse(LoginTexts::kWrongPassword);

    if (!Password::IsHash(user->pass)) {
        // An old plain-text password: keep it from now on only as a hash. Should the write fail, the
        // user still logs in with the password he just proved, and the upgrade is tried next time.
        try {
            m_store.StorePassword(user->iddUser, typed);
            if (auto stored = m_store.Load(user->iddUser)) user->pass = stored->pass;
        } catch (const DbError &) {
        }
    }
    m_user = *user;
    QDialog::accept();
}
