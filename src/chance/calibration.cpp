#include "chance/calibration.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chance/statistics.h"

namespace quarvel::chance {

int bucketOf(double d) {
    constexpr std::array<double, kBuckets - 1> upper = {0.5, 1.0, 1.5, 2.0, 3.0};
    int b = 0;
    while (b < kBuckets - 1 && d >= upper[static_cast<std::size_t>(b)]) ++b;
    return b;
}

std::optional<double> Calibration::deviation(int bucket) const {
    const BucketCount& b = buckets[static_cast<std::size_t>(bucket)];
    if (b.trials == 0 || b.variance <= 0.0) return std::nullopt;
    return (b.hits - b.expected) / std::sqrt(b.variance);
}

Calibration calibrate(std::span<const int> hitIdx, std::span<const int> rangeIdx,
                      std::span<const double> chance) {
    Calibration c;
    c.draws = static_cast<int>(rangeIdx.size());
    auto next = hitIdx.begin();  // the first hit not before t
    int previous = 0;
    for (std::size_t i = 0; i < rangeIdx.size(); ++i) {
        const int t = rangeIdx[i];
        const double q = i < chance.size() ? chance[i] : 0.0;
        while (next != hitIdx.end() && *next < t) previous = *next++;
        const bool hit = next != hitIdx.end() && *next == t;
        const double misses = q <= 0.0 ? 0.0 : (1.0 - q) / q;
        const double d = misses == 0.0 ? 0.0 : (t - previous - 1) / misses;
        BucketCount& b = c.buckets[static_cast<std::size_t>(bucketOf(d))];
        ++b.trials;
        b.expected += q;
        b.variance += q * (1.0 - q);
        c.expected += q;
        if (hit) {
            ++b.hits;
            ++c.hits;
        }
    }

    // Pools of neighbouring buckets, each expecting at least 5 hits where the range allows.
    std::vector<CountClass> classes;
    for (const BucketCount& b : c.buckets)
        if (b.variance > 0.0)
            classes.push_back({static_cast<double>(b.hits), b.expected, b.variance,
                               static_cast<double>(b.trials)});
    if (classes.empty()) return c;  // nothing varies: p 1
    const auto pools = pooledClasses(classes);
    c.pools = static_cast<int>(pools.size());
    c.degrees = c.pools;
    for (const CountClass& pool : pools)
        c.chiSquare += (pool[0] - pool[1]) * (pool[0] - pool[1]) / pool[2];
    if (c.pools == 1 && (pools[0][1] < 5.0 || pools[0][3] - pools[0][1] < 5.0)) {
        const std::size_t n = std::min(chance.size(), rangeIdx.size());
        c.pValue = poissonBinomialTwoSidedP(c.hits, chance.first(n));
        c.exact = true;
        return c;
    }
    c.pValue = chiSquareUpperTail(c.chiSquare, c.degrees);
    return c;
}

store::TextGrid calibrationGrid(const Calibration& c) {
    store::TextGrid g;
    g.cells.push_back({"欲出几率", "试验次数", "命中次数", "命中率", "本段95%下限", "本段95%上限",
                       "理论次数", "偏差"});
    for (int b = 0; b < kBuckets; ++b) {
        const BucketCount& bucket = c.buckets[static_cast<std::size_t>(b)];
        std::vector<std::string> row{kBucketLabels[static_cast<std::size_t>(b)],
                                     std::to_string(bucket.trials), std::to_string(bucket.hits)};
        if (bucket.trials == 0) {
            row.insert(row.end(), {"-", "-", "-", "-", "-"});
        } else {
            const Interval ci = wilsonInterval(bucket.hits, bucket.trials);
            row.push_back(fixedText(static_cast<double>(bucket.hits) / bucket.trials, 4));
            row.push_back(fixedText(ci.low, 4));
            row.push_back(fixedText(ci.high, 4));
            row.push_back(fixedText(bucket.expected, 2));
            row.push_back(fixedText(c.deviation(b), 2));
        }
        g.cells.push_back(std::move(row));
    }
    g.colWidths = {1000, 900, 900, 900, 1100, 1100, 900, 800};
    return g;
}

std::string chiSquareLine(const Calibration& c) {
    return "卡方\t" + fixedText(c.chiSquare, 2) + "\t自由度\t" + std::to_string(c.degrees) +
           "\tp\t" + fixedText(c.pValue, 4);
}

std::string calibrationVerdict(const Calibration& c, int tries) {
    if (c.degrees == 0) return "各期的理论机会都是 0 或 1，无从与随机比较";
    std::string text = plainChanceSentence(c.pValue) + "。命中 " + std::to_string(c.hits) +
                       " 次，理论 " + fixedText(c.expected, 1) + " 次；" +
                       (c.exact ? "期望太少，p 按命中次数的精确分布"
                                : "合并为 " + std::to_string(c.pools) + " 段的卡方检验") +
                       "；" + triesText(c.pValue, tries);
    return text + (significantAfterTries(c.pValue, tries) ? "：各段命中与随机有显著差别"
                                                          : "：各段命中与随机无显著差别");
}

}  // namespace quarvel::chance
