#include "CClientOrdersPage.h"

#include "AppContext.h"
#include "COrderPaymentDlg.h"
#include "CashStore.h"
#include "CounterStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "OrderForms.h"
#include "PaymentEditing.h"
#include "PaymentStore.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

namespace {

const QStringList kHeadings = {QStringLiteral("Клиент:"), QStringLiteral("№:"),     QStringLiteral("Дата:"),
                               QStringLiteral("с:"),      QStringLiteral("по:"),    QStringLiteral("Гос.№:"),
                               QStringLiteral("Марка:"),  QStringLiteral("Сумма:"), QStringLiteral("Долг:")};
constexpr int kSumColumn = 7;
constexpr int kDebtColumn = 8;

QColor StatusColour(int status) {
    switch (status) {
        case 0:
            return QColor(10, 10, 180);
        case 1:
            return QColor(10, 150, 10);
        default:
            return QColor(200, 10, 10);
    }
}

}  // namespace

CClientOrdersPage::CClientOrdersPage(AppContext &ctx, const QString &iddClient,
                                     std::function<bool()> mayCreate, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_iddClient(iddClient), m_mayCreate(std::move(mayCreate)) {
    m_list = new KeyedList(
        kHeadings, 0, {[this] { AddOrder(); }, [this] { EditOrder(); }, [this] { DeleteOrder(); }}, this);
    m_list->setObjectName(QStringLiteral("orders"));
    QList<Qt::Alignment> align(kHeadings.size(), Qt::AlignLeft);
    align[kSumColumn] = align[kDebtColumn] = Qt::AlignRight | Qt::AlignVCenter;
    m_list->SetColumns(kHeadings, {100, 60, 90, 100, 100, 100, 100, 90, 90}, align);
    m_list->SetMenuTexts(QStringLiteral("Добавить заказ"), QStringLiteral("Изменить заказ"),
                         QStringLiteral("Удалить заказ"));
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);
    QAction *pay = m_list->ContextMenu()->addAction(QStringLiteral("Добавить платеж"));
    pay->setObjectName(QStringLiteral("addPayment"));
    connect(pay, &QAction::triggered, this, &CClientOrdersPage::AddPayment);
    Tooltip::Set(m_list, QStringLiteral("Заказы клиента"),
                 QStringLiteral("Заказы клиента.\nПравая кнопка мыши открывает меню."));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_list);
    // The client's orders and what was paid on them, as written elsewhere: the card reads its pages and
    // totals again.
    new LiveRefresh(this, ctx.db(), {QStringLiteral("TZakaz"), QStringLiteral("TService")},
                    [this](const DataChanges &) { emit changed(); });
}

void CClientOrdersPage::Refill() {
    QList<ClientOrderRow> orders;
    const QString current = m_list->CurrentKey();
    m_list->clear();
    m_services = Money();
    TryDb(m_ctx.prompter(), [&] { orders = CashStore(m_ctx.db()).ClientOrders(m_iddClient); });
    for (const ClientOrderRow &o : std::as_const(orders)) {
        QTreeWidgetItem *item = m_list->AddRow(
            {o.ClientName, o.ZakazNomer, Formats::Date(o.ZakazData), Formats::DateTime(o.ZakazBegin),
             Formats::DateTime(o.ZakazEndOut), o.AvtoNomer, o.AvtoMarka, o.total.Text(), o.debt.Text()},
            o.IddZakaz);
        KeyedList::SetSortValue(item, 2, o.ZakazData);
        KeyedList::SetSortValue(item, 3, o.ZakazBegin);
        KeyedList::SetSortValue(item, 4, o.ZakazEndOut);
        KeyedList::SetSortValue(item, kSumColumn, o.total);
        KeyedList::SetSortValue(item, kDebtColumn, o.debt);
        for (int c = 0; c < kHeadings.size(); ++c) {
            item->setForeground(c, StatusColour(o.ZakazStatus));
            if (o.debt.IsOutstanding()) item->setBackground(c, QColor(255, 240, 240));
        }
        m_services += o.total;
    }
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}

void CClientOrdersPage::AddOrder() {
    if (!m_ctx.CheckRight(Right::AddOrder) || !m_mayCreate()) return;
    QString iddZakaz;
    if (!m_ctx.orderForms().Open(OrderFormMode::New, m_iddClient, iddZakaz, this)) return;
    emit changed();
    m_list->SelectKey(iddZakaz);
}

void CClientOrdersPage::EditOrder() {
    if (!m_ctx.CheckRight(Right::EditOrder)) return;
    QString iddZakaz = m_list->CurrentKey();
    if (iddZakaz.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его редактирования!"));
        return;
    }
    if (!m_ctx.orderForms().Open(OrderFormMode::Edit, m_iddClient, iddZakaz, this)) return;
    emit changed();
    m_list->SelectKey(iddZakaz);
}

void CClientOrdersPage::DeleteOrder() {
    if (!m_ctx.CheckRight(Right::DeleteOrder)) return;
    const QString iddZakaz = m_list->CurrentKey();
    if (iddZakaz.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его удаления!"));
        return;
    }
    OrderForms &forms = m_ctx.orderForms();
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить заказ?"))) return;
    TryDb(m_ctx.prompter(), [&] { forms.Delete(iddZakaz); });
    emit changed();
}

void CClientOrdersPage::AddPayment() {
    if (!m_ctx.CheckRight(Right::AddOrderPayment)) return;
    const QString iddZakaz = m_list->CurrentKey();
    if (iddZakaz.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его оплаты!"));
        return;
    }
    if (!m_mayCreate()) return;
    PayRecord pay;
    Money debt;
    if (!TryDb(m_ctx.prompter(), [&] {
            pay.NomerPay = QString::number(CounterStore(m_ctx.db()).Next(DocCounter::Pay));
            debt = CashStore(m_ctx.db()).OrderDebt(iddZakaz);
        }))
        return;
    pay.ProposedNomer = pay.NomerPay;
    pay.DataPay = QDateTime::currentDateTime();
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.TypePay = OrderPayment;
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kNewTitle, true, debt, this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    SaveNewOrderPayment(m_ctx, pay, iddZakaz, debt);
    emit changed();
}
