#include "Prompter.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxPrompter::Warning(const QString &text) {
    QMessageBox::warning(QApplication::activeWindow(), Captions::kWarning, text);
}

void MessageBoxPrompter::Error(const QString &text) {
    QMessageBox::critical(QApplication::activeWindow(), Captions::kError, text);
}

bool MessageBoxPrompter::Question(const QString &text) {
    return QMessageBox::question(QApplication::activeWindow(), Captions::kQuestion, text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}
