#pragma once

#include "Money.h"

#include <QString>

class AppContext;
class DebtChanged;
class Prompter;
class QWidget;
struct PayRecord;

// Opens a stored order payment or client account row in the payment dialog ("Изменение платежа за
// оказанные услуги") and saves it on OK under its own IddZakaz. An account row keeps its kind and its
// direction. False when cancelled, gone or not saved (the message is shown).
bool EditPaymentInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent);

// The deleted-meanwhile message of the payment screens.
inline const QString kPaymentGone = QStringLiteral("Платеж не найден: он удален с другого рабочего места.");

// Saves a new payment on an order the clerk saw owing `debtSeen`. If another workstation took a payment on
// it meanwhile and this one would now pay more than it owes, the clerk is asked first, naming the debt
// now. False when not saved (declined, or the message is shown).
bool SaveNewOrderPayment(AppContext &ctx, PayRecord &pay, const QString &iddZakaz, Money debtSeen,
                         QString *key = nullptr);

// Asks whether to store the payment anyway, naming the debt now.
bool AgreeToOverpay(Prompter &prompter, const DebtChanged &changed);

inline const QString kDebtChangedMeanwhile = QStringLiteral(
    "Пока вводился платеж, по заказу приняли оплату на другом рабочем месте: долг по заказу сейчас %1.\n"
    "Платеж на %2 оставит переплату %3, она станет авансом клиента. Сохранить платеж?");
