#pragma once

#include "PayRecord.h"

// A payment's fields in one line, "kind order purpose №number sum", so that a test compares them at once.
inline QString PayText(const PayRecord &p) {
    return QStringLiteral("%1 %2 %3 №%4 %5")
        .arg(QString::number(p.TypePay), p.IddZakaz, p.NaznPay, p.NomerPay, p.SummaPay.Text());
}
