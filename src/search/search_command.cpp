#include "search/search_command.h"

#include "search/conditions.h"
#include "search/marking.h"
#include "store/history_db.h"
#include "store/whole_number.h"

namespace quarvel::search {

store::Checked<IssueRange> readRange(const Criteria& c) {
    const auto start = store::readWholeNumber32(c.rangeStart);
    if (!start) return store::Outcome::refused("起始期数不是整数: \"" + c.rangeStart + "\"");
    const auto end = store::readWholeNumber32(c.rangeEnd);
    if (!end) return store::Outcome::refused("截止期数不是整数: \"" + c.rangeEnd + "\"");
    return IssueRange{*start, *end};
}

store::Checked<IssueRange> validate(const Criteria& c) {
    if (c.type < 0 || c.type >= kSearchTypes)
        return store::Outcome::refused("搜索类型无效: " + std::to_string(c.type));
    return readRange(c);
}

SearchResult refusedSearch(store::Outcome why) {
    SearchResult result;
    result.outcome = std::move(why);
    return result;
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

namespace {

SearchResult search(store::HistoryDb& db, const Criteria& c, Evaluation how) {
    const auto range = validate(c);
    if (!range) return refusedSearch(range.outcome);
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

}  // namespace

SearchResult runSearch(store::HistoryDb& db, const Criteria& c, Evaluation how) {
    try {
        return search(db, c, how);
    } catch (const store::DbError& e) {
        return refusedSearch(store::Outcome::failed(e));
    }
}

}  // namespace quarvel::search
