#pragma once

#include "Money.h"

#include <QDateTime>
#include <QString>

// Kinds of cash-desk operation (TPay.TypePay).
enum PayKind : int { OrderPayment = 0, SalaryPayout = 1, ClientAccount = 2, CashOperation = 5 };

// The in-memory copy of one TPay row. SummaPay is signed: into the cash desk positive, out negative.
struct PayRecord {
    QString IddPay = {};
    QString IddZakaz = {};
    int TypePay = OrderPayment;
    QString NaznPay = {};
    QString NomerPay = {};
    QDateTime DataPay = {};
    Money SummaPay = {};
    QString DocPay = {};
    QString PrimPay = {};
    int Delete = 0;
    // Not stored: the number the dialog proposed for a new document. When NomerPay still holds it at the
    // first save, the save takes the next free number instead (another workstation may have used this one).
    QString ProposedNomer = {};

    bool operator==(const PayRecord &) const = default;
};
