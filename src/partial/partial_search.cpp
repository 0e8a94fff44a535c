#include "partial/partial_search.h"

#include "search/omission_scan.h"
#include "store/history_db.h"

namespace quarvel::partial {

std::vector<std::vector<int>> combinations(int n, int k) {
    std::vector<std::vector<int>> out;
    if (k < 1 || k > n) return out;
    std::vector<int> c(static_cast<std::size_t>(k));
    for (int i = 0; i < k; ++i) c[static_cast<std::size_t>(i)] = i + 1;
    for (;;) {
        out.push_back(c);
        // Advance the rightmost member that can still move, then reset the ones after it.
        int i = k - 1;
        while (i >= 0 && c[static_cast<std::size_t>(i)] == n - k + i + 1) --i;
        if (i < 0) return out;
        ++c[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j) c[static_cast<std::size_t>(j)] = c[static_cast<std::size_t>(j - 1)] + 1;
    }
}

std::optional<int> parseSection(const std::string& kText) {
    const auto k = search::parseIssue(kText);
    if (!k || *k < kMinSection || *k > kMaxSection) return std::nullopt;
    return static_cast<int>(*k);
}

search::ConditionSet markPartial(const search::Criteria& c, bool pm, int k) {
    const int positions = pm ? 7 : 8;
    return search::markUnion(c, combinations(positions, k), search::Counting::WholeSet);
}

std::string partialLabel(const search::Criteria& c, const std::string& kText) {
    std::string label;
    for (const auto& t : c.texts) label += t + " ";
    return label + "(" + kText + ")";
}

search::SearchResult runPartialSearch(store::HistoryDb& db, const search::Criteria& c, bool pm,
                                      const std::string& kText) {
    search::SearchResult result;
    const auto range = search::validate(c, result.error);
    if (!range) return result;
    const auto k = parseSection(kText);
    if (!k) {
        result.error = "分部位数必须是 1 到 6 的整数: \"" + kText + "\"";
        return result;
    }
    const search::ConditionSet set = markPartial(c, pm, *k);
    result.failedStatements = search::runMarking(db.db(), set.statements).failed;
    const int draws = search::countDrawsInRange(db.db(), range->start, range->end);
    search::ScanResult scan =
        search::scanHits(db, search::unionSelection(range->start, range->end), c.type, c.sxBase, draws);
    result.hits = std::move(scan.hits);
    result.stats = scan.stats;
    result.label = partialLabel(c, kText);
    result.summary = search::summaryGrid(result.label, result.stats);
    return result;
}

}  // namespace quarvel::partial
