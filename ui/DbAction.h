#pragma once

#include "DbError.h"
#include "Prompter.h"
#include "WaitCursor.h"

#include <utility>

// Runs one piece of database work for a screen under the wait cursor. A driver error is shown with its
// own text and false is returned, so the command stops and nothing else happens.
template <typename Work>
bool TryDb(Prompter &prompter, Work &&work) {
    try {
        WaitCursor wait;
        std::forward<Work>(work)();
        return true;
    } catch (const DbError &e) {
        prompter.Error(e.text());
        return false;
    }
}
