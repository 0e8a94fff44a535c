#pragma once
// 缩水: the C(30, 7) = 2,035,800 sets of seven regular numbers cut down by conditions on their
// shapes (values as the shape table prints them, or a range A-B for 和值, 跨度, AC值, 连号 and
// 重号), by 胆 (numbers a set must hold) and 杀 (numbers it must not hold). Beside the kept count
// stands each condition's record on the draws of a range: how many of them it would have kept
// and its 误杀率, the share it would have thrown out. Under the draw's rules the next draw's
// regular numbers are any of the sets alike, so the chance that they are kept is exactly
// kept / 2,035,800, whatever the conditions.

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chance/shape_table.h"
#include "chance/tickets.h"
#include "store/outcome.h"

namespace quarvel::chance {

inline constexpr std::int64_t kAllSets = 2'035'800;  // C(30, 7)
inline constexpr int kShapeValueLimit = 512;         // every shape value is below this

struct ShapeCondition {
    int kind = kSum;
    std::bitset<kShapeValueLimit> allowed;
    std::string text;  // "和值=100-120", "奇偶=4:3,3:4"
};

// "NAME=VALUES": the shape's name as the table prints it, VALUES a comma list of value texts
// or, for the shapes with a range, A-B. Refused with a Chinese sentence otherwise.
store::Checked<ShapeCondition> parseShapeCondition(const std::string& text);
// A condition keeping the values given, its text listing them.
ShapeCondition shapeCondition(int kind, const std::vector<int>& values);
// Every value a set of seven numbers can have for the shape (重号: 0 … 7), ascending.
std::vector<int> shapeValues(int kind);
// "1,5,30" or "01 05 30" for 胆 or 杀; `what` names the list in the refusal.
store::Checked<NumberMask> parseNumberList(const std::string& text, const std::string& what);

struct SetFilter {
    std::vector<ShapeCondition> shapes;
    NumberMask include = 0;  // 胆
    NumberMask exclude = 0;  // 杀

    bool usesRepeat() const;
    // Why no set could pass (a number both 胆 and 杀, more than seven 胆), in Chinese.
    std::optional<std::string> refusal() const;
    // The conditions' texts, 胆 and 杀 last ("胆=01,05").
    std::vector<std::string> conditionTexts() const;
};

// How often a condition would have kept the real draw.
struct ConditionRecord {
    std::string text;
    int passed = 0;  // K
    int draws = 0;   // M: the draws of the range the condition can judge
    // "误杀率" (M − K) / M as "12.34", "-" without draws.
    std::string missRateText() const;
};

struct FilterResult {
    std::int64_t kept = 0;
    std::vector<NumberMask> sets;  // the kept sets, ascending, when asked for
    // One record per condition (shapes, then 胆, then 杀), then one for all of them together
    // (text "全部条件").
    std::vector<ConditionRecord> records;

    // "保留	N	共	2035800	占比	P%", the "条件	…" lines, "结论	…".
    std::vector<std::string> lines() const;
};

// The draws judged are those of `history` (every stored draw in IDX order) whose issue lies in
// [start, end]; 重号 of a set counts against the newest of them, of a draw against the draw
// before it. Refused when 重号 is asked for and the range holds no draw.
store::Checked<FilterResult> runFilter(const SetFilter& filter,
                                       const std::vector<ShapeDraw>& history, std::int32_t start,
                                       std::int32_t end, bool keepSets);

// The record of the conditions on the draws of the range, without the sets.
std::vector<ConditionRecord> filterRecords(const SetFilter& filter,
                                           const std::vector<ShapeDraw>& history,
                                           std::int32_t start, std::int32_t end);

// The plain-words conclusion (without "结论\t").
std::string filterConclusion(std::int64_t kept);

}  // namespace quarvel::chance
