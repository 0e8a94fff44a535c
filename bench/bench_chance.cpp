// What chance alone gives, at 32,766 draws (the most the history holds): the walk-forward
// backtest of 10,626 groups (size 4 over 24 numbers) over the last 1,000 draws, and the
// calibration and K-line of a two-position search over the whole history, each as the command
// runs it: the draws read, the hits found, the exact chances counted, the figures computed (for
// the K-line the path-wise band and the path's p as well).
#include <benchmark/benchmark.h>

#include "chance/as_of.h"
#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/draw_chance.h"
#include "chance/kline.h"
#include "search/search_command.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

bench::BenchHistory& history() {
    static bench::BenchHistory h(32766, 29);
    return h;
}

void BM_Backtest(benchmark::State& state) {
    auto& h = history();
    const chance::IssueLine all = chance::readIssueLine(h.db.db());
    chance::BacktestInput in;
    in.plan.type = 0;
    in.plan.size = 4;
    for (int b = 1; b <= 24; ++b) in.plan.boxes.push_back(b);
    in.plan.rangeStart = all.issue.front();
    in.plan.rangeEnd = all.issue.back();
    in.testStart = all.issue[all.size() - 1000];
    in.testEnd = all.issue.back();
    in.column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const chance::IssueLine line = chance::readIssueLine(h.db.db());
        const chance::BacktestResult r =
            chance::backtest(chance::collectGroupHits(h.db, in.plan), line, in);
        if (r.rows.size() != 1000 || r.labels.size() != 10626)
            state.SkipWithError("wrong backtest size");
        benchmark::DoNotOptimize(r.observed);
    }
}
BENCHMARK(BM_Backtest)->Arg(3)->Arg(7)->Unit(benchmark::kMillisecond);

search::Criteria twoNumbers() {
    auto& h = history();
    search::Criteria c;
    c.selected[0] = c.selected[1] = true;
    c.values[0] = 7;
    c.values[1] = 19;
    c.rangeStart = std::to_string(h.db.firstIssue().value_or(0));
    c.rangeEnd = std::to_string(h.db.lastIssue().value_or(0));
    return c;
}

void BM_Calibrate(benchmark::State& state) {
    auto& h = history();
    const search::Criteria c = twoNumbers();
    for (auto _ : state) {
        const auto hits = search::runSearch(h.db, c).hitIdx;
        const chance::IssueLine line = chance::readIssueLine(h.db.db());
        const auto q = chance::PatternChance(chance::searchPattern(c)).along(line.issue);
        const chance::Calibration result = chance::calibrate(hits, line.idx, q);
        benchmark::DoNotOptimize(chance::calibrationGrid(result));
        benchmark::DoNotOptimize(chance::calibrationVerdict(result, 1));
    }
}
BENCHMARK(BM_Calibrate)->Unit(benchmark::kMillisecond);

void BM_KLine(benchmark::State& state) {
    auto& h = history();
    const search::Criteria c = twoNumbers();
    for (auto _ : state) {
        const auto hits = search::runSearch(h.db, c).hitIdx;
        const chance::IssueLine line = chance::readIssueLine(h.db.db());
        const auto q = chance::PatternChance(chance::searchPattern(c)).along(line.issue);
        const auto points = chance::kLine(line, hits, q);
        benchmark::DoNotOptimize(chance::kLineGrid(points));
        benchmark::DoNotOptimize(chance::summarize(points));
    }
}
BENCHMARK(BM_KLine)->Unit(benchmark::kMillisecond);

}  // namespace
