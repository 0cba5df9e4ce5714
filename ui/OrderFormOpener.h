#pragma once

#include <QString>
#include <functional>

// How the order form was asked for: the journal's "Добавить заказ", "Предварительная заявка" or
// "Изменить заказ".
enum class OrderFormMode { New, Request, Edit };

// Opens the order form and returns true when the order was saved; iddZakaz carries the order's key in
// (edit) and out (the saved order). The journal opens the form only through this and the client card
// through the one below, so their tests can script it and the form stays free to change.
using OrderFormOpener = std::function<bool(OrderFormMode mode, QString &iddZakaz)>;

// The same for the client card: a new order starts with the card's client `iddClient` already chosen.
using ClientOrderFormOpener =
    std::function<bool(OrderFormMode mode, const QString &iddClient, QString &iddZakaz)>;
