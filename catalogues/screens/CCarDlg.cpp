#include "CCarDlg.h"
#include "TyreSetsPage.h"

#include "AppContext.h"
#include "CClientDirDlg.h"
#include "CClientDlg.h"
#include "CardButtons.h"
#include "ClientStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Inputs.h"
#include "KeyGen.h"
#include "KeyedList.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kPositionRole = Qt::UserRole;  // the entry's position in the card's owner list

QComboBox *Combo(const QString &name) {
    auto *c = new QComboBox;
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

}  // namespace

CCarDlg::CCarDlg(AppContext &ctx, const QString &iddAvto, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_store(ctx.db()) {
    m_car.iddAvto = iddAvto.isEmpty() ? NewKey(ctx.login()) : iddAvto;
    BuildUi();
    Load(!iddAvto.isEmpty());
}

void CCarDlg::BuildUi() {
    setWindowTitle(QStringLiteral("Сведения об автомобиле"));
    resize(560, 480);

    m_plate = new QLineEdit;
    m_plate->setObjectName(QStringLiteral("plate"));
    Tooltip::Set(m_plate, QStringLiteral("Номер автомобиля"), QStringLiteral("Гос. номер автомобиля."));
    m_make = Combo(QStringLiteral("make"));
    Tooltip::Set(m_make, QStringLiteral("Марка автомобиля"), QStringLiteral("Марка и модель автомобиля."));
    m_color = Combo(QStringLiteral("color"));
    Tooltip::Set(m_color, QStringLiteral("Цвет автомобиля"), QStringLiteral("Цвет автомобиля."));
    m_vin = new QLineEdit;
    m_vin->setObjectName(QStringLiteral("vin"));
    Tooltip::Set(m_vin, QStringLiteral("VIN автомобиля"), QStringLiteral("Идентификационный номер (VIN)."));
    m_dvig = new QLineEdit;
    m_dvig->setObjectName(QStringLiteral("dvig"));
    Tooltip::Set(m_dvig, QStringLiteral("№ двигателя"), QStringLiteral("Номер двигателя."));
    m_prim = new QLineEdit;
    m_prim->setObjectName(QStringLiteral("prim"));
    Tooltip::Set(m_prim, QStringLiteral("Примечание"), QStringLiteral("Примечание об автомобиле."));
    const QString car = QStringLiteral("SAvto");
    Inputs::LimitTo(m_plate, car, QStringLiteral("AvtoNomer"));
    Inputs::LimitTo(m_make, car, QStringLiteral("AvtoMarka"));
    Inputs::LimitTo(m_color, car, QStringLiteral("AvtoColor"));
    Inputs::LimitTo(m_vin, car, QStringLiteral("AvtoVin"));
    Inputs::LimitTo(m_dvig, car, QStringLiteral("AvtoDvig"));
    Inputs::LimitTo(m_prim, car, QStringLiteral("AvtoPrim"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Гос. номер:")), 0, 0);
    grid->addWidget(m_plate, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Марка:")), 0, 2);
    grid->addWidget(m_make, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Цвет:")), 1, 0);
    grid->addWidget(m_color, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("VIN:")), 1, 2);
    grid->addWidget(m_vin, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("№ двигателя:")), 2, 0);
    grid->addWidget(m_dvig, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Примечание:")), 3, 0);
    grid->addWidget(m_prim, 3, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_list = new KeyedList({QStringLiteral("Название:"), QStringLiteral("Тел.:")}, 0,
                           {[this] { AddOwner(); }, [this] { EditOwner(); }, [this] { DeleteOwner(); }});
    m_list->setObjectName(QStringLiteral("owners"));
    m_list->SetWidths({180, 140});
    m_list->setRootIsDecorated(false);
    Tooltip::Set(m_list, QStringLiteral("Владельцы"),
                 QStringLiteral("Владельцы автомобиля.\nПравая кнопка мыши открывает меню."));
    auto *add = PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                              QStringLiteral("Добавить владельца"),
                              QStringLiteral("Выбрать владельца в справочнике клиентов."));
    auto *edit = PictureButton(QStringLiteral("edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить владельца"),
                               QStringLiteral("Изменить сведения о выбранном владельце."));
    auto *del = PictureButton(QStringLiteral("del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                              QStringLiteral("Удалить владельца"),
                              QStringLiteral("Убрать выбранного владельца у автомобиля."));
    connect(add, &QPushButton::clicked, this, &CCarDlg::AddOwner);
    connect(edit, &QPushButton::clicked, this, &CCarDlg::EditOwner);
    connect(del, &QPushButton::clicked, this, &CCarDlg::DeleteOwner);

    auto *ownersFrame = new QGroupBox(QStringLiteral("Владельцы:"));
    auto *of = new QVBoxLayout(ownersFrame);
    of->addWidget(m_list, 1);
    of->addLayout(ButtonBar(Qt::Horizontal, {add, edit, del}, nullptr));

    QPushButton *ok = nullptr, *cancel = nullptr;
    QHBoxLayout *buttons =
        MakeCardButtons(this, &ok, &cancel, QStringLiteral("Сохранить"),
                        QStringLiteral("Сохранить сведения об автомобиле\nи его владельцах."));

    auto *tyresFrame = new QGroupBox(QStringLiteral("Хранение шин:"));
    m_tyres = new TyreSetsPage(m_ctx, TyreSetsPage::Of::Car);
    (new QVBoxLayout(tyresFrame))->addWidget(m_tyres);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(ownersFrame, 1);
    layout->addWidget(tyresFrame, 1);
    layout->addLayout(buttons);
    // Down the card as it is laid out: the grid row by row, then the owners. Only once every widget is
    // in the card: Qt ignores an order between two windows.
    Inputs::ChainTabOrder(
        {m_plate, m_make, m_color, m_vin, m_dvig, m_prim, m_list, add, edit, del, ok, cancel});
    m_plate->setFocus();  // the first field to fill
}

void CCarDlg::Load(bool stored) {
    QStringList makes, colors;
    std::optional<CarRecord> car;
    if (!TryDb(m_ctx.prompter(), [&] {
            makes = m_store.Makes();
            colors = m_store.Colors();
            if (stored && (car = m_store.Load(m_car.iddAvto))) m_owners = m_store.LoadOwners(m_car.iddAvto);
        }))
        return;
    if (stored && !car) {
        m_ctx.prompter().Warning(QStringLiteral("Автомобиль не найден: он удален на другом рабочем месте."));
        return;
    }
    m_loaded = true;
    m_existing = stored;
    if (car) {
        m_car = *car;
        m_stored = StoredCar{*car, m_owners};
    }
    // Loaded again when the clerk takes the stored car instead of his edits.
    m_make->clear();
    m_color->clear();
    m_make->addItems(makes);
    m_color->addItems(colors);
    m_plate->setText(m_car.avtoNomer);
    m_make->setEditText(m_car.avtoMarka);
    m_color->setEditText(m_car.avtoColor);
    m_vin->setText(m_car.avtoVin);
    m_dvig->setText(m_car.avtoDvig);
    m_prim->setText(m_car.avtoPrim);
    RefillOwners();
    m_tyres->Show(m_car.iddAvto);
}

void CCarDlg::RefillOwners() {
    m_list->clear();
    for (qsizetype i = 0; i < m_owners.size(); ++i) {
        const CarOwner &o = m_owners[i];
        if (o.deleted) continue;
        QTreeWidgetItem *item = m_list->AddRow({o.clientName, o.clientTel});
        item->setData(0, kPositionRole, int(i));
    }
    m_list->FitColumns();
}

bool CCarDlg::SelectOwner(const QString &iddVlad) {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (m_owners[item->data(0, kPositionRole).toInt()].iddVlad == iddVlad) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

int CCarDlg::SelectedOwner() const {
    const QTreeWidgetItem *item = m_list->Selected();
    return item ? item->data(0, kPositionRole).toInt() : -1;
}

void CCarDlg::AddOwner() {
    CClientDirDlg dir(m_ctx, this);
    dir.SetPicking(true);
    m_ctx.dialogs().Run(dir);
    if (!dir.selected() || dir.iddClient().isEmpty()) return;
    const QString client = dir.iddClient();
    std::optional<ClientRecord> record;
    if (!TryDb(m_ctx.prompter(), [&] { record = ClientStore(m_ctx.db()).Load(client); })) return;
    // One entry per owner: a current one is kept, one removed in this opening comes back.
    auto same = std::find_if(m_owners.begin(), m_owners.end(),
                             [&](const CarOwner &o) { return o.iddVlad == client; });
    if (same == m_owners.end()) {
        CarOwner o;
        o.iddAvto = m_car.iddAvto;
        o.iddVlad = client;
        m_owners << o;
        same = m_owners.end() - 1;
    }
    same->deleted = false;
    if (record) {
        same->clientName = record->clientName;
        same->clientTel = record->clientTel;
    }
    RefillOwners();
    SelectOwner(client);
}

void CCarDlg::EditOwner() {
    const int pos = SelectedOwner();
    if (pos < 0) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите клиента из списка\nдля его изменения!"));
        return;
    }
    const QString client = m_owners[pos].iddVlad;
    CClientDlg card(m_ctx, client, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    if (!card.saved()) return;
    const ClientRecord record = card.record();
    m_owners[pos].clientName = record.clientName;
    m_owners[pos].clientTel = record.clientTel;
    RefillOwners();
    SelectOwner(client);
}

void CCarDlg::DeleteOwner() {
    const int pos = SelectedOwner();
    if (pos < 0) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите клиента из списка\nдля его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранного клиента: ") + m_owners[pos].clientName +
                                  u'?'))
        return;
    m_owners[pos].deleted = true;
    RefillOwners();
}

void CCarDlg::accept() {
    CarRecord car = m_car;
    car.avtoNomer = m_plate->text();
    car.avtoMarka = m_make->currentText();
    car.avtoColor = m_color->currentText();
    car.avtoVin = m_vin->text();
    car.avtoDvig = m_dvig->text();
    car.avtoPrim = m_prim->text();
    car = CarStore::Normalized(car);
    m_plate->setText(car.avtoNomer);
    m_make->setEditText(car.avtoMarka);
    m_color->setEditText(car.avtoColor);
    m_vin->setText(car.avtoVin);
    m_dvig->setText(car.avtoDvig);
    m_prim->setText(car.avtoPrim);
    if (car.avtoNomer.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите гос. № автомобиля!"));
        m_plate->setFocus();
        return;
    }
    if (!TrySave(
            this, m_ctx.prompter(),
            [&] { m_store.Save(car, m_owners, m_ctx.login(), m_existing ? m_stored : std::nullopt); },
            [this] { Load(true); }))
        return;
    m_car = car;
    m_existing = true;
    m_saved = true;
    QDialog::accept();
}
