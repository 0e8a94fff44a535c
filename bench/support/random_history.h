#pragma once
// A generated history for the benchmarks: seeded random draws of eight distinct numbers,
// 150 serials a year from 2013001, stored in one transaction and numbered.

#include <cstddef>

#include "store/history_db.h"

namespace quarvel::bench {

void fillRandomHistory(store::HistoryDb& db, std::size_t count, unsigned seed);

}  // namespace quarvel::bench
