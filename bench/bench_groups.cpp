// The group computation on a generated history of 2,400 draws: group size 4 over 24 numbers
// (10,626 groups) evaluated in memory with every YL row written, and the statement-per-group
// way over the first 50 of those groups so that the two costs can be compared per group.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "groups/group_command.h"
#include "groups/group_eval.h"
#include "support/random_history.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;

struct BenchHistory : bench::BenchHistory {
    BenchHistory() : bench::BenchHistory(2400, 17) {}
    groups::GroupPlan plan() {
        groups::GroupPlan p;
        p.type = 0;
        p.size = 4;
        for (int b = 1; b <= 24; ++b) p.boxes.push_back(b);
        p.rangeStart = db.firstIssue().value_or(0);
        p.rangeEnd = db.lastIssue().value_or(0);
        return p;
    }
};

BenchHistory& history() {
    static BenchHistory h;
    return h;
}

// The whole command as the window runs it: checks, YL emptied, evaluation, rows, listing.
void BM_GroupCommandInMemory(benchmark::State& state) {
    auto& h = history();
    groups::GroupInput in;
    in.sizeText = "4";
    for (int b = 1; b <= 24; ++b) in.ticked[static_cast<std::size_t>(b)] = true;
    in.rangeStart = std::to_string(h.db.firstIssue().value_or(0));
    in.rangeEnd = std::to_string(h.db.lastIssue().value_or(0));
    for (auto _ : state) {
        const auto r = groups::runGroupComputation(h.db, in);
        if (r.groups != 10626) state.SkipWithError("wrong number of groups");
        benchmark::DoNotOptimize(r.listing.cells.size());
    }
    state.counters["groups_per_s"] =
        benchmark::Counter(10626, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GroupCommandInMemory)->Unit(benchmark::kMillisecond);

// Evaluation and YL rows only, no listing.
void BM_GroupsInMemory(benchmark::State& state) {
    auto& h = history();
    const auto plan = h.plan();
    for (auto _ : state)
        benchmark::DoNotOptimize(groups::computeGroups(h.db, plan, groups::Evaluation::InMemory));
    state.counters["groups_per_s"] =
        benchmark::Counter(10626, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GroupsInMemory)->Unit(benchmark::kMillisecond);

// The statement-per-group way for the first 50 groups.
void BM_GroupsByStatements50(benchmark::State& state) {
    auto& h = history();
    const auto plan = h.plan();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            groups::computeGroups(h.db, plan, groups::Evaluation::Statements, 50));
    state.counters["groups_per_s"] =
        benchmark::Counter(50, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_GroupsByStatements50)->Unit(benchmark::kMillisecond);

}  // namespace
