#include "CClientDlg.h"
#include "TyreSetsPage.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CClientAccountPage.h"
#include "CarStore.h"
#include "CardButtons.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyGen.h"
#include "KeyedList.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kSaveFirst = QStringLiteral(
    "Перед добавлением сведений об автомобиле\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");
const QString kSaveFirstMoney = QStringLiteral(
    "Перед добавлением заказа или платежа\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");
const QString kClientGone = QStringLiteral("Клиент не найден: он удален на другом рабочем месте.");
const QString kSelectCarToEdit = QStringLiteral("Выберите автомобиль из списка\nдля его изменения!");
const QString kSelectCarToDelete = QStringLiteral("Выберите автомобиль из списка\nдля его удаления!");

// One edit of the card: its column, frame, tooltip and place in the grid (the bank fields have a group
// of their own).
struct FieldDef {
    const char *column;
    const char *caption;
    const char *title;
    const char *help;
    int row, col, span;
    bool bank;
};

const FieldDef kFieldDefs[] = {
    {"ClientName", "Название:", "Название клиента", "Краткое название организации\nили Ф.И.О. клиента.", 0, 0,
     2, false},
    {"ClientAdres", "Юридический адрес:", "Адрес клиента", "Юридический адрес клиента.", 1, 0, 2, false},
    {"ClientTel", "Тел.:", "Телефон клиента", "Телефон клиента.", 2, 0, 1, false},
    {"ClientFullName", "Полное название:", "Полное название", "Полное название организации.", 0, 2, 2, false},
    {"ClientAdresF", "Фактический адрес:", "Фактический адрес", "Фактический адрес клиента.", 1, 2, 2, false},
    {"ClientINN", "ИНН/КПП.:", "ИНН/КПП", "ИНН и КПП клиента.", 2, 3, 1, false},
    {"ClientOKHX", "ОКНОХ:", "ОКНОХ", "Код по ОКНОХ.", 3, 0, 1, false},
    {"ClientOKPO", "ОКПО:", "ОКПО", "Код по ОКПО.", 3, 1, 1, false},
    {"ClientFaks", "Факс:", "Номер факса", "Номер факса клиента.", 2, 1, 1, false},
    {"ClientEmail", "E-mail:", "Е-mail", "Адрес электронной почты клиента.", 2, 2, 1, false},
    {"ClientChet", "Расч. счет:", "№ расчетного счета", "Номер расчетного счета клиента.", 0, 0, 1, true},
    {"ClientBank", "Банк:", "Название банка", "Название банка клиента.", 0, 1, 1, true},
    {"ClientKorChet", "Кор. счет:", "№ кор. счета", "Номер корреспондентского счета банка.", 0, 2, 1, true},
    {"ClientBIK", "БИК:", "БИК", "БИК банка.", 0, 3, 1, true},
    {"ClientDirector", "Директор:", "Ф.И.О. директора", "Ф.И.О. директора организации.", 3, 2, 1, false},
    {"ClientByx", "Гл. бухгалтер:", "Ф.И.О. главного бухгалтера", "Ф.И.О. главного бухгалтера организации.",
     3, 3, 1, false},
    {"ClientContact", "Контакт:", "Контактное лицо", "Контактное лицо клиента.", 5, 0, 2, false},
    {"ClientPrim", "Примечание:", "Примечание", "Примечание о клиенте.", 5, 2, 2, false},
};

QString U(const char *text) {
    return QString::fromUtf8(text);
}

}  // namespace

CClientDlg::CClientDlg(AppContext &ctx, const QString &iddClient, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_store(ctx.db()), m_iddClient(iddClient) {
    if (m_iddClient.isEmpty()) m_iddClient = NewKey(ctx.login());
    BuildUi();
    Load(!iddClient.isEmpty());
}

void CClientDlg::BuildUi() {
    setWindowTitle(QStringLiteral("Информация о клиенте"));
    resize(860, 680);

    auto *grid = new QGridLayout;
    auto *bank = new QGroupBox(QStringLiteral("Банковские данные:"));
    auto *bankGrid = new QGridLayout(bank);
    for (const FieldDef &def : kFieldDefs) {
        auto *frame = new QGroupBox(U(def.caption));
        auto *edit = new QLineEdit;
        edit->setObjectName(U(def.column));
        Inputs::LimitTo(edit, QStringLiteral("SClient"), U(def.column));
        Tooltip::Set(edit, U(def.title), U(def.help));
        auto *inFrame = new QVBoxLayout(frame);
        inFrame->setContentsMargins(4, 2, 4, 4);
        inFrame->addWidget(edit);
        (def.bank ? bankGrid : grid)->addWidget(frame, def.row, def.col, 1, def.span);
        m_fields.insert(U(def.column), edit);
    }
    grid->addWidget(bank, 4, 0, 1, 4);
    for (int c = 0; c < 4; ++c) grid->setColumnStretch(c, 1);
    // Tab goes down the card as it is laid out, row by row and left to right; the bank group stands
    // between rows 3 and 5, so it is ordered as row 4.
    QList<const FieldDef *> order;
    for (const FieldDef &def : kFieldDefs) order << &def;
    std::stable_sort(order.begin(), order.end(), [](const FieldDef *a, const FieldDef *b) {
        const int rowA = a->bank ? 4 : a->row, rowB = b->bank ? 4 : b->row;
        return rowA != rowB ? rowA < rowB : a->col < b->col;
    });
    QList<QWidget *> chain;
    for (const FieldDef *def : order) chain << m_fields.value(U(def->column));

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tabs"));
    const auto mayCreate = [this] { return MayCreateMoneyRows(); };
    m_ordersPage = new CClientOrdersPage(m_ctx, m_iddClient, mayCreate);
    m_accountPage = new CClientAccountPage(m_ctx, m_iddClient, mayCreate);
    connect(m_ordersPage, &CClientOrdersPage::changed, this, &CClientDlg::RefreshMoney);
    connect(m_accountPage, &CClientAccountPage::changed, this, &CClientDlg::RefreshMoney);
    m_tabs->addTab(m_ordersPage, QStringLiteral("Заказы"));
    m_tabs->addTab(m_accountPage, QStringLiteral("Лицевой счет"));
    m_tabs->addTab(BuildCarsPage(), QStringLiteral("Автомобили"));
    m_tyresPage = new TyreSetsPage(m_ctx, TyreSetsPage::Of::Client);
    m_tabs->addTab(m_tyresPage, QStringLiteral("Хранение"));

    auto money = [](const QString &name) {
        auto *label = new QLabel;
        label->setObjectName(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFrameShape(QFrame::StyledPanel);
        label->setMinimumWidth(90);
        return label;
    };
    m_servicesTotal = money(QStringLiteral("servicesTotal"));
    m_paymentsTotal = money(QStringLiteral("paymentsTotal"));
    m_debt = money(QStringLiteral("debt"));
    auto *footer = new QHBoxLayout;
    footer->addWidget(new QLabel(QStringLiteral("Оказано услуг на сумму:")));
    footer->addWidget(m_servicesTotal);
    footer->addSpacing(12);
    footer->addWidget(new QLabel(QStringLiteral("Платежей на сумму:")));
    footer->addWidget(m_paymentsTotal);
    footer->addSpacing(12);
    footer->addWidget(new QLabel(QStringLiteral("Задолженность:")));
    footer->addWidget(m_debt);
    footer->addStretch(1);

    QPushButton *save = nullptr, *close = nullptr;
    CardCaptions captions;
    captions.ok = QStringLiteral("Сохранить");
    captions.cancel = QStringLiteral("Закрыть");
    captions.cancelHelp = QStringLiteral("Закрыть карточку клиента.");
    footer->addLayout(MakeCardButtons(
        this, &save, &close, QStringLiteral("Сохранить"),
        QStringLiteral("Сохранить сведения о клиенте.\nКарточка остается открытой."), captions));
    save->setObjectName(QStringLiteral("save"));
    close->setObjectName(QStringLiteral("close"));
    chain << m_tabs << m_ordersPage->list() << save << close;

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(footer);
    Inputs::ChainTabOrder(chain);                     // now that every widget is in the card's window
    field(QStringLiteral("ClientName"))->setFocus();  // the first field to fill
}

QWidget *CClientDlg::BuildCarsPage() {
    auto *page = new QWidget;
    m_cars = new KeyedList({QStringLiteral("Гос. №:"), QStringLiteral("Марка:"), QStringLiteral("Цвет:"),
                            QStringLiteral("VIN:"), QStringLiteral("№ двиг.:")},
                           0, {[this] { AddCar(); }, [this] { EditCar(); }, [this] { DeleteCar(); }});
    m_cars->setObjectName(QStringLiteral("cars"));
    m_cars->SetWidths({100, 140, 140, 90, 90});
    m_cars->SetMenuTexts(QStringLiteral("Добавить автомобиль"), QStringLiteral("Изменить автомобиль"),
                         QStringLiteral("Удалить автомобиль"));
    m_cars->SetSortable(true);
    m_cars->setRootIsDecorated(false);
    Tooltip::Set(m_cars, QStringLiteral("Автомобили клиента"),
                 QStringLiteral("Автомобили клиента.\nПравая кнопка мыши открывает меню."));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_cars);
    return page;
}

void CClientDlg::Load(bool stored) {
    std::optional<ClientRecord> client;
    if (stored && !TryDb(m_ctx.prompter(), [&] { client = m_store.Load(m_iddClient); })) return;
    if (stored && !client) {
        m_ctx.prompter().Warning(kClientGone);
        return;
    }
    m_loaded = true;
    m_existing = stored;
    m_stored = client;
    if (client) {
        for (const auto &[column, member] : ClientRecord::Columns()) {
            if (QLineEdit *edit = field(column)) edit->setText((*client).*member);
        }
    }
    RefillCars();
    m_tyresPage->Show(m_iddClient);
    RefreshMoney();
}

void CClientDlg::RefreshMoney() {
    m_ordersPage->Refill();
    m_accountPage->Refill();
    SetTotals(m_ordersPage->servicesTotal(), m_accountPage->paymentsTotal());
}

bool CClientDlg::MayCreateMoneyRows() {
    // Orders and payments point at the client's row, so it must be stored first.
    if (m_existing) return true;
    m_ctx.prompter().Warning(kSaveFirstMoney);
    return false;
}

ClientRecord CClientDlg::record() const {
    ClientRecord c;
    for (const auto &[column, member] : ClientRecord::Columns()) {
        if (const QLineEdit *edit = field(column)) c.*member = edit->text();
    }
    c.iddClient = m_iddClient;
    return c;
}

void CClientDlg::SetTotals(Money services, Money payments) {
    m_servicesTotal->setText(services.Text());
    m_paymentsTotal->setText(payments.Text());
    m_debt->setText((services - payments).Text());
}

bool CClientDlg::Save() {
    for (QLineEdit *edit : std::as_const(m_fields)) edit->setText(edit->text().trimmed());
    const ClientRecord client = record();
    if (client.clientName.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите название клиента!"));
        field(QStringLiteral("ClientName"))->setFocus();
        return false;
    }
    if (!TrySave(
            this, m_ctx.prompter(), [&] { m_store.Save(client, m_existing ? m_stored : std::nullopt); },
            [this] { Load(true); }))
        return false;
    m_stored = client;
    m_existing = true;
    m_saved = true;
    return true;
}

void CClientDlg::accept() {
    Save();
}

void CClientDlg::reject() {
    done(m_saved ? QDialog::Accepted : QDialog::Rejected);
}

void CClientDlg::RefillCars() {
    QList<CarRecord> cars;
    if (!TryDb(m_ctx.prompter(), [&] { cars = m_store.CarsOf(m_iddClient); })) return;
    m_cars->clear();
    for (const CarRecord &car : cars) {
        m_cars->AddRow({car.avtoNomer, car.avtoMarka, car.avtoColor, car.avtoVin, car.avtoDvig}, car.iddAvto);
    }
    m_cars->FitColumns();
}

bool CClientDlg::SelectCar(const QString &iddAvto) {
    return m_cars->SelectKey(iddAvto);
}

QString CClientDlg::SelectedCar() const {
    return m_cars->CurrentKey();
}

void CClientDlg::AddCar() {
    // The link needs the client stored first.
    if (!m_existing) {
        m_ctx.prompter().Warning(kSaveFirst);
        return;
    }
    CCarDirDlg dir(m_ctx, this);
    dir.SetPicking(true);
    dir.SetClient(m_iddClient);
    m_ctx.dialogs().Run(dir);
    if (dir.iddAvto().isEmpty()) return;
    TryDb(m_ctx.prompter(), [&] { m_store.LinkCar(m_iddClient, dir.iddAvto(), m_ctx.login()); });
    RefillCars();
    SelectCar(dir.iddAvto());
}

void CClientDlg::EditCar() {
    const QString car = SelectedCar();
    if (car.isEmpty()) {
        m_ctx.prompter().Warning(kSelectCarToEdit);
        return;
    }
    CCarDlg card(m_ctx, car, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    if (!card.saved()) return;
    RefillCars();
    SelectCar(car);
}

void CClientDlg::DeleteCar() {
    const QTreeWidgetItem *item = m_cars->currentItem();
    const QString car = SelectedCar();
    if (car.isEmpty()) {
        m_ctx.prompter().Warning(kSelectCarToDelete);
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранный автомобиль: ") + item->text(0) + u'?'))
        return;
    TryDb(m_ctx.prompter(), [&] { CarStore(m_ctx.db()).Delete(car); });
    RefillCars();
}
