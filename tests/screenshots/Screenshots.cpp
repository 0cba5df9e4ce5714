// Makes the README's pictures: the main window with the order journal and the order form, on a small
// database of its own. Run under a display (xvfb-run) with the folder for the pictures:
//   xvfb-run -a ./build/tests/screenshots/zv_screenshots docs/screenshots
#include "../orders/JournalFixtures.h"
#include "../support/Rub.h"
#include "AppContext.h"
#include "COrderFormDlg.h"
#include "Commands.h"
#include "Database.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "JournalKinds.h"
#include "MainFrame.h"
#include "MessageBoxPrompter.h"
#include "RussianUi.h"
#include "StatusTreeList.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

OrderLine Line(const char *key, const char *name, double count, double price, double vat = 20) {
    OrderLine line;
    line.iddService = QString::fromLatin1(key);
    line.name = QString::fromUtf8(name);
    line.count = count;
    line.price = Rub(price);
    line.prNds = vat;
    return line;
}

}  // namespace

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zv_screenshots FOLDER\n");
        return 2;
    }
    RussianUi::InstallTranslations(&app);
    RussianUi::UseFallbackIconTheme();
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir dir;
    auto db =
        Database::Open(QStringLiteral("SQLITE;DATABASE=") + dir.filePath(QStringLiteral("Quellmarod.db")));
    const QDate today = QDate::currentDate();
    using JournalFixture::Put;
    Put(*db, {.key = QStringLiteral("o1"),
              .number = QStringLiteral("101"),
              .date = QDateTime(today.addDays(-2), {}),
              .status = StatusFinished,
              .client = QStringLiteral("ООО \"Автолайн\""),
              .plate = QStringLiteral("А123ВС77"),
              .make = QStringLiteral("Toyota Camry"),
              .payments = {5040},
              .lines = {Line("s1", "Шиномонтаж R16", 4, 600), Line("s2", "Балансировка колеса", 4, 450)}});
    Put(*db, {.key = QStringLiteral("o2"),
              .number = QStringLiteral("102"),
              .date = QDateTime(today.addDays(-1), {}),
              .status = StatusStarted,
              .client = QStringLiteral("Петров Сергей Иванович"),
              .plate = QStringLiteral("К777ОР99"),
              .make = QStringLiteral("Лада Веста"),
              .payments = {500},
              .lines = {Line("s3", "Мойка кузова", 1, 700), Line("s4", "Чернение резины", 1, 250),
                        Line("s5", "Пылесос салона", 1, 400)}});
    Put(*db, {.key = QStringLiteral("o3"),
              .number = QStringLiteral("103"),
              .date = QDateTime(today, {}),
              .status = StatusRequested,
              .client = QStringLiteral("Смирнова Анна"),
              .plate = QStringLiteral("В555ХК50"),
              .make = QStringLiteral("Kia Rio"),
              .lines = {Line("s1", "Шиномонтаж R15", 4, 500)}});

    MessageBoxPrompter prompter;
    DialogRunner dialogs;
    AppContext ctx(*db,
                   UserInfo{QStringLiteral("u1"), QStringLiteral("admin"), QStringLiteral("Администратор"),
                            QString(28, QLatin1Char('1'))},
                   prompter, dialogs, dir.path());
    CMainFrame frame(ctx);
    RegisterJournalKinds(frame, ctx);
    frame.resize(1280, 760);
    frame.show();
    frame.OpenJournal(Cmd::kOrderJournal);
    Settle();
    if (auto *list = frame.findChild<StatusTreeList *>()) {
        list->expandAll();
        if (list->topLevelItemCount() > 1) list->setCurrentItem(list->topLevelItem(1));
    }
    Settle();
    bool ok = frame.grab().save(out + QStringLiteral("/order-journal.png"));

    COrderFormDlg form(ctx, OrderFormMode::Edit, QStringLiteral("o2"));
    form.show();
    Settle();
    ok = form.grab().save(out + QStringLiteral("/order-form.png")) && ok;
    form.reject();
    frame.close();
    std::fprintf(stderr, ok ? "pictures written to %s\n" : "could not write the pictures to %s\n", argv[1]);
    return ok ? 0 : 1;
}
