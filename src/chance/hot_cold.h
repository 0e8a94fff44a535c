#pragma once
// Hot and cold values of the trend chart: how often each value column showed over the last W
// draws of the range, against its exact expectation. For a draw t, q_t(v) = 1 − C(30 − n, r) /
// C(30, r), n being how many of the numbers 1 … 30 have the value under the rules for t (the
// zodiac rotation of its zodiac year, the bases) and r the numbers counted (8 with the special
// number, else 7). Over the w = min(W, |range|) newest draws of the range: c the draws showing
// v, E = Σ q_t, z = (c − E) / √Σ q_t(1 − q_t); 热 for z ≥ 1, 冷 for z ≤ −1, 温 between.

#include <string>
#include <vector>

#include "search/trend_chart.h"
#include "store/draw_record.h"
#include "store/outcome.h"

namespace quarvel::chance {

inline constexpr int kDefaultHotWindow = 30;
// The windows the window offers (the setting intHotWindow keeps one of them).
inline constexpr int kHotWindows[] = {10, 20, 30, 50, 100};

struct HotCold {
    int window = kDefaultHotWindow;  // W as asked
    int drawn = 0;                   // w, the draws looked at
    std::vector<int> counts;         // c per value column
    std::vector<double> expected;    // E per value column
    std::vector<std::string> heat;   // "热", "温", "冷"; "-" when w = 0
};

// `history`: every stored draw in IDX order with the attribute values of the input's type.
HotCold hotCold(const std::vector<search::TrendDraw>& history, const search::TrendInput& input,
                const store::ZodiacCodes& codes, int window);

// Adds the three rows to the chart: "近W期次数", "理论次数" (two decimals) and "冷热".
void setHotRows(search::TrendChart& chart, const HotCold& hot);

// The trend chart of the stored history with its hot/cold rows, or the failure of the store.
store::Checked<search::TrendChart> buildTrendWithHotCold(store::Database& db,
                                                         const search::TrendInput& input,
                                                         const store::ZodiacCodes& codes,
                                                         int window);

}  // namespace quarvel::chance
