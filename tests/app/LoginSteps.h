#pragma once
// Steps that fill the first-run and login dialogs, for the app tests that start the program.
#include "FirstRunDlg.h"
#include "LoginDlg.h"
#include "Scripted.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

inline ScriptedDialogs::Step FillFirstRun(const QString &name, const QString &login, const QString &pass,
                                          const QString &repeat) {
    return [=](QDialog &d) {
        auto &dlg = dynamic_cast<CFirstRunDlg &>(d);
        dlg.NameEdit()->setText(name), dlg.LoginEdit()->setText(login);
        dlg.PasswordEdit()->setText(pass), dlg.RepeatEdit()->setText(repeat);
        dlg.OkButton()->click();
        return dlg.result();
    };
}

inline ScriptedDialogs::Step FillLogin(const QString &name, const QString &pass) {
    return [=](QDialog &d) {
        auto &dlg = dynamic_cast<CLoginDlg &>(d);
        dlg.UserCombo()->setCurrentIndex(dlg.UserCombo()->findText(name));
        dlg.PasswordEdit()->setText(pass);
        dlg.OkButton()->click();
        return dlg.result();
    };
}
