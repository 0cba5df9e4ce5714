#include "CBayDirDlg.h"

#include "AppContext.h"
#include "BayStore.h"
#include "CBayDlg.h"
#include "DbAction.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "EditMenu.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kName, kNote, kColumnCount };

}  // namespace

CBayDirDlg::CBayDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Справочник боксов (моек)"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(kColumnCount);
    m_list->setHeaderLabels({QStringLiteral("Название"), QStringLiteral("Примечание")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnWidth(kName, 290);
    m_list->setColumnWidth(kNote, 140);
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

    Tooltip::Set(m_list, QStringLiteral("Боксы (мойки)"),
                 QStringLiteral("Места оказания услуг.\nПравая кнопка мыши открывает меню."));
    Tooltip::Set(m_add, QStringLiteral("Добавить"), QStringLiteral("Добавить бокс (мойку)."));
    Tooltip::Set(m_edit, QStringLiteral("Изменить"), QStringLiteral("Изменить выбранный бокс (мойку)."));
    Tooltip::Set(m_del, QStringLiteral("Удалить"), QStringLiteral("Удалить выбранный бокс (мойку)."));
    Tooltip::Set(m_ok, QStringLiteral("Закрыть"), QStringLiteral("Закрыть справочник."));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_del);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(560, 360);

    connect(m_add, &QPushButton::clicked, this, &CBayDirDlg::AddBay);
    connect(m_edit, &QPushButton::clicked, this, &CBayDirDlg::EditBay);
    connect(m_del, &QPushButton::clicked, this, &CBayDirDlg::DeleteBay);
    connect(m_ok, &QPushButton::clicked, this, &CBayDirDlg::accept);
    AttachEditMenu(
        m_list, [this] { AddBay(); }, [this] { EditBay(); }, [this] { DeleteBay(); });

    Refill();
}

void CBayDirDlg::Refill() {
    const QTreeWidgetItem *current = Selected();
    const QString currentId = current ? current->data(kName, Qt::UserRole).toString() : QString();
    QList<BayRecord> bays;
    if (!TryDb(m_ctx.prompter(), [&] { bays = BayStore(m_ctx.db()).List(); })) return;
    m_list->clear();
    for (const BayRecord &b : bays) {
        auto *item = new QTreeWidgetItem(m_list, {b.nameBox, b.primBox});
        item->setData(kName, Qt::UserRole, b.iddBox);
        if (b.iddBox == currentId) m_list->setCurrentItem(item);
    }
}

QTreeWidgetItem *CBayDirDlg::Selected() const {
    const QList<QTreeWidgetItem *> items = m_list->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void CBayDirDlg::AddBay() {
    CBayDlg card(m_ctx, this);
    card.SetSaver([this](const QString &name, const QString &note) {
        BayStore(m_ctx.db()).Add(name, note, m_ctx.login());
    });
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted) Refill();
}

void CBayDirDlg::EditBay() {
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его изменения!"));
        return;
    }
    const QString id = item->data(kName, Qt::UserRole).toString();
    CBayDlg card(m_ctx, this);
    card.SetName(item->text(kName));
    card.SetNote(item->text(kNote));
    card.SetSaver([this, id](const QString &name, const QString &note) {
        if (!BayStore(m_ctx.db()).Update(id, name, note)) {
            throw DbError(QStringLiteral("Бокс (мойка) не найден в базе данных."));
        }
    });
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted) Refill();
}

void CBayDirDlg::DeleteBay() {
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его удаления!"));
        return;
    }
    const QString id = item->data(kName, Qt::UserRole).toString();
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить бокс (мойку)?"))) return;
    if (!TryDb(m_ctx.prompter(), [&] { BayStore(m_ctx.db()).Delete(id); })) return;
    Refill();
}
