#include "InfoOptions.h"

#include "DataFolder.h"
#include "DocumentPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace InfoOptions {

namespace {
const QString kVersion = QStringLiteral("--version");
const QString kPaths = QStringLiteral("--print-paths");
}  // namespace

bool Asked(const QStringList &arguments) {
    return arguments.contains(kVersion) || arguments.contains(kPaths);
}

int Answer(const QStringList &arguments, QTextStream &out) {
    if (arguments.contains(kVersion)) {
        out << "trellvark " << TRELLVARK_VERSION << '\n';
        return 0;
    }
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString workDir = DataFolder::ChooseWorkDir(QDir::currentPath(), DataFolder::UserDataDir());
    const QString templ = DocumentPrinter::FindTemplate(workDir, QStringLiteral("szakaz_nar.rtf"));
    out << "workdir=" << workDir << '\n'
        << "data=" << DataFolder::UserDataDir() << '\n'
        << "templates=" << (QFileInfo(templ).isFile() ? QFileInfo(templ).absolutePath() : QString()) << '\n'
        << "help=" << DataFolder::FindHelp(workDir, appDir) << '\n';
    return 0;
}

}  // namespace InfoOptions
