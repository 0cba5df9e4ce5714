#include "CBayDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "DbAction.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Tooltip.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CBayDlg::CBayDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    setWindowTitle(QStringLiteral("Бокс (мойка)"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("note"));
    Inputs::LimitTo(m_name, QStringLiteral("SBox"), QStringLiteral("NameBox"));
    Inputs::LimitTo(m_note, QStringLiteral("SBox"), QStringLiteral("PrimBox"));

    Tooltip::Set(m_name, QStringLiteral("Название"),
                 QStringLiteral("Название или номер мойки или бокса,\nгде оказываются услуги."));
    Tooltip::Set(m_note, QStringLiteral("Примечание"), QStringLiteral("Примечание к боксу (мойке)."));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Название:"), m_name);
    form->addRow(QStringLiteral("Примечание:"), m_note);
    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить бокс (мойку)\nи закрыть окно."));
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, sizeHint().height());
    m_name->setFocus();  // the first field to fill
}

void CBayDlg::SetName(const QString &name) {
    m_name->setText(name);
}

void CBayDlg::SetNote(const QString &note) {
    m_note->setText(note);
}

QString CBayDlg::Name() const {
    return m_name->text().trimmed();
}

QString CBayDlg::Note() const {
    return m_note->text().trimmed();
}

bool CBayDlg::Open(const QString &iddBox) {
    std::optional<BayRecord> bay;
    if (!TryDb(m_ctx.prompter(), [&] { bay = BayStore(m_ctx.db()).Load(iddBox); })) return false;
    if (!bay || bay->deleted) {
        m_ctx.prompter().Warning(
            QStringLiteral("Бокс (мойка) не найден: он удален на другом рабочем месте."));
        return false;
    }
    m_stored = bay;
    SetName(bay->nameBox);
    SetNote(bay->primBox);
    return true;
}

void CBayDlg::accept() {
    m_name->setText(Name());
    m_note->setText(Note());
    if (Name().isEmpty()) {
        m_ctx.prompter().Warning(
            QStringLiteral("Укажите название, номер мойки или бокса,\nгде осуществляется оказание услуги!"));
        m_name->setFocus();
        return;
    }
    if (m_stored) {
        const auto update = [&] {
            if (!BayStore(m_ctx.db()).Update(m_stored->iddBox, Name(), Note(), m_stored))
                throw DbError(QStringLiteral("Бокс (мойка) не найден в базе данных."));
        };
        if (!TrySave(this, m_ctx.prompter(), update, [this] { Open(m_stored->iddBox); })) return;
    } else if (m_saver) {
        if (!TrySave(this, m_ctx.prompter(), [&] { m_saver(Name(), Note()); })) return;
    }
    QDialog::accept();
}
