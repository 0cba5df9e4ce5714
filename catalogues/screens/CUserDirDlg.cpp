#include "CUserDirDlg.h"

#include "AppContext.h"
#include "CUserDlg.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "UserStore.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

enum Column { kLogin, kName };

}  // namespace

CUserDirDlg::CUserDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Справочник пользователей"));

    m_list = new KeyedList({QStringLiteral("Логин"), QStringLiteral("Ф.И.О. пользователя")}, kName,
                           {[this] { AddUser(); }, [this] { EditUser(); }, [this] { DeleteUser(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({80, 280});
    m_list->SetSortable(true);
    m_list->setRootIsDecorated(false);
    Tooltip::Set(m_list, QStringLiteral("Пользователи"),
                 QStringLiteral("Пользователи программы.\nПравая кнопка мыши открывает меню."));

    auto *add = PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                              QStringLiteral("Добавить"), QStringLiteral("Добавить пользователя."));
    auto *edit = PictureButton(QStringLiteral("Edit"), QStringLiteral("document-edit"),
                               QStringLiteral("Изменить"), QStringLiteral("Изменить"),
                               QStringLiteral("Изменить выбранного пользователя и его права."));
    auto *del = PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                              QStringLiteral("Удалить"), QStringLiteral("Удалить выбранного пользователя."));
    auto *close = new QPushButton(QStringLiteral("Закрыть"));  // after the commands in Tab order
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    Tooltip::Set(close, QStringLiteral("Закрыть"), QStringLiteral("Закрыть справочник."));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Vertical, {add, edit, del}, close));
    resize(540, 360);

    connect(add, &QPushButton::clicked, this, &CUserDirDlg::AddUser);
    connect(edit, &QPushButton::clicked, this, &CUserDirDlg::EditUser);
    connect(del, &QPushButton::clicked, this, &CUserDirDlg::DeleteUser);
    connect(close, &QPushButton::clicked, this, &CUserDirDlg::reject);

    Refill();
    new LiveRefresh(this, m_ctx.db(), {QStringLiteral("SUser")},
                    [this](const DataChanges &) { Show(UserStore(m_ctx.db()).ListActive()); });
    KeyedList::WidenToFit(this);
}

void CUserDirDlg::Refill() {
    TryDb(m_ctx.prompter(), [&] { Show(UserStore(m_ctx.db()).ListActive()); });
}

void CUserDirDlg::Show(const QList<UserRecord> &users) {
    const QString current = m_list->CurrentKey();
    m_list->clear();
    for (const UserRecord &u : users) m_list->AddRow({u.login, u.name}, u.iddUser);
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}

void CUserDirDlg::AddUser() {
    CUserDlg card(m_ctx, QString(), this);
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CUserDirDlg::EditUser() {
    const QString id = m_list->CurrentKey();
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите пользователя,\nдля его редактирования!"));
        return;
    }
    CUserDlg card(m_ctx, id, this);
    if (card.Loaded() && m_ctx.dialogs().Run(card) == QDialog::Accepted && card.Saved()) Refill();
}

void CUserDirDlg::DeleteUser() {
    const QString id = m_list->CurrentKey();
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите пользователя,\nдля его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить пользователя?"))) return;
    if (!TryDb(m_ctx.prompter(), [&] { UserStore(m_ctx.db()).SoftDelete(id); })) return;
    Refill();
}
