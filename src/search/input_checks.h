#pragma once
// The input rules that the window and quarvel-cli both refuse by: a position value outside its
// type's range, a ticked position without a value, a value typed into a position that is not
// ticked, a group size the ticked boxes cannot fill. Each refusal is one Chinese sentence that
// names the box and the allowed range; the window shows it in a message box, the command line
// prints it and exits 2.

#include <optional>
#include <span>
#include <string>

#include "search/criteria.h"

namespace quarvel::search {

// "平1位" … "平7位", "特位" for positions 1..8.
std::string positionCaption(int position);
// "号码", "生肖", "头数", "尾数", "合数", "段数" for types 0..5; "数值" otherwise.
std::string typeCaption(int type);

// The first of `positions` (1..8) that is in play with an empty value box, whose typed text is
// not a whole number (`typed`: the values are what the boxes hold, the manual-entry tab), or
// whose value lies outside the range of the criteria's type: the refusal's sentence. Nothing
// for sound input; the types without a per-position range check only for empty boxes.
std::optional<std::string> checkPositionValues(const Criteria& criteria,
                                               std::span<const int> positions, bool typed);
// A value box holding text whose position is not ticked (the typed number would be ignored).
std::optional<std::string> checkUntickedTexts(const Criteria& criteria);

// The search (检索): with typed values no text in an unticked box, then every ticked position.
std::optional<std::string> checkSearchInput(const Criteria& criteria, bool typed);
// The partial search (分部检索): every position in play, 1..7 with 平码 (`flatOnly`), else 1..8.
std::optional<std::string> checkPartialInput(const Criteria& criteria, bool flatOnly, bool typed);

// Group sizes offered by "组合位数".
inline constexpr int kMinGroupSize = 1;
inline constexpr int kMaxGroupSize = 6;
// A size outside 1..6, or larger than the number of ticked value boxes.
std::optional<std::string> checkGroupSize(int size, int ticked);

}  // namespace quarvel::search
