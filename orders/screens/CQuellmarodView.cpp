#include "CQuellmarodView.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "CDateTimeDlg.h"
#include "COrderPaymentDlg.h"
#include "CarStore.h"
#include "ChangeHistory.h"
#include "CounterStore.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
#include "OrderJournalModel.h"
#include "OrderStore.h"
#include "PaymentEditing.h"
#include "PaymentStore.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kGone =
    QStringLiteral("Заказ не найден в базе данных: возможно, он удалён на другом рабочем месте.");

QComboBox *TextFilter(const char *name, const QString &title, const QString &help) {
    auto *combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(10);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Tooltip::Set(combo, title, help);
    return combo;
}

QDateEdit *DateFilter(const char *name, const QString &title, const QString &help) {
    auto *edit = new QDateEdit;
    DatePicker::Limit(edit);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    Tooltip::Set(edit, title, help);
    return edit;
}

// The filter's list of values; what the clerk is typing there stays as it is, and a list he has dropped
// down is left alone until it is closed.
void FillCombo(QComboBox *combo, const QStringList &values) {
    if (combo->view()->isVisible()) return;
    const QString typed = combo->currentText();
    const int cursor = combo->lineEdit() ? combo->lineEdit()->cursorPosition() : 0;
    combo->clear();
    combo->addItems(values);
    combo->setEditText(typed);
    if (combo->lineEdit()) combo->lineEdit()->setCursorPosition(cursor);
}

// More written orders than this are read again with the whole list rather than one by one.
constexpr int kMostByKey = 500;

}  // namespace

CQuellmarodView::CQuellmarodView(AppContext &ctx, OrderFormOpener opener, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_opener(std::move(opener)), m_store(ctx.db()) {
    BuildUi();
    QDate from, to;
    OrderJournalStore::DefaultPeriod(QDate::currentDate(), &from, &to);
    m_from->setDate(from);
    m_to->setDate(to);
    m_status->setCurrentIndex(m_status->findData(int(JournalStatus::Active)));
    Search();
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("TWork"),
                     QStringLiteral("SClient"), QStringLiteral("SAvto")},
                    [this](const DataChanges &changes) { Refresh(changes); });
}

void CQuellmarodView::BuildUi() {
    setWindowTitle(QStringLiteral("Журнал заказов"));
    QGridLayout *filters = BuildFilters();
    BuildList();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
}

QGridLayout *CQuellmarodView::BuildFilters() {
    m_number =
        TextFilter("number", QStringLiteral("Номер заказа"),
                   QStringLiteral("Показать заказ с этим номером.\nПустое поле - заказы с любым номером."));
    m_from = DateFilter("from", QStringLiteral("Заказы оформленные с даты"),
                        QStringLiteral("Первый день периода, за который\nпоказываются заказы."));
    m_to =
        DateFilter("to", QStringLiteral("Заказы оформленые до даты"),
                   QStringLiteral("Последний день периода, за который\nпоказываются заказы (включительно)."));
    m_status = new QComboBox;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->addItem(QStringLiteral("Все"), int(JournalStatus::All));
    m_status->addItem(QStringLiteral("Активные (заявленные+не готовые+не оплаченные)"),
                      int(JournalStatus::Active));
    m_status->addItem(QStringLiteral("Заявлен"), int(JournalStatus::Requested));
    m_status->addItem(QStringLiteral("Не готов"), int(JournalStatus::Started));
    m_status->addItem(QStringLiteral("Не оплачен"), int(JournalStatus::Unpaid));
    m_status->addItem(QStringLiteral("Закрыт"), int(JournalStatus::Finished));
    Tooltip::Set(m_status, QStringLiteral("Статус состояния заказа"),
                 QStringLiteral("Активные - заявленные и не готовые заказы периода\nи все заказы с "
                                "задолженностью, за любой период."));
    m_plate = TextFilter("plate", QStringLiteral("Гос. № автомобиля"),
                         QStringLiteral("Показать заказы автомобиля с этим номером."));
    m_make = TextFilter("make", QStringLiteral("Марка автомобиля"),
                        QStringLiteral("Показать заказы автомобилей этой марки."));
    m_client = TextFilter("client", QStringLiteral("Ф.И.О. клиента"),
                          QStringLiteral("Показать заказы этого клиента."));

    auto *cars = new QPushButton(QStringLiteral("..."));
    cars->setObjectName(QStringLiteral("cars"));
    cars->setAutoDefault(false);
    Tooltip::Set(cars, QStringLiteral("Открыть справочник ''Автомобилей''"),
                 QStringLiteral("Выбрать автомобиль в справочнике;\nего номер попадет в фильтр."));
    connect(cars, &QPushButton::clicked, this, &CQuellmarodView::PickCar);
    auto *clients = new QPushButton(QStringLiteral("..."));
    clients->setObjectName(QStringLiteral("clients"));
    clients->setAutoDefault(false);
    Tooltip::Set(clients, QStringLiteral("Справочник клиентов"),
                 QStringLiteral("Выбрать клиента в справочнике;\nего имя попадет в фильтр."));
    connect(clients, &QPushButton::clicked, this, &CQuellmarodView::PickClient);
    auto *find =
        PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"), QStringLiteral("Поиск"),
                      QStringLiteral("Поиск"), QStringLiteral("Показать заказы по заданным условиям."));
    connect(find, &QPushButton::clicked, this, &CQuellmarodView::Search);
    // Enter in a text filter searches, as the button does.
    for (QComboBox *combo : {m_number, m_plate, m_make, m_client})
        connect(combo->lineEdit(), &QLineEdit::returnPressed, this, &CQuellmarodView::Search);
    // The filters' lists fill from the orders found; a long value must not push the journal wider than
    // the screen. The status shows its longest choice whole.
    for (QComboBox *combo : {m_number, m_plate, m_make, m_client}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
    }
    m_status->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(QStringLiteral("с:")));
    period->addWidget(m_from);
    period->addWidget(new QLabel(QStringLiteral("по:")));
    period->addWidget(m_to);
    period->addStretch();

    const auto withButton = [](QWidget *field, QPushButton *button) {
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
        auto *row = new QHBoxLayout;
        row->setSpacing(2);
        row->addWidget(field, 1);
        row->addWidget(button);
        return row;
    };
    // Two rows, each label left of its field, so that the journal fits a screen 1024 pixels wide.
    auto *filters = new QGridLayout;
    const auto label = [filters](const char *text, int row, int column) {
        filters->addWidget(new QLabel(QString::fromUtf8(text)), row, column, Qt::AlignRight);
    };
    label("№ заказа:", 0, 0);
    filters->addWidget(m_number, 0, 1);
    label("Дата:", 0, 2);
    filters->addLayout(period, 0, 3);
    label("Статус:", 0, 4);
    filters->addWidget(m_status, 0, 5, 1, 2, Qt::AlignLeft);
    label("Гос.№:", 1, 0);
    filters->addLayout(withButton(m_plate, cars), 1, 1);
    label("Марка:", 1, 2);
    filters->addWidget(m_make, 1, 3);
    label("Заказчик:", 1, 4);
    filters->addLayout(withButton(m_client, clients), 1, 5);
    filters->addWidget(find, 1, 6);
    filters->setColumnStretch(5, 1);
    return filters;
}

void CQuellmarodView::BuildList() {
    m_rows = new OrderJournalModel;
    m_list =
        new KeyedView(m_rows, OrderJournalModel::ColClient,
                      {[this] { AddOrder(); }, [this] { EditOrder(); }, [this] { DeleteOrder(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({160, 60, 75, 110, 110, 80, 110, 110, 90, 90});
    m_list->SetSortable(true);
    // The row colours carry the status.
    m_list->setAlternatingRowColors(false);
    // The performers of an unfolded order's lines get the room their names need.
    connect(m_list, &QTreeView::expanded, m_list, [this] { m_list->FitColumns(); });
    m_list->SetMenuTexts(QStringLiteral("Добавить заказ"), QStringLiteral("Изменить заказ"),
                         QStringLiteral("Удалить заказ"));
    // The rest of the journal's commands around the three the list's keys run.
    QMenu *menu = m_list->ContextMenu();
    const auto action = [this](const char *name, const QString &icon, const QString &text, int id) {
        auto *a = new QAction(QIcon::fromTheme(icon), text, m_list->ContextMenu());
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        return a;
    };
    QAction *first = menu->actions().value(0);
    menu->insertAction(first, action("menuRequest", QStringLiteral("appointment-new"),
                                     QStringLiteral("Предварительная заявка"), kRequest));
    menu->insertSeparator(first);
    menu->addSeparator();
    menu->addAction(
        action("menuPay", QStringLiteral("wallet-open"), QStringLiteral("Добавить платеж"), kPay));
    menu->addSeparator();
    menu->addAction(action("menuStart", QStringLiteral("media-playback-start"),
                           QStringLiteral("Отметить начало работ"), kStart));
    menu->addAction(action("menuFinish", QStringLiteral("task-complete"),
                           QStringLiteral("Отметить исполнение работ"), kFinish));
    AddHistoryCommand(menu, [this] { m_ctx.changeHistory().Order(SelectedOrder(), this); });
    Tooltip::Set(m_list, QStringLiteral("Журнал заказов"),
                 QStringLiteral("Заказы и их услуги.\nEnter или двойной щелчок - изменить заказ,\nInsert - "
                                "добавить, Delete - удалить.\nПравая кнопка мыши открывает меню."));
}

bool CQuellmarodView::RunCommand(int id) {
    switch (id) {
        case kRequest:
            AddRequest();
            return true;
        case kAdd:
            AddOrder();
            return true;
        case kEdit:
            EditOrder();
            return true;
        case kDelete:
            DeleteOrder();
            return true;
        case kPay:
            AddPayment();
            return true;
        case kStart:
            MarkStart();
            return true;
        case kFinish:
            MarkFinish();
            return true;
        case kPrintDocs:
            if (!m_printer) return false;
            PrintDocuments();
            return true;
        default:
            return false;
    }
}

void CQuellmarodView::Search() {
    JournalFilter filter;
    filter.from = m_from->date();
    filter.to = m_to->date();
    filter.status = JournalStatus(m_status->currentData().toInt());
    filter.number = m_number->currentText().trimmed();
    filter.plate = m_plate->currentText().trimmed();
    filter.make = m_make->currentText().trimmed();
    filter.client = m_client->currentText().trimmed();
    if (!DatePicker::PeriodAccepted(m_ctx.prompter(), filter.from, filter.to)) return;
    QList<JournalOrder> orders;
    bool more = false;
    // A failed search leaves the list as it was.
    if (!TryDb(m_ctx.prompter(), [&] { orders = m_store.Search(filter, kFirstScreen, &more); })) return;
    m_shownFilter = filter;
    Show(std::move(orders), more);
}

void CQuellmarodView::Show(QList<JournalOrder> orders, bool more) {
    Fill(std::move(orders), !more);
    if (!more) return;
    // The rest once the first screen is painted, or at once when a command needs it. A failure there
    // leaves the first screen as it is.
    m_list->SetRest([this, filter = m_shownFilter] {
        QList<JournalOrder> all;
        if (TryDb(m_ctx.prompter(), [&] { all = m_store.Search(filter); })) Fill(std::move(all), true);
    });
}

void CQuellmarodView::Refresh(const DataChanges &changes) {
    const JournalKeys keys{
        changes.KeysOf({QStringLiteral("TZakaz"), QStringLiteral("TService"), QStringLiteral("TWork")}),
        changes.KeysOf({QStringLiteral("SClient")}), changes.KeysOf({QStringLiteral("SAvto")})};
    // A client or car written while the list is filtered by names or plates may enter or leave it with
    // orders the keys do not name.
    const bool byNames =
        !m_shownFilter.plate.isEmpty() || !m_shownFilter.make.isEmpty() || !m_shownFilter.client.isEmpty();
    const bool byKey = !changes.unknown && m_list->Whole() &&
                       keys.orders.size() + keys.clients.size() + keys.cars.size() <= kMostByKey &&
                       !(byNames && (!keys.clients.isEmpty() || !keys.cars.isEmpty()));
    if (byKey) {
        Fill(m_store.Refreshed(m_rows->Orders(), m_shownFilter, keys), true);
        return;
    }
    bool more = false;
    QList<JournalOrder> orders = m_store.Search(m_shownFilter, kFirstScreen, &more);
    Show(std::move(orders), more);
}

const QList<JournalOrder> &CQuellmarodView::ShownOrders() {
    m_list->ReadRest();
    return m_rows->Orders();
}

void CQuellmarodView::Fill(QList<JournalOrder> orders, bool whole) {
    m_list->SetRest({});
    m_rows->Set(std::move(orders));
    if (whole) {
        const OrderJournalStore::FilterLists lists = OrderJournalStore::ListsOf(m_rows->Orders());
        FillCombo(m_number, lists.numbers);
        FillCombo(m_plate, lists.plates);
        FillCombo(m_make, lists.makes);
        FillCombo(m_client, lists.clients);
    }
    m_list->FitColumns();
}

QString CQuellmarodView::SelectedOrder() const {
    QModelIndex row = m_list->Selected();
    while (row.parent().isValid()) row = row.parent();
    return row.siblingAtColumn(0).data(KeyedModel::kKeyRole).toString();
}

void CQuellmarodView::Reselect(const QString &iddZakaz) {
    Search();
    m_list->SelectKey(KeyedModel::kKeyRole, iddZakaz);
}

void CQuellmarodView::OrderGone() {
    m_ctx.prompter().Warning(kGone);
    Search();
}

bool CQuellmarodView::ReadState(const QString &iddZakaz, JournalOrderState *state) {
    if (!TryDb(m_ctx.prompter(), [&] { *state = m_store.State(iddZakaz); })) return false;
    if (state->found) return true;
    OrderGone();
    return false;
}

void CQuellmarodView::OpenForm(OrderFormMode mode) {
    if (!m_ctx.CheckRight(Right::AddOrder)) return;
    QString key;
    // A new order is not selected afterwards: the clerk stays on the row he was on.
    if (m_opener && m_opener(mode, key)) Search();
}

void CQuellmarodView::AddOrder() {
    OpenForm(OrderFormMode::New);
}

void CQuellmarodView::AddRequest() {
    OpenForm(OrderFormMode::Request);
}

void CQuellmarodView::SetDocumentsPrinter(DocumentsPrinter printer) {
    const bool first = !m_printer;
    m_printer = std::move(printer);
    if (!first || !m_printer) return;
    QMenu *menu = m_list->ContextMenu();
    menu->addSeparator();
    auto *a = new QAction(QIcon::fromTheme(QStringLiteral("document-print")),
                          QStringLiteral("Распечатать..."), menu);
    a->setObjectName(QStringLiteral("menuPrint"));
    connect(a, &QAction::triggered, this, [this] { RunCommand(kPrintDocs); });
    menu->addAction(a);
}

void CQuellmarodView::PrintDocuments() {
    const QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для печати\nнеобходимых документов!"));
        return;
    }
    if (m_printer) m_printer(key);
}

void CQuellmarodView::EditOrder() {
    if (!m_ctx.CheckRight(Right::EditOrder)) return;
    QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его редактирования!"));
        return;
    }
    if (m_opener && m_opener(OrderFormMode::Edit, key)) Reselect(key);
}

void CQuellmarodView::DeleteOrder() {
    if (!m_ctx.CheckRight(Right::DeleteOrder)) return;
    const QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить заказ?"))) return;
    if (TryDb(m_ctx.prompter(), [&] { OrderStore(m_ctx.db()).Delete(key); })) Search();
}

void CQuellmarodView::AddPayment() {
    if (!m_ctx.CheckRight(Right::AddOrderPayment)) return;
    const QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите заказ для его оплаты!"));
        return;
    }
    Pay(key);
}

CQuellmarodView::PayResult CQuellmarodView::Pay(const QString &iddZakaz) {
    // The debt is read now rather than from the row: another workstation may have taken a payment since.
    JournalOrderState state;
    if (!ReadState(iddZakaz, &state)) return PayResult::Stopped;
    PayRecord pay;
    if (!TryDb(m_ctx.prompter(),
               [&] { pay.NomerPay = QString::number(CounterStore(m_ctx.db()).NextPayNumber()); }))
        return PayResult::Stopped;
    // A number left as proposed is replaced at the save by the next free one.
    pay.ProposedNomer = pay.NomerPay;
    pay.IddZakaz = iddZakaz;
    pay.TypePay = OrderPayment;
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.DataPay = QDateTime::currentDateTime();
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kNewTitle, true, state.debt, this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return PayResult::Cancelled;
    // The payment's number is taken with the counter locked in the payment's own save.
    if (!SaveNewOrderPayment(m_ctx, pay, iddZakaz, state.debt)) return PayResult::Stopped;
    Reselect(iddZakaz);
    return PayResult::Saved;
}

void CQuellmarodView::MarkStart() {
    if (!m_ctx.CheckRight(Right::MarkStart)) return;
    const QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите заказ для отметки\nвремени начала работ по заказу!"));
        return;
    }
    Start(key);
}

void CQuellmarodView::Start(const QString &iddZakaz) {
    Mark(iddZakaz, QStringLiteral("Начало работ:"), false);
}

bool CQuellmarodView::Mark(const QString &iddZakaz, const QString &title, bool finish) {
    CDateTimeDlg dlg(title, this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return false;
    const QDateTime when = dlg.DateTime();
    bool found = false;
    if (!TryDb(m_ctx.prompter(), [&] {
            OrderStore orders(m_ctx.db());
            found = finish ? orders.MarkFinished(iddZakaz, when) : orders.MarkStarted(iddZakaz, when);
        }))
        return false;
    if (!found) {
        OrderGone();
        return false;
    }
    Reselect(iddZakaz);
    return true;
}

void CQuellmarodView::MarkFinish() {
    if (!m_ctx.CheckRight(Right::MarkEnd)) return;
    const QString key = SelectedOrder();
    if (key.isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите заказ для отметки\nвремени окончания работ по заказу!"));
        return;
    }
    Finish(key);
}

void CQuellmarodView::Finish(const QString &iddZakaz) {
    // The order chosen at the start stays the one finished, even when paying it takes it off the list.
    for (;;) {
        JournalOrderState state;
        if (!ReadState(iddZakaz, &state)) return;
        if (state.status == StatusRequested) {
            m_ctx.prompter().Warning(
                QStringLiteral("Работы над заказом не начаты\nОтметьте сначала время начала работ!\n"));
            if (m_ctx.CheckRight(Right::MarkStart)) Start(iddZakaz);
            return;
        }
        if (state.debt.IsOutstanding() &&
            m_ctx.prompter().Question(QStringLiteral("Есть задолженность по данному заказу: ") +
                                      state.debt.Text() + QStringLiteral("!\n") +
                                      QStringLiteral("Погасить задолженность и продолжить - ''Да''\n") +
                                      QStringLiteral("Отметить завершение  с задолженностью - ''Нет''"))) {
            // Paid or not, the question comes again while a debt remains; a refusal ends the command.
            if (!m_ctx.CheckRight(Right::AddOrderPayment) || Pay(iddZakaz) == PayResult::Stopped) return;
            continue;
        }
        Mark(iddZakaz, QStringLiteral("Окончание работ:"), true);
        return;
    }
}

void CQuellmarodView::PickCar() {
    CCarDirDlg dlg(m_ctx, this);
    m_ctx.dialogs().Run(dlg);
    if (!dlg.selected() || dlg.iddAvto().isEmpty()) return;
    std::optional<CarRecord> car;
    if (!TryDb(m_ctx.prompter(), [&] { car = CarStore(m_ctx.db()).Load(dlg.iddAvto()); }) || !car) return;
    m_plate->setEditText(car->avtoNomer);
}

void CQuellmarodView::PickClient() {
    CClientDirDlg dlg(m_ctx, this);
    m_ctx.dialogs().Run(dlg);
    if (dlg.selected() && !dlg.iddClient().isEmpty()) m_client->setEditText(dlg.clientName());
}
