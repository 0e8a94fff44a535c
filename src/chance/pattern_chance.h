#pragma once
// The chance analyses as both programs run them on the history: the hits of one pattern (a
// search, a partial search or one listed group) from the oldest stored draw up to the range's
// end, since the omission of the range's first draws reaches back before it, with the draws
// of the range; and the backtest of a group plan on the history as far as the cut. The inputs
// come already cut at the as-of issue (applyCut; chance/as_of_runs.h cuts and runs in one call).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chance/as_of.h"
#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/draw_chance.h"
#include "chance/kline.h"
#include "groups/group_command.h"
#include "search/search_command.h"
#include "store/outcome.h"

namespace quarvel::chance {

// The pattern's own analysis (search or partial search) run on the given criteria.
using PatternSearch = std::function<search::SearchResult(const search::Criteria&)>;

struct PatternHits {
    std::vector<int> hits;       // IDX ascending, from the oldest stored draw to the range's end
    IssueLine range;             // the draws of the range
    std::vector<double> chance;  // q_t of each draw of the range
};

// The hits of a search or partial search whose exact chance is `pattern`; its refusal, or the
// failure of the store.
store::Checked<PatternHits> patternHits(store::HistoryDb& db, const search::Criteria& criteria,
                                        const PatternSearch& run, const ChancePattern& pattern);
// The hits of the listed group `label` (groups::labelPlan); its refusal, or the failure.
store::Checked<PatternHits> groupPatternHits(store::HistoryDb& db, const groups::GroupInput& input,
                                             const std::string& label);

// When the pattern showed after the cut: `run` on the criteria with the range ending at the
// newest stored draw instead of the cut.
store::Checked<NextShowing> showingAfterCut(store::HistoryDb& db, const search::Criteria& criteria,
                                            const PatternSearch& run, const AsOfCut& cut);

inline Calibration calibrate(const PatternHits& p) {
    return calibrate(p.hits, p.range.idx, p.chance);
}
inline std::vector<KLinePoint> kLine(const PatternHits& p) {
    return kLine(p.range, p.hits, p.chance);
}

// The backtest on the stored history, cut at `cut` when given: the test range ends there too.
// A failure of the store comes back as the outcome.
store::Checked<BacktestResult> backtestOnHistory(store::HistoryDb& db, BacktestInput input,
                                                 const std::optional<AsOfCut>& cut);

}  // namespace quarvel::chance
