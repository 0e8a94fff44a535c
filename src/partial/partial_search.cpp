#include "partial/partial_search.h"

#include "search/combinations.h"
#include "search/conditions.h"
#include "search/omission_scan.h"
#include "store/history_db.h"
#include "store/whole_number.h"

namespace quarvel::partial {

std::vector<std::vector<int>> combinations(int n, int k) {
    std::vector<std::vector<int>> out;
    search::forEachCombination(n, k, [&out](std::span<const int> members) {
        std::vector<int>& c = out.emplace_back();
        for (int m : members) c.push_back(m + 1);
        return true;
    });
    return out;
}

store::Checked<int> readSection(const std::string& kText) {
    const auto k = store::readWholeNumber32(kText);
    if (!k || *k < kMinSection || *k > kMaxSection)
        return store::Outcome::refused("分部位数必须是 " + std::to_string(kMinSection) + " 到 " +
                                       std::to_string(kMaxSection) + " 的整数: \"" + kText + "\"");
    return *k;
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

namespace {

search::SearchResult partialSearch(store::HistoryDb& db, const search::Criteria& c, bool pm,
                                   const std::string& kText, search::Evaluation how) {
    const auto range = search::validate(c);
    if (!range) return search::refusedSearch(range.outcome);
    const auto k = readSection(kText);
    if (!k) return search::refusedSearch(k.outcome);
    if (how == search::Evaluation::Statements) {
        const int draws = search::countDrawsInRange(db.db(), range->start, range->end);
        const search::ConditionSet set = markPartial(c, pm, *k);
        const int failed = search::runMarking(db.db(), set.statements).failed;
        return search::resultOf(
            search::scanHits(db, search::unionSelection(range->start, range->end), c.type, c.sxBase,
                             draws),
            partialLabel(c, kText), failed);
    }
    const search::DrawTable table(db.db(), search::Conditions::lettersFor(c));
    const search::Conditions conditions(table, c);
    search::RowSet hits(table.size(), false);
    int failed = 0;
    std::vector<int> positions;
    search::forEachCombination(positionsInPlay(pm), *k, [&](std::span<const int> members) {
        positions.clear();
        for (int m : members) positions.push_back(m + 1);
        hits |= conditions.matchAll(positions, search::Counting::WholeSet, failed);
        return true;
    });
    const search::RowSet inRange = table.inRange(range->start, range->end);
    hits &= inRange;
    return search::resultOf(search::scanTable(table, hits, c.type, c.sxBase, db.newestIdx(),
                                              static_cast<int>(inRange.count())),
                            partialLabel(c, kText), failed);
}

}  // namespace

search::SearchResult runPartialSearch(store::HistoryDb& db, const search::Criteria& c, bool pm,
                                      const std::string& kText, search::Evaluation how) {
    try {
        return partialSearch(db, c, pm, kText, how);
    } catch (const store::DbError& e) {
        return search::refusedSearch(store::Outcome::failed(e));
    }
}

}  // namespace quarvel::partial
