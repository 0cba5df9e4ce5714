#pragma once

#include "ChangedMeanwhile.h"
#include "DbError.h"
#include "Inputs.h"
#include "Prompter.h"
#include "WaitCursor.h"

#include <functional>
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
// card's input for it (see Inputs::LimitTo), so the clerk lands where the fix is. A record changed on
// another workstation since the card read it is never written over: the card stays open with the clerk's
// edits, unless he asks for the stored record, which `reload` then shows. One deleted meanwhile is only
// reported.
template <typename Work>
bool TrySave(QWidget *card, Prompter &prompter, Work &&work, const std::function<void()> &reload = {}) {
    try {
        WaitCursor wait;
        std::forward<Work>(work)();
        return true;
    } catch (const ChangedMeanwhile &e) {
        if (e.deleted() || !reload)
            prompter.Error(e.text());
        else if (prompter.Confirm(ChangedMeanwhile::ReloadQuestion()))
            reload();
        return false;
    } catch (const DbError &e) {
        prompter.Error(e.text());
        Inputs::FocusField(card, e.field());
        return false;
    }
}
