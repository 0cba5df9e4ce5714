#include "CPrintDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "DesktopOpener.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "WaitCursor.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

CPrintDlg::CPrintDlg(const AppContext &ctx, QString iddZakaz, QWidget *parent, DocumentPrinter::Opener opener)
    : QDialog(parent), m_ctx(ctx), m_iddZakaz(std::move(iddZakaz)), m_opener(std::move(opener)) {
    if (!m_opener) m_opener = [](const QString &path) { return OpenOnDesktop(path); };
    setWindowTitle(QStringLiteral("Распечатать"));
    auto *layout = new QVBoxLayout(this);
    struct BoxDef {
        OrderDocument doc;
        const char *id, *caption, *tip, *help;
    };
    const BoxDef defs[] = {
        {OrderDocument::Request, "1115", "Заявка", "Печатать заявку", "Заявка клиента на выполнение работ."},
        {OrderDocument::WorkOrder, "1111", "Заказ - наряд", "Печатать заказ-наряд",
         "Заказ-наряд с работами, исполнителями и суммой."},
        {OrderDocument::Invoice, "1112", "Счет", "Печатать счет", "Счет на оплату с реквизитами банка."},
        {OrderDocument::TaxInvoice, "1113", "Счет-фактура", "Печатать счет-фактуры",
         "Счет-фактура по заказу."},
        {OrderDocument::Act, "1114", "Акт", "Печатать акта выполненных работ",
         "Акт выполненных работ с подписями сторон."},
    };
    for (const BoxDef &d : defs) {
        auto *box = new QCheckBox(QString::fromUtf8(d.caption), this);
        box->setObjectName(QString::fromLatin1(d.id));
        Tooltip::Set(box, QString::fromUtf8(d.tip), QString::fromUtf8(d.help));
        layout->addWidget(box);
        m_boxes.insert(d.doc, box);
    }
    QPushButton *ok = nullptr, *cancel = nullptr;
    layout->addLayout(MakeCardButtons(this, &ok, &cancel, QStringLiteral("Начать печать"),
                                      QStringLiteral("Подготовить отмеченные документы и открыть их.")));
    Tooltip::Set(cancel, QStringLiteral("Отменить"), QStringLiteral("Закрыть окно, ничего не печатая."));
}

void CPrintDlg::accept() {
    QList<OrderDocument> ticked;
    for (auto it = m_boxes.cbegin(); it != m_boxes.cend(); ++it)
        if (it.value()->isChecked()) ticked << it.key();
    if (ticked.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Выберите что печатать!"));
        return;
    }
    {
        WaitCursor wait;
        DocumentPrinter(m_ctx.db(), m_ctx.prompter(), m_ctx.workDir(), m_opener).Print(m_iddZakaz, ticked);
    }
    QDialog::accept();
}
