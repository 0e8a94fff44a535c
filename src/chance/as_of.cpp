#include "chance/as_of.h"

#include <algorithm>

#include "groups/group_command.h"
#include "search/trend_chart.h"
#include "store/history_db.h"
#include "store/whole_number.h"

namespace quarvel::chance {

IssueLine IssueLine::within(std::int32_t start, std::int32_t end) const {
    IssueLine out;
    for (std::size_t i = 0; i < size(); ++i) {
        if (issue[i] < start || issue[i] > end) continue;
        out.idx.push_back(idx[i]);
        out.issue.push_back(issue[i]);
    }
    return out;
}

IssueLine readIssueLine(store::Database& db) {
    const store::Snapshot s = db.snapshot("SELECT [IDX], [SQQH] FROM [Lishi] ORDER BY [IDX]");
    IssueLine line;
    line.idx.reserve(s.recordCount());
    line.issue.reserve(s.recordCount());
    for (std::size_t i = 0; i < s.recordCount(); ++i) {
        line.idx.push_back(static_cast<int>(store::toInt(s.row(i)[0])));
        line.issue.push_back(static_cast<std::int32_t>(store::toInt(s.row(i)[1])));
    }
    return line;
}

store::Checked<AsOfCut> cutAt(store::HistoryDb& db, std::int32_t asOf) {
    return store::attempt([&]() -> store::Checked<AsOfCut> {
        store::Snapshot draw = db.drawAtOrBefore(asOf);
        draw.moveFirst();
        if (!draw.onRow())
            return store::Outcome::refused("截止期 " + std::to_string(asOf) +
                                           " 及以前没有历史号码");
        return AsOfCut{asOf, static_cast<std::int32_t>(draw.intField("SQQH")),
                       static_cast<int>(draw.intField("IDX"))};
    });
}

std::string clippedEnd(const std::string& rangeEnd, const AsOfCut& cut) {
    const auto end = store::readWholeNumber32(rangeEnd);
    if (!end || *end <= cut.issue) return rangeEnd;
    return std::to_string(cut.issue);
}

void applyCut(search::Criteria& criteria, const AsOfCut& cut) {
    criteria.rangeEnd = clippedEnd(criteria.rangeEnd, cut);
}

void applyCut(groups::GroupInput& input, const AsOfCut& cut) {
    input.rangeEnd = clippedEnd(input.rangeEnd, cut);
    input.newestIdx = cut.idx;
}

void applyCut(search::TrendInput& input, const AsOfCut& cut) {
    // The chart measures its last omission to the range's last draw, which the cut ends.
    input.rangeEnd = std::min(input.rangeEnd, cut.issue);
}

void restateAtCut(search::SearchResult& result, const AsOfCut& cut) {
    result.stats.finish(cut.idx, result.stats.drawsInRange);
    result.summary = search::summaryGrid(result.label, result.stats);
}

NextShowing nextShowing(const std::vector<int>& hitIdx, const IssueLine& line, const AsOfCut& cut) {
    NextShowing next;
    const auto after = std::upper_bound(hitIdx.begin(), hitIdx.end(), cut.idx);
    if (after == hitIdx.end()) {
        next.draws = line.size() == 0 ? 0 : std::max(0, line.idx.back() - cut.idx);
        return next;
    }
    next.draws = *after - cut.idx;
    const auto at = std::lower_bound(line.idx.begin(), line.idx.end(), *after);
    if (at != line.idx.end() && *at == *after)
        next.issue = line.issue[static_cast<std::size_t>(at - line.idx.begin())];
    return next;
}

std::string nextShowingText(const AsOfCut& cut, const NextShowing& next) {
    const std::string head = "截止 " + std::to_string(cut.asOf) + " 期后";
    if (next.issue)
        return head + "第 " + std::to_string(next.draws) + " 期（" + std::to_string(*next.issue) +
               "）出现";
    return head + "已过 " + std::to_string(next.draws) + " 期未出现";
}

}  // namespace quarvel::chance
