// "Save as PDF..." of a year report over twelve full months (fifty listed lines each):
// laying out the pages, drawing them through Qt's PDF writer and writing the file.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>

#include "bench/bench_folder.h"
#include "bench/full_sheet.h"
#include "core/form_data.h"
#include "core/report_pages.h"
#include "core/year_report.h"
#include "ui/report_pdf.h"

namespace quilvern {
namespace {

void YearReportText(FormData& data, const std::string& dir) {
    bench::FillSheet(data, dir);
    for (int m = 1; m <= kMonthCount; ++m)
        data.ledger.Transfer(m);
    CompileYearReport(data);
}

void YearReportPdf(benchmark::State& state) {
    bench::Folder folder("quilvern-bench-pdf");
    FormData data;
    YearReportText(data, folder.WithSeparator());
    const std::string path = folder.File("ReportYear.pdf");
    for (auto _ : state) {
        const auto pages = PaginateReport(data.reportText.Text(), "Quilvern", "1 May 2025");
        WriteReportPdf(path, pages, nullptr);
    }
    state.counters["pages"] =
        static_cast<double>(PaginateReport(data.reportText.Text(), "", "").size());
}
BENCHMARK(YearReportPdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quilvern

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
