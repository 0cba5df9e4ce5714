#include "CCarDirDlg.h"

#include "AppContext.h"
#include "CCarDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
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

namespace {

// Keys behind a row: the car (an owner row carries its car), the link of an owner row, and the car's
// plate for the question.
constexpr int kCarRole = KeyedList::kKeyRole;
constexpr int kLinkRole = Qt::UserRole + 1;
constexpr int kPlateRole = Qt::UserRole + 2;

void FillCombo(QComboBox *combo, const QStringList &values) {
    const QString typed = combo->currentText();
    combo->clear();
    combo->addItems(values);
    combo->setEditText(typed);
}

}  // namespace

CCarDirDlg::CCarDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_store(ctx.db()) {
    BuildUi();
    RefillLists();
    Refill();
    KeyedList::WidenToFit(this);
    // With no car to choose the clerk starts with a search (or Insert, from the list).
    if (m_list->topLevelItemCount() == 0) m_plate->setFocus();
}

void CCarDirDlg::BuildUi() {
    setWindowTitle(QStringLiteral("Справочник автомобилей"));  // as the menu names it
    resize(820, 520);

    m_plate = new QLineEdit;
    m_plate->setObjectName(QStringLiteral("plate"));
    Tooltip::Set(m_plate, QStringLiteral("Номер автомобиля"),
                 QStringLiteral("Гос. номер автомобиля для поиска."));
    m_make = new QComboBox;
    m_make->setObjectName(QStringLiteral("make"));
    m_make->setEditable(true);
    m_make->setInsertPolicy(QComboBox::NoInsert);
    Tooltip::Set(m_make, QStringLiteral("Марка автомобиля"), QStringLiteral("Марка автомобиля для поиска."));
    m_owner = new QComboBox;
    m_owner->setObjectName(QStringLiteral("owner"));
    m_owner->setEditable(true);
    m_owner->setInsertPolicy(QComboBox::NoInsert);
    Tooltip::Set(m_owner, QStringLiteral("Владелец автомобиля"),
                 QStringLiteral("Название владельца автомобиля для поиска."));
    auto *find = PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"), QStringLiteral("Найти"),
                               QStringLiteral("Поиск информации"),
                               QStringLiteral("Найти автомобили по заданным условиям."));
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, &CCarDirDlg::Refill);

    auto *filter = new QGroupBox(QStringLiteral("Фильтр:"));
    auto *fg = new QGridLayout(filter);
    fg->addWidget(new QLabel(QStringLiteral("Гос. номер:")), 0, 0);
    fg->addWidget(new QLabel(QStringLiteral("Марка:")), 0, 1);
    fg->addWidget(new QLabel(QStringLiteral("Владелец:")), 0, 2);
    fg->addWidget(m_plate, 1, 0);
    fg->addWidget(m_make, 1, 1);
    fg->addWidget(m_owner, 1, 2);
    fg->addWidget(find, 1, 3);
    fg->setColumnStretch(0, 1);
    fg->setColumnStretch(1, 1);
    fg->setColumnStretch(2, 2);

    m_list = new KeyedList({QStringLiteral("Гос. №:"), QStringLiteral("Марка:"), QStringLiteral("Цвет:"),
                            QStringLiteral("VIN:"), QStringLiteral("№ двиг.:")},
                           0, {[this] { Add(); }, [this] { Edit(); }, [this] { Delete(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({220, 140, 140, 90, 90});
    m_list->SetMenuTexts(QStringLiteral("Добавить автомобиль"), QStringLiteral("Изменить автомобиль"),
                         QStringLiteral("Удалить автомобиль"));
    m_list->SetSortable(true);
    m_list->setAlternatingRowColors(true);
    Tooltip::Set(m_list, QStringLiteral("Справочник автомобилей"),
                 QStringLiteral("Автомобили и их владельцы.\nПравая кнопка мыши открывает меню."));

    auto *add =
        PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                      QStringLiteral("Добавить автомобиль"), QStringLiteral("Добавить новый автомобиль."));
    auto *edit = PictureButton(QStringLiteral("edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить автомобиль"),
                               QStringLiteral("Изменить сведения о выбранном автомобиле."));
    auto *del = PictureButton(QStringLiteral("DEL"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                              QStringLiteral("Удалить автомобиль"),
                              QStringLiteral("Удалить выбранный автомобиль\nу всех его владельцев."));
    auto *close = new QPushButton(QStringLiteral("Закрыть"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть"),
                 QStringLiteral("Закрыть справочник.\nВыбранный автомобиль передается в вызвавшее окно."));
    connect(add, &QPushButton::clicked, this, &CCarDirDlg::Add);
    connect(edit, &QPushButton::clicked, this, &CCarDirDlg::Edit);
    connect(del, &QPushButton::clicked, this, &CCarDirDlg::Delete);
    connect(close, &QPushButton::clicked, this, &CCarDirDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(filter);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Horizontal, {add, edit, del}, close));
}

void CCarDirDlg::SetPicking(bool on) {
    m_list->SetCommands({[this] { Add(); },
                         on ? std::function<void()>([this] {
                             if (SelectedItem()) reject();  // closing hands back the row
                         })
                            : std::function<void()>([this] { Edit(); }),
                         [this] { Delete(); }});
}

void CCarDirDlg::SetFilters(const QString &plate, const QString &make, const QString &owner) {
    m_plate->setText(plate);
    m_make->setEditText(make);
    m_owner->setEditText(owner);
    Refill();
}

void CCarDirDlg::RefillLists() {
    QStringList makes, owners;
    if (!TryDb(m_ctx.prompter(), [&] {
            makes = m_store.Makes();
            owners = m_store.OwnerNames();
        }))
        return;
    FillCombo(m_make, makes);
    FillCombo(m_owner, owners);
}

void CCarDirDlg::Refill() {
    QList<CarListRow> rows;
    if (!TryDb(m_ctx.prompter(), [&] {
            rows = m_store.Search({m_plate->text(), m_make->currentText(), m_owner->currentText()});
        }))
        return;
    m_list->clear();
    {
        const KeyedList::Batch batch(*m_list);
        for (const CarListRow &row : rows) {
            const CarRecord &c = row.car;
            QTreeWidgetItem *item =
                m_list->AddRow({c.avtoNomer, c.avtoMarka, c.avtoColor, c.avtoVin, c.avtoDvig}, c.iddAvto);
            item->setData(0, kPlateRole, c.avtoNomer);
            for (const CarOwnerRow &o : row.owners) {
                QTreeWidgetItem *child = m_list->AddRow(
                    {o.clientName, o.clientContact, o.clientTel, o.clientFaks}, c.iddAvto, item);
                child->setData(0, kLinkRole, o.iddAvtoVlad);
                child->setData(0, kPlateRole, c.avtoNomer);
            }
        }
    }
    m_list->FitColumns();
}

bool CCarDirDlg::Select(const QString &iddAvto, const QString &iddAvtoVlad) {
    return m_list->SelectKey(kCarRole, iddAvto, kLinkRole, iddAvtoVlad);
}

QTreeWidgetItem *CCarDirDlg::SelectedItem() const {
    return m_list->Selected();
}

void CCarDirDlg::Add() {
    CCarDlg card(m_ctx, QString(), this);
    m_ctx.dialogs().Run(card);
    RefillLists();
    Refill();
    if (card.saved()) Select(card.iddAvto());
}

void CCarDirDlg::Edit() {
    QTreeWidgetItem *item = SelectedItem();
    if (!item) return;  // nothing to edit
    const QString id = item->data(0, kCarRole).toString();
    CCarDlg card(m_ctx, id, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    RefillLists();
    Refill();
    Select(id);
}

void CCarDirDlg::Delete() {
    QTreeWidgetItem *item = SelectedItem();
    if (!item) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите автомобиль из списка\nдля его удаления!"));
        return;
    }
    // An owner row names its car, which is the one removed.
    const QString plate = item->data(0, kPlateRole).toString();
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранный автомобиль: ") + plate + u'?')) return;
    TryDb(m_ctx.prompter(), [&] { m_store.Delete(item->data(0, kCarRole).toString()); });
    RefillLists();
    Refill();
}

void CCarDirDlg::reject() {
    m_selected = false;
    m_resultCar.clear();
    m_resultLink.clear();
    if (QTreeWidgetItem *item = SelectedItem()) {
        m_selected = true;
        m_resultCar = item->data(0, kCarRole).toString();
        m_resultLink = item->data(0, kLinkRole).toString();
    }
    done(m_selected ? QDialog::Accepted : QDialog::Rejected);
}
