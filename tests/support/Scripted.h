#pragma once

#include "DialogRunner.h"
#include "Prompter.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

// Records every message and answers questions from a script (Yes when the script runs dry).
class ScriptedPrompter : public Prompter {
public:
    void Warning(const QString &text) override { warnings << text; }
    void Error(const QString &text) override { errors << text; }
    bool Question(const QString &text) override;

    void Answer(bool yes) { answers.push_back(yes); }
    QStringList All() const { return warnings + errors + questions; }
    void Clear();

    QStringList warnings, errors, questions;
    std::deque<bool> answers;
};

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
