#pragma once

#include <QString>
#include <functional>

// Where the spreadsheet reports are written and how a finished one is opened. The program writes them
// under the working folder and opens them on the desktop; tests use their own folder and open nothing.
struct ReportTarget {
    QString folder;
    std::function<QString(const QString &file)> opener;  // "" when opened, otherwise why not
};
