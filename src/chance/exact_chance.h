#pragma once
// Exact chances from the rules of the draw: eight distinct numbers of 1 … 30, seven regular
// and the special one, each number's attributes as the row builder derives them.

#include <array>
#include <cstdint>

#include "store/draw_record.h"

namespace quarvel::chance {

inline constexpr int kNumbers = 30;  // a draw's numbers run 1 … 30
inline constexpr int kRegular = 7;   // regular numbers of a draw

// C(n, k) as a whole number; 0 unless 0 <= k <= n.
std::int64_t choose(int n, int k);

// The chance that `drawn` distinct numbers of the 30 include at least one of `members` given
// numbers: 1 − C(30 − members, drawn) / C(30, drawn).
double showChance(int members, int drawn);

// The attribute of search type `type` (0 号码 … 5 段数) of every number 1 … 30, indexed by the
// number (index 0 unused), as the row builder stores it for a draw of `issue`: the zodiac of
// the issue's zodiac year under `codes`, the segment from `dsBase`.
std::array<int, kNumbers + 1> numberAttributes(int type, std::int32_t issue,
                                               const store::ZodiacCodes& codes, int dsBase);

}  // namespace quarvel::chance
