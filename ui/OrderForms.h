#pragma once

#include "OrderFormOpener.h"

class QWidget;

// The order screens as the screens below them reach them (the client card's orders page). They stand
// above the catalogues, so app/ provides them through the AppContext.
class OrderForms {
public:
    virtual ~OrderForms() = default;
    // Opens the order form over `parent` and returns true when the order was saved; iddZakaz carries the
    // key in (edit) and out. A new order starts with the client `iddClient` already chosen.
    virtual bool Open(OrderFormMode mode, const QString &iddClient, QString &iddZakaz, QWidget *parent) = 0;
    // Deletes an order with its lines and performers; throws DbError.
    virtual void Delete(const QString &iddZakaz) = 0;
};
