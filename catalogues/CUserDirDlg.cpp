#include "CUserDirDlg.h"

#include "AppContext.h"
#include "CUserDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "EditMenu.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "UserStore.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kLogin, kName, kColumnCount };

}  // namespace

CUserDirDlg::CUserDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Справочник пользователей"));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setColumnCount(kColumnCount);
    m_list->setHeaderLabels({QStringLiteral("Логин"), QStringLiteral("Ф.И.О. пользователя")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnWidth(kLogin, 80);
    m_list->setColumnWidth(kName, 280);
    m_list->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-right: 1px solid #d8d8d8; border-bottom: 1px solid #d8d8d8; }"));

    m_add = new QPushButton(QStringLiteral("add"), this);
    m_add->setObjectName(QStringLiteral("add"));
    m_edit = new QPushButton(QStringLiteral("Edit"), this);
    m_edit->setObjectName(QStringLiteral("edit"));
    m_del = new QPushButton(QStringLiteral("Del"), this);
    m_del->setObjectName(QStringLiteral("del"));
    m_close = new QPushButton(QStringLiteral("Закрыть"), this);
    m_close->setObjectName(QStringLiteral("close"));

    Tooltip::Set(m_list, QStringLiteral("Пользователи"),
                 QStringLiteral("Пользователи программы.\nПравая кнопка мыши открывает меню."));
    Tooltip::Set(m_add, QStringLiteral("Добавить"), QStringLiteral("Добавить пользователя."));
    Tooltip::Set(m_edit, QStringLiteral("Изменить"),
                 QStringLiteral("Изменить выбранного пользователя и его права."));
    Tooltip::Set(m_del, QStringLiteral("Удалить"), QStringLiteral("Удалить выбранного пользователя."));
    Tooltip::Set(m_close, QStringLiteral("Закрыть"), QStringLiteral("Закрыть справочник."));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_del);
    buttons->addStretch();
    buttons->addWidget(m_close);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(500, 360);

    connect(m_add, &QPushButton::clicked, this, &CUserDirDlg::AddUser);
    connect(m_edit, &QPushButton::clicked, this, &CUserDirDlg::EditUser);
    connect(m_del, &QPushButton::clicked, this, &CUserDirDlg::DeleteUser);
    connect(m_close, &QPushButton::clicked, this, &CUserDirDlg::reject);
    AttachEditMenu(
        m_list, [this] { AddUser(); }, [this] { EditUser(); }, [this] { DeleteUser(); });

    Refill();
}

void CUserDirDlg::Refill() {
    const QTreeWidgetItem *current = Selected();
    const QString currentId = current ? current->data(kLogin, Qt::UserRole).toString() : QString();
    QList<UserRecord> users;
    if (!TryDb(m_ctx.prompter(), [&] { users = UserStore(m_ctx.db()).ListActive(); })) return;
    m_list->clear();
    for (const UserRecord &u : users) {
        auto *item = new QTreeWidgetItem(m_list, {u.login, u.name});
        item->setData(kLogin, Qt::UserRole, u.iddUser);
        if (u.iddUser == currentId) m_list->setCurrentItem(item);
    }
}

QTreeWidgetItem *CUserDirDlg::Selected() const {
    const QList<QTreeWidgetItem *> items = m_list->selectedItems();
    return items.isEmpty() ? nullptr : items.first();
}

void CUserDirDlg::AddUser() {
    CUserDlg card(m_ctx, QString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CUserDirDlg::EditUser() {
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите пользователя,\nдля его редактирования!"));
        return;
    }
    CUserDlg card(m_ctx, item->data(kLogin, Qt::UserRole).toString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CUserDirDlg::DeleteUser() {
    const QTreeWidgetItem *item = Selected();
    if (!item) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите пользователя,\nдля его удаления!"));
        return;
    }
    const QString id = item->data(kLogin, Qt::UserRole).toString();
    if (!m_ctx.prompter().Question(QStringLiteral("Удалить пользователя?"))) return;
    if (!TryDb(m_ctx.prompter(), [&] { UserStore(m_ctx.db()).SoftDelete(id); })) return;
    Refill();
}
