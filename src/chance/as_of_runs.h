#pragma once
// Every analysis as of an issue, one call each: the call takes the analysis input with the
// as-of issue (none: the whole stored history), cuts the history there itself and answers the
// result together with the cut it used. "No draw that old" and a failure of the store while
// cutting come back as the outcome, like any refusal of the analysis. Callers never cut their
// inputs themselves.
//
//   检索, 分部检索 (with the next showing after the cut)   runPattern      (chance/pattern_run.h)
//   分组计算                                                groupsAsOf
//   遗漏曲线 of a listed group                              groupCurveAsOf
//   遗漏校验, 遗漏K线 of a search or partial search          patternHitsAsOf
//   遗漏校验, 遗漏K线 of a listed group                      groupHitsAsOf
//   走势图 (with its hot/cold rows)                         trendAsOf
//   形态 (形态走势, shape --summary)                        shapeAsOf
//   回测                                                    backtestAsOf
//   the issue range of tickets and 缩水                     rangeAsOf

#include <cstdint>
#include <optional>
#include <string>

#include "chance/as_of.h"
#include "chance/pattern_chance.h"
#include "chance/pattern_run.h"
#include "chance/shape_table.h"
#include "groups/group_command.h"
#include "search/omission_curve.h"
#include "search/search_command.h"
#include "search/trend_chart.h"
#include "store/draw_record.h"
#include "store/outcome.h"

namespace quarvel::chance {

// What an analysis answered as of the cut.
template <class T>
struct AsOfResult {
    T result;
    std::optional<AsOfCut> cut;  // where the history was cut, when an as-of issue was given
};

// The cut at `asOf` when one is given, none when not; its refusal or the store's failure.
store::Checked<std::optional<AsOfCut>> optionalCut(store::HistoryDb& db,
                                                   std::optional<std::int32_t> asOf);

// 分组计算: the range ends at the cut and the last omission counts to it. A refused cut comes
// back as result.outcome, YL untouched (result.listing empty).
AsOfResult<groups::GroupResult> groupsAsOf(store::HistoryDb& db, groups::GroupInput input,
                                           std::optional<std::int32_t> asOf);

// The omission curve of the listed group `label`.
store::Checked<AsOfResult<search::OmissionCurve>> groupCurveAsOf(store::HistoryDb& db,
                                                                 groups::GroupInput input,
                                                                 const std::string& label,
                                                                 std::optional<std::int32_t> asOf);

// The hits of a search or partial search (in.asOf) for its calibration and K-line.
store::Checked<AsOfResult<PatternHits>> patternHitsAsOf(store::HistoryDb& db, PatternInput in);

// The hits of the listed group `label` for its calibration and K-line.
store::Checked<AsOfResult<PatternHits>> groupHitsAsOf(store::HistoryDb& db,
                                                      groups::GroupInput input,
                                                      const std::string& label,
                                                      std::optional<std::int32_t> asOf);

// The trend chart with its hot/cold rows over the last `window` draws of the range.
store::Checked<AsOfResult<search::TrendChart>> trendAsOf(store::HistoryDb& db,
                                                         search::TrendInput input,
                                                         const store::ZodiacCodes& codes,
                                                         int window,
                                                         std::optional<std::int32_t> asOf);

// The issue range `range.rangeStart`..`range.rangeEnd` as typed, ending at the cut; refused when
// the texts are no range.
store::Checked<AsOfResult<search::IssueRange>> rangeAsOf(store::HistoryDb& db,
                                                         search::Criteria range,
                                                         std::optional<std::int32_t> asOf);

// The shapes of the draws of the range (as rangeAsOf reads it), with the range they cover.
struct ShapeAnswer {
    ShapeTable table;
    search::IssueRange range;
};
store::Checked<AsOfResult<ShapeAnswer>> shapeAsOf(store::HistoryDb& db, search::Criteria range,
                                                  std::optional<std::int32_t> asOf);

// The backtest of the plan: the test range and the history end at the cut.
store::Checked<AsOfResult<BacktestResult>> backtestAsOf(store::HistoryDb& db, BacktestInput in,
                                                        std::optional<std::int32_t> asOf);

}  // namespace quarvel::chance
