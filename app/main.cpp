#include "DialogRunner.h"
#include "MainFrame.h"
#include "Prompter.h"
#include "QuellmarodApp.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv) {
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Zorvantide"));
    QCoreApplication::setApplicationName(QStringLiteral("Zorvantide"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trellvark"));

    MessageBoxPrompter prompter;
    DialogRunner dialogs;
    CQuellmarodApp app(prompter, dialogs);

    // ZV_SCREENSHOT=file.png: save a picture of whatever window is up after two seconds, then quit
    // (used to check the screens on a headless machine).
    const QString shot = qEnvironmentVariable("ZV_SCREENSHOT");
    if (!shot.isEmpty()) {
        QTimer::singleShot(2000, &qapp, [&app, shot] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w) w = app.frame();
            if (w) w->grab().save(shot);
            QCoreApplication::exit(0);
        });
    }

    const int code = app.Start(QCoreApplication::arguments());
    if (code >= 0) return code;
    return QApplication::exec();
}
