#include "chance/hot_cold.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "chance/exact_chance.h"
#include "search/omission_stats.h"

namespace quarvel::chance {

namespace {

// q(v) of every value column for a draw of `issue`; only the zodiac columns change with the
// issue (with its zodiac year), so the chances are kept per zodiac year.
class ColumnChances {
  public:
    ColumnChances(const search::TrendInput& in, const store::ZodiacCodes& codes)
        : in_(in), codes_(codes) {
        std::vector<std::string> captions;
        values_ = search::trendValues(in.type, in.sxBase, in.dsBase, captions);
    }
    std::size_t columns() const { return values_.size(); }
    const std::vector<double>& of(std::int32_t issue) {
        const int key = in_.type == 1 ? store::zodiacYear(issue) : 0;
        auto it = byYear_.find(key);
        if (it != byYear_.end()) return it->second;
        const auto attributes = numberAttributes(in_.type, issue, codes_, in_.dsBase);
        const int drawn = in_.countSpecial ? 8 : kRegular;
        std::vector<double> q;
        q.reserve(values_.size());
        for (const int v : values_)
            q.push_back(showChance(
                static_cast<int>(std::count(attributes.begin() + 1, attributes.end(), v)), drawn));
        return byYear_.emplace(key, std::move(q)).first->second;
    }
    int column(int value) const {
        const auto it = std::find(values_.begin(), values_.end(), value);
        return it == values_.end() ? -1 : static_cast<int>(it - values_.begin());
    }

  private:
    search::TrendInput in_;
    store::ZodiacCodes codes_;
    std::vector<int> values_;
    std::map<int, std::vector<double>> byYear_;
};

}  // namespace

HotCold hotCold(const std::vector<search::TrendDraw>& history, const search::TrendInput& in,
                const store::ZodiacCodes& codes, int window) {
    ColumnChances chances(in, codes);
    const std::size_t cols = chances.columns();
    HotCold h;
    h.window = window;
    h.counts.assign(cols, 0);
    h.expected.assign(cols, 0.0);
    std::vector<double> variance(cols, 0.0);
    const int positions = in.countSpecial ? 8 : kRegular;
    // The newest draws of the range, from the newest back.
    for (auto it = history.rbegin(); it != history.rend() && h.drawn < window; ++it) {
        if (it->issue < in.rangeStart || it->issue > in.rangeEnd) continue;
        ++h.drawn;
        std::vector<bool> shown(cols, false);
        for (int p = 0; p < positions; ++p) {
            const int c = chances.column(it->values[static_cast<std::size_t>(p)]);
            if (c >= 0) shown[static_cast<std::size_t>(c)] = true;
        }
        const std::vector<double>& q = chances.of(it->issue);
        for (std::size_t c = 0; c < cols; ++c) {
            h.counts[c] += shown[c] ? 1 : 0;
            h.expected[c] += q[c];
            variance[c] += q[c] * (1.0 - q[c]);
        }
    }
    for (std::size_t c = 0; c < cols; ++c) {
        if (h.drawn == 0 || variance[c] <= 0.0) {
            h.heat.emplace_back("-");
            continue;
        }
        const double z = (h.counts[c] - h.expected[c]) / std::sqrt(variance[c]);
        h.heat.emplace_back(z >= 1.0 ? "热" : z <= -1.0 ? "冷" : "温");
    }
    return h;
}

void setHotRows(search::TrendChart& chart, const HotCold& hot) {
    std::array<std::vector<std::string>, search::TrendChart::kHotRows> rows;
    for (std::size_t c = 0; c < hot.counts.size(); ++c) {
        rows[0].push_back(std::to_string(hot.counts[c]));
        rows[1].push_back(search::formatTwoDecimals(hot.expected[c]));
    }
    rows[2] = hot.heat;
    chart.setHotRows({"近" + std::to_string(hot.window) + "期次数", "理论次数", "冷热"},
                     std::move(rows));
}

store::Checked<search::TrendChart> buildTrendWithHotCold(store::Database& db,
                                                         const search::TrendInput& in,
                                                         const store::ZodiacCodes& codes,
                                                         int window) {
    return store::attempt([&] {
        const std::vector<search::TrendDraw> history = search::readTrendHistory(db, in.type);
        search::TrendChart chart(history, in);
        setHotRows(chart, hotCold(history, in, codes, window));
        return chart;
    });
}

}  // namespace quarvel::chance
