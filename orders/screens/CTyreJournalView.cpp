#include "CTyreJournalView.h"

#include "AppContext.h"
#include "COrderFormDlg.h"
#include "CTyrePlacesDlg.h"
#include "CTyreSetDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyGen.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "StatusColors.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Column { ColCode, ColIn, ColClient, ColPlate, ColSet, ColPlace, ColPaid, ColOut };

}  // namespace

CTyreJournalView::CTyreJournalView(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    Build();
    Search();
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("TTyre"), QStringLiteral("SPlace"), QStringLiteral("SClient"),
                     QStringLiteral("SAvto")},
                    [this](const DataChanges &) { Search(); });
}

void CTyreJournalView::Build() {
    setWindowTitle(QStringLiteral("Хранение шин"));
    m_state = new QComboBox(this);
    m_state->setObjectName(QStringLiteral("state"));
    for (auto [text, state] : {std::pair{"На хранении", TyreFilter::State::Kept},
                               {"Выданы", TyreFilter::State::GivenOut},
                               {"Просрочены", TyreFilter::State::Overdue},
                               {"Все", TyreFilter::State::All}})
        m_state->addItem(QString::fromUtf8(text), int(state));
    m_season = new QComboBox(this);
    m_season->setObjectName(QStringLiteral("season"));
    m_season->addItem(QStringLiteral("Все сезоны"), -1);
    for (TyreSeason s : {TyreSeason::Winter, TyreSeason::Summer, TyreSeason::AllSeason})
        m_season->addItem(SeasonText(s), int(s));
    m_place = new QComboBox(this);
    m_place->setObjectName(QStringLiteral("place"));
    m_plate = new QLineEdit(this);
    m_plate->setObjectName(QStringLiteral("plate"));
    m_client = new QLineEdit(this);
    m_client->setObjectName(QStringLiteral("client"));
    Tooltip::Set(m_plate, QStringLiteral("Гос. номер"), QStringLiteral("Часть гос. номера: Enter ищет."));
    Tooltip::Set(m_client, QStringLiteral("Клиент"), QStringLiteral("Часть имени клиента: Enter ищет."));
    auto *find = new QPushButton(QStringLiteral("&Найти"), this);
    find->setObjectName(QStringLiteral("find"));

    m_list = new KeyedList({QStringLiteral("Код"), QStringLiteral("Принят"), QStringLiteral("Клиент"),
                            QStringLiteral("Гос. номер"), QStringLiteral("Комплект"), QStringLiteral("Место"),
                            QStringLiteral("Оплачено до"), QStringLiteral("Выдан")},
                           ColSet, {[this] { TakeIn(); }, [this] { Open(); }, [this] { Remove(); }}, this);
    m_list->setObjectName(QStringLiteral("sets"));
    m_list->setRootIsDecorated(false);
    m_list->SetWidths({80, 80, 180, 100, 260, 200, 90, 80});
    m_list->SetMenuTexts(QStringLiteral("Принять на хранение"), QStringLiteral("Открыть карточку"),
                         QStringLiteral("Удалить карточку"));

    const auto button = [this](const char *name, const char *icon, const char *caption, const char *tip) {
        return PictureButton(QLatin1StringView(name), QLatin1StringView(icon), QString::fromUtf8(caption),
                             QString::fromUtf8(caption), QString::fromUtf8(tip), this);
    };
    QPushButton *takeIn =
        button("takeIn", "list-add", "Принять", "Принять комплект шин на хранение (Insert).");
    QPushButton *open = button("open", "document-edit", "Карточка", "Открыть карточку комплекта (Enter).");
    QPushButton *giveOut = button("giveOut", "go-next", "Выдать", "Выдать комплект клиенту.");
    QPushButton *remove = button("remove", "list-remove", "Удалить", "Удалить ошибочную карточку (Delete).");
    QPushButton *receipt = button("receipt", "document-print", "Квитанция", "Напечатать квитанцию о приёме.");
    QPushButton *labels = button("labels", "document-print", "Этикетки", "Напечатать этикетки на шины.");
    QPushButton *places = button("places", "view-list-details", "Места...", "Места хранения и их загрузка.");
    QPushButton *excel =
        button("excel", "x-office-spreadsheet", "В Excel", "Шины на хранении: таблица Excel.");
    auto *reports = new QMenu(excel);
    for (auto [text, order] : {std::pair{"По местам хранения", ReportOrder::ByPlace},
                               {"По клиентам", ReportOrder::ByClient},
                               {"Просроченные", ReportOrder::Overdue}})
        connect(reports->addAction(QString::fromUtf8(text)), &QAction::triggered, this,
                [this, order = order] {
                    if (m_report) m_report(order);
                });
    excel->setMenu(reports);

    auto *filters = new QHBoxLayout;
    for (auto [caption, w] : {std::pair{"Показать:", static_cast<QWidget *>(m_state)},
                              {"Сезон:", m_season},
                              {"Место:", m_place},
                              {"Гос. номер:", m_plate},
                              {"Клиент:", m_client}}) {
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(w);
        filters->addWidget(label);
        filters->addWidget(w);
    }
    filters->addWidget(find);
    filters->addStretch();
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {takeIn, open, giveOut, remove, receipt, labels, excel}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(places);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(find, &QPushButton::clicked, this, &CTyreJournalView::Search);
    for (QLineEdit *e : {m_plate, m_client})
        connect(e, &QLineEdit::returnPressed, this, &CTyreJournalView::Search);
    for (QComboBox *c : {m_state, m_season, m_place})
        connect(c, &QComboBox::activated, this, &CTyreJournalView::Search);
    connect(takeIn, &QPushButton::clicked, this, &CTyreJournalView::TakeIn);
    connect(open, &QPushButton::clicked, this, &CTyreJournalView::Open);
    connect(giveOut, &QPushButton::clicked, this, &CTyreJournalView::GiveOut);
    connect(remove, &QPushButton::clicked, this, &CTyreJournalView::Remove);
    connect(receipt, &QPushButton::clicked, this, &CTyreJournalView::PrintReceipt);
    connect(labels, &QPushButton::clicked, this, &CTyreJournalView::PrintLabels);
    connect(places, &QPushButton::clicked, this, &CTyreJournalView::Places);
    setFocusProxy(m_list);
}

void CTyreJournalView::SetPrinters(SetCommand receipt, SetCommand labels, ReportCommand report) {
    m_receipt = std::move(receipt);
    m_labels = std::move(labels);
    m_report = std::move(report);
}

void CTyreJournalView::Print() {
    if (m_report) m_report(ReportOrder::ByPlace);
}

void CTyreJournalView::Search() {
    const QString current = m_list->CurrentKey(), place = m_place->currentData().toString();
    TyreFilter filter;
    filter.state = TyreFilter::State(m_state->currentData().toInt());
    if (const int season = m_season->currentData().toInt(); season >= 0) filter.season = TyreSeason(season);
    filter.iddPlace = place;
    filter.plate = m_plate->text();
    filter.client = m_client->text();
    QList<StoragePlace> places;
    if (!TryDb(m_ctx.prompter(), [&] {
            TyreStore store(m_ctx.db());
            m_shown = store.Search(filter);
            places = store.Places();
        }))
        return;
    {
        const QSignalBlocker block(m_place);
        m_place->clear();
        m_place->addItem(QStringLiteral("Все места"), QString());
        for (const StoragePlace &p : std::as_const(places)) m_place->addItem(p.Text(), p.iddPlace);
        m_place->setCurrentIndex(std::max(0, m_place->findData(place)));
    }
    const QDate today = QDate::currentDate();
    m_list->clear();
    {
        KeyedList::Batch batch(*m_list);
        for (const TyreSet &s : std::as_const(m_shown)) {
            QTreeWidgetItem *row =
                m_list->AddRow({s.code, Formats::Date(s.dateIn), s.clientName, s.plate, s.Description(),
                                s.placeText, Formats::Date(s.paidUntil), Formats::Date(s.dateOut)},
                               s.iddTyre);
            if (s.Overdue(today))
                for (int c = 0; c < row->columnCount(); ++c) row->setForeground(c, StatusColors::Overdue());
        }
    }
    if (!m_list->SelectKey(current) && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

const TyreSet *CTyreJournalView::Current() {
    const QString key = m_list->CurrentKey();
    for (const TyreSet &s : std::as_const(m_shown))
        if (!key.isEmpty() && s.iddTyre == key) return &s;
    m_ctx.prompter().Warning(QStringLiteral("Выберите комплект шин в списке!"));
    return nullptr;
}

void CTyreJournalView::TakeIn() {
    if (!m_ctx.CheckRight(Right::TyreTakeIn)) return;
    CTyreSetDlg card(m_ctx, {}, this);
    if (m_ctx.dialogs().Run(card) != QDialog::Accepted) return;
    const TyreSet set = card.set();
    Search();
    m_list->SelectKey(set.iddTyre);
    if (m_ctx.prompter().Confirm(
            QStringLiteral("Комплект принят, код %1.\nНапечатать квитанцию и этикетки?").arg(set.code))) {
        const std::optional<TyreSet> stored = TyreStore(m_ctx.db()).Load(set.iddTyre);
        if (m_receipt && stored) m_receipt(*stored);
        if (m_labels && stored) m_labels(*stored);
    }
}

void CTyreJournalView::Open() {
    const TyreSet *set = Current();
    if (!set) return;
    CTyreSetDlg card(m_ctx, set->iddTyre, this);
    if (!card.Loaded()) return;
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted) Search();
}

void CTyreJournalView::GiveOut() {
    if (!m_ctx.CheckRight(Right::TyreGiveOut)) return;
    const TyreSet *current = Current();
    if (!current) return;
    const TyreSet set = *current;
    if (!set.Kept()) {
        m_ctx.prompter().Warning(QStringLiteral("Комплект уже выдан %1.").arg(Formats::Date(set.dateOut)));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Выдать комплект %1 (%2) клиенту %3?")
                                      .arg(set.code, set.Description(), set.clientName)))
        return;
    int seasons = 0;
    if (!TryDb(m_ctx.prompter(),
               [&] { seasons = TyreStore(m_ctx.db()).GiveOut(set.iddTyre, QDate::currentDate()); }))
        return;
    Search();
    if (seasons > 0) ChargeOverdue(set, seasons);
}

void CTyreJournalView::ChargeOverdue(const TyreSet &set, int seasons) {
    const Money due = set.fee.Times(seasons);
    if (!m_ctx.prompter().Confirm(
            QStringLiteral("Хранение было оплачено до %1.\nСверх оплаченного срока начат сезонов: %2, "
                           "к оплате %3.\nОформить заказ на эту сумму?")
                .arg(Formats::Date(set.paidUntil))
                .arg(seasons)
                .arg(due.Text())))
        return;
    if (!m_ctx.CheckRight(Right::AddOrder)) return;
    ServiceRecord line;
    line.iddService = NewKey(m_ctx.login());
    line.iddTop = Group::kStandalone;
    line.name = QStringLiteral("Хранение шин сверх оплаченного срока, комплект %1").arg(set.code);
    line.price = set.fee;
    line.summa = set.fee;
    COrderFormDlg form(m_ctx, OrderFormMode::New, {}, this);
    form.PresetCharge(set.iddClient, line, seasons);
    m_ctx.dialogs().Run(form);
}

void CTyreJournalView::Remove() {
    if (!m_ctx.CheckRight(Right::TyreDelete)) return;
    const TyreSet *set = Current();
    if (!set) return;
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить карточку комплекта %1?").arg(set->code))) return;
    const QString key = set->iddTyre;
    if (TryDb(m_ctx.prompter(), [&] { TyreStore(m_ctx.db()).Delete(key); })) Search();
}

void CTyreJournalView::Places() {
    CTyrePlacesDlg dlg(m_ctx, this);
    m_ctx.dialogs().Run(dlg);
    Search();
}

void CTyreJournalView::PrintReceipt() {
    if (const TyreSet *set = Current(); set && m_receipt) m_receipt(*set);
}

void CTyreJournalView::PrintLabels() {
    if (const TyreSet *set = Current(); set && m_labels) m_labels(*set);
}
