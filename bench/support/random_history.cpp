#include "support/random_history.h"

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <random>
#include <stdexcept>

#include "store/draw_record.h"

namespace quarvel::bench {

void fillRandomHistory(store::HistoryDb& db, std::size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    const auto codes = store::ZodiacCodes::startup(1);
    std::int32_t issue = 2013001;
    store::Transaction tx(db.db());
    for (std::size_t i = 0; i < count; ++i) {
        std::array<int, 30> pool{};
        for (int n = 0; n < 30; ++n) pool[static_cast<std::size_t>(n)] = n + 1;
        std::shuffle(pool.begin(), pool.end(), rng);
        std::array<int, 8> numbers{};
        std::copy_n(pool.begin(), 8, numbers.begin());
        store::appendDrawRow(db.rsLishi(), store::buildDrawRow(issue, issue, numbers, codes, 1));
        issue = (issue % 1000 >= 150) ? (issue / 1000 + 1) * 1000 + 1 : issue + 1;
    }
    tx.commit();
    db.renumberIdx();
    db.reopenSort();
}

namespace {
std::filesystem::path makeBenchDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quarvel-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    return tmpl;
}
}  // namespace

BenchHistory::BenchHistory(std::size_t draws, unsigned seed) : dir(makeBenchDir()), db(dir) {
    db.open();
    fillRandomHistory(db, draws, seed);
}

BenchHistory::~BenchHistory() {
    db.close();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

}  // namespace quarvel::bench
