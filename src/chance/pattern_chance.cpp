#include "chance/pattern_chance.h"

#include <algorithm>

#include "groups/group_eval.h"
#include "groups/group_values.h"
#include "store/history_db.h"

namespace quarvel::chance {

store::Checked<PatternHits> patternHits(store::HistoryDb& db, const search::Criteria& criteria,
                                        const PatternSearch& run, const ChancePattern& pattern) {
    const auto range = search::validate(criteria);
    if (!range) return range.outcome;
    return store::attempt([&]() -> store::Checked<PatternHits> {
        search::Criteria upToEnd = criteria;
        upToEnd.rangeStart =
            std::to_string(std::min(range->start, db.firstIssue().value_or(range->start)));
        search::SearchResult r = run(upToEnd);
        if (!r.ok()) return r.outcome;
        PatternHits p{
            std::move(r.hitIdx), readIssueLine(db.db()).within(range->start, range->end), {}};
        p.chance = PatternChance(pattern).along(p.range.issue);
        return p;
    });
}

store::Checked<PatternHits> groupPatternHits(store::HistoryDb& db, const groups::GroupInput& input,
                                             const std::string& label) {
    auto plan = groups::labelPlan(input, label);
    if (!plan) return plan.outcome;
    return store::attempt([&] {
        const std::int32_t start = plan->rangeStart;
        plan->rangeStart = std::min(start, db.firstIssue().value_or(start));
        PatternHits p;
        for (const search::Hit& h : groups::groupHits(db, *plan)) p.hits.push_back(h.idx);
        p.range = readIssueLine(db.db()).within(start, plan->rangeEnd);
        std::vector<int> values;
        for (int box : plan->boxes)
            values.push_back(groups::boxValue(plan->type, box, plan->coding));
        p.chance = PatternChance(groupPattern(groupRules(*plan), values)).along(p.range.issue);
        return p;
    });
}

store::Checked<NextShowing> showingAfterCut(store::HistoryDb& db, const search::Criteria& criteria,
                                            const PatternSearch& run, const AsOfCut& cut) {
    return store::attempt([&]() -> store::Checked<NextShowing> {
        search::Criteria all = criteria;
        all.rangeEnd = std::to_string(db.lastIssue().value_or(cut.issue));
        const search::SearchResult later = run(all);
        if (!later.ok()) return later.outcome;
        return nextShowing(later.hitIdx, readIssueLine(db.db()), cut);
    });
}

store::Checked<BacktestResult> backtestOnHistory(store::HistoryDb& db, BacktestInput in,
                                                 const std::optional<AsOfCut>& cut) {
    return store::attempt([&] {
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
    });
}

}  // namespace quarvel::chance
