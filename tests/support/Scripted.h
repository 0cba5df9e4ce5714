#pragma once

#include "DialogRunner.h"
#include "OrderForms.h"
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

// The order screens as a screen below them reaches them (see AppContext::orderForms), scripted.
struct ScriptedOrderForms : OrderForms {
    bool Open(OrderFormMode mode, const QString &iddClient, QString &iddZakaz, QWidget *) override {
        return open(mode, iddClient, iddZakaz);
    }
    void Delete(const QString &iddZakaz) override { remove(iddZakaz); }
    std::function<bool(OrderFormMode, const QString &, QString &)> open;
    std::function<void(const QString &)> remove;
};
