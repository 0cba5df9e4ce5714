#include "PaymentEditing.h"

#include "AppContext.h"
#include "COrderPaymentDlg.h"
#include "CashStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "PaymentStore.h"
#include "Prompter.h"

bool EditPaymentInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent) {
    std::optional<PayRecord> pay;
    Money debt;
    if (!TryDb(ctx.prompter(), [&] {
            pay = PaymentStore(ctx.db()).LoadPayment(iddPay);
            if (pay && pay->TypePay == OrderPayment) debt = CashStore(ctx.db()).OrderDebt(pay->IddZakaz);
        }))
        return false;
    if (!pay || pay->Delete) {
        ctx.prompter().Warning(kPaymentGone);
        return false;
    }
    const PayRecord before = *pay;
    COrderPaymentDlg dlg(ctx, *pay, COrderPaymentDlg::kEditTitle, false, debt, parent);
    if (ctx.dialogs().Run(dlg) != QDialog::Accepted) return false;
    if (before.TypePay == ClientAccount) {
        // The payment dialog knows only order payments: an account row stays one, and a "Возврат" stays
        // money out.
        pay->TypePay = ClientAccount;
        pay->SummaPay = before.SummaPay < Money() ? -pay->SummaPay.Abs() : pay->SummaPay.Abs();
    }
    return TryDb(ctx.prompter(),
                 [&] { PaymentStore(ctx.db()).SavePayment(*pay, before.IddZakaz, ctx.login()); });
}

bool SaveNewOrderPayment(AppContext &ctx, PayRecord &pay, const QString &iddZakaz, Money debtSeen,
                         QString *key) {
    for (;;) {
        std::optional<DebtChanged> changed;
        const bool done = TryDb(ctx.prompter(), [&] {
            try {
                const QString iddPay =
                    PaymentStore(ctx.db()).SaveOrderPayment(pay, iddZakaz, ctx.login(), debtSeen);
                if (key) *key = iddPay;
            } catch (const DebtChanged &e) {
                changed = e;
            }
        });
        if (!changed) return done;
        if (!AgreeToOverpay(ctx.prompter(), *changed)) return false;
        // Asked about this debt: the payment is stored unless it has dropped again meanwhile.
        debtSeen = changed->now();
    }
}

bool AgreeToOverpay(Prompter &prompter, const DebtChanged &changed) {
    return prompter.Question(kDebtChangedMeanwhile.arg(changed.now().Text(), changed.paying().Text(),
                                                       (changed.paying() - changed.now()).Text()));
}
