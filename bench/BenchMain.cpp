// The benchmarks: each list a user opens (directories, order and cash journals, the client card's pages),
// the order load, the order form's opening and the order save, the bay board and free times on it, over the
// reference database, and the tyre storage's journal and its search by plate, each beside its raw-SQL limit
// timed in the same run (the raw statement returning the
// same rows through a bare QSqlQuery, prepared once), with the ratio and what a call costs the database;
// and a document merge beside the bare file work of the same size.
//
//   zv_bench --sqlite FILE | --pg "host=... port=... dbname=... user=..."  [--scale 1.0] [--regenerate]
//            [Google Benchmark flags]
#include "AppContext.h"
#include "BayBoard.h"
#include "BayBoardCanvas.h"
#include "BayStore.h"
#include "BenchInputs.h"
#include "BenchPair.h"
#include "BenchScreen.h"
#include "BenchTarget.h"
#include "CBayBoardView.h"
#include "CCarDirDlg.h"
#include "CChangeLogDlg.h"
#include "CClientDirDlg.h"
#include "CJSalaryView.h"
#include "CKassaView.h"
#include "CQuellmarodView.h"
#include "CarStore.h"
#include "CashStore.h"
#include "ClientStore.h"
#include "CompanyStore.h"
#include "Database.h"
#include "DbError.h"
#include "DocumentWriter.h"
#include "Formats.h"
#include "KeyedList.h"
#include "KeyedView.h"
#include "MergeBench.h"
#include "OrderJournalStore.h"
#include "OrderStore.h"
#include "RawStatements.h"
#include "RefDb.h"
#include "ReportBench.h"
#include "RtfTemplateFiller.h"
#include "SalaryBench.h"
#include "SaveBench.h"
#include "ServiceRecord.h"
#include "ServiceStore.h"
#include "StatementCounter.h"
#include "TyreStore.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

// Registers one benchmark timed by its own clock, in milliseconds, under "<backend>/<name>".
template <typename Fn>
void Add(const QString &backend, const QString &name, Fn fn) {
    benchmark::RegisterBenchmark((backend + u'/' + name).toStdString().c_str(), fn)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

// The clients directory (whole, by name, by INN, the debtors), the cars directory and the services tree.
void RegisterDirectories(Database *d, const Inputs &in, const QString &backend) {
    const auto clients = [d](ClientFilter filter, const QString &where, QVariantList binds, Debts debts) {
        return [=](benchmark::State &state) {
            RawQuery raw(*d, ClientsRaw(where, debts));
            RunPair(
                state, *d, [&] { return size_t(ClientStore(*d).Search(filter).size()); },
                [&] { return raw.Run(binds); });
        };
    };
    ClientFilter byName, byInn, debtors;
    byName.name = in.threeName;
    byInn.inn = in.inn;
    debtors.debtorsOnly = true;
    Add(backend, "ClientsDefault", clients({}, QString(), {}, Debts::All));
    Add(backend, "ClientsName",
        clients(byName, QStringLiteral(" WHERE c.ClientName = ?"), {in.threeName}, Debts::Own));
    Add(backend, "ClientsInn",
        clients(byInn, QStringLiteral(" WHERE c.ClientINN = ?"), {in.inn}, Debts::Own));
    Add(backend, "ClientsDebtors", clients(debtors, QString(), {0.009}, Debts::Debtors));
    Add(backend, "Cars", [d](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kCarsRaw));
        RunPair(
            state, *d, [&] { return size_t(CarStore(*d).Search({}).size()); }, [&] { return raw.Run(); });
    });
    // The two directories as the clerk opens them: from the command to the dialog shown with its first
    // screen of rows painted (offscreen), and to the whole list read after it; beside the same raw
    // statement as the lists above.
    const auto screen = [d](const QString &rawSql, auto open, bool whole) {
        return [d, rawSql, open, whole](benchmark::State &state) {
            ScreenContext context(*d);
            RawQuery raw(*d, rawSql);
            const auto shown = [&] {
                auto opened = open(context.ctx);
                opened->show();
                opened->repaint();  // painted now, as the first expose paints it
                if (whole) opened->list()->ReadRest();
                return opened;
            };
            TimeScreen(
                state, *d, shown, [&] { return raw.Run(); }, false);
        };
    };
    const auto cars = [](AppContext &ctx) { return std::make_unique<CCarDirDlg>(ctx); };
    const auto clientsDir = [](AppContext &ctx) { return std::make_unique<CClientDirDlg>(ctx); };
    Add(backend, "CarsFirstScreen", screen(QString::fromLatin1(kCarsRaw), cars, false));
    Add(backend, "CarsWholeScreen", screen(QString::fromLatin1(kCarsRaw), cars, true));
    Add(backend, "ClientsFirstScreen", screen(ClientsRaw(QString(), Debts::All), clientsDir, false));
    Add(backend, "ClientsWholeScreen", screen(ClientsRaw(QString(), Debts::All), clientsDir, true));
    Add(backend, "ServicesTree", [d](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kServicesRaw));
        RunPair(
            state, *d,
            [&] {
                const ServiceTree tree = ServiceStore(*d).LoadTree();
                size_t n = size_t(tree.standalone.size());
                for (const PackageNode &p : tree.packages) n += 1 + size_t(p.services.size());
                return n;
            },
            [&] { return raw.Run(); });
    });
}

// The raw statements that read an order as its load does.
std::vector<std::unique_ptr<RawQuery>> LoadRaw(Database &db) {
    std::vector<std::unique_ptr<RawQuery>> raw;
    for (const char *sql : kLoadRaw) raw.push_back(std::make_unique<RawQuery>(db, QString::fromUtf8(sql)));
    return raw;
}

// The order load and save, and what the order form reads on opening an order.
void RegisterOrder(Database *d, const Inputs &in, const QString &backend) {
    const QString key = in.loadOrder;
    Add(backend, "OrderLoad", [d, key](benchmark::State &state) {
        std::vector<std::unique_ptr<RawQuery>> raw = LoadRaw(*d);
        RunPair(
            state, *d,
            [&] {
                const std::optional<Order> o = OrderStore(*d).Load(key);
                size_t n = 0;
                for (const OrderLine &l : o->lines) n += 1 + size_t(l.children.size());
                return n;
            },
            [&] {
                size_t n = 0;
                for (auto &q : raw) n += q->Run({key});
                return n;
            });
    });
    const Order order = in.newOrder;
    Add(backend, "OrderSave10x2", [d, order](benchmark::State &state) {
        SaveBench save(*d, order);
        RunPair(
            state, *d, [&] { return save.Program(); }, [&] { return save.Raw(); }, [&] { save.Clean(); });
    });
    // What the order form reads on opening an order: the makes list and the order.
    Add(backend, "OrderFormOpen", [d, key](benchmark::State &state) {
        RawQuery makes(*d, QStringLiteral("SELECT DISTINCT AvtoMarka FROM SAvto WHERE AvtoMarka <> '' "
                                          "ORDER BY AvtoMarka"));
        std::vector<std::unique_ptr<RawQuery>> raw = LoadRaw(*d);
        RunPair(
            state, *d,
            [&] {
                size_t n = size_t(CarStore(*d).Makes().size());
                const std::optional<Order> o = OrderStore(*d).Load(key);
                for (const OrderLine &l : o->lines) n += 1 + size_t(l.children.size());
                return n;
            },
            [&] {
                size_t n = makes.Run();
                for (auto &q : raw) n += q->Run({key});
                return n;
            });
    });
}

// The order journal: the default search, a month of every status, and searches by plate and number
// over the whole ten years.
void RegisterJournal(Database *d, const Inputs &in, const QString &backend) {
    QDate monthFrom, monthTo;
    OrderJournalStore::DefaultPeriod(in.lastDay, &monthFrom, &monthTo);
    const QVariantList month = {QDateTime(monthFrom, QTime(0, 0)),
                                QDateTime(monthTo.addDays(1), QTime(0, 0))};
    const QVariantList years = {QDateTime(in.firstDay, QTime(0, 0)),
                                QDateTime(in.lastDay.addDays(1), QTime(0, 0))};
    const QString period = QStringLiteral("z.ZakazData >= ? AND z.ZakazData < ?");
    const auto journal = [d](JournalFilter filter, const QString &where, QVariantList binds, bool everyDebt) {
        return [=](benchmark::State &state) {
            RawQuery raw(*d, JournalRaw(where, everyDebt));
            RunPair(
                state, *d, [&] { return size_t(OrderJournalStore(*d).Search(filter).size()); },
                [&] { return raw.Run(binds); });
        };
    };
    // The journal as the clerk opens it from the menu (this month's active orders and every debt): from the
    // command to the first screen of orders painted (offscreen), and to the whole list read after it with
    // the heap the open journal holds (the allocator's figure before it opened and after); beside the raw
    // statement of the same search.
    const auto screen = [d, period](bool whole) {
        return [d, period, whole](benchmark::State &state) {
            ScreenContext context(*d);
            QDate from, to;
            OrderJournalStore::DefaultPeriod(QDate::currentDate(), &from, &to);
            const QVariantList binds = {QDateTime(from, QTime(0, 0)), QDateTime(to.addDays(1), QTime(0, 0))};
            RawQuery raw(*d, JournalRaw(period + QStringLiteral(" AND z.ZakazStatus IN (0, 1)"), true));
            const auto open = [&] {
                auto view = std::make_unique<CQuellmarodView>(context.ctx, OrderFormOpener{});
                view->show();
                view->repaint();  // painted now, as the first expose paints it
                if (whole) view->list()->ReadRest();
                return view;
            };
            TimeScreen(
                state, *d, open, [&] { return raw.Run(binds); }, whole);
        };
    };
    Add(backend, "JournalFirstScreen", screen(false));
    Add(backend, "JournalWholeScreen", screen(true));
    JournalFilter active{monthFrom, monthTo, JournalStatus::Active, {}, {}, {}, {}};
    JournalFilter all{monthFrom, monthTo, JournalStatus::All, {}, {}, {}, {}};
    JournalFilter byPlate{in.firstDay, in.lastDay, JournalStatus::All, {}, in.plate, {}, {}};
    JournalFilter byNumber{in.firstDay, in.lastDay, JournalStatus::All, in.number, {}, {}, {}};
    Add(backend, "JournalDefault",
        journal(active, period + QStringLiteral(" AND z.ZakazStatus IN (0, 1)"), month, true));
    // Another workstation wrote one order of the journal the clerk has open (the default search, whole): the
    // journal reads that order again and puts it in its place; beside the raw statement of a whole new
    // search.
    Add(backend, "JournalRefreshOne", [d, active, period, month](benchmark::State &state) {
        OrderJournalStore store(*d);
        const QList<JournalOrder> shown = store.Search(active);
        const JournalKeys keys{{shown.isEmpty() ? QString() : shown.first().IddZakaz}, {}, {}};
        RawQuery raw(*d, JournalRaw(period + QStringLiteral(" AND z.ZakazStatus IN (0, 1)"), true));
        RunPair(
            state, *d, [&] { return size_t(store.Refreshed(shown, active, keys).size()); },
            [&] { return raw.Run(month); });
    });
    Add(backend, "JournalMonthAll", journal(all, period, month, false));
    Add(backend, "JournalPlate",
        journal(byPlate, period + QStringLiteral(" AND a.AvtoNomer = ?"), years + QVariantList{in.plate},
                false));
    Add(backend, "JournalNumber",
        journal(byNumber, period + QStringLiteral(" AND z.ZakazNomer = ?"), years + QVariantList{in.number},
                false));
}

// The cash and salary journals as opened, the cash journal of the last month and the client card's pages.
void RegisterMoney(Database *d, const Inputs &in, const QString &backend) {
    QDate monthFrom, monthTo;
    OrderJournalStore::DefaultPeriod(in.lastDay, &monthFrom, &monthTo);
    const QVariantList month = {QDateTime(monthFrom, QTime(0, 0)),
                                QDateTime(monthTo.addDays(1), QTime(0, 0))};
    // The cash journal as the clerk opens it (its filters' lists filled) and finds the last month, to the
    // rows painted, with the heap it holds; beside the same raw statement as the store's call below.
    Add(backend, "CashMonthScreen", [d, monthFrom, monthTo, month](benchmark::State &state) {
        ScreenContext context(*d);
        RawQuery raw(*d, QString::fromLatin1(kCashRaw));
        const auto open = [&] {
            auto view = std::make_unique<CKassaView>(context.ctx);
            view->findChild<QDateEdit *>(QStringLiteral("from"))->setDate(monthFrom);
            view->findChild<QDateEdit *>(QStringLiteral("to"))->setDate(monthTo);
            view->Find();
            view->show();
            view->repaint();
            return view;
        };
        TimeScreen(
            state, *d, open, [&] { return raw.Run(month); }, true);
    });
    // The salary journal as the clerk opens it (this year's payouts), to its rows painted, with its heap.
    Add(backend, "SalaryJournalScreen", [d](benchmark::State &state) {
        ScreenContext context(*d);
        RawQuery raw(*d, QString::fromLatin1(kSalaryJournalRaw));
        const int year = QDate::currentDate().year();
        const QVariantList binds = {QDateTime(QDate(year, 1, 1), QTime(0, 0)),
                                    QDateTime(QDate(year + 1, 1, 1), QTime(0, 0))};
        const auto open = [&] {
            auto view = std::make_unique<CJSalaryView>(context.ctx);
            view->show();
            view->repaint();
            return view;
        };
        TimeScreen(
            state, *d, open, [&] { return raw.Run(binds); }, true);
    });
    // The cash journal of the last month with its three totals.
    Add(backend, "CashMonth", [d, monthFrom, monthTo, month](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kCashRaw));
        CashFilter filter;
        filter.from = monthFrom;
        filter.to = monthTo;
        RunPair(
            state, *d,
            [&] {
                const CashJournal j = CashStore(*d).FillCashJournal(filter);
                benchmark::DoNotOptimize(j.total);
                return size_t(j.rows.size());
            },
            [&] { return raw.Run(month); });
    });
    // The client card's "Заказы" and "Лицевой счет" pages for the client with the most orders.
    const QString fleet = in.fleetClient;
    Add(backend, "ClientOrdersPage", [d, fleet](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kClientOrdersRaw));
        RunPair(
            state, *d, [&] { return size_t(CashStore(*d).ClientOrders(fleet).size()); },
            [&] { return raw.Run({fleet}); });
    });
    Add(backend, "ClientAccountPage", [d, fleet](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kClientAccountRaw));
        RunPair(
            state, *d, [&] { return size_t(CashStore(*d).ClientAccount(fleet).size()); },
            [&] {
                return raw.Run({fleet, fleet});
            });
    });
}

// The change log as the owner opens it and searches a month; a work order merged into its template.
void RegisterLogAndDocuments(Database *d, const Inputs &in, const QString &backend) {
    const QString key = in.loadOrder;
    // The change log's window as the owner opens it from the menu (the last month's entries), to its rows
    // painted, with its heap; and its store's search of the reference database's last month. Each beside the
    // raw statement of the same period.
    Add(backend, "ChangeLogScreen", [d](benchmark::State &state) {
        ScreenContext context(*d);
        RawQuery raw(*d, QString::fromLatin1(kChangeLogRaw));
        const QDate today = QDate::currentDate();
        const QVariantList binds = {QDateTime(today.addMonths(-1), QTime(0, 0)),
                                    QDateTime(today.addDays(1), QTime(0, 0))};
        const auto open = [&] {
            auto dlg = std::make_unique<CChangeLogDlg>(context.ctx);
            dlg->show();
            dlg->repaint();
            return dlg;
        };
        TimeScreen(
            state, *d, open, [&] { return raw.Run(binds); }, true);
    });
    Add(backend, "ChangeLogMonth", [d, in](benchmark::State &state) {
        RawQuery raw(*d, QString::fromLatin1(kChangeLogRaw));
        const ChangeLogFilter filter{.from = in.lastDay.addMonths(-1), .to = in.lastDay};
        const QVariantList binds = {QDateTime(filter.from, QTime(0, 0)),
                                    QDateTime(filter.to.addDays(1), QTime(0, 0))};
        RunPair(
            state, *d, [&] { return size_t(ChangeLogStore(*d).Search(filter).size()); },
            [&] { return raw.Run(binds); });
    });
    // A work order of 100 and of 1000 table rows merged into its template.
    for (const int rows : {100, 1000}) {
        const QString name = QStringLiteral("DocumentMerge%1").arg(rows);
        benchmark::RegisterBenchmark((backend + u'/' + name).toStdString().c_str(),
                                     [d, key, rows](benchmark::State &state) {
                                         MergeBench merge(*d, key, rows);
                                         RunPair(
                                             state, *d, [&] { return merge.Program(); },
                                             [&] { return merge.Raw(); });
                                     })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
}

// The bay board as the clerk opens it ("Загрузка боксов", on today) and turns to the busiest day or its week,
// to the board drawn (offscreen), with the heap it holds; beside the statements its store runs for the days
// turned to. And the free times found for an hour's work from the busiest day's opening.
void RegisterBays(Database *d, const Inputs &in, const QString &backend) {
    const QDate day = in.busyDay;
    const auto board = [d, day](bool week) {
        return [d, day, week](benchmark::State &state) {
            ScreenContext context(*d);
            BoardRaw raw(*d);
            const QDate first = week ? day.addDays(1 - day.dayOfWeek()) : day;
            const auto open = [&] {
                auto view = std::make_unique<CBayBoardView>(context.ctx);
                if (week)
                    view->ShowWeek(day);
                else
                    view->ShowDay(day);
                view->show();
                view->repaint();  // drawn now, as the first expose draws it
                return view;
            };
            // What it shows: the plans on the board.
            const auto plans = [](const CBayBoardView &view) {
                return view.canvas()->board().blocks().size();
            };
            TimeScreenShowing(
                state, *d, open, plans, [&] { return raw.Run(first, week ? 7 : 1); }, true);
        };
    };
    Add(backend, "BayBoardDay", board(false));
    Add(backend, "BayBoardWeek", board(true));
    Add(backend, "BayFreeSlots", [d, day](benchmark::State &state) {
        const WorkingHours hours = CompanyStore(*d).Hours();
        const QDateTime from(day, hours.open);
        QStringList bays;
        for (const BayRecord &b : BayStore(*d).List()) bays << b.iddBox;
        // Each bay's bookings from the longest plan before the search to the four weeks it looks at.
        const QVariantList period = {from.addDays(-BayPlan::kLongestDays), from.addDays(28), from};
        RawQuery rawBays(*d, QString::fromLatin1(kBaysRaw)), booked(*d, QString::fromLatin1(kBayBookingsRaw));
        RunPair(
            state, *d, [&] { return size_t(BayBoard::Store(*d).FreeSlots(from, 3600, hours, 10).size()); },
            [&] {
                size_t n = rawBays.Run({false});
                for (const QString &bay : std::as_const(bays)) n += booked.Run(QVariantList{bay} + period);
                return n;
            });
    });
}

// The tyre storage's journal as it opens (the sets kept now), and its search for a kept set's plate; beside
// the raw statement of the kept sets and of those of the plate's car.
void RegisterTyres(Database *d, const Inputs &in, const QString &backend) {
    Add(backend, "TyreJournal", [d](benchmark::State &state) {
        RawQuery raw(*d, QLatin1StringView(kTyresKeptRaw) + QLatin1StringView(kTyresOrder));
        RunPair(
            state, *d, [&] { return size_t(TyreStore(*d).Search({}).size()); }, [&] { return raw.Run(); });
    });
    const QString plate = in.tyrePlate;
    Add(backend, "TyrePlateSearch", [d, plate](benchmark::State &state) {
        RawQuery raw(*d, QLatin1StringView(kTyresKeptRaw) + QStringLiteral(" AND a.AvtoNomer = ?") +
                             QLatin1StringView(kTyresOrder));
        RunPair(
            state, *d, [&] { return size_t(TyreStore(*d).Search({.plate = plate}).size()); },
            [&] { return raw.Run({plate}); });
    });
}

void Register(Database &db, const Inputs &in, const QString &backend) {
    RegisterDirectories(&db, in, backend);
    RegisterOrder(&db, in, backend);
    RegisterJournal(&db, in, backend);
    RegisterMoney(&db, in, backend);
    RegisterLogAndDocuments(&db, in, backend);
    RegisterBays(&db, in, backend);
    RegisterTyres(&db, in, backend);
}

void PrintOutcome(const BenchTarget &target, double scale, const RefDb::Outcome &out) {
    const RefDbCounts &c = out.counts;
    std::printf(
        "%s reference database, scale %s: %s in %.1f s — %d orders, %d lines, %d line workers, "
        "%d payments, %d clients, %d cars\n",
        qPrintable(target.BackendName()), qPrintable(QString::number(scale)),
        out.generated ? "generated" : "kept from an earlier run (generated", out.seconds, c.orders, c.lines,
        c.lineWorkers, c.payments, c.clients, c.cars);
    if (out.generated)
        std::printf("  of which %.1f s of this program's processor time\n", out.cpuSeconds);
    else
        std::printf("  (the time above is the generation's, when it was made)\n");
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    benchmark::Initialize(&argc, argv);
    // The directories' benchmarks open their dialogs: without a screen, on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const bool force = args.removeAll(QStringLiteral("--regenerate")) > 0;
    BenchTarget target = BenchTarget::Sqlite(QString());
    double scale = 0;
    QString error;
    if (!BenchTarget::FromArguments(args, &target, &scale, &error)) {
        std::fprintf(stderr, "zv_bench: %s\n", qPrintable(error));
        return 2;
    }
    if (!args.isEmpty()) {
        std::fprintf(stderr, "zv_bench: unknown arguments: %s\n", qPrintable(args.join(u' ')));
        return 2;
    }
    try {
        PrintOutcome(target, scale, RefDb::Ensure(target, scale, force));
        std::unique_ptr<Database> db = Database::Open(target.Connect(scale));
        const Inputs inputs = PickInputs(*db);
        std::printf("name filter: \"%s\"; INN filter: \"%s\"; order loaded: %s (number %s, plate %s)\n",
                    qPrintable(inputs.threeName), qPrintable(inputs.inn), qPrintable(inputs.loadOrder),
                    qPrintable(inputs.number), qPrintable(inputs.plate));
        std::printf("orders from %s to %s; client with the most orders: %s (%d orders)\n",
                    qPrintable(inputs.firstDay.toString(Qt::ISODate)),
                    qPrintable(inputs.lastDay.toString(Qt::ISODate)), qPrintable(inputs.fleetClient),
                    inputs.fleetOrders);
        std::printf("bay board: %s, %d orders planned, and its week\n",
                    qPrintable(inputs.busyDay.toString(Qt::ISODate)), inputs.busyPlans);
        std::printf("tyre storage: %d sets kept; plate searched: %s\n", inputs.tyresKept,
                    qPrintable(inputs.tyrePlate));
        std::printf(
            "time: the program's call; raw_ms: the raw statement in the same run; ratio: time / raw_ms; "
            "%s: per call\n",
            db->PostgresStyle() ? "trips, raw_trips: round trips" : "stmts, raw_stmts: statements");
        std::fflush(stdout);
        Register(*db, inputs, target.BackendName());
        RegisterReportBenchmarks(*db, target.BackendName());
        RegisterSalaryBenchmarks(*db, target.BackendName());
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zv_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
