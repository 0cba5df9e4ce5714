#pragma once

#include "DbError.h"
#include "Inputs.h"
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

// TryDb for a card's save: a refusal that names a field ("Table.Column") also puts the focus on the
// card's input for it (see Inputs::LimitTo), so the clerk lands where the fix is.
template <typename Work>
bool TrySave(QWidget *card, Prompter &prompter, Work &&work) {
    try {
        WaitCursor wait;
        std::forward<Work>(work)();
        return true;
    } catch (const DbError &e) {
        prompter.Error(e.text());
        Inputs::FocusField(card, e.field());
        return false;
    }
}
