#include "Scripted.h"

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
