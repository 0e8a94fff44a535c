#pragma once
// A generated history for the benchmarks: seeded random draws of eight distinct numbers,
// 150 serials a year from 2013001, stored in one transaction and numbered.

#include <cstddef>
#include <filesystem>

#include "store/history_db.h"

namespace quarvel::bench {

void fillRandomHistory(store::HistoryDb& db, std::size_t count, unsigned seed);

// A generated history in a temporary data folder of its own, removed afterwards.
struct BenchHistory {
    std::filesystem::path dir;
    store::HistoryDb db;
    BenchHistory(std::size_t draws, unsigned seed);
    ~BenchHistory();
};

}  // namespace quarvel::bench
