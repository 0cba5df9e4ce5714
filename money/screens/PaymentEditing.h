#pragma once

#include <QString>

class AppContext;
class QWidget;

// Opens a stored order payment or client account row in the payment dialog ("Изменение платежа за
// оказанные услуги") and saves it on OK under its own IddZakaz. An account row keeps its kind and its
// direction. False when cancelled, gone or not saved (the message is shown).
bool EditPaymentInDialog(AppContext &ctx, const QString &iddPay, QWidget *parent);

// The deleted-meanwhile message of the payment screens.
inline const QString kPaymentGone = QStringLiteral("Платеж не найден: он удален с другого рабочего места.");
