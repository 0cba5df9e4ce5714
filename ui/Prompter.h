#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

// Every warning, error and Yes/No question of the program goes through here, so tests can record the
// texts and script the answers.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Caption "Внимание!", warning icon.
    virtual void Warning(const QString &text) = 0;
    // Caption "Ошибка!", error icon.
    virtual void Error(const QString &text) = 0;
    // Caption "Вопрос?", Yes/No; true for Yes.
    virtual bool Question(const QString &text) = 0;
};

// The real one: message boxes over the active window.
class MessageBoxPrompter : public Prompter {
public:
    void Warning(const QString &text) override;
    void Error(const QString &text) override;
    bool Question(const QString &text) override;

    // The box each of them shows over the active window (kept apart so its texts can be checked).
    enum class Kind { Warning, Error, Question };
    static std::unique_ptr<QMessageBox> MakeBox(Kind kind, const QString &text);
};

namespace Captions {
inline const QString kWarning = QStringLiteral("Внимание!");
inline const QString kError = QStringLiteral("Ошибка!");
inline const QString kQuestion = QStringLiteral("Вопрос?");
}  // namespace Captions
