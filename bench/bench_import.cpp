// Reading a history text file of 32,766 lines (the most the history can hold) into a history
// that already holds 2,000 draws: parse, delete, append, renumber, commit.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "history_io/atomic_file.h"
#include "history_io/import.h"
#include "history_io/sample_history.h"
#include "store/history_db.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;

fs::path makeDir() {
    std::string tmpl = (fs::temp_directory_path() / "quarvel-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}

// 32,766 made-up draws: 218 years of 150 draws and a short last year.
std::string fullHistoryText() {
    std::string text = io::sampleHistoryText({.firstYear = 1800, .years = 230, .seed = 5});
    std::size_t pos = 0;
    for (int i = 0; i < store::kMaxDraws; ++i) pos = text.find('\n', pos) + 1;
    text.resize(pos);
    return text;
}

void BM_ImportFullHistory(benchmark::State& state) {
    const fs::path dir = makeDir();
    const fs::path file = dir / "full.txt";
    io::writeFileAtomically(file, fullHistoryText());
    const fs::path small = dir / "small.txt";
    io::writeFileAtomically(small, io::sampleHistoryText({.firstYear = 2000, .years = 13}));
    store::HistoryDb db(dir);
    db.open();
    for (auto _ : state) {
        state.PauseTiming();
        if (!io::importHistoryFile(db, small, {}).ok()) state.SkipWithError("setup import failed");
        state.ResumeTiming();
        const io::ImportResult r = io::importHistoryFile(db, file, {});
        if (!r.ok() || r.drawsStored != static_cast<std::size_t>(store::kMaxDraws))
            state.SkipWithError(r.outcome.text().c_str());
    }
    db.close();
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_ImportFullHistory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
