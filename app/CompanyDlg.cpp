#include "CompanyDlg.h"

#include "AppContext.h"
#include "CompanyStore.h"
#include "DbAction.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <tuple>

namespace {

struct FieldDef {
    const char *column;
    const char *caption;
    const char *tipTitle;
    const char *tipText;
};

// Grid position of each field: the same arrangement as the client card.
const FieldDef kName = {"MainName", "Название:", "Название компании",
                        "Краткое название компании,\nкак оно печатается в документах"};
const FieldDef kFullName = {"MainFullName", "Полное название:", "Полное название компании",
                            "Полное юридическое название компании"};
const FieldDef kAdres = {"MainAdres", "Юридический адрес:", "Юридический адрес",
                         "Юридический адрес компании"};
const FieldDef kAdresF = {"MainAdresF", "Фактический адрес:", "Фактический адрес",
                          "Фактический адрес компании"};
const FieldDef kTel = {"MainTel", "Тел.:", "Телефон", "Телефон компании"};
const FieldDef kFaks = {"MainFaks", "Факс:", "Факс", "Факс компании"};
const FieldDef kEmail = {"MainEmail", "E-mail:", "E-mail", "Адрес электронной почты компании"};
const FieldDef kInn = {"MainINN", "ИНН/КПП.:", "ИНН/КПП", "ИНН и КПП компании"};
const FieldDef kOkhx = {"MainOKHX", "ОКНОХ:", "ОКОНХ", "Код ОКОНХ компании"};
const FieldDef kOkpo = {"MainOKPO", "ОКПО:", "ОКПО", "Код ОКПО компании"};
const FieldDef kChet = {"MainChet", "Расч. счет:", "Расчетный счет", "Расчетный счет компании"};
const FieldDef kBank = {"MainBank", "Банк:", "Банк", "Название банка компании"};
const FieldDef kKorChet = {"MainKorChet", "Кор. счет:", "Корреспондентский счет",
                           "Корреспондентский счет банка"};
const FieldDef kBik = {"MainBIK", "БИК:", "БИК", "БИК банка"};
const FieldDef kDirector = {"MainDirector", "Директор:", "Директор", "Фамилия и инициалы директора"};
const FieldDef kByx = {"MainByx", "Гл. бухгалтер:", "Главный бухгалтер",
                       "Фамилия и инициалы главного бухгалтера"};
const FieldDef kContact = {"MainContact", "Контакт:", "Контактное лицо", "Контактное лицо компании"};
const FieldDef kPrim = {"MainPrim", "Примечание:", "Примечание", "Любые дополнительные сведения о компании"};

}  // namespace

CCompanyDlg::CCompanyDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Общие сведения о компании"));

    auto framed = [this](const FieldDef &f) {
        auto *box = new QGroupBox(QString::fromUtf8(f.caption));
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1StringView(f.column));
        Inputs::LimitTo(edit, QStringLiteral("SMain"), QLatin1StringView(f.column));
        Tooltip::Set(edit, QString::fromUtf8(f.tipTitle), QString::fromUtf8(f.tipText));
        auto *l = new QVBoxLayout(box);
        l->setContentsMargins(6, 2, 6, 6);
        l->addWidget(edit);
        m_edits.insert(QLatin1StringView(f.column), edit);
        return box;
    };

    auto *grid = new QGridLayout;
    grid->addWidget(framed(kName), 0, 0);
    grid->addWidget(framed(kFullName), 0, 1, 1, 2);
    grid->addWidget(framed(kAdres), 1, 0, 1, 2);
    grid->addWidget(framed(kTel), 1, 2);
    grid->addWidget(framed(kAdresF), 2, 0, 1, 2);
    grid->addWidget(framed(kFaks), 2, 2);
    grid->addWidget(framed(kInn), 3, 0);
    grid->addWidget(framed(kOkhx), 3, 1);
    grid->addWidget(framed(kOkpo), 3, 2);
    grid->addWidget(framed(kEmail), 4, 0);
    grid->addWidget(framed(kContact), 4, 1, 1, 2);

    auto *bankBox = new QGroupBox(QStringLiteral("Банковские данные:"));
    auto *bank = new QGridLayout(bankBox);
    bank->addWidget(framed(kBank), 0, 0, 1, 2);
    bank->addWidget(framed(kBik), 0, 2);
    bank->addWidget(framed(kChet), 1, 0);
    bank->addWidget(framed(kKorChet), 1, 1, 1, 2);
    grid->addWidget(bankBox, 5, 0, 1, 3);

    grid->addWidget(framed(kDirector), 6, 0);
    grid->addWidget(framed(kByx), 6, 1, 1, 2);
    grid->addWidget(framed(kPrim), 7, 0, 1, 3);

    auto *hoursBox = new QGroupBox(QStringLiteral("Часы работы:"));
    auto *hours = new QHBoxLayout(hoursBox);
    for (auto [edit, caption, name] :
         {std::tuple{&m_open, "с", "MainOpen"}, std::tuple{&m_close, "до", "MainClose"}}) {
        *edit = new QTimeEdit;
        (*edit)->setObjectName(QLatin1StringView(name));
        (*edit)->setDisplayFormat(QStringLiteral("HH:mm"));
        Inputs::MarkField(*edit, QStringLiteral("SMain"), QLatin1StringView(name));
        auto *label = new QLabel(QString::fromUtf8(caption));
        label->setBuddy(*edit);
        hours->addWidget(label);
        hours->addWidget(*edit);
    }
    hours->addStretch();
    Tooltip::Set(m_open, QStringLiteral("Начало рабочего дня"),
                 QStringLiteral("Время открытия: с него начинается загрузка боксов"));
    Tooltip::Set(m_close, QStringLiteral("Окончание рабочего дня"),
                 QStringLiteral("Время закрытия: им заканчивается загрузка боксов"));
    grid->addWidget(hoursBox, 8, 0, 1, 3);
    for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);

    m_ok = new QPushButton(QStringLiteral("ОК"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    Tooltip::Set(m_ok, QStringLiteral("Сохранить"),
                 QStringLiteral("Сохранить сведения о компании и закрыть окно"));
    m_cancel = new QPushButton(QStringLiteral("Отмена"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    Tooltip::Set(m_cancel, QStringLiteral("Закрыть"),
                 QStringLiteral("Закрыть окно без сохранения изменений"));
    connect(m_ok, &QPushButton::clicked, this, &CCompanyDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CCompanyDlg::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addStretch();
    top->addLayout(buttons);
    resize(640, sizeHint().height());

    m_loaded = Load();
}

bool CCompanyDlg::Load() {
    std::optional<CompanyInfo> info;
    if (!TryDb(m_ctx.prompter(), [&] { info = CompanyStore(m_ctx.db()).Read(); })) return false;
    m_stored = info;
    // A missing row shows empty fields; saving recreates it.
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        m_edits.value(QLatin1StringView(CompanyInfo::kFields[size_t(i)]))
            ->setText(info ? (*info)[i] : QString());
    const WorkingHours hours = info ? info->hours : WorkingHours();
    m_open->setTime(hours.open);
    m_close->setTime(hours.close);
    return true;
}

QLineEdit *CCompanyDlg::Edit(const char *column) const {
    return m_edits.value(QLatin1StringView(column));
}

void CCompanyDlg::accept() {
    CompanyInfo info;
    for (int i = 0; i < CompanyInfo::kFieldCount; ++i)
        info[i] = m_edits.value(QLatin1StringView(CompanyInfo::kFields[size_t(i)]))->text().trimmed();
    info.hours = {m_open->time(), m_close->time()};
    // Stays open on a failure so nothing typed is lost.
    if (!TrySave(
            this, m_ctx.prompter(), [&] { CompanyStore(m_ctx.db()).Save(info, m_stored); },
            [this] { Load(); }))
        return;
    QDialog::accept();
}
