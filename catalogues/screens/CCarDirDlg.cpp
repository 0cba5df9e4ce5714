#include "CCarDirDlg.h"

#include "AppContext.h"
#include "CCarDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "DirectoryModels.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
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
constexpr int kCarRole = CarListModel::kKeyRole;
constexpr int kLinkRole = CarListModel::kLinkRole;
constexpr int kPlateRole = CarListModel::kPlateRole;

void FillCombo(QComboBox *combo, const QStringList &values) {
    const QString typed = combo->currentText();
    combo->clear();
    combo->addItems(values);
    combo->setEditText(typed);
}

}  // namespace

CCarDirDlg::CCarDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx), m_store(ctx.db()) {
    BuildUi();
    // The make and owner lists (tens of thousands of names) wait with the rest of a long list.
    m_listsLater = true;
    Refill();
    // Cars and their owners as written elsewhere, for the search shown.
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("SAvto"), QStringLiteral("AvtoVlad"), QStringLiteral("SClient")},
                    [this](const DataChanges &) {
                        bool more = false;
                        QList<CarListRow> rows = m_store.Search(m_shown, KeyedView::kFirstScreen, &more);
                        Show(std::move(rows), more);
                    });
    KeyedList::WidenToFit(this);
    // With no car to choose the clerk starts with a search (or Insert, from the list).
    if (m_rows->rowCount() == 0) m_plate->setFocus();
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

    m_rows = new CarListModel(this);
    m_list = new KeyedView(m_rows, 0, {[this] { Add(); }, [this] { Edit(); }, [this] { Delete(); }}, this);
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
                             if (m_list->Selected().isValid()) reject();  // closing hands back the row
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
    m_listsLater = false;
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
    Fill({m_plate->text(), m_make->currentText(), m_owner->currentText()}, KeyedView::kFirstScreen);
}

void CCarDirDlg::Fill(const CarFilter &filter, int firstRows) {
    QList<CarListRow> rows;
    bool more = false;
    if (!TryDb(m_ctx.prompter(), [&] { rows = m_store.Search(filter, firstRows, &more); })) return;
    m_shown = filter;
    Show(std::move(rows), more);
}

void CCarDirDlg::Show(QList<CarListRow> rows, bool more) {
    m_list->SetRest(more ? std::function<void()>([this, filter = m_shown] { Fill(filter, 0); }) : nullptr);
    m_rows->Set(std::move(rows));
    m_list->FitColumns();
    // Whenever the list is whole (this search's rest, or another search since), so are the filter lists.
    if (!more && m_listsLater) RefillLists();
}

bool CCarDirDlg::Select(const QString &iddAvto, const QString &iddAvtoVlad) {
    return m_list->SelectKey(kCarRole, iddAvto, kLinkRole, iddAvtoVlad);
}

void CCarDirDlg::Add() {
    CCarDlg card(m_ctx, QString(), this);
    m_ctx.dialogs().Run(card);
    RefillLists();
    Refill();
    if (card.saved()) Select(card.iddAvto());
}

void CCarDirDlg::Edit() {
    const QString id = m_list->SelectedValue(kCarRole);
    if (id.isEmpty()) return;  // nothing to edit
    CCarDlg card(m_ctx, id, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    RefillLists();
    Refill();
    Select(id);
}

void CCarDirDlg::Delete() {
    // An owner row names its car, which is the one removed.
    const QString id = m_list->SelectedValue(kCarRole);
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите автомобиль из списка\nдля его удаления!"));
        return;
    }
    const QString plate = m_list->SelectedValue(kPlateRole);
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранный автомобиль: ") + plate + u'?')) return;
    TryDb(m_ctx.prompter(), [&] { m_store.Delete(id); });
    RefillLists();
    Refill();
}

void CCarDirDlg::reject() {
    m_selected = false;
    m_resultCar.clear();
    m_resultLink.clear();
    if (m_list->Selected().isValid()) {
        m_selected = true;
        m_resultCar = m_list->SelectedValue(kCarRole);
        m_resultLink = m_list->SelectedValue(kLinkRole);
    }
    done(m_selected ? QDialog::Accepted : QDialog::Rejected);
}
