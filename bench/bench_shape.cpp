// Draw shapes on a generated history of 32,766 draws: `quarvel-cli shape --summary` (reading the
// draws, the shapes and the distribution, the exact counts included, as a fresh process pays
// for them once) and the table the 形态走势 window opens on. Targets: 0.2 s and 0.3 s.
#include <benchmark/benchmark.h>

#include "chance/shape_table.h"
#include "support/random_history.h"

namespace {

using namespace quarvel;

bench::BenchHistory& history() {
    static bench::BenchHistory h(32766, 23);
    return h;
}

void BM_ShapeSummaryText(benchmark::State& state) {
    store::HistoryDb& db = history().db;
    const std::int32_t first = db.firstIssue().value_or(0), last = db.lastIssue().value_or(0);
    for (auto _ : state) {
        const std::string text = chance::buildShapeTable(db.db(), first, last)->summary().toTsv();
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ShapeSummaryText)->Unit(benchmark::kMillisecond);

void BM_ShapeExactCounts(benchmark::State& state) {
    // What the first table of a process adds: the counts, kept once made.
    for (auto _ : state) benchmark::DoNotOptimize(chance::countShapeOdds().total);
}
BENCHMARK(BM_ShapeExactCounts)->Unit(benchmark::kMillisecond);

void BM_ShapeOpen(benchmark::State& state) {
    store::HistoryDb& db = history().db;
    const std::int32_t first = db.firstIssue().value_or(0), last = db.lastIssue().value_or(0);
    for (auto _ : state) {
        chance::ShapeTable table = *chance::buildShapeTable(db.db(), first, last);
        benchmark::DoNotOptimize(
            table.cellText(table.rows() - 1, chance::ShapeTable::kColumns - 1));
    }
}
BENCHMARK(BM_ShapeOpen)->Unit(benchmark::kMillisecond);

}  // namespace
