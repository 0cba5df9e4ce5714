#pragma once

#include "Prompter.h"

#include <memory>

class QMessageBox;

// The real one: message boxes over the active window.
class MessageBoxPrompter : public Prompter {
public:
    void Warning(const QString &text) override;
    void Information(const QString &text) override;
    void Error(const QString &text) override;
    bool Question(const QString &text) override;
    bool Confirm(const QString &text) override;

    // The box each of them shows over the active window (kept apart so its texts can be checked).
    enum class Kind { Warning, Information, Error, Question, Confirm };
    static std::unique_ptr<QMessageBox> MakeBox(Kind kind, const QString &text);
};
