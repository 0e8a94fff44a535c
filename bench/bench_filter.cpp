// 缩水 on a generated history of 32,766 draws: a filter over all 2,035,800 sets with a
// condition on every shape, 胆 and 杀, keeping the sets and the record of every condition on
// every draw; once with the draws already read (the window) and once reading them (the CLI).
// Target: 1 s. A wide condition that keeps nearly every set shows the cost of storing them.
#include <benchmark/benchmark.h>

#include "chance/set_filter.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

bench::BenchHistory& history() {
    static bench::BenchHistory h(32766, 33);
    return h;
}

chance::SetFilter everyCondition() {
    chance::SetFilter f;
    for (const char* c :
         {"和值=80-140", "跨度=15-29", "奇偶=2:5,3:4,4:3,5:2", "大小=2:5,3:4,4:3,5:2",
          "012路=1:3:3,2:2:3,2:3:2,3:2:2,3:3:1,3:1:3", "区间=1:3:3,2:2:3,2:3:2,3:2:2,3:3:1,3:1:3",
          "连号=0-2", "重号=0-2", "AC值=6-15"})
        f.shapes.push_back(*chance::parseShapeCondition(c));
    f.include = chance::maskOf({11});
    f.exclude = chance::maskOf({1, 30});
    return f;
}

// One wide condition: nearly every set is kept and stored.
chance::SetFilter wideCondition() {
    chance::SetFilter f;
    f.shapes.push_back(*chance::parseShapeCondition("奇偶=1:6,2:5,3:4,4:3,5:2,6:1"));
    return f;
}

void run(benchmark::State& state, bool readDraws, const chance::SetFilter& f) {
    store::HistoryDb& db = history().db;
    const std::int32_t first = db.firstIssue().value_or(0), last = db.lastIssue().value_or(0);
    std::vector<chance::ShapeDraw> draws = chance::readShapeDraws(db.db());
    std::int64_t kept = 0;
    for (auto _ : state) {
        if (readDraws) draws = chance::readShapeDraws(db.db());
        const auto r = chance::runFilter(f, draws, first, last, true);
        kept = r->kept;
        benchmark::DoNotOptimize(r->sets.data());
    }
    state.counters["kept"] = static_cast<double>(kept);
}

void BM_FilterEveryCondition(benchmark::State& state) { run(state, false, everyCondition()); }
BENCHMARK(BM_FilterEveryCondition)->Unit(benchmark::kMillisecond);

void BM_FilterReadingTheDraws(benchmark::State& state) { run(state, true, everyCondition()); }
BENCHMARK(BM_FilterReadingTheDraws)->Unit(benchmark::kMillisecond);

void BM_FilterKeepingNearlyAll(benchmark::State& state) { run(state, false, wideCondition()); }
BENCHMARK(BM_FilterKeepingNearlyAll)->Unit(benchmark::kMillisecond);

}  // namespace
