#pragma once

#include <QString>
#include <functional>

// How the order form was asked for: the journal's "Добавить заказ", "Предварительная заявка" or
// "Изменить заказ".
enum class OrderFormMode { New, Request, Edit };

// Opens the order form and returns true when the order was saved; iddZakaz carries the order's key in
// (edit) and out (the saved order). The journal opens the form only through this (the client card
// through OrderForms), so its tests can script it and the form stays free to change.
using OrderFormOpener = std::function<bool(OrderFormMode mode, QString &iddZakaz)>;
