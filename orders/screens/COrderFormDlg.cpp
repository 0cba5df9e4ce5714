#include "COrderFormDlg.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "COrderFormQuestionDlg.h"
#include "COrderPaymentDlg.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDirDlg.h"
#include "CarStore.h"
#include "CardButtons.h"
#include "ClientStore.h"
#include "CounterStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "OrderMath.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Schema.h"
#include "Tooltip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kPayIndexRole = Qt::UserRole;

// Only the quantity cell is edited in place.
class QuantityDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        if (index.column() != COrderFormDlg::ColCount) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

QDateTime Combine(const QDate &date, const QTime &time) {
    return QDateTime(date, time);
}

// A stored moment that is really set (not the zero date-time an unset one is written as).
bool IsSet(const QDateTime &value) {
    return value.isValid() && value.date() > Formats::ZeroDateTime().date();
}

QString Quantity(double count) {
    return QString::number(count, 'g', 10);
}

QString WorkersText(const OrderLine &line) {
    QStringList names;
    for (const LineWorker &w : line.workers)
        if (!w.Delete) names << w.WorkFIO;
    return names.join(u' ');
}

OrderLine LineFrom(const SelectedService &s, const QString &top) {
    OrderLine line;
    line.IddService = s.iddService;
    line.IddTop = top;
    line.Name = s.name;
    line.Count = 1.0;
    line.Price = s.price;
    line.PrNDS = s.prNds;
    line.PrJob = s.prJob ? 1 : 0;
    line.Job = s.job;
    line.Time = s.time.isValid() ? s.time : QTime(0, 0);
    for (const PickedWorker &w : s.performers)
        if (!w.deleted) line.workers << LineWorker{w.iddWork, w.workFio, 0};
    return line;
}

void MarkDeleted(OrderLine &line) {
    line.Delete = 1;
    for (OrderLine &child : line.children) MarkDeleted(child);
}

const QString kCarTable = QStringLiteral("SAvto");
const QString kClientTable = QStringLiteral("SClient");

}  // namespace

COrderFormDlg::COrderFormDlg(AppContext &ctx, OrderFormMode mode, const QString &iddZakaz, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_mode(mode) {
    Build();
    SetTooltips();
    m_filling = true;
    const QDateTime now = QDateTime::currentDateTime();
    m_orderDate->setDate(now.date());
    for (QDateEdit *d : {m_prelimDate, m_acceptDate, m_doneDate}) d->setDate(now.date());
    for (QTimeEdit *t : {m_prelimTime, m_acceptTime, m_doneTime}) t->setTime(now.time());
    m_filling = false;

    TryDb(m_ctx.prompter(), [&] { m_make->addItems(CarStore(m_ctx.db()).Makes()); });
    m_make->setCurrentIndex(-1);
    m_make->setEditText(QString());

    if (mode == OrderFormMode::Edit) {
        Load(iddZakaz);
    } else {
        m_order.ZakazStatus = mode == OrderFormMode::Request ? StatusRequested : StatusStarted;
        // The number is taken when the order is saved; nothing typed here would survive that.
        m_number->setReadOnly(true);
        m_number->setPlaceholderText(QStringLiteral("при сохранении"));
    }
    m_prelim->setChecked(m_order.ZakazStatus == StatusRequested);
    m_accepted->setChecked(m_order.ZakazStatus == StatusStarted || m_order.ZakazStatus == StatusFinished);
    m_done->setChecked(m_order.ZakazStatus == StatusFinished);
    ApplyChecks();
    FillLines();
    FillPayments();
    m_plate->setFocus();
}

void COrderFormDlg::Build() {
    setWindowTitle(QStringLiteral("Заказ"));
    auto edit = [this](const char *name, const QString &table = {}, const QString &field = {}) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (!table.isEmpty()) Inputs::LimitTo(e, table, field);
        return e;
    };
    auto date = [this](const char *name) {
        auto *d = new QDateEdit(this);
        d->setObjectName(QString::fromLatin1(name));
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return d;
    };
    auto time = [this](const char *name) {
        auto *t = new QTimeEdit(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setDisplayFormat(QStringLiteral("HH:mm"));
        return t;
    };
    auto check = [this](const char *name, const QString &text) {
        auto *c = new QCheckBox(text, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    auto button = [this](const char *name, const QString &text, const char *icon = nullptr) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        if (icon) b->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        return b;
    };
    auto label = [this](const char *name) {
        auto *l = new QLabel(Formats::Money(0), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setMinimumWidth(90);
        return l;
    };

    m_number = edit("number", QStringLiteral("TZakaz"), QStringLiteral("ZakazNomer"));
    m_orderDate = date("orderDate");
    m_prelim = check("prelim", QStringLiteral("Предварительный заказ:"));
    m_prelimDate = date("prelimDate");
    m_prelimTime = time("prelimTime");
    m_accepted = check("accepted", QStringLiteral("Принят к исполнению:"));
    m_acceptDate = date("acceptDate");
    m_acceptTime = time("acceptTime");
    m_done = check("done", QStringLiteral("Исполнен:"));
    m_doneDate = date("doneDate");
    m_doneTime = time("doneTime");

    m_plate = edit("plate", kCarTable, QStringLiteral("AvtoNomer"));
    m_cars = button("cars", QStringLiteral("..."));
    m_make = new QComboBox(this);
    m_make->setObjectName(QStringLiteral("make"));
    m_make->setEditable(true);
    m_make->setInsertPolicy(QComboBox::NoInsert);
    Inputs::LimitTo(m_make, kCarTable, QStringLiteral("AvtoMarka"));
    m_color = edit("color", kCarTable, QStringLiteral("AvtoColor"));
    m_vin = edit("vin", kCarTable, QStringLiteral("AvtoVin"));
    m_engine = edit("engine", kCarTable, QStringLiteral("AvtoDvig"));
    m_carNote = edit("carNote", kCarTable, QStringLiteral("AvtoPrim"));
    m_client = new QComboBox(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setEditable(true);
    m_client->setInsertPolicy(QComboBox::NoInsert);
    m_client->setMinimumWidth(250);
    Inputs::LimitTo(m_client, kClientTable, QStringLiteral("ClientName"));
    m_clients = button("clients", QStringLiteral("..."));
    m_address = edit("address", kClientTable, QStringLiteral("ClientAdres"));
    m_phone = edit("phone", kClientTable, QStringLiteral("ClientTel"));

    auto *linesBox = new QGroupBox(QStringLiteral("Заказано:"), this);
    linesBox->setObjectName(QStringLiteral("linesBox"));
    m_lines = new KeyedList(linesBox);
    m_lines->setObjectName(QStringLiteral("lines"));
    m_lines->SetColumns(
        {QStringLiteral("np"), QStringLiteral("ns"), QStringLiteral("nw"), QStringLiteral("Название"),
         QStringLiteral("Кол-во:"), QStringLiteral("Цена:"), QStringLiteral("Сумма:"),
         QStringLiteral("НДС%:"), QStringLiteral("Сумма НДС:"), QStringLiteral("Сумма с НДС:"),
         QStringLiteral("Длительность"), QStringLiteral("Исполнители")},
        {0, 0, 0, 220, 60, 80, 80, 60, 80, 90, 90, 160},
        {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight,
         Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight});
    for (int c : {ColTop, ColChild, ColWorker}) m_lines->setColumnHidden(c, true);
    m_lines->SetStretchColumn(ColName);
    m_lines->setRootIsDecorated(true);
    // Enter and double-click choose the line's workers; the menu's middle entry edits the line.
    m_lines->SetCommands({[this] { AddLines(); }, [this] { ChooseWorkers(m_lines->currentItem()); },
                          [this] { DeleteLine(); }});
    m_lines->SetMenuTexts(QStringLiteral("Добавить услугу"), QStringLiteral("Изменить услугу"),
                          QStringLiteral("Удалить услугу"));
    if (QAction *menuEdit = m_lines->ContextMenu()->findChild<QAction *>(QStringLiteral("menuEdit"))) {
        disconnect(menuEdit, &QAction::triggered, m_lines, nullptr);
        connect(menuEdit, &QAction::triggered, this, [this] { EditLine(); });
    }
    m_lines->setItemDelegate(new QuantityDelegate(m_lines));
    m_lines->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    m_totalText = label("total");
    m_vatText = label("vat");
    // The two lists' buttons keep their resource names; each set lives in its own group.
    auto pic = [](const char *name, const char *icon, const char *caption, const char *title,
                  const char *help, QWidget *parent) {
        return PictureButton(QString::fromLatin1(name), QString::fromLatin1(icon), QString::fromUtf8(caption),
                             QString::fromUtf8(title), QString::fromUtf8(help), parent);
    };
    m_addLine = pic("add", "list-add", "Добавить", "Добавить услугу", "Добавить услуги из справочника услуг.",
                    linesBox);
    m_editLine = pic("edit", "document-edit", "Изменить", "Изменить услугу",
                     "Изменить выбранную услугу в заказе.", linesBox);
    m_delLine = pic("Del", "list-remove", "Удалить", "Удалить услугу",
                    "Удалить выбранную услугу или пакет услуг из заказа.", linesBox);

    auto *payBox = new QGroupBox(QStringLiteral("Платежи по данному заказу:"), this);
    payBox->setObjectName(QStringLiteral("payBox"));
    m_payments = new KeyedList(payBox);
    m_payments->setObjectName(QStringLiteral("payments"));
    m_payments->SetColumns(
        {QString(), QStringLiteral("№ платежа"), QStringLiteral("Дата платежа"), QStringLiteral("Сумма"),
         QStringLiteral("Назначение"), QStringLiteral("Первичный документ"), QStringLiteral("Примечание")},
        {0, 70, 90, 120, 160, 160, 150}, {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight});
    m_payments->setColumnHidden(0, true);
    m_payments->setRootIsDecorated(false);
    m_payments->SetCommands(
        {[this] { AddPayment(); }, [this] { EditPayment(); }, [this] { DeletePayment(); }});
    m_payments->SetMenuTexts(QStringLiteral("Добавить платеж"), QStringLiteral("Изменить платеж"),
                             QStringLiteral("Удалить платеж"));
    m_addPay = pic("add", "list-add", "Добавить", "Добавить платеж", "Принять платеж по заказу.", payBox);
    m_editPay =
        pic("edit", "document-edit", "Изменить", "Изменить платеж", "Изменить выбранный платеж.", payBox);
    m_delPay = pic("Del", "list-remove", "Удалить", "Удалить платеж", "Удалить выбранный платеж.", payBox);
    m_paidText = label("paid");
    m_debtText = label("debt");

    // Layout: dates on top, then car and client side by side, then the lines, then the payments.
    auto *dates = new QGridLayout;
    dates->addWidget(new QLabel(QStringLiteral("№:"), this), 0, 0);
    dates->addWidget(m_number, 1, 0);
    dates->addWidget(new QLabel(QStringLiteral("от:"), this), 0, 1);
    dates->addWidget(m_orderDate, 1, 1);
    int col = 2;
    for (auto [box, d, t] :
         {std::tuple{m_prelim, m_prelimDate, m_prelimTime},
          std::tuple{m_accepted, m_acceptDate, m_acceptTime}, std::tuple{m_done, m_doneDate, m_doneTime}}) {
        dates->addWidget(box, 0, col, 1, 2);
        dates->addWidget(d, 1, col);
        dates->addWidget(t, 1, col + 1);
        col += 2;
    }

    auto group = [this](const QString &title, QWidget *w, QWidget *extra = nullptr) {
        auto *g = new QGroupBox(title, this);
        auto *l = new QHBoxLayout(g);
        l->setContentsMargins(4, 2, 4, 2);
        l->addWidget(w, 1);
        if (extra) l->addWidget(extra);
        return g;
    };
    auto *car = new QGridLayout;
    car->addWidget(group(QStringLiteral("Гос. №:"), m_plate, m_cars), 0, 0);
    car->addWidget(group(QStringLiteral("Модель:"), m_make), 0, 1);
    car->addWidget(group(QStringLiteral("Цвет:"), m_color), 0, 2);
    car->addWidget(group(QStringLiteral("VIN:"), m_vin), 1, 0);
    car->addWidget(group(QStringLiteral("№ двигателя:"), m_engine), 1, 1);
    car->addWidget(group(QStringLiteral("Примечание:"), m_carNote), 1, 2);
    car->addWidget(group(QStringLiteral("Клиент:"), m_client, m_clients), 2, 0);
    car->addWidget(group(QStringLiteral("Адрес:"), m_address), 2, 1);
    car->addWidget(group(QStringLiteral("тел. клиента:"), m_phone), 2, 2);

    auto *linesButtons = new QVBoxLayout;
    for (QPushButton *b : {m_addLine, m_editLine, m_delLine}) linesButtons->addWidget(b);
    linesButtons->addStretch();
    auto *linesRow = new QHBoxLayout;
    linesRow->addWidget(m_lines, 1);
    linesRow->addLayout(linesButtons);
    auto *totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(new QLabel(QStringLiteral("Итого:"), this));
    totals->addWidget(m_totalText);
    totals->addWidget(new QLabel(QStringLiteral("в том числе НДС:"), this));
    totals->addWidget(m_vatText);
    auto *linesLayout = new QVBoxLayout(linesBox);
    linesLayout->addLayout(linesRow, 1);
    linesLayout->addLayout(totals);

    auto *payButtons = new QVBoxLayout;
    for (QPushButton *b : {m_addPay, m_editPay, m_delPay}) payButtons->addWidget(b);
    payButtons->addStretch();
    auto *payRow = new QHBoxLayout;
    payRow->addWidget(m_payments, 1);
    payRow->addLayout(payButtons);
    auto *payTotals = new QHBoxLayout;
    payTotals->addStretch();
    payTotals->addWidget(new QLabel(QStringLiteral("Итого уплачено:"), this));
    payTotals->addWidget(m_paidText);
    payTotals->addWidget(new QLabel(QStringLiteral("Задолженность:"), this));
    payTotals->addWidget(m_debtText);
    auto *payLayout = new QVBoxLayout(payBox);
    payLayout->addLayout(payRow, 1);
    payLayout->addLayout(payTotals);

    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить заказ\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addLayout(car);
    layout->addWidget(linesBox, 3);
    layout->addWidget(payBox, 2);
    layout->addLayout(buttons);
    resize(1000, 720);

    connect(m_cars, &QPushButton::clicked, this, [this] { PickCar(); });
    connect(m_clients, &QPushButton::clicked, this, [this] { PickClient(); });
    connect(m_client->lineEdit(), &QLineEdit::textEdited, this, [this] { ClientTextEdited(); });
    connect(m_client, qOverload<int>(&QComboBox::activated), this, [this](int i) { ClientChosen(i); });
    connect(m_addLine, &QPushButton::clicked, this, [this] { AddLines(); });
    connect(m_editLine, &QPushButton::clicked, this, [this] { EditLine(); });
    connect(m_delLine, &QPushButton::clicked, this, [this] { DeleteLine(); });
    connect(m_addPay, &QPushButton::clicked, this, [this] { AddPayment(); });
    connect(m_editPay, &QPushButton::clicked, this, [this] { EditPayment(); });
    connect(m_delPay, &QPushButton::clicked, this, [this] { DeletePayment(); });
    connect(m_lines, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (!m_filling && column == ColCount) QuantityEdited(item, item->text(ColCount));
    });
    for (QCheckBox *box : {m_prelim, m_accepted, m_done})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (m_mode != OrderFormMode::Edit) ApplyChecks();
        });
    auto touched = [this](bool *flag) {
        return [this, flag] {
            if (!m_filling) *flag = true;
        };
    };
    connect(m_prelimDate, &QDateEdit::dateChanged, this, touched(&m_prelimTouched));
    connect(m_prelimTime, &QTimeEdit::timeChanged, this, touched(&m_prelimTouched));
    connect(m_acceptDate, &QDateEdit::dateChanged, this, touched(&m_acceptTouched));
    connect(m_acceptTime, &QTimeEdit::timeChanged, this, touched(&m_acceptTouched));
    connect(m_doneDate, &QDateEdit::dateChanged, this, touched(&m_doneTouched));
    connect(m_doneTime, &QTimeEdit::timeChanged, this, touched(&m_doneTouched));
    // A moved acceptance moves the proposed completion.
    connect(m_acceptDate, &QDateEdit::dateChanged, this, [this] { Recompute(); });
    connect(m_acceptTime, &QTimeEdit::timeChanged, this, [this] { Recompute(); });

    Inputs::ChainTabOrder({m_number,     m_orderDate,  m_prelim,   m_prelimDate, m_prelimTime, m_accepted,
                           m_acceptDate, m_acceptTime, m_done,     m_doneDate,   m_doneTime,   m_plate,
                           m_cars,       m_make,       m_color,    m_vin,        m_engine,     m_carNote,
                           m_client,     m_clients,    m_address,  m_phone,      m_lines,      m_addLine,
                           m_editLine,   m_delLine,    m_payments, m_addPay,     m_editPay,    m_delPay,
                           m_ok,         m_cancel});
}

void COrderFormDlg::SetTooltips() {
    auto tip = [](QWidget *w, const char *title, const char *text) {
        Tooltip::Set(w, QString::fromUtf8(title), QString::fromUtf8(text));
    };
    tip(m_number, "Номер заказа",
        "Номер заказа формируется автоматически при сохранении.\nПоследний номер можно изменить "
        "в настройках нумерации.");
    tip(m_orderDate, "Дата заказа", "Дата оформления заказа.");
    tip(m_prelim, "Предварительный заказ", "Отметьте, если клиент записан на определенное время.");
    tip(m_prelimTime, "Время предварительного заказа", "Время, на которое записан клиент.");
    tip(m_prelimDate, "Дата предварительного заказа", "Дата, на которую записан клиент.");
    tip(m_accepted, "Заказ принят", "Отметьте, когда автомобиль принят в работу.");
    tip(m_acceptTime, "Время начала заказа", "Время начала работ.");
    tip(m_acceptDate, "Дата начала заказа", "Дата начала работ.");
    tip(m_done, "Заказ исполнен", "Отметьте, когда работы закончены.");
    tip(m_doneTime, "Время исполнения заказа",
        "Время окончания работ.\nПредлагается по длительности заказанных услуг.");
    tip(m_doneDate, "Дата исполнения заказа",
        "Дата окончания работ.\nПредлагается по длительности заказанных услуг.");
    tip(m_plate, "Гос. № авто", "Государственный номер автомобиля.");
    tip(m_cars, "Справочник авто", "Выбрать автомобиль в справочнике автомобилей.");
    tip(m_make, "Марка автомобиля", "Марка и модель автомобиля.");
    tip(m_color, "Цвет автомобиля", "Цвет автомобиля.");
    tip(m_vin, "VIN автомобиля", "Идентификационный номер (VIN) автомобиля.");
    tip(m_engine, "№ двигателя автомобиля", "Номер двигателя автомобиля.");
    tip(m_carNote, "Примечание автомобиля", "Примечание к автомобилю.");
    tip(m_client, "Название клиента", "Название или ФИО клиента.");
    tip(m_clients, "Справочник клиентов", "Выбрать клиента в справочнике клиентов.");
    tip(m_address, "Адрес клиента", "Адрес клиента.");
    tip(m_phone, "Телефон клиента", "Телефон клиента.");
}

void COrderFormDlg::Load(const QString &iddZakaz) {
    std::optional<Order> stored;
    if (!TryDb(m_ctx.prompter(), [&] { stored = OrderStore(m_ctx.db()).Load(iddZakaz); })) {
        m_loaded = false;
        return;
    }
    if (!stored) {
        m_ctx.prompter().Warning(
            QStringLiteral("Заказ не найден: возможно, он удалён на другом рабочем месте."));
        m_loaded = false;
        return;
    }
    m_order = *stored;
    m_filling = true;
    m_number->setText(m_order.ZakazNomer);
    if (m_order.ZakazData.isValid()) m_orderDate->setDate(m_order.ZakazData.date());
    if (IsSet(m_order.ZakazBegin)) m_storedAppointment = m_order.ZakazBegin;
    if (IsSet(m_order.ZakazBeginIn)) m_storedStart = m_order.ZakazBeginIn;
    if (IsSet(m_order.ZakazEndOut) && m_order.ZakazStatus == StatusFinished)
        m_storedEnd = m_order.ZakazEndOut;
    // Each picker shows its own stored moment; a requested order's acceptance starts from its appointment.
    const QDateTime accept = m_storedStart.isValid() ? m_storedStart : m_storedAppointment;
    if (accept.isValid()) {
        m_acceptDate->setDate(accept.date());
        m_acceptTime->setTime(accept.time());
    }
    if (m_storedAppointment.isValid()) {
        m_prelimDate->setDate(m_storedAppointment.date());
        m_prelimTime->setTime(m_storedAppointment.time());
    }
    if (m_storedEnd.isValid()) {
        m_doneDate->setDate(m_storedEnd.date());
        m_doneTime->setTime(m_storedEnd.time());
    }
    m_plate->setText(m_order.car.AvtoNomer);
    m_make->setEditText(m_order.car.AvtoMarka);
    m_color->setText(m_order.car.AvtoColor);
    m_vin->setText(m_order.car.AvtoVin);
    m_engine->setText(m_order.car.AvtoDvig);
    m_carNote->setText(m_order.car.AvtoPrim);
    m_client->setEditText(m_order.client.ClientName);
    m_address->setText(m_order.client.ClientAdres);
    m_phone->setText(m_order.client.ClientTel);
    m_filling = false;
}

void COrderFormDlg::ApplyChecks() {
    m_prelimDate->setEnabled(m_prelim->isChecked());
    m_prelimTime->setEnabled(m_prelim->isChecked());
    m_acceptDate->setEnabled(m_accepted->isChecked());
    m_acceptTime->setEnabled(m_accepted->isChecked());
    m_doneDate->setEnabled(m_done->isChecked());
    m_doneTime->setEnabled(m_done->isChecked());
}

QDateTime COrderFormDlg::Accepted() const {
    return Combine(m_acceptDate->date(), m_acceptTime->time());
}

void COrderFormDlg::FillLines() {
    const bool wasFilling = m_filling;
    m_filling = true;
    m_lines->clear();
    auto row = [this](const OrderLine &line, int top, int child, QTreeWidgetItem *parent) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_lines);
        item->setText(ColTop, QString::number(top));
        item->setText(ColChild, QString::number(child));
        item->setText(ColWorker, QStringLiteral("-1"));
        item->setText(ColName, line.Name);
        item->setText(ColCount, Quantity(line.Count));
        item->setText(ColPrice, Formats::Money(line.Price));
        item->setText(ColAmount, Formats::Money(OrderMath::LineAmount(line)));
        item->setText(ColVatPercent, Formats::Money(line.PrNDS));
        item->setText(ColVat, Formats::Money(OrderMath::LineVat(line)));
        item->setText(ColTotal, Formats::Money(OrderMath::LineTotal(line)));
        item->setText(ColDuration, OrderMath::DurationText(OrderMath::LineDurationSecs(line)));
        item->setText(ColWorkers, WorkersText(line));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        for (int c : {ColCount, ColPrice, ColAmount, ColVatPercent, ColVat, ColTotal})
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (int i = 0; i < m_order.lines.size(); ++i) {
        const OrderLine &line = m_order.lines[i];
        if (line.Delete) continue;
        QTreeWidgetItem *top = row(line, i, -1, nullptr);
        for (int j = 0; j < line.children.size(); ++j)
            if (!line.children[j].Delete) row(line.children[j], i, j, top);
        top->setExpanded(true);
    }
    m_filling = wasFilling;
    Recompute();
}

void COrderFormDlg::FillPayments() {
    m_payments->clear();
    QList<int> order;
    for (int i = 0; i < m_order.payments.size(); ++i)
        if (!m_order.payments[i].Delete) order << i;
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return m_order.payments[a].DataPay > m_order.payments[b].DataPay;
    });
    for (int i : order) {
        const PayRecord &p = m_order.payments[i];
        auto *item =
            new QTreeWidgetItem(m_payments, {QString::number(i), p.NomerPay, Formats::Date(p.DataPay),
                                             Formats::Money(p.SummaPay), p.NaznPay, p.DocPay, p.PrimPay});
        item->setData(0, kPayIndexRole, i);
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    Recompute();
}

void COrderFormDlg::Recompute() {
    const OrderMath::Totals t = OrderMath::Compute(m_order.lines);
    m_total = t.total;
    m_paid = OrderMath::Paid(m_order.payments);
    m_totalText->setText(Formats::Money(t.total));
    m_vatText->setText(Formats::Money(t.vat));
    m_paidText->setText(Formats::Money(m_paid));
    m_debtText->setText(Formats::Money(OrderMath::Debt(m_total, m_paid)));
    // A stored completion stays as it was; otherwise it follows the work planned.
    if (m_storedEnd.isValid() || m_doneTouched) return;
    const QDateTime done = OrderMath::ProposedCompletion(Accepted(), t.durationSecs);
    const bool wasFilling = m_filling;
    m_filling = true;
    m_doneDate->setDate(done.date());
    m_doneTime->setTime(done.time());
    m_filling = wasFilling;
}

bool COrderFormDlg::Ask(const QString &heading, const QString &text) {
    COrderFormQuestionDlg question(heading, text, this);
    return m_ctx.dialogs().Run(question) == QDialog::Accepted;
}

void COrderFormDlg::ShowCar(const CarRecord &car) {
    m_order.IddAvto = car.iddAvto;
    m_plate->setText(car.avtoNomer);
    m_make->setEditText(car.avtoMarka);
    m_color->setText(car.avtoColor);
    m_vin->setText(car.avtoVin);
    m_engine->setText(car.avtoDvig);
    m_carNote->setText(car.avtoPrim);
}

void COrderFormDlg::LoadCar(const QString &iddAvto) {
    std::optional<CarRecord> car;
    if (!TryDb(m_ctx.prompter(), [&] { car = CarStore(m_ctx.db()).Load(iddAvto); })) return;
    if (car) ShowCar(*car);
}

bool COrderFormDlg::LoadClient(const QString &iddClient) {
    std::optional<ClientRecord> client;
    if (!TryDb(m_ctx.prompter(), [&] { client = ClientStore(m_ctx.db()).Load(iddClient); })) return false;
    if (!client) return false;
    m_order.IddVlad = client->iddClient;
    m_client->setEditText(client->clientName);
    m_address->setText(client->clientAdres);
    m_phone->setText(client->clientTel);
    // Another client: the question whether a new one is typed belongs to it afresh.
    m_newClientAnsweredNo = false;
    return true;
}

void COrderFormDlg::PresetClient(const QString &iddClient) {
    if (m_mode == OrderFormMode::Edit || iddClient.isEmpty() || !LoadClient(iddClient)) return;
    QList<CarRecord> cars;
    if (!TryDb(m_ctx.prompter(), [&] { cars = ClientStore(m_ctx.db()).CarsOf(iddClient); })) return;
    // With several cars the form cannot know which one came in; the clerk picks it.
    if (cars.size() == 1) ShowCar(cars.front());
}

void COrderFormDlg::PickCar() {
    CCarDirDlg dir(m_ctx, this);
    dir.SetFilters(m_plate->text().trimmed(), QString(), m_client->currentText().trimmed());
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddAvto().isEmpty()) return;
    LoadCar(dir.iddAvto());
    if (dir.iddAvtoVlad().isEmpty()) return;
    QList<CarOwner> owners;
    if (!TryDb(m_ctx.prompter(), [&] { owners = CarStore(m_ctx.db()).LoadOwners(dir.iddAvto()); })) return;
    for (const CarOwner &owner : std::as_const(owners))
        if (owner.iddAvtoVlad == dir.iddAvtoVlad() && LoadClient(owner.iddVlad)) {
            m_iddAvtoVlad = owner.iddAvtoVlad;
            break;
        }
}

void COrderFormDlg::PickClient() {
    CClientDirDlg dir(m_ctx, this);
    dir.SetFilters(m_client->currentText().trimmed(), QString(), m_plate->text().trimmed());
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddClient().isEmpty()) return;
    if (!LoadClient(dir.iddClient())) return;
    m_iddAvtoVlad.clear();
    if (dir.iddAvto().isEmpty()) return;
    const bool take =
        m_order.IddAvto.isEmpty() || m_order.IddAvto == dir.iddAvto() ||
        Ask(QStringLiteral("Заменить сведения об авто?"),
            QStringLiteral("Заменить сведения об автомобиле?\nЕсли нужно заменить сведения\n"
                           "о текущем автомобиле, новыми нажмите ''Да''.\nИначе нажмите ''Нет''."));
    if (!take) return;
    LoadCar(dir.iddAvto());
    m_iddAvtoVlad = dir.iddAvtoVlad();
}

void COrderFormDlg::ClientTextEdited() {
    if (m_order.IddVlad.isEmpty() || m_newClientAnsweredNo) return;
    if (Ask(QStringLiteral("Новый клиент?"),
            QStringLiteral("Вы хотите добавить нового клиента?\nЕсли вы добавляете нового клиента - нажмите "
                           "''Да''\nЕсли изменяете инфо. о клиенте - нажмите ''Нет''."))) {
        m_order.IddVlad.clear();
        m_iddAvtoVlad.clear();
    } else {
        m_newClientAnsweredNo = true;
    }
}

void COrderFormDlg::ClientChosen(int index) {
    const QString key = index >= 0 ? m_client->itemData(index).toString() : QString();
    if (!key.isEmpty()) LoadClient(key);
}

void COrderFormDlg::AddLines() {
    CServiceDirDlg dir(m_ctx, this);
    m_ctx.dialogs().Run(dir);
    for (const SelectedService &s : dir.Selected()) {
        if (s.IsPackage()) {
            OrderLine pkg = LineFrom(s, Group::kPackage);
            pkg.Price = 0;
            pkg.PrNDS = 0;
            for (const SelectedService &c : s.children) pkg.children << LineFrom(c, s.iddService);
            m_order.lines << pkg;
        } else {
            m_order.lines << LineFrom(s, Group::kStandalone);
        }
    }
    // A service already on the order takes the quantity of the one added again.
    QList<OrderLine> &lines = m_order.lines;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].Delete) continue;
        for (int j = i + 1; j < lines.size();) {
            if (lines[j].Delete || lines[j].IddService != lines[i].IddService) {
                ++j;
                continue;
            }
            lines[i].Count += lines[j].Count;
            for (const LineWorker &w : std::as_const(lines[j].workers)) {
                auto same = [&](const LineWorker &x) { return x.IddWork == w.IddWork; };
                auto it = std::find_if(lines[i].workers.begin(), lines[i].workers.end(), same);
                if (it == lines[i].workers.end())
                    lines[i].workers << w;
                else if (!w.Delete)
                    it->Delete = 0;
            }
            lines.removeAt(j);
        }
    }
    FillLines();
}

OrderLine *COrderFormDlg::LineOf(const QTreeWidgetItem *item) {
    if (!item) return nullptr;
    bool ok = false;
    const int top = item->text(ColTop).toInt(&ok);
    if (!ok || top < 0 || top >= m_order.lines.size()) return nullptr;
    const int child = item->text(ColChild).toInt();
    OrderLine &line = m_order.lines[top];
    if (child < 0) return &line;
    return child < line.children.size() ? &line.children[child] : nullptr;
}

void COrderFormDlg::EditLine() {
    QTreeWidgetItem *item = m_lines->currentItem();
    OrderLine *line = item && item->isSelected() ? LineOf(item) : nullptr;
    if (!line) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите услугу или пакет услуг\nдля его изменения!"));
        return;
    }
    ServiceCardSetup setup;
    setup.existing = true;
    setup.orderLine = true;
    setup.packageLocked = true;
    setup.iddService = line->IddService;
    setup.iddTop = line->IddTop;
    setup.iddZakaz = m_order.IddZakaz;
    if (!line->IsPackage() && line->IddTop != Group::kStandalone)
        if (const OrderLine *pkg = LineOf(item->parent())) setup.packageText = pkg->Name;
    ServiceRecord rec;
    rec.iddService = line->IddService;
    rec.iddTop = line->IddTop;
    rec.name = line->Name;
    rec.price = line->Price;
    rec.prNds = line->PrNDS;
    rec.summa = line->Price + line->Price * line->PrNDS * 0.01;
    rec.prJob = line->PrJob != 0;
    rec.job = line->Job;
    rec.time = line->Time;
    setup.line = rec;
    for (const LineWorker &w : std::as_const(line->workers))
        setup.lineWorkers << PickedWorker{QString(), w.IddWork, w.WorkFIO, w.Delete != 0};
    CServiceDlg card(m_ctx, setup, this);
    if (m_ctx.dialogs().Run(card) != QDialog::Accepted) return;
    const ServiceRecord r = card.Result();
    if (!r.name.isEmpty()) line->Name = r.name;
    line->Price = r.price;
    line->PrNDS = r.prNds;
    line->Job = r.job;
    line->PrJob = r.prJob ? 1 : 0;
    line->Time = r.time.isValid() ? r.time : QTime(0, 0);
    FillLines();
}

void COrderFormDlg::DeleteLine() {
    QTreeWidgetItem *item = m_lines->currentItem();
    OrderLine *line = item && item->isSelected() ? LineOf(item) : nullptr;
    if (!line) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите услугу или пакет услуг\nдля его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить услугу (пакет услуг и все услуги в пакете)?")))
        return;
    MarkDeleted(*line);
    FillLines();
}

void COrderFormDlg::ChooseWorkers(QTreeWidgetItem *item) {
    OrderLine *line = LineOf(item);
    if (!line) return;
    CWorkerDirDlg dir(m_ctx, this);
    PickedWorkers current;
    for (const LineWorker &w : std::as_const(line->workers))
        if (!w.Delete) current << PickedWorker{QString(), w.IddWork, w.WorkFIO, false};
    dir.SetPicked(current);
    if (m_ctx.dialogs().Run(dir) != QDialog::Accepted) return;
    const PickedWorkers picked = dir.Picked();
    for (LineWorker &w : line->workers) {
        auto it = std::find_if(picked.begin(), picked.end(),
                               [&](const PickedWorker &p) { return p.iddWork == w.IddWork; });
        w.Delete = it == picked.end() ? 1 : 0;
        if (it != picked.end()) w.WorkFIO = it->workFio;
    }
    for (const PickedWorker &p : picked) {
        auto it = std::find_if(line->workers.begin(), line->workers.end(),
                               [&](const LineWorker &w) { return w.IddWork == p.iddWork; });
        if (it == line->workers.end()) line->workers << LineWorker{p.iddWork, p.workFio, 0};
    }
    item->setText(ColWorkers, WorkersText(*line));
}

void COrderFormDlg::QuantityEdited(QTreeWidgetItem *item, const QString &text) {
    OrderLine *line = LineOf(item);
    if (!line) return;
    const double count = Formats::ParseMoney(text);
    if (count > 0) line->Count = count;
    // The row shows the line again either way, so an ignored quantity shows the old one.
    const bool wasFilling = m_filling;
    m_filling = true;
    item->setText(ColCount, Quantity(line->Count));
    item->setText(ColAmount, Formats::Money(OrderMath::LineAmount(*line)));
    item->setText(ColVat, Formats::Money(OrderMath::LineVat(*line)));
    item->setText(ColTotal, Formats::Money(OrderMath::LineTotal(*line)));
    item->setText(ColDuration, OrderMath::DurationText(OrderMath::LineDurationSecs(*line)));
    m_filling = wasFilling;
    Recompute();
}

int COrderFormDlg::SelectedPayment() const {
    QTreeWidgetItem *item = m_payments->currentItem();
    if (!item || !item->isSelected()) return -1;
    const int i = item->data(0, kPayIndexRole).toInt();
    return i >= 0 && i < m_order.payments.size() ? i : -1;
}

void COrderFormDlg::AddPayment() {
    PayRecord pay;
    long next = 0;
    if (!TryDb(m_ctx.prompter(), [&] { next = CounterStore(m_ctx.db()).NextPayNumber(); })) return;
    // Only proposed: the save numbers it from the counter, so cancelling the form takes no number.
    pay.NomerPay = pay.ProposedNomer = QString::number(next);
    pay.DataPay = QDateTime::currentDateTime();
    pay.NaznPay = COrderPaymentDlg::kPurpose;
    pay.IddZakaz = m_order.IddZakaz;
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kNewTitle, true, OrderMath::Debt(m_total, m_paid),
                         this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    m_order.payments << pay;
    FillPayments();
}

void COrderFormDlg::EditPayment() {
    if (!m_ctx.CheckRight(Right::EditOrderPayment)) return;
    const int i = SelectedPayment();
    if (i < 0) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите платеж в списке, для его изменения!"));
        return;
    }
    PayRecord pay = m_order.payments[i];
    COrderPaymentDlg dlg(m_ctx, pay, COrderPaymentDlg::kEditTitle, false, OrderMath::Debt(m_total, m_paid),
                         this);
    if (m_ctx.dialogs().Run(dlg) != QDialog::Accepted) return;
    m_order.payments[i] = pay;
    FillPayments();
}

void COrderFormDlg::DeletePayment() {
    if (!m_ctx.CheckRight(Right::DeleteOrderPayment)) return;
    const int i = SelectedPayment();
    if (i < 0) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите платеж в списке, для его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить выбранный платеж?"))) return;
    m_order.payments[i].Delete = 1;
    FillPayments();
}

bool COrderFormDlg::CheckInput() {
    const QString plate = m_plate->text().trimmed().toUpper();
    m_plate->setText(plate);
    if (plate.isEmpty()) {
        m_plate->setFocus();
        m_ctx.prompter().Warning(QStringLiteral("Укажите автомобиль!\nЗаполните гос номер автомобиля!"));
        return false;
    }
    if (m_order.IddAvto.isEmpty()) {
        QList<CarListRow> cars;
        if (!TryDb(m_ctx.prompter(), [&] { cars = CarStore(m_ctx.db()).Search(CarFilter{plate, {}, {}}); }))
            return false;
        if (cars.size() > 1) {
            m_ctx.prompter().Warning(QStringLiteral("Существуют %1 автомобиля\nс гос. номером:%2.\n"
                                                    "Выберите автомобиль в справочнике!")
                                         .arg(cars.size())
                                         .arg(plate));
            PickCar();
            return false;
        }
        if (cars.size() == 1) {
            const CarRecord &car = cars.front().car;
            const QString text = QStringLiteral("Услуга оказывается этому автомобилю:\n") +
                                 QStringLiteral("Гос. №:") + car.avtoNomer + u' ' + car.avtoMarka +
                                 QStringLiteral(" цвет:") + car.avtoColor + u'\n' + QStringLiteral("VIN:") +
                                 car.avtoVin + QStringLiteral(", № двиг.:") + car.avtoDvig;
            if (Ask(QStringLiteral("Вопрос"), text)) ShowCar(car);
        }
    }
    const QString name = m_client->currentText().trimmed();
    m_client->setEditText(name);
    if (name.isEmpty()) {
        m_client->setFocus();
        m_ctx.prompter().Warning(QStringLiteral("Укажите название клиента!"));
        return false;
    }
    const bool anyLine =
        std::any_of(m_order.lines.begin(), m_order.lines.end(), [](const OrderLine &l) { return !l.Delete; });
    if (!anyLine) {
        m_ctx.prompter().Warning(QStringLiteral("Добавьте предоставляемые услуги!"));
        m_addLine->setFocus();
        AddLines();
        return false;
    }
    return true;
}

OrderFormInput COrderFormDlg::FormInput() const {
    OrderFormInput in;
    in.openMode = m_mode == OrderFormMode::Request ? StatusRequested : StatusStarted;
    in.preliminary = m_prelim->isChecked();
    in.accepted = m_accepted->isChecked();
    in.finished = m_done->isChecked();
    in.orderDate = m_orderDate->date();
    auto pick = [](QDate &date, QTime &time, const QDateEdit *d, const QTimeEdit *t, const QDateTime &stored,
                   bool touched) {
        // A stored moment left alone is kept to the second; the pickers show only minutes.
        const bool keep = stored.isValid() && !touched;
        date = keep ? stored.date() : d->date();
        time = keep ? stored.time() : QTime(t->time().hour(), t->time().minute());
    };
    const QDateTime accept = m_storedStart.isValid() ? m_storedStart : m_storedAppointment;
    pick(in.acceptDate, in.acceptTime, m_acceptDate, m_acceptTime, accept, m_acceptTouched);
    pick(in.prelimDate, in.prelimTime, m_prelimDate, m_prelimTime, m_storedAppointment, m_prelimTouched);
    pick(in.doneDate, in.doneTime, m_doneDate, m_doneTime, m_storedEnd, m_doneTouched);
    // An edited order keeps its appointment unless the clerk moves it.
    if (m_mode == OrderFormMode::Edit && m_storedAppointment.isValid() && !m_acceptTouched)
        in.appointment = m_storedAppointment;
    return in;
}

void COrderFormDlg::accept() {
    if (!CheckInput()) return;
    Order work = m_order;
    work.car.AvtoNomer = m_plate->text().trimmed().toUpper();
    work.car.AvtoMarka = m_make->currentText().trimmed();
    work.car.AvtoColor = m_color->text().trimmed();
    work.car.AvtoVin = m_vin->text().trimmed();
    work.car.AvtoDvig = m_engine->text().trimmed();
    work.car.AvtoPrim = m_carNote->text().trimmed();
    work.client.ClientName = m_client->currentText().trimmed();
    work.client.ClientAdres = m_address->text().trimmed();
    work.client.ClientTel = m_phone->text().trimmed();
    const OrderFormInput input = FormInput();
    if (!TrySave(this, m_ctx.prompter(), [&] { OrderStore(m_ctx.db()).Save(work, input, m_ctx.login()); }))
        return;
    m_order = work;
    m_number->setText(m_order.ZakazNomer);
    QDialog::accept();
}

bool RunOrderForm(const AppContext &ctx, OrderFormMode mode, QString &iddZakaz, QWidget *parent,
                  const QString &iddClient) {
    AppContext own = ctx;  // the screens take a context they may hand on
    COrderFormDlg form(own, mode, mode == OrderFormMode::Edit ? iddZakaz : QString(), parent);
    if (!form.Loaded()) return false;
    form.PresetClient(iddClient);
    if (own.dialogs().Run(form) != QDialog::Accepted) return false;
    iddZakaz = form.order().IddZakaz;
    return true;
}
