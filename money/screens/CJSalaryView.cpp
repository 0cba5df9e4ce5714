#include "CJSalaryView.h"

#include "AppContext.h"
#include "CSalaryAccrualDlg.h"
#include "CashStore.h"
#include "ChangeHistory.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "FlatModel.h"
#include "Formats.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
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

QDateEdit *DateEdit(QWidget *parent, const char *name, const QDate &value) {
    auto *edit = new QDateEdit(value, parent);
    DatePicker::Limit(edit);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return edit;
}

}  // namespace

CJSalaryView::CJSalaryView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    setWindowTitle(kTitle);
    Build();
    Find();
    // Payouts made, changed or deleted elsewhere.
    new LiveRefresh(
        this, ctx.db(), {QStringLiteral("TPay"), QStringLiteral("TWorkPay")},
        [this](const DataChanges &) { Show(SalaryStore(m_ctx.db()).SalaryJournal(m_lastFilter)); });
}

void CJSalaryView::Build() {
    const QDate today = QDate::currentDate();
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    // From the new year to the real end of this month.
    m_from = DateEdit(this, "from", QDate(today.year(), 1, 1));
    m_to = DateEdit(this, "to", QDate(today.year(), today.month(), today.daysInMonth()));
    m_purpose = new QComboBox(this);
    m_purpose->setObjectName(QStringLiteral("purpose"));
    m_purpose->setEditable(true);
    m_purpose->setInsertPolicy(QComboBox::NoInsert);
    QStringList purposes;
    TryDb(m_ctx.prompter(), [&] { purposes = CashStore(m_ctx.db()).FillPayoutPurposeList(); });
    purposes.sort(Qt::CaseInsensitive);
    m_purpose->addItems(purposes);
    m_purpose->setCurrentIndex(-1);
    m_purpose->setEditText(QString());
    QPushButton *find =
        PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"), QStringLiteral("Найти"),
                      QStringLiteral("Поиск"), QStringLiteral("Показать выплаты\nпо условиям отбора."), this);
    connect(find, &QPushButton::clicked, this, &CJSalaryView::Find);
    Tooltip::Set(m_number, QStringLiteral("№"), QStringLiteral("Номер выплаты."));
    Tooltip::Set(m_from, QStringLiteral("Период"), QStringLiteral("Начало периода."));
    Tooltip::Set(m_to, QStringLiteral("Период"), QStringLiteral("Конец периода (включительно)."));
    Tooltip::Set(m_purpose, QStringLiteral("Назначение"),
                 QStringLiteral("Назначение выплаты;\nпусто - любое."));

    auto *filters = new QGridLayout;
    const auto labelled = [&](int col, const QString &caption, QWidget *w) {
        filters->addWidget(new QLabel(caption, this), 0, col);
        filters->addWidget(w, 1, col);
    };
    labelled(0, QStringLiteral("№:"), m_number);
    labelled(1, QStringLiteral("Период:"), m_from);
    labelled(2, QString(), m_to);
    labelled(3, QStringLiteral("Назначение:"), m_purpose);
    filters->addWidget(find, 1, 4);
    filters->setColumnStretch(3, 1);

    // Money out of the cash desk, shown as the amount handed to the workers.
    const auto handed = [](const PayRecord &p) { return -p.SummaPay; };
    m_shown = new FlatModel<PayRecord>(
        {{QStringLiteral("№:"), [](const PayRecord &p) { return p.NomerPay; }},
         {QStringLiteral("Дата:"), [](const PayRecord &p) { return Formats::Date(p.DataPay.date()); },
          [](const PayRecord &p) { return QVariant(p.DataPay); }},
         {QStringLiteral("Назначение:"), [](const PayRecord &p) { return p.NaznPay; }},
         {QStringLiteral("Сумма"), [handed](const PayRecord &p) { return handed(p).Text(); },
          [handed](const PayRecord &p) { return QVariant(qlonglong(handed(p).kopecks())); }, Qt::AlignRight}},
        [](const PayRecord &p) { return p.IddPay; });
    m_list = new KeyedView(m_shown, 2, {[this] { Add(); }, [this] { Edit(); }, [this] { Delete(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({80, 100, 100, 100});
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);
    AddHistoryCommand(m_list->ContextMenu(), [this] {
        m_ctx.changeHistory().Payment(m_list->SelectedValue(KeyedModel::kKeyRole), this);
    });

    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("total"));
    m_total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_total->setFrameShape(QFrame::StyledPanel);
    m_total->setMinimumWidth(110);
    auto *totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(new QLabel(QStringLiteral("Всего:"), this));
    totals->addWidget(m_total);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addLayout(totals);
    connect(m_number, &QLineEdit::returnPressed, this, &CJSalaryView::Find);
    connect(m_purpose->lineEdit(), &QLineEdit::returnPressed, this, &CJSalaryView::Find);
}

SalaryFilter CJSalaryView::FilterFromFields() const {
    return {m_from->date(), m_to->date(), m_number->text().trimmed(), m_purpose->currentText().trimmed()};
}

void CJSalaryView::Find() {
    const SalaryFilter filter = FilterFromFields();
    if (!DatePicker::PeriodAccepted(m_ctx.prompter(), filter.from, filter.to)) return;
    QList<PayRecord> rows;
    // A failed query leaves the list empty and the total at zero.
    TryDb(m_ctx.prompter(), [&] { rows = SalaryStore(m_ctx.db()).SalaryJournal(filter); });
    m_lastFilter = filter;
    Show(std::move(rows));
}

void CJSalaryView::Show(QList<PayRecord> rows) {
    m_rows = std::move(rows);
    Money total;
    for (const PayRecord &p : m_rows) total -= p.SummaPay;  // handed to the workers
    m_shown->Set(m_rows);                                   // shared, not copied
    m_list->FitColumns();
    m_total->setText(total.Text());
}

bool CJSalaryView::Command(int id) {
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
        case kStatement:
            PrintStatement();
            return true;
        default:
            return false;
    }
}

void CJSalaryView::Add() {
    if (!m_ctx.CheckRight(kRightAdd)) return;
    CSalaryAccrualDlg dlg(m_ctx, QString(), this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    Find();
    m_list->SelectKey(KeyedModel::kKeyRole, dlg.saved().IddPay);
}

void CJSalaryView::Edit() {
    if (!m_ctx.CheckRight(kRightEdit)) return;
    const QString key = m_list->SelectedValue(KeyedModel::kKeyRole);
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToEdit);
        return;
    }
    CSalaryAccrualDlg dlg(m_ctx, key, this);
    if (!dlg.Loaded()) {
        Find();  // it was deleted elsewhere
        return;
    }
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    Find();
    m_list->SelectKey(KeyedModel::kKeyRole, key);
}

void CJSalaryView::Delete() {
    if (!m_ctx.CheckRight(kRightDelete)) return;
    const QString key = m_list->SelectedValue(KeyedModel::kKeyRole);
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToDelete);
        return;
    }
    if (!m_ctx.prompter().Confirm(kDeleteQuestion)) return;
    TryDb(m_ctx.prompter(), [&] { SalaryStore(m_ctx.db()).DeletePayout(key); });
    Find();
}

void CJSalaryView::PrintStatement() {
    const QString key = m_list->SelectedValue(KeyedModel::kKeyRole);
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToPrint);
        return;
    }
    for (const PayRecord &p : m_rows)
        if (p.IddPay == key && m_statementPrinter) m_statementPrinter(p);
}
