#pragma once
// Issue numbering and the history list: last issue, next issue (= last + 1, no year
// rollover) and the history-list grid (AddHaoma's contents).

#include <cstdint>

#include "store/engine.h"
#include "store/text_grid.h"

namespace quarvel::store {

// The largest issue a draw may be stored under: a history text line carries seven digits, so
// every stored draw can be exported and read back as itself.
inline constexpr std::int32_t kMaxIssue = 9'999'999;
// Whether a draw may be stored under `issue` (1..kMaxIssue): the one bound of the window's
// next-issue box, quarvel-cli's add, the history service and the history text writer.
constexpr bool isIssueInBounds(std::int64_t issue) { return issue >= 1 && issue <= kMaxIssue; }

// Issue of the last row of a sorted snapshot; 0 when empty.
std::int32_t lastIssueOf(Snapshot& sorted);
inline std::int32_t nextIssueAfter(std::int32_t last) { return last + 1; }
// The history list: header "期号", "落1码".."落7码", "特码"; one row per draw in snapshot order,
// numbers in plain decimal; widths 820 and 600; scrolled to the last row beyond 39 draws.
TextGrid historyListGrid(Snapshot& sorted);
// The same list of the stored history (kHistoryListSql), read straight from the statement
// rather than through a copy of every cell; `newest`, when given, receives the SQQH of its
// last row (null when there is none). DbError when it cannot be read.
TextGrid historyListGrid(Database& db, Value* newest = nullptr);

}  // namespace quarvel::store
