#include "COtWorkView.h"

#include "AppContext.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
#include "PerformedWorksList.h"
#include "PictureButton.h"
#include "SalaryStore.h"
#include "Tooltip.h"

#include <QAbstractItemView>
#include <QColor>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
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

COtWorkView::COtWorkView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    setWindowTitle(kTitle);
    const QDate today = QDate::currentDate();
    m_from = DateEdit(this, "from", QDate(today.year(), today.month(), 1));
    m_to = DateEdit(this, "to", QDate(today.year(), today.month(), today.daysInMonth()));
    m_worker = new QComboBox(this);
    m_worker->setObjectName(QStringLiteral("worker"));
    m_worker->setMinimumWidth(200);
    m_worker->view()->setMinimumWidth(300);
    m_worker->addItem(QStringLiteral("Все"), QString());
    QList<WorkerChoice> workers;
    TryDb(m_ctx.prompter(), [&] { workers = SalaryStore(m_ctx.db()).AllWorkers(); });
    for (const WorkerChoice &w : workers) {
        m_worker->addItem(w.WorkFIO, w.IddWork);
        // Workers no longer in the directory are told apart.
        if (w.Delete) m_worker->setItemData(m_worker->count() - 1, QColor(200, 100, 100), Qt::ForegroundRole);
    }
    m_worker->setCurrentIndex(0);
    QPushButton *find = PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"),
                                      QStringLiteral("Выбрать"), QStringLiteral("Выбрать"),
                                      QStringLiteral("Показать работы, исполненные\nза период."), this);
    connect(find, &QPushButton::clicked, this, &COtWorkView::Find);
    Tooltip::Set(m_from, QStringLiteral("Начальная дата"), QStringLiteral("Первый день периода."));
    Tooltip::Set(m_to, QStringLiteral("Конечная дата"),
                 QStringLiteral("Последний день периода (включительно)."));
    Tooltip::Set(m_worker, QStringLiteral("Исполнитель"),
                 QStringLiteral("Сотрудник, работы которого показать,\nили все."));

    auto *filters = new QGridLayout;
    filters->addWidget(new QLabel(QStringLiteral("Дата исполнения:"), this), 0, 0);
    filters->addWidget(m_from, 1, 0);
    filters->addWidget(m_to, 1, 1);
    filters->addWidget(new QLabel(QStringLiteral("Исполнитель:"), this), 0, 2);
    filters->addWidget(m_worker, 1, 2);
    filters->addWidget(find, 1, 3);
    filters->setColumnStretch(4, 1);
    m_works = new PerformedWorksList(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_works, 1);
    Find();
    // One worker's works as finished elsewhere, for the search shown (its first screen, then the rest). The
    // works of all workers are read again only when asked: over a long period that takes seconds, which a
    // save at another counter must not cost this one.
    new LiveRefresh(
        this, ctx.db(), {QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("TWork")},
        [this](const DataChanges &) {
            if (m_shownFilter.iddWork.isEmpty()) return;
            bool more = false;
            const PerformedWorks works =
                SalaryStore(m_ctx.db()).FirstPerformedWorks(m_shownFilter, KeyedView::kFirstScreen, &more);
            m_works->Show(works, more ? WholeWorks(m_ctx, m_shownFilter) : PerformedWorksList::Rest());
        });
}

bool COtWorkView::Command(int id) {
    if (id == kPrint) {
        if (m_printer) m_printer(m_works->Whole(), m_shownFilter.from, m_shownFilter.to, m_shownWorker);
        return true;
    }
    if (id != kFind) return false;
    Find();
    return true;
}

void COtWorkView::Find() {
    const WorksFilter filter{m_from->date(), m_to->date(), m_worker->currentData().toString()};
    if (!DatePicker::PeriodAccepted(m_ctx.prompter(), filter.from, filter.to)) return;
    // A failed read shows the driver's message and no figures. One worker's works come by their first
    // screen with the period's totals, the rest once it is painted.
    PerformedWorks works;
    bool more = false;
    TryDb(m_ctx.prompter(), [&] {
        works = SalaryStore(m_ctx.db()).FirstPerformedWorks(filter, KeyedView::kFirstScreen, &more);
    });
    m_works->Show(works, more ? WholeWorks(m_ctx, filter) : PerformedWorksList::Rest());
    // Printing takes what is on screen, not fields changed since.
    m_shownFilter = filter;
    m_shownWorker = m_worker->currentText();
}
