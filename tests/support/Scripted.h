#pragma once

#include "DialogRunner.h"
#include "ScriptedPrompter.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

// Runs nested dialogs from a script: each step gets the dialog, may fill its widgets, and returns the
// result (QDialog::Accepted or Rejected). With no step left a dialog is rejected and counted.
class ScriptedDialogs : public DialogRunner {
public:
    using Step = std::function<int(QDialog &)>;
    int Run(QDialog &dialog) override;
    void Then(Step step) { steps.push_back(std::move(step)); }

    std::deque<Step> steps;
    QStringList opened;  // class names of the dialogs run, in order
    int unscripted = 0;
};
