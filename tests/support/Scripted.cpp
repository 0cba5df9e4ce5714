#include "Scripted.h"

bool ScriptedPrompter::Question(const QString &text) {
    questions << text;
    if (answers.empty()) return true;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void ScriptedPrompter::Clear() {
    warnings.clear();
    errors.clear();
    questions.clear();
    answers.clear();
}

int ScriptedDialogs::Run(QDialog &dialog) {
    opened << QString::fromLatin1(dialog.metaObject()->className());
    if (steps.empty()) {
        ++unscripted;
        return QDialog::Rejected;
    }
    Step step = std::move(steps.front());
    steps.pop_front();
    return step(dialog);
}
