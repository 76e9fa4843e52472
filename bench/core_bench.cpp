// A month transfer and a year report over twelve full months, files included; and both
// as the window makes them, with the recovery copy written before and after the files.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_folder.h"
#include "bench/bench_program.h"
#include "bench/full_sheet.h"
#include "core/form_data.h"
#include "core/year_report.h"

namespace quilvern {
namespace {

using bench::FillSheet;

void MonthTransfer(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-core");
    FormData data;
    FillSheet(data, folder.WithSeparator());
    int month = 0;
    for (auto _ : state) {
        data.ledger.Transfer(month % kMonthCount + 1);
        ++month;
    }
}
BENCHMARK(MonthTransfer)->Unit(benchmark::kMicrosecond);

void YearReport(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-core");
    FormData data;
    FillSheet(data, folder.WithSeparator());
    for (int m = 1; m <= kMonthCount; ++m)
        data.ledger.Transfer(m);
    for (auto _ : state)
        CompileYearReport(data);
}
BENCHMARK(YearReport)->Unit(benchmark::kMicrosecond);

void MonthTransferWithRecovery(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-core");
    bench::RecoveredProgram program(folder, folder.File("Quilvern.ini"));
    FillSheet(program.data, folder.WithSeparator());
    int month = 0;
    for (auto _ : state) {
        const SnapshotAfterCommand snapshot(program.recovery);
        program.data.ledger.Transfer(month % kMonthCount + 1);
        ++month;
    }
}
BENCHMARK(MonthTransferWithRecovery)->Unit(benchmark::kMicrosecond);

void YearReportWithRecovery(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-core");
    bench::RecoveredProgram program(folder, folder.File("Quilvern.ini"));
    FillSheet(program.data, folder.WithSeparator());
    for (int m = 1; m <= kMonthCount; ++m)
        program.data.ledger.Transfer(m);
    for (auto _ : state) {
        const SnapshotAfterCommand snapshot(program.recovery);
        CompileYearReport(program.data);
    }
}
BENCHMARK(YearReportWithRecovery)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quilvern

BENCHMARK_MAIN();
