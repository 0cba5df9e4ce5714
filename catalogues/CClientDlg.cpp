#include "CClientDlg.h"

#include "AppContext.h"
#include "CCarDirDlg.h"
#include "CCarDlg.h"
#include "CarStore.h"
#include "DbAction.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyGen.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "WaitCursor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCarRole = Qt::UserRole;

const QString kSaveFirst = QStringLiteral(
    "Перед добавлением сведений об автомобиле\nнеобходимо сохранить введенные сведения о клиенте!\n"
    "Нажмите кнопку ''Сохранить''");
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
    Load();
    SetTotals(0, 0);
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
        Tooltip::Set(edit, U(def.title), U(def.help));
        auto *inFrame = new QVBoxLayout(frame);
        inFrame->setContentsMargins(4, 2, 4, 4);
        inFrame->addWidget(edit);
        (def.bank ? bankGrid : grid)->addWidget(frame, def.row, def.col, 1, def.span);
        m_fields.insert(U(def.column), edit);
    }
    grid->addWidget(bank, 4, 0, 1, 4);
    for (int c = 0; c < 4; ++c) grid->setColumnStretch(c, 1);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->addTab(BuildCarsPage(), QStringLiteral("Автомобили"));

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

    auto *save = new QPushButton(QStringLiteral("Сохранить"));
    save->setObjectName(QStringLiteral("save"));
    save->setAutoDefault(false);
    Tooltip::Set(save, QStringLiteral("Сохранить"),
                 QStringLiteral("Сохранить сведения о клиенте.\nКарточка остается открытой."));
    auto *close = new QPushButton(QStringLiteral("Закрыть"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть"), QStringLiteral("Закрыть карточку клиента."));
    connect(save, &QPushButton::clicked, this, &CClientDlg::accept);
    connect(close, &QPushButton::clicked, this, &CClientDlg::reject);
    footer->addWidget(save);
    footer->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(footer);
}

QWidget *CClientDlg::BuildCarsPage() {
    auto *page = new QWidget;
    m_cars = new QTreeWidget;
    m_cars->setObjectName(QStringLiteral("cars"));
    m_cars->setHeaderLabels({QStringLiteral("Гос. №:"), QStringLiteral("Марка:"), QStringLiteral("Цвет:"),
                             QStringLiteral("VIN:"), QStringLiteral("№ двиг.:")});
    const int widths[] = {100, 140, 140, 90, 90};
    for (int i = 0; i < 5; ++i) m_cars->setColumnWidth(i, widths[i]);
    m_cars->setRootIsDecorated(false);
    m_cars->setAllColumnsShowFocus(true);
    m_cars->setContextMenuPolicy(Qt::CustomContextMenu);
    Tooltip::Set(m_cars, QStringLiteral("Автомобили клиента"),
                 QStringLiteral("Автомобили клиента.\nПравая кнопка мыши открывает меню."));
    connect(m_cars, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Добавить автомобиль"), this, &CClientDlg::AddCar);
        menu.addAction(QStringLiteral("Изменить автомобиль"), this, &CClientDlg::EditCar);
        menu.addAction(QStringLiteral("Удалить автомобиль"), this, &CClientDlg::DeleteCar);
        menu.exec(m_cars->viewport()->mapToGlobal(pos));
    });
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(m_cars);
    return page;
}

void CClientDlg::Load() {
    std::optional<ClientRecord> client;
    try {
        WaitCursor wait;
        client = m_store.Load(m_iddClient);
    } catch (const DbError &e) {
        m_ctx.prompter().Error(e.text());
    }
    m_existing = client.has_value();
    if (client) {
        for (const auto &[column, member] : ClientRecord::Columns()) {
            if (QLineEdit *edit = field(column)) edit->setText((*client).*member);
        }
    }
    RefillCars();
}

ClientRecord CClientDlg::record() const {
    ClientRecord c;
    for (const auto &[column, member] : ClientRecord::Columns()) {
        if (const QLineEdit *edit = field(column)) c.*member = edit->text();
    }
    c.iddClient = m_iddClient;
    return c;
}

void CClientDlg::SetTotals(double services, double payments) {
    m_servicesTotal->setText(Formats::Money(services));
    m_paymentsTotal->setText(Formats::Money(payments));
    m_debt->setText(Formats::Money(services - payments));
}

bool CClientDlg::Save() {
    for (QLineEdit *edit : std::as_const(m_fields)) edit->setText(edit->text().trimmed());
    const ClientRecord client = record();
    if (client.clientName.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите название клиента!"));
        field(QStringLiteral("ClientName"))->setFocus();
        return false;
    }
    try {
        WaitCursor wait;
        m_store.Save(client);
    } catch (const DbError &e) {
        m_ctx.prompter().Error(e.text());
        return false;
    }
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
        auto *item = new QTreeWidgetItem(
            m_cars, {car.avtoNomer, car.avtoMarka, car.avtoColor, car.avtoVin, car.avtoDvig});
        item->setData(0, kCarRole, car.iddAvto);
    }
}

bool CClientDlg::SelectCar(const QString &iddAvto) {
    for (int i = 0; i < m_cars->topLevelItemCount(); ++i) {
        if (m_cars->topLevelItem(i)->data(0, kCarRole).toString() == iddAvto) {
            m_cars->setCurrentItem(m_cars->topLevelItem(i));
            return true;
        }
    }
    return false;
}

QString CClientDlg::SelectedCar() const {
    const QTreeWidgetItem *item = m_cars->currentItem();
    return item && item->isSelected() ? item->data(0, kCarRole).toString() : QString();
}

void CClientDlg::AddCar() {
    // The link needs the client stored first.
    if (!m_existing) {
        m_ctx.prompter().Warning(kSaveFirst);
        return;
    }
    CCarDirDlg dir(m_ctx, this);
    dir.SetClient(m_iddClient);
    m_ctx.dialogs().Run(dir);
    if (dir.iddAvto().isEmpty()) return;
    try {
        WaitCursor wait;
        m_store.LinkCar(m_iddClient, dir.iddAvto(), m_ctx.login());
    } catch (const DbError &e) {
        m_ctx.prompter().Error(e.text());
    }
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
    m_ctx.dialogs().Run(card);
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
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить выбранный автомобиль: ") + item->text(0) + u'?'))
        return;
    try {
        WaitCursor wait;
        CarStore(m_ctx.db()).Delete(car);
    } catch (const DbError &e) {
        m_ctx.prompter().Error(e.text());
    }
    RefillCars();
}
