#include "InfoOptions.h"

#include "DataFolder.h"
#include "DocumentPrinter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace InfoOptions {

namespace {
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kPaths = QStringLiteral("print-paths");
}  // namespace

void NameTheApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvantide"));
    QCoreApplication::setApplicationName(QStringLiteral("trellvark"));
}

void Declare(QCommandLineParser &parser) {
    parser.setApplicationDescription(
        QStringLiteral("Trellvark: учёт работы автосервиса (заказы, клиенты и автомобили, касса и зарплата "
                       "сотрудников)."));
    parser.addOption({{QStringLiteral("h"), kHelp}, QStringLiteral("Показать эту справку и выйти.")});
    parser.addOption({{QStringLiteral("v"), kVersion}, QStringLiteral("Показать версию программы и выйти.")});
    parser.addOption(
        {kPaths, QStringLiteral("Показать рабочую папку, папку данных пользователя и где найдены "
                                "шаблоны документов и справка, и выйти.")});
    parser.addOption({QStringLiteral("database"),
                      QStringLiteral("Работать с базой данных по строке подключения: SQLITE;DATABASE=файл, "
                                     "PGSQL;host=... dbname=... или ODBC;DSN=имя. Без него: сохранённая "
                                     "настройка или база данных в рабочей папке."),
                      QStringLiteral("строка")});
}

bool Asked(const QStringList &arguments) {
    QCommandLineParser parser;
    Declare(parser);
    // An unknown option is the normal start's to refuse.
    return parser.parse(arguments) && (parser.isSet(kHelp) || parser.isSet(kVersion) || parser.isSet(kPaths));
}

int Answer(const QStringList &arguments, QTextStream &out) {
    QCommandLineParser parser;
    Declare(parser);
    parser.parse(arguments);
    if (parser.isSet(kHelp)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(kVersion)) {
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
