#include "CBayDirDlg.h"

#include "AppContext.h"
#include "BayStore.h"
#include "CBayDlg.h"
#include "DbAction.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "KeyedList.h"
#include "LiveRefresh.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QBoxLayout>
#include <QPushButton>

namespace {

enum Column { kName, kNote };

}  // namespace

CBayDirDlg::CBayDirDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Справочник боксов (моек)"));

    m_list = new KeyedList({QStringLiteral("Название"), QStringLiteral("Примечание")}, kName,
                           {[this] { AddBay(); }, [this] { EditBay(); }, [this] { DeleteBay(); }}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({290, 140});
    m_list->SetSortable(true);
    m_list->setRootIsDecorated(false);
    Tooltip::Set(m_list, QStringLiteral("Боксы (мойки)"),
                 QStringLiteral("Места оказания услуг.\nПравая кнопка мыши открывает меню."));

    auto *add = PictureButton(QStringLiteral("Add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                              QStringLiteral("Добавить"), QStringLiteral("Добавить бокс (мойку)."));
    auto *edit =
        PictureButton(QStringLiteral("Edit"), QStringLiteral("document-edit"), QStringLiteral("Изменить"),
                      QStringLiteral("Изменить"), QStringLiteral("Изменить выбранный бокс (мойку)."));
    auto *del = PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                              QStringLiteral("Удалить"), QStringLiteral("Удалить выбранный бокс (мойку)."));
    auto *ok = new QPushButton(QStringLiteral("Закрыть"));  // after the commands in Tab order
    ok->setObjectName(QStringLiteral("ok"));
    ok->setAutoDefault(false);
    Tooltip::Set(ok, QStringLiteral("Закрыть"), QStringLiteral("Закрыть справочник."));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(ButtonBar(Qt::Vertical, {add, edit, del}, ok));
    resize(600, 360);

    connect(add, &QPushButton::clicked, this, &CBayDirDlg::AddBay);
    connect(edit, &QPushButton::clicked, this, &CBayDirDlg::EditBay);
    connect(del, &QPushButton::clicked, this, &CBayDirDlg::DeleteBay);
    connect(ok, &QPushButton::clicked, this, &CBayDirDlg::accept);

    Refill();
    new LiveRefresh(this, m_ctx.db(), {QStringLiteral("SBox")},
                    [this](const DataChanges &) { Show(BayStore(m_ctx.db()).List()); });
    KeyedList::WidenToFit(this);
}

void CBayDirDlg::Refill() {
    TryDb(m_ctx.prompter(), [&] { Show(BayStore(m_ctx.db()).List()); });
}

void CBayDirDlg::Show(const QList<BayRecord> &bays) {
    const QString current = m_list->CurrentKey();
    m_list->clear();
    for (const BayRecord &b : bays) m_list->AddRow({b.nameBox, b.primBox}, b.iddBox);
    m_list->FitColumns();
    if (!current.isEmpty()) m_list->SelectKey(current);
}

void CBayDirDlg::AddBay() {
    CBayDlg card(m_ctx, this);
    card.SetSaver([this](const QString &name, const QString &note) {
        BayStore(m_ctx.db()).Add(name, note, m_ctx.login());
    });
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted) Refill();
}

void CBayDirDlg::EditBay() {
    const QTreeWidgetItem *item = m_list->Selected();
    if (!item) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его изменения!"));
        return;
    }
    const QString id = KeyedList::Key(item);
    CBayDlg card(m_ctx, this);
    if (!card.Open(id)) return;  // the card reads the bay and writes it unless changed elsewhere meanwhile
    if (m_ctx.dialogs().Run(card) == QDialog::Accepted) Refill();
}

void CBayDirDlg::DeleteBay() {
    const QString id = m_list->CurrentKey();
    if (id.isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Выберите место оказания услуги (бокс или мойку),\nдля его удаления!"));
        return;
    }
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить бокс (мойку)?"))) return;
    if (!TryDb(m_ctx.prompter(), [&] { BayStore(m_ctx.db()).Delete(id); })) return;
    Refill();
}
