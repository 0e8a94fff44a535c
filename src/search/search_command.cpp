#include "search/search_command.h"

#include "search/conditions.h"
#include "search/marking.h"
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

SearchResult resultOf(ScanResult scan, std::string label, int refusedStatements) {
    SearchResult result;
    result.hits = std::move(scan.hits);
    result.stats = scan.stats;
    result.hitIdx = std::move(scan.hitIdx);
    result.label = std::move(label);
    result.summary = summaryGrid(result.label, result.stats);
    result.failedStatements = refusedStatements;
    return result;
}

SearchResult runSearch(store::HistoryDb& db, const Criteria& c, Evaluation how) {
    SearchResult refused;
    const auto range = validate(c, refused.error);
    if (!range) return refused;
    if (how == Evaluation::Statements) {
        const ConditionSet set = markSingle(c);
        const int failed = runMarking(db.db(), set.statements).failed;
        return resultOf(
            scanHits(db, singleSetSelection(range->start, range->end, set.required), c.type,
                     c.sxBase, countDrawsInRange(db.db(), range->start, range->end)),
            set.label, failed);
    }
    const DrawTable table(db.db(), Conditions::lettersFor(c));
    const Conditions conditions(table, c);
    std::vector<int> positions;
    for (int p = 1; p <= kPositions; ++p)
        if (c.selected[static_cast<std::size_t>(p - 1)]) positions.push_back(p);
    int failed = 0;
    RowSet hits = conditions.matchAll(positions, Counting::Running, failed);
    const RowSet inRange = table.inRange(range->start, range->end);
    hits &= inRange;
    return resultOf(
        scanTable(table, hits, c.type, c.sxBase, db.newestIdx(), static_cast<int>(inRange.count())),
        searchLabel(c), failed);
}

}  // namespace quarvel::search
