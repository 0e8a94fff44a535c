#pragma once
// A made-up history for trying the program: whole years of draws of eight distinct numbers
// 1..30, the same for every seed on every platform.

#include <cstdint>
#include <string>
#include <vector>

#include "history_io/history_file.h"

namespace quarvel::io {

struct SampleHistoryOptions {
    int firstYear = 2019;
    int years = 6;
    std::uint64_t seed = 20130101;
};

// Between 145 and 155 draws a year, serials from 001, numbers in draw order (not sorted).
std::vector<HistoryDraw> sampleHistory(const SampleHistoryOptions& options);
// The draws as a history text file (CR LF).
std::string sampleHistoryText(const SampleHistoryOptions& options);

}  // namespace quarvel::io
