#include "CKassaView.h"

#include "AppContext.h"
#include "CCashOperationDlg.h"
#include "ChangeHistory.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "FlatModel.h"
#include "Formats.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
#include "PaymentEditing.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The journal's columns: number, date, amount, purpose, document, note, who.
QList<FlatModel<CashRow>::Column> Columns() {
    return {
        {QStringLiteral("№ платежа"), [](const CashRow &r) { return r.pay.NomerPay; }},
        {QStringLiteral("Дата платежа"), [](const CashRow &r) { return Formats::Date(r.pay.DataPay.date()); },
         [](const CashRow &r) { return QVariant(r.pay.DataPay); }},
        {QStringLiteral("Сумма"), [](const CashRow &r) { return r.pay.SummaPay.Text(); },
         [](const CashRow &r) { return QVariant(qlonglong(r.pay.SummaPay.kopecks())); }, Qt::AlignRight},
        {QStringLiteral("Назначение"), [](const CashRow &r) { return r.pay.NaznPay; }},
        {QStringLiteral("Первичный документ"), [](const CashRow &r) { return r.pay.DocPay; }},
        {QStringLiteral("Примечание"), [](const CashRow &r) { return r.pay.PrimPay; }},
        {QStringLiteral("Клиент"), [](const CashRow &r) { return r.Who(); }}};
}

}  // namespace

CKassaView::CKassaView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    setWindowTitle(kTitle);
    Build();
    FillFilterLists();
    Find();
    // Payments taken, changed or deleted elsewhere, and the client names they show.
    new LiveRefresh(
        this, ctx.db(), {QStringLiteral("TPay"), QStringLiteral("SClient")},
        [this](const DataChanges &) { Show(CashStore(m_ctx.db()).FillCashJournal(m_lastFilter)); });
}

void CKassaView::Build() {
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    QDate from, to;
    const QDate today = QDate::currentDate();
    from = QDate(today.year(), today.month(), 1);
    to = QDate(today.year(), today.month(), today.daysInMonth());
    auto date = [this](const char *name, const QDate &value) {
        auto *edit = new QDateEdit(value, this);
        DatePicker::Limit(edit);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return edit;
    };
    m_from = date("from", from);
    m_to = date("to", to);
    m_purpose = new QComboBox(this);
    m_purpose->setObjectName(QStringLiteral("purpose"));
    m_client = new QComboBox(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setEditable(true);
    m_client->setInsertPolicy(QComboBox::NoInsert);
    // Sized by a few letters, not by measuring every client's name (tens of thousands) when it first shows.
    m_client->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_client->setMinimumContentsLength(16);
    QPushButton *find = PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"),
                                      QStringLiteral("Найти"), QStringLiteral("Поиск"),
                                      QStringLiteral("Показать операции\nпо условиям отбора."), this);
    connect(find, &QPushButton::clicked, this, &CKassaView::Find);
    Tooltip::Set(m_number, QStringLiteral("№ платежа"), QStringLiteral("Номер кассового документа."));
    Tooltip::Set(m_from, QStringLiteral("Дата платежа"), QStringLiteral("Начало периода."));
    Tooltip::Set(m_to, QStringLiteral("Дата платежа"), QStringLiteral("Конец периода (включительно)."));
    Tooltip::Set(m_purpose, QStringLiteral("Назначение"), QStringLiteral("Назначение платежа."));
    Tooltip::Set(m_client, QStringLiteral("Клиент"),
                 QStringLiteral("Клиент, по лицевому счету которого\nпроведена операция."));

    auto *filters = new QGridLayout;
    const auto labelled = [&](int col, const QString &caption, QWidget *w) {
        filters->addWidget(new QLabel(caption, this), 0, col);
        filters->addWidget(w, 1, col);
    };
    labelled(0, QStringLiteral("№ пл.:"), m_number);
    labelled(1, QStringLiteral("Дата платежа:"), m_from);
    labelled(2, QString(), m_to);
    labelled(3, QStringLiteral("Назначение:"), m_purpose);
    labelled(4, QStringLiteral("Клиент:"), m_client);
    filters->addWidget(find, 1, 5);
    filters->setColumnStretch(3, 1);
    filters->setColumnStretch(4, 1);

    m_rows = new FlatModel<CashRow>(Columns(), [](const CashRow &r) { return r.pay.IddPay; });
    m_list = new KeyedView(m_rows, 6, {[this] { Add(); }, [this] { Edit(); }, [this] { Delete(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({70, 90, 120, 160, 160, 150, 150});
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);
    AddHistoryCommand(m_list->ContextMenu(), [this] {
        if (const CashRow *row = SelectedRow()) m_ctx.changeHistory().Payment(row->pay.IddPay, this);
    });

    auto total = [this](const char *name) {
        auto *label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setMinimumWidth(110);
        return label;
    };
    m_income = total("income");
    m_expense = total("expense");
    m_total = total("total");
    auto *totals = new QHBoxLayout;
    totals->addStretch();
    for (const auto &[caption, label] :
         {std::pair{QStringLiteral("Приход:"), m_income}, std::pair{QStringLiteral("Расход:"), m_expense},
          std::pair{QStringLiteral("Всего:"), m_total}}) {
        totals->addWidget(new QLabel(caption, this));
        totals->addWidget(label);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addLayout(totals);
    // Enter in a filter field applies the filter.
    connect(m_number, &QLineEdit::returnPressed, this, &CKassaView::Find);
    connect(m_client->lineEdit(), &QLineEdit::returnPressed, this, &CKassaView::Find);
}

void CKassaView::FillFilterLists() {
    QStringList purposes, clients;
    TryDb(m_ctx.prompter(), [&] {
        CashStore store(m_ctx.db());
        purposes = store.FillArticleList(false);
        clients = store.ClientNames();
    });
    m_purpose->addItem(QStringLiteral("Все"));
    m_purpose->addItems(purposes);
    m_purpose->setCurrentIndex(0);
    m_client->addItems(clients);
    m_client->setCurrentIndex(-1);
    m_client->setEditText(QString());
}

CashFilter CKassaView::FilterFromFields() const {
    CashFilter f;
    f.from = m_from->date();
    f.to = m_to->date();
    f.number = m_number->text().trimmed();
    f.purpose = m_purpose->currentIndex() > 0 ? m_purpose->currentText() : QString();
    f.client = m_client->currentText().trimmed();
    return f;
}

void CKassaView::Find() {
    const CashFilter filter = FilterFromFields();
    if (!DatePicker::PeriodAccepted(m_ctx.prompter(), filter.from, filter.to)) return;
    CashJournal journal;
    // A failed query leaves the list empty and the totals at zero.
    TryDb(m_ctx.prompter(), [&] { journal = CashStore(m_ctx.db()).FillCashJournal(filter); });
    m_lastFilter = filter;
    Show(std::move(journal));
}

void CKassaView::Show(CashJournal journal) {
    m_journal = std::move(journal);
    m_rowOf.clear();
    for (int i = 0; i < m_journal.rows.size(); ++i) m_rowOf.insert(m_journal.rows[i].pay.IddPay, i);
    m_rows->Set(m_journal.rows);  // shared with the journal, not copied
    m_list->FitColumns();
    m_income->setText(m_journal.income.Text());
    m_expense->setText(m_journal.expense.Text());
    m_total->setText(m_journal.total.Text());
}

bool CKassaView::Command(int id) {
    switch (id) {
        case kAdd:
            Add();
            return true;
        case kEdit:
            Edit();
            return true;
        case kDelete:
            Delete();
            return true;
        case kFind:
            Find();
            return true;
        default:
            return false;
    }
}

const CashRow *CKassaView::SelectedRow() const {
    const auto it = m_rowOf.constFind(m_list->SelectedValue(KeyedModel::kKeyRole));
    return it == m_rowOf.cend() ? nullptr : &m_journal.rows[*it];
}

void CKassaView::Add() {
    if (!m_ctx.CheckRight(kRightAdd)) return;
    CCashOperationDlg dlg(m_ctx, QString(), this);
    if (!dlg.Loaded()) return;
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    Find();
    m_list->SelectKey(KeyedModel::kKeyRole, dlg.saved().IddPay);
}

void CKassaView::Edit() {
    if (!m_ctx.CheckRight(kRightEdit)) return;
    const CashRow *row = SelectedRow();
    if (!row || row->pay.IddZakaz.isEmpty()) {
        m_ctx.prompter().Warning(kSelectOperation);
        return;
    }
    const CashRow chosen = *row;  // the list is refilled below
    bool saved = false;
    switch (chosen.pay.TypePay) {
        case SalaryPayout:
            // A payout row is the salary journal's too: its own right is wanted as well.
            if (!m_ctx.CheckRight(Right::EditSalary)) return;
            if (!m_payoutEditor) {
                m_ctx.prompter().Warning(kPayoutElsewhere);
                return;
            }
            saved = m_payoutEditor(chosen);
            break;
        case OrderPayment:
        case ClientAccount:
            saved = EditPaymentInDialog(m_ctx, chosen.pay.IddPay, this);
            break;
        case CashOperation: {
            CCashOperationDlg dlg(m_ctx, chosen.pay.IddPay, this);
            if (!dlg.Loaded()) return;
            saved = m_ctx.dialogs().Run(dlg) == QDialog::Accepted;
            break;
        }
        default:
            m_ctx.prompter().Warning(kSelectOperation);
            return;
    }
    if (!saved) return;
    Find();
    m_list->SelectKey(KeyedModel::kKeyRole, chosen.pay.IddPay);
}

void CKassaView::Delete() {
    if (!m_ctx.CheckRight(kRightDelete)) return;
    const CashRow *row = SelectedRow();
    if (!row) {
        m_ctx.prompter().Warning(kSelectOperation);
        return;
    }
    if (row->pay.TypePay == SalaryPayout && !m_ctx.CheckRight(Right::DeleteSalary)) return;
    const QString key = row->pay.IddPay;
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранную операцию?"))) return;
    TryDb(m_ctx.prompter(), [&] { CashStore(m_ctx.db()).DeletePayment(key); });
    Find();
}
