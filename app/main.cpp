#include "DataFolder.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "InfoOptions.h"
#include "KeyHabits.h"
#include "MainFrame.h"
#include "MessageBoxPrompter.h"
#include "QuellmarodApp.h"
#include "RussianUi.h"

#include <QApplication>
#include <QIcon>
#include <QTextStream>
#include <QTimer>

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    {
        // --help, --version and --print-paths need no display.
        QStringList arguments;
        for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
        if (InfoOptions::Asked(arguments)) {
            QCoreApplication core(argc, argv);
            InfoOptions::NameTheApplication();
            RussianUi::InstallTranslations(&core);  // the help's headings; without them they stay English
            QTextStream out(stdout);
            return InfoOptions::Answer(arguments, out);
        }
    }
    QApplication qapp(argc, argv);
    InfoOptions::NameTheApplication();
    // From the menu the program works in the user's data folder; from a folder with a database, there.
    DataFolder::EnterWorkDir();
    // No display name: Qt would append it to every dialog's title.
    const QString missing = RussianUi::InstallTranslations(&qapp);
    if (!missing.isEmpty()) qWarning("%s", qUtf8Printable(missing));
    RussianUi::UseFallbackIconTheme();
    KeyHabits::Install(&qapp);
    // The desktop matches the windows to the menu entry and shows its icon (installed in hicolor).
    QGuiApplication::setDesktopFileName(QStringLiteral("trellvark"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("trellvark"), CMainFrame::OwnIcon()));

    MessageBoxPrompter prompter;
    DialogRunner dialogs;
    CQuellmarodApp app(prompter, dialogs);

    const int code = app.Start(QCoreApplication::arguments());
    if (code >= 0) return code;

    // ZV_SCREENSHOT=file.png: save a picture of the main window shortly after it shows, then quit
    // (to look at the screens on a machine without a display).
    const QString shot = qEnvironmentVariable("ZV_SCREENSHOT");
    if (!shot.isEmpty()) {
        QTimer::singleShot(1500, app.frame(), [&app, shot] {
            app.frame()->grab().save(shot);
            QCoreApplication::exit(0);
        });
    }
    return QApplication::exec();
}
