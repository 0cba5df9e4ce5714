#include "CSalaryAccrualDlg.h"

#include "AppContext.h"
#include "CWorkerWorksDlg.h"
#include "CardButtons.h"
#include "CounterStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "MoneyPrintouts.h"
#include "PaymentEditing.h"
#include "PaymentStore.h"
#include "PictureButton.h"
#include "SalaryStore.h"
#include "Schema.h"
#include "Tooltip.h"

#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int kWorkPayRole = Qt::UserRole + 1;
// The figure a cell shows, kept as a number for the totals.
constexpr int kValueRole = KeyedList::kSortRole;

// Only "Выдать руб.:" is typed into, and only as an amount (a negative one where a worker was overpaid).
class PayoutDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        if (index.column() != CSalaryAccrualDlg::kPayout) return nullptr;
        auto *edit = qobject_cast<QLineEdit *>(QStyledItemDelegate::createEditor(parent, option, index));
        if (edit) {
            edit->setObjectName(QStringLiteral("payoutEditor"));
            edit->setAlignment(Qt::AlignRight);
            Inputs::Amount(edit, true);
        }
        return edit;
    }
};

QDateEdit *DateEdit(QWidget *parent, const char *name) {
    auto *edit = new QDateEdit(QDate::currentDate(), parent);
    DatePicker::Limit(edit);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    return edit;
}

}  // namespace

CSalaryAccrualDlg::CSalaryAccrualDlg(AppContext &ctx, const QString &iddPay, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_isNew(iddPay.isEmpty()) {
    Build();
    if (m_isNew) {
        setWindowTitle(kNewTitle);
        long next = 0;
        TryDb(m_ctx.prompter(), [&] { next = CounterStore(m_ctx.db()).NextSalaryNumber(); });
        m_proposed = next > 0 ? QString::number(next) : QString();
        m_number->setText(m_proposed);
        Recount();
    } else {
        setWindowTitle(kEditTitle);
        LoadPayout(iddPay);
    }
    resize(760, 520);
    KeyedList::WidenToFit(this);
}

void CSalaryAccrualDlg::Build() {
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setMaxLength(FieldMaxLength(QStringLiteral("TPay"), QStringLiteral("NomerPay")));
    m_date = DateEdit(this, "date");
    m_purpose = new QComboBox(this);
    m_purpose->setObjectName(QStringLiteral("purpose"));
    m_purpose->addItems({QStringLiteral("Зарплата"), QStringLiteral("Аванс")});
    m_percent = new QLineEdit(QStringLiteral("100"), this);
    m_percent->setObjectName(QStringLiteral("percent"));
    m_percent->setAlignment(Qt::AlignRight);
    Inputs::Amount(m_percent);
    m_onDate = DateEdit(this, "onDate");
    m_recount = PictureButton(
        QStringLiteral("Recount"), QStringLiteral("view-refresh"), QStringLiteral("Расчитать"),
        QStringLiteral("Расчитать"),
        QStringLiteral("Заново рассчитать суммы к выдаче.\nВнесенные вручную суммы будут потеряны."), this);
    auto *sel = PictureButton(QStringLiteral("Sel"), QStringLiteral("edit-select-all"),
                              QStringLiteral("Выбрать всех"), QStringLiteral("Выбрать всех"),
                              QStringLiteral("Отметить всех сотрудников к выплате."), this);
    auto *unsel = PictureButton(QStringLiteral("UnSel"), QStringLiteral("edit-select-none"),
                                QStringLiteral("Снять выбор"), QStringLiteral("Снять выбор"),
                                QStringLiteral("Снять отметки со всех сотрудников."), this);
    auto *works = PictureButton(QStringLiteral("Works"), QStringLiteral("view-list-details"),
                                QStringLiteral("Работы"), QStringLiteral("Сведения о выполненных работах"),
                                QStringLiteral("Работы выбранного сотрудника\nпо дату расчета."), this);
    connect(m_recount, &QPushButton::clicked, this, &CSalaryAccrualDlg::Recount);
    connect(sel, &QPushButton::clicked, this, [this] { SelectAll(true); });
    connect(unsel, &QPushButton::clicked, this, [this] { SelectAll(false); });
    auto *print = PictureButton(QStringLiteral("Print"), QStringLiteral("document-print-preview"),
                                QStringLiteral("Печать"), QStringLiteral("Печать ведомости"),
                                QStringLiteral("Ведомость на получение\nпо отмеченным сотрудникам."), this);
    connect(works, &QPushButton::clicked, this, &CSalaryAccrualDlg::Works);
    connect(print, &QPushButton::clicked, this, &CSalaryAccrualDlg::Print);

    Tooltip::Set(m_number, QStringLiteral("№ выплаты"),
                 QStringLiteral("Номер платежной ведомости.\nПредлагается следующий по порядку номер."));
    Tooltip::Set(m_date, QStringLiteral("Дата"), QStringLiteral("Дата выплаты."));
    Tooltip::Set(m_purpose, QStringLiteral("Назначение"), QStringLiteral("Зарплата или аванс."));
    Tooltip::Set(m_percent, QStringLiteral("% от начиления"),
                 QStringLiteral("Какая часть долга перед сотрудником\nпредлагается к выдаче, в процентах."));
    Tooltip::Set(
        m_onDate, QStringLiteral("Дата работ"),
        QStringLiteral("Учитываются работы, исполненные\nпо этот день включительно, и выплаты по него."));

    BuildList();

    auto *top = new QGridLayout;
    const auto labelled = [&](int row, int col, const QString &caption, QWidget *w) {
        top->addWidget(new QLabel(caption, this), row, col);
        top->addWidget(w, row, col + 1);
    };
    labelled(0, 0, QStringLiteral("№:"), m_number);
    labelled(0, 2, QStringLiteral("Дата:"), m_date);
    labelled(0, 4, QStringLiteral("Назначение:"), m_purpose);
    labelled(1, 0, QStringLiteral("% от выпол.:"), m_percent);
    labelled(1, 2, QStringLiteral("на дату:"), m_onDate);
    top->addWidget(m_recount, 1, 4, 1, 2, Qt::AlignLeft);
    top->setColumnStretch(5, 1);

    auto *side = new QVBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(sel), static_cast<QWidget *>(unsel),
                       static_cast<QWidget *>(print), static_cast<QWidget *>(works)})
        side->addWidget(w);
    side->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(m_list, 1);
    middle->addLayout(side);

    QGridLayout *totals = BuildTotals();

    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить выплату\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    Inputs::ChainTabOrder({m_number, m_date, m_purpose, m_percent, m_onDate, m_recount, m_list, sel, unsel,
                           print, works, m_ok, m_cancel});

    // A change of the percent proposes the payouts again from the debts on screen (what a worker earned
    // and was paid does not depend on it); a change of the day reads the figures again. The percent can
    // only be typed non-negative.
    connect(m_percent, &QLineEdit::textChanged, this, [this] {
        if (m_isNew) ProposePayouts();
    });
    connect(m_onDate, &QDateEdit::dateChanged, this, [this] {
        if (m_isNew) Recount();
    });
}

// The workers' list: a row per worker, ticked to be paid, with only the payout typed into.
void CSalaryAccrualDlg::BuildList() {
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_list = new KeyedList(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetColumns(
        {QStringLiteral("Сотрудник:"), QStringLiteral("Выдать руб.:"), QStringLiteral("Долг. руб.:"),
         QStringLiteral("Выполнено руб.:"), QStringLiteral("Всего выдано:")},
        {200, 100, 100, 100, 100}, {Qt::AlignLeft, right, right, right, right});
    m_list->SetStretchColumn(kName);
    m_list->setRootIsDecorated(false);
    m_list->setItemDelegate(new PayoutDelegate(m_list));
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    // Enter and a double-click type the amount of the row.
    m_list->SetCommands({{},
                         [this] {
                             if (QTreeWidgetItem *item = m_list->Selected()) m_list->editItem(item, kPayout);
                         },
                         {}});
    m_list->SetMenuTexts({}, QStringLiteral("Изменить сумму"), {});
    connect(m_list, &QTreeWidget::itemChanged, this, &CSalaryAccrualDlg::ItemChanged);
}

// The four read-only totals under the list.
QGridLayout *CSalaryAccrualDlg::BuildTotals() {
    auto *totals = new QGridLayout;
    const auto figure = [&](int row, int col, const char *name, const QString &caption) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAlignment(Qt::AlignRight);
        Inputs::ReadOnlyFigure(edit);
        totals->addWidget(new QLabel(caption, this), row, col, Qt::AlignRight);
        totals->addWidget(edit, row, col + 1);
        return edit;
    };
    m_totalPayout = figure(0, 0, "totalPayout", QStringLiteral("Итого выдать:"));
    m_totalDebt = figure(0, 2, "totalDebt", QStringLiteral("Итого долг:"));
    m_totalEarned = figure(1, 0, "totalEarned", QStringLiteral("Итого выполнено:"));
    m_totalPaid = figure(1, 2, "totalPaid", QStringLiteral("Итого выдано:"));
    return totals;
}

void CSalaryAccrualDlg::LoadPayout(const QString &iddPay) {
    std::optional<PayRecord> pay;
    QList<PayoutLine> lines;
    m_loaded = TryDb(m_ctx.prompter(), [&] {
        pay = PaymentStore(m_ctx.db()).LoadPayment(iddPay);
        if (pay) lines = SalaryStore(m_ctx.db()).LoadPayoutLines(iddPay);
    });
    if (!m_loaded) return;
    if (!pay || pay->Delete || pay->TypePay != SalaryPayout) {
        m_ctx.prompter().Warning(kPaymentGone);
        m_loaded = false;
        return;
    }
    m_stored = *pay;
    m_storedLines = lines;
    m_number->setText(pay->NomerPay);
    m_date->setDate(pay->DataPay.date());
    if (m_purpose->findText(pay->NaznPay) < 0) m_purpose->addItem(pay->NaznPay);
    m_purpose->setCurrentText(pay->NaznPay);
    // A stored payout keeps what was handed out: it is not counted again.
    m_percent->setEnabled(false);
    m_onDate->setEnabled(false);
    m_recount->setEnabled(false);
    m_filling = true;
    m_list->clear();
    for (const PayoutLine &line : lines) {
        QTreeWidgetItem *item =
            m_list->AddRow({line.WorkFIO, line.SummaWorkPay.Text(), {}, {}, {}}, line.IddWork);
        item->setData(0, kWorkPayRole, line.IddWorkPay);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(kName, Qt::Checked);
    }
    m_filling = false;
    m_list->FitColumns();
    UpdateTotals();
}

void CSalaryAccrualDlg::Recount() {
    QList<WorkerFigures> workers;
    m_figuresRead =
        TryDb(m_ctx.prompter(), [&] { workers = SalaryStore(m_ctx.db()).WorkerBalances(m_onDate->date()); });
    m_ok->setEnabled(m_figuresRead);
    m_filling = true;
    m_list->clear();
    for (const WorkerFigures &w : workers) {
        QTreeWidgetItem *item =
            m_list->AddRow({w.WorkFIO, {}, w.Debt().Text(), w.earned.Text(), w.paid.Text()}, w.IddWork);
        item->setData(0, kWorkPayRole, QString());
        item->setData(kDebt, kValueRole, qlonglong(w.Debt().kopecks()));
        item->setData(kEarned, kValueRole, qlonglong(w.earned.kopecks()));
        item->setData(kPaid, kValueRole, qlonglong(w.paid.kopecks()));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(kName, Qt::Checked);
        // Those who have left are told apart.
        if (w.WorkOut)
            for (int c = 0; c < m_list->columnCount(); ++c) item->setForeground(c, QColor(10, 10, 200));
    }
    m_filling = false;
    ProposePayouts();
    m_list->FitColumns();
}

void CSalaryAccrualDlg::ProposePayouts() {
    const double percent = Formats::ParseNumber(m_percent->text());
    m_filling = true;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        const Money debt = Money::Kopecks(item->data(kDebt, kValueRole).toLongLong());
        item->setText(kPayout, debt.Percent(percent).Text());
    }
    m_filling = false;
    UpdateTotals();
}

void CSalaryAccrualDlg::ItemChanged(QTreeWidgetItem *item, int column) {
    if (m_filling) return;
    if (column == kPayout) {
        // Stored as the number it is read as, so the cell and the totals agree.
        const QString typed = item->text(kPayout).trimmed().replace(u',', u'.');
        m_filling = true;
        item->setText(kPayout, typed);
        m_filling = false;
    }
    UpdateTotals();
}

void CSalaryAccrualDlg::SelectAll(bool checked) {
    m_filling = true;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(kName, checked ? Qt::Checked : Qt::Unchecked);
    m_filling = false;
    UpdateTotals();
}

Money CSalaryAccrualDlg::Sum(int column) const {
    Money sum;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->checkState(kName) != Qt::Checked) continue;
        sum += column == kPayout ? Money::Parse(item->text(kPayout))
                                 : Money::Kopecks(item->data(column, kValueRole).toLongLong());
    }
    return sum;
}

Money CSalaryAccrualDlg::TotalPayout() const {
    return Sum(kPayout);
}
Money CSalaryAccrualDlg::TotalDebt() const {
    return Sum(kDebt);
}
Money CSalaryAccrualDlg::TotalEarned() const {
    return Sum(kEarned);
}
Money CSalaryAccrualDlg::TotalPaid() const {
    return Sum(kPaid);
}

void CSalaryAccrualDlg::UpdateTotals() {
    m_totalPayout->setText(TotalPayout().Text());
    m_totalDebt->setText(TotalDebt().Text());
    m_totalEarned->setText(TotalEarned().Text());
    m_totalPaid->setText(TotalPaid().Text());
}

void CSalaryAccrualDlg::Works() {
    const QTreeWidgetItem *item = m_list->Selected();
    if (!item) {
        m_ctx.prompter().Warning(kSelectWorker);
        return;
    }
    CWorkerWorksDlg dlg(m_ctx, KeyedList::Key(item), item->text(kName), m_onDate->date(), this);
    m_ctx.dialogs().Run(dlg);
}

void CSalaryAccrualDlg::accept() {
    if (!m_figuresRead) return;  // OK is disabled too: the figures behind the list failed to read
    const QString number = m_number->text().trimmed();
    if (number.isEmpty()) {
        m_ctx.prompter().Warning(kNumberMissing);
        m_number->setFocus();
        return;
    }
    PayRecord pay = m_stored;
    pay.IddZakaz = QStringLiteral("0");
    pay.TypePay = SalaryPayout;
    pay.NaznPay = m_purpose->currentText();
    pay.NomerPay = number;
    pay.DataPay = PayoutDate();
    pay.SummaPay = -TotalPayout();
    pay.Delete = 0;
    pay.ProposedNomer = m_isNew ? m_proposed : QString();
    QList<PayoutLine> lines = Lines();
    std::optional<StoredPayout> loaded;
    if (!m_isNew) loaded = StoredPayout{m_stored, m_storedLines};
    if (!TrySave(
            this, m_ctx.prompter(),
            [&] { SalaryStore(m_ctx.db()).SavePayout(pay, lines, m_ctx.login(), loaded); },
            [this] { LoadPayout(m_stored.IddPay); }))
        return;
    m_saved = pay;
    QDialog::accept();
}

QList<PayoutLine> CSalaryAccrualDlg::Lines() const {
    QList<PayoutLine> lines;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        lines << PayoutLine{item->data(0, kWorkPayRole).toString(), KeyedList::Key(item), item->text(kName),
                            Money::Parse(item->text(kPayout)), item->checkState(kName) != Qt::Checked};
    }
    return lines;
}

QDateTime CSalaryAccrualDlg::PayoutDate() const {
    // A changed day keeps the time of day the payout was made at.
    const QTime time = m_isNew ? QTime::currentTime() : m_stored.DataPay.time();
    return QDateTime(m_date->date(), time);
}

void CSalaryAccrualDlg::Print() {
    m_ctx.moneyPrintouts().PayoutSheet(m_number->text().trimmed(), PayoutDate(), m_purpose->currentText(),
                                       Lines(), this);
}
