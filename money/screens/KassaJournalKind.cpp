#include "KassaJournalKind.h"

#include "CKassaView.h"
#include "SalaryJournalKind.h"

QList<KassaMenuItem> KassaJournalMenu() {
    using V = CKassaView;
    const auto item = [](int id, const char *text, const char *prompt, const char *icon) {
        return KassaMenuItem{id, QString::fromUtf8(text), QString::fromUtf8(prompt),
                             QIcon::fromTheme(QString::fromLatin1(icon))};
    };
    return {item(V::kAdd, "Добавить", "Добавить кассовую операцию", "list-add"),
            item(V::kEdit, "Изменить", "Изменить выбранную операцию", "document-edit"),
            item(V::kDelete, "Удалить", "Удалить выбранную операцию", "edit-delete"),
            {},
            item(V::kPrint, "&Печать...\tCtrl+P", "Отчет об операциях по кассе", "document-print"),
            item(V::kPrintTotals, "Печать итоги", "Оборотная ведомость за период", "document-print-preview")};
}

QList<int> KassaJournalToolbar() {
    using V = CKassaView;
    return {V::kAdd, V::kEdit, V::kDelete, 0, V::kPrint, V::kPrintTotals};
}

QWidget *CreateKassaJournal(AppContext &ctx, QWidget *parent) {
    auto *view = new CKassaView(ctx, parent);
    // Salary payouts are changed where they are made: in the accrual dialog.
    view->SetPayoutEditor(
        [&ctx, view](const CashRow &row) { return EditPayoutInDialog(ctx, row.pay.IddPay, view); });
    return view;
}

bool RunKassaJournalCommand(QWidget *view, int id) {
    auto *journal = qobject_cast<CKassaView *>(view);
    return journal && journal->Command(id);
}
