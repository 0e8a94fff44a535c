#include "chance/kline.h"

#include <algorithm>
#include <cmath>

#include "chance/statistics.h"

namespace quarvel::chance {

double stayInsideChance(std::span<const double> chance, std::span<const double> halfWidth) {
    // mass[h]: the chance of h hits so far with the count inside at every draw, for h in
    // [low, high]; one buffer, each step updated from the top down.
    std::vector<double> mass(chance.size() + 2, 0.0);
    mass[0] = 1.0;
    long low = 0, high = 0;
    double mean = 0.0;
    for (std::size_t t = 0; t < chance.size(); ++t) {
        const double q = chance[t];
        mean += q;
        ++high;
        for (long h = high; h > low; --h)
            mass[static_cast<std::size_t>(h)] = mass[static_cast<std::size_t>(h)] * (1.0 - q) +
                                                mass[static_cast<std::size_t>(h - 1)] * q;
        mass[static_cast<std::size_t>(low)] *= 1.0 - q;
        const double w = halfWidth[t] + 1e-9;
        const long from = static_cast<long>(std::ceil(mean - w));
        const long to = static_cast<long>(std::floor(mean + w));
        for (; low < from && low <= high; ++low) mass[static_cast<std::size_t>(low)] = 0.0;
        for (; high > to && high >= low; --high) mass[static_cast<std::size_t>(high)] = 0.0;
        if (low > high) return 0.0;
    }
    double stay = 0.0;
    for (long h = low; h <= high; ++h) stay += mass[static_cast<std::size_t>(h)];
    return stay;
}

namespace {

// The smallest c whose band c·w holds 95% of the paths of chance (a step function of c, so
// the bisection settles on one of its steps).
double pathBandScale(std::span<const double> chance, std::span<const double> width) {
    std::vector<double> half(width.size());
    const auto stays = [&](double c) {
        for (std::size_t i = 0; i < width.size(); ++i) half[i] = c * width[i];
        return stayInsideChance(chance, half);
    };
    double low = 1.0, high = 4.0;
    while (stays(high) < 0.95) high *= 1.5;
    for (int i = 0; i < 12; ++i) {
        const double mid = (low + high) / 2.0;
        (stays(mid) >= 0.95 ? high : low) = mid;
    }
    return high;
}

std::vector<double> widthsOf(const std::vector<KLinePoint>& points) {
    double total = 0.0;
    for (const auto& p : points) total += p.chance * (1.0 - p.chance);
    std::vector<double> w;
    w.reserve(points.size());
    double sofar = 0.0;
    for (const auto& p : points) {
        sofar += p.chance * (1.0 - p.chance);
        w.push_back(std::sqrt((total + 3.0 * sofar) / 4.0));
    }
    return w;
}

std::vector<double> chancesOf(const std::vector<KLinePoint>& points) {
    std::vector<double> q;
    q.reserve(points.size());
    for (const auto& p : points) q.push_back(p.chance);
    return q;
}

}  // namespace

std::vector<KLinePoint> kLine(const IssueLine& range, std::span<const int> hitIdx,
                              std::span<const double> chance) {
    std::vector<KLinePoint> points;
    points.reserve(range.size());
    double score = 0.0, variance = 0.0;
    for (std::size_t i = 0; i < range.size(); ++i) {
        KLinePoint point;
        point.issue = range.issue[i];
        point.hit = std::binary_search(hitIdx.begin(), hitIdx.end(), range.idx[i]);
        point.chance = i < chance.size() ? chance[i] : 0.0;
        score += (point.hit ? 1.0 : 0.0) - point.chance;
        variance += point.chance * (1.0 - point.chance);
        point.score = score;
        point.pointwise = 1.96 * std::sqrt(variance);
        points.push_back(point);
    }
    if (variance <= 0.0) {
        for (auto& p : points) p.pointwise.reset();
        return points;
    }
    const std::vector<double> w = widthsOf(points);
    const double c = pathBandScale(chancesOf(points), w);
    for (std::size_t i = 0; i < points.size(); ++i) points[i].bound = c * w[i];
    return points;
}

KLineSummary summarize(const std::vector<KLinePoint>& points) {
    KLineSummary s;
    const std::vector<double> w = widthsOf(points);
    if (points.empty() || w.back() <= 0.0) return s;
    s.varies = true;
    double largest = 0.0;  // the path's own largest |K_t| / w_t
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (w[i] > 0.0) largest = std::max(largest, std::fabs(points[i].score) / w[i]);
        if (points[i].bound && std::fabs(points[i].score) > *points[i].bound + 1e-9)
            s.leftBand = true;
    }
    // Paths that reach as far: those that do not stay strictly inside.
    std::vector<double> half(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) half[i] = largest * w[i] - 1e-7;
    s.pValue = std::clamp(1.0 - stayInsideChance(chancesOf(points), half), 0.0, 1.0);
    return s;
}

std::string kLineVerdict(const KLineSummary& s, int tries) {
    if (!s.varies) return "各期的理论机会都是 0 或 1，无从与随机比较";
    std::string text = plainChanceSentence(s.pValue) + "。走势" +
                       (s.leftBand ? "离开了" : "始终在") + "随机 95% 范围" +
                       (s.leftBand ? "" : "之内") + "；" + triesText(s.pValue, tries);
    return text +
           (significantAfterTries(s.pValue, tries) ? "：与随机有显著差别" : "：与随机无显著差别");
}

store::TextGrid kLineGrid(const std::vector<KLinePoint>& points) {
    store::TextGrid g;
    g.cells.reserve(points.size() + 1);
    g.cells.push_back({"期号", "命中", "理论机会", "K", "下限", "上限"});
    for (const KLinePoint& pt : points) {
        const std::optional<double> low =
            pt.bound ? std::optional<double>(-*pt.bound) : std::nullopt;
        g.cells.push_back({std::to_string(pt.issue), pt.hit ? "1" : "0", fixedText(pt.chance, 4),
                           fixedText(pt.score, 3), fixedText(low, 3), fixedText(pt.bound, 3)});
    }
    g.colWidths = {1000, 600, 900, 1000, 1000, 1000};
    return g;
}

}  // namespace quarvel::chance
