#pragma once
// The trend chart (走势图) of the history: one row per draw of an issue range, one column per
// value of the search type. A cell whose value the draw shows holds the column's caption
// ("×n" when the value occurs n >= 2 times); every other cell holds the value's omission, the
// draw's IDX minus the IDX of the value's previous showing anywhere earlier (0 before its
// first). Five statistic rows follow the draws. Cells are kept as small numbers and turned
// into text when asked for, so a history of 32,766 draws stays light.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "store/text_grid.h"

namespace quarvel::store {
class Database;
}

namespace quarvel::search {

struct TrendInput {
    int type = 0;              // 0 号码 … 5 段数
    bool countSpecial = true;  // "自由位计特码": the special number shows values too
    std::int32_t rangeStart = 0;
    std::int32_t rangeEnd = 0;
    int sxBase = 1;
    int dsBase = 1;
};

// One stored draw as the chart reads it: its ordinal, issue and the eight attribute values of
// the search type (position 8 the special number).
struct TrendDraw {
    int idx = 0;
    std::int32_t issue = 0;
    std::array<int, 8> values{};
};

enum class TrendMark : std::uint8_t { Omission, Shown, ShownBySpecial };

class TrendChart {
  public:
    static constexpr int kStatRows = 5;  // 出现次数, 平均遗漏, 最大遗漏, 最后遗漏, 欲出几率

    // `history`: every stored draw in IDX order (omissions reach back before the range).
    TrendChart(const std::vector<TrendDraw>& history, const TrendInput& input);

    int drawRows() const { return static_cast<int>(issues_.size()); }
    int valueColumns() const { return static_cast<int>(captions_.size()); }
    // The header: "期号", then the caption of every value column.
    std::vector<std::string> header() const;
    const std::string& caption(int col) const { return captions_[static_cast<std::size_t>(col)]; }
    std::int32_t issue(int row) const { return issues_[static_cast<std::size_t>(row)]; }
    // Value column `col` (0-based) of draw row `row`.
    std::string cellText(int row, int col) const;
    TrendMark mark(int row, int col) const;
    const std::string& statCaption(int stat) const;
    const std::string& statText(int stat, int col) const;
    // The whole chart as text, header first, the five statistic rows last.
    store::TextGrid toTextGrid() const;

  private:
    struct Cell {
        std::int16_t value;  // omission, or how often the draw shows the value
        TrendMark mark;
    };
    const Cell& cell(int row, int col) const {
        return cells_[static_cast<std::size_t>(row) * captions_.size() +
                      static_cast<std::size_t>(col)];
    }

    std::vector<std::string> captions_;
    std::vector<std::int32_t> issues_;
    std::vector<Cell> cells_;
    std::array<std::vector<std::string>, kStatRows> stats_;
};

// The value columns of a type: 号码 01 … 30; 生肖 codes base … base + 11 named by code − base;
// 头数 0 … 3; 尾数 0 … 9; 合数 1 … 11; 段数 base … base + 9. Returns the value of each column
// and fills `captions`.
std::vector<int> trendValues(int type, int sxBase, int dsBase, std::vector<std::string>& captions);

// Reads the stored history (IDX, issue and the type's eight attribute columns) and builds
// the chart.
TrendChart buildTrend(store::Database& db, const TrendInput& input);

}  // namespace quarvel::search
