#include "CWorkerDirDlg.h"

#include "AppContext.h"
#include "CWorkerDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "EditMenu.h"
#include "Formats.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "WorkerStore.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kFio, kAdres, kTel, kSalary, kDataIn, kDataOut, kColumnCount };

constexpr int kRightAdd = 22;
constexpr int kRightEdit = 23;
constexpr int kRightDelete = 24;

}  // namespace

CWorkerDirDlg::CWorkerDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    Build();
    Refill();
}

void CWorkerDirDlg::Build() {
    setWindowTitle(QStringLiteral("Справочник сотрудников"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(kColumnCount);
    m_list->setHeaderLabels({QStringLiteral("Ф.И.О.:"), QStringLiteral("Адрес:"), QStringLiteral("Телефон:"),
                             QStringLiteral("Оклад:"), QStringLiteral("Принят:"), QStringLiteral("Уволен:")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSortingEnabled(false);
    m_list->setColumnWidth(kFio, 190);
    m_list->setColumnWidth(kAdres, 180);
    m_list->setColumnWidth(kTel, 100);
    m_list->setColumnWidth(kDataIn, 90);
    m_list->setColumnWidth(kDataOut, 90);
    m_list->setColumnHidden(kSalary, true);  // kept with the row, not shown
    m_list->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-right: 1px solid #d8d8d8; border-bottom: 1px solid #d8d8d8; }"));

    m_add = new QPushButton(QStringLiteral("Add"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_edit = new QPushButton(QStringLiteral("Edit"), this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_del = new QPushButton(QStringLiteral("Del"), this);
    m_del->setObjectName(QStringLiteral("del"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);

    Tooltip::Set(
        m_list, QStringLiteral("Сотрудники"),
        QStringLiteral("Отметьте сотрудников, которых нужно выбрать.\nПравая кнопка мыши открывает меню."));
    Tooltip::Set(m_add, QStringLiteral("Добавить"), QStringLiteral("Добавить нового сотрудника."));
    Tooltip::Set(m_edit, QStringLiteral("Изменить"),
                 QStringLiteral("Изменить сведения о выбранном сотруднике."));
    Tooltip::Set(m_del, QStringLiteral("Удалить"), QStringLiteral("Удалить выбранного сотрудника."));
    Tooltip::Set(
        m_ok, QStringLiteral("Закрыть"),
        QStringLiteral(
            "Закрыть справочник.\nОтмеченные сотрудники запоминаются\nдля дальнейшего использования."));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_del);
    buttons->addStretch();
    buttons->addWidget(m_ok);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(760, 420);

    connect(m_add, &QPushButton::clicked, this, &CWorkerDirDlg::AddWorker);
    connect(m_edit, &QPushButton::clicked, this, &CWorkerDirDlg::EditWorker);
    connect(m_del, &QPushButton::clicked, this, &CWorkerDirDlg::DeleteWorker);
    connect(m_ok, &QPushButton::clicked, this, &CWorkerDirDlg::accept);
    AttachEditMenu(
        m_list, [this] { AddWorker(); }, [this] { EditWorker(); }, [this] { DeleteWorker(); });
}

void CWorkerDirDlg::SetPicked(const PickedWorkers &picked) {
    m_picked = picked;
    QSet<QString> ids;
    for (const PickedWorker &p : picked) {
        if (!p.deleted) ids.insert(p.iddWork);
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        item->setCheckState(
            kFio, ids.contains(item->data(kFio, Qt::UserRole).toString()) ? Qt::Checked : Qt::Unchecked);
    }
}

void CWorkerDirDlg::SetAllWorkers(bool on) {
    if (m_allWorkers == on) return;
    m_allWorkers = on;
    Refill();
}

void CWorkerDirDlg::SetDeletedWorkers(bool on) {
    if (m_deletedWorkers == on) return;
    m_deletedWorkers = on;
    Refill();
}

QSet<QString> CWorkerDirDlg::TickedIds() const {
    QSet<QString> ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->checkState(kFio) == Qt::Checked) ids.insert(item->data(kFio, Qt::UserRole).toString());
    }
    return ids;
}

void CWorkerDirDlg::Refill() {
    const QSet<QString> ticked = TickedIds();
    const QTreeWidgetItem *current = Selected();
    const QString currentId = current ? current->data(kFio, Qt::UserRole).toString() : QString();

    QList<WorkerRecord> workers;
    if (!TryDb(m_ctx.prompter(),
               [&] { workers = WorkerStore(m_ctx.db()).List(m_allWorkers, m_deletedWorkers); }))
        return;

    m_list->clear();
    for (const WorkerRecord &w : workers) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setData(kFio, Qt::UserRole, w.iddWork);
        item->setText(kFio, w.workFio);
        item->setText(kAdres, w.workAdres);
        item->setText(kTel, w.workTel);
        item->setText(kSalary, Formats::Money(w.workSalary));
        item->setTextAlignment(kSalary, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kDataIn, w.workDataIn.isValid() ? Formats::Date(w.workDataIn) : QString());
        item->setText(kDataOut,
                      w.workOut && w.workDataOut.isValid() ? Formats::Date(w.workDataOut) : QString());
        item->setCheckState(kFio, ticked.contains(w.iddWork) ? Qt::Checked : Qt::Unchecked);
        if (w.iddWork == currentId) m_list->setCurrentItem(item);
    }
}

QTreeWidgetItem *CWorkerDirDlg::Selected() const {
    const QList<QTreeWidgetItem *> items = m_list->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void CWorkerDirDlg::AddWorker() {
    if (!m_ctx.CheckRight(kRightAdd)) return;
    CWorkerDlg card(m_ctx, QString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CWorkerDirDlg::EditWorker() {
    if (!m_ctx.CheckRight(kRightEdit)) return;
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его изменения!"));
        return;
    }
    CWorkerDlg card(m_ctx, item->data(kFio, Qt::UserRole).toString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CWorkerDirDlg::DeleteWorker() {
    if (!m_ctx.CheckRight(kRightDelete)) return;
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его удаления!"));
        return;
    }
    const QString id = item->data(kFio, Qt::UserRole).toString();
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить сотрудника?"))) return;
    if (!TryDb(m_ctx.prompter(), [&] { WorkerStore(m_ctx.db()).Delete(id); })) return;
    Refill();
}

void CWorkerDirDlg::accept() {
    m_picked.clear();
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->checkState(kFio) != Qt::Checked) continue;
        m_picked << PickedWorker{QString(), item->data(kFio, Qt::UserRole).toString(), item->text(kFio),
                                 false};
    }
    QDialog::accept();
}
