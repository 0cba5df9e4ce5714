#include "CServiceDirDlg.h"

#include "AppContext.h"
#include "CServiceDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "ServiceStore.h"
#include "Tooltip.h"
#include "WaitCursor.h"

#include <QBoxLayout>
#include <QBrush>
#include <QHash>
#include <QPushButton>
#include <QSet>
#include <QTreeWidgetItemIterator>

namespace {

constexpr Right kRightAdd = Right::AddService;
constexpr Right kRightEdit = Right::EditService;
constexpr Right kRightDelete = Right::DeleteService;

const QString kPickToEdit = QStringLiteral("Выберите! Выберите услугу или пакет услуг,\nдля его изменения!");
const QString kPickToDelete = QStringLiteral("Выберите! Выберите услугу или пакет услуг,\nдля его удаления!");
const QString kDeleteQuestion = QStringLiteral("Удалить услугу (пакет услуг и все услуги в пакете)?");
const QString kNotFound = QStringLiteral("Внимание! Справочник услуг не найден!");

// Columns as shown; the key columns live in item data.
enum Column { Name, Price, Nds, Vat, Summa, Pay, Duration, ColumnCount };

const QColor kPerformerColour(0, 0, 160);

QTreeWidgetItem *NewRow(QTreeWidgetItem *parent, QTreeWidget *list) {
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Name, Qt::Unchecked);
    for (int c = Price; c < ColumnCount; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(Duration, Qt::AlignCenter);
    return item;
}

void AddPerformers(QTreeWidgetItem *serviceRow, const ServiceNode &node) {
    for (const PickedWorker &w : node.performers) {
        QTreeWidgetItem *row = NewRow(serviceRow, nullptr);
        row->setText(Name, w.workFio);
        row->setData(Name, CServiceDirDlg::kKeyRole, w.iddServiceWork);
        row->setData(Name, CServiceDirDlg::kKindRole, int(CServiceDirDlg::PerformerRow));
        for (int c = 0; c < ColumnCount; ++c) row->setForeground(c, QBrush(kPerformerColour));
    }
}

QTreeWidgetItem *AddServiceRow(QTreeWidgetItem *parent, QTreeWidget *list, const ServiceNode &node) {
    const ServiceRecord &s = node.service;
    QTreeWidgetItem *row = NewRow(parent, list);
    row->setText(Name, s.name);
    row->setText(Price, s.price.Text());
    row->setText(Nds, Formats::TwoDecimals(s.prNds));
    row->setText(Vat, s.VatAmount().Text());
    row->setText(Summa, s.summa.Text());
    row->setText(Pay, s.PayAmount().Text());
    row->setText(Duration, Formats::Time(s.time));
    row->setData(Name, CServiceDirDlg::kKeyRole, s.iddService);
    row->setData(Name, CServiceDirDlg::kTopRole, s.iddTop);
    row->setData(Name, CServiceDirDlg::kKindRole, int(CServiceDirDlg::ServiceRow));
    AddPerformers(row, node);
    return row;
}

}  // namespace

CServiceDirDlg::CServiceDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Справочник услуг"));
    Build();
    Reload();
    // Services, prices and usual workers as saved elsewhere; the clerk's ticks stay.
    new LiveRefresh(this, ctx.db(), {QStringLiteral("SService"), QStringLiteral("ServiceWork")},
                    [this](const DataChanges &) { Refresh(); });
    KeyedList::WidenToFit(this);
}

void CServiceDirDlg::Build() {
    m_list = new KeyedList(
        {QStringLiteral("Название"), QStringLiteral("Цена"), QStringLiteral("НДС%"),
         QStringLiteral("Сумма НДС"), QStringLiteral("Сумма"), QStringLiteral("Сумма работнику"),
         QStringLiteral("Длительность")},
        Name, {[this] { AddService(); }, [this] { EditService(); }, [this] { DeleteService(); }}, this);
    m_list->setObjectName(QStringLiteral("services"));
    m_list->SetWidths({190, 70, 45, 70, 70, 90, 80});  // the figures widen to their headings
    m_list->setAlternatingRowColors(true);
    for (int c = Price; c < ColumnCount; ++c)
        m_list->headerItem()->setTextAlignment(
            c, (c == Duration ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);

    auto *add = PictureButton(
        QStringLiteral("Add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
        QStringLiteral("Добавить"),
        QStringLiteral("Добавить услугу или пакет услуг.\nНовая услуга попадает в выбранный пакет."));
    auto *edit = PictureButton(QStringLiteral("Edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить"),
                               QStringLiteral("Изменить выбранную услугу или пакет услуг."));
    auto *del =
        PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                      QStringLiteral("Удалить"),
                      QStringLiteral("Удалить выбранную услугу\nили пакет услуг со всеми услугами пакета."));
    auto *close = new QPushButton(QStringLiteral("Закрыть"));
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть"),
                 QStringLiteral(
                     "Закрыть справочник.\nОтмеченные услуги запоминаются\nдля дальнейшего использования."));
    Tooltip::Set(
        m_list, QStringLiteral("Справочник услуг"),
        QStringLiteral("Пакеты услуг, услуги и их исполнители.\nОтметьте услуги для добавления в заказ."));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Vertical, {add, edit, del}, close));

    connect(add, &QPushButton::clicked, this, [this] { AddService(); });
    connect(edit, &QPushButton::clicked, this, [this] { EditService(); });
    connect(del, &QPushButton::clicked, this, [this] { DeleteService(); });
    connect(close, &QPushButton::clicked, this, [this] { accept(); });
    resize(900, 480);
}

void CServiceDirDlg::Reload() {
    m_list->clear();
    m_tree = ServiceTree{};
    ServiceTree tree;
    if (TryDb(m_ctx.prompter(), [&] { tree = ServiceStore(m_ctx.db()).LoadTree(); })) Show(std::move(tree));
}

void CServiceDirDlg::Refresh() {
    ServiceTree tree = ServiceStore(m_ctx.db()).LoadTree();
    // What the clerk has ticked, unfolded and stands on is found again by key after the refill.
    QHash<QString, Qt::CheckState> ticks;
    QSet<QString> unfolded;
    const auto keyOf = [](const QTreeWidgetItem *item) { return item->data(Name, kKeyRole).toString(); };
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        ticks.insert(keyOf(*it), (*it)->checkState(Name));
        if ((*it)->isExpanded()) unfolded.insert(keyOf(*it));
    }
    const QString current = m_list->currentItem() ? keyOf(m_list->currentItem()) : QString();
    m_list->clear();
    Show(std::move(tree));
    for (QTreeWidgetItemIterator it(m_list); *it; ++it) {
        const QString key = keyOf(*it);
        if (ticks.contains(key)) (*it)->setCheckState(Name, ticks.value(key));
        (*it)->setExpanded(unfolded.contains(key));
        if (key == current) m_list->setCurrentItem(*it);
    }
}

void CServiceDirDlg::Show(ServiceTree tree) {
    m_tree = std::move(tree);
    for (const PackageNode &p : m_tree.packages) {
        QTreeWidgetItem *row = NewRow(nullptr, m_list);
        row->setText(Name, p.package.name);
        row->setData(Name, kKeyRole, p.package.iddService);
        row->setData(Name, kTopRole, Group::kPackage);
        row->setData(Name, kKindRole, int(PackageRow));
        for (const ServiceNode &s : p.services) AddServiceRow(row, nullptr, s);
        const ServiceTotals t = p.Totals();
        row->setText(Price, t.price.Text());
        row->setText(Vat, t.vat.Text());
        row->setText(Summa, t.summa.Text());
        row->setText(Pay, t.pay.Text());
        row->setText(Duration, t.Duration());
    }
    for (const ServiceNode &s : m_tree.standalone) AddServiceRow(nullptr, m_list, s);
    m_list->FitColumns();
}

QTreeWidgetItem *CServiceDirDlg::SelectedRow() const {
    return m_list->Selected();
}

void CServiceDirDlg::AddService() {
    if (!m_ctx.CheckRight(kRightAdd)) return;
    ServiceCardSetup setup;
    if (QTreeWidgetItem *row = SelectedRow()) {
        // A performer row stands for its service.
        if (row->data(Name, kKindRole).toInt() == PerformerRow) row = row->parent();
        const QString top = row->data(Name, kTopRole).toString();
        if (top != Group::kPackage) {
            setup.iddTop = top;  // the service's package is chosen in the card
        } else {
            // The new service goes into the selected package.
            setup.iddTop = row->data(Name, kKeyRole).toString();
            setup.packageText = row->text(Name);
        }
    }
    CServiceDlg card(m_ctx, setup, this);
    if (card.Loaded() && m_ctx.dialogs().Run(card) == QDialog::Accepted) Reload();
}

void CServiceDirDlg::EditService() {
    if (!m_ctx.CheckRight(kRightEdit)) return;
    QTreeWidgetItem *row = SelectedRow();
    if (!row || row->data(Name, kKindRole).toInt() == PerformerRow ||
        row->data(Name, kKeyRole).toString().isEmpty()) {
        m_ctx.prompter().Warning(kPickToEdit);
        return;
    }
    ServiceCardSetup setup;
    setup.existing = true;
    setup.iddService = row->data(Name, kKeyRole).toString();
    CServiceDlg card(m_ctx, setup, this);
    if (card.Loaded() && m_ctx.dialogs().Run(card) == QDialog::Accepted) Reload();
}

void CServiceDirDlg::DeleteService() {
    if (!m_ctx.CheckRight(kRightDelete)) return;
    QTreeWidgetItem *row = SelectedRow();
    // A performer row carries no service: it asks for a service like an empty selection does.
    if (!row || row->data(Name, kKindRole).toInt() == PerformerRow ||
        row->data(Name, kKeyRole).toString().isEmpty()) {
        m_ctx.prompter().Warning(kPickToDelete);
        return;
    }
    if (!m_ctx.prompter().Confirm(kDeleteQuestion)) return;
    bool deleted = false;
    if (!TryDb(m_ctx.prompter(),
               [&] { deleted = ServiceStore(m_ctx.db()).Delete(row->data(Name, kKeyRole).toString()); }))
        return;
    if (!deleted) {
        m_ctx.prompter().Error(kNotFound);
        return;
    }
    Reload();
}

void CServiceDirDlg::BuildSelection() {
    QSet<QString> rows, links;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = m_list->topLevelItem(i);
        if (top->checkState(Name) == Qt::Checked) rows.insert(top->data(Name, kKeyRole).toString());
        // Performer ticks count under every service, top-level or inside a package.
        QList<QTreeWidgetItem *> services;
        if (top->data(Name, kKindRole).toInt() == PackageRow) {
            for (int j = 0; j < top->childCount(); ++j) services << top->child(j);
        } else {
            services << top;
        }
        for (QTreeWidgetItem *s : services)
            for (int k = 0; k < s->childCount(); ++k)
                if (s->child(k)->checkState(Name) == Qt::Checked)
                    links.insert(s->child(k)->data(Name, kKeyRole).toString());
    }
    m_selected = ServiceStore::Select(m_tree, rows, links);
}

void CServiceDirDlg::accept() {
    BuildSelection();
    QDialog::accept();
}

void CServiceDirDlg::reject() {
    BuildSelection();
    QDialog::reject();
}
