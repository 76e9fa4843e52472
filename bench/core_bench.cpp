// A month transfer and a year report over twelve full months, files included.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/bench_folder.h"
#include "core/form_data.h"
#include "core/year_report.h"

namespace quilvern {
namespace {

// Every line named, priced and sold, so every report lists fifty lines.
void FillSheet(FormData& data, const std::string& dir) {
    data.dirLabel = dir;
    for (int n = 0; n < kLineCount; ++n) {
        ProductLine& line = data.sheet.lines[n];
        line.name.SetText("Product number " + std::to_string(n + 1));
        line.price.SetValue(1.25L * (n + 1));
        line.quantity.SetValue(n + 3);
    }
}

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
