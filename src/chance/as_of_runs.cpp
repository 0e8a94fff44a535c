#include "chance/as_of_runs.h"

#include <type_traits>
#include <utility>

#include "chance/hot_cold.h"
#include "partial/partial_search.h"

namespace quarvel::chance {

store::Checked<std::optional<AsOfCut>> optionalCut(store::HistoryDb& db,
                                                   std::optional<std::int32_t> asOf) {
    if (!asOf) return std::optional<AsOfCut>();
    auto cut = cutAt(db, *asOf);
    if (!cut) return cut.outcome;
    return std::optional<AsOfCut>(*cut);
}

namespace {

template <class C>
struct ValueOf;
template <class T>
struct ValueOf<store::Checked<T>> {
    using type = T;
};

// `run` on `input` cut at `asOf`: the cut's refusal, or what `run` answers with the cut.
template <class Input, class Run>
auto runCut(store::HistoryDb& db, Input input, std::optional<std::int32_t> asOf, Run&& run)
    -> store::Checked<
        AsOfResult<typename ValueOf<std::invoke_result_t<Run&, const Input&>>::type>> {
    const auto cut = optionalCut(db, asOf);
    if (!cut) return cut.outcome;
    if (*cut) applyCut(input, **cut);
    auto result = run(std::as_const(input));
    if (!result) return result.outcome;
    using T = typename ValueOf<decltype(result)>::type;
    return AsOfResult<T>{std::move(*result), *cut};
}

}  // namespace

AsOfResult<groups::GroupResult> groupsAsOf(store::HistoryDb& db, groups::GroupInput input,
                                           std::optional<std::int32_t> asOf) {
    AsOfResult<groups::GroupResult> a;
    const auto cut = optionalCut(db, asOf);
    if (!cut) {
        a.result.outcome = cut.outcome;
        return a;
    }
    a.cut = *cut;
    if (a.cut) applyCut(input, *a.cut);
    a.result = groups::runGroupComputation(db, input);
    return a;
}

store::Checked<AsOfResult<search::OmissionCurve>> groupCurveAsOf(store::HistoryDb& db,
                                                                 groups::GroupInput input,
                                                                 const std::string& label,
                                                                 std::optional<std::int32_t> asOf) {
    return runCut(db, std::move(input), asOf,
                  [&](const groups::GroupInput& in) { return groups::groupCurve(db, in, label); });
}

store::Checked<AsOfResult<PatternHits>> patternHitsAsOf(store::HistoryDb& db, PatternInput in) {
    const std::optional<std::int32_t> asOf = in.asOf;
    search::Criteria criteria = in.criteria;
    return runCut(db, std::move(criteria), asOf, [&](const search::Criteria& cut) {
        // A refused section leaves no combination: the partial search refuses it first.
        const auto k = in.partial ? partial::readSection(in.kText) : store::Checked<int>(0);
        const ChancePattern pattern =
            in.partial ? partialPattern(cut, in.flatOnly, k ? *k : 0) : searchPattern(cut);
        return patternHits(
            db, cut, [&](const search::Criteria& c) { return runUncut(db, in, c); }, pattern);
    });
}

store::Checked<AsOfResult<PatternHits>> groupHitsAsOf(store::HistoryDb& db,
                                                      groups::GroupInput input,
                                                      const std::string& label,
                                                      std::optional<std::int32_t> asOf) {
    return runCut(db, std::move(input), asOf,
                  [&](const groups::GroupInput& in) { return groupPatternHits(db, in, label); });
}

store::Checked<AsOfResult<search::TrendChart>> trendAsOf(store::HistoryDb& db,
                                                         search::TrendInput input,
                                                         const store::ZodiacCodes& codes,
                                                         int window,
                                                         std::optional<std::int32_t> asOf) {
    return runCut(db, input, asOf, [&](const search::TrendInput& in) {
        return buildTrendWithHotCold(db.db(), in, codes, window);
    });
}

store::Checked<AsOfResult<search::IssueRange>> rangeAsOf(store::HistoryDb& db,
                                                         search::Criteria range,
                                                         std::optional<std::int32_t> asOf) {
    return runCut(db, std::move(range), asOf,
                  [](const search::Criteria& in) { return search::readRange(in); });
}

store::Checked<AsOfResult<ShapeAnswer>> shapeAsOf(store::HistoryDb& db, search::Criteria range,
                                                  std::optional<std::int32_t> asOf) {
    auto issues = rangeAsOf(db, std::move(range), asOf);
    if (!issues) return issues.outcome;
    const search::IssueRange r = issues->result;
    auto table = buildShapeTable(db.db(), r.start, r.end);
    if (!table) return table.outcome;
    return AsOfResult<ShapeAnswer>{{std::move(*table), r}, issues->cut};
}

store::Checked<AsOfResult<BacktestResult>> backtestAsOf(store::HistoryDb& db, BacktestInput in,
                                                        std::optional<std::int32_t> asOf) {
    const auto cut = optionalCut(db, asOf);
    if (!cut) return cut.outcome;
    auto result = backtestOnHistory(db, std::move(in), *cut);
    if (!result) return result.outcome;
    return AsOfResult<BacktestResult>{std::move(*result), *cut};
}

}  // namespace quarvel::chance
