#pragma once

#include "Prompter.h"

#include <QStringList>
#include <deque>

// Records every message and answers questions from a script (Yes when the script runs dry).
class ScriptedPrompter : public Prompter {
public:
    void Warning(const QString &text) override { warnings << text; }
    void Information(const QString &text) override { infos << text; }
    void Error(const QString &text) override { errors << text; }
    bool Question(const QString &text) override;
    // Recorded among the questions, and also in `confirms` (the questions whose default is No).
    bool Confirm(const QString &text) override { return confirms << text, Question(text); }

    void Answer(bool yes) { answers.push_back(yes); }
    QStringList All() const { return warnings + infos + errors + questions; }
    void Clear();

    QStringList warnings, infos, errors, questions, confirms;
    std::deque<bool> answers;
};
