// The search with all eight positions and the partial search 平特 k = 4 (70 combinations of
// six statements each) on a generated history of 2,400 draws.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "partial/partial_search.h"
#include "search/search_command.h"
#include "support/random_history.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;

struct BenchHistory : bench::BenchHistory {
    BenchHistory() : bench::BenchHistory(2400, 11) {}
    search::Criteria criteria(int type, bool fixed) {
        search::Criteria c;
        c.type = type;
        c.fixed = fixed;
        c.rangeStart = std::to_string(db.firstIssue().value_or(0));
        c.rangeEnd = std::to_string(db.lastIssue().value_or(0));
        const int values[8] = {3, 7, 11, 15, 19, 23, 27, 30};
        for (int i = 0; i < 8; ++i) {
            c.selected[i] = true;
            c.values[i] = type == 0 ? values[i] : 1 + i % 10;
            c.texts[i] = std::to_string(c.values[i]);
        }
        return c;
    }
};

BenchHistory& history() {
    static BenchHistory h;
    return h;
}

void BM_SearchEightPositions(benchmark::State& state) {
    auto& h = history();
    const auto c = h.criteria(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        const auto r = search::runSearch(h.db, c);
        benchmark::DoNotOptimize(r.stats.last);
    }
}
BENCHMARK(BM_SearchEightPositions)->Args({0, 0})->Args({3, 0})->Args({0, 1})->Unit(benchmark::kMillisecond);

void BM_PartialPingteK4(benchmark::State& state) {
    auto& h = history();
    const auto c = h.criteria(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        const auto r = partial::runPartialSearch(h.db, c, false, "4");
        benchmark::DoNotOptimize(r.stats.last);
    }
}
BENCHMARK(BM_PartialPingteK4)->Args({0, 0})->Args({3, 0})->Args({0, 1})->Unit(benchmark::kMillisecond);

}  // namespace
