#pragma once

#include <QString>
#include <functional>

// How the order form was asked for: the journal's "Добавить заказ", "Предварительная заявка" or
// "Изменить заказ".
enum class OrderFormMode { New, Request, Edit };

// Opens the order form and returns true when the order was saved; iddZakaz carries the order's key in
// (edit) and out (the saved order). The journal and the client card open the form only through this,
// so their tests can script it and the form stays free to change.
using OrderFormOpener = std::function<bool(OrderFormMode mode, QString &iddZakaz)>;
