#include "MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

std::unique_ptr<QMessageBox> MessageBoxPrompter::MakeBox(Kind kind, const QString &text) {
    QMessageBox::Icon icon = QMessageBox::Warning;
    QString caption = Captions::kWarning;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (kind == Kind::Information) {
        icon = QMessageBox::Information;
        caption = Captions::kInformation;
    } else if (kind == Kind::Error) {
        icon = QMessageBox::Critical;
        caption = Captions::kError;
    } else if (kind == Kind::Question || kind == Kind::Confirm) {
        icon = QMessageBox::Question;
        caption = Captions::kQuestion;
        buttons = QMessageBox::Yes | QMessageBox::No;
    }
    auto box = std::make_unique<QMessageBox>(icon, caption, text, buttons, QApplication::activeWindow());
    if (kind == Kind::Confirm) {
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
    } else {
        box->setDefaultButton(kind == Kind::Question ? QMessageBox::Yes : QMessageBox::Ok);
    }
    return box;
}

void MessageBoxPrompter::Warning(const QString &text) {
    MakeBox(Kind::Warning, text)->exec();
}

void MessageBoxPrompter::Information(const QString &text) {
    MakeBox(Kind::Information, text)->exec();
}

void MessageBoxPrompter::Error(const QString &text) {
    MakeBox(Kind::Error, text)->exec();
}

bool MessageBoxPrompter::Question(const QString &text) {
    return MakeBox(Kind::Question, text)->exec() == QMessageBox::Yes;
}

bool MessageBoxPrompter::Confirm(const QString &text) {
    return MakeBox(Kind::Confirm, text)->exec() == QMessageBox::Yes;
}
