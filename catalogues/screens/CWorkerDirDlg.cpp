#include "CWorkerDirDlg.h"

#include "AppContext.h"
#include "CWorkerDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "WorkerStore.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

enum Column { kFio, kAdres, kTel, kSalary, kDataIn, kDataOut };

constexpr Right kRightAdd = Right::AddWorker;
constexpr Right kRightEdit = Right::EditWorker;
constexpr Right kRightDelete = Right::DeleteWorker;

}  // namespace

CWorkerDirDlg::CWorkerDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    Build();
    Refill();
    // The ticks the clerk has made stay as they are.
    new LiveRefresh(this, m_ctx.db(), {QStringLiteral("SWork")},
                    [this](const DataChanges &) { Show(WorkerStore(m_ctx.db()).List()); });
    KeyedList::WidenToFit(this);
}

void CWorkerDirDlg::Build() {
    setWindowTitle(QStringLiteral("Справочник сотрудников"));

    m_list = new KeyedList(
        {QStringLiteral("Ф.И.О.:"), QStringLiteral("Адрес:"), QStringLiteral("Телефон:"),
         QStringLiteral("Оклад:"), QStringLiteral("Принят:"), QStringLiteral("Уволен:")},
        kFio, {[this] { AddWorker(); }, [this] { EditWorker(); }, [this] { DeleteWorker(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({190, 180, 100, 0, 90, 90});
    m_list->setColumnHidden(kSalary, true);  // kept with the row, not shown
    m_list->SetSortable(true);
    m_list->setRootIsDecorated(false);

    auto *add = PictureButton(QStringLiteral("Add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                              QStringLiteral("Добавить"), QStringLiteral("Добавить нового сотрудника."));
    auto *edit = PictureButton(QStringLiteral("Edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить"),
                               QStringLiteral("Изменить сведения о выбранном сотруднике."));
    auto *del = PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                              QStringLiteral("Удалить"), QStringLiteral("Удалить выбранного сотрудника."));
    auto *ok = new QPushButton(QStringLiteral("Закрыть"));  // after the commands in Tab order
    ok->setObjectName(QStringLiteral("ok"));
    ok->setAutoDefault(false);

    Tooltip::Set(
        m_list, QStringLiteral("Сотрудники"),
        QStringLiteral("Отметьте сотрудников, которых нужно выбрать.\nПравая кнопка мыши открывает меню."));
    Tooltip::Set(
        ok, QStringLiteral("Закрыть"),
        QStringLiteral(
            "Закрыть справочник.\nОтмеченные сотрудники запоминаются\nдля дальнейшего использования."));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Vertical, {add, edit, del}, ok));
    resize(820, 420);

    connect(add, &QPushButton::clicked, this, &CWorkerDirDlg::AddWorker);
    connect(edit, &QPushButton::clicked, this, &CWorkerDirDlg::EditWorker);
    connect(del, &QPushButton::clicked, this, &CWorkerDirDlg::DeleteWorker);
    connect(ok, &QPushButton::clicked, this, &CWorkerDirDlg::accept);
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

void CWorkerDirDlg::SetPicking(bool on) {
    m_list->SetCommands({[this] { AddWorker(); },
                         on ? std::function<void()>([this] {
                             if (QTreeWidgetItem *item = m_list->Selected()) {
                                 item->setCheckState(kFio, Qt::Checked);
                                 accept();
                             }
                         })
                            : std::function<void()>([this] { EditWorker(); }),
                         [this] { DeleteWorker(); }});
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
    TryDb(m_ctx.prompter(), [&] { Show(WorkerStore(m_ctx.db()).List()); });
}

void CWorkerDirDlg::Show(const QList<WorkerRecord> &workers) {
    const QSet<QString> ticked = TickedIds();
    const QString current = m_list->CurrentKey();
    m_list->clear();
    for (const WorkerRecord &w : workers) {
        const bool out = w.workOut && w.workDataOut.isValid();
        QTreeWidgetItem *item =
            m_list->AddRow({w.workFio, w.workAdres, w.workTel, w.workSalary.Text(),
                            w.workDataIn.isValid() ? Formats::Date(w.workDataIn) : QString(),
                            out ? Formats::Date(w.workDataOut) : QString()},
                           w.iddWork);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setTextAlignment(kSalary, Qt::AlignRight | Qt::AlignVCenter);
        KeyedList::SetSortValue(item, kDataIn,
                                w.workDataIn.isValid() ? QVariant(w.workDataIn) : QVariant(QDateTime()));
        KeyedList::SetSortValue(item, kDataOut, out ? QVariant(w.workDataOut) : QVariant(QDateTime()));
        item->setCheckState(kFio, ticked.contains(w.iddWork) ? Qt::Checked : Qt::Unchecked);
    }
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}

void CWorkerDirDlg::AddWorker() {
    if (!m_ctx.CheckRight(kRightAdd)) return;
    CWorkerDlg card(m_ctx, QString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CWorkerDirDlg::EditWorker() {
    if (!m_ctx.CheckRight(kRightEdit)) return;
    const QString id = m_list->CurrentKey();
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его изменения!"));
        return;
    }
    CWorkerDlg card(m_ctx, id, this);
    if (card.Loaded() && m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CWorkerDirDlg::DeleteWorker() {
    if (!m_ctx.CheckRight(kRightDelete)) return;
    const QString id = m_list->CurrentKey();
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить сотрудника?"))) return;
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
