#include "DialogRunner.h"

#include <QDialog>

int DialogRunner::Run(QDialog &dialog) {
    return dialog.exec();
}
