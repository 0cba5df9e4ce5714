#include "CWorkerWorksDlg.h"

#include "AppContext.h"
#include "DbAction.h"
#include "Formats.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "MoneyPrintouts.h"
#include "PerformedWorksList.h"
#include "PictureButton.h"
#include "Tooltip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CWorkerWorksDlg::CWorkerWorksDlg(AppContext &ctx, const QString &iddWork, const QString &workFio,
                                 const QDate &day, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_workFio(workFio), m_day(day) {
    setWindowTitle(QStringLiteral("Сведения о выполненных работах"));
    m_heading = QStringLiteral("Сведения о выполненных работах сотрудником:") + workFio +
                QStringLiteral(" до:") + Formats::Date(day);
    auto *heading = new QLabel(m_heading, this);
    heading->setObjectName(QStringLiteral("heading"));
    m_works = new PerformedWorksList(this);
    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("cancel"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть"), QStringLiteral("Закрыть окно."));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *print = PictureButton(QStringLiteral("Print"), QStringLiteral("document-print"),
                                QStringLiteral("Печать"), QStringLiteral("Распечатать список"),
                                QStringLiteral("Отчет о выполненных работах\nсотрудника."), this);
    connect(print, &QPushButton::clicked, this, &CWorkerWorksDlg::Print);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_works, 1);
    layout->addLayout(buttons);

    // A failed read shows the driver's message and an empty list, never figures of nothing. The first
    // screen comes with the totals of all his years, the rest once it is painted.
    const WorksFilter filter{QDate(), day, iddWork};
    PerformedWorks works;
    bool more = false;
    TryDb(ctx.prompter(),
          [&] { works = SalaryStore(ctx.db()).FirstPerformedWorks(filter, KeyedView::kFirstScreen, &more); });
    m_works->Show(works, more ? WholeWorks(ctx, filter) : PerformedWorksList::Rest());
    resize(900, 450);
    KeyedList::WidenToFit(this);
}

QString CWorkerWorksDlg::Heading() const {
    return m_heading;
}

void CWorkerWorksDlg::Print() {
    m_ctx.moneyPrintouts().WorkerWorks(m_works->Whole(), m_day, m_workFio, this);
}
