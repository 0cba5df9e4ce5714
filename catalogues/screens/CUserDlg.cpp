#include "CUserDlg.h"

#include "CardButtons.h"
#include "DbAction.h"
#include "Inputs.h"
#include "KeyGen.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "UserStore.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct RightText {
    const char16_t *box;    // the check box's text
    const char16_t *title;  // its tooltip's title
    const char16_t *help;   // its tooltip's text
};

// One entry per position of the rights string.
constexpr RightText kRightTexts[Rights::kCount] = {
    {u"Журнал заказов:", u"Доступ к журналу заказов",
     u"Открывать журнал заказов.\nБез него все права журнала заказов снимаются."},
    {u"Добавлять заказ", u"Добавлять заказ", u"Добавлять заказы и предварительные заявки."},
    {u"Изменять заказ", u"Изменять заказ", u"Изменять заказы в журнале заказов."},
    {u"Удалять заказ", u"Удалять заказ", u"Удалять заказы из журнала заказов."},
    {u"Добавлять платеж", u"Добавлять платеж", u"Добавлять платежи по заказу из журнала заказов."},
    {u"Изменять платеж", u"Изменять платеж", u"Изменять платежи по заказу."},
    {u"Удалять платеж", u"Удалять платеж", u"Удалять платежи по заказу."},
    {u"Отметка начала работ", u"Отметка начала работ", u"Отмечать начало работ по заказу."},
    {u"Отметка окончания работ", u"Отметка окончания работ", u"Отмечать исполнение работ по заказу."},
    {u"Журнал кассы:", u"Доступ к журналу кассы", u"Открывать журнал кассы."},
    {u"Добавлять платежи", u"Добавлять платежи", u"Добавлять операции в журнале кассы."},
    {u"Изменить платежи", u"Изменять платежи", u"Изменять операции в журнале кассы."},
    {u"Удалять платежи", u"Удалять платежи", u"Удалять операции из журнала кассы."},
    {u"Журнал зарплаты:", u"Доступ к журналу З/П", u"Открывать журнал зарплаты."},
    {u"Добавлять выплаты", u"Добавлять З/П", u"Начислять и выплачивать зарплату."},
    {u"Изменить выплаты", u"Изменять З/П", u"Изменять выплаты зарплаты."},
    {u"Удалять выплаты", u"Удалять З/П", u"Удалять выплаты зарплаты."},
    {u"Справочник основных сведений", u"Доступ к основным сведениям",
     u"Изменять основные сведения о предприятии."},
    {u"Справочник пользователей", u"Доступ к справочнику пользователей",
     u"Изменять пользователей программы\nи их права."},
    {u"Добавлять", u"Добавлять услуги", u"Добавлять услуги и пакеты услуг в справочник услуг."},
    {u"Изменять", u"Изменять услуги", u"Изменять услуги и пакеты услуг в справочнике услуг."},
    {u"Удалять", u"Удалять услуги", u"Удалять услуги и пакеты услуг из справочника услуг."},
    {u"Добавлять", u"Добавлять сотрудников", u"Добавлять сотрудников в справочник сотрудников."},
    {u"Изменять", u"Изменять сотрудников", u"Изменять сведения о сотрудниках."},
    {u"Удалять", u"Удалять сотрудников", u"Удалять сотрудников из справочника сотрудников."},
    {u"Отчет о выполненных работах", u"Доступ к отчету о выполненных работах",
     u"Открывать отчет о выполненных работах."},
    {u"Отчет о расчетах с сотрудниками", u"Доступ к отчету о расчетах с сотрудниками",
     u"Открывать отчет о расчетах с сотрудниками."},
    {u"Настройка нумерации", u"Доступ к настройке нумерации", u"Изменять нумерацию документов."},
    {u"Просмотр загрузки боксов", u"Доступ к загрузке боксов",
     u"Открывать загрузку боксов по времени.\nПереносить заказы на доске может тот, кто изменяет заказы."},
    {u"Хранение шин:", u"Доступ к хранению шин", u"Открывать журнал хранения шин."},
    {u"Принимать", u"Принимать шины на хранение",
     u"Принимать комплекты шин на хранение, изменять их карточки\nи вести места хранения."},
    {u"Выдавать", u"Выдавать шины", u"Выдавать комплекты шин с хранения."},
    {u"Удалять", u"Удалять комплекты шин", u"Удалять ошибочные карточки комплектов шин."},
};

// The rights that only make sense inside the order journal.
constexpr int kOrderJournal = Rights::Position(Right::OrderJournal);
constexpr int kFirstOrderRight = Rights::Position(Right::AddOrder);
constexpr int kLastOrderRight = Rights::Position(Right::MarkEnd);

QString Str(const char16_t *text) {
    return QString::fromUtf16(text);
}

}  // namespace

CUserDlg::CUserDlg(AppContext &ctx, const QString &iddUser, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_iddUser(iddUser) {
    if (m_iddUser.isEmpty()) m_iddUser = NewKey(m_ctx.login());
    Build();
    Load(!iddUser.isEmpty());
}

void CUserDlg::Build() {
    setWindowTitle(QStringLiteral("Пользователь"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_login = new QLineEdit(this);
    m_login->setObjectName(QStringLiteral("login"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    // The password is stored as its hash, whose length does not follow the typed one: no limit there.
    Inputs::LimitTo(m_name, QStringLiteral("SUser"), QStringLiteral("Name"));
    Inputs::LimitTo(m_login, QStringLiteral("SUser"), QStringLiteral("Login"));
    Tooltip::Set(m_name, QStringLiteral("Ф.И.О. пользователя"),
                 QStringLiteral("Фамилия, имя и отчество пользователя."));
    Tooltip::Set(m_login, QStringLiteral("Логин пользователя"),
                 QStringLiteral("Логин пользователя: оптимально латинскими буквами\nдлиной до 8 символов."));

    auto *group = new QGroupBox(QStringLiteral("Права пользователя:"), this);
    for (int i = 0; i < Rights::kCount; ++i) {
        auto *box = new QCheckBox(Str(kRightTexts[i].box), group);
        box->setObjectName(QStringLiteral("right%1").arg(i));
        Tooltip::Set(box, Str(kRightTexts[i].title), Str(kRightTexts[i].help));
        m_rights[std::size_t(i)] = box;
    }
    // Laid out as the rights table reads: each journal with its commands indented under it.
    auto column = [] {
        auto *v = new QVBoxLayout;
        v->setSpacing(2);
        return v;
    };
    auto heading = [](QVBoxLayout *v, QWidget *w) { v->addWidget(w); };
    auto indented = [](QVBoxLayout *v, QWidget *w) {
        auto *h = new QHBoxLayout;
        h->addSpacing(20);
        h->addWidget(w);
        v->addLayout(h);
    };
    auto box = [this](Right r) { return m_rights[std::size_t(Rights::Position(r))]; };
    auto indentAll = [&](QVBoxLayout *v, Right from, Right to) {
        for (int i = Rights::Position(from); i <= Rights::Position(to); ++i) indented(v, box(Right(i)));
    };
    QVBoxLayout *orders = column();
    heading(orders, box(Right::OrderJournal));
    indentAll(orders, Right::AddOrder, Right::MarkEnd);
    orders->addStretch();

    QVBoxLayout *money = column();
    heading(money, box(Right::CashJournal));
    indentAll(money, Right::AddCash, Right::DeleteCash);
    money->addSpacing(8);
    heading(money, box(Right::SalaryJournal));
    indentAll(money, Right::AddSalary, Right::DeleteSalary);
    money->addStretch();

    QVBoxLayout *catalogues = column();
    heading(catalogues, box(Right::CompanyDetails));
    heading(catalogues, box(Right::Users));
    catalogues->addSpacing(8);
    heading(catalogues, new QLabel(QStringLiteral("Справочник услуг:"), group));
    indentAll(catalogues, Right::AddService, Right::DeleteService);
    catalogues->addSpacing(8);
    heading(catalogues, new QLabel(QStringLiteral("Справочник сотрудников:"), group));
    indentAll(catalogues, Right::AddWorker, Right::DeleteWorker);
    catalogues->addStretch();

    QVBoxLayout *reports = column();
    for (Right r : {Right::WorksReport, Right::BalanceReport, Right::Numbering, Right::BayBoard})
        heading(reports, box(r));
    reports->addSpacing(8);
    heading(reports, box(Right::TyreJournal));
    indentAll(reports, Right::TyreTakeIn, Right::TyreDelete);
    reports->addStretch();

    auto *grid = new QHBoxLayout(group);
    grid->addLayout(orders);
    grid->addLayout(money);
    grid->addLayout(catalogues);
    grid->addLayout(reports);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Ф.И.О. пользователя"), m_name);
    form->addRow(QStringLiteral("Логин пользователя"), m_login);
    form->addRow(QStringLiteral("Пароль пользователя"), m_password);
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить пользователя\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
    m_name->setFocus();  // the first field to fill

    // Without the journal its commands cannot be reached, so they are cleared with it.
    connect(m_rights[kOrderJournal], &QCheckBox::toggled, this, [this](bool on) {
        if (on) return;
        for (int i = kFirstOrderRight; i <= kLastOrderRight; ++i) m_rights[std::size_t(i)]->setChecked(false);
    });
}

void CUserDlg::Load(bool stored) {
    std::optional<UserRecord> user;
    if (stored && !TryDb(m_ctx.prompter(), [&] { user = UserStore(m_ctx.db()).Load(m_iddUser); })) return;
    if (stored && (!user || user->deleted)) {
        m_ctx.prompter().Warning(
            QStringLiteral("Пользователь не найден: он удален на другом рабочем месте."));
        return;
    }
    m_loaded = true;
    m_existing = stored;
    m_stored = user;
    if (user) {
        m_name->setText(user->name);
        m_login->setText(user->login);
        // Loading must not run the journal box's clearing: the stored string is taken as it is.
        for (int i = 0; i < Rights::kCount; ++i) {
            QCheckBox *box = m_rights[std::size_t(i)];
            const QSignalBlocker block(box);
            box->setChecked(i < user->prova.size() && user->prova[i] == u'1');
        }
    }
    Tooltip::Set(
        m_password, QStringLiteral("Пароль пользователя"),
        m_existing
            ? QStringLiteral("Новый пароль пользователя.\nОставьте поле пустым, чтобы пароль не менялся.")
            : QStringLiteral("Пароль пользователя для входа в программу."));
}

QString CUserDlg::Prova() const {
    QString prova;
    prova.reserve(Rights::kCount);
    for (const QCheckBox *box : m_rights) prova += box->isChecked() ? u'1' : u'0';
    return prova;
}

void CUserDlg::accept() {
    const QString name = m_name->text().trimmed();
    const QString login = m_login->text().trimmed();
    const QString password = m_password->text().trimmed();
    m_name->setText(name);
    m_login->setText(login);
    if (name.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите Ф.И.О. пользователя!"));
        m_name->setFocus();
        return;
    }
    if (login.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral(
            "Укажите логин пользователя!\nОптимально латинскими бувами\nдлиной до 8 символов."));
        m_login->setFocus();
        return;
    }
    if (password.isEmpty() && !m_existing) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите пароль пользователя!"));
        m_password->setFocus();
        return;
    }

    UserStore store(m_ctx.db());
    bool taken = false;
    if (!TrySave(
            this, m_ctx.prompter(),
            [&] {
                // The login starts every key its user makes, so two live users must not share one.
                for (const UserRecord &other : store.ListActive())
                    taken = taken || (other.iddUser != m_iddUser &&
                                      other.login.compare(login, Qt::CaseInsensitive) == 0);
                if (taken) return;
                UserRecord user;
                user.iddUser = m_iddUser;
                user.login = login;
                user.name = name;
                user.prova = Prova();
                user.deleted = false;
                store.Save(user, password, m_stored);
            },
            [this] { Load(true); }))
        return;
    if (taken) {
        m_ctx.prompter().Warning(
            QStringLiteral("Пользователь с логином \"%1\" уже есть!\nУкажите другой логин.").arg(login));
        m_login->setFocus();
        return;
    }
    m_existing = true;
    m_saved = true;
    m_password->clear();
    QDialog::accept();
}
