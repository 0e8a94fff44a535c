#pragma once
// 遗漏校验: do overdue patterns hit more often? Every draw t of the range is a trial with its
// exact chance q_t (the model of draw_chance.h); its omission o(t) = t - prev(t), with prev(t)
// the latest hit before t anywhere in the history (0 before the first), is measured in the
// misses expected between hits under that chance, m_t = (1 - q_t)/q_t: d(t) = (o(t) - 1)/m_t (0
// when m_t is 0). Nothing of the range's own hit rate goes in, so no draw looks ahead. The
// trials are bucketed by d; each bucket expects E_b = Σ q_t hits with variance V_b = Σ q_t(1 -
// q_t). Buckets expecting fewer than 5 are pooled with a neighbour and X² = Σ (h - E)²/V over
// the pools is set against χ² with one degree per pool; a single small pool gets the exact p
// of its Poisson binomial count instead.

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
    int trials = 0;         // T
    int hits = 0;           // h
    double expected = 0.0;  // E = Σ q_t
    double variance = 0.0;  // V = Σ q_t(1 - q_t)
};

struct Calibration {
    std::array<BucketCount, kBuckets> buckets{};
    int draws = 0;          // N
    int hits = 0;           // k
    double expected = 0.0;  // Σ q_t over the range
    int pools = 0;          // the pooled buckets X² is summed over
    double chiSquare = 0.0;
    int degrees = 0;  // one per pool; 0 when nothing can be compared
    double pValue = 1.0;
    bool exact = false;  // p from the exact count of one small pool, not from χ²

    double overallRate() const { return draws == 0 ? 0.0 : static_cast<double>(hits) / draws; }
    // (h - E)/sqrt(V); none when V is 0.
    std::optional<double> deviation(int bucket) const;
};

// `hitIdx`: every hit of the pattern up to the range's end, ascending (hits before the range
// set prev(t) of its first trials); `rangeIdx`: the IDX of the draws of the range, ascending;
// `chance`: q_t of each of them.
Calibration calibrate(std::span<const int> hitIdx, std::span<const int> rangeIdx,
                      std::span<const double> chance);

// Header 欲出几率 … 偏差 and one row per bucket: trials, hits, rate and its own (per-bucket)
// Wilson 95% bounds with four decimals, the expected hits and the deviation with two; "-" where
// a bucket has no trial.
store::TextGrid calibrationGrid(const Calibration& c);
// "卡方\t%.2f\t自由度\tdf\tp\t%.4f".
std::string chiSquareLine(const Calibration& c);
// The plain sentence, then the figures and the verdict with `tries` settings tried.
std::string calibrationVerdict(const Calibration& c, int tries);

}  // namespace quarvel::chance
