#include "COrderPaymentDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "DatePicker.h"
#include "Formats.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Schema.h"
#include "Tooltip.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

COrderPaymentDlg::COrderPaymentDlg(AppContext &ctx, PayRecord &pay, const QString &title, bool isNew,
                                   Money debt, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_pay(pay) {
    Build(title);
    Show(debt, isNew);
}

void COrderPaymentDlg::Show(Money debt, bool isNew) {
    const PayRecord &pay = m_pay;
    m_debtBefore = debt + pay.SummaPay;
    m_number->setText(pay.NomerPay);
    m_date->setDate(pay.DataPay.isValid() ? pay.DataPay.date() : QDate::currentDate());
    m_purpose->setText(pay.NaznPay.isEmpty() ? kPurpose : pay.NaznPay);
    m_doc->setText(pay.DocPay);
    m_note->setText(pay.PrimPay);
    m_debt->setText(m_debtBefore.Text());
    // An overpaid order proposes nothing rather than a negative payment.
    m_amount->setText((isNew ? std::max(Money(), m_debtBefore) : pay.SummaPay).Text());
    AmountChanged();
    m_amount->setFocus();
    m_amount->selectAll();
}

void COrderPaymentDlg::Build(const QString &title) {
    setWindowTitle(title);
    Inputs::RoomForTitle(this);
    auto line = [this](const char *name, const QString &table, const QString &field) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        if (!table.isEmpty()) Inputs::LimitTo(edit, table, field);
        return edit;
    };
    const QString pay = QStringLiteral("TPay");
    m_number = line("number", pay, QStringLiteral("NomerPay"));
    m_doc = line("doc", pay, QStringLiteral("DocPay"));
    m_note = line("note", pay, QStringLiteral("PrimPay"));
    m_amount = line("amount", {}, {});
    m_amount->setAlignment(Qt::AlignRight);
    Inputs::Amount(m_amount);
    m_date = new QDateEdit(this);
    DatePicker::Limit(m_date);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_purpose = new QLabel(this);
    m_purpose->setObjectName(QStringLiteral("purpose"));
    m_debt = new QLabel(this);
    m_debt->setObjectName(QStringLiteral("debt"));
    m_rest = new QLabel(this);
    m_rest->setObjectName(QStringLiteral("rest"));

    Tooltip::Set(m_number, QStringLiteral("Номер"),
                 QStringLiteral("Номер платежного документа.\nПредлагается следующий по порядку номер."));
    Tooltip::Set(m_date, QStringLiteral("Дата платежа"), QStringLiteral("Дата поступления платежа."));
    Tooltip::Set(m_doc, QStringLiteral("Первичный документ"),
                 QStringLiteral("Первичный документ, по которому принят платеж\n(чек, квитанция, счет)."));
    Tooltip::Set(m_note, QStringLiteral("Примечание"), QStringLiteral("Примечание к платежу."));
    Tooltip::Set(m_amount, QStringLiteral("Сумма платежа"),
                 QStringLiteral("Сумма, уплаченная клиентом.\nОстаток долга пересчитывается при вводе."));

    connect(m_amount, &QLineEdit::textChanged, this, &COrderPaymentDlg::AmountChanged);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("№:"), m_number);
    form->addRow(QStringLiteral("Дата:"), m_date);
    form->addRow(QStringLiteral("Назначение:"), m_purpose);
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
    Inputs::ChainTabOrder({m_number, m_date, m_doc, m_note, m_amount, m_ok, m_cancel});
    resize(380, sizeHint().height());
}

Money COrderPaymentDlg::Amount() const {
    return Money::Parse(m_amount->text());
}

Money COrderPaymentDlg::Remainder() const {
    return m_debtBefore - Amount();
}

void COrderPaymentDlg::AmountChanged() {
    m_rest->setText(Remainder().Text());
}

void COrderPaymentDlg::accept() {
    for (QLineEdit *edit : {m_number, m_doc, m_note, m_amount}) edit->setText(edit->text().trimmed());
    const Money amount = Amount();
    if (amount.IsZero()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите сумму платежа!"));
        m_amount->setFocus();
        return;
    }
    m_pay.Delete = 0;
    m_pay.TypePay = OrderPayment;
    m_pay.SummaPay = amount;
    m_pay.DocPay = m_doc->text();
    m_pay.NaznPay = m_purpose->text();
    m_pay.NomerPay = m_number->text();
    m_pay.PrimPay = m_note->text();
    // The date is picked; the time of a stored payment is kept, a new one is taken now.
    const QTime time = m_pay.DataPay.isValid() ? m_pay.DataPay.time() : QTime::currentTime();
    m_pay.DataPay = QDateTime(m_date->date(), time);
    if (m_save && !m_save()) return;
    QDialog::accept();
}
