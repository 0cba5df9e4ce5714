#pragma once

#include <QStringList>
#include <QTextStream>

// Command-line questions the program answers on standard output without opening a window or a database:
//   --version       "trellvark <version>"
//   --print-paths   the working folder it would use, the per-user data folder, and where it finds its
//                   document templates and help document (for checking an installation)
namespace InfoOptions {

// True when the arguments ask one of them.
bool Asked(const QStringList &arguments);
// Writes the answer; returns the exit code.
int Answer(const QStringList &arguments, QTextStream &out);

}  // namespace InfoOptions
