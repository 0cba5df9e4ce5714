#pragma once

#include "DbError.h"

// The text of the DbError that `run` throws; "no error" when it throws none.
template <class F>
QString ErrorText(F run) {
    try {
        run();
    } catch (const DbError &e) {
        return e.text();
    }
    return QStringLiteral("no error");
}
