#pragma once
// The shape (形态) of a draw over its seven regular numbers, and the exact chance of every
// shape value among all C(30, 7) = 2,035,800 sets of seven regular numbers.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quarvel::chance {

enum ShapeKind : int {
    kSum,          // 和值: the sum
    kSpan,         // 跨度: largest − smallest
    kOddEven,      // 奇偶: the odd count ("odd:even")
    kBigSmall,     // 大小: the count of 16 … 30 ("big:small")
    kRoad,         // 012路: counts ≡ 0, 1, 2 mod 3
    kZone,         // 区间: counts in 1 … 10, 11 … 20, 21 … 30
    kConsecutive,  // 连号: pairs n, n + 1 both drawn
    kRepeat,       // 重号: numbers among the previous draw's regular numbers, −1 without one
    kAc,           // AC值: distinct positive differences of pairs − 6
    kShapeKinds
};

inline constexpr std::array<const char*, kShapeKinds> kShapeNames = {
    "和值", "跨度", "奇偶", "大小", "012路", "区间", "连号", "重号", "AC值"};

using RegularNumbers = std::array<int, 7>;
// A draw's nine shapes as whole numbers; the three-part counts a:b:c are packed as a·64 + b·8 + c.
using ShapeValues = std::array<int, kShapeKinds>;

// `previous`: the regular numbers of the previous stored draw, null for the first draw.
ShapeValues shapeOf(const RegularNumbers& numbers, const RegularNumbers* previous);
// The value as the per-draw table shows it: "135", "4:3", "2:3:2", "-" for no 重号.
std::string shapeText(int kind, int value);

// The distribution groups a value falls in: 和值 by tens (value / 10), every other shape by
// value; −1 for a value no set of seven distinct numbers 1 … 30 can have.
int shapeClass(int kind, int value);
// The group's text in the distribution: "20-29" for 和值, otherwise as shapeText.
std::string classText(int kind, int cls);

// For each shape and group, how many of the C(30, 7) sets of seven regular numbers have it
// (for 重号: how many share j numbers with a given set of seven). Counted once, from the rules.
struct ShapeOdds {
    std::int64_t total = 0;                                   // C(30, 7)
    std::array<std::vector<std::int64_t>, kShapeKinds> sets;  // by kind, then group
    double probability(int kind, int cls) const;
};
// The counts, made on first use and kept for the run.
const ShapeOdds& shapeOdds();
// Counts them afresh (what the first use costs).
ShapeOdds countShapeOdds();

}  // namespace quarvel::chance
