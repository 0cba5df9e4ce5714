#pragma once

#include <QStringList>
#include <QTextStream>

class QCommandLineParser;

// The program's command line. Questions it answers on standard output without opening a window or a
// database:
//   -h, --help      the options with their descriptions
//   -v, --version   "trellvark <version>"
//   --print-paths   the working folder it would use, the per-user data folder, and where it finds its
//                   document templates and help document (for checking an installation)
// and the one option of a normal start, --database.
namespace InfoOptions {

// Names the program as the desktop knows it: the window class matches the menu entry's StartupWMClass.
// The settings and the data folder keep the names "Zorvantide" they were stored under.
void NameTheApplication();
// Declares every option, with its Russian description.
void Declare(QCommandLineParser &parser);
// True when the arguments (the program's name first) ask one of the questions.
bool Asked(const QStringList &arguments);
// Writes the answer; returns the exit code.
int Answer(const QStringList &arguments, QTextStream &out);

}  // namespace InfoOptions
