#include "FirstRunDlg.h"

#include "DbAction.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CFirstRunDlg::CFirstRunDlg(UserStore &users, Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_store(users), m_prompter(prompter) {
    setWindowTitle(QStringLiteral("Первый пользователь"));

    auto edit = [](const char *name, const QString &title, const QString &text) {
        auto *e = new QLineEdit;
        e->setObjectName(QLatin1StringView(name));
        Tooltip::Set(e, title, text);
        return e;
    };
    m_name = edit("name", QStringLiteral("Имя пользователя"),
                  QStringLiteral("Имя, под которым пользователь\nвыбирается при входе в программу"));
    m_login =
        edit("login", QStringLiteral("Логин пользователя"),
             QStringLiteral(
                 "Краткое имя пользователя латиницей;\nс него начинаются ключи создаваемых им записей"));
    Inputs::LimitTo(m_name, QStringLiteral("SUser"), QStringLiteral("Name"));
    Inputs::LimitTo(m_login, QStringLiteral("SUser"), QStringLiteral("Login"));
    m_password = edit("password", QStringLiteral("Пароль пользователя"),
                      QStringLiteral("Пароль для входа в программу"));
    m_password->setEchoMode(QLineEdit::Password);
    m_repeat = edit("repeat", QStringLiteral("Повтор пароля"),
                    QStringLiteral("Тот же пароль еще раз, для проверки"));
    m_repeat->setEchoMode(QLineEdit::Password);

    m_ok = new QPushButton(QStringLiteral("ОК"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    Tooltip::Set(m_ok, QStringLiteral("Создать"),
                 QStringLiteral("Создать пользователя со всеми правами\nи перейти ко входу в программу"));
    m_cancel = new QPushButton(QStringLiteral("Отмена"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    Tooltip::Set(m_cancel, QStringLiteral("Закрыть"), QStringLiteral("Закрыть программу"));
    connect(m_ok, &QPushButton::clicked, this, &CFirstRunDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CFirstRunDlg::reject);

    auto *intro =
        new QLabel(QStringLiteral("В базе данных нет ни одного пользователя.\n"
                                  "Создайте первого пользователя: он получит все права\n"
                                  "и сможет завести остальных в справочнике пользователей."));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Имя пользователя:"), m_name);
    form->addRow(QStringLiteral("Логин:"), m_login);
    form->addRow(QStringLiteral("Пароль:"), m_password);
    form->addRow(QStringLiteral("Повторите пароль:"), m_repeat);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *top = new QVBoxLayout(this);
    top->addWidget(intro);
    top->addLayout(form);
    top->addLayout(buttons);
}

void CFirstRunDlg::Refuse(const QString &text, QLineEdit *focus) {
    m_prompter.Warning(text);
    focus->setFocus();
    focus->selectAll();
}

void CFirstRunDlg::accept() {
    const QString name = m_name->text().trimmed();
    const QString login = m_login->text().trimmed();
    // Trimmed as the login dialog trims what is typed there.
    const QString password = m_password->text().trimmed();
    const QString repeat = m_repeat->text().trimmed();
    if (name.isEmpty()) return Refuse(FirstRunTexts::kEmptyName, m_name);
    if (login.isEmpty()) return Refuse(FirstRunTexts::kEmptyLogin, m_login);
    // The login starts every record key the user creates, with "~" as the separator.
    if (login.contains(u'~') || login.contains(QChar(u' '))) return Refuse(FirstRunTexts::kBadLogin, m_login);
    if (password.isEmpty()) return Refuse(FirstRunTexts::kEmptyPassword, m_password);
    if (password != repeat) {
        m_repeat->clear();
        return Refuse(FirstRunTexts::kMismatch, m_password);
    }
    if (!TrySave(this, m_prompter, [&] { m_created = m_store.CreateFirstUser(name, login, password); }))
        return;
    QDialog::accept();
}
