#include "chance/kline.h"

#include <algorithm>
#include <cmath>

#include "chance/statistics.h"

namespace quarvel::chance {

std::vector<KLinePoint> kLine(const IssueLine& range, std::span<const int> hitIdx) {
    std::vector<bool> hit(range.size());
    int k = 0;
    for (std::size_t i = 0; i < range.size(); ++i) {
        hit[i] = std::binary_search(hitIdx.begin(), hitIdx.end(), range.idx[i]);
        if (hit[i]) ++k;
    }
    const int n = static_cast<int>(range.size());
    const bool flat = k == 0 || k == n;  // no miss or no hit: nothing to weigh
    const double p = n == 0 ? 0.0 : static_cast<double>(k) / n;
    const double missStep = flat ? 0.0 : p / (1.0 - p);

    std::vector<KLinePoint> points;
    points.reserve(range.size());
    double score = 0.0;
    for (std::size_t i = 0; i < range.size(); ++i) {
        KLinePoint point;
        point.issue = range.issue[i];
        point.hit = hit[i];
        if (!flat) {
            score += hit[i] ? 1.0 : -missStep;
            point.bound = 2.0 * std::sqrt(static_cast<double>(i + 1) * missStep);
        }
        point.score = score;
        points.push_back(point);
    }
    return points;
}

store::TextGrid kLineGrid(const std::vector<KLinePoint>& points) {
    store::TextGrid g;
    g.cells.reserve(points.size() + 1);
    g.cells.push_back({"期号", "命中", "K", "下限", "上限"});
    for (const KLinePoint& pt : points) {
        const std::optional<double> low =
            pt.bound ? std::optional<double>(-*pt.bound) : std::nullopt;
        g.cells.push_back({std::to_string(pt.issue), pt.hit ? "1" : "0", fixedText(pt.score, 3),
                           fixedText(low, 3), fixedText(pt.bound, 3)});
    }
    g.colWidths = {1000, 600, 1000, 1000, 1000};
    return g;
}

}  // namespace quarvel::chance
