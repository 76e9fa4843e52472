// The money values on their hot paths: formatting, parsing, a field's write and read.
#include <benchmark/benchmark.h>

#include "values/money_field.h"
#include "values/money_text.h"
#include "values/number_format.h"

namespace quilvern {
namespace {

void FormatDollar(benchmark::State& state) {
    long double value = 1234567.891L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatByPattern(value, "$,0.00;-$,0.00"));
        value += 0.01L;
    }
}
BENCHMARK(FormatDollar);

void ParseTypedNumber(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseNumber("1234567.89"));
}
BENCHMARK(ParseTypedNumber);

void MoneyFieldWriteAndRead(benchmark::State& state) {
    MoneyField field;
    field.FormatOnEditing = true;
    long double value = 2.5L;
    for (auto _ : state) {
        field.SetValue(value);
        benchmark::DoNotOptimize(field.Value());
        value += 1;
    }
}
BENCHMARK(MoneyFieldWriteAndRead);

}  // namespace
}  // namespace quilvern

BENCHMARK_MAIN();
