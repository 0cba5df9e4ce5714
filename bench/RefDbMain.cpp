// Generates the reference database of a scale, unless an up-to-date one is already there.
//   zv_refdb --sqlite FILE | --pg "host=... port=... dbname=... user=..."  [--scale 1.0] [--force]
#include "BenchTarget.h"
#include "Formats.h"
#include "RefDb.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
    Formats::KeepLocalZoneLoaded();
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const bool force = args.removeAll(QStringLiteral("--force")) > 0;
    BenchTarget target = BenchTarget::Sqlite(QString());
    double scale = 0;
    QString error;
    if (!BenchTarget::FromArguments(args, &target, &scale, &error) || !args.isEmpty()) {
        std::fprintf(
            stderr, "zv_refdb: %s\n",
            qPrintable(error.isEmpty() ? QStringLiteral("unknown arguments: ") + args.join(u' ') : error));
        return 2;
    }
    try {
        const RefDb::Outcome out = RefDb::Ensure(target, scale, force);
        const RefDbCounts &c = out.counts;
        std::printf(
            "%s, scale %s: %s; generated in %.1f s: %d orders, %d lines, %d line workers, %d payments, "
            "%d clients, %d cars\n",
            qPrintable(target.BackendName()), qPrintable(QString::number(scale)),
            out.generated ? "generated" : "up to date, kept", out.seconds, c.orders, c.lines, c.lineWorkers,
            c.payments, c.clients, c.cars);
        if (out.generated)
            std::printf(
                "  of which %.1f s of this program's processor time; tyre storage: %d places, %d sets taken "
                "in, %d kept now, %d turned away from a full storage\n",
                out.cpuSeconds, c.places, c.tyreSets, c.tyresKept, c.tyresTurnedAway);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "zv_refdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
