// The trend chart (走势图) on a generated history of 32,766 draws: building the chart, which is
// what opening the window costs (its model makes cells on demand), and the whole text of
// `quarvel-cli trend`. Targets: 0.3 s and 1 s.
#include <benchmark/benchmark.h>

#include "search/trend_chart.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

bench::BenchHistory& history() {
    static bench::BenchHistory h(32766, 23);
    return h;
}

search::TrendInput wholeHistory(int type) {
    search::TrendInput in;
    in.type = type;
    in.rangeStart = history().db.firstIssue().value_or(0);
    in.rangeEnd = history().db.lastIssue().value_or(0);
    return in;
}

void BM_TrendOpen(benchmark::State& state) {
    const search::TrendInput in = wholeHistory(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        search::TrendChart chart = search::buildTrend(history().db.db(), in);
        benchmark::DoNotOptimize(chart.cellText(chart.drawRows() - 1, 0));
    }
}
BENCHMARK(BM_TrendOpen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TrendText(benchmark::State& state) {
    const search::TrendInput in = wholeHistory(0);
    for (auto _ : state) {
        const std::string text = search::buildTrend(history().db.db(), in).toTextGrid().toTsv();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_TrendText)->Unit(benchmark::kMillisecond);

}  // namespace
