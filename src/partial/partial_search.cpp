#include "partial/partial_search.h"

#include "search/draw_table.h"
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
        for (int j = i + 1; j < k; ++j)
            c[static_cast<std::size_t>(j)] = c[static_cast<std::size_t>(j - 1)] + 1;
    }
}

std::optional<int> parseSection(const std::string& kText) {
    const auto k = search::parseIssue(kText);
    if (!k || *k < kMinSection || *k > kMaxSection) return std::nullopt;
    return static_cast<int>(*k);
}

namespace {
// 平码: the seven regular positions; 平特: the special number too.
int positionsInPlay(bool pm) { return pm ? 7 : 8; }
}  // namespace

search::ConditionSet markPartial(const search::Criteria& c, bool pm, int k) {
    return search::markUnion(c, combinations(positionsInPlay(pm), k), search::Counting::WholeSet);
}

std::string partialLabel(const search::Criteria& c, const std::string& kText) {
    std::string label;
    for (const auto& t : c.texts) label += t + " ";
    return label + "(" + kText + ")";
}

search::SearchResult runPartialSearch(store::HistoryDb& db, const search::Criteria& c, bool pm,
                                      const std::string& kText, search::Evaluation how) {
    search::SearchResult refused;
    const auto range = search::validate(c, refused.error);
    if (!range) return refused;
    const auto k = parseSection(kText);
    if (!k) {
        refused.error = "分部位数必须是 1 到 6 的整数: \"" + kText + "\"";
        return refused;
    }
    const int draws = search::countDrawsInRange(db.db(), range->start, range->end);
    if (how == search::Evaluation::Statements) {
        const search::ConditionSet set = markPartial(c, pm, *k);
        const int failed = search::runMarking(db.db(), set.statements).failed;
        return search::resultOf(
            search::scanHits(db, search::unionSelection(range->start, range->end), c.type, c.sxBase,
                             draws),
            partialLabel(c, kText), failed);
    }
    const search::DrawTable table(db.db(), c);
    search::RowSet hits(table.size(), false);
    int failed = 0;
    for (const auto& members : combinations(positionsInPlay(pm), *k))
        hits |= table.matchAll(members, search::Counting::WholeSet, failed);
    hits &= table.inRange(range->start, range->end);
    return search::resultOf(
        search::scanRows(table.rows(), hits.members(), c.type, c.sxBase, db.newestIdx(), draws),
        partialLabel(c, kText), failed);
}

}  // namespace quarvel::partial
