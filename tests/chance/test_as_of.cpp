// Figures as of an issue X are the figures of a history that ends at the newest draw whose
// issue is not above X: each analysis, cut, is compared with the same analysis run on a second
// database holding only those draws.

#include <gtest/gtest.h>

#include <functional>

#include "chance/as_of.h"
#include "chance/as_of_runs.h"
#include "groups/group_command.h"
#include "partial/partial_search.h"
#include "search/search_command.h"
#include "search/trend_chart.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::chance;
namespace qt = quarvel::testing;

namespace {

struct TwoHistories {
    qt::TempDir fullDir, cutDir;
    store::HistoryDb full{fullDir.path()};
    store::HistoryDb cut{cutDir.path()};
    std::vector<qt::Draw> draws = qt::randomDraws(160, 23);
    std::int32_t asOf;
    TwoHistories() {
        full.open();
        cut.open();
        qt::addDraws(full, draws);
        // X falls between two stored issues: the cut keeps IDX 1..119 and drops 120 onwards.
        asOf = draws[119].issue - 1;
        qt::addDraws(cut, {draws.begin(), draws.begin() + 119});
    }
    search::Criteria criteria(bool fixed) const {
        search::Criteria c;
        c.fixed = fixed;
        c.selected[0] = c.selected[7] = true;
        c.values = {5, 6, 7, 8, 9, 10, 11, 12};
        for (std::size_t i = 0; i < 8; ++i) c.texts[i] = std::to_string(c.values[i]);
        c.rangeStart = std::to_string(draws[20].issue);
        c.rangeEnd = std::to_string(draws.back().issue);
        return c;
    }
};

}  // namespace

TEST(AsOf, EveryAnalysisSeesTheHistoryEndAtTheCut) {
    TwoHistories h;
    const AsOfCut cut = *cutAt(h.full, h.asOf);
    EXPECT_EQ(cut.issue, h.draws[118].issue);
    EXPECT_EQ(cut.idx, 119);

    for (bool fixed : {false, true}) {
        search::Criteria c = h.criteria(fixed);
        const search::SearchResult reference = search::runSearch(h.cut, c);
        applyCut(c, cut);
        search::SearchResult r = search::runSearch(h.full, c);
        restateAtCut(r, cut);
        EXPECT_EQ(r.hits.cells, reference.hits.cells);
        EXPECT_EQ(r.summary.cells, reference.summary.cells);

        search::Criteria pc = h.criteria(fixed);
        const auto partialReference = partial::runPartialSearch(h.cut, pc, false, "1");
        applyCut(pc, cut);
        auto pr = partial::runPartialSearch(h.full, pc, false, "1");
        restateAtCut(pr, cut);
        EXPECT_EQ(pr.summary.cells, partialReference.summary.cells);
    }

    groups::GroupInput g;
    g.sizeText = "2";
    for (int b = 1; b <= 8; ++b) g.ticked[static_cast<std::size_t>(b)] = true;
    g.rangeStart = std::to_string(h.draws[10].issue);
    g.rangeEnd = std::to_string(h.draws.back().issue);
    const auto groupsReference = groups::runGroupComputation(h.cut, g).listing;
    applyCut(g, cut);
    EXPECT_EQ(groups::runGroupComputation(h.full, g).listing.cells, groupsReference.cells);

    search::TrendInput t;
    t.rangeStart = h.draws[100].issue;
    t.rangeEnd = h.draws.back().issue;
    const auto trendReference = search::buildTrend(h.cut.db(), t).toTextGrid();
    applyCut(t, cut);
    EXPECT_EQ(search::buildTrend(h.full.db(), t).toTextGrid().cells, trendReference.cells);

    // Older than every draw: refused.
    EXPECT_EQ(cutAt(h.full, h.draws[0].issue - 1).outcome.kind, store::OutcomeKind::Refused);
}

TEST(AsOf, NextShowingAfterTheCut) {
    IssueLine line;
    for (int i = 1; i <= 10; ++i) {
        line.idx.push_back(i);
        line.issue.push_back(2020000 + i);
    }
    const AsOfCut cut{2020004, 2020004, 4};
    EXPECT_EQ(nextShowingText(cut, nextShowing({2, 4, 7, 9}, line, cut)),
              "截止 2020004 期后第 3 期（2020007）出现");
    EXPECT_EQ(nextShowingText(cut, nextShowing({2, 4}, line, cut)),
              "截止 2020004 期后已过 6 期未出现");
}

// Each analysis's one call as of X gives the figures of the history that ends at the cut, and
// refuses an X older than every draw, with the refusal as its outcome.
TEST(AsOf, EveryCallAnswersAsTheTrimmedHistory) {
    TwoHistories h;
    using Cells = std::vector<std::vector<std::string>>;
    using AsOf = std::optional<std::int32_t>;
    groups::GroupInput g;
    g.sizeText = "2";
    for (int b = 1; b <= 8; ++b) g.ticked[static_cast<std::size_t>(b)] = true;
    g.rangeStart = std::to_string(h.draws[10].issue);
    g.rangeEnd = std::to_string(h.draws.back().issue);
    const std::string label = groupsAsOf(h.cut, g, {}).result.listing.cells.at(1).at(0);
    const auto curveCells = [](const search::OmissionCurve& c) {
        Cells cells{{c.title()}, c.issues};
        for (int gap : c.gaps) cells.push_back({std::to_string(gap)});
        return cells;
    };
    const auto hitCells = [](const PatternHits& p) {
        Cells cells = calibrationGrid(calibrate(p)).cells;
        const Cells k = kLineGrid(kLine(p)).cells;
        cells.insert(cells.end(), k.begin(), k.end());
        return cells;
    };
    // Each answer's figures, or its refusal's sentence as the only cell.
    const auto figures = [](const auto& answer, const auto& cellsOf) -> Cells {
        if (!answer) return {{answer.outcome.sentence}};
        return cellsOf(answer->result);
    };
    const std::vector<std::pair<std::string, std::function<Cells(store::HistoryDb&, AsOf)>>>
        analyses = {
            {"分组计算",
             [&](store::HistoryDb& db, AsOf x) {
                 const auto a = groupsAsOf(db, g, x);
                 return a.result.outcome.ok() ? a.result.listing.cells
                                              : Cells{{a.result.outcome.sentence}};
             }},
            {"分组遗漏曲线",
             [&](store::HistoryDb& db, AsOf x) {
                 return figures(groupCurveAsOf(db, g, label, x), curveCells);
             }},
            {"分组校验", [&](store::HistoryDb& db,
                             AsOf x) { return figures(groupHitsAsOf(db, g, label, x), hitCells); }},
            {"检索校验",
             [&](store::HistoryDb& db, AsOf x) {
                 return figures(patternHitsAsOf(db, {h.criteria(false), false, false, {}, x}),
                                hitCells);
             }},
            {"分部检索校验",
             [&](store::HistoryDb& db, AsOf x) {
                 return figures(patternHitsAsOf(db, {h.criteria(true), true, false, "1", x}),
                                hitCells);
             }},
            {"走势图",
             [&](store::HistoryDb& db, AsOf x) {
                 search::TrendInput t;
                 t.rangeStart = h.draws[100].issue;
                 t.rangeEnd = h.draws.back().issue;
                 return figures(trendAsOf(db, t, store::ZodiacCodes::startup(1), 30, x),
                                [](const search::TrendChart& c) { return c.toTextGrid().cells; });
             }},
            {"形态",
             [&](store::HistoryDb& db, AsOf x) {
                 return figures(shapeAsOf(db, h.criteria(false), x), [](const ShapeAnswer& s) {
                     Cells cells = s.table.toTextGrid().cells;
                     cells.push_back({s.table.verdictText(), std::to_string(s.range.start)});
                     return cells;
                 });
             }},
            {"回测",
             [&](store::HistoryDb& db, AsOf x) {
                 BacktestInput in;
                 in.plan = *groups::makePlan(g);
                 in.testStart = h.draws[100].issue;
                 in.testEnd = h.draws.back().issue;
                 in.pick = 3;
                 return figures(backtestAsOf(db, in, x),
                                [](const BacktestResult& r) { return backtestGrid(r).cells; });
             }},
        };
    const std::string tooOld =
        "截止期 " + std::to_string(h.draws[0].issue - 1) + " 及以前没有历史号码";
    for (const auto& [name, run] : analyses) {
        SCOPED_TRACE(name);
        const Cells reference = run(h.cut, {});
        ASSERT_GT(reference.size(), 1u) << reference.front().front();
        EXPECT_EQ(run(h.full, h.asOf), reference);
        EXPECT_NE(run(h.full, {}), reference);
        EXPECT_EQ(run(h.full, h.draws[0].issue - 1), Cells{{tooOld}});
    }
}
