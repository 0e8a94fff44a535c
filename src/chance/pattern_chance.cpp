#include "chance/pattern_chance.h"

#include <algorithm>

#include "groups/group_eval.h"
#include "groups/group_values.h"
#include "store/history_db.h"

namespace quarvel::chance {

std::variant<PatternHits, std::string> patternHits(store::HistoryDb& db,
                                                   const search::Criteria& criteria,
                                                   const PatternSearch& run) {
    std::string error;
    const auto range = search::validate(criteria, error);
    if (!range) return error;
    search::Criteria upToEnd = criteria;
    upToEnd.rangeStart =
        std::to_string(std::min(range->start, db.firstIssue().value_or(range->start)));
    search::SearchResult r = run(upToEnd);
    if (!r.ok()) return r.error;
    return PatternHits{std::move(r.hitIdx),
                       readIssueLine(db.db()).within(range->start, range->end)};
}

std::variant<PatternHits, std::string> groupPatternHits(store::HistoryDb& db,
                                                        const groups::GroupInput& input,
                                                        const std::string& label) {
    if (!groups::isGroupType(input.type))
        return std::string("搜索类型无效，请选择号码、生肖、头数、尾数、合数或段数");
    const auto start = groups::parseWhole(input.rangeStart);
    const auto end = groups::parseWhole(input.rangeEnd);
    if (!start || !end) return std::string("检索起止期数必须是整数期号");
    groups::GroupPlan plan;
    plan.type = input.type;
    plan.countSpecial = input.countSpecial;
    plan.coding = input.coding;
    plan.rangeStart = std::min(*start, db.firstIssue().value_or(*start));
    plan.rangeEnd = *end;
    const auto boxes = groups::boxesOfLabel(plan, label);
    if (!boxes) return "分组“" + label + "”不是当前搜索类型的分组，请先选择它的搜索类型";
    plan.boxes = *boxes;
    plan.size = static_cast<int>(plan.boxes.size());
    PatternHits p;
    for (const search::Hit& h : groups::groupHits(db, plan)) p.hits.push_back(h.idx);
    p.range = readIssueLine(db.db()).within(*start, *end);
    return p;
}

BacktestResult backtestOnHistory(store::HistoryDb& db, BacktestInput in,
                                 const std::optional<AsOfCut>& cut) {
    IssueLine line = readIssueLine(db.db());
    if (cut) {
        in.testEnd = std::min(in.testEnd, cut->issue);
        line = line.within(line.size() == 0 ? 0 : line.issue.front(), cut->issue);
    }
    // The groups' hits from the first draw either range needs up to the last tested draw.
    groups::GroupPlan evaluated = in.plan;
    evaluated.rangeStart = std::min(in.plan.rangeStart, in.testStart);
    evaluated.rangeEnd = in.testEnd;
    return backtest(collectGroupHits(db, evaluated), line, in);
}

}  // namespace quarvel::chance
