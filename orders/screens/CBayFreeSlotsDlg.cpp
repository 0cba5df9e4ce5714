#include "CBayFreeSlotsDlg.h"

#include "AppContext.h"
#include "CServiceDirDlg.h"
#include "CardButtons.h"
#include "CompanyStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "KeyedList.h"
#include "OrderEditor.h"
#include "Tooltip.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

CBayFreeSlotsDlg::CBayFreeSlotsDlg(AppContext &ctx, const QDateTime &from, QWidget *parent)
    : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Свободное время"));
    m_servicesText = new QLabel(QStringLiteral("(не выбраны)"), this);
    m_servicesText->setObjectName(QStringLiteral("services"));
    m_servicesText->setWordWrap(true);
    auto *pick = new QPushButton(QStringLiteral("&Услуги..."), this);
    pick->setObjectName(QStringLiteral("pick"));
    Tooltip::Set(
        pick, QStringLiteral("Услуги"),
        QStringLiteral("Выбрать услуги из справочника:\nдлительность работ сложится из их времени."));
    m_length = new QTimeEdit(QTime(1, 0), this);
    m_length->setObjectName(QStringLiteral("length"));
    m_length->setDisplayFormat(QStringLiteral("HH:mm"));
    m_length->setMinimumTime(QTime(0, BayPlan::kSlotMinutes));
    Tooltip::Set(m_length, QStringLiteral("Длительность"), QStringLiteral("Сколько времени займут работы."));
    m_from = new QDateTimeEdit(from, this);
    m_from->setObjectName(QStringLiteral("from"));
    m_from->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
    m_from->setCalendarPopup(true);
    DatePicker::Limit(m_from);
    Tooltip::Set(m_from, QStringLiteral("Начиная с"), QStringLiteral("С какого дня и времени искать."));
    m_find = new QPushButton(QStringLiteral("&Найти"), this);
    m_find->setObjectName(QStringLiteral("find"));
    m_list = new KeyedList({QStringLiteral("Бокс"), QStringLiteral("Начало"), QStringLiteral("Окончание")}, 0,
                           {nullptr, [this] { accept(); }, nullptr}, this);
    m_list->setObjectName(QStringLiteral("slots"));
    m_list->SetWidths({140, 130, 130});
    m_list->setRootIsDecorated(false);

    auto *services = new QHBoxLayout;
    services->addWidget(m_servicesText, 1);
    services->addWidget(pick);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Услуги:"), services);
    form->addRow(QStringLiteral("&Длительность:"), m_length);
    auto *fromRow = new QHBoxLayout;
    fromRow->addWidget(m_from);
    fromRow->addWidget(m_find);
    fromRow->addStretch();
    auto *fromLabel = new QLabel(QStringLiteral("На&чиная с:"), this);
    fromLabel->setBuddy(m_from);
    form->addRow(fromLabel, fromRow);
    QPushButton *ok = nullptr, *cancel = nullptr;
    QHBoxLayout *buttons = MakeCardButtons(this, &ok, &cancel, QStringLiteral("Записать"),
                                           QStringLiteral("Записать клиента на выбранное время."));
    ok->setText(QStringLiteral("Записать"));
    ok->setDefault(false);
    ok->setAutoDefault(false);
    m_find->setDefault(true);  // Enter in the length or the moment looks again; in the list it takes the time
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(480, 420);

    connect(pick, &QPushButton::clicked, this, &CBayFreeSlotsDlg::ChooseServices);
    connect(m_find, &QPushButton::clicked, this, &CBayFreeSlotsDlg::Find);
    Find();
    m_list->setFocus();
}

void CBayFreeSlotsDlg::ChooseServices() {
    CServiceDirDlg dir(m_ctx, this);
    m_ctx.dialogs().Run(dir);
    if (dir.Selected().empty()) return;
    m_services = dir.Selected();
    // The length the order form would plan for them.
    OrderEditor editor(StatusRequested, QDateTime::currentDateTime());
    editor.AddServices(m_services);
    const qint64 secs = std::max<qint64>(editor.Totals().durationSecs, BayPlan::kSlotMinutes * 60);
    m_length->setTime(QTime(0, 0).addSecs(int(std::min<qint64>(secs, 23 * 3600 + 59 * 60))));
    QStringList names;
    for (const SelectedService &s : std::as_const(m_services)) names << s.service.name;
    m_servicesText->setText(names.join(QStringLiteral(", ")));
    Find();
    m_list->setFocus();
}

void CBayFreeSlotsDlg::Find() {
    const qint64 length = QTime(0, 0).secsTo(m_length->time());
    QList<BayBoard::FreeSlot> found;
    if (!TryDb(m_ctx.prompter(), [&] {
            const WorkingHours hours = CompanyStore(m_ctx.db()).Hours();
            found = BayBoard::Store(m_ctx.db()).FreeSlots(m_from->dateTime(), length, hours);
        }))
        return;
    m_found = found;
    m_list->clear();
    const QString format = QStringLiteral("dd.MM.yyyy HH:mm");
    for (int i = 0; i < m_found.size(); ++i) {
        const BayBoard::FreeSlot &s = m_found[i];
        m_list->AddRow({s.bay.name, s.start.toString(format), s.end.toString(format)}, QString::number(i));
    }
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
}

void CBayFreeSlotsDlg::accept() {
    bool ok = false;
    const int i = m_list->CurrentKey().toInt(&ok);
    if (!ok || i < 0 || i >= m_found.size()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите свободное время в списке."));
        m_list->setFocus();
        return;
    }
    m_chosen = m_found[i];
    QDialog::accept();
}
