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

namespace {

QList<CLoginDlg::Offered> Listed(UserStore &users, Prompter &prompter) {
    QList<UserRecord> active;
    TryDb(prompter, [&] { active = users.ListActive(); });
    QList<CLoginDlg::Offered> offered;
    for (const UserRecord &u : active) offered.append({u.name, u.iddUser});
    return offered;
}

}  // namespace

CLoginDlg::CLoginDlg(UserStore &users, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_prompter(prompter) {
    m_check = [&users](const QString &id, const QString &typed) -> std::optional<UserRecord> {
        const std::optional<UserRecord> user = id.isEmpty() ? std::nullopt : users.Load(id);
        // A user deleted after the list was filled may not log in either.
        if (!user || user->deleted || !Password::Matches(typed, user->pass)) return std::nullopt;
        return user;
    };
    Build(Listed(users, prompter));
}

CLoginDlg::CLoginDlg(const QList<Offered> &offered, bool typed, Check check, Prompter &prompter,
                     QWidget *parent)
    : QDialog(parent), m_check(std::move(check)), m_prompter(prompter) {
    Build(offered);
    if (!typed) return;
    m_users->setEditable(true);
    m_userLabel->setText(QStringLiteral("Логин пользователя:"));
    m_users->setToolTip(QStringLiteral("Логин пользователя: выберите или введите свой логин"));
    m_users->setFocus();
}

void CLoginDlg::Build(const QList<Offered> &offered) {
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
    m_userLabel = new QLabel(QStringLiteral("Имя пользователя:"));
    top->addWidget(m_userLabel);
    top->addWidget(m_users);
    top->addWidget(new QLabel(QStringLiteral("Пароль пользователя:")));
    top->addWidget(m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    top->addLayout(buttons);

    for (const Offered &o : offered) m_users->addItem(o.text, o.key);
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
    QString key = m_users->currentIndex() >= 0 ? m_users->currentData().toString() : QString();
    // A typed login that is not one of those offered is the key itself.
    if (m_users->isEditable() &&
        m_users->currentText().trimmed() != m_users->itemText(m_users->currentIndex()))
        key = m_users->currentText().trimmed();
    if (typed.isEmpty()) return Refuse(LoginTexts::kEmptyPassword);

    std::optional<UserRecord> user;
    if (!TryDb(m_prompter, [&] { user = m_check(key, typed); })) return;
    if (!user) return Refuse(LoginTexts::kWrongPassword);
    m_user = *user;
    QDialog::accept();
}
