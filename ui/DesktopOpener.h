#pragma once

#include <QString>

// Asks the desktop to open a file the program wrote (a document, a workbook) in the application the
// user has for it; false when the desktop has none.
bool OpenOnDesktop(const QString &path);
