#pragma once

// Timing a screen as the clerk opens it: from the command to its rows painted (offscreen).
#include "AppContext.h"
#include "BenchPair.h"
#include "DialogRunner.h"
#include "MessageBoxPrompter.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <QDir>
#include <functional>
#include <string>

// What a screen needs to open in a benchmark: a user with every right, messages and dialogs as the program
// has them.
struct ScreenContext {
    explicit ScreenContext(Database &db)
        : ctx(db, UserInfo{QString(), QStringLiteral("bench"), QString(), QString(64, u'1')}, prompter,
              dialogs, QDir::tempPath()) {}
    MessageBoxPrompter prompter;
    DialogRunner dialogs;
    AppContext ctx;
};

// The heap an open screen holds, as the allocator counts it before it opens and after, as the benchmark's
// label ("heap_mb=…"; a label, not a counter: a CSV report wants every counter in every benchmark).
template <class Open>
std::string HeapLabel(Open open) {
    const size_t before = mallinfo2().uordblks;
    auto shown = open();
    const size_t after = mallinfo2().uordblks;
    shown.reset();
    return QStringLiteral("heap_mb=%1")
        .arg(double(after > before ? after - before : 0) / (1024.0 * 1024.0), 0, 'f', 1)
        .toStdString();
}

// Times a screen from the command to what it shows painted (offscreen), the screen left open until the next
// is timed, beside the raw statement; `shows` counts what an open one shows. With `heap`, labels the
// benchmark with the heap an open one holds.
template <class Open, class Shows>
void TimeScreenShowing(benchmark::State &state, Database &db, Open open, Shows shows,
                       const std::function<size_t()> &raw, bool heap) {
    decltype(open()) shown;
    RunPair(
        state, db,
        [&] {
            shown = open();
            return size_t(shows(*shown));
        },
        raw, [&] { shown.reset(); });
    if (heap) state.SetLabel(HeapLabel(open));
}

// A list screen, timed to its rows painted.
template <class Open>
void TimeScreen(benchmark::State &state, Database &db, Open open, const std::function<size_t()> &raw,
                bool heap) {
    TimeScreenShowing(
        state, db, open, [](auto &screen) { return screen.list()->model()->rowCount(); }, raw, heap);
}
