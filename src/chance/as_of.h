#pragma once
// Figures as they stood at a past issue X: the history is cut at the newest draw whose issue is
// not greater than X, and every analysis runs as if that draw were the newest one. Since IDX
// counts from the oldest draw, the draws up to the cut keep their IDX; the cut ends the issue
// range there and the last omission is measured to it. The cut is applied to the inputs once,
// before the analysis runs (chance/as_of_runs.h), and nothing later sees the draws after it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/search_command.h"
#include "store/outcome.h"

namespace quarvel::store {
class Database;
class HistoryDb;
}  // namespace quarvel::store
namespace quarvel::groups {
struct GroupInput;
}
namespace quarvel::search {
struct TrendInput;
}

namespace quarvel::chance {

// Stored draws by IDX and issue, in IDX order.
struct IssueLine {
    std::vector<int> idx;
    std::vector<std::int32_t> issue;
    std::size_t size() const { return idx.size(); }
    // The draws whose issue lies in [start, end].
    IssueLine within(std::int32_t start, std::int32_t end) const;
};

IssueLine readIssueLine(store::Database& db);

struct AsOfCut {
    std::int32_t asOf = 0;   // the issue asked for
    std::int32_t issue = 0;  // the issue of the newest draw kept
    int idx = 0;             // its IDX
};

// The cut at `asOf`; refused when no stored draw is that old, or the failure of the store.
store::Checked<AsOfCut> cutAt(store::HistoryDb& db, std::int32_t asOf);

// The range end as typed, no later than the cut (text that is not a whole number is left for
// the analysis to refuse).
std::string clippedEnd(const std::string& rangeEnd, const AsOfCut& cut);

// The inputs of each analysis as of the cut: the range ends at the cut, and the group figures
// count their last omission to it.
void applyCut(search::Criteria& criteria, const AsOfCut& cut);
void applyCut(groups::GroupInput& input, const AsOfCut& cut);
void applyCut(search::TrendInput& input, const AsOfCut& cut);

// A search or partial search result run on inputs cut with applyCut: its last omission, ratio
// and due ratio measured to the cut instead of the newest stored draw.
void restateAtCut(search::SearchResult& result, const AsOfCut& cut);

// When the pattern showed next after the cut: its first hit with IDX above the cut, given all
// hits of the pattern (ascending) and the newest stored IDX.
struct NextShowing {
    int draws = 0;                      // draws after the cut up to that hit, or to the newest
    std::optional<std::int32_t> issue;  // the issue of that hit; none when it has not shown
};
NextShowing nextShowing(const std::vector<int>& hitIdx, const IssueLine& line, const AsOfCut& cut);
// "截止 X 期后第 n 期（issue）出现" or "截止 X 期后已过 n 期未出现".
std::string nextShowingText(const AsOfCut& cut, const NextShowing& next);

}  // namespace quarvel::chance
