#include "SalaryJournalKind.h"

#include "AppContext.h"
#include "CJSalaryView.h"
#include "CSalaryAccrualDlg.h"
#include "DialogRunner.h"

QList<SalaryMenuItem> SalaryJournalMenu() {
    using V = CJSalaryView;
    const auto item = [](int id, const char *text, const char *prompt, const char *icon) {
        return SalaryMenuItem{id, QString::fromUtf8(text), QString::fromUtf8(prompt),
                              QIcon::fromTheme(QString::fromLatin1(icon))};
    };
    return {
        item(V::kAdd, "Добавить", "Начислить зарплату сотрудникам", "list-add"),
        item(V::kEdit, "Изменить", "Изменить выбранную выплату", "document-edit"),
        item(V::kDelete, "Удалить", "Удалить выбранную выплату", "edit-delete"),
        {},
        item(V::kStatement, "Печать ведомости", "Ведомость на получение по выбранной выплате",
             "document-print-preview"),
        item(V::kPrint, "&Печать...\tCtrl+P", "Отчет о выплатах сотрудникам за период", "document-print")};
}

QList<int> SalaryJournalToolbar() {
    using V = CJSalaryView;
    return {V::kAdd, V::kEdit, V::kDelete, 0, V::kStatement};
}

QWidget *CreateSalaryJournal(AppContext &ctx, QWidget *parent) {
    return new CJSalaryView(ctx, parent);
}

bool RunSalaryJournalCommand(QWidget *view, int id) {
    auto *journal = qobject_cast<CJSalaryView *>(view);
    return journal && journal->Command(id);
}

bool EditPayoutInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent) {
    CSalaryAccrualDlg dlg(ctx, iddPay, parent);
    return dlg.Loaded() && ctx.dialogs().Run(dlg) == QDialog::Accepted;
}
