#pragma once
// 遗漏校验: do overdue patterns hit more often? Every draw t of the range is a trial; its
// omission o(t) = t - prev(t), with prev(t) the latest hit before t anywhere in the history
// (0 before the first), is measured in average misses m = (N - k)/(k + 1): d(t) = (o(t) - 1)/m
// (0 when m is 0). The trials are bucketed by d, and each bucket's hit rate is set against the
// overall rate p = k/N that independent draws would give every bucket.

#include <array>
#include <optional>
#include <span>
#include <string>

#include "store/text_grid.h"

namespace quarvel::chance {

inline constexpr int kBuckets = 6;
// Lower edge in, upper edge out.
inline constexpr std::array<const char*, kBuckets> kBucketLabels = {"<0.5",  "0.5-1", "1-1.5",
                                                                    "1.5-2", "2-3",   ">=3"};

// The bucket (0..5) of a due ratio d.
int bucketOf(double d);

struct BucketCount {
    int trials = 0;  // T
    int hits = 0;    // h
};

struct Calibration {
    std::array<BucketCount, kBuckets> buckets{};
    int draws = 0;  // N
    int hits = 0;   // k
    double chiSquare = 0.0;
    int degrees = 0;  // buckets with trials, less one (0 when none)
    double pValue = 1.0;

    double overallRate() const { return draws == 0 ? 0.0 : static_cast<double>(hits) / draws; }
    // (h - Tp)/sqrt(Tp(1 - p)); none when T = 0 or p is 0 or 1.
    std::optional<double> deviation(int bucket) const;
};

// `hitIdx`: every hit of the pattern up to the range's end, ascending (hits before the range
// set prev(t) of its first trials); `rangeIdx`: the IDX of the draws of the range, ascending.
Calibration calibrate(std::span<const int> hitIdx, std::span<const int> rangeIdx);

// Header 欲出几率 … 偏差 and one row per bucket: trials, hits, rate, Wilson 95% bounds and the
// overall rate with four decimals, the deviation with two; "-" where a bucket has no trial.
store::TextGrid calibrationGrid(const Calibration& c);
// "卡方\t%.2f\t自由度\tdf\tp\t%.4f".
std::string chiSquareLine(const Calibration& c);

}  // namespace quarvel::chance
