#include "OrderPaymentsPart.h"

#include "AppContext.h"
#include "COrderPaymentDlg.h"
#include "CounterStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyedList.h"
#include "PictureButton.h"
#include "Prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The payment's index in the order, kept in column 0.
constexpr int kPayIndexRole = Qt::UserRole + 1;

}  // namespace

OrderPaymentsPart::OrderPaymentsPart(AppContext &ctx, OrderEditor &editor, QWidget *parent)
    : QGroupBox(QStringLiteral("&Платежи по данному заказу:"), parent), m_ctx(ctx), m_editor(editor) {
    setObjectName(QStringLiteral("payBox"));  // Alt+П takes the clerk to the payments
    Build();
}

void OrderPaymentsPart::Build() {
    m_payments = new KeyedList(this);
    m_payments->setObjectName(QStringLiteral("payments"));
    m_payments->SetColumns(
        {QStringLiteral("№ платежа"), QStringLiteral("Дата платежа"), QStringLiteral("Сумма"),
         QStringLiteral("Назначение"), QStringLiteral("Первичный документ"), QStringLiteral("Примечание")},
        {70, 90, 120, 160, 160, 150}, {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight});
    m_payments->setRootIsDecorated(false);
    m_payments->SetCommands(
        {[this] { AddPayment(); }, [this] { EditPayment(); }, [this] { DeletePayment(); }});
    m_payments->SetMenuTexts(QStringLiteral("Добавить платеж"), QStringLiteral("Изменить платеж"),
                             QStringLiteral("Удалить платеж"));
    m_add =
        PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                      QStringLiteral("Добавить платеж"), QStringLiteral("Принять платеж по заказу."), this);
    m_edit =
        PictureButton(QStringLiteral("edit"), QStringLiteral("document-edit"), QStringLiteral("Изменить"),
                      QStringLiteral("Изменить платеж"), QStringLiteral("Изменить выбранный платеж."), this);
    m_del =
        PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                      QStringLiteral("Удалить платеж"), QStringLiteral("Удалить выбранный платеж."), this);
    auto label = [this](const char *name) {
        auto *l = new QLabel(Money().Text(), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setMinimumWidth(90);
        return l;
    };
    m_paidText = label("paid");
    m_debtText = label("debt");

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_add, m_edit, m_del}) buttons->addWidget(b);
    buttons->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(m_payments, 1);
    row->addLayout(buttons);
    auto *totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(new QLabel(QStringLiteral("Итого уплачено:"), this));
    totals->addWidget(m_paidText);
    totals->addWidget(new QLabel(QStringLiteral("Задолженность:"), this));
    totals->addWidget(m_debtText);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(totals);

    connect(m_add, &QPushButton::clicked, this, [this] { AddPayment(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { EditPayment(); });
    connect(m_del, &QPushButton::clicked, this, [this] { DeletePayment(); });
}

QList<QWidget *> OrderPaymentsPart::TabOrder() const {
    return {m_payments, m_add, m_edit, m_del};
}

void OrderPaymentsPart::Fill() {
    m_payments->clear();
    const QList<PayRecord> &payments = m_editor.order().payments;
    for (int i : m_editor.ShownPayments()) {
        const PayRecord &p = payments[i];
        auto *item = new QTreeWidgetItem(m_payments, {p.NomerPay, Formats::Date(p.DataPay), p.SummaPay.Text(),
                                                      p.NaznPay, p.DocPay, p.PrimPay});
        item->setData(0, kPayIndexRole, i);
        item->setTextAlignment(ColAmount, Qt::AlignRight | Qt::AlignVCenter);
    }
    ShowTotals();
    emit Changed();
}

void OrderPaymentsPart::ShowTotals() {
    m_paidText->setText(m_editor.Paid().Text());
    m_debtText->setText(m_editor.Debt().Text());
}

int OrderPaymentsPart::Selected(const QString &warning) const {
    QTreeWidgetItem *item = m_payments->currentItem();
    bool ok = false;
    const int i = item && item->isSelected() ? item->data(0, kPayIndexRole).toInt(&ok) : -1;
    if (ok && i >= 0 && i < m_editor.order().payments.size()) return i;
    m_ctx.prompter().Warning(warning);
    return -1;
}

void OrderPaymentsPart::AddPayment() {
    if (!m_ctx.CheckRight(Right::AddOrderPayment)) return;
    PayRecord pay;
    long next = 0;
    if (!TryDb(m_ctx.prompter(), [&] { next = CounterStore(m_ctx.db()).NextPayNumber(); })) return;
    // Only proposed: the save numbers it from the counter, so cancelling the form takes no number.
    pay.NomerPay = pay.ProposedNomer = QString::number(next);
    pay.DataPay = QDateTime::currentDateTime();
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.IddZakaz = m_editor.order().IddZakaz;
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kNewTitle, true, m_editor.Debt(), this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    m_editor.AddPayment(pay);
    Fill();
}

void OrderPaymentsPart::EditPayment() {
    if (!m_ctx.CheckRight(Right::EditOrderPayment)) return;
    const int i = Selected(QStringLiteral("Выберите платеж в списке, для его изменения!"));
    if (i < 0) return;
    PayRecord pay = m_editor.order().payments[i];
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kEditTitle, false, m_editor.Debt(), this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    m_editor.ReplacePayment(i, pay);
    Fill();
}

void OrderPaymentsPart::DeletePayment() {
    if (!m_ctx.CheckRight(Right::DeleteOrderPayment)) return;
    const int i = Selected(QStringLiteral("Выберите платеж в списке, для его удаления!"));
    if (i < 0) return;
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранный платеж?"))) return;
    m_editor.RemovePayment(i);
    Fill();
}
