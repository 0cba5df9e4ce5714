#include "CClientAccountPage.h"

#include "AppContext.h"
#include "CClientPaymentDlg.h"
#include "CashStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PaymentEditing.h"
#include "PaymentStore.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QVBoxLayout>

namespace {

const QStringList kHeadings = {
    QStringLiteral("№ платежа"),  QStringLiteral("Дата платежа"),       QStringLiteral("Сумма"),
    QStringLiteral("Назначение"), QStringLiteral("Первичный документ"), QStringLiteral("Примечание")};
constexpr int kSumColumn = 2;

}  // namespace

CClientAccountPage::CClientAccountPage(AppContext &ctx, const QString &iddClient,
                                       std::function<bool()> mayCreate, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_iddClient(iddClient), m_mayCreate(std::move(mayCreate)) {
    m_list = new KeyedList(kHeadings, 5,
                           {[this] { AddPayment(); }, [this] { EditPayment(); }, [this] { DeletePayment(); }},
                           this);
    m_list->setObjectName(QStringLiteral("payments"));
    m_list->SetColumns(kHeadings, {70, 90, 120, 160, 160, 150},
                       {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight | Qt::AlignVCenter});
    m_list->SetMenuTexts(QStringLiteral("Добавить платеж"), QStringLiteral("Изменить платеж"),
                         QStringLiteral("Удалить платеж"));
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);
    Tooltip::Set(m_list, QStringLiteral("Лицевой счет клиента"),
                 QStringLiteral("Платежи по заказам клиента и движение\nпо его лицевому счету.\n"
                                "Правая кнопка мыши открывает меню."));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_list);
    // Payments taken or changed elsewhere: the card reads its pages and totals again.
    new LiveRefresh(this, ctx.db(), {QStringLiteral("TPay")},
                    [this](const DataChanges &) { emit changed(); });
}

void CClientAccountPage::Refill() {
    QList<PayRecord> rows;
    const QString current = m_list->CurrentKey();
    m_list->clear();
    m_payments = Money();
    TryDb(m_ctx.prompter(), [&] { rows = CashStore(m_ctx.db()).ClientAccount(m_iddClient); });
    for (const PayRecord &p : std::as_const(rows)) {
        QTreeWidgetItem *item = m_list->AddRow(
            {p.NomerPay, Formats::Date(p.DataPay.date()), p.SummaPay.Text(), p.NaznPay, p.DocPay, p.PrimPay},
            p.IddPay);
        KeyedList::SetSortValue(item, 1, p.DataPay);
        KeyedList::SetSortValue(item, kSumColumn, p.SummaPay);
        m_payments += p.SummaPay;
    }
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}

// The account's payments are the cash desk's rows: the cash journal's rights guard them here too.
void CClientAccountPage::AddPayment() {
    if (!m_ctx.CheckRight(Right::AddCash) || !m_mayCreate()) return;
    PayRecord pay;
    CClientPaymentDlg dlg(m_ctx, m_iddClient, pay, this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    QString key;
    if (pay.TypePay == OrderPayment
            ? !SaveNewOrderPayment(m_ctx, pay, pay.IddZakaz, dlg.DebtSeen(), &key)
            : !TryDb(m_ctx.prompter(),
                     [&] { key = PaymentStore(m_ctx.db()).SavePayment(pay, pay.IddZakaz, m_ctx.login()); }))
        return;
    emit changed();
    m_list->SelectKey(key);
}

void CClientAccountPage::EditPayment() {
    if (!m_ctx.CheckRight(Right::EditCash)) return;
    const QString key = m_list->CurrentKey();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите платеж для его редактирования!"));
        return;
    }
    if (!EditPaymentInDialog(m_ctx, key, this)) return;
    emit changed();
    m_list->SelectKey(key);
}

void CClientAccountPage::DeletePayment() {
    if (!m_ctx.CheckRight(Right::DeleteCash)) return;
    const QString key = m_list->CurrentKey();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите платеж для его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить платеж?"))) return;
    TryDb(m_ctx.prompter(), [&] { CashStore(m_ctx.db()).DeletePayment(key); });
    emit changed();
}
