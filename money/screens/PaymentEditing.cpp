#include "PaymentEditing.h"

#include "AppContext.h"
#include "COrderPaymentDlg.h"
#include "CashStore.h"
#include "DbAction.h"
#include "DialogRunner.h"
#include "PaymentStore.h"
#include "Prompter.h"

namespace {

// The payment, live, with the debt its order had without it; nullopt when it cannot be read (the reason
// was shown) or is gone.
std::optional<std::pair<PayRecord, Money>> ReadPayment(AppContext &ctx, const QString &iddPay) {
    std::optional<PayRecord> pay;
    Money debt;
    if (!TryDb(ctx.prompter(), [&] {
            pay = PaymentStore(ctx.db()).LoadPayment(iddPay);
            if (pay && pay->TypePay == OrderPayment) debt = CashStore(ctx.db()).OrderDebt(pay->IddZakaz);
        }))
        return std::nullopt;
    if (!pay || pay->Delete) {
        ctx.prompter().Warning(kPaymentGone);
        return std::nullopt;
    }
    return std::pair{*pay, debt};
}

}  // namespace

bool EditPaymentInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent) {
    std::optional<std::pair<PayRecord, Money>> read = ReadPayment(ctx, iddPay);
    if (!read) return false;
    PayRecord before = read->first;  // as stored: the save checks it still is
    PayRecord pay = before;
    COrderPaymentDlg dlg(ctx, pay, COrderPaymentDlg::kEditTitle, false, read->second, parent);
    dlg.SetSaver([&] {
        PayRecord edited = pay;
        if (before.TypePay == ClientAccount) {
            // The payment dialog knows only order payments: an account row stays one, and a "Возврат"
            // stays money out.
            edited.TypePay = ClientAccount;
            edited.SummaPay = before.SummaPay < Money() ? -edited.SummaPay.Abs() : edited.SummaPay.Abs();
        }
        const auto save = [&] {
            PaymentStore(ctx.db()).SavePayment(edited, before.IddZakaz, ctx.login(), {}, before);
        };
        return TrySave(&dlg, ctx.prompter(), save, [&] {
            if (!(read = ReadPayment(ctx, iddPay))) return;
            before = pay = read->first;
            dlg.Show(read->second, false);
        });
    });
    return ctx.dialogs().Run(dlg) == QDialog::Accepted;
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
