#include "search/search_command.h"

#include "search/marking.h"
#include "search/omission_scan.h"
#include "store/history_db.h"

namespace quarvel::search {

std::optional<IssueRange> readRange(const Criteria& c, std::string& error) {
    const auto start = parseIssue(c.rangeStart);
    if (!start) {
        error = "起始期数不是整数: \"" + c.rangeStart + "\"";
        return std::nullopt;
    }
    const auto end = parseIssue(c.rangeEnd);
    if (!end) {
        error = "截止期数不是整数: \"" + c.rangeEnd + "\"";
        return std::nullopt;
    }
    return IssueRange{*start, *end};
}

std::optional<IssueRange> validate(const Criteria& c, std::string& error) {
    if (c.type < 0 || c.type >= kSearchTypes) {
        error = "搜索类型无效: " + std::to_string(c.type);
        return std::nullopt;
    }
    return readRange(c, error);
}

SearchResult runSearch(store::HistoryDb& db, const Criteria& c) {
    SearchResult result;
    const auto range = validate(c, result.error);
    if (!range) return result;
    const ConditionSet set = markSingle(c);
    result.failedStatements = runMarking(db.db(), set.statements).failed;
    const int draws = countDrawsInRange(db.db(), range->start, range->end);
    ScanResult scan =
        scanHits(db, singleSetSelection(range->start, range->end, set.required), c.type, c.sxBase, draws);
    result.hits = std::move(scan.hits);
    result.stats = scan.stats;
    result.label = set.label;
    result.summary = summaryGrid(set.label, result.stats);
    return result;
}

}  // namespace quarvel::search
