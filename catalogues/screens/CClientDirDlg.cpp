#include "CClientDirDlg.h"

#include "AppContext.h"
#include "CClientDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "DirectoryModels.h"
#include "Formats.h"
#include "KeyGen.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace {

// Keys behind a row: the client (a car row carries its owner), the link and car of a car row, and the
// client's name for the questions.
constexpr int kClientRole = ClientListModel::kKeyRole;
constexpr int kLinkRole = ClientListModel::kLinkRole;
constexpr int kCarRole = ClientListModel::kCarRole;
constexpr int kNameRole = ClientListModel::kNameRole;

const QString kSelectToEdit = QStringLiteral("Выберите клиента из списка\nдля его изменения!");
const QString kSelectToDelete = QStringLiteral("Выберите клиента из списка\nдля его удаления!");
const QString kSelectToPrint =
    QStringLiteral("Выберите клиента из списка\nдля формирования на\nпечать сведений о нем!");

}  // namespace

CClientDirDlg::CClientDirDlg(AppContext &ctx, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_store(ctx.db()) {
    BuildUi();
    Refill();
    // Clients, their cars and their debts as written elsewhere, for the search shown.
    new LiveRefresh(this, ctx.db(),
                    {QStringLiteral("SClient"), QStringLiteral("SAvto"), QStringLiteral("AvtoVlad"),
                     QStringLiteral("TZakaz")},
                    [this](const DataChanges &) {
                        bool more = false;
                        QList<ClientListRow> rows = m_store.Search(m_shown, KeyedView::kFirstScreen, &more);
                        Show(std::move(rows), more);
                    });
    KeyedList::WidenToFit(this);
    // With no client to choose the clerk starts with a search (or Insert, from the list).
    if (m_rows->rowCount() == 0) m_name->setFocus();
}

void CClientDirDlg::BuildUi() {
    setWindowTitle(QStringLiteral("Справочник клиентов"));
    resize(900, 560);

    m_name = new QComboBox;
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    Tooltip::Set(m_name, QStringLiteral("Название клиента"),
                 QStringLiteral("Название клиента для поиска.\nИщется точное совпадение названия."));
    m_inn = new QLineEdit;
    m_inn->setObjectName(QStringLiteral("inn"));
    Tooltip::Set(m_inn, QStringLiteral("ИНН клиента"), QStringLiteral("ИНН/КПП клиента для поиска."));
    m_plate = new QLineEdit;
    m_plate->setObjectName(QStringLiteral("plate"));
    Tooltip::Set(
        m_plate, QStringLiteral("Гос. номер автомобиля"),
        QStringLiteral(
            "Гос. номер автомобиля клиента для поиска.\nС названием учитывается только вместе с ИНН."));
    m_debtors = new QCheckBox(QStringLiteral("Должники"));
    m_debtors->setObjectName(QStringLiteral("debtors"));
    Tooltip::Set(m_debtors, QStringLiteral("Поиск по должникам"),
                 QStringLiteral("Показывать только клиентов,\nимеющих задолженность."));

    auto *find = PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"), QStringLiteral("Найти"),
                               QStringLiteral("Поиск информации"),
                               QStringLiteral("Найти клиентов по заданным условиям."));
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, &CClientDirDlg::Refill);
    connect(m_debtors, &QCheckBox::toggled, this, &CClientDirDlg::Refill);

    auto *filters = new QGridLayout;
    filters->addWidget(new QLabel(QStringLiteral("Название:")), 0, 0);
    filters->addWidget(new QLabel(QStringLiteral("ИНН/КПП:")), 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("Гос. № авто.:")), 0, 2);
    filters->addWidget(m_name, 1, 0);
    filters->addWidget(m_inn, 1, 1);
    filters->addWidget(m_plate, 1, 2);
    filters->addWidget(m_debtors, 1, 3);
    filters->addWidget(find, 1, 4);
    filters->setColumnStretch(0, 3);
    filters->setColumnStretch(1, 1);
    filters->setColumnStretch(2, 1);

    m_rows = new ClientListModel(this);
    m_list = new KeyedView(m_rows, ClientListModel::ColName,
                           {[this] { Add(); }, [this] { Edit(); }, [this] { Delete(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({110, 180, 130, 80, 80, 100, 80});
    m_list->setAlternatingRowColors(true);
    Tooltip::Set(m_list, QStringLiteral("Справочник клиентов"),
                 QStringLiteral("Клиенты и их автомобили.\nПравая кнопка мыши открывает меню."));

    auto *add = PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                              QStringLiteral("Добавить клиента"), QStringLiteral("Добавить нового клиента."));
    auto *edit = PictureButton(QStringLiteral("edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить клиента"),
                               QStringLiteral("Изменить сведения о выбранном клиенте."));
    auto *del =
        PictureButton(QStringLiteral("DEL"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                      QStringLiteral("Удалить клиента"),
                      QStringLiteral("Удалить выбранного клиента.\nЕго автомобили остаются в справочнике."));
    m_printButton =
        PictureButton(QStringLiteral("print"), QStringLiteral("document-print"), QStringLiteral("Печать"),
                      QStringLiteral("Печать"), QStringLiteral("Сведения о выбранном клиенте на печать."));
    m_printButton->setVisible(false);
    auto *close = new QPushButton(QStringLiteral("Закрыть"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть справочник"),
                 QStringLiteral("Закрыть справочник.\nВыбранный клиент передается в вызвавшее окно."));
    connect(add, &QPushButton::clicked, this, &CClientDirDlg::Add);
    connect(edit, &QPushButton::clicked, this, &CClientDirDlg::Edit);
    connect(del, &QPushButton::clicked, this, &CClientDirDlg::Delete);
    connect(m_printButton, &QPushButton::clicked, this, &CClientDirDlg::Print);
    connect(close, &QPushButton::clicked, this, &CClientDirDlg::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Horizontal, {add, edit, del, m_printButton}, close));
}

void CClientDirDlg::SetFilters(const QString &name, const QString &inn, const QString &plate,
                               bool debtorsOnly) {
    m_name->setEditText(name);
    m_inn->setText(inn);
    m_plate->setText(plate);
    const QSignalBlocker block(m_debtors);
    m_debtors->setChecked(debtorsOnly);
    Refill();
}

void CClientDirDlg::SetPicking(bool on) {
    m_list->SetCommands({[this] { Add(); },
                         on ? std::function<void()>([this] {
                             if (m_list->Selected().isValid()) reject();  // closing hands back the row
                         })
                            : std::function<void()>([this] { Edit(); }),
                         [this] { Delete(); }});
}

void CClientDirDlg::SetPrintHandler(std::function<void(const QString &, bool)> handler) {
    m_print = std::move(handler);
    m_printButton->setVisible(bool(m_print));
}

void CClientDirDlg::Refill() {
    ClientFilter filter;
    filter.name = m_name->currentText();
    filter.inn = m_inn->text();
    filter.plate = m_plate->text();
    filter.debtorsOnly = m_debtors->isChecked();
    Fill(filter, KeyedView::kFirstScreen);
}

void CClientDirDlg::Fill(const ClientFilter &filter, int firstRows) {
    QList<ClientListRow> rows;
    bool more = false;
    if (!TryDb(m_ctx.prompter(), [&] { rows = m_store.Search(filter, firstRows, &more); })) return;
    m_shown = filter;
    Show(std::move(rows), more);
}

void CClientDirDlg::Show(QList<ClientListRow> rows, bool more) {
    m_list->SetRest(more ? std::function<void()>([this, filter = m_shown] { Fill(filter, 0); }) : nullptr);
    QStringList names;
    QSet<QString> seen;
    for (const ClientListRow &row : rows) {
        if (seen.contains(row.client.clientName)) continue;
        seen.insert(row.client.clientName);
        names << row.client.clientName;
    }
    m_rows->Set(std::move(rows));
    m_list->FitColumns();
    const QString typed = m_name->currentText();
    m_name->clear();
    m_name->addItems(names);
    m_name->setEditText(typed);
}

bool CClientDirDlg::Select(const QString &iddClient, const QString &iddAvtoVlad) {
    return m_list->SelectKey(kClientRole, iddClient, kLinkRole, iddAvtoVlad);
}

void CClientDirDlg::Add() {
    CClientDlg card(m_ctx, QString(), this);
    m_ctx.dialogs().Run(card);
    Refill();
    if (card.saved()) Select(card.iddClient());
}

void CClientDirDlg::Edit() {
    const QString id = m_list->SelectedValue(kClientRole);
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToEdit);
        return;
    }
    const QString link = m_list->SelectedValue(kLinkRole);
    CClientDlg card(m_ctx, id, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    Refill();
    if (!Select(id, link)) Select(id);
}

void CClientDirDlg::Delete() {
    // A car row names its owner, who is the one removed.
    const QString id = m_list->SelectedValue(kClientRole);
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToDelete);
        return;
    }
    const QString name = m_list->SelectedValue(kNameRole);
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить выбранного клиента: ") + name + u'?')) return;
    TryDb(m_ctx.prompter(), [&] { m_store.Delete(id); });
    Refill();
}

void CClientDirDlg::Print() {
    const QString id = m_list->SelectedValue(kClientRole);
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(kSelectToPrint);
        return;
    }
    if (m_print) m_print(id, m_debtors->isChecked());
}

void CClientDirDlg::reject() {
    m_selected = false;
    m_resultClient.clear();
    m_resultName.clear();
    m_resultLink.clear();
    m_resultCar.clear();
    if (m_list->Selected().isValid()) {
        m_selected = true;
        m_resultClient = m_list->SelectedValue(kClientRole);
        m_resultName = m_list->SelectedValue(kNameRole);
        m_resultLink = m_list->SelectedValue(kLinkRole);
        m_resultCar = m_list->SelectedValue(kCarRole);
    }
    done(m_selected ? QDialog::Accepted : QDialog::Rejected);
}
