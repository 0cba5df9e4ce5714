#include "CClientPaymentDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "CounterStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "Formats.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Schema.h"
#include "Tooltip.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CClientPaymentDlg::CClientPaymentDlg(AppContext &ctx, const QString &iddClient, PayRecord &pay,
                                     QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_iddClient(iddClient), m_pay(pay) {
    Build();
    Fill();
}

void CClientPaymentDlg::Build() {
    setWindowTitle(QStringLiteral("Добавить платеж"));
    auto line = [this](const char *name, const QString &field) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        if (!field.isEmpty()) edit->setMaxLength(FieldMaxLength(QStringLiteral("TPay"), field));
        return edit;
    };
    m_purposes = new QComboBox(this);
    m_purposes->setObjectName(QStringLiteral("purposes"));
    m_purposes->view()->setMinimumWidth(400);
    m_purpose = new QLabel(this);
    m_purpose->setObjectName(QStringLiteral("purpose"));
    m_number = line("number", QStringLiteral("NomerPay"));
    Inputs::Counter(m_number);
    m_date = new QDateEdit(QDate::currentDate(), this);
    DatePicker::Limit(m_date);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_doc = line("doc", QStringLiteral("DocPay"));
    m_note = line("note", QStringLiteral("PrimPay"));
    m_amount = line("amount", {});
    m_amount->setAlignment(Qt::AlignRight);
    Inputs::Amount(m_amount);  // the sign comes from the choice, never typed
    m_debt = new QLabel(this);
    m_debt->setObjectName(QStringLiteral("debt"));
    m_rest = new QLabel(this);
    m_rest->setObjectName(QStringLiteral("rest"));

    Tooltip::Set(
        m_purposes, QStringLiteral("Вид операции"),
        QStringLiteral("Оплата неоплаченного заказа клиента,\nприход на лицевой счет или возврат с него."));
    Tooltip::Set(m_number, QStringLiteral("Номер операции"),
                 QStringLiteral("Номер кассового документа.\nПредлагается следующий по порядку номер."));
    Tooltip::Set(m_date, QStringLiteral("Дата операции"), QStringLiteral("Дата кассового документа."));
    Tooltip::Set(m_doc, QStringLiteral("Первичный документ"),
                 QStringLiteral("Первичный документ, по которому принят\nили выдан платеж."));
    Tooltip::Set(m_note, QStringLiteral("Примечание"), QStringLiteral("Примечание к платежу."));
    Tooltip::Set(m_amount, QStringLiteral("Сумма платежа"),
                 QStringLiteral("Сумма платежа без знака.\nВозврат записывается расходом из кассы."));
    connect(m_purposes, &QComboBox::currentIndexChanged, this, &CClientPaymentDlg::PurposeChosen);
    connect(m_amount, &QLineEdit::textChanged, this, &CClientPaymentDlg::AmountChanged);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Назначение:"), m_purposes);
    form->addRow(QString(), m_purpose);
    form->addRow(QStringLiteral("№:"), m_number);
    form->addRow(QStringLiteral("Дата:"), m_date);
    form->addRow(QStringLiteral("Первичный документ:"), m_doc);
    form->addRow(QStringLiteral("Примечание:"), m_note);
    form->addRow(QStringLiteral("Сумма долга:"), m_debt);
    form->addRow(QStringLiteral("Сумма платежа:"), m_amount);
    form->addRow(QStringLiteral("Остаток долга:"), m_rest);
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить платеж\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    Inputs::ChainTabOrder({m_purposes, m_number, m_date, m_doc, m_note, m_amount, m_ok, m_cancel});
    resize(420, sizeHint().height());
}

void CClientPaymentDlg::Fill() {
    TryDb(m_ctx.prompter(), [&] { m_orders = CashStore(m_ctx.db()).UnpaidOrders(m_iddClient); });
    const QSignalBlocker quiet(m_purposes);
    for (const UnpaidOrder &o : std::as_const(m_orders)) {
        m_purposes->addItem(QStringLiteral("Оплата услуг: ") + o.ZakazNomer + QStringLiteral(" от ") +
                            Formats::Date(o.ZakazData.date()));
        m_purposes->setItemData(m_purposes->count() - 1, o.IddZakaz, kKeyRole);
        m_purposes->setItemData(m_purposes->count() - 1, QStringLiteral("Оплата услуг"), kLabelRole);
    }
    for (const auto &[text, key] :
         {std::pair{kIncome, QStringLiteral("+")}, std::pair{kRefund, QStringLiteral("-")}}) {
        m_purposes->addItem(text);
        m_purposes->setItemData(m_purposes->count() - 1, key, kKeyRole);
        m_purposes->setItemData(m_purposes->count() - 1, text, kLabelRole);
    }
    m_purposes->setCurrentIndex(0);
    PurposeChosen(0);
}

QString CClientPaymentDlg::Proposal(bool out) {
    long next = 0;
    TryDb(m_ctx.prompter(),
          [&] { next = CounterStore(m_ctx.db()).Next(out ? DocCounter::OutPay : DocCounter::Pay); });
    return QString::number(next);
}

void CClientPaymentDlg::PurposeChosen(int index) {
    if (index < 0) return;
    const QString key = m_purposes->itemData(index, kKeyRole).toString();
    m_purpose->setText(m_purposes->itemData(index, kLabelRole).toString());
    m_hasDebt = key != u"+" && key != u"-";
    if (m_hasDebt) {
        m_debtValue = index < m_orders.size() ? m_orders[index].debt : Money();
        // The debt as it stands now: another workstation may have taken a payment since the list was read.
        TryDb(m_ctx.prompter(), [&] { m_debtValue = CashStore(m_ctx.db()).OrderDebt(key); });
        m_debt->setText(m_debtValue.Text());
        m_amount->setText(m_debtValue.Text());
        m_proposed = Proposal(false);
    } else {
        m_debt->clear();
        m_amount->setText(QStringLiteral("0"));
        m_proposed = Proposal(key == u"-");
    }
    m_number->setText(m_proposed);
    AmountChanged();
}

void CClientPaymentDlg::AmountChanged() {
    if (m_hasDebt)
        m_rest->setText((m_debtValue - Money::Parse(m_amount->text())).Text());
    else
        m_rest->clear();
}

void CClientPaymentDlg::accept() {
    for (QLineEdit *edit : {m_number, m_doc, m_note, m_amount}) edit->setText(edit->text().trimmed());
    const Money amount = Money::Parse(m_amount->text()).Abs();
    if (amount.IsZero()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите сумму платежа!"));
        m_amount->setFocus();
        return;
    }
    const int index = m_purposes->currentIndex();
    const QString key = m_purposes->itemData(index, kKeyRole).toString();
    PayRecord pay;
    pay.Delete = 0;
    if (key == u"+" || key == u"-") {
        pay.IddZakaz = m_iddClient;
        pay.TypePay = ClientAccount;
        pay.SummaPay = key == u"-" ? -amount : amount;
    } else {
        pay.IddZakaz = key;
        pay.TypePay = OrderPayment;
        pay.SummaPay = amount;
    }
    pay.NaznPay = m_purposes->itemData(index, kLabelRole).toString();
    pay.DocPay = m_doc->text();
    pay.NomerPay = m_number->text();
    pay.PrimPay = m_note->text();
    pay.DataPay = QDateTime(m_date->date(), QTime::currentTime());
    // Still the proposal: the save takes the next free number, in case another workstation used this one.
    if (pay.NomerPay == m_proposed) pay.ProposedNomer = m_proposed;
    m_pay = pay;
    QDialog::accept();
}
