#include "COtBalanceWorkView.h"

#include "AppContext.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "Formats.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "SalaryStore.h"
#include "Tooltip.h"

#include <QColor>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

COtBalanceWorkView::COtBalanceWorkView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    setWindowTitle(kTitle);
    m_date = new QDateEdit(QDate::currentDate(), this);
    DatePicker::Limit(m_date);
    m_date->setObjectName(QStringLiteral("date"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    QPushButton *find =
        PictureButton(QStringLiteral("find"), QStringLiteral("view-refresh"),
                      QStringLiteral("Сформировать отчет"), QStringLiteral("Сформировать отчет"),
                      QStringLiteral("Рассчитать балансы сотрудников на дату."), this);
    connect(find, &QPushButton::clicked, this, &COtBalanceWorkView::Find);
    Tooltip::Set(
        m_date, QStringLiteral("Дата"),
        QStringLiteral("Учитываются работы, исполненные\nпо этот день включительно, и выплаты по него."));

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const QStringList headings = {QStringLiteral("Сотрудник:"), QStringLiteral("Выполнено руб.:"),
                                  QStringLiteral("Всего выдано руб.:"), QStringLiteral("Баланс руб.:")};
    m_list = new KeyedList(headings, 0, {}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetColumns(headings, {200, 100, 100, 100}, {Qt::AlignLeft, right, right, right});
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);

    auto *filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("На дату:"), this));
    filters->addWidget(m_date);
    filters->addWidget(find);
    filters->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    Find();
    // Work finished and payouts made elsewhere, on the day shown.
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("TWork"),
                     QStringLiteral("TWorkPay"), QStringLiteral("TPay"), QStringLiteral("SWork")},
                    [this](const DataChanges &) {
                        Show(SalaryStore(m_ctx.db()).WorkerBalances(m_shownDay), m_shownDay);
                    });
}

bool COtBalanceWorkView::Command(int id) {
    if (id == kPrint) {
        if (m_printer) m_printer(m_shown, m_shownDay);
        return true;
    }
    if (id != kFind) return false;
    Find();
    return true;
}

void COtBalanceWorkView::Find() {
    QList<WorkerFigures> workers;
    // A failed read shows the driver's message and an empty list, never balances of nothing.
    TryDb(m_ctx.prompter(), [&] { workers = SalaryStore(m_ctx.db()).WorkerBalances(m_date->date()); });
    Show(workers, m_date->date());
}

void COtBalanceWorkView::Show(const QList<WorkerFigures> &workers, const QDate &day) {
    const QString current = m_list->CurrentKey();
    m_list->clear();
    m_shown = workers;
    m_shownDay = day;
    for (const WorkerFigures &w : workers) {
        QTreeWidgetItem *item =
            m_list->AddRow({w.WorkFIO, w.earned.Text(), w.paid.Text(), w.Debt().Text()}, w.IddWork);
        KeyedList::SetSortValue(item, 1, w.earned);
        KeyedList::SetSortValue(item, 2, w.paid);
        KeyedList::SetSortValue(item, 3, w.Debt());
        // Those who have left are told apart.
        if (w.WorkOut)
            for (int c = 0; c < m_list->columnCount(); ++c) item->setForeground(c, QColor(10, 10, 200));
    }
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}
