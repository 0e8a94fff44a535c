#include "chance/calibration.h"

#include <algorithm>
#include <cmath>

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
    const double p = overallRate();
    if (b.trials == 0 || hits == 0 || hits == draws) return std::nullopt;
    const double expected = b.trials * p;
    return (b.hits - expected) / std::sqrt(expected * (1.0 - p));
}

Calibration calibrate(std::span<const int> hitIdx, std::span<const int> rangeIdx) {
    Calibration c;
    c.draws = static_cast<int>(rangeIdx.size());
    for (int t : rangeIdx)
        if (std::binary_search(hitIdx.begin(), hitIdx.end(), t)) ++c.hits;
    const double m = static_cast<double>(c.draws - c.hits) / (c.hits + 1);

    auto next = hitIdx.begin();  // the first hit not before t
    int previous = 0;
    for (int t : rangeIdx) {
        while (next != hitIdx.end() && *next < t) previous = *next++;
        const bool hit = next != hitIdx.end() && *next == t;
        const double d = m == 0.0 ? 0.0 : (t - previous - 1) / m;
        BucketCount& b = c.buckets[static_cast<std::size_t>(bucketOf(d))];
        ++b.trials;
        if (hit) ++b.hits;
    }

    int used = 0;
    double chi = 0.0;
    for (int b = 0; b < kBuckets; ++b) {
        if (c.buckets[static_cast<std::size_t>(b)].trials == 0) continue;
        ++used;
        if (const auto dev = c.deviation(b)) chi += *dev * *dev;
    }
    c.degrees = std::max(0, used - 1);
    if (c.hits == 0 || c.hits == c.draws || c.degrees == 0) return c;  // χ² 0, p 1
    c.chiSquare = chi;
    c.pValue = chiSquareUpperTail(chi, c.degrees);
    return c;
}

store::TextGrid calibrationGrid(const Calibration& c) {
    store::TextGrid g;
    g.cells.push_back(
        {"欲出几率", "试验次数", "命中次数", "命中率", "95%下限", "95%上限", "总体命中率", "偏差"});
    const double p = c.overallRate();
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
            row.push_back(fixedText(p, 4));
            row.push_back(fixedText(c.deviation(b), 2));
        }
        g.cells.push_back(std::move(row));
    }
    g.colWidths = {1000, 900, 900, 900, 900, 900, 1100, 800};
    return g;
}

std::string chiSquareLine(const Calibration& c) {
    return "卡方\t" + fixedText(c.chiSquare, 2) + "\t自由度\t" + std::to_string(c.degrees) +
           "\tp\t" + fixedText(c.pValue, 4);
}

}  // namespace quarvel::chance
