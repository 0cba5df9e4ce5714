// Makes the README's pictures: the main window with the order journal and the order form, on a small
// database of its own. Run under a display (xvfb-run) with the folder for the pictures:
//   xvfb-run -a ./build/tests/screenshots/zv_screenshots docs/screenshots
#include "../support/TestRows.h"
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

TestRows::Line Line(const char *name, double count, double price) {
    return {.name = QString::fromUtf8(name), .count = count, .price = price, .nds = 20};
}

// An order of `day` started at 09:00 and finished at 18:00, with its client and car and one payment.
void PutOrder(Database &db, const TestRows::Order &o, const TestRows::Client &client,
              const TestRows::Car &car, double paid) {
    TestRows::Put(db, client);
    TestRows::Put(db, car);
    TestRows::Order order = o;
    order.begin = QDateTime(o.date.date(), QTime(9, 0));
    order.endOut = QDateTime(o.date.date(), QTime(18, 0));
    order.client = client.key;
    order.car = car.key;
    TestRows::Put(db, order);
    if (paid != 0)
        TestRows::Put(
            db, TestRows::Pay{
                    .key = o.key + QStringLiteral("-pay"), .order = o.key, .sum = paid, .when = o.date});
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
    PutOrder(*db,
             {.key = QStringLiteral("o1"),
              .number = QStringLiteral("101"),
              .date = QDateTime(today.addDays(-2), {}),
              .status = StatusFinished,
              .lines = {Line("Шиномонтаж R16", 4, 600), Line("Балансировка колеса", 4, 450)}},
             {.key = QStringLiteral("c1"),
              .name = QStringLiteral("ООО \"Автолайн\""),
              .tel = QStringLiteral("+7 495 120-33-44")},
             {.key = QStringLiteral("a1"),
              .plate = QStringLiteral("А123ВС77"),
              .make = QStringLiteral("Toyota Camry")},
             5040);
    PutOrder(*db,
             {.key = QStringLiteral("o2"),
              .number = QStringLiteral("102"),
              .date = QDateTime(today.addDays(-1), {}),
              .status = StatusStarted,
              .lines = {Line("Мойка кузова", 1, 700), Line("Чернение резины", 1, 250),
                        Line("Пылесос салона", 1, 400)}},
             {.key = QStringLiteral("c2"),
              .name = QStringLiteral("Петров Сергей Иванович"),
              .tel = QStringLiteral("+7 916 555-12-90")},
             {.key = QStringLiteral("a2"),
              .plate = QStringLiteral("К777ОР99"),
              .make = QStringLiteral("Лада Веста")},
             500);
    PutOrder(
        *db,
        {.key = QStringLiteral("o3"),
         .number = QStringLiteral("103"),
         .date = QDateTime(today, {}),
         .status = StatusRequested,
         .lines = {Line("Шиномонтаж R15", 4, 500)}},
        {.key = QStringLiteral("c3"),
         .name = QStringLiteral("Смирнова Анна"),
         .tel = QStringLiteral("+7 903 700-81-15")},
        {.key = QStringLiteral("a3"), .plate = QStringLiteral("В555ХК50"), .make = QStringLiteral("Kia Rio")},
        0);

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
