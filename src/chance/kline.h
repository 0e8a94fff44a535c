#pragma once
// 遗漏K线: a running score of a pattern over the range that chance keeps near zero. With
// p = k/N, a hit adds 1 and a miss takes p/(1 - p) away, so the score's expected step is 0 and
// its variance p/(1 - p) per draw; the funnel ±2·sqrt(n·p/(1 - p)) after n draws is where
// independent draws keep it about 95% of the time. A pattern that hits more after being
// overdue, or in streaks, leaves the funnel.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "chance/as_of.h"
#include "store/text_grid.h"

namespace quarvel::chance {

struct KLinePoint {
    std::int32_t issue = 0;
    bool hit = false;
    double score = 0.0;           // K_t
    std::optional<double> bound;  // 2·sqrt(n_t·p/(1 - p)); none when k is 0 or N
};

// `range`: the draws of the range; `hitIdx`: the pattern's hits (ascending; those outside the
// range play no part).
std::vector<KLinePoint> kLine(const IssueLine& range, std::span<const int> hitIdx);

// Header 期号, 命中, K, 下限, 上限; one row per draw, K and the bounds with three decimals.
store::TextGrid kLineGrid(const std::vector<KLinePoint>& points);

}  // namespace quarvel::chance
