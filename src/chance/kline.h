#pragma once
// 遗漏K线: a running score of a pattern over the range that chance keeps near zero. Every draw
// t adds hit_t − q_t, q_t its exact chance (draw_chance.h), so the score's expected step is 0
// and its variance q_t(1 − q_t); V_t sums these up to t, V their sum over the range.
// The band drawn holds the whole path: under pure chance the line stays inside ±c·w_t at every
// draw in 95% of histories, w_t = sqrt((V + 3·V_t)/4) (a funnel from half its width to all of
// it), c found by counting exactly the chance that the hit count stays inside. The pointwise
// band ±1.96·sqrt(V_t) is given beside it. The p of a path is the chance that a path of pure
// chance leaves the band widened to this path's own largest |K_t|/w_t.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chance/as_of.h"
#include "store/text_grid.h"

namespace quarvel::chance {

struct KLinePoint {
    std::int32_t issue = 0;
    bool hit = false;
    double chance = 0.0;              // q_t
    double score = 0.0;               // K_t
    std::optional<double> bound;      // the path-wise band c·w_t; none when nothing varies
    std::optional<double> pointwise;  // 1.96·sqrt(V_t)
};

// The legend of the path-wise band.
inline constexpr const char* kPathBandLegend = "随机情况下 95% 的走势整条落在此范围内";

// `range`: the draws of the range; `hitIdx`: the pattern's hits (ascending; those outside the
// range play no part); `chance`: q_t of each draw of the range.
std::vector<KLinePoint> kLine(const IssueLine& range, std::span<const int> hitIdx,
                              std::span<const double> chance);

// The chance that a hit count with independent draws of chances `chance` stays within
// `halfWidth` of its expectation after every draw.
double stayInsideChance(std::span<const double> chance, std::span<const double> halfWidth);

struct KLineSummary {
    bool varies = false;  // some draw's chance lies strictly between 0 and 1
    bool leftBand = false;
    double pValue = 1.0;
};
KLineSummary summarize(const std::vector<KLinePoint>& points);
// The plain sentence, whether the line left its band, and the verdict with `tries` settings.
std::string kLineVerdict(const KLineSummary& s, int tries);

// Header 期号, 命中, 理论机会, K, 下限, 上限; one row per draw, K and the bounds with three
// decimals.
store::TextGrid kLineGrid(const std::vector<KLinePoint>& points);

}  // namespace quarvel::chance
