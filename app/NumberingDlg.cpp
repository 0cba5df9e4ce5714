#include "NumberingDlg.h"

#include "AppContext.h"
#include "CounterStore.h"
#include "DbAction.h"
#include "Formats.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

namespace {

// The counters are integer columns on every database; a larger number would fail to store.
constexpr long kMaxCounter = std::numeric_limits<qint32>::max();

QLineEdit *CounterEdit(const char *name, const QString &title, const QString &what) {
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1StringView(name));
    edit->setAlignment(Qt::AlignRight);
    Inputs::Counter(edit);  // "12abc" would be read as 12, "abc" as 0
    Tooltip::Set(edit, title,
                 QStringLiteral("Последний использованный номер ") + what +
                     QStringLiteral(".\nНумерация продолжится со следующего за ним номера."));
    return edit;
}

QGroupBox *Group(const QString &title, std::initializer_list<std::pair<QString, QLineEdit *>> rows) {
    auto *box = new QGroupBox(title);
    auto *form = new QFormLayout(box);
    for (const auto &[label, edit] : rows) form->addRow(label, edit);
    return box;
}

}  // namespace

CNumberingDlg::CNumberingDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Настройка нумерации"));

    m_prefix = new QLineEdit;
    m_prefix->setObjectName(QStringLiteral("ZakazPr"));
    Inputs::LimitTo(m_prefix, QStringLiteral("Number"), QStringLiteral("ZakazPr"));
    Tooltip::Set(
        m_prefix, QStringLiteral("Префикс № заказа"),
        QStringLiteral("Текст, который ставится перед номером заказа.\nСохраняется так, как введен."));
    m_order = CounterEdit("ZakazNomer", QStringLiteral("Последний № заказа"), QStringLiteral("заказа"));
    m_salary = CounterEdit("SalaryNomer", QStringLiteral("Последний № зарплаты"),
                           QStringLiteral("выплаты зарплаты"));
    m_pay = CounterEdit("PayNomer", QStringLiteral("Последний № поступления"),
                        QStringLiteral("поступления в кассу"));
    m_outPay =
        CounterEdit("OutPayNomer", QStringLiteral("Последний № расхода"), QStringLiteral("расхода из кассы"));

    const QString last = QStringLiteral("Последний №:");
    auto *groups = new QGridLayout;
    groups->addWidget(Group(QStringLiteral("Нумерация заказов:"),
                            {{QStringLiteral("Префикс:"), m_prefix}, {last, m_order}}),
                      0, 0, 1, 2);
    groups->addWidget(Group(QStringLiteral("Зарплата:"), {{last, m_salary}}), 1, 0, 1, 2);
    groups->addWidget(Group(QStringLiteral("Доходы:"), {{last, m_pay}}), 2, 0);
    groups->addWidget(Group(QStringLiteral("Расходы:"), {{last, m_outPay}}), 2, 1);

    m_ok = new QPushButton(QStringLiteral("ОК"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    Tooltip::Set(m_ok, QStringLiteral("Сохранить"),
                 QStringLiteral("Сохранить настройки нумерации и закрыть окно"));
    m_cancel = new QPushButton(QStringLiteral("Отмена"));
    m_cancel->setObjectName(QStringLiteral("cancel"));
    Tooltip::Set(m_cancel, QStringLiteral("Закрыть"),
                 QStringLiteral("Закрыть окно без сохранения изменений"));
    connect(m_ok, &QPushButton::clicked, this, &CNumberingDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CNumberingDlg::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *top = new QVBoxLayout(this);
    top->addLayout(groups);
    top->addStretch();
    top->addLayout(buttons);

    // A missing counter row shows zeros; saving recreates it.
    CounterValues v;
    m_loaded =
        TryDb(m_ctx.prompter(), [&] { v = CounterStore(m_ctx.db()).ReadAll().value_or(CounterValues{}); });
    m_prefix->setText(v.zakazPr);
    m_order->setText(QString::number(v.zakazNomer));
    m_salary->setText(QString::number(v.salaryNomer));
    m_pay->setText(QString::number(v.payNomer));
    m_outPay->setText(QString::number(v.outPayNomer));
}

void CNumberingDlg::accept() {
    CounterValues v;
    v.zakazPr = m_prefix->text();  // as typed, blanks included: it is part of every order number
    const std::pair<QLineEdit *, long *> counters[] = {{m_order, &v.zakazNomer},
                                                       {m_salary, &v.salaryNomer},
                                                       {m_pay, &v.payNomer},
                                                       {m_outPay, &v.outPayNomer}};
    for (const auto &[edit, value] : counters) {
        // An empty or non-numeric text counts as 0.
        *value = Formats::LeadingLong(edit->text().trimmed());
        if (*value < 0 || *value > kMaxCounter) {
            m_ctx.prompter().Warning(
                QStringLiteral("Номер должен быть целым числом от 0 до %1!").arg(kMaxCounter));
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    if (!TrySave(this, m_ctx.prompter(), [&] { CounterStore(m_ctx.db()).WriteAll(v); })) return;
    QDialog::accept();
}
