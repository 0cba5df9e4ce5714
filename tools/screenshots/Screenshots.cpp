// Makes the README's pictures: the main window with the order journal, the order form and the three
// payment dialogs (for an order, from a client, a cash operation) and the clients directory, on a small
// database of its own. Run under a display (xvfb-run) with the folder for the pictures:
//   xvfb-run -a ./build/tools/screenshots/zv_screenshots docs/screenshots
#include "AppContext.h"
#include "CCashOperationDlg.h"
#include "CClientDirDlg.h"
#include "CClientPaymentDlg.h"
#include "COrderFormDlg.h"
#include "COrderPaymentDlg.h"
#include "CQuellmarodView.h"
#include "Commands.h"
#include "Database.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "JournalKinds.h"
#include "KeyHabits.h"
#include "KeyedView.h"
#include "MainFrame.h"
#include "MessageBoxPrompter.h"
#include "PayRecord.h"
#include "RussianUi.h"
#include "TestRows.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
}

// Shows a dialog as it opens and saves its picture; false when it could not be written.
bool Shoot(QWidget &window, const QString &file) {
    window.show();
    Settle();
    const bool ok = window.grab().save(file);
    window.close();
    return ok;
}

TestRows::Line Line(const char *name, double count, double price) {
    return {.name = QString::fromUtf8(name), .count = count, .price = price, .nds = 20};
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
    KeyHabits::Install(&app);
    QApplication::setWindowIcon(CMainFrame::OwnIcon());
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QTemporaryDir dir;
    auto db = Database::Open("SQLITE;DATABASE=" + dir.filePath("Quellmarod.db"));
    // Three orders of the last days, each with its client, car and payment, worked 09:00 to 18:00.
    int n = 0;
    // text: number|client|telephone|plate|make|days ago|paid
    const auto add = [&db, &n](const char *text, int status, const QList<TestRows::Line> &lines) {
        const QString key = QString::number(++n);
        const QStringList o = QString::fromUtf8(text).split(u'|');
        const QDate day = QDate::currentDate().addDays(-o[5].toInt());
        const QDateTime midnight(day, {});
        TestRows::Put(*db, TestRows::Client{.key = "c" + key, .name = o[1], .tel = o[2]});
        TestRows::Put(*db, TestRows::Car{.key = "a" + key, .plate = o[3], .make = o[4]});
        TestRows::Put(*db, TestRows::Order{.key = "o" + key,
                                           .number = o[0],
                                           .date = midnight,
                                           .begin = QDateTime(day, QTime(9, 0)),
                                           .endOut = QDateTime(day, QTime(18, 0)),
                                           .status = status,
                                           .car = "a" + key,
                                           .client = "c" + key,
                                           .lines = lines});
        if (o[6] != "0")
            TestRows::Put(
                *db, TestRows::Pay{
                         .key = "p" + key, .order = "o" + key, .sum = o[6].toDouble(), .when = midnight});
    };
    add("101|ООО \"Автолайн\"|+7 495 120-33-44|А123ВС77|Toyota Camry|2|5040", StatusFinished,
        {Line("Шиномонтаж R16", 4, 600), Line("Балансировка колеса", 4, 450)});
    add("102|Петров Сергей Иванович|+7 916 555-12-90|К777ОР99|Лада Веста|1|500", StatusStarted,
        {Line("Мойка кузова", 1, 700), Line("Чернение резины", 1, 250), Line("Пылесос салона", 1, 400)});
    add("103|Смирнова Анна|+7 903 700-81-15|В555ХК50|Kia Rio|0|0", StatusRequested,
        {Line("Шиномонтаж R15", 4, 500)});

    MessageBoxPrompter prompter;
    DialogRunner dialogs;
    AppContext ctx(*db, UserInfo{"u1", "admin", "Администратор", QString(28, u'1')}, prompter, dialogs,
                   dir.path());
    CMainFrame frame(ctx);
    RegisterJournalKinds(frame, ctx);
    frame.resize(1024, 768);
    frame.show();
    frame.OpenJournal(Cmd::kOrderJournal);
    Settle();
    if (auto *list = frame.findChild<CQuellmarodView *>()->list()) {
        list->expandAll();
        list->setCurrentIndex(list->model()->index(1, 0));
    }
    Settle();
    bool ok = frame.grab().save(out + QStringLiteral("/order-journal.png"));

    COrderFormDlg form(ctx, OrderFormMode::Edit, QStringLiteral("o2"));
    ok = Shoot(form, out + QStringLiteral("/order-form.png")) && ok;
    PayRecord pay;
    COrderPaymentDlg orderPay(ctx, pay, COrderPaymentDlg::kNewTitle, true, Money::Kopecks(135000));
    ok = Shoot(orderPay, out + QStringLiteral("/order-payment.png")) && ok;
    PayRecord deposit;
    CClientPaymentDlg clientPay(ctx, QStringLiteral("c2"), deposit);
    ok = Shoot(clientPay, out + QStringLiteral("/client-payment.png")) && ok;
    CCashOperationDlg cash(ctx);
    ok = Shoot(cash, out + QStringLiteral("/cash-operation.png")) && ok;
    CClientDirDlg clients(ctx);
    clients.Select(QStringLiteral("c2"));
    clients.list()->expandAll();
    ok = Shoot(clients, out + QStringLiteral("/clients-directory.png")) && ok;
    frame.close();
    std::fprintf(stderr, ok ? "pictures written to %s\n" : "could not write the pictures to %s\n", argv[1]);
    return ok ? 0 : 1;
}
