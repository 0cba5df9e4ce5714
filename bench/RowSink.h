#pragma once

#include "Schema.h"

#include <QVariant>
#include <QVariantList>

// Where the reference generator puts its rows: a database, or a digest in the tests.
class RowSink {
public:
    virtual ~RowSink() = default;
    // One row of `table`, its values in the table's column order.
    virtual void Put(const TableDef &table, QVariantList &&values) = 0;
    // A good moment to end a transaction.
    virtual void Checkpoint() {}
};
