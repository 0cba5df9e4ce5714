#include "DialogRunner.h"
#include "MainFrame.h"
#include "Prompter.h"
#include "QuellmarodApp.h"
#include "RussianUi.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv) {
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvantide"));
    QCoreApplication::setApplicationName(QStringLiteral("Zorvantide"));
    // No display name: Qt would append it to every dialog's title.
    const QString missing = RussianUi::InstallTranslations(&qapp);
    if (!missing.isEmpty()) qWarning("%s", qUtf8Printable(missing));
    RussianUi::UseFallbackIconTheme();

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
