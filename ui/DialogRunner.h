#pragma once

class QDialog;

// A screen that opens another dialog (a picker, a card) runs it through here; tests install a runner
// that fills the dialog's widgets and accepts or rejects it instead of waiting for a person.
class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    // Returns QDialog::Accepted or QDialog::Rejected.
    virtual int Run(QDialog &dialog);
};
