#include "OrderCarClientPart.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CClientDirDlg.h"
#include "COrderFormQuestionDlg.h"
#include "CarStore.h"
#include "ClientStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Inputs.h"
#include "OrderEditor.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStringListModel>

namespace {

const QString kCarTable = QStringLiteral("SAvto");
const QString kClientTable = QStringLiteral("SClient");
// Completions are read as the text grows, a few rows beginning with what is typed: never the whole list,
// which a busy shop counts in hundreds of thousands.
constexpr int kCompletionRows = 20;

}  // namespace

OrderCarClientPart::OrderCarClientPart(AppContext &ctx, QWidget *parent) : QWidget(parent), m_ctx(ctx) {
    Build();
    SetTooltips();
    TryDb(m_ctx.prompter(), [&] { m_make->addItems(CarStore(m_ctx.db()).Makes()); });
    m_make->setCurrentIndex(-1);
    m_make->setEditText(QString());
}

void OrderCarClientPart::Build() {
    auto edit = [this](const char *name, const QString &table, const QString &field) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        Inputs::LimitTo(e, table, field);
        return e;
    };
    auto combo = [this](const char *name, const QString &table, const QString &field) {
        auto *c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        Inputs::LimitTo(c, table, field);
        return c;
    };
    auto button = [this](const char *name) {
        auto *b = new QPushButton(QStringLiteral("..."), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_plate = edit("plate", kCarTable, QStringLiteral("AvtoNomer"));
    m_cars = button("cars");
    m_make = combo("make", kCarTable, QStringLiteral("AvtoMarka"));
    m_color = edit("color", kCarTable, QStringLiteral("AvtoColor"));
    m_vin = edit("vin", kCarTable, QStringLiteral("AvtoVin"));
    m_engine = edit("engine", kCarTable, QStringLiteral("AvtoDvig"));
    m_carNote = edit("carNote", kCarTable, QStringLiteral("AvtoPrim"));
    m_client = combo("client", kClientTable, QStringLiteral("ClientName"));
    m_client->setMinimumWidth(250);
    m_clients = button("clients");
    m_address = edit("address", kClientTable, QStringLiteral("ClientAdres"));
    m_phone = edit("phone", kClientTable, QStringLiteral("ClientTel"));

    auto group = [this](const QString &title, QWidget *w, QWidget *extra = nullptr) {
        auto *g = new QGroupBox(title, this);
        auto *l = new QHBoxLayout(g);
        l->setContentsMargins(4, 2, 4, 2);
        l->addWidget(w, 1);
        if (extra) l->addWidget(extra);
        return g;
    };
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(group(QStringLiteral("Гос. №:"), m_plate, m_cars), 0, 0);
    grid->addWidget(group(QStringLiteral("Модель:"), m_make), 0, 1);
    grid->addWidget(group(QStringLiteral("Цвет:"), m_color), 0, 2);
    grid->addWidget(group(QStringLiteral("VIN:"), m_vin), 1, 0);
    grid->addWidget(group(QStringLiteral("№ двигателя:"), m_engine), 1, 1);
    grid->addWidget(group(QStringLiteral("Примечание:"), m_carNote), 1, 2);
    grid->addWidget(group(QStringLiteral("Клиент:"), m_client, m_clients), 2, 0);
    grid->addWidget(group(QStringLiteral("Адрес:"), m_address), 2, 1);
    grid->addWidget(group(QStringLiteral("тел. клиента:"), m_phone), 2, 2);

    for (QObject *field : {static_cast<QObject *>(m_plate), static_cast<QObject *>(m_client),
                           static_cast<QObject *>(m_client->lineEdit())})
        field->installEventFilter(this);
    connect(m_cars, &QPushButton::clicked, this, [this] { PickCar(); });
    connect(m_clients, &QPushButton::clicked, this, [this] { PickClient(); });
    connect(m_client->lineEdit(), &QLineEdit::textEdited, this, [this] { ClientTextEdited(); });
    connect(m_client, qOverload<int>(&QComboBox::activated), this, [this](int i) { ClientChosen(i); });
    for (QLineEdit *e : findChildren<QLineEdit *>())
        connect(e, &QLineEdit::textEdited, this, &OrderCarClientPart::Changed);
    BuildCompleters();
}

void OrderCarClientPart::BuildCompleters() {
    m_plates = new QStringListModel(this);
    m_plateCompleter = new QCompleter(m_plates, this);
    m_clientNames = new QStandardItemModel(this);
    m_clientCompleter = new QCompleter(m_clientNames, this);
    // The stores chose the rows already: the popup shows them as they are.
    m_plateCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_clientCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_plate->setCompleter(m_plateCompleter);
    // Set on the combo box's line edit, not the combo: the combo would look the chosen row up in its own
    // (empty) list and clear the text.
    m_client->lineEdit()->setCompleter(m_clientCompleter);
    connect(m_plate, &QLineEdit::textEdited, this, [this](const QString &t) { CompletePlate(t); });
    connect(m_client->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &t) { CompleteClient(t); });
    connect(m_plateCompleter, qOverload<const QString &>(&QCompleter::activated), this,
            [this](const QString &plate) { PlateCompleted(plate); });
    connect(m_clientCompleter, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &i) { ClientCompleted(i.data(Qt::UserRole).toString()); });
}

void OrderCarClientPart::SetTooltips() {
    auto tip = [](QWidget *w, const char *title, const char *text) {
        Tooltip::Set(w, QString::fromUtf8(title), QString::fromUtf8(text));
    };
    tip(m_plate, "Гос. № авто", "Государственный номер автомобиля.");
    tip(m_cars, "Справочник авто", "Выбрать автомобиль в справочнике автомобилей (F4 в поле номера).");
    tip(m_make, "Марка автомобиля", "Марка и модель автомобиля.");
    tip(m_color, "Цвет автомобиля", "Цвет автомобиля.");
    tip(m_vin, "VIN автомобиля", "Идентификационный номер (VIN) автомобиля.");
    tip(m_engine, "№ двигателя автомобиля", "Номер двигателя автомобиля.");
    tip(m_carNote, "Примечание автомобиля", "Примечание к автомобилю.");
    tip(m_client, "Название клиента", "Название или ФИО клиента.");
    tip(m_clients, "Справочник клиентов", "Выбрать клиента в справочнике клиентов (F4 в поле клиента).");
    tip(m_address, "Адрес клиента", "Адрес клиента.");
    tip(m_phone, "Телефон клиента", "Телефон клиента.");
}

QList<QWidget *> OrderCarClientPart::TabOrder() const {
    return {m_plate, m_make, m_color, m_vin, m_engine, m_carNote, m_client, m_address, m_phone};
}

bool OrderCarClientPart::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F4 ||
        static_cast<QKeyEvent *>(event)->modifiers() != Qt::NoModifier)
        return QWidget::eventFilter(watched, event);
    if (watched == m_plate)
        PickCar();
    else
        PickClient();
    return true;
}

void OrderCarClientPart::Show(const Order &order) {
    m_iddAvto = order.IddAvto;
    m_iddVlad = order.IddVlad;
    m_plate->setText(order.car.AvtoNomer);
    m_make->setEditText(order.car.AvtoMarka);
    m_color->setText(order.car.AvtoColor);
    m_vin->setText(order.car.AvtoVin);
    m_engine->setText(order.car.AvtoDvig);
    m_carNote->setText(order.car.AvtoPrim);
    m_client->setEditText(order.client.ClientName);
    m_address->setText(order.client.ClientAdres);
    m_phone->setText(order.client.ClientTel);
}

void OrderCarClientPart::ApplyTo(OrderEditor &editor) {
    editor.SetCar(m_iddAvto, {m_plate->text(), m_make->currentText(), m_vin->text(), m_engine->text(),
                              m_color->text(), m_carNote->text()});
    editor.SetClient(m_iddVlad, {m_client->currentText(), m_address->text(), m_phone->text()});
    m_plate->setText(editor.order().car.AvtoNomer);
    m_client->setEditText(editor.order().client.ClientName);
}

bool OrderCarClientPart::SettleCar() {
    if (!m_iddAvto.isEmpty()) return true;
    const QString plate = m_plate->text();
    QList<CarListRow> cars;
    if (!TryDb(m_ctx.prompter(), [&] { cars = CarStore(m_ctx.db()).Search(CarFilter{plate, {}, {}}); }))
        return false;
    if (cars.size() > 1) {
        m_ctx.prompter().Warning(
            QStringLiteral("Существуют %1 автомобиля\nс гос. номером:%2.\nВыберите автомобиль в справочнике!")
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
        if (Ask(QStringLiteral("Вопрос"), text)) {
            ShowCar(car);
            TakeOwner(car.iddAvto);
        }
    }
    return true;
}

bool OrderCarClientPart::SettleClient() {
    const QString name = m_client->currentText().trimmed();
    if (!m_iddVlad.isEmpty() || name.isEmpty()) return true;
    QList<ClientListRow> clients;
    if (!TryDb(m_ctx.prompter(), [&] {
            clients = ClientStore(m_ctx.db()).Search(ClientFilter{name, {}, {}, false});
        }))
        return false;
    if (clients.size() > 1) {
        m_ctx.prompter().Warning(
            QStringLiteral("Клиентов с названием \"%1\": %2.\nВыберите клиента в справочнике!")
                .arg(name)
                .arg(clients.size()));
        PickClient();
        return false;
    }
    if (clients.size() == 1) LinkClient(clients.front().client);
    return true;
}

void OrderCarClientPart::LinkClient(const ClientRecord &client) {
    m_iddVlad = client.iddClient;
    m_client->setEditText(client.clientName);
    if (m_address->text().trimmed().isEmpty()) m_address->setText(client.clientAdres);
    if (m_phone->text().trimmed().isEmpty()) m_phone->setText(client.clientTel);
    m_newClientAnsweredNo = false;
}

void OrderCarClientPart::TakeOwner(const QString &iddAvto) {
    if (!m_iddVlad.isEmpty() || !m_client->currentText().trimmed().isEmpty()) return;
    QList<CarOwner> owners;
    if (!TryDb(m_ctx.prompter(), [&] { owners = CarStore(m_ctx.db()).LoadOwners(iddAvto); })) return;
    // With several owners the form cannot know which one came; the clerk types or picks the client.
    if (owners.size() == 1) LoadClient(owners.front().iddVlad);
}

void OrderCarClientPart::CompletePlate(const QString &typed) {
    QStringList plates;
    if (!typed.trimmed().isEmpty())
        TryDb(m_ctx.prompter(),
              [&] { plates = CarStore(m_ctx.db()).PlatesStartingWith(typed, kCompletionRows); });
    m_plates->setStringList(plates);
    if (!plates.isEmpty()) m_plateCompleter->complete();
}

void OrderCarClientPart::CompleteClient(const QString &typed) {
    QList<ClientRecord> clients;
    const QString prefix = typed.trimmed();
    if (!prefix.isEmpty())
        TryDb(m_ctx.prompter(),
              [&] { clients = ClientStore(m_ctx.db()).NamesStartingWith(prefix, kCompletionRows); });
    m_clientNames->clear();
    for (const ClientRecord &c : std::as_const(clients)) {
        auto *item = new QStandardItem(c.clientName);
        item->setData(c.iddClient, Qt::UserRole);
        // Clients of one name told apart by where they live and their telephone.
        item->setToolTip(QStringList{c.clientAdres, c.clientTel}.join(QStringLiteral(", ")));
        m_clientNames->appendRow(item);
    }
    if (!clients.isEmpty()) m_clientCompleter->complete();
}

void OrderCarClientPart::PlateCompleted(const QString &plate) {
    QList<CarListRow> cars;
    if (!TryDb(m_ctx.prompter(), [&] { cars = CarStore(m_ctx.db()).Search(CarFilter{plate, {}, {}}); }))
        return;
    // Several cars with the plate are told apart on OK, in the directory.
    if (cars.size() != 1) return;
    ShowCar(cars.front().car);
    TakeOwner(cars.front().car.iddAvto);
}

void OrderCarClientPart::ClientCompleted(const QString &iddClient) {
    if (!iddClient.isEmpty()) LoadClient(iddClient);
}

bool OrderCarClientPart::Ask(const QString &heading, const QString &text) {
    COrderFormQuestionDlg question(heading, text, this);
    return m_ctx.dialogs().Run(question) == QDialog::Accepted;
}

void OrderCarClientPart::ShowCar(const CarRecord &car) {
    m_iddAvto = car.iddAvto;
    m_plate->setText(car.avtoNomer);
    m_make->setEditText(car.avtoMarka);
    m_color->setText(car.avtoColor);
    m_vin->setText(car.avtoVin);
    m_engine->setText(car.avtoDvig);
    m_carNote->setText(car.avtoPrim);
    emit Changed();
}

void OrderCarClientPart::LoadCar(const QString &iddAvto) {
    std::optional<CarRecord> car;
    if (!TryDb(m_ctx.prompter(), [&] { car = CarStore(m_ctx.db()).Load(iddAvto); })) return;
    if (car) ShowCar(*car);
}

bool OrderCarClientPart::LoadClient(const QString &iddClient) {
    std::optional<ClientRecord> client;
    if (!TryDb(m_ctx.prompter(), [&] { client = ClientStore(m_ctx.db()).Load(iddClient); })) return false;
    if (!client) return false;
    m_iddVlad = client->iddClient;
    m_client->setEditText(client->clientName);
    m_address->setText(client->clientAdres);
    m_phone->setText(client->clientTel);
    // Another client: the question whether a new one is typed belongs to it afresh.
    m_newClientAnsweredNo = false;
    emit Changed();
    return true;
}

void OrderCarClientPart::PresetClient(const QString &iddClient) {
    if (iddClient.isEmpty() || !LoadClient(iddClient)) return;
    QList<CarRecord> cars;
    if (!TryDb(m_ctx.prompter(), [&] { cars = ClientStore(m_ctx.db()).CarsOf(iddClient); })) return;
    // With several cars the form cannot know which one came in; the clerk picks it.
    if (cars.size() == 1) ShowCar(cars.front());
}

void OrderCarClientPart::PickCar() {
    CCarDirDlg dir(m_ctx, this);
    dir.SetFilters(m_plate->text().trimmed(), QString(), m_client->currentText().trimmed());
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddAvto().isEmpty()) return;
    LoadCar(dir.iddAvto());
    if (dir.iddAvtoVlad().isEmpty()) return;
    QList<CarOwner> owners;
    if (!TryDb(m_ctx.prompter(), [&] { owners = CarStore(m_ctx.db()).LoadOwners(dir.iddAvto()); })) return;
    for (const CarOwner &owner : std::as_const(owners))
        if (owner.iddAvtoVlad == dir.iddAvtoVlad() && LoadClient(owner.iddVlad)) break;
}

void OrderCarClientPart::PickClient() {
    CClientDirDlg dir(m_ctx, this);
    dir.SetFilters(m_client->currentText().trimmed(), QString(), m_plate->text().trimmed());
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddClient().isEmpty()) return;
    if (!LoadClient(dir.iddClient()) || dir.iddAvto().isEmpty()) return;
    const bool take =
        m_iddAvto.isEmpty() || m_iddAvto == dir.iddAvto() ||
        Ask(QStringLiteral("Заменить сведения об авто?"),
            QStringLiteral("Заменить сведения об автомобиле?\nЕсли нужно заменить сведения\n"
                           "о текущем автомобиле, новыми нажмите ''Да''.\nИначе нажмите ''Нет''."));
    if (take) LoadCar(dir.iddAvto());
}

void OrderCarClientPart::ClientTextEdited() {
    if (m_iddVlad.isEmpty() || m_newClientAnsweredNo) return;
    if (Ask(QStringLiteral("Новый клиент?"),
            QStringLiteral("Вы хотите добавить нового клиента?\nЕсли вы добавляете нового клиента - нажмите "
                           "''Да''\nЕсли изменяете инфо. о клиенте - нажмите ''Нет''.")))
        m_iddVlad.clear();
    else
        m_newClientAnsweredNo = true;
}

void OrderCarClientPart::ClientChosen(int index) {
    const QString key = index >= 0 ? m_client->itemData(index).toString() : QString();
    if (!key.isEmpty()) LoadClient(key);
}
