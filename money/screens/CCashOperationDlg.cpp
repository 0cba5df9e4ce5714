#include "CCashOperationDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "CashStore.h"
#include "CounterStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "Formats.h"
#include "Inputs.h"
#include "PaymentStore.h"
#include "Prompter.h"
#include "Schema.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CCashOperationDlg::CCashOperationDlg(AppContext &ctx, const QString &iddPay, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_isNew(iddPay.isEmpty()) {
    m_pay.IddPay = iddPay;
    Build();
    Load();
}

void CCashOperationDlg::Build() {
    setWindowTitle(QStringLiteral("Кассовая операция"));
    auto line = [this](const char *name, const QString &field) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        if (!field.isEmpty()) edit->setMaxLength(FieldMaxLength(QStringLiteral("TPay"), field));
        return edit;
    };
    m_income = new QRadioButton(QStringLiteral("Приход"), this);
    m_income->setObjectName(QStringLiteral("income"));
    m_expense = new QRadioButton(QStringLiteral("Расход"), this);
    m_expense->setObjectName(QStringLiteral("expense"));
    m_income->setChecked(true);
    m_article = new QComboBox(this);
    m_article->setObjectName(QStringLiteral("article"));
    m_article->setEditable(true);  // a new article is typed in
    m_article->setInsertPolicy(QComboBox::NoInsert);
    m_article->lineEdit()->setMaxLength(FieldMaxLength(QStringLiteral("TPay"), QStringLiteral("NaznPay")));
    m_number = line("number", QStringLiteral("NomerPay"));
    m_date = new QDateEdit(QDate::currentDate(), this);
    DatePicker::Limit(m_date);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_doc = line("doc", QStringLiteral("DocPay"));
    m_note = line("note", QStringLiteral("PrimPay"));
    m_amount = line("amount", {});
    m_amount->setAlignment(Qt::AlignRight);
    Inputs::Amount(m_amount);  // the sign is the kind's

    Tooltip::Set(m_income, QStringLiteral("Приход"), QStringLiteral("Поступление денег в кассу."));
    Tooltip::Set(m_expense, QStringLiteral("Расход"), QStringLiteral("Выдача денег из кассы."));
    Tooltip::Set(m_article, QStringLiteral("Назначение"),
                 QStringLiteral("Статья кассовой операции.\nМожно выбрать из списка или ввести новую."));
    Tooltip::Set(m_number, QStringLiteral("Номер операции"),
                 QStringLiteral("Номер кассового документа.\nНовой операции присваивается при сохранении."));
    Tooltip::Set(m_date, QStringLiteral("Дата операции"), QStringLiteral("Дата кассового документа."));
    Tooltip::Set(m_doc, QStringLiteral("Первичный документ"), QStringLiteral("Первичный документ операции."));
    Tooltip::Set(m_note, QStringLiteral("Примечание"), QStringLiteral("Примечание к операции."));
    Tooltip::Set(m_amount, QStringLiteral("Сумма"), QStringLiteral("Сумма операции без знака."));
    connect(m_income, &QRadioButton::toggled, this, &CCashOperationDlg::KindChosen);

    auto *kinds = new QHBoxLayout;
    kinds->addWidget(m_income);
    kinds->addWidget(m_expense);
    kinds->addStretch();
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Операция:"), kinds);
    form->addRow(QStringLiteral("№:"), m_number);
    form->addRow(QStringLiteral("Дата:"), m_date);
    form->addRow(QStringLiteral("Назначение:"), m_article);
    form->addRow(QStringLiteral("Первичный документ:"), m_doc);
    form->addRow(QStringLiteral("Примечание:"), m_note);
    form->addRow(QStringLiteral("Сумма:"), m_amount);
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить операцию\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    Inputs::ChainTabOrder(
        {m_income, m_expense, m_number, m_date, m_article, m_doc, m_note, m_amount, m_ok, m_cancel});
    resize(420, sizeHint().height());
}

void CCashOperationDlg::Load() {
    QStringList articles;
    std::optional<PayRecord> stored;
    m_loaded = TryDb(m_ctx.prompter(), [&] {
        articles = CashStore(m_ctx.db()).FillArticleList(true);
        if (!m_isNew) stored = PaymentStore(m_ctx.db()).LoadPayment(m_pay.IddPay);
    });
    m_article->clear();  // loaded again when the clerk takes the stored row instead of his edits
    m_article->addItems(articles);
    m_article->setCurrentIndex(-1);
    m_article->setEditText(QString());
    if (m_isNew) {
        // The counter gives the number when the operation is saved; the field shows what it will likely be.
        m_number->setEnabled(false);
        KindChosen();
        return;
    }
    if (!stored) {
        if (m_loaded)
            m_ctx.prompter().Warning(
                QStringLiteral("Операция не найдена: она удалена с другого рабочего места."));
        m_loaded = false;
        return;
    }
    m_pay = *stored;
    m_stored = stored;
    const QSignalBlocker quiet(m_income);
    (m_pay.SummaPay < Money() ? m_expense : m_income)->setChecked(true);
    m_article->setEditText(m_pay.NaznPay);
    m_number->setText(m_pay.NomerPay);
    m_date->setDate(m_pay.DataPay.date());
    m_doc->setText(m_pay.DocPay);
    m_note->setText(m_pay.PrimPay);
    m_amount->setText(m_pay.SummaPay.Abs().Text());
}

void CCashOperationDlg::KindChosen() {
    if (!m_isNew) return;  // an edited operation keeps its number
    long next = 0;
    TryDb(m_ctx.prompter(), [&] {
        next = CounterStore(m_ctx.db()).Next(m_expense->isChecked() ? DocCounter::OutPay : DocCounter::Pay);
    });
    m_proposed = QString::number(next);
    m_number->setText(m_proposed);
}

void CCashOperationDlg::accept() {
    for (QLineEdit *edit : {m_number, m_doc, m_note, m_amount}) edit->setText(edit->text().trimmed());
    m_article->setEditText(m_article->currentText().trimmed());
    if (m_number->text().isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите номер операции!"));
        m_number->setFocus();
        return;
    }
    const Money amount = Money::Parse(m_amount->text()).Abs();
    // An operation of nothing moves no money and would take a number from the wrong counter.
    if (amount.IsZero()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите сумму операции!"));
        m_amount->setFocus();
        return;
    }
    PayRecord pay = m_pay;
    pay.IddZakaz = QStringLiteral("0");
    pay.TypePay = CashOperation;
    pay.NaznPay = m_article->currentText();
    pay.NomerPay = m_number->text();
    pay.ProposedNomer = m_isNew ? m_proposed : QString();
    const QTime time = m_pay.DataPay.isValid() ? m_pay.DataPay.time() : QTime::currentTime();
    pay.DataPay = QDateTime(m_date->date(), time);
    pay.DocPay = m_doc->text();
    pay.PrimPay = m_note->text();
    pay.SummaPay = m_expense->isChecked() ? -amount : amount;
    pay.Delete = 0;
    const auto save = [&] {
        PaymentStore(m_ctx.db()).SavePayment(pay, QStringLiteral("0"), m_ctx.login(), {}, m_stored);
    };
    if (!TrySave(this, m_ctx.prompter(), save, [this] { Load(); }))
        return;  // nothing stored; the dialog stays open with what was typed
    m_pay = pay;
    QDialog::accept();
}
