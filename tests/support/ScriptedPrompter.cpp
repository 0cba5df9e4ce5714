#include "ScriptedPrompter.h"

bool ScriptedPrompter::Question(const QString &text) {
    questions << text;
    if (answers.empty()) return true;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void ScriptedPrompter::Clear() {
    warnings.clear();
    infos.clear();
    errors.clear();
    questions.clear();
    confirms.clear();
    answers.clear();
}
