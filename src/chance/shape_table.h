#pragma once
// The 形态走势 of an issue range: one row per draw (期号, the seven regular numbers, the nine
// shapes) and the distribution of every shape value over the range against its exact chance.
// Rows keep the numbers and shapes as small numbers; their texts are made when asked for.

#include <cstdint>
#include <string>
#include <vector>

#include "chance/shape.h"
#include "store/outcome.h"
#include "store/text_grid.h"

namespace quarvel::store {
class Database;
}

namespace quarvel::chance {

// One stored draw as the shapes read it.
struct ShapeDraw {
    int idx = 0;
    std::int32_t issue = 0;
    RegularNumbers numbers{};
};

// Every stored draw in IDX order: IDX, issue and the seven regular numbers.
std::vector<ShapeDraw> readShapeDraws(store::Database& db);

class ShapeTable {
  public:
    static constexpr int kColumns = 1 + 7 + kShapeKinds;

    // `history`: every stored draw in IDX order (重号 looks at the draw before the range).
    ShapeTable(const std::vector<ShapeDraw>& history, std::int32_t rangeStart,
               std::int32_t rangeEnd);

    int rows() const { return static_cast<int>(rows_.size()); }
    // "期号", "平1位" … "平7位", then the nine shape names.
    static const std::vector<std::string>& header();
    std::string cellText(int row, int col) const;
    // The per-draw table, header first.
    store::TextGrid toTextGrid() const;
    // The distribution: "形态 值 出现次数 理论次数 p 最后遗漏 最大遗漏 显著", one row per value a
    // set of seven numbers can have. 理论次数 is N × the exact chance (for 重号 N counts the draws
    // that have a previous draw); p the exact two-sided binomial p of the count; 显著 "是" for
    // the rows that stay below 0.05 after Holm's correction over all rows; 最后遗漏 the range's
    // last IDX + 1 − the IDX of the value's last draw (0 for none); 最大遗漏 the largest gap
    // between draws with the value, the first from IDX 0, "-" when none.
    const store::TextGrid& summary() const { return summary_; }

    // One verdict per shape: X² = Σ (count − E)²/E over its values pooled until each expects
    // at least 5, against χ² with pools − 1 degrees (none below two pools).
    struct ShapeVerdict {
        int kind = 0;
        double chiSquare = 0.0;
        int degrees = 0;
        double pValue = 1.0;
    };
    const std::vector<ShapeVerdict>& verdicts() const { return verdicts_; }
    // The plain sentence of the most unusual shape, then one line per shape.
    std::string verdictText() const;

  private:
    struct Row {
        std::int32_t issue;
        RegularNumbers numbers;
        ShapeValues shapes;
    };
    void summarize(const std::vector<int>& idx);

    std::vector<Row> rows_;
    store::TextGrid summary_;
    std::vector<ShapeVerdict> verdicts_;
};

// Reads the stored draws and builds the table of the range, or gives the failure of the store.
store::Checked<ShapeTable> buildShapeTable(store::Database& db, std::int32_t rangeStart,
                                           std::int32_t rangeEnd);

}  // namespace quarvel::chance
