#pragma once

#include <QString>

// Every warning, error and Yes/No question of the program goes through here, so tests can record the
// texts and script the answers. Widget-free: the message boxes live with the screens.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Caption "Внимание!", warning icon.
    virtual void Warning(const QString &text) = 0;
    // Caption "Информация", information icon: something done that the user must know of.
    virtual void Information(const QString &text) = 0;
    // Caption "Ошибка!", error icon.
    virtual void Error(const QString &text) = 0;
    // Caption "Вопрос?", Yes/No; true for Yes.
    virtual bool Question(const QString &text) = 0;
    // As Question, but "Нет" is the default button, so Enter answers No: for a question whose "Да" removes
    // or throws away something.
    virtual bool Confirm(const QString &text) = 0;
};

namespace Captions {
inline const QString kWarning = QStringLiteral("Внимание!");
inline const QString kInformation = QStringLiteral("Информация");
inline const QString kError = QStringLiteral("Ошибка!");
inline const QString kQuestion = QStringLiteral("Вопрос?");
}  // namespace Captions
