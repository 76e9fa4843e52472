// The settings file at start-up and at close: the seven storages restoring and saving
// all 216 items and the window keys, with the sheet's recomputations running behind
// the restored values as they do in the window.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/bench_folder.h"
#include "bench/bench_program.h"
#include "core/form_data.h"

namespace quilvern {
namespace {

using bench::Program;

// A file from a full year: every line named, priced and sold, every month transferred.
std::string FullSettingsFile(const bench::Folder& folder) {
    const std::string path = folder.File("Quilvern.ini");
    Program program(folder, path);
    program.events.onShow();
    for (int n = 0; n < kLineCount; ++n) {
        ProductLine& line = program.data.sheet.lines[n];
        line.name.SetText("Product number " + std::to_string(n + 1));
        line.price.SetValue(1.25L * (n + 1));
        line.quantity.SetValue(n + 3);
    }
    for (int m = 1; m <= kMonthCount; ++m)
        program.data.ledger.Transfer(m);
    program.data.currency.SetText("Euro (\x80)");
    program.Close();
    return path;
}

void RestoreAtShow(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-settings");
    const std::string path = FullSettingsFile(folder);
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<Program>(folder, path);
        state.ResumeTiming();
        program->events.onShow();
        state.PauseTiming();
        program.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(RestoreAtShow)->Unit(benchmark::kMicrosecond);

// The usual close: nothing changed since the show, so the file is left as it is.
void SaveAtClose(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-settings");
    Program program(folder, FullSettingsFile(folder));
    program.events.onShow();
    for (auto _ : state)
        program.Close();
}
BENCHMARK(SaveAtClose)->Unit(benchmark::kMicrosecond);

// One price changed since the last close: one section reaches the disk.
void SaveAtCloseAfterAChange(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-settings");
    Program program(folder, FullSettingsFile(folder));
    program.events.onShow();
    int cents = 0;
    for (auto _ : state) {
        program.data.sheet.lines[0].price.SetValue(1 + (++cents % 100) / 100.0L);
        program.Close();
    }
}
BENCHMARK(SaveAtCloseAfterAChange)->Unit(benchmark::kMicrosecond);

// The same close with a recovery copy on disk, as after typing: it is taken again for the
// new settings file before that is written.
void SaveAtCloseAfterAChangeWithRecovery(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-settings");
    bench::RecoveredProgram program(folder, FullSettingsFile(folder));
    int cents = 0;
    for (auto _ : state) {
        state.PauseTiming();
        program.data.sheet.lines[0].price.SetValue(1 + (++cents % 100) / 100.0L);
        program.recovery.WriteNow();
        state.ResumeTiming();
        program.Close();
    }
}
BENCHMARK(SaveAtCloseAfterAChangeWithRecovery)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quilvern

BENCHMARK_MAIN();
