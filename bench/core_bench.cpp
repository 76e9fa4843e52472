// A month transfer and a year report over twelve full months, files included.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_folder.h"
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

}  // namespace
}  // namespace quilvern

BENCHMARK_MAIN();
