// The search (two positions and all eight) and the partial search 平特 k = 4 on generated
// histories of 2,400 and 32,766 draws (the most the history holds), evaluated in memory and,
// as the reference, by statements. The statement way of the partial search is run at 2,400
// draws only: at 32,766 it issues 70 × 6 full-table UPDATEs and takes about a minute.
// Arguments: draws, search type, fixed (1) or free (0), in memory (0) or by statements (1).
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "partial/partial_search.h"
#include "search/search_command.h"
#include "store/history_db.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

bench::BenchHistory& history(std::size_t draws) {
    static std::map<std::size_t, std::unique_ptr<bench::BenchHistory>> histories;
    auto& h = histories[draws];
    if (!h) h = std::make_unique<bench::BenchHistory>(draws, 11);
    return *h;
}

struct Run {
    bench::BenchHistory& h;
    search::Criteria criteria;
    search::Evaluation how;
};

Run runOf(const benchmark::State& state, int positions) {
    auto& h = history(static_cast<std::size_t>(state.range(0)));
    search::Criteria c;
    c.type = static_cast<int>(state.range(1));
    c.fixed = state.range(2) != 0;
    c.rangeStart = std::to_string(h.db.firstIssue().value_or(0));
    c.rangeEnd = std::to_string(h.db.lastIssue().value_or(0));
    const int numbers[8] = {3, 7, 11, 15, 19, 23, 27, 30};
    for (int i = 0; i < 8; ++i) {
        c.selected[i] = i < positions;
        c.values[i] = c.type == 0 ? numbers[i] : 1 + i % 10;
        c.texts[i] = std::to_string(c.values[i]);
    }
    return {h, c,
            state.range(3) != 0 ? search::Evaluation::Statements : search::Evaluation::InMemory};
}

void searchWith(benchmark::State& state, int positions) {
    Run run = runOf(state, positions);
    for (auto _ : state) {
        const auto r = search::runSearch(run.h.db, run.criteria, run.how);
        benchmark::DoNotOptimize(r.stats.last);
    }
}

void BM_SearchTwoPositions(benchmark::State& state) { searchWith(state, 2); }
void BM_SearchEightPositions(benchmark::State& state) { searchWith(state, 8); }

void BM_PartialPingteK4(benchmark::State& state) {
    Run run = runOf(state, 8);
    for (auto _ : state) {
        const auto r = partial::runPartialSearch(run.h.db, run.criteria, false, "4", run.how);
        benchmark::DoNotOptimize(r.stats.last);
    }
}

// Number free, tail free, number fixed, zodiac free; at both sizes, in memory and by statements.
void searchArgs(benchmark::internal::Benchmark* b) {
    for (long draws : {2400, 32766})
        for (long how : {0, 1})
            for (auto [type, fixed] : {std::pair{0L, 0L}, {3L, 0L}, {0L, 1L}, {1L, 0L}})
                b->Args({draws, type, fixed, how});
}

void partialArgs(benchmark::internal::Benchmark* b) {
    for (long draws : {2400, 32766})
        for (long how : {0, 1})
            for (auto [type, fixed] : {std::pair{0L, 0L}, {3L, 0L}, {0L, 1L}, {1L, 0L}})
                if (how == 0 || draws == 2400) b->Args({draws, type, fixed, how});
}

BENCHMARK(BM_SearchTwoPositions)->Apply(searchArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchEightPositions)->Apply(searchArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PartialPingteK4)->Apply(partialArgs)->Unit(benchmark::kMillisecond);

}  // namespace
