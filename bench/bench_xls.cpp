// Grid export: the largest history list (32,767 rows x 9 columns) and a group result grid
// (10,627 x 5) built as workbooks in memory, and the history list written to a file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "history_io/xls_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;

store::TextGrid historyList() {
    store::TextGrid g;
    g.cells.push_back(
        {"期号", "落1码", "落2码", "落3码", "落4码", "落5码", "落6码", "落7码", "特码"});
    for (int r = 1; r < 32767; ++r) {
        std::vector<std::string> row{std::to_string(2000001 + (r / 150) * 1000 + r % 150)};
        for (int c = 1; c < 9; ++c) row.push_back(std::to_string((r * 7 + c * 11) % 30 + 1));
        g.cells.push_back(std::move(row));
    }
    return g;
}

store::TextGrid groupResults() {
    store::TextGrid g;
    g.cells.push_back({"号码（分组）", "最小遗漏", "最大遗漏", "最后遗漏", "大后比"});
    for (int r = 1; r < 10627; ++r)
        g.cells.push_back({"01 05 " + std::to_string(r % 30 + 1) + " " + std::to_string(r % 24 + 1),
                           std::to_string(r % 7), std::to_string(40 + r % 90),
                           std::to_string(r % 50), std::to_string((r % 300) / 100.0).substr(0, 4)});
    return g;
}

void BM_BuildHistoryListWorkbook(benchmark::State& state) {
    const store::TextGrid grid = historyList();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string wb = io::buildXlsWorkbook(grid);
        bytes = wb.size();
        benchmark::DoNotOptimize(wb);
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildHistoryListWorkbook)->Unit(benchmark::kMillisecond);

void BM_BuildGroupResultWorkbook(benchmark::State& state) {
    const store::TextGrid grid = groupResults();
    for (auto _ : state) benchmark::DoNotOptimize(io::buildXlsWorkbook(grid));
}
BENCHMARK(BM_BuildGroupResultWorkbook)->Unit(benchmark::kMillisecond);

void BM_WriteHistoryListFile(benchmark::State& state) {
    const store::TextGrid grid = historyList();
    std::string tmpl = (fs::temp_directory_path() / "quarvel-bench-xls-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const fs::path file = fs::path(tmpl) / "lishi.xls";
    for (auto _ : state) io::writeXlsFile(file, grid);
    std::error_code ec;
    fs::remove_all(tmpl, ec);
}
BENCHMARK(BM_WriteHistoryListFile)->Unit(benchmark::kMillisecond);

}  // namespace
