#include "chance/pattern_run.h"

#include "chance/pattern_chance.h"
#include "partial/partial_search.h"

namespace quarvel::chance {

search::SearchResult runUncut(store::HistoryDb& db, const PatternInput& in,
                              const search::Criteria& criteria) {
    return in.partial ? partial::runPartialSearch(db, criteria, in.flatOnly, in.kText)
                      : search::runSearch(db, criteria);
}

PatternAnswer runPattern(store::HistoryDb& db, PatternInput in) {
    PatternAnswer a;
    if (in.asOf) {
        auto cut = cutAt(db, *in.asOf);
        if (!cut) {
            a.result.outcome = cut.outcome;
            return a;
        }
        a.cut = *cut;
        applyCut(in.criteria, *a.cut);
    }
    a.result = runUncut(db, in, in.criteria);
    if (!a.cut || !a.result.ok()) return a;
    restateAtCut(a.result, *a.cut);
    const auto next = showingAfterCut(
        db, in.criteria, [&](const search::Criteria& c) { return runUncut(db, in, c); }, *a.cut);
    a.nextShowing =
        next ? nextShowingText(*a.cut, *next) : "截止期之后的出现无法读取：" + next.outcome.text();
    return a;
}

}  // namespace quarvel::chance
